// The capture format a camera is started with, from its class and the stored resolution id.
// No Windows header, so it is tested natively too.
#pragma once

#include <cstdint>
#include <string>

enum class CaptureSubtype { any, mjpg, yuy2, rgb24 };

struct CaptureFormat {
    int width = 640;
    int height = 480;
    CaptureSubtype subtype = CaptureSubtype::any;
    // A stored resolution id the format does not know is replaced by this one first; 0: keep it.
    int32_t correctedResolution = 0;
};

CaptureFormat captureFormatFor(const std::wstring& cameraClassName, int32_t resolutionId);
