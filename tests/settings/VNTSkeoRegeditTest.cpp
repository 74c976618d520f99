#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "settings/VNTSkeoRegedit.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TempFolder.h"

using namespace testsupport;

namespace {

const std::wstring kProductKey = L"Software\\Vantor\\Zevlan";

std::wstring documentsFolder() {
    wchar_t path[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sandbox.active()); }
    RegistrySandbox sandbox;
};

TEST_F(SettingsTest, FirstRunStoresEveryDefault) {
    VNTSkeoRegedit settings;
    const std::wstring library = documentsFolder() + L"\\My pictures\\Skeo\\";
    EXPECT_TRUE(fileExists(library));

    struct Text {
        const wchar_t* name;
        std::wstring value;
    };
    for (const Text& t : {Text{L"VideoDevice", L""}, Text{L"PhotoLibraryLocation", library},
                          Text{L"PhotoNameUserDefine", L""}, Text{L"LastSystemTime\t", VNTSkeoRegedit::today()}}) {
        const RawValue raw = readRaw(kProductKey, t.name);
        EXPECT_TRUE(raw.present) << t.name;
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ)) << t.name;
        EXPECT_EQ(raw.text(), t.value) << t.name;
    }
    EXPECT_EQ(settings.lastSystemTime().size(), 10u);
    EXPECT_FALSE(readRaw(kProductKey, L"LastSystemTime").present) << "the name ends in a tab";

    struct Number {
        const wchar_t* name;
        uint32_t value;
    };
    for (const Number& n : {Number{L"FlickerCorrection", 0}, Number{L"InstantPreview", 1},
                            Number{L"SoundEffectFocus", 1}, Number{L"SoundEffectSnapshot", 1},
                            Number{L"PhotoNameFormat", 0}, Number{L"ProgrammableKeyFunction", 0},
                            Number{L"TimeSerialNumber", 1}, Number{L"CustomSerialNumber", 1},
                            Number{L"CameraSettingsPreload", 1}}) {
        const RawValue raw = readRaw(kProductKey, n.name);
        EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD)) << n.name;
        EXPECT_EQ(raw.dword(), n.value) << n.name;
    }
    EXPECT_EQ(settings.cameraSettings(), nullptr) << "no model before a camera opens";
    EXPECT_EQ(settings.instantPreview(), 1);
    EXPECT_EQ(settings.photoLibraryLocation(), library);
}

TEST_F(SettingsTest, StoredValuesWinAndWrongTypesFallBackToTheDefault) {
    const DWORD two = 2;
    ASSERT_TRUE(writeRaw(kProductKey, L"InstantPreview", REG_DWORD, &two, 4));
    const wchar_t text[] = L"3";
    ASSERT_TRUE(writeRaw(kProductKey, L"SoundEffectFocus", REG_SZ, text, sizeof text));
    ASSERT_TRUE(writeRaw(kProductKey, L"VideoDevice", REG_DWORD, &two, 4));
    VNTSkeoRegedit settings;
    EXPECT_EQ(settings.instantPreview(), 2);
    EXPECT_EQ(settings.soundEffectFocus(), 1);
    EXPECT_EQ(readRaw(kProductKey, L"SoundEffectFocus").type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(settings.videoDevice(), L"");
    EXPECT_EQ(readRaw(kProductKey, L"VideoDevice").type, static_cast<DWORD>(REG_SZ));
}

// What the registry may hold in place of a number: other programs, hand edits and old versions
// leave all of these.
struct Stored {
    std::string what;
    DWORD type;
    std::vector<BYTE> bytes;
    bool isNumber() const { return type == REG_DWORD && bytes.size() == 4; }
    int32_t number() const {
        int32_t v = 0;
        std::memcpy(&v, bytes.data(), 4);
        return v;
    }
};

Stored storedDword(uint32_t v) {
    std::vector<BYTE> bytes(4);
    std::memcpy(bytes.data(), &v, 4);
    return Stored{"dword " + std::to_string(static_cast<int32_t>(v)), REG_DWORD, bytes};
}

std::vector<Stored> oddValues(int32_t low, int32_t high) {
    std::vector<Stored> values = {storedDword(77),         storedDword(0xFFFFFFFFu), storedDword(0x7FFFFFFFu),
                                  storedDword(0x80000000u), storedDword(static_cast<uint32_t>(high) + 1u),
                                  storedDword(static_cast<uint32_t>(low)), storedDword(static_cast<uint32_t>(high))};
    if (low != 0) values.push_back(storedDword(static_cast<uint32_t>(low) - 1u));
    const wchar_t junk[] = L"junk";
    const wchar_t number[] = L"1";
    values.push_back({"REG_SZ junk", REG_SZ, std::vector<BYTE>(reinterpret_cast<const BYTE*>(junk),
                                                                reinterpret_cast<const BYTE*>(junk) + sizeof junk)});
    values.push_back({"REG_SZ 1", REG_SZ, std::vector<BYTE>(reinterpret_cast<const BYTE*>(number),
                                                             reinterpret_cast<const BYTE*>(number) + sizeof number)});
    values.push_back({"3-byte binary", REG_BINARY, {1, 0, 0}});
    values.push_back({"3-byte dword", REG_DWORD, {1, 0, 0}});
    values.push_back({"qword 1", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}});
    values.push_back({"empty binary", REG_BINARY, {}});
    return values;
}

