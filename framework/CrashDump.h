// What an unhandled exception leaves behind: a minidump and one line saying what happened, in a
// folder of the user's local application data, the five newest kept. The process then ends as
// Windows ends it without us (the exception goes on to the system's handling).
#pragma once

#include <string>

namespace vnt {

class CrashDumps {
public:
    // Writes into `folder` (made when needed) for a program of that name and version; one per process.
    static void install(const std::wstring& folder, const std::wstring& program, const std::wstring& version);
    // <local application data>\<company>\<product>\CrashDumps\, empty when the platform has none.
    static std::wstring defaultFolder(const std::wstring& company, const std::wstring& product);

    static constexpr int kKept = 5;
};

}  // namespace vnt
