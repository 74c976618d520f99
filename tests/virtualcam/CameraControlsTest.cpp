// The camera's property answers as the program asks for them: a 40-byte record with request
// flags 2 for gets and sets alike, value at offset 24.
#include "tools/virtualcam/CameraControls.h"
#include "tools/virtualcam/PixelFormats.h"

#include <gtest/gtest.h>
#include <ks.h>
#include <ksmedia.h>
#include <vfwmsgs.h>

#include <cstring>
#include <vector>

namespace {

using vcam::ControlSet;

// The program's record: set GUID, id, request flags, value, value flags, capabilities, spare.
struct Record {
    GUID set;
    ULONG id;
    ULONG requestFlags;
    LONG value;
    ULONG valueFlags;
    ULONG capabilities;
    ULONG spare;
};
static_assert(sizeof(Record) == 40 && sizeof(KSPROPERTY_VIDEOPROCAMP_S) == 40, "the program sends the whole record");

Record record(const GUID& set, ULONG id, LONG value) { return Record{set, id, 2, value, 0, 0, 0xA5A5A5A5}; }

struct Expected {
    const GUID* set;
    ULONG id;
    long minimum, maximum, defaultValue;
};
const Expected kModel[] = {
    {&PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, 0, 255, 128},
    {&PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_CONTRAST, 0, 31, 16},
    {&PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_HUE, -180, 180, 0},
    {&PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_SATURATION, 0, 31, 16},
    {&PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_SHARPNESS, 0, 15, 0},
    {&PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_GAMMA, 0, 127, 64},
    {&PROPSETID_VIDCAP_CAMERACONTROL, KSPROPERTY_CAMERACONTROL_IRIS, 10, 200, 100},
};

LONG ksValue(const vcam::CameraControls& c, const GUID& set, ULONG id) {
    Record r = record(set, id, -9999);
    DWORD returned = 0;
    EXPECT_EQ(S_OK, c.ksGet(set, id, &r, sizeof r, &returned));
    EXPECT_EQ(DWORD(sizeof(KSPROPERTY_VIDEOPROCAMP_S)), returned);
    return r.value;
}

}  // namespace

TEST(CameraControls, ModelRangesDefaultsAndTheirEnds) {
    vcam::CameraControls c;
    for (const Expected& e : kModel) {
        SCOPED_TRACE(e.id);
        ControlSet set;
        ASSERT_TRUE(vcam::controlSetOf(*e.set, set));
        vcam::ControlRange r;
        ASSERT_TRUE(c.range(set, static_cast<long>(e.id), r));
        EXPECT_EQ(e.minimum, r.minimum);
        EXPECT_EQ(e.maximum, r.maximum);
        EXPECT_EQ(e.defaultValue, r.defaultValue);
        EXPECT_EQ(e.defaultValue, ksValue(c, *e.set, e.id));

        // Both ends are accepted; one step beyond either is refused and changes nothing.
        for (long v : {e.minimum, e.maximum}) {
            Record in = record(*e.set, e.id, v);
            EXPECT_EQ(S_OK, c.ksSet(*e.set, e.id, &in, sizeof in));
            EXPECT_EQ(v, ksValue(c, *e.set, e.id));
        }
        for (long v : {e.minimum - 1, e.maximum + 1}) {
            Record in = record(*e.set, e.id, v);
            EXPECT_EQ(E_INVALIDARG, c.ksSet(*e.set, e.id, &in, sizeof in));
            EXPECT_EQ(e.maximum, ksValue(c, *e.set, e.id));
        }
        DWORD support = 0;
        EXPECT_EQ(S_OK, c.ksQuerySupported(*e.set, e.id, &support));
        EXPECT_EQ(DWORD(KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET), support);
    }
    c.resetToDefaults();
    for (const Expected& e : kModel) EXPECT_EQ(e.defaultValue, ksValue(c, *e.set, e.id));
}

