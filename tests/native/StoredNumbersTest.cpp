// The table of stored numbers: a model's own row wins over the row for every model, and every
// default is one of its own accepted values (a default outside would be replaced at every start).
#include "settings/StoredNumbers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(StoredNumbersTest, AModelsOwnRangeAndDefaultComeBeforeTheSharedOnes) {
    const struct {
        const wchar_t* subkey;
        const wchar_t* name;
        int32_t defaultValue;
        int32_t accepted;
        int32_t refused;
    } cases[] = {
        {L"Pello", L"CameraExposureValue", 4, 15, 32813},
        {L"Skeo", L"CameraExposureValue", 32813, 32811, 15},
        {L"Others", L"CameraExposureValue", 32813, 32815, 32816},
        {L"Pello", L"CameraResolution", 32842, 32846, 32847},
        {L"Skeo", L"CameraResolution", 32842, 32841, 32840},
        {L"Zev", L"CameraResolution", 32845, 32841, 32840},
        {L"Others", L"CameraZoom", 32801, 32806, 32807},
        {L"", L"InstantPreview", 1, 2, 3},
        {L"", L"CustomSerialNumber", 1, settings::kLastPhotoSerial, settings::kLastPhotoSerial + 1},
        {L"", L"TimeSerialNumber", 1, 1, 0},
        {L"Language", L"LANGID", 1033, 1028, 1029},
        {L"Language", L"LANGID", 1033, 1041, 0x10411},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.subkey << " " << c.name);
        const settings::StoredNumber* number = settings::findStoredNumber(c.subkey, c.name);
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->defaultValue, c.defaultValue);
        EXPECT_TRUE(number->accepts(c.accepted));
        EXPECT_FALSE(number->accepts(c.refused));
    }
    EXPECT_EQ(settings::findStoredNumber(L"", L"CameraTypo"), nullptr);
    EXPECT_EQ(settings::findStoredNumber(L"Pello", L"InstantPreview"), nullptr) << "not a camera setting";
}

TEST(StoredNumbersTest, EveryDefaultIsAcceptedAndStoredOnlyNumbersTakeAnything) {
    const struct {
        const wchar_t* subkey;
        const wchar_t* name;
    } values[] = {
        {L"", L"FlickerCorrection"},     {L"", L"InstantPreview"},       {L"", L"SoundEffectFocus"},
        {L"", L"SoundEffectSnapshot"},   {L"", L"PhotoNameFormat"},      {L"", L"ProgrammableKeyFunction"},
        {L"", L"TimeSerialNumber"},      {L"", L"CustomSerialNumber"},   {L"", L"CameraSettingsPreload"},
        {L"Pello", L"CameraZoom"},       {L"Pello", L"CameraTimer"},     {L"Pello", L"CameraMirrorVertical"},
        {L"Pello", L"CameraMirrorHorizontal"}, {L"Pello", L"CameraResolution"}, {L"Pello", L"CameraExposureValue"},
        {L"Pello", L"CameraExposureMode"}, {L"Skeo", L"CameraResolution"}, {L"Skeo", L"CameraExposureValue"},
        {L"Zev", L"CameraResolution"},   {L"Others", L"CameraExposureValue"}, {L"Language", L"LANGID"},
    };
    for (const auto& v : values) {
        const settings::StoredNumber* number = settings::findStoredNumber(v.subkey, v.name);
        ASSERT_NE(number, nullptr) << v.name;
        EXPECT_TRUE(number->accepts(number->defaultValue)) << v.subkey << " " << v.name;
    }
    for (const wchar_t* name : {L"FlickerCorrection", L"ProgrammableKeyFunction"}) {
        const settings::StoredNumber* number = settings::findStoredNumber(L"", name);
        ASSERT_NE(number, nullptr);
        EXPECT_TRUE(number->accepts(INT32_MIN) && number->accepts(-1) && number->accepts(INT32_MAX)) << name;
    }
}

}  // namespace
