// The device monitor with virtual cameras registered in the test prefix: which devices become camera
// objects, the arrival and removal broadcasts its window receives, and the windows claiming cameras.
// The monitor is the process's one instance, so every test takes out again the cameras it listed.
#include "app/VNTNotificationCenter.h"
#include "app/VNTObject.h"
#include "camera/VNTWebcam.h"
#include "camera/VNTWebcamMonitor.h"
#include "tests/support/MessagePump.h"
#include "tests/support/Regsvr32.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <dbt.h>
#include <ks.h>
#include <ksmedia.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using testsupport::pumpUntil;

const wchar_t kCaptureClass[] = L"#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

// The device path the virtual camera gives an instance of a model; ids as "vid_C7A2&pid_5A01".
std::wstring cameraPath(const wchar_t* ids, const std::wstring& instanceId) {
    return std::wstring(L"\\\\?\\usb#") + ids + L"&mi_00#" + instanceId + kCaptureClass;
}
const wchar_t kModelA[] = L"vid_C7A2&pid_5A01";
const wchar_t kModelB[] = L"vid_C7A2&pid_5A02";
const wchar_t kForeign[] = L"vid_2F3A&pid_0C10";

// The camera a plain registration leaves, and the two the suite adds beside it.
const wchar_t kDefaultId[] = L"7&1A2B3C4D&0&0000";
const wchar_t kDefaultName[] = L"Skeo Virtual Camera";
const wchar_t kModelBId[] = L"8&B0B&0&0002";
const wchar_t kModelBName[] = L"Pello on the desk";
const wchar_t kForeignId[] = L"9&F0F&0&0003";
const wchar_t kForeignName[] = L"Other Vendor Cam";

int cameraDll(const std::wstring& arguments) {
    return testsupport::regsvr32(testsupport::besideTestProgram(L"VirtualCamera.dll"), arguments);
}

std::wstring lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

