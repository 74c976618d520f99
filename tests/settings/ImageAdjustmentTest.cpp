// The Image Adjustment page on a live virtual camera: a slider move reaches the camera at once
// and changes its picture, Default puts the standard values back, Cancel undoes nothing, and what
// is set stays with the camera model while its settings are kept.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/VNTLanguageSelector.h"
#include "camera/VNTWebcamSkeo.h"
#include "framework/Gdiplus.h"
#include "framework/GdiplusSession.h"
#include "resources/resource.h"
#include "settings/CVNTUI_Skeo_SettingsPropSheet.h"
#include "settings/VNTSkeoRegedit.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/Regsvr32.h"
#include "tests/support/SheetScript.h"
#include "tests/support/TempFolder.h"

#include <uuids.h>

namespace {

const wchar_t kModelAPath[] =
    L"\\\\?\\usb#vid_C7A2&pid_5A01&mi_00#7&1A2B3C4D&0&0000#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";
constexpr ULONG kBrightness = 0;
constexpr int kBrightnessSlider = 3114;
constexpr int kBrightnessValue = 3108;
constexpr int kHueSlider = 3118;

int cameraDll(const std::wstring& arguments) {
    return testsupport::regsvr32(testsupport::besideTestProgram(L"VirtualCamera.dll"), arguments);
}

double meanOf(Gdiplus::Bitmap& photo);

// The mean of red, green and blue over a photo, decoded through GDI+ from a copy in memory (Wine's
// GDI+ releases the stream of a bitmap loaded from a file once too often).
double meanLevel(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    const DWORD size = GetFileSize(file, nullptr);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    DWORD read = 0;
    const bool ok = block && ReadFile(file, GlobalLock(block), size, &read, nullptr) && read == size;
    if (block) GlobalUnlock(block);
    CloseHandle(file);
    IStream* stream = nullptr;
    if (!ok || FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        if (block) GlobalFree(block);
        return -1;
    }
    std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromStream(stream));
    double level = -1;
    if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok) level = meanOf(*bitmap);
    bitmap.reset();
    stream->Release();
    return level;
}

double meanOf(Gdiplus::Bitmap& photo) {
    double sum = 0;
    int n = 0;
    for (UINT y = 0; y < photo.GetHeight(); y += 7) {
        for (UINT x = 0; x < photo.GetWidth(); x += 7) {
            Gdiplus::Color c;
            photo.GetPixel(static_cast<INT>(x), static_cast<INT>(y), &c);
            sum += c.GetR() + c.GetG() + c.GetB();
            n += 3;
        }
    }
    return n ? sum / n : -1;
}

// Moves a trackbar as a drag does: the position, then the page hears of it.
void moveSlider(HWND page, int id, int position) {
    HWND slider = GetDlgItem(page, id);
    SendMessageW(slider, TBM_SETPOS, TRUE, position);
    SendMessageW(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(slider));
}

std::wstring text(HWND page, int id) {
    wchar_t buffer[64] = {};
    GetDlgItemTextW(page, id, buffer, 64);
    return buffer;
}

}  // namespace

class ImageAdjustmentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&controls);
        registered_ = cameraDll(L"") == 0;
    }
    static void TearDownTestSuite() { cameraDll(L"/u"); }

    void SetUp() override {
        ASSERT_TRUE(registered_) << "the virtual camera did not register";
        ASSERT_TRUE(registry_.active());
        ASSERT_TRUE(gdiplus_.startup());
        VNTLanguageSelector::instance().setLanguage(VNTLanguageSelector::kEnglish);
        window_ = CreateWindowExW(0, L"STATIC", L"camera view", WS_POPUP | WS_VISIBLE, 900, 0, 320, 240, nullptr,
                                  nullptr, nullptr, nullptr);
        camera_ = std::make_unique<VNTWebcamSkeo>();
        ASSERT_TRUE(camera_->initWithDevice(kModelAPath, L"Document camera"));
        camera_->setOwners(window_, window_);
        ASSERT_TRUE(camera_->build(320, 240, &MEDIASUBTYPE_RGB24));
        ASSERT_TRUE(camera_->start());
    }
    void TearDown() override {
        if (camera_) {
            camera_->setVideoProcAmpProperty(kBrightness, 128);
            camera_->stop();
            camera_->release();
        }
        camera_.reset();
        if (window_) DestroyWindow(window_);
    }

    // A photo once the camera delivers frames; -1 when none came.
    double photoLevel(const wchar_t* name) {
        const std::wstring path = folder_.path() + name;
        DeleteFileW(path.c_str());  // taken again under the same name: the writer never replaces a file
        bool taken = false;
        testsupport::pumpUntil([&] { return taken = camera_->snapshot(path.c_str(), false); }, 8000);
        return taken ? meanLevel(path) : -1;
    }

    // Runs the settings sheet over the camera; a first step opens the Image Adjustment page, in page_.
    INT_PTR runOnAdjustmentPage(CVNTUI_Skeo_SettingsPropSheet& sheet, std::vector<std::function<void()>> script) {
        sheet.imageAdjustmentPage().setCamera(camera_.get());
        script.insert(script.begin(), [this, &sheet] {
            PropSheet_SetCurSel(sheet.hwnd(), nullptr, 1);
            page_ = PropSheet_IndexToHwnd(sheet.hwnd(), 1);
        });
        return testsupport::runSheet(sheet, nullptr, std::move(script));
    }

    static bool registered_;
    testsupport::RegistrySandbox registry_;
    vnt::GdiplusSession gdiplus_;
    HWND window_ = nullptr;
    std::unique_ptr<VNTWebcamSkeo> camera_;
    HWND page_ = nullptr;
    testsupport::TempFolder folder_{L"adjustment-photos"};
};
bool ImageAdjustmentTest::registered_ = false;

