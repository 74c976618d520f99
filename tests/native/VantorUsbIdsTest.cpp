#include <gtest/gtest.h>

#include <cwchar>

#include "camera/VantorUsbIds.h"

TEST(VantorUsbIds, DevicePathFormsMatchTheNumbers) {
    wchar_t text[16];
    std::swprintf(text, 16, L"vid_%04x", vantor::kUsbVendorId);
    EXPECT_STREQ(text, vantor::kUsbVendorIdText);
    std::swprintf(text, 16, L"pid_%04x", vantor::kUsbProductIdModelA);
    EXPECT_STREQ(text, vantor::kUsbProductIdModelAText);
    std::swprintf(text, 16, L"pid_%04x", vantor::kUsbProductIdModelB);
    EXPECT_STREQ(text, vantor::kUsbProductIdModelBText);
    EXPECT_NE(vantor::kUsbProductIdModelA, vantor::kUsbProductIdModelB);
}