std::wstring upper(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

// Every letter's case flipped, so that the result matches the original in neither case.
std::wstring flipped(std::wstring text) {
    for (wchar_t& c : text) {
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
        else if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return text;
}

const size_t kNameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);

// A capture-interface broadcast record as the system builds one: the terminated name runs to its end.
std::vector<BYTE> interfaceRecord(const std::wstring& name) {
    const size_t nameBytes = (name.size() + 1) * sizeof(wchar_t);
    std::vector<BYTE> bytes(std::max(kNameOffset + nameBytes, sizeof(DEV_BROADCAST_DEVICEINTERFACE_W)));
    auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(bytes.data());
    record->dbcc_size = static_cast<DWORD>(kNameOffset + nameBytes);
    record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    record->dbcc_classguid = KSCATEGORY_CAPTURE;
    std::memcpy(record->dbcc_name, name.c_str(), nameBytes);
    return bytes;
}

// What an observer of the notification center saw, in order: the name and the text given as data.
class Recorder : public VNTObject {
public:
    Recorder() {
        VNTNotificationCenter::instance().addObserver(this, L"WEBCAM_PLUG_IN");
        VNTNotificationCenter::instance().addObserver(this, L"WEBCAM_PULL_OUT");
    }
    ~Recorder() override { VNTNotificationCenter::instance().removeObserver(this, L""); }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void onNotification(void* data, const std::wstring& name) override {
        seen.emplace_back(name, data ? static_cast<const wchar_t*>(data) : L"(null)");
    }
    size_t count(const std::wstring& name) const {
        return static_cast<size_t>(
            std::count_if(seen.begin(), seen.end(), [&name](const auto& n) { return n.first == name; }));
    }

    std::vector<std::pair<std::wstring, std::wstring>> seen;
};

class MonitorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        registered_ = cameraDll(L"") == 0 &&
                      cameraDll(std::wstring(L"/n /i:\"add B ") + kModelBId + L" " + kModelBName + L"\"") == 0 &&
                      cameraDll(std::wstring(L"/n /i:\"add foreign ") + kForeignId + L" " + kForeignName + L"\"") == 0;
    }
    static void TearDownTestSuite() { cameraDll(L"/u"); }

    void SetUp() override {
        ASSERT_TRUE(registered_) << "the virtual cameras did not register";
        baseline_ = monitor().webcamCount();
        owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
        video_ = CreateWindowExW(0, L"STATIC", L"video", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(owner_, nullptr) << GetLastError();
        ASSERT_NE(video_, nullptr);
        recorder_.reset(new Recorder);
    }
    void TearDown() override {
        for (const std::wstring& path : listed_) monitor().removeDevice(path);
        for (const std::wstring& id : instances_) cameraDll(L"/n /i:\"remove " + id + L"\"");
        recorder_.reset();
        EXPECT_EQ(monitor().webcamCount(), baseline_) << "a test left cameras in the monitor";
        if (video_) DestroyWindow(video_);
        if (owner_) DestroyWindow(owner_);
    }

    static VNTWebcamMonitor& monitor() { return VNTWebcamMonitor::instance(); }

    // Lists a device directly; taken out again after the test.
    void add(const std::wstring& path, const std::wstring& name) {
        listed_.push_back(path);
        monitor().addDevice(path, name);
    }
    // Scans the registered cameras; the suite's own are taken out again after the test.
    void scan() {
        listed_.push_back(cameraPath(kModelA, kDefaultId));
        listed_.push_back(cameraPath(kModelB, kModelBId));
        listed_.push_back(cameraPath(kForeign, kForeignId));
        monitor().scanDevices();
    }
    // Registers one more virtual camera, unregistered and taken out of the monitor after the test.
    bool registerCamera(const wchar_t* model, const wchar_t* ids, const std::wstring& id, const std::wstring& name) {
        instances_.push_back(id);
        listed_.push_back(cameraPath(ids, id));
        return cameraDll(std::wstring(L"/n /i:\"add ") + model + L" " + id + L" " + name + L"\"") == 0;
    }

    void broadcast(WPARAM event, const void* record) {
        SendMessageW(monitor().windowHandle(), WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(record));
    }
    // Lets queued device events run their course, including any that should not have been queued.
    static void settle() {
        pumpUntil([] { return false; }, 400);
    }

    // The listed object of a path, seen through a claim that is given back at once; its class and
    // display name, or empty strings when the path is not listed or the object is claimed.
    std::pair<std::wstring, std::wstring> listed(const std::wstring& path) {
        VNTWebcam* camera = monitor().acquireWebcamByPath(path, owner_, video_);
        if (!camera) return {};
        std::pair<std::wstring, std::wstring> found{camera->cameraClassName(), camera->displayName()};
        camera->release();
        return found;
    }
    std::vector<std::wstring> names() const {
        std::vector<std::wstring> all;
        monitor().webcamNames(all);
        return all;
    }
    bool isListed(const std::wstring& name) const {
        const std::vector<std::wstring> all = names();
        return std::find(all.begin(), all.end(), name) != all.end();
    }

    static bool registered_;
    size_t baseline_ = 0;
    HWND owner_ = nullptr;
    HWND video_ = nullptr;
    std::unique_ptr<Recorder> recorder_;
    std::vector<std::wstring> listed_;
    std::vector<std::wstring> instances_;
};

bool MonitorTest::registered_ = false;

