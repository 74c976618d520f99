#include <gtest/gtest.h>

#include <string>

#include "app/StartupCommandLine.h"

namespace {

struct CommandLineCase {
    const wchar_t* commandLine;
    bool startsHidden;
};

class StartAtLogOnTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(StartAtLogOnTest, OnlyTheTextFromTheLastDashCounts) {
    const CommandLineCase& c = GetParam();
    EXPECT_EQ(skeo::isStartAtLogOnCommandLine(c.commandLine), c.startsHidden) << std::wstring(c.commandLine).size();
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, StartAtLogOnTest,
    ::testing::Values(
        CommandLineCase{L"\"C:\\Program Files\\Vantor\\Skeo\\Skeo.exe\" -startup", true},
        CommandLineCase{L"Skeo.exe -startup", true},
        CommandLineCase{L"-startup", true},
        CommandLineCase{L"Skeo.exe -Startup", false},             // case-sensitive
        CommandLineCase{L"Skeo.exe -startup now", false},         // a word after it
        CommandLineCase{L"Skeo.exe -startupx", false},
        CommandLineCase{L"Skeo.exe -startup -quiet", false},      // only the last dash counts
        CommandLineCase{L"Skeo.exe -startup ", false},            // trailing blank
        CommandLineCase{L"\"C:\\my-tools\\Skeo.exe\"", false},    // dash in the path, no argument
        CommandLineCase{L"\"C:\\my-startup\\Skeo.exe\"", false},
        CommandLineCase{L"C:\\x\\-startup", true},                // the rule looks at text, not arguments
        CommandLineCase{L"Skeo.exe", false},
        CommandLineCase{L"", false},
        CommandLineCase{L"startup", false}));

TEST(StartAtLogOn, NullCommandLineNeverMatches) { EXPECT_FALSE(skeo::isStartAtLogOnCommandLine(nullptr)); }

TEST(CopyBounded, CutsToCapacityAndAlwaysTerminates) {
    const std::wstring source(3000, L'x');
    std::wstring target(2048 + 4, L'#');  // the guard units after the capacity must stay untouched
    const size_t copied = skeo::copyBounded(&target[0], 2048, source.c_str());
    EXPECT_EQ(copied, 2047u);
    EXPECT_EQ(target.substr(0, 2047), std::wstring(2047, L'x'));
    EXPECT_EQ(target[2047], L'\0');
    EXPECT_EQ(target.substr(2048), std::wstring(4, L'#'));
}

TEST(CopyBounded, ShortSourcesAreCopiedWhole) {
    wchar_t target[8];
    EXPECT_EQ(skeo::copyBounded(target, 8, L"abc"), 3u);
    EXPECT_EQ(std::wstring(target), L"abc");
    EXPECT_EQ(skeo::copyBounded(target, 8, L"1234567"), 7u);  // exactly fills, NUL in the last unit
    EXPECT_EQ(std::wstring(target), L"1234567");
    EXPECT_EQ(skeo::copyBounded(target, 8, nullptr), 0u);
    EXPECT_EQ(target[0], L'\0');
    EXPECT_EQ(skeo::copyBounded(target, 0, L"abc"), 0u);
}

}  // namespace
