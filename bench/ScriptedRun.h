// A modal window driven from inside its own message loop: a thread timer calls the step every
// 10 ms until it answers false, then the window is closed from its tray menu's Close.
#pragma once

#include <windows.h>

#include <functional>

#include "resources/resource.h"

namespace bench {

struct ScriptedRun {
    std::function<bool()> step;  // false: done
    HWND window = nullptr;       // set once the window exists, before the first step runs

    // Runs `modal` (which shows the window and returns when it closes) with the steps.
    void run(const std::function<void()>& modal) {
        current() = this;
        SetTimer(nullptr, 0, 10, &tick);
        modal();
        current() = nullptr;
    }

private:
    static ScriptedRun*& current() {
        static ScriptedRun* run = nullptr;
        return run;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        ScriptedRun* run = current();
        if (!run) return;
        if (!run->step())
            PostMessageW(run->window, WM_COMMAND, ID_TRAY_CLOSE, 0);
        else
            SetTimer(nullptr, 0, 10, &tick);
    }
};

}  // namespace bench