TEST_F(MonitorTest, ScanListsOnlyTheMakersCamerasWithTheirClassesAndNames) {
    scan();
    EXPECT_EQ(monitor().webcamCount(), baseline_ + 2);
    EXPECT_EQ(listed(cameraPath(kModelA, kDefaultId)),
              std::make_pair(std::wstring(L"VNTWebcamSkeo"), std::wstring(kDefaultName)));
    EXPECT_EQ(listed(cameraPath(kModelB, kModelBId)),
              std::make_pair(std::wstring(L"VNTWebcamSkeoPlus"), std::wstring(kModelBName)));
    EXPECT_EQ(listed(cameraPath(kForeign, kForeignId)).first, L"");
    EXPECT_FALSE(isListed(kForeignName));

    // One announcement per listed camera, with its class; none for the other vendor's.
    ASSERT_EQ(recorder_->seen.size(), 2u);
    std::vector<std::wstring> classes;
    for (const auto& seen : recorder_->seen) {
        EXPECT_EQ(seen.first, L"WEBCAM_PLUG_IN");
        classes.push_back(seen.second);
    }
    std::sort(classes.begin(), classes.end());
    EXPECT_EQ(classes, (std::vector<std::wstring>{L"VNTWebcamSkeo", L"VNTWebcamSkeoPlus"}));

    // A rescan finds the same devices already listed.
    monitor().scanDevices();
    EXPECT_EQ(monitor().webcamCount(), baseline_ + 2);
    EXPECT_EQ(recorder_->seen.size(), 2u);
}

TEST_F(MonitorTest, AddingClassifiesByThePathAndNamesNamelessCamerasByModel) {
    const std::wstring a = cameraPath(kModelA, L"5&AAA&0&0001");
    const std::wstring b = cameraPath(kModelB, L"5&BBB&0&0002");
    const std::wstring both = L"\\\\?\\USB#VID_C7A2&PID_5A01&MI_00#PID_5A02&0&0003" + std::wstring(kCaptureClass);
    const std::wstring otherProduct = cameraPath(L"vid_C7A2&pid_5A03", L"5&CCC&0&0004");
    const std::wstring otherVendor = cameraPath(L"vid_1234&pid_5A01", L"5&DDD&0&0005");
    add(a, L"");
    add(b, L"");
    add(both, L"Both");
    add(otherProduct, L"Unknown product");
    add(otherVendor, L"Unknown vendor");
    EXPECT_EQ(monitor().webcamCount(), baseline_ + 3);

    EXPECT_EQ(listed(a), std::make_pair(std::wstring(L"VNTWebcamSkeo"), std::wstring(L"Skeo")));
    EXPECT_EQ(listed(b), std::make_pair(std::wstring(L"VNTWebcamSkeoPlus"), std::wstring(L"Pello")));
    EXPECT_EQ(listed(both), std::make_pair(std::wstring(L"VNTWebcamSkeoPlus"), std::wstring(L"Both")));
    EXPECT_EQ(listed(otherProduct).first, L"");
    EXPECT_EQ(listed(otherVendor).first, L"");

    // The listed path is lower case, and the same device in another case is no second camera.
    VNTWebcam* camera = monitor().acquireWebcamByPath(both, owner_, video_);
    ASSERT_NE(camera, nullptr);
    EXPECT_EQ(camera->devicePath(), lower(both));
    camera->release();
    add(lower(both), L"Again");
    add(flipped(a), L"");
    EXPECT_EQ(monitor().webcamCount(), baseline_ + 3);
    EXPECT_EQ(recorder_->count(L"WEBCAM_PLUG_IN"), 3u);
}

TEST_F(MonitorTest, NamesComeInTheOrderTheCamerasArrived) {
    add(cameraPath(kModelB, L"6&0&0&0001"), L"First");
    add(cameraPath(kModelA, L"6&0&0&0002"), L"Second");
    add(cameraPath(kModelA, L"6&0&0&0003"), L"Third");
    std::vector<std::wstring> all{L"kept"};
    monitor().webcamNames(all);
    // Cameras listed before this test come first; ours follow in arrival order.
    ASSERT_EQ(all.size(), 1 + baseline_ + 3);
    EXPECT_EQ(all.front(), L"kept");
    EXPECT_EQ(std::vector<std::wstring>(all.end() - 3, all.end()),
              (std::vector<std::wstring>{L"First", L"Second", L"Third"}));
}