TEST_F(ImageAdjustmentTest, ASliderChangesTheLivePictureAtOnceAndCancelKeepsIt) {
    const double before = photoLevel(L"before.jpg");
    ASSERT_GT(before, 0) << "the camera delivers frames";
    VNTSkeoRegedit settings;
    settings.loadSettings();
    CVNTUI_Skeo_SettingsPropSheet sheet(settings);
    double brighter = -1;
    const INT_PTR result = runOnAdjustmentPage(sheet, {[&] {
        HWND page = page_;
        HWND slider = GetDlgItem(page, kBrightnessSlider);
        ASSERT_TRUE(IsWindowEnabled(slider));
        EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMIN, 0, 0), 0);
        EXPECT_EQ(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0), 255);
        EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 128);
        EXPECT_EQ(text(page, kBrightnessValue), L"128");
        EXPECT_EQ(SendMessageW(GetDlgItem(page, kHueSlider), TBM_GETRANGEMIN, 0, 0), -180);
        // Hue 0 of -180..180 stands in the middle of its channel, not where 0 stood in the slider's
        // first range.
        RECT thumb{}, channel{};
        SendMessageW(GetDlgItem(page, kHueSlider), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        SendMessageW(GetDlgItem(page, kHueSlider), TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
        EXPECT_NEAR((thumb.left + thumb.right) / 2, (channel.left + channel.right) / 2, 3);

        moveSlider(page, kBrightnessSlider, 230);
        LONG value = 0;
        ASSERT_TRUE(camera_->getVideoProcAmpProperty(kBrightness, &value));
        EXPECT_EQ(value, 230) << "set on the camera while the slider moves";
        EXPECT_EQ(text(page, kBrightnessValue), L"230");
        // Frames already on their way were made before the change: look until a new one arrives.
        testsupport::pumpUntil([&] { return (brighter = photoLevel(L"brighter.jpg")) > before + 10; }, 5000);

        moveSlider(page, kHueSlider, -40);
        ASSERT_TRUE(camera_->getVideoProcAmpProperty(2, &value));
        EXPECT_EQ(value, -40);
        PropSheet_PressButton(sheet.hwnd(), PSBTN_CANCEL);
    }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_GT(brighter, before + 10) << "the picture got brighter: " << before << " -> " << brighter;
    LONG value = 0;
    ASSERT_TRUE(camera_->getVideoProcAmpProperty(kBrightness, &value));
    EXPECT_EQ(value, 230) << "Cancel does not undo a change made on the camera";
}

TEST_F(ImageAdjustmentTest, DefaultPutsTheStandardValuesBackAndTheCameraCanGoWhileTheSheetIsOpen) {
    ASSERT_TRUE(camera_->setVideoProcAmpProperty(kBrightness, 40));
    VNTSkeoRegedit settings;
    settings.loadSettings();
    CVNTUI_Skeo_SettingsPropSheet sheet(settings);
    const INT_PTR result = runOnAdjustmentPage(sheet, {[&] {
        HWND page = page_;
        EXPECT_EQ(text(page, kBrightnessValue), L"40");
        SendMessageW(GetDlgItem(page, IDC_ADJUST_DEFAULT), BM_CLICK, 0, 0);
        LONG value = 0;
        ASSERT_TRUE(camera_->getVideoProcAmpProperty(kBrightness, &value));
        EXPECT_EQ(value, 128);
        EXPECT_EQ(text(page, kBrightnessValue), L"128");
        // The camera pulled out: the page lets go of it and its controls.
        sheet.imageAdjustmentPage().setCamera(nullptr);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, kBrightnessSlider)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_ADJUST_DEFAULT)));
        moveSlider(page, kBrightnessSlider, 10);  // nothing to send it to, and no crash
        PropSheet_PressButton(sheet.hwnd(), PSBTN_OK);
    }});
    EXPECT_EQ(result, IDOK);
}

