#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/VNTNotificationCenter.h"
#include "app/VNTUI_Object.h"

namespace {

// Every delivery lands in one shared log as "observer:name", so order across observers shows.
struct DeliveryLog {
    std::vector<std::wstring> entries;
};

class RecordingObserver : public VNTObject {
public:
    RecordingObserver(std::wstring id, DeliveryLog& log) : id_(std::move(id)), log_(log) {}
    void onNotification(void* data, const std::wstring& name) override {
        lastData = data;
        log_.entries.push_back(id_ + L":" + name);
    }
    void* lastData = nullptr;

private:
    std::wstring id_;
    DeliveryLog& log_;
};

VNTNotificationCenter& center() { return VNTNotificationCenter::instance(); }

TEST(NotificationCenter, AddingTwiceForOneNameDeliversOnce) {
    DeliveryLog log;
    RecordingObserver a(L"a", log);
    center().addObserver(&a, L"twice");
    center().addObserver(&a, L"twice");
    center().addObserver(&a, L"other.twice");
    int payload = 7;
    center().postNotification(L"twice", &payload);
    center().postNotification(L"other.twice", nullptr);
    EXPECT_EQ(log.entries, (std::vector<std::wstring>{L"a:twice", L"a:other.twice"}));
    center().removeObserver(&a, L"");
}

TEST(NotificationCenter, DataAndNameReachTheObserver) {
    DeliveryLog log;
    RecordingObserver a(L"a", log);
    center().addObserver(&a, L"WEBCAM_PLUG_IN");
    wchar_t className[] = L"VNTWebcamSkeoPlus";
    center().postNotification(L"WEBCAM_PLUG_IN", className);
    EXPECT_EQ(a.lastData, className);
    center().removeObserver(&a, L"WEBCAM_PLUG_IN");
}

TEST(NotificationCenter, ObserversAreCalledInTheOrderTheyFirstRegistered) {
    DeliveryLog log;
    RecordingObserver a(L"a", log), b(L"b", log), c(L"c", log);
    center().addObserver(&b, L"order");
    center().addObserver(&a, L"order");
    center().addObserver(&c, L"order");
    center().addObserver(&b, L"order");  // a repeat keeps b's first place
    center().postNotification(L"order", nullptr);
    EXPECT_EQ(log.entries, (std::vector<std::wstring>{L"b:order", L"a:order", L"c:order"}));
    for (VNTObject* o : {static_cast<VNTObject*>(&a), static_cast<VNTObject*>(&b), static_cast<VNTObject*>(&c)})
        center().removeObserver(o, L"");
}

TEST(NotificationCenter, NamesAreCaseSensitive) {
    DeliveryLog log;
    RecordingObserver a(L"a", log);
    center().addObserver(&a, L"Case.Name");
    center().postNotification(L"case.name", nullptr);
    center().postNotification(L"CASE.NAME", nullptr);
    EXPECT_TRUE(log.entries.empty());
    center().removeObserver(&a, L"");
}

TEST(NotificationCenter, EmptyNameRemovesFromEveryNameAndKeepsOthersInOrder) {
    DeliveryLog log;
    RecordingObserver a(L"a", log), b(L"b", log), c(L"c", log);
    for (const wchar_t* name : {L"rm.one", L"rm.two"}) {
        center().addObserver(&a, name);
        center().addObserver(&b, name);
        center().addObserver(&c, name);
    }
    center().removeObserver(&b, L"");
    center().postNotification(L"rm.one", nullptr);
    center().postNotification(L"rm.two", nullptr);
    EXPECT_EQ(log.entries, (std::vector<std::wstring>{L"a:rm.one", L"c:rm.one", L"a:rm.two", L"c:rm.two"}));
    center().removeObserver(&a, L"");
    center().removeObserver(&c, L"");
}

TEST(NotificationCenter, RemovingFromOneNameLeavesTheOthers) {
    DeliveryLog log;
    RecordingObserver a(L"a", log);
    center().addObserver(&a, L"keep");
    center().addObserver(&a, L"drop");
    center().removeObserver(&a, L"drop");
    center().postNotification(L"drop", nullptr);
    center().postNotification(L"keep", nullptr);
    EXPECT_EQ(log.entries, (std::vector<std::wstring>{L"a:keep"}));
    center().removeObserver(&a, L"");
}

TEST(NotificationCenter, PostsNobodyObservesAndUnknownRemovalsAreHarmless) {
    DeliveryLog log;
    RecordingObserver a(L"a", log);
    center().postNotification(L"never.registered", nullptr);
    center().removeObserver(&a, L"never.registered");
    center().removeObserver(&a, L"");
    center().addObserver(&a, L"emptied");
    center().removeObserver(&a, L"emptied");
    center().postNotification(L"emptied", nullptr);
    EXPECT_TRUE(log.entries.empty());
}

// An observer that unregisters itself and a later observer while a post is being delivered.
class SelfRemovingObserver : public VNTObject {
public:
    SelfRemovingObserver(DeliveryLog& log, VNTObject* victim) : log_(log), victim_(victim) {}
    void onNotification(void*, const std::wstring& name) override {
        log_.entries.push_back(L"remover:" + name);
        center().removeObserver(this, name);
        center().removeObserver(victim_, name);
    }

private:
    DeliveryLog& log_;
    VNTObject* victim_;
};

TEST(NotificationCenter, ObserversRemovedDuringADeliveryAreNotCalled) {
    DeliveryLog log;
    RecordingObserver first(L"first", log), victim(L"victim", log);
    SelfRemovingObserver remover(log, &victim);
    center().addObserver(&first, L"during");
    center().addObserver(&remover, L"during");
    center().addObserver(&victim, L"during");
    center().postNotification(L"during", nullptr);
    center().postNotification(L"during", nullptr);
    EXPECT_EQ(log.entries, (std::vector<std::wstring>{L"first:during", L"remover:during", L"first:during"}));
    center().removeObserver(&first, L"");
}

class LanguageAwareWindow : public VNTUI_Object {
public:
    void ReloadTexts() override { ++reloads; }
    int reloads = 0;
};

TEST(VNTUIObject, ReloadsTextsOnLanguageChangeUntilDestroyed) {
    DeliveryLog log;
    RecordingObserver witness(L"witness", log);
    center().addObserver(&witness, L"LANGUAGE_CHANGED");
    {
        LanguageAwareWindow window;
        center().postNotification(L"LANGUAGE_CHANGED", nullptr);
        center().postNotification(L"WEBCAM_PLUG_IN", nullptr);
        EXPECT_EQ(window.reloads, 1);
    }
    // The destroyed window must be gone from the table: a post would otherwise call freed memory.
    center().postNotification(L"LANGUAGE_CHANGED", nullptr);
    EXPECT_EQ(log.entries.size(), 2u);
    center().removeObserver(&witness, L"");
}

// At process exit the center is destroyed before objects created earlier than it; those objects
// still unregister and post from their destructors.
struct LateObject : VNTObject {
    ~LateObject() override {
        VNTNotificationCenter::instance().addObserver(this, L"late");
        VNTNotificationCenter::instance().postNotification(L"late", nullptr);
        VNTNotificationCenter::instance().removeObserver(this, L"");
        std::fprintf(stderr, "late object done, shutting down %d, deliveries %d\n",
                     VNTNotificationCenter::shuttingDown() ? 1 : 0, deliveries);
        std::fflush(stderr);
    }
    void onNotification(void*, const std::wstring&) override { ++deliveries; }
    int deliveries = 0;
};

TEST(NotificationCenterDeathTest, CallsDuringDestructionDoNothing) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static LateObject late;  // constructed before the center, so destroyed after it
            VNTNotificationCenter::instance().addObserver(&late, L"late");
            VNTNotificationCenter::instance().postNotification(L"late", nullptr);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "late object done, shutting down 1, deliveries 1");
}

}  // namespace
