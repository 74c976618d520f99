// The capture format table: class and stored resolution id to size, subtype and correction.
#include "app/CaptureFormat.h"

#include <gtest/gtest.h>

TEST(CaptureFormatTest, TableByClassAndResolution) {
    const struct {
        const wchar_t* cls;
        int32_t id;
        int width, height;
        CaptureSubtype subtype;
        int32_t corrected;
    } rows[] = {
        {L"VNTWebcamSkeo", 32841, 1600, 1200, CaptureSubtype::mjpg, 0},
        {L"VNTWebcamSkeoPlus", 32842, 1280, 1024, CaptureSubtype::mjpg, 0},
        {L"VNTWebcamSkeo", 32843, 1024, 768, CaptureSubtype::mjpg, 0},
        {L"VNTWebcamSkeoPlus", 32844, 800, 600, CaptureSubtype::mjpg, 0},
        {L"VNTWebcamSkeo", 32845, 640, 480, CaptureSubtype::yuy2, 0},
        {L"VNTWebcamSkeoPlus", 32846, 320, 240, CaptureSubtype::yuy2, 0},
        {L"VNTWebcamSkeo", 0, 1280, 1024, CaptureSubtype::rgb24, 32842},
        {L"VNTWebcamSkeoPlus", 32801, 1280, 1024, CaptureSubtype::rgb24, 32842},
        {L"VNTWebcamZev", 32844, 800, 600, CaptureSubtype::rgb24, 0},
        {L"VNTWebcamZev", 32846, 320, 240, CaptureSubtype::rgb24, 0},
        {L"VNTWebcamZev", 32841, 640, 480, CaptureSubtype::rgb24, 32845},
        {L"VNTWebcam", 32845, 640, 480, CaptureSubtype::any, 0},
        {L"VNTWebcam", 32841, 640, 480, CaptureSubtype::any, 32845},
        {L"vntwebcamskeo", 32841, 640, 480, CaptureSubtype::any, 32845},  // class names match exactly
    };
    for (const auto& r : rows) {
        const CaptureFormat f = captureFormatFor(r.cls, r.id);
        EXPECT_EQ(f.width, r.width) << r.id;
        EXPECT_EQ(f.height, r.height) << r.id;
        EXPECT_EQ(f.subtype, r.subtype) << r.id;
        EXPECT_EQ(f.correctedResolution, r.corrected) << r.id;
    }
}
