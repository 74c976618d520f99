// Which of the maker's camera models a video device is, from the USB IDs in its device path.
// No Windows header, so it is tested natively too.
#pragma once

#include <string>

enum class WebcamModel {
    none,      // another vendor's device, or a product of the maker we do not know
    skeo,      // model A: VNTWebcamSkeo
    skeoPlus,  // model B: VNTWebcamSkeoPlus
};

// The path is lower-cased first; model B is tested first, so a path naming both products is B.
WebcamModel classifyDevicePath(const std::wstring& devicePath);

// What the camera is called when its device has no friendly name.
const wchar_t* defaultDisplayName(WebcamModel model);

// Lower case of ASCII letters only, as device paths are compared.
std::wstring lowerDevicePath(const std::wstring& path);
