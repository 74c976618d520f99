// VantorImageEffects.dll as a client meets it: registered with the system's regsvr32, found in the
// filter category, created by CLSID through COM, and taken apart through its four exports.
#include "dshow/ClassFactory.h"
#include "framework/ComPtr.h"
#include "imagefx/IIPEffectVantor.h"

#include "tests/support/DeviceCategory.h"
#include "tests/support/HiddenClass.h"
#include "tests/support/Regsvr32.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>
#include <tlhelp32.h>
#include <strmif.h>
#include <uuids.h>
#include <vfwmsgs.h>

#include <cstring>
#include <string>
#include <vector>

using vnt::ComPtr;

namespace {

const wchar_t kClassKey[] = L"CLSID\\{15617D4A-D387-475A-8B08-18574FB83D34}";
const wchar_t kInstanceKey[] =
    L"CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\{15617D4A-D387-475A-8B08-18574FB83D34}";

std::wstring dllPath() { return testsupport::besideProgram(L"VantorImageEffects.dll"); }

int regsvr32(const std::wstring& arguments) { return testsupport::regsvr32(dllPath(), arguments); }

std::wstring readString(HKEY root, const std::wstring& key, const wchar_t* name, bool* present = nullptr) {
    wchar_t buffer[1024] = {};
    DWORD bytes = sizeof buffer - sizeof(wchar_t);
    const LONG err = RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, buffer, &bytes);
    if (present) *present = err == ERROR_SUCCESS;
    return err == ERROR_SUCCESS ? buffer : L"";
}

bool keyExists(HKEY root, const std::wstring& key) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

std::vector<BYTE> readBinary(HKEY root, const std::wstring& key, const wchar_t* name) {
    DWORD bytes = 0;
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_BINARY, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
        return {};
    std::vector<BYTE> data(bytes);
    if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_BINARY, nullptr, data.data(), &bytes) != ERROR_SUCCESS)
        return {};
    data.resize(bytes);
    return data;
}

// The filter mapper's stored pin data: a header, one record per pin, one per media type, with
// GUIDs referred to by their offset in the blob.
struct StoredPin {
    DWORD flags = 0;
    std::vector<std::pair<GUID, GUID>> types;
};
struct StoredFilter {
    DWORD version = 0;
    DWORD merit = 0;
    std::vector<StoredPin> pins;
};

bool parseFilterData(const std::vector<BYTE>& blob, StoredFilter& out) {
    auto dword = [&](size_t at, DWORD& v) {
        if (at + 4 > blob.size()) return false;
        std::memcpy(&v, blob.data() + at, 4);
        return true;
    };
    auto guid = [&](DWORD at, GUID& g) {
        if (size_t(at) + sizeof(GUID) > blob.size()) return false;
        std::memcpy(&g, blob.data() + at, sizeof(GUID));
        return true;
    };
    DWORD pinCount = 0;
    if (!dword(0, out.version) || !dword(4, out.merit) || !dword(8, pinCount) || pinCount > 16) return false;
    size_t at = 16;
    for (DWORD p = 0; p < pinCount; ++p) {
        StoredPin pin;
        DWORD instances = 0, typeCount = 0, mediumCount = 0, category = 0;
        if (!dword(at + 4, pin.flags) || !dword(at + 8, instances) || !dword(at + 12, typeCount) ||
            !dword(at + 16, mediumCount) || !dword(at + 20, category) || typeCount > 16)
            return false;
        at += 24;
        for (DWORD t = 0; t < typeCount; ++t) {
            DWORD major = 0, minor = 0;
            GUID majorType, minorType;
            if (!dword(at + 8, major) || !dword(at + 12, minor) || !guid(major, majorType) || !guid(minor, minorType))
                return false;
            pin.types.emplace_back(majorType, minorType);
            at += 16;
        }
        at += 4 * mediumCount;
        out.pins.push_back(pin);
    }
    return true;
}

// The filter as the system device enumerator lists it in the default filter category.
bool findInCategory(std::wstring& friendlyName) {
    for (const testsupport::ListedDevice& d : testsupport::devicesInCategory(CLSID_LegacyAmFilterCategory))
        if (_wcsicmp(d.clsid.c_str(), L"{15617D4A-D387-475A-8B08-18574FB83D34}") == 0) {
            friendlyName = d.name;
            return true;
        }
    return false;
}

void expectRegistered() {
    EXPECT_EQ(readString(HKEY_CLASSES_ROOT, kClassKey, nullptr), L"Vantor Image Effects");
    const std::wstring server = std::wstring(kClassKey) + L"\\InprocServer32";
    EXPECT_EQ(_wcsicmp(readString(HKEY_CLASSES_ROOT, server, nullptr).c_str(), dllPath().c_str()), 0)
        << readString(HKEY_CLASSES_ROOT, server, nullptr).size();
    EXPECT_EQ(readString(HKEY_CLASSES_ROOT, server, L"ThreadingModel"), L"Both");
    std::wstring name;
    EXPECT_TRUE(findInCategory(name));
    EXPECT_EQ(name, L"Vantor Image Effects");
}