// Enter on the focused Default button presses it as a click does.
TEST_F(ImageAdjustmentTest, EnterOnTheFocusedDefaultButtonPressesIt) {
    ASSERT_TRUE(camera_->setVideoProcAmpProperty(kBrightness, 40));
    VNTSkeoRegedit settings;
    settings.loadSettings();
    CVNTUI_Skeo_SettingsPropSheet sheet(settings);
    const INT_PTR result = runOnAdjustmentPage(sheet, {[&] {
        EXPECT_EQ(text(page_, kBrightnessValue), L"40");
        HWND button = GetDlgItem(page_, IDC_ADJUST_DEFAULT);
        SetFocus(button);
        ASSERT_EQ(GetFocus(), button);
        testsupport::postKeyPress(button, VK_RETURN);
    }, [&] {
        LONG value = 0;
        ASSERT_TRUE(camera_->getVideoProcAmpProperty(kBrightness, &value));
        EXPECT_EQ(value, 128);
        EXPECT_EQ(text(page_, kBrightnessValue), L"128");
        PropSheet_PressButton(sheet.hwnd(), PSBTN_CANCEL);
    }});
    EXPECT_EQ(result, IDCANCEL) << "Enter pressed Default, not OK";
}

// While the model's settings are kept, each value the camera took is stored under the model's
// subkey (Default stores the standard values) and a new settings object reads it back; with "No"
// nothing is stored, and a control never moved is never written.
TEST_F(ImageAdjustmentTest, ValuesSetAreStoredForTheModelOnlyWhileItsSettingsAreKept) {
    const std::wstring key = L"Software\\Vantor\\Zevlan\\Skeo";
    VNTSkeoRegedit settings;
    settings.loadSettings();
    ASSERT_TRUE(settings.setCameraSettingsPreload(1));
    ASSERT_TRUE(settings.selectCameraModel(L"VNTWebcamSkeo"));
    EXPECT_FALSE(testsupport::readRaw(key, L"CameraBrightness").present);
    const auto onPage = [&](const std::function<void()>& step) {
        CVNTUI_Skeo_SettingsPropSheet sheet(settings);
        runOnAdjustmentPage(sheet, {[&] {
            step();
            PropSheet_PressButton(sheet.hwnd(), PSBTN_CANCEL);
        }});
    };

    onPage([&] {
        moveSlider(page_, kBrightnessSlider, 200);
        moveSlider(page_, kHueSlider, -40);
    });
    EXPECT_EQ(testsupport::readRaw(key, L"CameraBrightness").dword(), 200u);
    EXPECT_EQ(static_cast<int32_t>(testsupport::readRaw(key, L"CameraHue").dword()), -40);
    EXPECT_FALSE(testsupport::readRaw(key, L"CameraSharpness").present) << "a control never moved";
    {
        VNTSkeoRegedit next;
        next.loadSettings();
        ASSERT_TRUE(next.selectCameraModel(L"VNTWebcamSkeo"));
        EXPECT_EQ(next.cameraSettings()->adjustments[0], 200);
        EXPECT_EQ(next.cameraSettings()->adjustments[2], -40);
        EXPECT_EQ(next.cameraSettings()->adjustments[4], CameraSettings::kNotStored);
    }

    onPage([&] { SendMessageW(GetDlgItem(page_, IDC_ADJUST_DEFAULT), BM_CLICK, 0, 0); });
    EXPECT_EQ(testsupport::readRaw(key, L"CameraBrightness").dword(), 128u);
    EXPECT_EQ(testsupport::readRaw(key, L"CameraHue").dword(), 0u);
    EXPECT_EQ(testsupport::readRaw(key, L"CameraSharpness").dword(), 0u);
    EXPECT_EQ(testsupport::readRaw(key, L"CameraGamma").dword(), 64u);

    ASSERT_TRUE(settings.setCameraSettingsPreload(0));
    onPage([&] { moveSlider(page_, kBrightnessSlider, 50); });
    LONG value = 0;
    ASSERT_TRUE(camera_->getVideoProcAmpProperty(kBrightness, &value));
    EXPECT_EQ(value, 50) << "the camera still takes it";
    EXPECT_EQ(testsupport::readRaw(key, L"CameraBrightness").dword(), 128u) << "but it is not stored";
}
