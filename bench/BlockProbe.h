// How long a window's thread is ever held: a thread of its own sends the window WM_NULL every 2 ms
// and keeps the longest wait for an answer.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace bench {

class BlockProbe {
public:
    explicit BlockProbe(HWND window) : window_(window), thread_([this] { run(); }) {}
    ~BlockProbe() { stop(); }
    // Answers the probe's last message while it winds down: a join alone would hold it.
    double stop() {
        running_ = false;
        while (!finished_) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            Sleep(1);
        }
        if (thread_.joinable()) thread_.join();
        return longestMs_;
    }

private:
    void run() {
        while (running_) {
            const auto start = std::chrono::steady_clock::now();
            DWORD_PTR answer = 0;
            SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer);
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            if (ms > longestMs_) longestMs_ = ms;
            Sleep(2);
        }
        finished_ = true;
    }

    HWND window_;
    std::atomic<bool> running_{true};
    std::atomic<bool> finished_{false};
    double longestMs_ = 0;
    std::thread thread_;
};

}  // namespace bench
