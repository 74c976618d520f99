// The virtual camera's image controls as a device shows them through kernel-streaming property
// requests: the video-processing-amplifier and camera-control sets with the Skeo model's ranges,
// defaults and current values, and the answers an IKsPropertySet handler gives. Thread-safe: the
// application sets values while the streaming thread reads them for the picture.
#pragma once

#include "dshow/SrwLock.h"
#include "tools/virtualcam/TestPicture.h"

#include <windows.h>
#include <strmif.h>

namespace vcam {

enum class ControlSet { VideoProcAmp, CameraControl };

struct ControlRange {
    long minimum = 0, maximum = 0, step = 1, defaultValue = 0;
};

class CameraControls {
public:
    // Every known property at its default.
    CameraControls() noexcept;

    // False for a property the model does not have.
    bool range(ControlSet set, long id, ControlRange& out) const noexcept;
    bool get(ControlSet set, long id, long& value) const noexcept;
    // False, changing nothing, for an unknown property or a value outside its range.
    bool set(ControlSet set, long id, long value) noexcept;
    void resetToDefaults() noexcept;

    // The picture's view of the amplifier values.
    ImageControls imageControls() const noexcept;

    // IKsPropertySet::Get, ::Set and ::QuerySupported for PROPSETID_VIDCAP_VIDEOPROCAMP and
    // PROPSETID_VIDCAP_CAMERACONTROL. The property data is a KSPROPERTY_VIDEOPROCAMP_S or
    // KSPROPERTY_CAMERACONTROL_S (both 40 bytes: the header is 8-byte aligned; longer records are
    // fine, the answer is written at the same offsets). The direction is that of the call: callers differ in the request flags
    // they put in the record's header, so those are not read. A get with no property data answers
    // the size needed. Unknown sets give E_PROP_SET_UNSUPPORTED, unknown ids
    // E_PROP_ID_UNSUPPORTED, short records E_UNEXPECTED, values out of range or an automatic mode
    // (the model has none) E_INVALIDARG.
    HRESULT ksGet(REFGUID set, DWORD id, void* data, DWORD dataLength, DWORD* returned) const noexcept;
    HRESULT ksSet(REFGUID set, DWORD id, const void* data, DWORD dataLength) noexcept;
    HRESULT ksQuerySupported(REFGUID set, DWORD id, DWORD* support) const noexcept;

private:
    struct Control {
        ControlSet set;
        long id;
        ControlRange range;
        long value;
    };

    const Control* find(ControlSet set, long id) const noexcept;
    Control* find(ControlSet set, long id) noexcept;

    mutable dshow::SrwLock lock_;
    Control controls_[7];
};

// Which set a property-set GUID names; false for any other set.
bool controlSetOf(REFGUID guid, ControlSet& set) noexcept;

}  // namespace vcam
