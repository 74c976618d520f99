// The worker thread with its stop event, run for real.
#include "framework/WorkerThread.h"
#include "tests/support/AnsweringWindow.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

namespace {

struct Counting {
    std::atomic<int> runs{0};
    std::atomic<bool> sawStop{false};
    static void body(void* self, HANDLE stop) {
        auto* c = static_cast<Counting*>(self);
        ++c->runs;
        c->sawStop = WaitForSingleObject(stop, 10000) == WAIT_OBJECT_0;
    }
};

struct Sending {
    HWND window = nullptr;
    std::atomic<bool> answered{false};
    static void body(void* self, HANDLE stop) {
        auto* s = static_cast<Sending*>(self);
        // Blocks until the thread that owns the window answers, as a worker delivering to the UI does.
        s->answered = SendMessageW(s->window, testsupport::AnsweringWindow::kQuestion, 0, 0) ==
                      testsupport::AnsweringWindow::kAnswer;
        WaitForSingleObject(stop, 10000);
    }
};

}  // namespace

TEST(WorkerThreadTest, RunsOnceUntilStoppedAndCanRunAgain) {
    Counting counting;
    vnt::WorkerThread worker;
    EXPECT_TRUE(worker.stop()) << "stopping a worker that never ran";
    ASSERT_TRUE(worker.start(&Counting::body, &counting));
    EXPECT_TRUE(worker.start(&Counting::body, &counting)) << "a second start keeps the running worker";
    EXPECT_TRUE(worker.running());
    EXPECT_TRUE(worker.stop());
    EXPECT_FALSE(worker.running());
    EXPECT_EQ(counting.runs, 1);
    EXPECT_TRUE(counting.sawStop);

    ASSERT_TRUE(worker.start(&Counting::body, &counting));
    EXPECT_TRUE(worker.stop());
    EXPECT_EQ(counting.runs, 2);
}

TEST(WorkerThreadTest, StoppingAnswersTheMessageTheWorkerIsBlockedSending) {
    testsupport::AnsweringWindow window;
    Sending sending;
    sending.window = window.h;
    ASSERT_NE(sending.window, nullptr);

    vnt::WorkerThread worker;
    ASSERT_TRUE(worker.start(&Sending::body, &sending));
    // No message loop here: only the stop's own wait can answer the send.
    Sleep(200);
    EXPECT_TRUE(worker.stop());
    EXPECT_TRUE(sending.answered);
}

namespace {

// A worker that ends of itself, asking the joining thread a question on its way with a time limit.
struct Asking {
    HWND window = nullptr;
    std::atomic<bool> answered{false};
    static void body(void* self, HANDLE) {
        auto* a = static_cast<Asking*>(self);
        DWORD_PTR reply = 0;
        a->answered = SendMessageTimeoutW(a->window, testsupport::AnsweringWindow::kQuestion, 0, 0, SMTO_BLOCK, 300,
                                          &reply) != 0;
    }
};

}  // namespace

// Joining is for a caller half-way through setting itself up: no message reaches it meanwhile.
TEST(WorkerThreadTest, JoiningWaitsForTheWorkerWithoutAnsweringMessages) {
    vnt::WorkerThread worker;
    EXPECT_TRUE(worker.join()) << "joining a worker that never ran";
    testsupport::AnsweringWindow window;
    Asking asking;
    asking.window = window.h;
    ASSERT_NE(asking.window, nullptr);
    ASSERT_TRUE(worker.start(&Asking::body, &asking));
    EXPECT_TRUE(worker.join());
    EXPECT_FALSE(worker.running());
    EXPECT_FALSE(asking.answered) << "the question was answered while joining";
}
