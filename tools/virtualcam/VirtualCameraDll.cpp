// VirtualCamera.dll: the camera class, the decoders Wine lacks, and the camera's instances in the
// video input device category.
#include "dshow/ClassFactory.h"
#include "dshow/Registration.h"
#include "tools/virtualcam/CameraInstances.h"
#include "tools/virtualcam/MjpgDecoder.h"
#include "tools/virtualcam/VirtualCamera.h"
#include "tools/virtualcam/Yuy2Decoder.h"

#include <strmif.h>
#include <uuids.h>

namespace {

const REGPINTYPES kYuy2 = {&MEDIATYPE_Video, &MEDIASUBTYPE_YUY2};
const REGPINTYPES kMjpg = {&MEDIATYPE_Video, &MEDIASUBTYPE_MJPG};
const REGPINTYPES kRgb24 = {&MEDIATYPE_Video, &MEDIASUBTYPE_RGB24};

const REGFILTERPINS kYuy2Pins[] = {
    {const_cast<LPWSTR>(L"XForm In"), FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kYuy2},
    {const_cast<LPWSTR>(L"XForm Out"), FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kRgb24},
};
const REGFILTERPINS kMjpgPins[] = {
    {const_cast<LPWSTR>(L"XForm In"), FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kMjpg},
    {const_cast<LPWSTR>(L"XForm Out"), FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kRgb24},
};

// Normal merit: intelligent connect puts them between the camera and a renderer that wants RGB.
const REGFILTER2 kYuy2Setup = {1, MERIT_NORMAL, {{2, kYuy2Pins}}};
const REGFILTER2 kMjpgSetup = {1, MERIT_NORMAL, {{2, kMjpgPins}}};

// The camera has no entry in the default category: capture devices are listed as instances of
// the video input device category only, each added by DllInstall.
const dshow::FactoryEntry kClasses[] = {
    {&CLSID_VirtualCamera, L"Virtual Document Camera", CreateVirtualCamera},
    {&CLSID_VirtualCamYuy2Decoder, L"Virtual Camera YUY2 Decoder", CreateYuy2Decoder, &kYuy2Setup},
    {&CLSID_VirtualCamMjpgDecoder, L"Virtual Camera MJPG Decoder", CreateMjpgDecoder, &kMjpgSetup},
};

// The camera that a plain regsvr32 leaves behind, so the DLL alone gives a working model A.
const wchar_t kDefaultInstance[] = L"7&1A2B3C4D&0&0000";

}  // namespace

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    return dshow::getClassObject(kClasses, clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return dshow::canUnloadNow(); }

STDAPI DllRegisterServer() {
    const HRESULT hr = dshow::registerServer(kClasses);
    if (FAILED(hr)) return hr;
    return vcam::addCameraInstance(vcam::CameraModel::A, kDefaultInstance,
                                   vcam::defaultFriendlyName(vcam::CameraModel::A));
}

// Every instance goes first, also those DllInstall added: none may point at a class that is gone.
STDAPI DllUnregisterServer() {
    const HRESULT instances = vcam::removeAllCameraInstances();
    const HRESULT server = dshow::unregisterServer(kClasses);
    return FAILED(instances) ? instances : server;
}

// regsvr32 /n /i:"add <A|B|foreign> <instance-id> [friendly name]" and /i:"remove <instance-id>";
// also "pull <instance-id>" and "plug <instance-id>". With /u any of them removes the instance.
STDAPI DllInstall(BOOL bInstall, LPCWSTR pszCmdLine) { return vcam::runInstallCommand(bInstall != FALSE, pszCmdLine); }

}  // extern "C"