TEST_F(MonitorTest, ArrivalAndRemovalBroadcastsFollowTheRegisteredCameras) {
    scan();
    recorder_->seen.clear();
    const size_t before = monitor().webcamCount();

    // A new camera arrives: the rescan it triggers announces that one only.
    const std::wstring id = L"7&AB12&0&0009";
    const std::wstring path = cameraPath(kModelA, id);
    ASSERT_TRUE(registerCamera(L"A", kModelA, id, L"Arrived"));
    const std::vector<BYTE> arrival = interfaceRecord(path);
    broadcast(DBT_DEVICEARRIVAL, arrival.data());
    EXPECT_TRUE(pumpUntil([this] { return !recorder_->seen.empty(); }));
    settle();
    ASSERT_EQ(recorder_->seen.size(), 1u);
    EXPECT_EQ(recorder_->seen[0], std::make_pair(std::wstring(L"WEBCAM_PLUG_IN"), std::wstring(L"VNTWebcamSkeo")));
    EXPECT_EQ(monitor().webcamCount(), before + 1);
    EXPECT_EQ(names().back(), L"Arrived");

    // Its removal, named in another case than the device's, takes out that camera and no other.
    recorder_->seen.clear();
    const std::vector<BYTE> removal = interfaceRecord(flipped(path));
    broadcast(DBT_DEVICEREMOVECOMPLETE, removal.data());
    EXPECT_TRUE(pumpUntil([this] { return !recorder_->seen.empty(); }));
    settle();
    ASSERT_EQ(recorder_->seen.size(), 1u);
    EXPECT_EQ(recorder_->seen[0], std::make_pair(std::wstring(L"WEBCAM_PULL_OUT"), lower(path)));
    EXPECT_EQ(monitor().webcamCount(), before);
    EXPECT_FALSE(isListed(L"Arrived"));
    EXPECT_TRUE(isListed(kDefaultName));
    EXPECT_TRUE(isListed(kModelBName));

    // A removal of a device that has no camera object changes nothing.
    recorder_->seen.clear();
    const std::vector<BYTE> unknown = interfaceRecord(cameraPath(kModelA, L"7&DEAD&0&0010"));
    broadcast(DBT_DEVICEREMOVECOMPLETE, unknown.data());
    const std::vector<BYTE> foreign = interfaceRecord(cameraPath(kForeign, kForeignId));
    broadcast(DBT_DEVICEREMOVECOMPLETE, foreign.data());
    settle();
    EXPECT_TRUE(recorder_->seen.empty());
    EXPECT_EQ(monitor().webcamCount(), before);
}

TEST_F(MonitorTest, BroadcastsOfOtherEventsOrDeviceTypesChangeNothing) {
    scan();
    recorder_->seen.clear();
    const size_t before = monitor().webcamCount();
    // A registered camera that any rescan would announce.
    const std::wstring id = L"8&AB13&0&0011";
    ASSERT_TRUE(registerCamera(L"B", kModelB, id, L"Waiting"));
    const std::wstring path = cameraPath(kModelB, id);
    const std::vector<BYTE> record = interfaceRecord(path);
    const std::vector<BYTE> listedRecord = interfaceRecord(cameraPath(kModelA, kDefaultId));

    DEV_BROADCAST_VOLUME volume{};
    volume.dbcv_size = sizeof volume;
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = 1u << 4;
    broadcast(DBT_DEVICEARRIVAL, &volume);
    broadcast(DBT_DEVICEREMOVECOMPLETE, &volume);
    broadcast(DBT_DEVICEQUERYREMOVE, listedRecord.data());
    broadcast(DBT_DEVICEREMOVEPENDING, listedRecord.data());
    broadcast(DBT_CUSTOMEVENT, record.data());
    broadcast(DBT_DEVNODES_CHANGED, nullptr);
    broadcast(DBT_DEVICEARRIVAL, nullptr);
    settle();
    EXPECT_TRUE(recorder_->seen.empty());
    EXPECT_EQ(monitor().webcamCount(), before);
    EXPECT_TRUE(isListed(kDefaultName));

    // The camera was there to be found all along.
    broadcast(DBT_DEVICEARRIVAL, record.data());
    EXPECT_TRUE(pumpUntil([this] { return !recorder_->seen.empty(); }));
    EXPECT_EQ(recorder_->count(L"WEBCAM_PLUG_IN"), 1u);
}

