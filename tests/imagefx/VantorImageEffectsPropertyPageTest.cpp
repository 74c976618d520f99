// The filter's property page as a property frame drives it: what it shows for the filter's
// settings, when it reports changes, what Apply writes back, and its life with the frame.
#include "dshow/ClassFactory.h"
#include "imagefx/VantorImageEffects.h"
#include "imagefx/VantorImageEffectsPropertyPage.h"
#include "imagefx/resource.h"
#include "framework/Dpi.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TextFit.h"
#include "tests/support/WindowImage.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <olectl.h>

#include <string>

namespace {

// The frame's side of the conversation: the page reports its changes here.
struct RecordingSite final : IPropertyPageSite {
    int dirtyReports = 0;
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPropertyPageSite)) {
            *ppv = static_cast<IPropertyPageSite*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP OnStatusChange(DWORD flags) override {
        if (flags & PROPPAGESTATUS_DIRTY) ++dirtyReports;
        return S_OK;
    }
    STDMETHODIMP GetLocaleID(LCID* lcid) override {
        *lcid = LOCALE_USER_DEFAULT;
        return S_OK;
    }
    STDMETHODIMP GetPageContainer(IUnknown** container) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }
};

std::wstring textOf(HWND hwnd) {
    wchar_t buf[128] = {};
    GetWindowTextW(hwnd, buf, 128);
    return buf;
}

struct PageTest : ::testing::Test {
    struct Ole {
        Ole() { OleInitialize(nullptr); }
        ~Ole() { OleUninitialize(); }
    } ole;
    IBaseFilter* filter = nullptr;
    IIPEffectVantor* effects = nullptr;
    IPropertyPage* page = nullptr;
    RecordingSite site;
    HWND frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 500, 300, nullptr,
                                 nullptr, nullptr, nullptr);

    void SetUp() override {
        ASSERT_NE(nullptr, frame);
        ASSERT_EQ(S_OK, CreateVantorImageEffects(nullptr, IID_IBaseFilter, reinterpret_cast<void**>(&filter)));
        ASSERT_EQ(S_OK, filter->QueryInterface(IID_IIPEffectVantor, reinterpret_cast<void**>(&effects)));
        ASSERT_EQ(S_OK,
                  CreateVantorImageEffectsPropertyPage(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&page)));
        ASSERT_EQ(S_OK, page->SetPageSite(&site));
    }
    void TearDown() override {
        if (page) {
            page->Deactivate();
            page->SetObjects(0, nullptr);
            page->SetPageSite(nullptr);
            page->Release();
        }
        if (effects) effects->Release();
        if (filter) filter->Release();
        DestroyWindow(frame);
    }

    HRESULT connect() {
        IUnknown* object = filter;
        return page->SetObjects(1, &object);
    }
    HRESULT activate() {
        RECT r{0, 0, 400, 200};
        return page->Activate(frame, &r, TRUE);
    }
    HWND pageWindow() const { return FindWindowExW(frame, nullptr, L"#32770", nullptr); }
    HWND item(int id) const { return GetDlgItem(pageWindow(), id); }
    bool ticked(int id) const { return SendMessageW(item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    int zoomPosition() const { return static_cast<int>(SendMessageW(item(IDC_EFFECTS_ZOOM), TBM_GETPOS, 0, 0)); }
    // As a user's key press on the focused trackbar: the trackbar moves and tells the page.
    void zoomKey(UINT key) {
        SendMessageW(item(IDC_EFFECTS_ZOOM), WM_KEYDOWN, key, 0);
        SendMessageW(item(IDC_EFFECTS_ZOOM), WM_KEYUP, key, 0);
    }
    void settings(int& mirror, int& flip, float& zoom) {
        effects->get_Mirror(&mirror);
        effects->get_Flip(&flip);
        effects->get_Zoom(&zoom);
    }
};

}  // namespace

TEST(VantorImageEffectsPropertyPageZoomSteps, PositionsAndFactors) {
    const float factors[] = {1.0f, 1.25f, 1.5f, 2.0f, 2.5f, 3.0f};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(factors[i], zoomOfStep(i));
        EXPECT_EQ(i, zoomStepOf(factors[i]));
    }
    for (float other : {1.75f, 0.5f, 0.0f, 4.0f, 2.01f}) EXPECT_EQ(0, zoomStepOf(other)) << other;
    for (int other : {-1, 6, 100}) EXPECT_EQ(1.0f, zoomOfStep(other)) << other;
}

