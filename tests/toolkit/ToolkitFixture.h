// A dark host window for the controls under test, GDI+ for the process, and the registry kept
// away from the user's (the language choice lives there).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "framework/BackBuffer.h"
#include "framework/GdiplusSession.h"
#include "framework/Wnd.h"
#include "tests/support/RegistrySandbox.h"

namespace toolkittest {

// Whether a control's text fits its client area on one line, measured with the font it draws with
// (its WM_GETFONT); the failure names the text and both sizes.
::testing::AssertionResult textFits(HWND control);

constexpr COLORREF kPanel = RGB(40, 40, 40);

// Paints its back buffer, which tests fill; records the messages its controls post or send.
class HostWindow : public vnt::CWnd {
public:
    struct Record {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    bool create(int width, int height, COLORREF background = kPanel);
    // A new size, its back buffer filled anew.
    bool resize(int width, int height, COLORREF background = kPanel);
    vnt::BackBuffer& backBuffer() { return backBuffer_; }
    std::vector<Record>& records() { return records_; }
    // Messages to record besides those from WM_USER up.
    void recordAlso(UINT message) { alsoRecorded_.push_back(message); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    vnt::BackBuffer backBuffer_;
    std::vector<Record> records_;
    std::vector<UINT> alsoRecorded_;
};

class ToolkitTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;
    // Handles what is queued for this thread, posted messages and timers included.
    static void pump();

    testsupport::RegistrySandbox registry_;
    // One host for all tests: taking a shown top-level window down costs Wine a wait for the
    // window manager, seconds without one.
    static HostWindow* host_;

private:
    static vnt::GdiplusSession* gdiplus_;
};

}  // namespace toolkittest
