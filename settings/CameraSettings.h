// The settings of one camera model; most fields hold menu command ids.
#pragma once

#include <cstdint>
#include <limits>

struct CameraSettings {
    int32_t zoom = 0;              // 32801-32806
    int32_t timer = 0;             // 32821-32823
    int32_t mirrorHorizontal = 0;  // 0 or 1
    int32_t mirrorVertical = 0;    // 0 or 1
    int32_t resolution = 0;        // 32841-32846
    int32_t exposureValue = 0;     // command id 32811-32815, or a slider level on the "Pello" model
    int32_t exposureMode = 0;      // 32818 automatic on, 32819 off

    // The camera's picture controls as the user left them, by video processing amplifier property:
    // 0 brightness, 1 contrast, 2 hue, 3 saturation, 4 sharpness, 5 gamma. kNotStored leaves the
    // camera's own value.
    static constexpr int kAdjustments = 6;
    static constexpr int32_t kNotStored = std::numeric_limits<int32_t>::min();
    int32_t adjustments[kAdjustments] = {kNotStored, kNotStored, kNotStored, kNotStored, kNotStored, kNotStored};
};