TEST_F(MonitorTest, ABroadcastRecordIsReadOnlyAsFarAsItsSizeSays) {
    scan();
    recorder_->seen.clear();
    const size_t before = monitor().webcamCount();
    const std::wstring listedPath = cameraPath(kModelA, kDefaultId);

    // The memory past the record's size still holds the rest of the path and its terminator:
    // a removal that read on to it would take the camera out.
    std::vector<BYTE> cut = interfaceRecord(listedPath);
    auto* cutRecord = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(cut.data());
    cutRecord->dbcc_size = static_cast<DWORD>(kNameOffset + (listedPath.size() - 7) * sizeof(wchar_t));
    broadcast(DBT_DEVICEREMOVECOMPLETE, cut.data());
    // An odd size ends inside the last character, which is not part of the name.
    cutRecord->dbcc_size = static_cast<DWORD>(kNameOffset + listedPath.size() * sizeof(wchar_t) - 1);
    broadcast(DBT_DEVICEREMOVECOMPLETE, cut.data());
    settle();
    EXPECT_TRUE(recorder_->seen.empty());
    EXPECT_EQ(monitor().webcamCount(), before);
    EXPECT_TRUE(isListed(kDefaultName));

    // A record too short for its header, or for the fixed part of an interface record, is no arrival.
    const std::wstring id = L"7&AB14&0&0012";
    ASSERT_TRUE(registerCamera(L"A", kModelA, id, L"Late"));
    std::vector<BYTE> shortRecord = interfaceRecord(cameraPath(kModelA, id));
    auto* shortHeader = reinterpret_cast<DEV_BROADCAST_HDR*>(shortRecord.data());
    for (DWORD size : {DWORD(0), DWORD(sizeof(DWORD)), DWORD(sizeof(DEV_BROADCAST_HDR)), DWORD(kNameOffset - 2)}) {
        shortHeader->dbch_size = size;
        broadcast(DBT_DEVICEARRIVAL, shortRecord.data());
    }
    settle();
    EXPECT_TRUE(recorder_->seen.empty());
    EXPECT_EQ(monitor().webcamCount(), before);

    // The full record of the same arrival is read.
    shortHeader->dbch_size = static_cast<DWORD>(kNameOffset + (cameraPath(kModelA, id).size() + 1) * sizeof(wchar_t));
    broadcast(DBT_DEVICEARRIVAL, shortRecord.data());
    EXPECT_TRUE(pumpUntil([this] { return !recorder_->seen.empty(); }));
    EXPECT_TRUE(isListed(L"Late"));
}

