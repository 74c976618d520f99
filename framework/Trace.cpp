#include "framework/Trace.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>
#include <mutex>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/TraceFormat.h"

namespace vnt {
namespace {

class TraceSink {
public:
    static TraceSink& instance() {
        static TraceSink sink;
        return sink;
    }

    bool enabled() const { return file_.valid(); }

    void write(const std::wstring& line) {
        if (!file_.valid()) return;
        OutputDebugStringW(line.c_str());
        const std::string bytes = toUtf8(line);
        std::lock_guard<std::mutex> guard(lock_);
        // One append per line keeps lines whole when several processes share the file.
        DWORD written = 0;
        WriteFile(file_.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

private:
    TraceSink() {
        wchar_t path[MAX_PATH * 4];
        const DWORD n = GetEnvironmentVariableW(L"SKEO_TRACE", path, MAX_PATH * 4);
        if (n == 0 || n >= MAX_PATH * 4) return;
        file_.reset(CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    FileHandle file_;
    std::mutex lock_;
};

}  // namespace

bool traceEnabled() { return TraceSink::instance().enabled(); }

void trace(const wchar_t* format, ...) {
    TraceSink& sink = TraceSink::instance();
    if (!sink.enabled() || !format) return;

    std::vector<wchar_t> buffer(512);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int n = std::vswprintf(buffer.data(), buffer.size(), format, args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size()) break;
        if (buffer.size() >= (1u << 20)) {  // a runaway format: keep what fitted
            buffer.back() = L'\0';
            break;
        }
        buffer.resize(buffer.size() * 4);
    }

    SYSTEMTIME st;
    GetLocalTime(&st);
    const TraceTime when{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds};
    sink.write(formatTraceLine(when, buffer.data()));
}

}  // namespace vnt