TEST_F(PageTest, CreationInfoAndDialog) {
    void* p = &site;
    IUnknown* outer = filter;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, CreateVantorImageEffectsPropertyPage(outer, IID_IUnknown, &p));
    EXPECT_EQ(nullptr, p);

    PROPPAGEINFO info{};
    ASSERT_EQ(S_OK, page->GetPageInfo(&info));
    EXPECT_STREQ(L"Vantor Image Effects", info.pszTitle);
    CoTaskMemFree(info.pszTitle);

    ASSERT_EQ(S_OK, connect());
    ASSERT_EQ(S_OK, activate());
    ASSERT_NE(nullptr, pageWindow());
    EXPECT_EQ(E_UNEXPECTED, activate()) << "a second window for an active page";
    // The size the frame makes room for is the template's 215 x 86 units in the page's font.
    RECT units{0, 0, 215, 86};
    ASSERT_TRUE(MapDialogRect(pageWindow(), &units));
    EXPECT_EQ(units.right, info.size.cx);
    EXPECT_EQ(units.bottom, info.size.cy);
    EXPECT_TRUE(GetWindowLongW(pageWindow(), GWL_STYLE) & WS_CHILD);

    struct {
        int id;
        const wchar_t* cls;
        const wchar_t* text;
    } const controls[] = {{IDC_EFFECTS_GROUP, L"Button", L"Effects"},  {IDC_EFFECTS_MIRROR, L"Button", L"Mirror"},
                          {IDC_EFFECTS_FLIP, L"Button", L"Flip"},      {IDC_EFFECTS_ZOOM_CAPTION, L"Static", L"Zoom:"},
                          {IDC_EFFECTS_ZOOM_VALUE, L"Static", L"1.00"}, {IDC_EFFECTS_ZOOM, TRACKBAR_CLASSW, L""}};
    for (const auto& c : controls) {
        const HWND h = item(c.id);
        ASSERT_NE(nullptr, h) << c.id;
        wchar_t cls[64] = {};
        GetClassNameW(h, cls, 64);
        EXPECT_EQ(0, lstrcmpiW(c.cls, cls)) << c.id;
        EXPECT_EQ(c.text, textOf(h)) << c.id;
    }
    EXPECT_EQ(0, SendMessageW(item(IDC_EFFECTS_ZOOM), TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(5, SendMessageW(item(IDC_EFFECTS_ZOOM), TBM_GETRANGEMAX, 0, 0));

    // The frame stays hidden (a shown one costs seconds under Xvfb), so the page's own style is read.
    EXPECT_FALSE(GetWindowLongW(pageWindow(), GWL_STYLE) & WS_VISIBLE) << "shown only when the frame asks";
    EXPECT_EQ(S_OK, page->Show(SW_SHOW));
    EXPECT_TRUE(GetWindowLongW(pageWindow(), GWL_STYLE) & WS_VISIBLE);
    RECT moved{10, 20, 310, 220};
    EXPECT_EQ(S_OK, page->Move(&moved));
    RECT now{};
    GetWindowRect(pageWindow(), &now);
    MapWindowPoints(HWND_DESKTOP, frame, reinterpret_cast<POINT*>(&now), 2);
    EXPECT_TRUE(EqualRect(&moved, &now));

    EXPECT_EQ(S_OK, page->Deactivate());
    EXPECT_EQ(nullptr, pageWindow());
    EXPECT_EQ(E_UNEXPECTED, page->Deactivate());
    EXPECT_EQ(E_UNEXPECTED, page->Show(SW_SHOW));
}

// The page is made from its template in a font of the window's DPI, and at every zoom the
// frame can show, each text is whole inside its control.
TEST_F(PageTest, EveryTextFitsInAFontOfTheDpi) {
    constexpr int kTemplatePoints = 8;
    ASSERT_EQ(S_OK, connect());
    ASSERT_EQ(S_OK, activate());
    ASSERT_EQ(S_OK, page->Show(SW_SHOW));
    const int dpi = vnt::windowDpi(pageWindow());
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(pageWindow(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -MulDiv(kTemplatePoints, dpi, 72)) << "the page's font is not at " << dpi;
    for (int step = 0; step < kVantorZoomSteps; ++step) {
        SendMessageW(item(IDC_EFFECTS_ZOOM), TBM_SETPOS, TRUE, step);
        SendMessageW(pageWindow(), WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, step),
                     reinterpret_cast<LPARAM>(item(IDC_EFFECTS_ZOOM)));
        const auto misfits = testsupport::textMisfits(pageWindow());
        EXPECT_TRUE(misfits.empty()) << step << ": " << testsupport::describe(misfits);
    }
}

TEST_F(PageTest, OpensOnTheFilterSettings) {
    struct {
        int mirror, flip;
        float zoom;
        int position;
        const wchar_t* label;
    } const cases[] = {{1, 0, 2.0f, 3, L"2.00"}, {0, 1, 1.75f, 0, L"1.75"}, {1, 1, 1.25f, 1, L"1.25"},
                       {0, 0, 3.0f, 5, L"3.00"}, {0, 0, 0.5f, 0, L"0.50"}};
    for (const auto& c : cases) {
        effects->put_Mirror(c.mirror);
        effects->put_Flip(c.flip);
        effects->put_Zoom(c.zoom);
        ASSERT_EQ(S_OK, connect());
        ASSERT_EQ(S_OK, activate());
        EXPECT_EQ(c.mirror != 0, ticked(IDC_EFFECTS_MIRROR)) << c.zoom;
        EXPECT_EQ(c.flip != 0, ticked(IDC_EFFECTS_FLIP)) << c.zoom;
        EXPECT_EQ(c.position, zoomPosition()) << c.zoom;
        EXPECT_EQ(c.label, textOf(item(IDC_EFFECTS_ZOOM_VALUE))) << c.zoom;
        EXPECT_EQ(S_FALSE, page->IsPageDirty()) << "opening is no change";
        EXPECT_EQ(0, site.dirtyReports);
        ASSERT_EQ(S_OK, page->Deactivate());
    }
}

TEST_F(PageTest, UserChangesReachTheFilterOnApply) {
    ASSERT_EQ(S_OK, connect());
    ASSERT_EQ(S_OK, activate());
    ASSERT_EQ(S_OK, page->Apply()) << "nothing changed yet";

    SendMessageW(item(IDC_EFFECTS_MIRROR), BM_CLICK, 0, 0);
    EXPECT_TRUE(ticked(IDC_EFFECTS_MIRROR));
    EXPECT_EQ(S_OK, page->IsPageDirty());
    EXPECT_EQ(1, site.dirtyReports);
    for (int i = 0; i < 4; ++i) zoomKey(VK_RIGHT);
    EXPECT_EQ(4, zoomPosition());
    EXPECT_EQ(L"2.50", textOf(item(IDC_EFFECTS_ZOOM_VALUE)));

    int mirror = -1, flip = -1;
    float zoom = -1;
    settings(mirror, flip, zoom);
    EXPECT_EQ(0, mirror) << "nothing is written before Apply";
    EXPECT_EQ(1.0f, zoom);

    ASSERT_EQ(S_OK, page->Apply());
    settings(mirror, flip, zoom);
    EXPECT_EQ(1, mirror);
    EXPECT_EQ(0, flip);
    EXPECT_EQ(2.5f, zoom);
    EXPECT_EQ(S_FALSE, page->IsPageDirty());

    // A later change written by someone else is not overwritten by an Apply with nothing to do.
    effects->put_Zoom(3.0f);
    ASSERT_EQ(S_OK, page->Apply());
    settings(mirror, flip, zoom);
    EXPECT_EQ(3.0f, zoom);
}

// Moving only the zoom is a change the frame must apply on OK, like a ticked box.
TEST_F(PageTest, ZoomAloneMarksThePageChanged) {
    effects->put_Mirror(1);
    effects->put_Zoom(2.0f);
    ASSERT_EQ(S_OK, connect());
    ASSERT_EQ(S_OK, activate());
    zoomKey(VK_LEFT);
    EXPECT_EQ(2, zoomPosition());
    EXPECT_EQ(L"1.50", textOf(item(IDC_EFFECTS_ZOOM_VALUE)));
    EXPECT_EQ(S_OK, page->IsPageDirty());
    EXPECT_GE(site.dirtyReports, 1);
    ASSERT_EQ(S_OK, page->Apply());
    int mirror = -1, flip = -1;
    float zoom = -1;
    settings(mirror, flip, zoom);
    EXPECT_EQ(1.5f, zoom);
    EXPECT_EQ(1, mirror) << "the other settings are written as shown";
}

TEST_F(PageTest, EditsSurviveSwitchingToAnotherPage) {
    ASSERT_EQ(S_OK, connect());
    ASSERT_EQ(S_OK, activate());
    SendMessageW(item(IDC_EFFECTS_FLIP), BM_CLICK, 0, 0);
    zoomKey(VK_END);
    ASSERT_EQ(5, zoomPosition());
    ASSERT_EQ(S_OK, page->Deactivate());
    EXPECT_EQ(S_OK, page->IsPageDirty());

    ASSERT_EQ(S_OK, activate());
    EXPECT_TRUE(ticked(IDC_EFFECTS_FLIP));
    EXPECT_EQ(5, zoomPosition());
    EXPECT_EQ(L"3.00", textOf(item(IDC_EFFECTS_ZOOM_VALUE)));
    ASSERT_EQ(S_OK, page->Deactivate());
    // The frame may apply while another of its pages is shown.
    ASSERT_EQ(S_OK, page->Apply());
    int mirror = -1, flip = -1;
    float zoom = -1;
    settings(mirror, flip, zoom);
    EXPECT_EQ(1, flip);
    EXPECT_EQ(3.0f, zoom);
}

TEST_F(PageTest, ObjectsItCannotEdit) {
    EXPECT_EQ(E_POINTER, page->SetObjects(1, nullptr));
    IUnknown* none = nullptr;
    EXPECT_EQ(E_POINTER, page->SetObjects(1, &none));
    // Any COM object without the control interface: a class factory.
    static const dshow::FactoryEntry entry{&CLSID_VantorImageEffects, L"x", CreateVantorImageEffects};
    IUnknown* factory = nullptr;
    ASSERT_EQ(S_OK, dshow::ClassFactory::create(entry, IID_IUnknown, reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(E_NOINTERFACE, page->SetObjects(1, &factory));
    factory->Release();

    // Without a filter the page still opens, but has nowhere to apply its changes.
    ASSERT_EQ(S_OK, activate());
    SendMessageW(item(IDC_EFFECTS_MIRROR), BM_CLICK, 0, 0);
    EXPECT_EQ(E_POINTER, page->Apply());
    EXPECT_EQ(S_OK, page->IsPageDirty()) << "the change is kept for a later Apply";

    // Nor once the frame has taken the filter away.
    ASSERT_EQ(S_OK, connect());
    ASSERT_EQ(S_OK, page->SetObjects(0, nullptr));
    EXPECT_EQ(E_POINTER, page->Apply());
    int mirror = -1;
    effects->get_Mirror(&mirror);
    EXPECT_EQ(0, mirror);
}

// The DLL may unload only when neither page nor filter is alive, so a page must not keep the
// filter, nor anything else, once it is let go, even by a frame that skipped the tidy steps.
TEST(VantorImageEffectsPropertyPageLife, ReleasingThePageFreesEverything) {
    OleInitialize(nullptr);
    const HWND frame = CreateWindowExW(0, L"STATIC", L"frame", WS_OVERLAPPEDWINDOW, 0, 0, 500, 300, nullptr,
                                       nullptr, nullptr, nullptr);
    const LONG before = dshow::moduleObjectCount();
    IUnknown* filter = nullptr;
    IPropertyPage* page = nullptr;
    ASSERT_EQ(S_OK, CreateVantorImageEffects(nullptr, IID_IUnknown, reinterpret_cast<void**>(&filter)));
    ASSERT_EQ(S_OK, CreateVantorImageEffectsPropertyPage(nullptr, IID_IPropertyPage, reinterpret_cast<void**>(&page)));
    EXPECT_EQ(before + 2, dshow::moduleObjectCount());
    ASSERT_EQ(S_OK, page->SetObjects(1, &filter));
    RECT r{0, 0, 300, 150};
    ASSERT_EQ(S_OK, page->Activate(frame, &r, TRUE));
    filter->Release();
    EXPECT_EQ(before + 2, dshow::moduleObjectCount()) << "the page holds the filter while it edits it";
    page->Release();
    EXPECT_EQ(before, dshow::moduleObjectCount());
    EXPECT_EQ(nullptr, FindWindowExW(frame, nullptr, L"#32770", nullptr));
    DestroyWindow(frame);
    OleUninitialize();
}

namespace {

// Plays the user inside the platform's modal property frame: tick Mirror, move the zoom one
// step, press OK. A frame that never shows the page is cancelled, so the test ends either way.
struct FrameUser {
    static inline bool sawPage = false;
    static inline int shownZoomPosition = -1;
    static inline ULONGLONG started = 0;

    static BOOL CALLBACK findMirror(HWND child, LPARAM out) {
        if (GetDlgCtrlID(child) != IDC_EFFECTS_MIRROR) return TRUE;
        *reinterpret_cast<HWND*>(out) = child;
        return FALSE;
    }
    static BOOL CALLBACK findPage(HWND top, LPARAM out) {
        if (!IsWindowVisible(top) || !GetDlgItem(top, IDOK)) return TRUE;
        EnumChildWindows(top, &findMirror, out);
        return *reinterpret_cast<HWND*>(out) ? FALSE : TRUE;
    }
    static BOOL CALLBACK cancel(HWND top, LPARAM) {
        if (GetDlgItem(top, IDCANCEL)) PostMessageW(top, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (sawPage) return;
        HWND mirror = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), &findPage, reinterpret_cast<LPARAM>(&mirror));
        if (!mirror) {
            if (GetTickCount64() - started > 15000) EnumThreadWindows(GetCurrentThreadId(), &cancel, 0);
            return;
        }
        sawPage = true;
        const HWND pageWnd = GetParent(mirror);
        testsupport::saveWindowImage(GetAncestor(pageWnd, GA_ROOT), L"property-frame");
        SendMessageW(mirror, BM_CLICK, 0, 0);
        const HWND zoom = GetDlgItem(pageWnd, IDC_EFFECTS_ZOOM);
        shownZoomPosition = static_cast<int>(SendMessageW(zoom, TBM_GETPOS, 0, 0));
        SendMessageW(zoom, WM_KEYDOWN, VK_RIGHT, 0);
        SendMessageW(zoom, WM_KEYUP, VK_RIGHT, 0);
        const HWND top = GetAncestor(pageWnd, GA_ROOT);
        PostMessageW(top, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(top, IDOK)));
    }
};

}  // namespace

bool onWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

TEST(VantorImageEffectsPropertyPageFrame, PlatformFrameShowsAndAppliesThePage) {
    OleInitialize(nullptr);
    const LONG before = dshow::moduleObjectCount();
    static const dshow::FactoryEntry entry{&CLSID_VantorImageEffectsPropertyPage, L"Vantor Image Effects",
                                           CreateVantorImageEffectsPropertyPage};
    IUnknown* factory = nullptr;
    ASSERT_EQ(S_OK, dshow::ClassFactory::create(entry, IID_IUnknown, reinterpret_cast<void**>(&factory)));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_VantorImageEffectsPropertyPage, factory, CLSCTX_INPROC_SERVER,
                                          REGCLS_MULTIPLEUSE, &cookie));
    IUnknown* filter = nullptr;
    ASSERT_EQ(S_OK, CreateVantorImageEffects(nullptr, IID_IUnknown, reinterpret_cast<void**>(&filter)));
    IIPEffectVantor* effects = nullptr;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_IIPEffectVantor, reinterpret_cast<void**>(&effects)));
    effects->put_Zoom(2.0f);
    ISpecifyPropertyPages* specify = nullptr;
    ASSERT_EQ(S_OK, filter->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify)));
    CAUUID pages{};
    ASSERT_EQ(S_OK, specify->GetPages(&pages));
    specify->Release();

    FrameUser::sawPage = false;
    FrameUser::started = GetTickCount64();
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &FrameUser::onTimer);
    const HRESULT hr = OleCreatePropertyFrame(nullptr, 0, 0, L"Vantor Image Effects", 1, &filter, pages.cElems,
                                              pages.pElems, LOCALE_USER_DEFAULT, 0, nullptr);
    KillTimer(nullptr, timer);
    CoTaskMemFree(pages.pElems);
    CoRevokeClassObject(cookie);
    factory->Release();

    EXPECT_EQ(S_OK, hr);
    EXPECT_TRUE(FrameUser::sawPage) << "the frame never showed the page";
    EXPECT_EQ(3, FrameUser::shownZoomPosition);
    int mirror = 0;
    float zoom = 0;
    effects->get_Mirror(&mirror);
    effects->get_Zoom(&zoom);
    effects->Release();
    filter->Release();
    // The frame lets the page go without disconnecting it first; the filter must still be freed.
    EXPECT_EQ(before, dshow::moduleObjectCount());
    OleUninitialize();

    if (onWine()) GTEST_SKIP() << "Wine's property frame closes on OK without calling the pages' Apply";
    EXPECT_EQ(1, mirror);
    EXPECT_EQ(2.5f, zoom);
}
