// Recognising the maker's cameras by the USB IDs in their device paths.
#include "camera/VantorUsbIds.h"
#include "camera/WebcamModel.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring path(const std::wstring& ids) {
    return L"\\\\?\\USB#" + ids + L"&MI_00#6&1A2B3C&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
}

}  // namespace

TEST(WebcamModelTest, TheModelTableInItsOrder) {
    const struct {
        std::wstring ids;
        WebcamModel model;
    } cases[] = {
        {L"VID_C7A2&PID_5A01", WebcamModel::skeo},
        {L"vid_c7a2&pid_5a02", WebcamModel::skeoPlus},
        {L"Vid_C7a2&Pid_5A02", WebcamModel::skeoPlus},
        // A path naming both products is model B.
        {L"VID_C7A2&PID_5A01&PID_5A02", WebcamModel::skeoPlus},
        {L"VID_C7A2&PID_5A03", WebcamModel::none},
        {L"VID_046D&PID_5A01", WebcamModel::none},
        {L"VID_046D&PID_0825", WebcamModel::none},
    };
    for (const auto& c : cases) EXPECT_EQ(classifyDevicePath(path(c.ids)), c.model) << std::string(c.ids.begin(), c.ids.end());
    EXPECT_EQ(classifyDevicePath(L""), WebcamModel::none);
}

TEST(WebcamModelTest, DefaultNamesAndLowerCase) {
    EXPECT_STREQ(defaultDisplayName(WebcamModel::skeo), L"Skeo");
    EXPECT_STREQ(defaultDisplayName(WebcamModel::skeoPlus), L"Pello");
    EXPECT_STREQ(defaultDisplayName(WebcamModel::none), L"");
    EXPECT_EQ(lowerDevicePath(L"\\\\?\\USB#VID_C7A2&PID_5A01#Ab{C}"), L"\\\\?\\usb#vid_c7a2&pid_5a01#ab{c}");
}