TEST(CameraControls, GetAnswersInTheRecordAndLeavesTheRestAlone) {
    vcam::CameraControls c;
    Record in = record(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, 200);
    ASSERT_EQ(S_OK, c.ksSet(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, &in, sizeof in));
    Record out = record(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, 5);
    DWORD returned = 0;
    ASSERT_EQ(S_OK, c.ksGet(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, &out, sizeof out, &returned));
    EXPECT_EQ(200, out.value);
    EXPECT_EQ(ULONG(KSPROPERTY_VIDEOPROCAMP_FLAGS_MANUAL), out.valueFlags);
    EXPECT_EQ(0xA5A5A5A5u, out.spare);
    EXPECT_EQ(PROPSETID_VIDCAP_VIDEOPROCAMP, out.set);

    // The size a caller needs, asked without a buffer.
    returned = 0;
    EXPECT_EQ(S_OK, c.ksGet(PROPSETID_VIDCAP_VIDEOPROCAMP, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, nullptr, 0, &returned));
    EXPECT_EQ(DWORD(sizeof(KSPROPERTY_VIDEOPROCAMP_S)), returned);

    // The picture follows the amplifier values, each property into its own control.
    const struct {
        ULONG id;
        LONG value;
    } sets[] = {{KSPROPERTY_VIDEOPROCAMP_CONTRAST, 30}, {KSPROPERTY_VIDEOPROCAMP_HUE, -90},
                {KSPROPERTY_VIDEOPROCAMP_SATURATION, 3},  {KSPROPERTY_VIDEOPROCAMP_SHARPNESS, 9},
                {KSPROPERTY_VIDEOPROCAMP_GAMMA, 100}};
    for (const auto& s : sets) {
        Record r = record(PROPSETID_VIDCAP_VIDEOPROCAMP, s.id, s.value);
        ASSERT_EQ(S_OK, c.ksSet(PROPSETID_VIDCAP_VIDEOPROCAMP, s.id, &r, sizeof r));
    }
    const vcam::ImageControls ic = c.imageControls();
    EXPECT_EQ(200, ic.brightness);
    EXPECT_EQ(30, ic.contrast);
    EXPECT_EQ(-90, ic.hue);
    EXPECT_EQ(3, ic.saturation);
    EXPECT_EQ(9, ic.sharpness);
    EXPECT_EQ(100, ic.gamma);

    vcam::TestPicture picture;
    ASSERT_TRUE(picture.setSize(320, 240));
    c.resetToDefaults();
    ASSERT_TRUE(c.set(ControlSet::VideoProcAmp, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, 200));
    picture.setControls(c.imageControls());
    std::vector<uint8_t> frame(picture.frameBytes());
    ASSERT_TRUE(picture.render(0, frame.data(), frame.size()));
    // Top-left mark, red at full, green and blue lifted by 72: the last memory row's first pixel.
    const uint8_t* topLeft = &frame[frame.size() - vcam::rgb24Stride(320)];
    EXPECT_EQ(72, topLeft[0]);
    EXPECT_EQ(72, topLeft[1]);
    EXPECT_EQ(255, topLeft[2]);
}

TEST(CameraControls, RefusesUnknownPropertiesShortRecordsAndAutomaticMode) {
    vcam::CameraControls c;
    const GUID& amp = PROPSETID_VIDCAP_VIDEOPROCAMP;
    const GUID& cam = PROPSETID_VIDCAP_CAMERACONTROL;
    Record r = record(amp, KSPROPERTY_VIDEOPROCAMP_WHITEBALANCE, 10);
    DWORD returned = 0, support = 0;
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED, c.ksSet(amp, KSPROPERTY_VIDEOPROCAMP_WHITEBALANCE, &r, sizeof r));
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED, c.ksGet(amp, KSPROPERTY_VIDEOPROCAMP_WHITEBALANCE, &r, sizeof r, &returned));
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED, c.ksGet(cam, KSPROPERTY_CAMERACONTROL_EXPOSURE, &r, sizeof r, &returned));
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED, c.ksQuerySupported(cam, KSPROPERTY_CAMERACONTROL_FOCUS, &support));
    EXPECT_EQ(E_PROP_SET_UNSUPPORTED, c.ksSet(IID_IUnknown, 0, &r, sizeof r));
    EXPECT_EQ(E_PROP_SET_UNSUPPORTED, c.ksGet(IID_IUnknown, 0, &r, sizeof r, &returned));
    EXPECT_EQ(E_PROP_SET_UNSUPPORTED, c.ksQuerySupported(IID_IUnknown, 0, &support));
    // Ids are per set: 0 is brightness in one and pan, which the model lacks, in the other.
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED, c.ksGet(cam, KSPROPERTY_CAMERACONTROL_PAN, &r, sizeof r, &returned));
    EXPECT_FALSE(c.set(ControlSet::VideoProcAmp, 99, 1));
    long value = 7;
    EXPECT_FALSE(c.get(ControlSet::CameraControl, 0, value));
    EXPECT_EQ(7, value);

    // A record too short for the value, flags and capabilities is refused before it is read.
    Record shortRecord = record(amp, KSPROPERTY_VIDEOPROCAMP_GAMMA, 100);
    EXPECT_EQ(E_UNEXPECTED, c.ksSet(amp, KSPROPERTY_VIDEOPROCAMP_GAMMA, &shortRecord, 35));
    EXPECT_EQ(E_UNEXPECTED, c.ksGet(amp, KSPROPERTY_VIDEOPROCAMP_GAMMA, &shortRecord, 35, &returned));
    EXPECT_EQ(100, shortRecord.value);
    EXPECT_EQ(E_POINTER, c.ksSet(amp, KSPROPERTY_VIDEOPROCAMP_GAMMA, nullptr, 40));
    EXPECT_EQ(E_POINTER, c.ksQuerySupported(amp, KSPROPERTY_VIDEOPROCAMP_GAMMA, nullptr));
    EXPECT_EQ(64, c.imageControls().gamma);

    // The model has no automatic mode.
    Record automatic = record(cam, KSPROPERTY_CAMERACONTROL_IRIS, 50);
    automatic.valueFlags = KSPROPERTY_CAMERACONTROL_FLAGS_AUTO;
    EXPECT_EQ(E_INVALIDARG, c.ksSet(cam, KSPROPERTY_CAMERACONTROL_IRIS, &automatic, sizeof automatic));
    EXPECT_TRUE(c.get(ControlSet::CameraControl, KSPROPERTY_CAMERACONTROL_IRIS, value));
    EXPECT_EQ(100, value);
}
