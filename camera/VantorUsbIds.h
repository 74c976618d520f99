// The maker's USB identity: what the device monitor looks for in a camera's device path and what
// the virtual camera writes into its own. One definition for both, free of Windows headers.
#pragma once

#include <cstdint>

namespace vantor {

constexpr uint16_t kUsbVendorId = 0xC7A2;
constexpr uint16_t kUsbProductIdModelA = 0x5A01;  // VNTWebcamSkeo
constexpr uint16_t kUsbProductIdModelB = 0x5A02;  // VNTWebcamSkeoPlus, shown as Pello

// The same values as they appear in a lower-case device path.
constexpr const wchar_t kUsbVendorIdText[] = L"vid_c7a2";
constexpr const wchar_t kUsbProductIdModelAText[] = L"pid_5a01";
constexpr const wchar_t kUsbProductIdModelBText[] = L"pid_5a02";

}  // namespace vantor