void expectUnregistered() {
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, kInstanceKey));
    std::wstring name;
    EXPECT_FALSE(findInCategory(name));
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(CoCreateInstance(CLSID_VantorImageEffects, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               filter.putVoid()),
              REGDB_E_CLASSNOTREG);
}

size_t threadsOfThisProcess() {
    size_t count = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

// First in this program, so nothing has loaded the DLL yet: the filter and its page, shown, load
// no GDI+, and the DLL unloaded leaves no thread of its making behind.
TEST(VantorImageEffectsDllTest, LoadsNoGdiplusAndLeavesNoThreadBehind) {
    ASSERT_EQ(GetModuleHandleW(L"gdiplus.dll"), nullptr) << "the test program loaded GDI+ before the filter";
    const size_t threads = threadsOfThisProcess();
    HMODULE dll = LoadLibraryW(dllPath().c_str());
    ASSERT_NE(dll, nullptr);
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    const auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    const auto canUnloadNow =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    ASSERT_TRUE(getClassObject && canUnloadNow);
    {
        ComPtr<IClassFactory> filters, pages;
        ComPtr<IBaseFilter> filter;
        ComPtr<IPropertyPage> page;
        ASSERT_EQ(getClassObject(CLSID_VantorImageEffects, IID_IClassFactory, filters.putVoid()), S_OK);
        ASSERT_EQ(filters->CreateInstance(nullptr, IID_IBaseFilter, filter.putVoid()), S_OK);
        ASSERT_EQ(getClassObject(CLSID_VantorImageEffectsPropertyPage, IID_IClassFactory, pages.putVoid()), S_OK);
        ASSERT_EQ(pages->CreateInstance(nullptr, IID_IPropertyPage, page.putVoid()), S_OK);
        IUnknown* objects[] = {filter.get()};
        EXPECT_EQ(page->SetObjects(1, objects), S_OK);
        HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        const RECT place{0, 0, 400, 300};
        EXPECT_EQ(page->Activate(parent, &place, FALSE), S_OK);
        EXPECT_EQ(page->Deactivate(), S_OK);
        DestroyWindow(parent);
        EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
        EXPECT_EQ(GetModuleHandleW(L"gdiplus.dll"), nullptr);
    }
    EXPECT_EQ(canUnloadNow(), S_OK);
    FreeLibrary(dll);
    EXPECT_EQ(GetModuleHandleW(L"VantorImageEffects.dll"), nullptr);
    EXPECT_EQ(GetModuleHandleW(L"gdiplus.dll"), nullptr);
    EXPECT_EQ(threadsOfThisProcess(), threads);
}

TEST(VantorImageEffectsDllTest, Regsvr32RegistersCreatesByClsidAndUnregisters) {
    ASSERT_EQ(regsvr32(L""), 0);
    expectRegistered();

    // What the mapper stored: merit "do not use", an input and an output pin taking any video.
    StoredFilter stored;
    ASSERT_TRUE(parseFilterData(readBinary(HKEY_CLASSES_ROOT, kInstanceKey, L"FilterData"), stored));
    EXPECT_EQ(stored.merit, 0x200000u);
    ASSERT_EQ(stored.pins.size(), 2u);
    EXPECT_EQ(stored.pins[0].flags & REG_PINFLAG_B_OUTPUT, 0u);
    EXPECT_NE(stored.pins[1].flags & REG_PINFLAG_B_OUTPUT, 0u);
    for (const StoredPin& pin : stored.pins) {
        EXPECT_EQ(pin.flags & (REG_PINFLAG_B_RENDERER | REG_PINFLAG_B_ZERO | REG_PINFLAG_B_MANY), 0u);
        ASSERT_EQ(pin.types.size(), 1u);
        EXPECT_TRUE(IsEqualGUID(pin.types[0].first, MEDIATYPE_Video));
        EXPECT_TRUE(IsEqualGUID(pin.types[0].second, GUID_NULL));
    }

    {
        // Created through COM from the registered DLL, not from code linked into this test.
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(CoCreateInstance(CLSID_VantorImageEffects, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   filter.putVoid()),
                  S_OK);
        EXPECT_NE(GetModuleHandleW(L"VantorImageEffects.dll"), nullptr);
        CLSID clsid = {};
        EXPECT_EQ(filter->GetClassID(&clsid), S_OK);
        EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_VantorImageEffects));
        ComPtr<IPin> in, out;
        EXPECT_EQ(filter->FindPin(L"XForm In", in.put()), S_OK);
        EXPECT_EQ(filter->FindPin(L"XForm Out", out.put()), S_OK);
        ComPtr<IIPEffectVantor> effects;
        ASSERT_EQ(filter.queryInterface(effects), S_OK);
        EXPECT_EQ(effects->put_Zoom(2.5f), S_OK);
        float zoom = 0;
        EXPECT_EQ(effects->get_Zoom(&zoom), S_OK);
        EXPECT_EQ(zoom, 2.5f);

        // The page the filter names, from the same DLL, with its title from the DLL's resources.
        ComPtr<ISpecifyPropertyPages> specify;
        ASSERT_EQ(filter.queryInterface(specify), S_OK);
        CAUUID pages{};
        ASSERT_EQ(specify->GetPages(&pages), S_OK);
        ASSERT_EQ(pages.cElems, 1u);
        ComPtr<IPropertyPage> page;
        EXPECT_EQ(CoCreateInstance(pages.pElems[0], nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.putVoid()),
                  S_OK);
        CoTaskMemFree(pages.pElems);
        ASSERT_TRUE(page);
        PROPPAGEINFO info{};
        ASSERT_EQ(page->GetPageInfo(&info), S_OK);
        EXPECT_STREQ(info.pszTitle, L"Vantor Image Effects");
        EXPECT_GT(info.size.cx, 0);
        CoTaskMemFree(info.pszTitle);
        IUnknown* objects[] = {filter.get()};
        EXPECT_EQ(page->SetObjects(1, objects), S_OK);
        EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
    }
    const std::wstring pageKey = L"CLSID\\{D6D8FCD4-142B-4A53-8792-1C3E82C7D3E7}";
    EXPECT_EQ(readString(HKEY_CLASSES_ROOT, pageKey, nullptr), L"Vantor Image Effects");
    EXPECT_EQ(readString(HKEY_CLASSES_ROOT, pageKey + L"\\InprocServer32", L"ThreadingModel"), L"Both");

    ASSERT_EQ(regsvr32(L"/u"), 0);
    expectUnregistered();
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, pageKey));
    // Unregistering what is not registered is not a failure.
    EXPECT_EQ(regsvr32(L"/u"), 0);
}