// A value of the registry table with the numbers it may take and the default it falls back to.
struct NumberRange {
    const wchar_t* name;
    int32_t low;
    int32_t high;
    int32_t fallback;
};

// Loaded as stored when it is a number in range, else as the default, which the registry then holds.
void expectLoaded(const std::wstring& key, const NumberRange& r, const Stored& s, int32_t loaded) {
    const bool kept = s.isNumber() && s.number() >= r.low && s.number() <= r.high;
    const int32_t expected = kept ? s.number() : r.fallback;
    EXPECT_EQ(loaded, expected);
    const RawValue after = readRaw(key, r.name);
    EXPECT_EQ(after.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(after.data.size(), 4u);
    EXPECT_EQ(static_cast<int32_t>(after.dword()), expected);
}

TEST_F(SettingsTest, OddStoredApplicationNumbersLoadAsTheirDefaultAndTheDefaultIsStoredBack) {
    struct Case {
        NumberRange range;
        int32_t (VNTSkeoRegedit::*get)() const;
    };
    const Case cases[] = {
        {{L"InstantPreview", 0, 2, 1}, &VNTSkeoRegedit::instantPreview},
        {{L"SoundEffectFocus", 0, 1, 1}, &VNTSkeoRegedit::soundEffectFocus},
        {{L"SoundEffectSnapshot", 0, 1, 1}, &VNTSkeoRegedit::soundEffectSnapshot},
        {{L"PhotoNameFormat", 0, 1, 0}, &VNTSkeoRegedit::photoNameFormat},
        {{L"TimeSerialNumber", 1, 99999999, 1}, &VNTSkeoRegedit::timeSerialNumber},
        {{L"CustomSerialNumber", 1, 99999999, 1}, &VNTSkeoRegedit::customSerialNumber},
        {{L"CameraSettingsPreload", 0, 1, 1}, &VNTSkeoRegedit::cameraSettingsPreload},
        // Stored only: nothing waits on them or counts with them, so any number stays.
        {{L"FlickerCorrection", INT32_MIN, INT32_MAX, 0}, &VNTSkeoRegedit::flickerCorrection},
        {{L"ProgrammableKeyFunction", INT32_MIN, INT32_MAX, 0}, &VNTSkeoRegedit::programmableKeyFunction},
    };
    for (const Case& c : cases) {
        for (const Stored& s : oddValues(c.range.low, c.range.high)) {
            SCOPED_TRACE(testing::Message() << c.range.name << ": " << s.what);
            ASSERT_TRUE(writeRaw(kProductKey, c.range.name, s.type, s.bytes.data(), static_cast<DWORD>(s.bytes.size())));
            VNTSkeoRegedit settings;
            expectLoaded(kProductKey, c.range, s, (settings.*c.get)());
        }
    }
}

TEST_F(SettingsTest, OddStoredCameraNumbersLoadAsTheModelsDefaultAndTheDefaultIsStoredBack) {
    struct Case {
        const wchar_t* cameraClass;
        const wchar_t* subkey;
        NumberRange range;
        int32_t CameraSettings::*field;
    };
    const Case cases[] = {
        {L"VNTWebcamSkeoPlus", L"Pello", {L"CameraZoom", 32801, 32806, 32801}, &CameraSettings::zoom},
        {L"VNTWebcamSkeoPlus", L"Pello", {L"CameraTimer", 32821, 32823, 32821}, &CameraSettings::timer},
        {L"VNTWebcamSkeoPlus", L"Pello", {L"CameraMirrorVertical", 0, 1, 0}, &CameraSettings::mirrorVertical},
        {L"VNTWebcamSkeoPlus", L"Pello", {L"CameraMirrorHorizontal", 0, 1, 0}, &CameraSettings::mirrorHorizontal},
        {L"VNTWebcamSkeoPlus", L"Pello", {L"CameraResolution", 32841, 32846, 32842}, &CameraSettings::resolution},
        {L"VNTWebcamSkeoPlus", L"Pello", {L"CameraExposureValue", 0, 15, 4}, &CameraSettings::exposureValue},
        {L"VNTWebcamSkeoPlus", L"Pello", {L"CameraExposureMode", 32818, 32819, 32818}, &CameraSettings::exposureMode},
        {L"VNTWebcamSkeo", L"Skeo", {L"CameraZoom", 32801, 32806, 32801}, &CameraSettings::zoom},
        {L"VNTWebcamSkeo", L"Skeo", {L"CameraResolution", 32841, 32846, 32842}, &CameraSettings::resolution},
        {L"VNTWebcamSkeo", L"Skeo", {L"CameraExposureValue", 32811, 32815, 32813}, &CameraSettings::exposureValue},
        {L"VNTWebcamZev", L"Zev", {L"CameraExposureValue", 32811, 32815, 32813}, &CameraSettings::exposureValue},
        {L"VNTWebcam", L"Others", {L"CameraTimer", 32821, 32823, 32821}, &CameraSettings::timer},
        {L"VNTWebcam", L"Others", {L"CameraResolution", 32841, 32846, 32845}, &CameraSettings::resolution},
        {L"VNTWebcam", L"Others", {L"CameraExposureValue", 32811, 32815, 32813}, &CameraSettings::exposureValue},
        {L"VNTWebcam", L"Others", {L"CameraExposureMode", 32818, 32819, 32818}, &CameraSettings::exposureMode},
    };
    for (const Case& c : cases) {
        const std::wstring key = kProductKey + L"\\" + c.subkey;
        for (const Stored& s : oddValues(c.range.low, c.range.high)) {
            SCOPED_TRACE(testing::Message() << c.subkey << "\\" << c.range.name << ": " << s.what);
            ASSERT_TRUE(writeRaw(key, c.range.name, s.type, s.bytes.data(), static_cast<DWORD>(s.bytes.size())));
            VNTSkeoRegedit settings;
            ASSERT_TRUE(settings.selectCameraModel(c.cameraClass));
            expectLoaded(key, c.range, s, settings.cameraSettings()->*c.field);
        }
    }
}

TEST_F(SettingsTest, SettersRefuseNumbersOutsideTheirRangeAndKeepWhatWasThere) {
    VNTSkeoRegedit settings;
    struct Refused {
        const wchar_t* name;
        bool (VNTSkeoRegedit::*set)(int32_t);
        int32_t (VNTSkeoRegedit::*get)() const;
        int32_t refused;
    };
    for (const Refused& r : {Refused{L"InstantPreview", &VNTSkeoRegedit::setInstantPreview,
                                     &VNTSkeoRegedit::instantPreview, 77},
                             Refused{L"InstantPreview", &VNTSkeoRegedit::setInstantPreview,
                                     &VNTSkeoRegedit::instantPreview, -1},
                             Refused{L"SoundEffectFocus", &VNTSkeoRegedit::setSoundEffectFocus,
                                     &VNTSkeoRegedit::soundEffectFocus, 2},
                             Refused{L"PhotoNameFormat", &VNTSkeoRegedit::setPhotoNameFormat,
                                     &VNTSkeoRegedit::photoNameFormat, 9},
                             Refused{L"CustomSerialNumber", &VNTSkeoRegedit::setCustomSerialNumber,
                                     &VNTSkeoRegedit::customSerialNumber, 0},
                             Refused{L"TimeSerialNumber", &VNTSkeoRegedit::setTimeSerialNumber,
                                     &VNTSkeoRegedit::timeSerialNumber, 100000000},
                             Refused{L"CameraSettingsPreload", &VNTSkeoRegedit::setCameraSettingsPreload,
                                     &VNTSkeoRegedit::cameraSettingsPreload, -5}}) {
        SCOPED_TRACE(testing::Message() << r.name << " = " << r.refused);
        const int32_t before = (settings.*r.get)();
        EXPECT_FALSE((settings.*r.set)(r.refused));
        EXPECT_EQ((settings.*r.get)(), before);
        EXPECT_EQ(static_cast<int32_t>(readRaw(kProductKey, r.name).dword()), before);
    }

    struct CameraRefused {
        const wchar_t* cameraClass;
        const wchar_t* name;
        bool (VNTSkeoRegedit::*set)(int32_t);
        int32_t CameraSettings::*field;
        int32_t refused;
        int32_t accepted;
    };
    for (const CameraRefused& r :
         {CameraRefused{L"VNTWebcamSkeoPlus", L"CameraExposureValue", &VNTSkeoRegedit::setCameraExposureValue,
                        &CameraSettings::exposureValue, 16, 15},
          CameraRefused{L"VNTWebcamSkeoPlus", L"CameraExposureValue", &VNTSkeoRegedit::setCameraExposureValue,
                        &CameraSettings::exposureValue, 200, 0},
          CameraRefused{L"VNTWebcamSkeo", L"CameraExposureValue", &VNTSkeoRegedit::setCameraExposureValue,
                        &CameraSettings::exposureValue, 7, 32815},
          CameraRefused{L"VNTWebcamSkeo", L"CameraExposureValue", &VNTSkeoRegedit::setCameraExposureValue,
                        &CameraSettings::exposureValue, 32816, 32811},
          CameraRefused{L"VNTWebcamSkeo", L"CameraZoom", &VNTSkeoRegedit::setCameraZoom, &CameraSettings::zoom,
                        32807, 32806},
          CameraRefused{L"VNTWebcamSkeo", L"CameraTimer", &VNTSkeoRegedit::setCameraTimer, &CameraSettings::timer,
                        -1, 32823},
          CameraRefused{L"VNTWebcamSkeo", L"CameraMirrorVertical", &VNTSkeoRegedit::setCameraMirrorVertical,
                        &CameraSettings::mirrorVertical, 2, 1},
          CameraRefused{L"VNTWebcam", L"CameraMirrorHorizontal", &VNTSkeoRegedit::setCameraMirrorHorizontal,
                        &CameraSettings::mirrorHorizontal, -1, 1},
          CameraRefused{L"VNTWebcam", L"CameraResolution", &VNTSkeoRegedit::setCameraResolution,
                        &CameraSettings::resolution, 32840, 32841},
          CameraRefused{L"VNTWebcam", L"CameraExposureMode", &VNTSkeoRegedit::setCameraExposureMode,
                        &CameraSettings::exposureMode, 32817, 32819}}) {
        SCOPED_TRACE(testing::Message() << r.cameraClass << " " << r.name << " = " << r.refused);
        ASSERT_TRUE(settings.selectCameraModel(r.cameraClass));
        const std::wstring key = kProductKey + L"\\" + settings.cameraSection();
        const int32_t before = settings.cameraSettings()->*r.field;
        EXPECT_FALSE((settings.*r.set)(r.refused));
        EXPECT_EQ(settings.cameraSettings()->*r.field, before);
        EXPECT_EQ(static_cast<int32_t>(readRaw(key, r.name).dword()), before);
        EXPECT_TRUE((settings.*r.set)(r.accepted));
        EXPECT_EQ(static_cast<int32_t>(readRaw(key, r.name).dword()), r.accepted);
    }
}

struct ModelCase {
    const wchar_t* className;
    const wchar_t* subkey;
    int32_t resolution;
    int32_t exposureValue;
};

TEST_F(SettingsTest, EachCameraClassHasItsSubkeyAndDefaults) {
    VNTSkeoRegedit settings;
    for (const ModelCase& m : {ModelCase{L"VNTWebcamSkeoPlus", L"Pello", 32842, 4},
                               ModelCase{L"VNTWebcamSkeo", L"Skeo", 32842, 32813},
                               ModelCase{L"VNTWebcamZev", L"Zev", 32845, 32813},
                               ModelCase{L"VNTWebcam", L"Others", 32845, 32813}}) {
        SCOPED_TRACE(m.className);
        ASSERT_TRUE(settings.selectCameraModel(m.className));
        EXPECT_EQ(settings.cameraSection(), m.subkey);
        const CameraSettings* c = settings.cameraSettings();
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->zoom, 32801);
        EXPECT_EQ(c->timer, 32821);
        EXPECT_EQ(c->mirrorVertical, 0);
        EXPECT_EQ(c->mirrorHorizontal, 0);
        EXPECT_EQ(c->resolution, m.resolution);
        EXPECT_EQ(c->exposureValue, m.exposureValue);
        EXPECT_EQ(c->exposureMode, 32818);
        EXPECT_EQ(readRaw(kProductKey + L"\\" + m.subkey, L"CameraResolution").dword(),
                  static_cast<uint32_t>(m.resolution));
    }
    EXPECT_FALSE(settings.selectCameraModel(L"VNTWebcamSomethingElse"));
    EXPECT_EQ(settings.cameraSection(), L"Others") << "a refused class changes nothing";
    EXPECT_TRUE(settings.selectCameraModel(L""));
    EXPECT_EQ(settings.cameraSection(), L"");
    EXPECT_NE(settings.cameraSettings(), nullptr) << "clearing the section keeps the record";
}

