#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "framework/Trace.h"

namespace {

std::wstring tracePath() {
    wchar_t dir[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    return std::wstring(dir) + L"skeo-framework-trace-" + std::to_wstring(GetCurrentProcessId()) + L".log";
}

// The sink is chosen once, at the first trace call of the process; configure it before any.
const std::wstring kTracePath = [] {
    const std::wstring path = tracePath();
    DeleteFileW(path.c_str());
    SetEnvironmentVariableW(L"SKEO_TRACE", path.c_str());
    return path;
}();

std::vector<std::string> readLines() {
    std::ifstream in(kTracePath.c_str(), std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

TEST(Trace, WritesPrefixedUtf8LinesToTheFileNamedBySkeoTrace) {
    ASSERT_TRUE(vnt::traceEnabled());
    vnt::trace(L"ReportError %ls : COM Error 0x%x, %ls\n", L"BuildFilterGraph", 0x80040217u, L"\u7e41\u9ad4");
    vnt::trace(L"plain %d", 42);
    const std::vector<std::string> lines = readLines();
    ASSERT_GE(lines.size(), 2u);
    const std::regex prefix(R"(^\[\d{1,2}/\d{1,2}/\d{4} - \d{1,2}:\d{1,2}:\d{1,2}:\d{1,3}\])");
    const std::string& first = lines[lines.size() - 2];
    EXPECT_TRUE(std::regex_search(first, prefix)) << first;
    EXPECT_NE(first.find("]ReportError BuildFilterGraph : COM Error 0x80040217, \xE7\xB9\x81\xE9\xAB\x94"),
              std::string::npos)
        << first;
    EXPECT_NE(lines.back().find("]plain 42"), std::string::npos);
}

TEST(Trace, LongMessagesAreKeptWhole) {
    const std::wstring big(5000, L'z');
    vnt::trace(L"big:%ls", big.c_str());
    const std::vector<std::string> lines = readLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("big:" + std::string(5000, 'z')), std::string::npos);
}

TEST(Trace, LinesFromManyThreadsStayWhole) {
    const int threads = 4, perThread = 150;
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([t] {
            for (int i = 0; i < perThread; ++i) vnt::trace(L"worker %d line %d end", t, i);
        });
    }
    for (auto& w : workers) w.join();
    const std::regex whole(R"(^\[[^\]]+\]worker (\d) line (\d+) end$)");
    int count = 0;
    for (const std::string& line : readLines()) {
        if (line.find("worker ") == std::string::npos) continue;
        EXPECT_TRUE(std::regex_match(line, whole)) << line;
        ++count;
    }
    EXPECT_EQ(count, threads * perThread);
}

}  // namespace
