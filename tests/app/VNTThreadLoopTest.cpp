#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "app/VNTThreadLoop.h"
#include "tests/support/AnsweringWindow.h"
#include "tests/support/MessagePump.h"

namespace {

// A worker that blocks on the stop event and records when it has left run().
class BlockedWorker : public VNTThreadLoop {
public:
    explicit BlockedWorker(std::atomic<int>& state) : state_(state) { startThread(); }
    bool running() const { return threadRunning(); }
    HANDLE started = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ~BlockedWorker() override { stopThread(); CloseHandle(started); }

protected:
    void run() override {
        state_ = 1;
        SetEvent(started);
        WaitForSingleObject(stopEvent(), INFINITE);
        state_ = 2;
    }

private:
    std::atomic<int>& state_;
};

TEST(VNTThreadLoop, DestructionReturnsOnceRunHasLeft) {
    std::atomic<int> state{0};
    auto worker = std::make_unique<BlockedWorker>(state);
    ASSERT_TRUE(worker->running());
    ASSERT_EQ(WaitForSingleObject(worker->started, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(state.load(), 1);  // still blocked in run()
    worker.reset();
    EXPECT_EQ(state.load(), 2);  // the destructor waited for run() to return
}

// A derived class that leaves stopping to the base destructor (its run() touches no members).
class BaseStoppedWorker : public VNTThreadLoop {
public:
    BaseStoppedWorker(std::atomic<int>* left, HANDLE inRun) : left_(left), inRun_(inRun) { startThread(); }

protected:
    void run() override {
        SetEvent(inRun_);
        WaitForSingleObject(stopEvent(), INFINITE);
        *left_ = 1;
    }

private:
    std::atomic<int>* left_;
    HANDLE inRun_;
};

TEST(VNTThreadLoop, BaseDestructorStopsAndJoins) {
    std::atomic<int> left{0};
    HANDLE inRun = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        BaseStoppedWorker worker(&left, inRun);
        // run() must have been entered: the base cannot call it once the derived part is gone.
        ASSERT_EQ(WaitForSingleObject(inRun, 10000), WAIT_OBJECT_0);
    }
    EXPECT_EQ(left.load(), 1);
    CloseHandle(inRun);
}

// A worker that hands something to a window of the thread that will stop it, as the HID reader and the
// command sender do with the user-interface thread.
class SendingWorker : public VNTThreadLoop {
public:
    explicit SendingWorker(HWND window) : window_(window) { startThread(); }
    ~SendingWorker() override { stopThread(); }
    void stop() { stopThread(); }
    bool running() const { return threadRunning(); }

    std::atomic<bool> answered{false};

protected:
    void run() override {
        // Bounded only so that a stop that does not answer fails the test instead of hanging it.
        DWORD_PTR result = 0;
        answered = SendMessageTimeoutW(window_, testsupport::AnsweringWindow::kQuestion, 0, 0, SMTO_NORMAL, 5000,
                                       &result) != 0 &&
                   LRESULT(result) == testsupport::AnsweringWindow::kAnswer;
        WaitForSingleObject(stopEvent(), INFINITE);
    }

private:
    HWND window_;
};

TEST(VNTThreadLoop, StoppingAnswersTheMessageTheWorkerIsBlockedSendingToTheStoppingThread) {
    testsupport::AnsweringWindow window;
    ASSERT_NE(window.h, nullptr);
    SendingWorker worker(window.h);
    // No message loop here: only the stop's own wait can answer the send.
    ASSERT_TRUE(testsupport::sentMessageWaiting());
    worker.stop();
    EXPECT_FALSE(worker.running());
    EXPECT_TRUE(worker.answered) << "the stop waited without answering; the worker's send timed out";
}

}  // namespace