TEST_F(SettingsTest, SelectingTheSameModelAgainDoesNotRereadTheRegistry) {
    VNTSkeoRegedit settings;
    ASSERT_TRUE(settings.selectCameraModel(L"VNTWebcamSkeo"));
    const DWORD zoom = 32804;
    ASSERT_TRUE(writeRaw(kProductKey + L"\\Skeo", L"CameraZoom", REG_DWORD, &zoom, 4));
    ASSERT_TRUE(settings.selectCameraModel(L"VNTWebcamSkeo"));
    EXPECT_EQ(settings.cameraSettings()->zoom, 32801);
    ASSERT_TRUE(settings.selectCameraModel(L"VNTWebcam"));
    ASSERT_TRUE(settings.selectCameraModel(L"VNTWebcamSkeo"));
    EXPECT_EQ(settings.cameraSettings()->zoom, 32804) << "another model in between reloads it";
}

TEST_F(SettingsTest, CameraSettersWriteOnlyChanges) {
    VNTSkeoRegedit settings;
    EXPECT_FALSE(settings.setCameraZoom(32803)) << "no model selected";
    ASSERT_TRUE(settings.selectCameraModel(L"VNTWebcamSkeoPlus"));
    const std::wstring key = kProductKey + L"\\Pello";
    ASSERT_TRUE(deleteValue(key, L"CameraZoom"));
    EXPECT_TRUE(settings.setCameraZoom(32801));
    EXPECT_FALSE(readRaw(key, L"CameraZoom").present) << "an unchanged value is not written";

    EXPECT_TRUE(settings.setCameraZoom(32806));
    EXPECT_TRUE(settings.setCameraMirrorVertical(1));
    EXPECT_TRUE(settings.setCameraExposureValue(9));
    EXPECT_EQ(readRaw(key, L"CameraZoom").dword(), 32806u);
    EXPECT_EQ(readRaw(key, L"CameraMirrorVertical").dword(), 1u);
    EXPECT_EQ(readRaw(key, L"CameraExposureValue").dword(), 9u);
    EXPECT_EQ(settings.cameraSettings()->zoom, 32806);
}

