// The process-wide trace routine. Lines go nowhere unless SKEO_TRACE names a file at start;
// then each line goes to that file (UTF-8, appended) and to OutputDebugStringW.
#pragma once

namespace vnt {

// printf-style, wide format ("%ls" for wide text); prefixes the local time and ends the line.
void trace(const wchar_t* format, ...);

// True when a sink is configured, so callers can skip building expensive trace text.
bool traceEnabled();

}  // namespace vnt
