// The VantorImageEffects.dll in-process server: its class table and the four exports.
#include "dshow/ClassFactory.h"
#include "dshow/Registration.h"
#include "imagefx/IIPEffectVantor.h"
#include "imagefx/VantorImageEffects.h"
#include "imagefx/VantorImageEffectsPropertyPage.h"

#include <strmif.h>
#include <uuids.h>

namespace {

const REGPINTYPES kAnyVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_NULL};

// Connects to any filter and any pin.
const REGFILTERPINS kPins[] = {
    {const_cast<LPWSTR>(L"Input"), FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyVideo},
    {const_cast<LPWSTR>(L"Output"), FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, &kAnyVideo},
};

// Never picked by intelligent connect: the program adds the filter by its CLSID.
const REGFILTER2 kSetup = {1, MERIT_DO_NOT_USE, {{2, kPins}}};

const dshow::FactoryEntry kClasses[] = {
    {&CLSID_VantorImageEffects, L"Vantor Image Effects", CreateVantorImageEffects, &kSetup},
    {&CLSID_VantorImageEffectsPropertyPage, L"Vantor Image Effects", CreateVantorImageEffectsPropertyPage},
};

}  // namespace

extern "C" {

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    return dshow::getClassObject(kClasses, clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() { return dshow::canUnloadNow(); }

STDAPI DllRegisterServer() { return dshow::registerServer(kClasses); }

STDAPI DllUnregisterServer() { return dshow::unregisterServer(kClasses); }

}  // extern "C"
