// A message-only window of the calling thread that answers kQuestion with kAnswer, for workers that
// send to the thread that stops them.
#pragma once

#include <windows.h>

namespace testsupport {

class AnsweringWindow {
public:
    static constexpr UINT kQuestion = WM_USER + 1;
    static constexpr LRESULT kAnswer = 42;

    AnsweringWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &AnsweringWindow::proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SkeoTestAnsweringWindow";
        RegisterClassW(&wc);
        h = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    ~AnsweringWindow() {
        if (h) DestroyWindow(h);
    }
    AnsweringWindow(const AnsweringWindow&) = delete;
    AnsweringWindow& operator=(const AnsweringWindow&) = delete;

    HWND h = nullptr;

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == kQuestion) return kAnswer;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
};

}  // namespace testsupport
