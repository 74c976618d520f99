#include "tools/virtualcam/CameraControls.h"

#include <ks.h>
#include <ksmedia.h>
#include <vfwmsgs.h>

#include <cstddef>
#include <cstring>
#include <mutex>

namespace vcam {

namespace {

using Lock = std::lock_guard<dshow::SrwLock>;

// Both sets share one record shape: the property header, then value, flags and capabilities.
static_assert(sizeof(KSPROPERTY_VIDEOPROCAMP_S) == sizeof(KSPROPERTY_CAMERACONTROL_S), "one record shape");
static_assert(offsetof(KSPROPERTY_VIDEOPROCAMP_S, Value) == offsetof(KSPROPERTY_CAMERACONTROL_S, Value), "");
static_assert(offsetof(KSPROPERTY_VIDEOPROCAMP_S, Flags) == offsetof(KSPROPERTY_CAMERACONTROL_S, Flags), "");
constexpr DWORD kRecordSize = sizeof(KSPROPERTY_VIDEOPROCAMP_S);
constexpr size_t kValueOffset = offsetof(KSPROPERTY_VIDEOPROCAMP_S, Value);
constexpr size_t kFlagsOffset = offsetof(KSPROPERTY_VIDEOPROCAMP_S, Flags);
constexpr size_t kCapabilitiesOffset = offsetof(KSPROPERTY_VIDEOPROCAMP_S, Capabilities);

// The manual flag has the same value in both sets, and so has the automatic one.
static_assert(KSPROPERTY_VIDEOPROCAMP_FLAGS_MANUAL == KSPROPERTY_CAMERACONTROL_FLAGS_MANUAL, "");
static_assert(KSPROPERTY_VIDEOPROCAMP_FLAGS_AUTO == KSPROPERTY_CAMERACONTROL_FLAGS_AUTO, "");

// Records may sit at any address inside a caller's buffer.
LONG readLong(const void* data, size_t offset) {
    LONG v = 0;
    std::memcpy(&v, static_cast<const BYTE*>(data) + offset, sizeof v);
    return v;
}
void writeLong(void* data, size_t offset, LONG v) { std::memcpy(static_cast<BYTE*>(data) + offset, &v, sizeof v); }

}  // namespace

bool controlSetOf(REFGUID guid, ControlSet& set) noexcept {
    if (IsEqualGUID(guid, PROPSETID_VIDCAP_VIDEOPROCAMP)) {
        set = ControlSet::VideoProcAmp;
        return true;
    }
    if (IsEqualGUID(guid, PROPSETID_VIDCAP_CAMERACONTROL)) {
        set = ControlSet::CameraControl;
        return true;
    }
    return false;
}

// The model's ranges; the iris default is ours, the model only tells its range.
CameraControls::CameraControls() noexcept
    : controls_{
          {ControlSet::VideoProcAmp, KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS, {0, 255, 1, 128}, 128},
          {ControlSet::VideoProcAmp, KSPROPERTY_VIDEOPROCAMP_CONTRAST, {0, 31, 1, 16}, 16},
          {ControlSet::VideoProcAmp, KSPROPERTY_VIDEOPROCAMP_HUE, {-180, 180, 1, 0}, 0},
          {ControlSet::VideoProcAmp, KSPROPERTY_VIDEOPROCAMP_SATURATION, {0, 31, 1, 16}, 16},
          {ControlSet::VideoProcAmp, KSPROPERTY_VIDEOPROCAMP_SHARPNESS, {0, 15, 1, 0}, 0},
          {ControlSet::VideoProcAmp, KSPROPERTY_VIDEOPROCAMP_GAMMA, {0, 127, 1, 64}, 64},
          {ControlSet::CameraControl, KSPROPERTY_CAMERACONTROL_IRIS, {10, 200, 1, 100}, 100},
      } {}

const CameraControls::Control* CameraControls::find(ControlSet set, long id) const noexcept {
    for (const Control& c : controls_)
        if (c.set == set && c.id == id) return &c;
    return nullptr;
}

CameraControls::Control* CameraControls::find(ControlSet set, long id) noexcept {
    return const_cast<Control*>(static_cast<const CameraControls*>(this)->find(set, id));
}

bool CameraControls::range(ControlSet set, long id, ControlRange& out) const noexcept {
    const Control* c = find(set, id);  // ranges never change: no lock
    if (!c) return false;
    out = c->range;
    return true;
}

bool CameraControls::get(ControlSet set, long id, long& value) const noexcept {
    Lock lock(lock_);
    const Control* c = find(set, id);
    if (!c) return false;
    value = c->value;
    return true;
}

bool CameraControls::set(ControlSet set, long id, long value) noexcept {
    Lock lock(lock_);
    Control* c = find(set, id);
    if (!c || value < c->range.minimum || value > c->range.maximum) return false;
    c->value = value;
    return true;
}

void CameraControls::resetToDefaults() noexcept {
    Lock lock(lock_);
    for (Control& c : controls_) c.value = c.range.defaultValue;
}

ImageControls CameraControls::imageControls() const noexcept {
    Lock lock(lock_);
    auto value = [this](long id) { return static_cast<int>(find(ControlSet::VideoProcAmp, id)->value); };
    ImageControls out;
    out.brightness = value(KSPROPERTY_VIDEOPROCAMP_BRIGHTNESS);
    out.contrast = value(KSPROPERTY_VIDEOPROCAMP_CONTRAST);
    out.hue = value(KSPROPERTY_VIDEOPROCAMP_HUE);
    out.saturation = value(KSPROPERTY_VIDEOPROCAMP_SATURATION);
    out.sharpness = value(KSPROPERTY_VIDEOPROCAMP_SHARPNESS);
    out.gamma = value(KSPROPERTY_VIDEOPROCAMP_GAMMA);
    return out;
}

HRESULT CameraControls::ksGet(REFGUID guid, DWORD id, void* data, DWORD dataLength, DWORD* returned) const noexcept {
    ControlSet which;
    if (!controlSetOf(guid, which)) return E_PROP_SET_UNSUPPORTED;
    long value = 0;
    if (!get(which, static_cast<long>(id), value)) return E_PROP_ID_UNSUPPORTED;
    if (!data) {
        if (!returned) return E_POINTER;
        *returned = kRecordSize;
        return S_OK;
    }
    if (dataLength < kRecordSize) return E_UNEXPECTED;
    writeLong(data, kValueOffset, value);
    writeLong(data, kFlagsOffset, KSPROPERTY_VIDEOPROCAMP_FLAGS_MANUAL);
    writeLong(data, kCapabilitiesOffset, KSPROPERTY_VIDEOPROCAMP_FLAGS_MANUAL);
    if (returned) *returned = kRecordSize;
    return S_OK;
}

HRESULT CameraControls::ksSet(REFGUID guid, DWORD id, const void* data, DWORD dataLength) noexcept {
    ControlSet which;
    if (!controlSetOf(guid, which)) return E_PROP_SET_UNSUPPORTED;
    ControlRange r;
    if (!range(which, static_cast<long>(id), r)) return E_PROP_ID_UNSUPPORTED;
    if (!data) return E_POINTER;
    if (dataLength < kRecordSize) return E_UNEXPECTED;
    // Flags of 0 count as manual: the program sends them so.
    if (readLong(data, kFlagsOffset) & KSPROPERTY_VIDEOPROCAMP_FLAGS_AUTO) return E_INVALIDARG;
    return set(which, static_cast<long>(id), readLong(data, kValueOffset)) ? S_OK : E_INVALIDARG;
}

HRESULT CameraControls::ksQuerySupported(REFGUID guid, DWORD id, DWORD* support) const noexcept {
    if (!support) return E_POINTER;
    ControlSet which;
    if (!controlSetOf(guid, which)) return E_PROP_SET_UNSUPPORTED;
    ControlRange r;
    if (!range(which, static_cast<long>(id), r)) return E_PROP_ID_UNSUPPORTED;
    *support = KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET;
    return S_OK;
}

}  // namespace vcam