// The four exports, called directly the way COM calls them.
class DllExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(dllPath().c_str());
        ASSERT_NE(module_, nullptr);
        getClassObject_ = exported<GetClassObject>("DllGetClassObject");
        canUnloadNow_ = exported<Plain>("DllCanUnloadNow");
        register_ = exported<Plain>("DllRegisterServer");
        unregister_ = exported<Plain>("DllUnregisterServer");
        ASSERT_TRUE(getClassObject_ && canUnloadNow_ && register_ && unregister_);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    template <class F>
    F exported(const char* name) {
        // Through void* because FARPROC has no parameters to match.
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using Plain = HRESULT(STDAPICALLTYPE*)();
    HMODULE module_ = nullptr;
    GetClassObject getClassObject_ = nullptr;
    Plain canUnloadNow_ = nullptr;
    Plain register_ = nullptr;
    Plain unregister_ = nullptr;
};

TEST_F(DllExportsTest, FactoryAndUnloadRules) {
    EXPECT_EQ(getClassObject_(CLSID_VantorImageEffects, IID_IClassFactory, nullptr), E_POINTER);
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(getClassObject_(CLSID_FilterGraph, IID_IClassFactory, &none), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(canUnloadNow_(), S_OK);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject_(CLSID_VantorImageEffects, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "a factory held keeps the server loaded";

    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IBaseFilter, filter.putVoid()), S_OK);
    ComPtr<IPersistStream> persist;
    EXPECT_EQ(filter->QueryInterface(IID_IPersistStream, persist.putVoid()), E_NOINTERFACE);

    // Aggregation hands out the inner unknown only.
    ComPtr<IUnknown> inner;
    EXPECT_EQ(factory->CreateInstance(filter.get(), IID_IBaseFilter, inner.putVoid()), E_NOINTERFACE);
    EXPECT_FALSE(inner);

    factory.reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "a live filter keeps the server loaded";
    filter.reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);

    ASSERT_EQ(getClassObject_(CLSID_VantorImageEffects, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.reset();
    EXPECT_EQ(canUnloadNow_(), S_FALSE) << "a locked server stays loaded";
    ASSERT_EQ(getClassObject_(CLSID_VantorImageEffects, IID_IClassFactory, factory.putVoid()), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

// With the newer filter mapper uncreatable, registration goes through the older one.
TEST_F(DllExportsTest, RegistersThroughTheOlderMapperWhenTheNewerIsMissing) {
    testsupport::HiddenClass mapper2(CLSID_FilterMapper2);
    ASSERT_TRUE(mapper2.hidden());
    ComPtr<IFilterMapper2> newer;
    ASSERT_NE(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                               newer.putVoid()),
              S_OK);

    ASSERT_EQ(register_(), S_OK);
    expectRegistered();
    // The older mapper's own layout: merit and pins under the class key.
    DWORD merit = 0, direction = 2, bytes = sizeof(DWORD);
    EXPECT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, kClassKey, L"Merit", RRF_RT_REG_DWORD, nullptr, &merit, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(merit, 0x200000u);
    const std::wstring pins = std::wstring(kClassKey) + L"\\Pins\\";
    EXPECT_EQ(RegGetValueW(HKEY_CLASSES_ROOT, (pins + L"Output").c_str(), L"Direction", RRF_RT_REG_DWORD, nullptr,
                           &direction, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(direction, 1u);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, pins + L"Input\\Types\\{73646976-0000-0010-8000-00AA00389B71}"));

    ASSERT_EQ(unregister_(), S_OK);
    expectUnregistered();
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, L"Filter\\{15617D4A-D387-475A-8B08-18574FB83D34}"));
}

}  // namespace