TEST_F(SettingsTest, WithoutPreloadEveryModelStartsFromItsDefaults) {
    {
        VNTSkeoRegedit settings;
        ASSERT_TRUE(settings.selectCameraModel(L"VNTWebcamSkeoPlus"));
        ASSERT_TRUE(settings.setCameraZoom(32805));
        ASSERT_TRUE(settings.selectCameraModel(L"VNTWebcam"));
        ASSERT_TRUE(settings.setCameraResolution(32841));
        ASSERT_TRUE(createKey(kProductKey + L"\\Zev\\Nested"));
        ASSERT_TRUE(settings.setCameraSettingsPreload(0));
    }
    VNTSkeoRegedit settings;
    for (const wchar_t* model : {L"Pello", L"Skeo", L"Zev", L"Others"})
        EXPECT_FALSE(keyExists(kProductKey + L"\\" + model)) << model;
    ASSERT_TRUE(settings.selectCameraModel(L"VNTWebcamSkeoPlus"));
    EXPECT_EQ(settings.cameraSettings()->zoom, 32801);
    EXPECT_EQ(settings.cameraSettings()->resolution, 32842);
}

TEST_F(SettingsTest, LibraryFolderMustExist) {
    TempFolder folder(L"library");
    VNTSkeoRegedit settings;
    ASSERT_TRUE(settings.setPhotoLibraryLocation(folder.path()));
    EXPECT_FALSE(settings.setPhotoLibraryLocation(folder.path() + L"missing\\"));
    EXPECT_EQ(settings.photoLibraryLocation(), folder.path());
    EXPECT_EQ(readRaw(kProductKey, L"PhotoLibraryLocation").text(), folder.path());
}

