// Command-line rules of start-up, free of Windows headers so they are tested natively.
#pragma once

#include <cstddef>

namespace skeo {

// True when the text from the last '-' of the command line to its end is exactly "-startup".
// A command line without '-' never matches.
bool isStartAtLogOnCommandLine(const wchar_t* commandLine);

// Copies at most capacity - 1 units of source and always ends destination with a NUL
// (nothing is written when capacity is 0). Returns the number of units copied.
std::size_t copyBounded(wchar_t* destination, std::size_t capacity, const wchar_t* source);

}  // namespace skeo
