#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "app/VNTThreadLoop.h"

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

}  // namespace