class PhotoNameTest : public SettingsTest {
protected:
    void SetUp() override {
        SettingsTest::SetUp();
        ASSERT_TRUE(settings.setPhotoLibraryLocation(folder.path()));
    }
    TempFolder folder{L"photos"};
    VNTSkeoRegedit settings;
};

TEST_F(PhotoNameTest, DateNamesRestartEachDayAndCountWithinIt) {
    const std::wstring today = VNTSkeoRegedit::today();
    ASSERT_TRUE(settings.setLastSystemTime(L"2011-03-09"));
    ASSERT_TRUE(settings.setTimeSerialNumber(57));
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + today + L"_0001.jpg");
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + today + L"_0002.jpg");
    EXPECT_EQ(readRaw(kProductKey, L"LastSystemTime\t").text(), today);
    EXPECT_EQ(readRaw(kProductKey, L"TimeSerialNumber").dword(), 3u);
    EXPECT_EQ(settings.customSerialNumber(), 1) << "the other scheme's counter is untouched";
}

TEST_F(PhotoNameTest, CustomNamesUseThePrefixAndAtLeastFourDigits) {
    ASSERT_TRUE(settings.setPhotoNameFormat(1));
    ASSERT_TRUE(settings.setPhotoNameUserDefine(L""));
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + L"_0001.jpg");
    ASSERT_TRUE(settings.setPhotoNameUserDefine(L"lesson"));
    ASSERT_TRUE(settings.setCustomSerialNumber(12345));
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + L"lesson_12345.jpg");
    EXPECT_EQ(readRaw(kProductKey, L"CustomSerialNumber").dword(), 12346u);
    const int32_t timeSerial = settings.timeSerialNumber();
    ASSERT_TRUE(settings.setPhotoNameFormat(0));
    settings.makePhotoFileName();
    ASSERT_TRUE(settings.setPhotoNameFormat(1));
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + L"lesson_12346.jpg") << "switching keeps counters";
    EXPECT_GE(settings.timeSerialNumber(), timeSerial);
}

