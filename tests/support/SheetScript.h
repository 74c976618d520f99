// Runs a property sheet or dialog modally while a script of steps acts on it from inside its own
// message loop, one step per tick; checks every step ran before the window closed.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "toolkit/CVNTUI_PropertySheet.h"

namespace testsupport {

namespace sheetscript {
inline std::vector<std::function<void()>>& steps() {
    static std::vector<std::function<void()>> s;
    return s;
}
inline size_t& next() {
    static size_t n = 0;
    return n;
}
inline void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (next() >= steps().size()) {
        KillTimer(nullptr, id);
        return;
    }
    const size_t step = next()++;
    steps()[step]();
}
}  // namespace sheetscript

// A step that waits for the window to get somewhere: while the condition does not hold it runs
// again at the next tick, for at most that many ticks (the step after it then finds out).
inline std::function<void()> repeatUntil(std::function<bool()> done, int ticks = 100) {
    auto left = std::make_shared<int>(ticks);
    return [done = std::move(done), left] {
        if (!done() && --*left > 0) --sheetscript::next();
    };
}

// Runs a modal loop (the callable returns its result) with the script acting from inside it.
inline INT_PTR runScripted(const std::function<INT_PTR()>& modal, std::vector<std::function<void()>> script,
                           UINT tickMs = 100) {
    sheetscript::steps() = std::move(script);
    sheetscript::next() = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, tickMs, &sheetscript::tick);
    const INT_PTR result = modal();
    KillTimer(nullptr, timer);
    EXPECT_EQ(sheetscript::next(), sheetscript::steps().size()) << "every step ran before the window closed";
    return result;
}

// A key pressed and released as the keyboard delivers it to the focused control: posted, so it goes
// through the window's own message loop.
inline void postKeyPress(HWND focused, UINT key) {
    const auto scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(focused, WM_KEYDOWN, key, 1 | scan);
    PostMessageW(focused, WM_KEYUP, key, 1 | scan | static_cast<LPARAM>(0xC0000000));
}

inline INT_PTR runSheet(CVNTUI_PropertySheet& sheet, HWND owner, std::vector<std::function<void()>> script) {
    return runScripted([&] { return sheet.DoModal(owner); }, std::move(script));
}

}  // namespace testsupport