TEST_F(MonitorTest, ClaimsNeedBothWindowsAndFallBackThroughTheClassOrder) {
    const std::wstring a = cameraPath(kModelA, kDefaultId);
    add(a, kDefaultName);
    ASSERT_EQ(monitor().webcamCount(), baseline_ + 1);

    EXPECT_EQ(monitor().acquireWebcam(L"VNTWebcamSkeo", nullptr, video_), nullptr);
    EXPECT_EQ(monitor().acquireWebcam(L"VNTWebcamSkeo", owner_, nullptr), nullptr);
    EXPECT_EQ(monitor().acquireWebcamByPath(a, nullptr, video_), nullptr);
    EXPECT_EQ(monitor().acquireWebcamByName(kDefaultName, owner_, nullptr), nullptr);

    // No plain camera is listed: the model-A camera stands in, and is then taken.
    VNTWebcam* first = monitor().acquireWebcam(L"VNTWebcam", owner_, video_);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->devicePath(), lower(a));
    EXPECT_EQ(first->ownerWindow(), owner_);
    EXPECT_EQ(first->videoWindow(), video_);
    EXPECT_EQ(monitor().acquireWebcam(L"VNTWebcam", owner_, video_), nullptr);
    EXPECT_EQ(monitor().acquireWebcam(L"VNTWebcamSkeo", owner_, video_), nullptr);
    EXPECT_EQ(monitor().acquireWebcamByPath(a, owner_, video_), nullptr);
    first->release();
    EXPECT_EQ(first->ownerWindow(), nullptr);
    EXPECT_EQ(monitor().acquireWebcam(L"VNTWebcam", owner_, video_), first);
    first->release();

    // With both models free, model B is the first choice of the fallback order, though it came later;
    // a class asked for by name is taken before it.
    const std::wstring b = cameraPath(kModelB, kModelBId);
    add(b, kModelBName);
    VNTWebcam* plain = monitor().acquireWebcam(L"VNTWebcam", owner_, video_);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->cameraClassName(), L"VNTWebcamSkeoPlus");
    VNTWebcam* modelA = monitor().acquireWebcam(L"VNTWebcamSkeo", owner_, video_);
    ASSERT_NE(modelA, nullptr);
    EXPECT_EQ(modelA->cameraClassName(), L"VNTWebcamSkeo");
    plain->release();
    // Model A taken, so a model-A request falls back to model B.
    VNTWebcam* standIn = monitor().acquireWebcam(L"VNTWebcamSkeo", owner_, video_);
    ASSERT_NE(standIn, nullptr);
    EXPECT_EQ(standIn->cameraClassName(), L"VNTWebcamSkeoPlus");
    standIn->release();
    modelA->release();

    // The class name is compared exactly; an unknown one still falls back.
    VNTWebcam* unknown = monitor().acquireWebcam(L"vntwebcamskeo", owner_, video_);
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->cameraClassName(), L"VNTWebcamSkeoPlus");
    unknown->release();
}

TEST_F(MonitorTest, ClaimsByPathInAnyCaseAndByExactName) {
    const std::wstring a = cameraPath(kModelA, kDefaultId);
    const std::wstring b = cameraPath(kModelB, kModelBId);
    add(a, kDefaultName);
    add(b, kModelBName);

    VNTWebcam* byPath = monitor().acquireWebcamByPath(upper(b), owner_, video_);
    ASSERT_NE(byPath, nullptr);
    EXPECT_EQ(byPath->displayName(), kModelBName);
    EXPECT_EQ(byPath->ownerWindow(), owner_);
    // A claimed camera is not lent twice, and a path has no fallback to another camera.
    EXPECT_EQ(monitor().acquireWebcamByPath(flipped(b), owner_, video_), nullptr);
    EXPECT_EQ(monitor().acquireWebcamByName(kModelBName, owner_, video_), nullptr);
    byPath->release();

    EXPECT_EQ(monitor().acquireWebcamByName(L"pello on the desk", owner_, video_), nullptr);
    EXPECT_EQ(monitor().acquireWebcamByName(L"Pello", owner_, video_), nullptr);
    VNTWebcam* byName = monitor().acquireWebcamByName(kModelBName, owner_, video_);
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->devicePath(), lower(b));
    VNTWebcam* other = monitor().acquireWebcamByName(kDefaultName, owner_, video_);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->devicePath(), lower(a));
    byName->release();
    other->release();
}

TEST_F(MonitorTest, RemovingAClaimedCameraAnnouncesItBeforeItGoes) {
    const std::wstring a = cameraPath(kModelA, kDefaultId);
    add(a, kDefaultName);
    VNTWebcam* claimed = monitor().acquireWebcamByPath(a, owner_, video_);
    ASSERT_NE(claimed, nullptr);
    recorder_->seen.clear();

    monitor().removeDevice(upper(a));
    ASSERT_EQ(recorder_->seen.size(), 1u);
    EXPECT_EQ(recorder_->seen[0], std::make_pair(std::wstring(L"WEBCAM_PULL_OUT"), lower(a)));
    EXPECT_EQ(monitor().webcamCount(), baseline_);
    EXPECT_EQ(monitor().acquireWebcamByPath(a, owner_, video_), nullptr);
    monitor().removeDevice(a);
    EXPECT_EQ(recorder_->seen.size(), 1u);
}

}  // namespace