TEST_F(PhotoNameTest, NeverNamesAFileThatExists) {
    ASSERT_TRUE(settings.setPhotoNameFormat(1));
    ASSERT_TRUE(settings.setPhotoNameUserDefine(L"class"));
    ASSERT_TRUE(writeFile(folder.path() + L"class_0001.jpg", "earlier photo"));
    ASSERT_TRUE(writeFile(folder.path() + L"class_0002.jpg", "earlier photo"));
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + L"class_0003.jpg");
    EXPECT_EQ(readRaw(kProductKey, L"CustomSerialNumber").dword(), 4u);
}

TEST_F(PhotoNameTest, AfterTheLastSerialTheFirstFreeOneFollowsAndNoPhotoIsOverwritten) {
    ASSERT_TRUE(settings.setPhotoNameFormat(1));
    ASSERT_TRUE(settings.setPhotoNameUserDefine(L"top"));
    ASSERT_TRUE(writeFile(folder.path() + L"top_0001.jpg", "earlier photo"));
    ASSERT_TRUE(settings.setCustomSerialNumber(99999999));
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + L"top_99999999.jpg");
    EXPECT_EQ(readRaw(kProductKey, L"CustomSerialNumber").dword(), 1u) << "counting starts again";
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + L"top_0002.jpg") << "top_0001.jpg is kept";
    EXPECT_EQ(readRaw(kProductKey, L"CustomSerialNumber").dword(), 3u);

    ASSERT_TRUE(writeFile(folder.path() + L"top_99999999.jpg", "the last photo"));
    ASSERT_TRUE(settings.setCustomSerialNumber(99999999));
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + L"top_0002.jpg") << "past the top, then past 1";
}

TEST_F(PhotoNameTest, ANameNoPhotoCameOfIsGivenBackOnlyWhileNothingElseTookIt) {
    ASSERT_TRUE(settings.setPhotoNameFormat(1));
    ASSERT_TRUE(settings.setPhotoNameUserDefine(L"class"));
    const std::wstring first = settings.makePhotoFileName();
    EXPECT_EQ(first, folder.path() + L"class_0001.jpg");
    settings.returnPhotoFileName(first);  // the folder was read-only: no file
    EXPECT_EQ(readRaw(kProductKey, L"CustomSerialNumber").dword(), 1u);
    EXPECT_EQ(settings.makePhotoFileName(), first) << "no gap in the numbers";

    ASSERT_TRUE(writeFile(first, "the photo"));
    settings.returnPhotoFileName(first);  // written after all: its number stays used
    EXPECT_EQ(settings.makePhotoFileName(), folder.path() + L"class_0002.jpg");

    const std::wstring third = settings.makePhotoFileName();
    settings.returnPhotoFileName(folder.path() + L"class_0002.jpg");  // not the last name made
    settings.returnPhotoFileName(L"");
    EXPECT_EQ(readRaw(kProductKey, L"CustomSerialNumber").dword(), 4u);
    settings.returnPhotoFileName(third);
    settings.returnPhotoFileName(third);  // only once
    EXPECT_EQ(readRaw(kProductKey, L"CustomSerialNumber").dword(), 3u);
}

TEST_F(PhotoNameTest, AMissingLibraryIsRecreatedWithEveryParent) {
    TempFolder outer(L"recreate");
    const std::wstring library = outer.path() + L"a\\b\\c\\";
    ASSERT_TRUE(CreateDirectoryW((outer.path() + L"a").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((outer.path() + L"a\\b").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW(library.c_str(), nullptr));
    ASSERT_TRUE(settings.setPhotoLibraryLocation(library));
    removeTree(outer.path() + L"a");
    ASSERT_FALSE(fileExists(library));
    const std::wstring path = settings.makePhotoFileName();
    EXPECT_TRUE(fileExists(library));
    EXPECT_EQ(path.rfind(library, 0), 0u);
}

TEST_F(PhotoNameTest, LongPathsAreNotCut) {
    std::wstring library = folder.path();
    for (int i = 0; i < 3; ++i) {
        library += std::wstring(60, static_cast<wchar_t>(L'k' + i)) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(library.c_str(), nullptr));
    }
    ASSERT_TRUE(settings.setPhotoLibraryLocation(library));
    ASSERT_TRUE(settings.setPhotoNameFormat(1));
    ASSERT_TRUE(settings.setPhotoNameUserDefine(std::wstring(80, L'p')));
    const std::wstring path = settings.makePhotoFileName();
    EXPECT_GT(path.size(), 256u);
    EXPECT_EQ(path, library + std::wstring(80, L'p') + L"_0001.jpg");
}

}  // namespace
