// The main window controller in-process on two virtual cameras, one of each model: the program's own
// window, camera objects, settings and index. Each camera's HID interface is a scripted device (the
// one stand-in for the platform's HID driver), so what the controller asks of the camera can be read
// back there, and from the capture graph itself.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <winternl.h>
#include <strmif.h>
#include <amvideo.h>
#include <uuids.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/VNTLanguageSelector.h"
#include "app/VNTNotificationCenter.h"
#include "app/VNTSkeoMainWnd.h"
#include "camera/DirectShowIds.h"
#include "camera/VNTWebcam.h"
#include "camera/VNTWebcamMonitor.h"
#include "camera/VNTWebcamSkeo.h"
#include "dshow/MediaType.h"
#include "framework/ComPtr.h"
#include "framework/GdiplusSession.h"
#include "imagefx/IIPEffectVantor.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "resources/StringIds.h"
#include "resources/resource.h"
#include "settings/CVNTUI_Skeo_SettingsPropSheet.h"
#include "settings/VNTRegedit.h"
#include "tests/camera/ScriptedHidDevice.h"
#include "tests/support/HiddenClass.h"
#include "tests/support/MessagePump.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/Regsvr32.h"
#include "tests/support/SheetScript.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPhotos.h"

namespace {

using testsupport::pumpUntil;
using testsupport::ScriptedHidDevice;

const wchar_t kProductKey[] = L"Software\\Vantor\\Zevlan";
const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::wstring lower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

// One virtual camera of the suite, with the HID interface its USB device would have beside the video.
struct TestCamera {
    const char* label;
    const wchar_t* model;     // as the virtual camera's registration names it (A is its default camera)
    const wchar_t* ids;       // vendor and product as the device path writes them
    const wchar_t* instance;  // the video interface's instance id
    const wchar_t* name;
    const wchar_t* className;
    const wchar_t* subkey;  // of its settings under the product key
    const wchar_t* hidPrefix;
    USHORT productId;
    USHORT firmware;
    const wchar_t* firmwareText;
    int exposureKind;  // of the menu bar's Exposure item

    std::wstring devicePath() const {
        return lower(std::wstring(L"\\\\?\\usb#") + ids + L"&mi_00#" + instance +
                     L"#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global");
    }
    std::wstring hidDeviceKey() const {
        return std::wstring(L"SYSTEM\\CurrentControlSet\\Enum\\USB\\") + ids + L"&mi_02";
    }
    // The composite device numbers its interfaces in the instance id's last digit.
    std::wstring hidKey() const {
        std::wstring id = instance;
        id.back() = L'2';
        return hidDeviceKey() + L"\\" + id;
    }
    std::wstring hidPath() const {
        return std::wstring(L"\\\\?\\hid#") + ids + L"&mi_02#" + hidPrefix +
               L"&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    }
    std::wstring settingsKey() const { return std::wstring(kProductKey) + L"\\" + subkey; }
};

// The camera the virtual camera registers by default, and one model-B camera beside it.
const TestCamera kModelA{"ModelA", L"A", L"vid_c7a2&pid_5a01", L"7&1A2B3C4D&0&0000", L"Skeo Virtual Camera",
                         L"VNTWebcamSkeo", L"Skeo", L"9&aa11&0", 0x5A01, 0x0102, L"0102", 2};
const TestCamera kModelB{"ModelB", L"B", L"vid_c7a2&pid_5a02", L"8&C0DE&0&0001", L"Pello on the desk",
                         L"VNTWebcamSkeoPlus", L"Pello", L"9&bb22&0", 0x5A02, 0x0215, L"0215", 1};

int registerDll(const wchar_t* dll, const std::wstring& arguments) {
    return testsupport::regsvr32(testsupport::besideTestProgram(dll), arguments);
}

bool writeText(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    return testsupport::writeRaw(key, name, REG_SZ, text.c_str(),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// Everything the process shares: COM, GDI+ and common controls as the program has them; the user's
// registry redirected, with the documents and application-data folders (where the index lives) in a
// temporary folder; the two cameras and their HID interfaces; the settings object's library folder.
// The renderers whose picture Wine cannot zoom or mirror (VMR9's mixer lacks GetOutputRect, the EVR
// takes no video from a transform filter) are set aside, so the image-effects filter carries zoom and
// mirror, where they can be read back.
class ControllerWorld : public ::testing::Environment {
public:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        INITCOMMONCONTROLSEX controls{sizeof controls, 0xFF};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(gdiplus_.startup());

        registry_.reset(new testsupport::RegistrySandbox);
        ASSERT_TRUE(registry_->active());
        temp_.reset(new testsupport::TempFolder(L"controller"));
        library = temp_->path() + L"library\\";
        scratch = temp_->path() + L"scratch\\";
        for (const wchar_t* folder : {L"library", L"scratch", L"documents", L"appdata"})
            ASSERT_TRUE(CreateDirectoryW((temp_->path() + folder).c_str(), nullptr));
        ASSERT_TRUE(writeText(kShellFolders, L"AppData", temp_->path() + L"appdata"));
        ASSERT_TRUE(writeText(kShellFolders, L"Personal", temp_->path() + L"documents"));
        const DWORD english = VNTLanguageSelector::kEnglish;
        ASSERT_TRUE(
            testsupport::writeRaw(std::wstring(kProductKey) + L"\\Language", L"LANGID", REG_DWORD, &english, 4));
        // Every Windows profile has the run-at-log-on list, which the settings sheet reads.
        ASSERT_TRUE(testsupport::createKey(VNTRegedit::kRunKey));

        // Wine's notification area hides when its last icon goes, and a hide waits 2 s for a window
        // manager the virtual display lacks: an icon of the suite's own keeps it shown while the
        // windows come and go.
        trayWindow_ = CreateWindowExW(0, L"STATIC", L"tray", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        trayIcon_ = NOTIFYICONDATAW{};
        trayIcon_.cbSize = sizeof trayIcon_;
        trayIcon_.hWnd = trayWindow_;
        trayIcon_.uID = 1;
        trayIcon_.uFlags = NIF_ICON;
        trayIcon_.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
        Shell_NotifyIconW(NIM_ADD, &trayIcon_);

        vmr9_.reset(new testsupport::HiddenClass(CLSID_VideoMixingRenderer9));
        evr_.reset(new testsupport::HiddenClass(CLSID_EnhancedVideoRenderer));
        ASSERT_EQ(registerDll(L"VantorImageEffects.dll", L""), 0);
        ASSERT_EQ(registerDll(L"VirtualCamera.dll", L""), 0);
        ASSERT_EQ(registerDll(L"VirtualCamera.dll", std::wstring(L"/n /i:\"add ") + kModelB.model + L" " +
                                                        kModelB.instance + L" " + kModelB.name + L"\""),
                  0);

        hid_.reset(new testsupport::ScriptedHidAccess);
        for (const TestCamera* camera : {&kModelA, &kModelB}) {
            ScriptedHidDevice& device = hid_->add(camera->hidPath());
            device.attributes.vendorId = 0xC7A2;
            device.attributes.productId = camera->productId;
            device.attributes.versionNumber = camera->firmware;
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, camera->hidKey().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                      nullptr, &key, nullptr),
                      ERROR_SUCCESS);
            const std::wstring prefix = camera->hidPrefix;
            const LONG written =
                RegSetValueExW(key, L"ParentIdPrefix", 0, REG_SZ, reinterpret_cast<const BYTE*>(prefix.c_str()),
                               static_cast<DWORD>((prefix.size() + 1) * sizeof(wchar_t)));
            RegCloseKey(key);
            ASSERT_EQ(written, ERROR_SUCCESS);
            devices_.push_back(&device);
        }

        VNTSkeoDatabaseManager& database = VNTSkeoDatabaseManager::instance();
        ASSERT_EQ(database.filePath().rfind(temp_->path(), 0), 0u) << "the index must not be the prefix's own";
        ASSERT_TRUE(database.setPhotoLibraryLocation(library));
        database.setInstantPreview(0);
        database.setSoundEffectFocus(0);
        database.setSoundEffectSnapshot(0);
    }

    void TearDown() override {
        // The monitor lives as long as the process: its camera objects go while their devices exist.
        for (const TestCamera* camera : {&kModelA, &kModelB}) {
            VNTWebcamMonitor::instance().removeDevice(camera->devicePath());
            RegDeleteTreeW(HKEY_LOCAL_MACHINE, camera->hidDeviceKey().c_str());
        }
        hid_.reset();
        registerDll(L"VirtualCamera.dll", L"/u");
        registerDll(L"VantorImageEffects.dll", L"/u");
        evr_.reset();
        vmr9_.reset();
        temp_.reset();
        registry_.reset();
        Shell_NotifyIconW(NIM_DELETE, &trayIcon_);
        DestroyWindow(trayWindow_);
        gdiplus_.shutdown();
        CoUninitialize();
    }

    ScriptedHidDevice& device(const TestCamera& camera) { return *devices_[&camera == &kModelA ? 0 : 1]; }

    std::wstring library;   // the settings' photo library folder
    std::wstring scratch;   // for files no part of the program reads

private:
    vnt::GdiplusSession gdiplus_;
    std::unique_ptr<testsupport::RegistrySandbox> registry_;
    std::unique_ptr<testsupport::TempFolder> temp_;
    std::unique_ptr<testsupport::HiddenClass> vmr9_, evr_;
    std::unique_ptr<testsupport::ScriptedHidAccess> hid_;
    std::vector<ScriptedHidDevice*> devices_;
    HWND trayWindow_ = nullptr;
    NOTIFYICONDATAW trayIcon_{};
};

ControllerWorld* const g_world =
    static_cast<ControllerWorld*>(::testing::AddGlobalTestEnvironment(new ControllerWorld));

VNTSkeoDatabaseManager& settings() { return VNTSkeoDatabaseManager::instance(); }

uint32_t stored(const TestCamera& camera, const wchar_t* name) {
    const testsupport::RawValue value = testsupport::readRaw(camera.settingsKey(), name);
    EXPECT_TRUE(value.present && value.type == REG_DWORD) << "no " << std::string(name, name + wcslen(name));
    return value.dword();
}

// --- The camera's state, read back from its graph -------------------------------------------------

struct Format {
    GUID subtype = GUID_NULL;
    LONG width = 0, height = 0;
};

// The format the camera's capture pin delivers into its graph.
Format deliveredFormat(VNTWebcam& camera) {
    Format format;
    IBaseFilter* source = camera.graph() ? camera.graph()->sourceFilter() : nullptr;
    vnt::ComPtr<IEnumPins> pins;
    if (!source || FAILED(source->EnumPins(pins.put()))) return format;
    for (vnt::ComPtr<IPin> pin; pins->Next(1, pin.put(), nullptr) == S_OK;) {
        AM_MEDIA_TYPE type{};
        if (FAILED(pin->ConnectionMediaType(&type))) continue;
        const bool video =
            type.formattype == FORMAT_VideoInfo && type.pbFormat && type.cbFormat >= sizeof(VIDEOINFOHEADER);
        if (video) {
            const BITMAPINFOHEADER& header = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
            format = Format{type.subtype, header.biWidth, std::abs(header.biHeight)};
        }
        dshow::freeMediaTypeContents(type);
        if (video) break;
    }
    return format;
}

// The image-effects filter of the camera's graph, which zooms and mirrors the live picture.
vnt::ComPtr<IIPEffectVantor> effectsOf(VNTWebcam& camera) {
    vnt::ComPtr<IIPEffectVantor> effects;
    IBaseFilter* source = camera.graph() ? camera.graph()->sourceFilter() : nullptr;
    FILTER_INFO info{};
    if (!source || FAILED(source->QueryFilterInfo(&info)) || !info.pGraph) return effects;
    vnt::ComPtr<IFilterGraph> graph;
    graph.attach(info.pGraph);
    vnt::ComPtr<IEnumFilters> filters;
    if (FAILED(graph->EnumFilters(filters.put()))) return effects;
    for (vnt::ComPtr<IBaseFilter> filter; filters->Next(1, filter.put(), nullptr) == S_OK;)
        if (SUCCEEDED(filter.queryInterface(effects))) break;
    return effects;
}

float pictureZoom(VNTWebcam& camera) {
    float zoom = 0;
    if (vnt::ComPtr<IIPEffectVantor> effects = effectsOf(camera)) effects->get_Zoom(&zoom);
    return zoom;
}

// --- What the camera's HID interface received -----------------------------------------------------

using Command = std::pair<int, int>;  // {command, value}

// The commands among the output reports from the index `from` on, register queries and refocusing
// left out (the controller asks for those at every start).
std::vector<Command> commandsSince(const ScriptedHidDevice& device, size_t from) {
    std::vector<Command> commands;
    const std::vector<testsupport::Bytes> reports = device.outputReports();
    for (size_t i = from; i < reports.size(); ++i) {
        const testsupport::Bytes& r = reports[i];
        if (r.size() < 3 || r[1] == 0 || r[1] == 79) continue;
        commands.emplace_back(r[1], r[2]);
    }
    return commands;
}

std::vector<int> valuesOf(const std::vector<Command>& commands, int command) {
    std::vector<int> values;
    for (const Command& c : commands)
        if (c.first == command) values.push_back(c.second);
    return values;
}

// Pumps until the camera has been asked to refocus since `from`: the controller asks for it last when
// it starts a camera, so the start's own commands are out by then.
bool settled(const ScriptedHidDevice& device, size_t from) {
    return pumpUntil([&] {
        const std::vector<testsupport::Bytes> reports = device.outputReports();
        for (size_t i = from; i < reports.size(); ++i)
            if (reports[i].size() > 1 && reports[i][1] == 79) return true;
        return false;
    });
}

// Pumps until the camera has received that command since `from`; the sender sends about once a second.
bool received(const ScriptedHidDevice& device, size_t from, Command command) {
    return pumpUntil([&] {
        const std::vector<Command> sent = commandsSince(device, from);
        return std::find(sent.begin(), sent.end(), command) != sent.end();
    });
}

// --- The menu bar -----------------------------------------------------------------------------------

int selectedCommand(const CVNTUI_Skeo_MenuShow& panel) {
    const int row = panel.selectedRow();
    return row >= 0 && row < panel.rowCount() ? panel.row(row).command : 0;
}

bool ticked(const CVNTUI_Skeo_MenuShow& panel, int command) {
    for (int i = 0; i < panel.rowCount(); ++i)
        if (panel.row(i).command == command) return panel.row(i).tick != 0;
    return false;
}

std::wstring textOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

BOOL CALLBACK collectAboutBox(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wstring(name) == L"VNTUI_Skeo_AboutBox" && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

std::vector<HWND> aboutBoxesShown() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &collectAboutBox, reinterpret_cast<LPARAM>(&found));
    return found;
}

// A command line split into the program's name and the arguments after it.
std::pair<std::wstring, std::wstring> splitCommandLine(const std::wstring& line) {
    const bool quoted = !line.empty() && line[0] == L'"';
    const size_t end = quoted ? line.find(L'"', 1) : line.find(L' ');
    if (end == std::wstring::npos) return {line, std::wstring()};
    const std::wstring program = quoted ? line.substr(1, end - 1) : line.substr(0, end);
    const size_t start = line.find_first_not_of(L' ', quoted ? end + 1 : end);
    return {program, start == std::wstring::npos ? std::wstring() : line.substr(start)};
}

// The processes of the platform's file explorer, by id.
std::vector<DWORD> explorerProcesses() {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return ids;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
        if (lstrcmpiW(entry.szExeFile, L"explorer.exe") == 0) ids.push_back(entry.th32ProcessID);
    CloseHandle(snapshot);
    return ids;
}

// Another process's command line, read from its process parameters.
std::wstring commandLineOf(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
        !ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters, nullptr))
        return std::wstring();
    std::wstring line(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!line.empty() && !ReadProcessMemory(process, parameters.CommandLine.Buffer, &line[0],
                                            parameters.CommandLine.Length, nullptr))
        line.clear();
    return line;
}

// Ends the file explorers started since `before` (the test's own doing) and returns the command
// line of the last one; empty when none has started. The platform's desktop, which may start
// meanwhile, is left alone.
std::wstring endNewExplorers(const std::vector<DWORD>& before) {
    std::wstring line;
    for (const DWORD id : explorerProcesses()) {
        if (std::find(before.begin(), before.end(), id) != before.end()) continue;
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_TERMINATE | SYNCHRONIZE,
                                     FALSE, id);
        if (!process) continue;
        const std::wstring started = commandLineOf(process);
        if (!started.empty() && lower(started).find(L"/desktop") == std::wstring::npos) {
            line = started;
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
        }
        CloseHandle(process);
    }
    return line;
}

bool endsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// --- The fixture --------------------------------------------------------------------------------------

class ControllerTest : public ::testing::Test {
protected:
    void TearDown() override { close(); }

    // A first start of the program with that camera as the one used last and fresh settings for it;
    // returns once the camera has received what the start sends it.
    void start(const TestCamera& camera) {
        settings().resetCameraSettings();
        settings().selectCameraModel(L"");
        settings().setCameraSettingsPreload(1);
        settings().setVideoDevice(camera.devicePath());
        const size_t mark = g_world->device(camera).outputReports().size();
        newCameraObjects();
        open();
        ASSERT_NE(window_->camera(), nullptr);
        ASSERT_EQ(window_->camera()->devicePath(), camera.devicePath());
        ASSERT_EQ(window_->camera()->graph() ? window_->camera()->graph()->rendererKind() : -1, kRendererVideoWindow)
            << "the picture must run through the image-effects filter";
        ASSERT_TRUE(settled(g_world->device(camera), mark));
    }

    // A new process has camera objects of its own, with nothing queued or remembered: the monitor,
    // which lives as long as this process, lists the cameras again when the next window starts.
    static void newCameraObjects() {
        for (const TestCamera* camera : {&kModelA, &kModelB})
            VNTWebcamMonitor::instance().removeDevice(camera->devicePath());
    }

    // The program's window, modeless: the tests pump its messages themselves. `before` runs on the
    // window object before its window is made.
    void open(bool show = true, const std::function<void(VNTSkeoMainWnd&)>& before = nullptr) {
        window_.reset(new VNTSkeoMainWnd);
        if (before) before(*window_);
        ASSERT_TRUE(window_->Create(nullptr));
        if (show) ShowWindow(hwnd(), SW_SHOW);
        if (!before) pumpUntil([] { return false; }, 0);  // what the start posted
    }

    // The OK path (the tray's Close), which lets the camera go, and the window taken down.
    void close() {
        if (!window_) return;
        if (hwnd()) {
            SendMessageW(hwnd(), WM_COMMAND, ID_TRAY_CLOSE, 0);
            DestroyWindow(hwnd());
        }
        window_.reset();
    }

    // The program ended and started again. A new process would read the model's record from the
    // registry; this process's settings object lives on, so its record is dropped and read anew.
    // The camera objects are new as well. What a camera received before (its sender finishes what it
    // sends when it is stopped) is counted apart from what the start sends it.
    void restart() {
        close();
        for (const TestCamera* camera : {&kModelA, &kModelB})
            reportsBeforeRestart_[camera == &kModelA ? 0 : 1] = g_world->device(*camera).outputReports().size();
        newCameraObjects();
        settings().selectCameraModel(L"");
        open();
    }

    // The output reports a camera's HID interface had received when the program ended.
    size_t reportsBeforeRestart(const TestCamera& camera) const {
        return reportsBeforeRestart_[&camera == &kModelA ? 0 : 1];
    }
    HWND hwnd() const { return window_->hwnd(); }
    VNTWebcam& camera() const { return *window_->camera(); }
    CVNTUI_Skeo_MenuBar& bar() const { return *window_->menuBar(); }
    // A choice as the menu bar's panels send it: the value is the mirror's new tick state or the
    // exposure level.
    void choose(UINT id, LPARAM value = 0) { SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(id, 0), value); }

    std::unique_ptr<VNTSkeoMainWnd> window_;
    size_t reportsBeforeRestart_[2] = {0, 0};
};

class ModelTest : public ControllerTest, public ::testing::WithParamInterface<const TestCamera*> {};

std::string modelName(const ::testing::TestParamInfo<const TestCamera*>& info) { return info.param->label; }

struct ZoomCase {
    UINT id;
    float factor;
};
const ZoomCase kZooms[] = {{ID_ZOOM_CAM_1X, 1.0f},  {ID_ZOOM_CAM_1_25X, 1.25f}, {ID_ZOOM_CAM_1_5X, 1.5f},
                           {ID_ZOOM_CAM_2X, 2.0f},  {ID_ZOOM_CAM_2_5X, 2.5f},   {ID_ZOOM_CAM_3X, 3.0f}};

struct ResolutionCase {
    UINT id;
    LONG width, height;
    const GUID* subtype;
};
const ResolutionCase kResolutions[] = {{ID_RESOLUTION_1600X1200, 1600, 1200, &MEDIASUBTYPE_MJPG},
                                       {ID_RESOLUTION_1280X1024, 1280, 1024, &MEDIASUBTYPE_MJPG},
                                       {ID_RESOLUTION_1024X768, 1024, 768, &MEDIASUBTYPE_MJPG},
                                       {ID_RESOLUTION_800X600, 800, 600, &MEDIASUBTYPE_MJPG},
                                       {ID_RESOLUTION_640X480, 640, 480, &MEDIASUBTYPE_YUY2},
                                       {ID_RESOLUTION_320X240, 320, 240, &MEDIASUBTYPE_YUY2}};

void expectFormat(VNTWebcam& camera, const ResolutionCase& want) {
    const Format got = deliveredFormat(camera);
    EXPECT_TRUE(IsEqualGUID(got.subtype, *want.subtype)) << want.width;
    EXPECT_EQ(got.width, want.width);
    EXPECT_EQ(got.height, want.height);
}

}  // namespace

TEST_P(ModelTest, ZoomMirrorAndResolutionReachTheGraphTheMenuBarAndTheSettingsAndComeBackAfterARestart) {
    const TestCamera& model = *GetParam();
    ASSERT_NO_FATAL_FAILURE(start(model));
    EXPECT_EQ(camera().cameraClassName(), model.className);
    EXPECT_FLOAT_EQ(pictureZoom(camera()), 1.0f);
    EXPECT_FALSE(camera().isMirrorVertical()) << "a fresh record flips nothing";
    expectFormat(camera(), kResolutions[1]);

    for (const ZoomCase& zoom : kZooms) {
        SCOPED_TRACE(zoom.id);
        choose(zoom.id);
        EXPECT_FLOAT_EQ(pictureZoom(camera()), zoom.factor);
        EXPECT_EQ(selectedCommand(bar().zoomCamPanel()), int(zoom.id));
        EXPECT_EQ(stored(model, L"CameraZoom"), zoom.id);
    }
    choose(ID_ZOOM_CAM_1_5X);

    choose(ID_MIRROR_VERTICAL, 1);
    EXPECT_TRUE(camera().isMirrorVertical());
    EXPECT_FALSE(camera().isMirrorHorizontal());
    EXPECT_TRUE(ticked(bar().mirrorPanel(), ID_MIRROR_VERTICAL));
    EXPECT_EQ(stored(model, L"CameraMirrorVertical"), 1u);
    choose(ID_MIRROR_HORIZONTAL, 1);
    EXPECT_TRUE(camera().isMirrorHorizontal());
    EXPECT_TRUE(camera().isMirrorVertical());
    EXPECT_TRUE(ticked(bar().mirrorPanel(), ID_MIRROR_HORIZONTAL));
    EXPECT_EQ(stored(model, L"CameraMirrorHorizontal"), 1u);
    choose(ID_MIRROR_VERTICAL, 0);
    EXPECT_FALSE(camera().isMirrorVertical());
    EXPECT_TRUE(camera().isMirrorHorizontal());
    EXPECT_FALSE(ticked(bar().mirrorPanel(), ID_MIRROR_VERTICAL));
    EXPECT_TRUE(ticked(bar().mirrorPanel(), ID_MIRROR_HORIZONTAL));
    EXPECT_EQ(stored(model, L"CameraMirrorVertical"), 0u);

    for (const ResolutionCase& resolution : kResolutions) {
        SCOPED_TRACE(resolution.width);
        choose(resolution.id);
        expectFormat(camera(), resolution);
        EXPECT_EQ(selectedCommand(bar().resolutionPanel()), int(resolution.id));
        EXPECT_EQ(stored(model, L"CameraResolution"), resolution.id);
        // The graph is built anew for a format: the view's choices go into the new one.
        EXPECT_FLOAT_EQ(pictureZoom(camera()), 1.5f);
        EXPECT_TRUE(camera().isMirrorHorizontal());
        EXPECT_FALSE(camera().isMirrorVertical());
    }
    choose(ID_RESOLUTION_800X600);

    restart();
    ASSERT_NE(window_->camera(), nullptr);
    EXPECT_EQ(camera().devicePath(), model.devicePath());
    expectFormat(camera(), kResolutions[3]);
    EXPECT_FLOAT_EQ(pictureZoom(camera()), 1.5f);
    EXPECT_TRUE(camera().isMirrorHorizontal());
    EXPECT_FALSE(camera().isMirrorVertical());
    EXPECT_EQ(selectedCommand(bar().zoomCamPanel()), ID_ZOOM_CAM_1_5X);
    EXPECT_EQ(selectedCommand(bar().resolutionPanel()), ID_RESOLUTION_800X600);
    EXPECT_TRUE(ticked(bar().mirrorPanel(), ID_MIRROR_HORIZONTAL));
    EXPECT_FALSE(ticked(bar().mirrorPanel(), ID_MIRROR_VERTICAL));
}

TEST_P(ModelTest, ExposureAndTimerReachTheCameraTheMenuBarAndTheSettingsAndComeBackAfterARestart) {
    const TestCamera& model = *GetParam();
    const bool modelB = &model == &kModelB;
    ScriptedHidDevice& device = g_world->device(model);
    ASSERT_NO_FATAL_FAILURE(start(model));
    EXPECT_EQ(bar().exposureControlKind(), model.exposureKind);
    CVNTUI_Skeo_Menu& exposureItem = *bar().item(IDC_MENU_EXPOSURE);
    EXPECT_EQ(IsWindowVisible(bar().item(IDC_MENU_EXPOSURE_MODE)->hwnd()) != FALSE, modelB)
        << "only model B has the Auto item";

    size_t mark = device.outputReports().size();
    if (!modelB) {
        // Model A: the five steps, each sent to the camera in the order chosen.
        const std::pair<UINT, int> steps[] = {{ID_EXPOSURE_PLUS2, 9}, {ID_EXPOSURE_PLUS1, 7}, {ID_EXPOSURE_0, 5},
                                              {ID_EXPOSURE_MINUS1, 4}, {ID_EXPOSURE_MINUS2, 3}};
        std::vector<int> expected;
        for (const auto& step : steps) {
            SCOPED_TRACE(step.first);
            choose(step.first);
            expected.push_back(step.second);
            EXPECT_EQ(exposureItem.panel(), &bar().exposurePanel());
            EXPECT_FALSE(exposureItem.sliderMode());
            EXPECT_EQ(selectedCommand(bar().exposurePanel()), int(step.first));
            EXPECT_EQ(stored(model, L"CameraExposureValue"), step.first);
        }
        // Model A has no automatic exposure to switch: the choice is shown, nothing else.
        choose(ID_EXPOSURE_MODE_OFF);
        EXPECT_EQ(selectedCommand(bar().exposureModePanel()), ID_EXPOSURE_MODE_OFF);
        EXPECT_EQ(stored(model, L"CameraExposureMode"), uint32_t(ID_EXPOSURE_MODE_ON));
        choose(ID_EXPOSURE_PLUS1);
        expected.push_back(7);
        ASSERT_TRUE(pumpUntil([&] { return valuesOf(commandsSince(device, mark), 6).size() >= expected.size(); }));
        EXPECT_EQ(valuesOf(commandsSince(device, mark), 6), expected);
        EXPECT_TRUE(valuesOf(commandsSince(device, mark), 5).empty());
    } else {
        // Model B: a level on the slider, and automatic exposure switched on the camera. With it off,
        // the camera takes each level between reports switching it off and on, so the switch is
        // checked where no level is on its way.
        choose(ID_EXPOSURE_MODE_ON);
        EXPECT_EQ(selectedCommand(bar().exposureModePanel()), ID_EXPOSURE_MODE_ON);
        EXPECT_EQ(stored(model, L"CameraExposureMode"), uint32_t(ID_EXPOSURE_MODE_ON));
        EXPECT_TRUE(received(device, mark, {5, 0}));
        for (const int level : {9, 2}) {
            SCOPED_TRACE(level);
            mark = device.outputReports().size();
            choose(ID_EXPOSURE_LEVEL, level);
            EXPECT_EQ(exposureItem.panel(), &bar().exposureSliderPanel());
            EXPECT_TRUE(exposureItem.sliderMode());
            EXPECT_EQ(bar().exposureSliderPanel().level(), level);
            EXPECT_EQ(stored(model, L"CameraExposureValue"), uint32_t(level));
            EXPECT_TRUE(received(device, mark, {6, level}));
        }
        mark = device.outputReports().size();
        choose(ID_EXPOSURE_MODE_OFF);
        EXPECT_EQ(selectedCommand(bar().exposureModePanel()), ID_EXPOSURE_MODE_OFF);
        EXPECT_EQ(stored(model, L"CameraExposureMode"), uint32_t(ID_EXPOSURE_MODE_OFF));
        EXPECT_TRUE(received(device, mark, {5, 1}));
        mark = device.outputReports().size();
        choose(ID_EXPOSURE_LEVEL, 12);
        EXPECT_TRUE(received(device, mark, {6, 12}));
    }

    for (const UINT timer : {ID_TIMER_3_SEC, ID_TIMER_10_SEC, ID_TIMER_OFF, ID_TIMER_3_SEC}) {
        SCOPED_TRACE(timer);
        choose(timer);
        EXPECT_EQ(selectedCommand(bar().timerPanel()), int(timer));
        EXPECT_EQ(stored(model, L"CameraTimer"), timer);
    }

    restart();
    mark = reportsBeforeRestart(model);
    ASSERT_NE(window_->camera(), nullptr);
    EXPECT_EQ(camera().devicePath(), model.devicePath());
    CVNTUI_Skeo_Menu& item = *bar().item(IDC_MENU_EXPOSURE);
    if (!modelB) {
        EXPECT_TRUE(received(device, mark, {6, 7}));
        EXPECT_EQ(selectedCommand(bar().exposurePanel()), ID_EXPOSURE_PLUS1);
        EXPECT_FALSE(item.sliderMode());
    } else {
        EXPECT_TRUE(received(device, mark, {6, 12}));
        EXPECT_TRUE(received(device, mark, {5, 1})) << "automatic exposure stays off";
        EXPECT_TRUE(item.sliderMode());
        EXPECT_EQ(bar().exposureSliderPanel().level(), 12);
        EXPECT_EQ(selectedCommand(bar().exposureModePanel()), ID_EXPOSURE_MODE_OFF);
    }
    EXPECT_EQ(selectedCommand(bar().timerPanel()), ID_TIMER_3_SEC);
    // The stored timer decides what a snapshot request does: a three-second countdown first.
    SendMessageW(hwnd(), MSG_SNAPSHOT_REQUEST, 0, 0);
    EXPECT_TRUE(window_->countdownWindow().IsRunning());
    EXPECT_EQ(window_->countdownWindow().secondsLeft(), 3);
}

TEST_P(ModelTest, StartingTheCameraLeavesItsHidExchangesToWorkersAndShowsTheFocusModeItReads) {
    const TestCamera& model = *GetParam();
    ScriptedHidDevice& device = g_world->device(model);
    const auto checkSince = [&](size_t mark, uint8_t mode) {
        SCOPED_TRACE(mode);
        ASSERT_TRUE(pumpUntil([&] {
            const std::vector<testsupport::Bytes> reports = device.outputReports();
            for (size_t i = mark; i < reports.size(); ++i)
                if (reports[i].size() > 2 && reports[i][1] == 0 && reports[i][2] == 3) return true;
            return false;
        }));
        EXPECT_TRUE(pumpUntil([&] { return window_->sfButtonWindow().autoFocusSingle() == (mode == 0); }));
        const std::vector<DWORD> threads = device.outputThreads();
        for (size_t i = mark; i < threads.size(); ++i)
            EXPECT_NE(threads[i], GetCurrentThreadId()) << "output report " << i << " was set on this thread";
    };
    device.scriptRegister(3, 1);
    const size_t mark = device.outputReports().size();
    ASSERT_NO_FATAL_FAILURE(start(model));
    checkSince(mark, 1);

    device.scriptRegister(3, 0);
    restart();
    ASSERT_NE(window_->camera(), nullptr);
    ASSERT_EQ(camera().devicePath(), model.devicePath());
    checkSince(reportsBeforeRestart(model), 0);
}

INSTANTIATE_TEST_SUITE_P(BothModels, ModelTest, ::testing::Values(&kModelA, &kModelB), modelName);

TEST_F(ControllerTest, ADisplayChangeRestartsTheCameraAtTheSameResolutionAndATrayWindowStaysWithout) {
    ASSERT_NO_FATAL_FAILURE(start(kModelB));
    choose(ID_RESOLUTION_640X480);
    expectFormat(camera(), kResolutions[4]);
    vnt::ComPtr<IBaseFilter> before(camera().graph()->sourceFilter());
    ASSERT_TRUE(before);

    EXPECT_EQ(SendMessageW(hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1600, 1200)), 0);
    ASSERT_TRUE(pumpUntil([&] { return window_->camera() && camera().graph() && camera().graph()->sourceFilter() &&
                                       camera().graph()->sourceFilter() != before.get(); }))
        << "the camera's graph was not built anew";
    expectFormat(camera(), kResolutions[4]);
    EXPECT_EQ(stored(kModelB, L"CameraResolution"), uint32_t(ID_RESOLUTION_640X480));

    SendMessageW(hwnd(), WM_COMMAND, IDC_BUTTON_CLOSE, 0);
    ASSERT_EQ(window_->camera(), nullptr);
    SendMessageW(hwnd(), WM_DISPLAYCHANGE, 32, MAKELPARAM(1600, 1200));
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(window_->camera(), nullptr) << "a display change claims no camera for a window in the tray";
}

TEST_F(ControllerTest, ClosingToTheTrayWithoutKeepingTheSettingsStartsTheCameraAgainFromTheDefaults) {
    ScriptedHidDevice& device = g_world->device(kModelA);
    ASSERT_NO_FATAL_FAILURE(start(kModelA));
    settings().setCameraSettingsPreload(0);
    choose(ID_ZOOM_CAM_3X);
    choose(ID_MIRROR_VERTICAL, 1);
    choose(ID_RESOLUTION_320X240);
    choose(ID_TIMER_10_SEC);
    choose(ID_EXPOSURE_PLUS2);
    ASSERT_EQ(stored(kModelA, L"CameraZoom"), uint32_t(ID_ZOOM_CAM_3X));
    VNTWebcam* held = window_->camera();

    SendMessageW(hwnd(), WM_COMMAND, IDC_BUTTON_CLOSE, 0);
    EXPECT_FALSE(IsWindowVisible(hwnd()));
    EXPECT_EQ(window_->camera(), nullptr);
    EXPECT_EQ(held->ownerWindow(), nullptr) << "the camera is free for others";
    EXPECT_FALSE(testsupport::keyExists(kModelA.settingsKey()));
    EXPECT_FALSE(testsupport::keyExists(kModelB.settingsKey()));

    const size_t mark = device.outputReports().size();
    SendMessageW(hwnd(), WM_COMMAND, ID_TRAY_OPEN, 0);
    EXPECT_TRUE(IsWindowVisible(hwnd()));
    ASSERT_NE(window_->camera(), nullptr);
    EXPECT_FLOAT_EQ(pictureZoom(camera()), 1.0f);
    EXPECT_FALSE(camera().isMirrorVertical());
    expectFormat(camera(), kResolutions[1]);
    EXPECT_EQ(selectedCommand(bar().zoomCamPanel()), ID_ZOOM_CAM_1X);
    EXPECT_EQ(selectedCommand(bar().timerPanel()), ID_TIMER_OFF);
    EXPECT_EQ(selectedCommand(bar().resolutionPanel()), ID_RESOLUTION_1280X1024);
    EXPECT_FALSE(ticked(bar().mirrorPanel(), ID_MIRROR_VERTICAL));
    EXPECT_EQ(selectedCommand(bar().exposurePanel()), ID_EXPOSURE_0);
    EXPECT_TRUE(received(device, mark, {6, 5}));
    EXPECT_EQ(stored(kModelA, L"CameraZoom"), uint32_t(ID_ZOOM_CAM_1X));

    // Keeping them, the same close leaves the choice where it was.
    settings().setCameraSettingsPreload(1);
    choose(ID_ZOOM_CAM_3X);
    SendMessageW(hwnd(), WM_COMMAND, IDC_BUTTON_CLOSE, 0);
    EXPECT_EQ(stored(kModelA, L"CameraZoom"), uint32_t(ID_ZOOM_CAM_3X));
    SendMessageW(hwnd(), WM_COMMAND, ID_TRAY_OPEN, 0);
    ASSERT_NE(window_->camera(), nullptr);
    EXPECT_FLOAT_EQ(pictureZoom(camera()), 3.0f);
}

// Picture controls stored for the model are set on the camera whenever the program starts it: at
// the next start and after a resolution change, a value the camera would refuse left out; with the
// model's settings not kept none is.
TEST_F(ControllerTest, StoredPictureControlsAreSetOnTheCameraAtEachStart) {
    const auto control = [&](ULONG property) {
        LONG value = -1000;
        EXPECT_TRUE(camera().getVideoProcAmpProperty(property, &value));
        return value;
    };
    ASSERT_NO_FATAL_FAILURE(start(kModelA));
    EXPECT_EQ(control(0), 128) << "nothing stored: the camera's own value";
    ASSERT_TRUE(settings().setCameraAdjustment(0, 200));
    ASSERT_TRUE(settings().setCameraAdjustment(1, 25));
    ASSERT_TRUE(camera().setVideoProcAmpProperty(0, 90));  // not stored: the start must set it back

    restart();
    ASSERT_NE(window_->camera(), nullptr);
    EXPECT_EQ(control(0), 200);
    EXPECT_EQ(control(1), 25);
    EXPECT_EQ(control(4), 0) << "a control never stored keeps the camera's value";

    ASSERT_TRUE(camera().setVideoProcAmpProperty(0, 90));
    choose(ID_RESOLUTION_640X480);
    EXPECT_EQ(control(0), 200) << "after a resolution change";

    // A value the camera would refuse is left out; the others are still set.
    const DWORD outside = 300;
    ASSERT_TRUE(testsupport::writeRaw(kModelA.settingsKey(), L"CameraBrightness", REG_DWORD, &outside, sizeof outside));
    ASSERT_TRUE(camera().setVideoProcAmpProperty(1, 3));
    restart();
    ASSERT_NE(window_->camera(), nullptr);
    EXPECT_EQ(control(0), 128) << "the camera's own value";
    EXPECT_EQ(control(1), 25);

    settings().setCameraSettingsPreload(0);
    choose(ID_RESOLUTION_800X600);
    EXPECT_EQ(control(1), 16) << "not kept: the camera's own value, not the stored 25";
    settings().setCameraSettingsPreload(1);
}

TEST_F(ControllerTest, ChoosingTheOtherCameraInTheSettingsSheetOpensIt) {
    ASSERT_NO_FATAL_FAILURE(start(kModelB));
    VNTWebcam* first = window_->camera();
    vnt::ComPtr<IBaseFilter> source(camera().graph()->sourceFilter());
    // Picks a camera in the General page's list and presses OK.
    auto runSheet = [&](const wchar_t* pick) {
        testsupport::runScripted([&] { return SendMessageW(hwnd(), WM_COMMAND, IDC_BUTTON_SETTINGS, 0); },
                                 {[&] {
                                     CVNTUI_Skeo_SettingsPropSheet* sheet = window_->settingsSheet();
                                     ASSERT_NE(sheet, nullptr);
                                     HWND list = GetDlgItem(PropSheet_IndexToHwnd(sheet->hwnd(), 0), IDC_DEVICE_LIST);
                                     EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
                                     EXPECT_EQ(textOf(list), kModelB.name) << "the camera in use is chosen";
                                     SendMessageW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(pick));
                                     PropSheet_PressButton(sheet->hwnd(), PSBTN_OK);
                                 }});
    };

    runSheet(kModelB.name);
    EXPECT_EQ(window_->settingsSheet(), nullptr);
    EXPECT_EQ(window_->camera(), first);
    EXPECT_EQ(camera().graph()->sourceFilter(), source.get()) << "the same camera is not opened again";

    runSheet(kModelA.name);
    ASSERT_NE(window_->camera(), nullptr);
    EXPECT_EQ(camera().devicePath(), kModelA.devicePath());
    EXPECT_EQ(camera().cameraClassName(), L"VNTWebcamSkeo");
    EXPECT_EQ(first->ownerWindow(), nullptr) << "the camera left is free";
    expectFormat(camera(), kResolutions[1]);
    EXPECT_EQ(bar().exposureControlKind(), kModelA.exposureKind);
    EXPECT_EQ(testsupport::readRaw(kProductKey, L"VideoDevice").text(), kModelA.devicePath());
}

TEST_F(ControllerTest, AboutShowsTheCamerasFirmwareAndASecondRequestBringsTheOpenBoxToTheFront) {
    ASSERT_NO_FATAL_FAILURE(start(kModelB));
    std::wstring label;
    ASSERT_TRUE(VNTLanguageSelector::instance().loadString(IDS_ABOUT_FIRMWARE_VERSION, label));
    CVNTUI_Skeo_AboutBox* box = nullptr;
    testsupport::runScripted([&] { return SendMessageW(hwnd(), WM_COMMAND, ID_TRAY_ABOUT, 0); },
                             {[&] {
                                  box = window_->aboutBox();
                                  ASSERT_NE(box, nullptr);
                                  EXPECT_EQ(textOf(GetDlgItem(box->hwnd(), IDC_ABOUT_FIRMWARE)),
                                            label + kModelB.firmwareText);
                                  SetForegroundWindow(hwnd());
                                  ASSERT_EQ(GetForegroundWindow(), hwnd());
                                  PostMessageW(hwnd(), WM_COMMAND, ID_TRAY_ABOUT, 0);
                              },
                              [&] {
                                  const std::vector<HWND> shown = aboutBoxesShown();
                                  EXPECT_EQ(shown.size(), 1u) << "a second About box opened";
                                  EXPECT_EQ(window_->aboutBox(), box);
                                  EXPECT_EQ(GetForegroundWindow(), box ? box->hwnd() : nullptr);
                                  for (HWND open : shown) PostMessageW(open, WM_COMMAND, IDOK, 0);
                              }});
    EXPECT_EQ(window_->aboutBox(), nullptr);
}

TEST_F(ControllerTest, APhotoGoesIntoTheStripAndTheIndexAndTheFolderButtonShowsItInTheFileExplorer) {
    ASSERT_NO_FATAL_FAILURE(start(kModelA));
    ASSERT_TRUE(pumpUntil([&] { return camera().snapshot((g_world->scratch + L"first-frame.jpg").c_str(), false); }))
        << "the camera never delivered a frame";
    DeleteFileW((g_world->scratch + L"first-frame.jpg").c_str());
    const int before = window_->eventList().itemCount();
    const long saves = settings().saveCount();

    SendMessageW(hwnd(), MSG_SNAPSHOT_REQUEST, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return window_->eventList().itemCount() == before + 1; }, 20000))
        << "no photo in the strip";
    const VNTSkeoEvent photo = *window_->eventList().eventAt(before);
    EXPECT_EQ(photo.folder, g_world->library);
    EXPECT_TRUE(testsupport::fileExists(photo.fullPath()));
    EXPECT_EQ(window_->eventList().selectedIndices(), std::vector<int>{before});
    EXPECT_EQ(window_->photoView().pictureFileName(), photo.fullPath());
    ASSERT_TRUE(pumpUntil([&] { return settings().saveCount() > saves; })) << "the index was not written";
    const std::vector<VNTSkeoEvent> indexed = VNTSkeoDatabaseManager(settings().filePath()).eventList();
    ASSERT_FALSE(indexed.empty());
    EXPECT_EQ(indexed.front().fullPath(), photo.fullPath()) << "the index read anew lists the photo first";

    // The file explorer the shell starts is the platform's own: its command line is read from the new
    // process, which is then ended (Wine's shell finds its own explorer.exe before any program put
    // in the way, through App Paths, the program's folder or the current one alike).
    SendMessageW(hwnd(), WM_COMMAND, IDC_TAB_PHOTO, 0);
    for (const UINT command : {UINT(IDC_BUTTON_IMAGE_FOLDER), UINT(ID_CTX_GO_TO_IMAGE_FOLDER)}) {
        SCOPED_TRACE(command);
        const std::vector<DWORD> before = explorerProcesses();
        SendMessageW(hwnd(), WM_COMMAND, command, 0);
        std::wstring started;
        pumpUntil([&] { return !(started = endNewExplorers(before)).empty(); }, 20000);
        const auto line = splitCommandLine(started);
        EXPECT_TRUE(endsWith(lower(line.first), L"explorer.exe")) << "no file explorer was started";
        EXPECT_EQ(line.second, L"/select," + photo.fullPath());
    }
}

// Dispatches one message at a time until the condition holds.
bool pumpEachUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

// The window is made, shown and taken down many times in a process whose notification center lives
// on: a window gone must no longer be among the camera notifications' observers.
TEST_F(ControllerTest, AWindowGoneObservesNothing) {
    ASSERT_NO_FATAL_FAILURE(start(kModelA));
    const VNTSkeoMainWnd* gone = window_.get();
    VNTNotificationCenter& center = VNTNotificationCenter::instance();
    ASSERT_TRUE(center.observes(gone, L"WEBCAM_PLUG_IN"));
    close();
    for (const wchar_t* name : {L"WEBCAM_PLUG_IN", L"WEBCAM_PULL_OUT", L"LANGUAGE_CHANGED"})
        EXPECT_FALSE(center.observes(gone, name)) << name;
}

// The exposure indicator shows a new exposure over the live picture only: not while the window is
// still hidden (the start sets the stored exposure), nor in photo mode.
TEST_F(ControllerTest, TheExposureIndicatorShowsOnlyOverAShownPicture) {
    settings().resetCameraSettings();
    settings().selectCameraModel(L"");
    settings().setCameraSettingsPreload(1);
    settings().setVideoDevice(kModelB.devicePath());
    newCameraObjects();
    ASSERT_NO_FATAL_FAILURE(open(false));
    ASSERT_NE(window_->camera(), nullptr);
    const HWND indicator = window_->exposureIndicator().hwnd();
    EXPECT_FALSE(IsWindowVisible(indicator)) << "shown by the start of a hidden window";
    ShowWindow(hwnd(), SW_SHOW);
    pumpUntil([] { return false; }, 0);

    SendMessageW(hwnd(), WM_COMMAND, IDC_TAB_PHOTO, 0);
    SendMessageW(hwnd(), VNTWebcamSkeo::exposureChangedMessage, 0, 7);
    EXPECT_FALSE(IsWindowVisible(indicator)) << "shown in photo mode";

    SendMessageW(hwnd(), WM_COMMAND, IDC_TAB_CAMERA, 0);
    SendMessageW(hwnd(), VNTWebcamSkeo::exposureChangedMessage, 0, 8);
    EXPECT_TRUE(IsWindowVisible(indicator)) << "not shown over the live picture";
    RECT shown{}, picture{};
    GetWindowRect(indicator, &shown);
    GetWindowRect(window_->cameraViewWindow(), &picture);
    EXPECT_TRUE(shown.left >= picture.left && shown.right <= picture.right && shown.bottom <= picture.bottom)
        << "the indicator is not over the picture";
}

// The strip fills in steps at the start; a photo the user chooses meanwhile stays chosen, and only
// a strip where nothing was chosen ends on the newest photo.
TEST_F(ControllerTest, APhotoChosenWhileTheStripFillsStaysChosen) {
    const long saves = settings().saveCount();
    std::vector<std::wstring> names;
    for (int i = 0; i < 5; ++i) {
        names.push_back(L"fill-" + std::to_wstring(i) + L".jpg");
        ASSERT_TRUE(testsupport::writeQuadrantPhoto(g_world->library + names.back(), 160, 120));
        VNTSkeoEvent record;
        record.folder = g_world->library;
        record.name = names.back();
        settings().addEvent(record);
    }
    ASSERT_TRUE(pumpUntil([&] { return settings().saveCount() > saves; }));
    const auto oneAtATime = [](VNTSkeoMainWnd& w) { w.eventList().setFillStepMs(0); };

    for (const bool choose : {false, true}) {
        SCOPED_TRACE(choose ? "a photo chosen during the fill" : "nothing chosen");
        settings().setVideoDevice(kModelA.devicePath());
        newCameraObjects();
        ASSERT_NO_FATAL_FAILURE(open(true, oneAtATime));
        CVNTUI_Skeo_EventListCtrl& strip = window_->eventList();
        ASSERT_TRUE(strip.fillPending());
        // One message at a time: each step of the fill posts the next.
        ASSERT_TRUE(pumpEachUntil([&] { return strip.itemCount() >= 2; }));
        ASSERT_TRUE(strip.fillPending()) << "the fill ended before a photo could be chosen";
        if (choose) {
            strip.selectOnly(0);
            window_->ShowPhoto(0);
        }
        ASSERT_TRUE(pumpUntil([&] { return !strip.fillPending(); }));
        pumpUntil([] { return false; }, 200);
        const int last = strip.itemCount() - 1;
        const int expected = choose ? 0 : last;
        EXPECT_EQ(strip.selectedIndices(), std::vector<int>{expected});
        EXPECT_EQ(window_->photoView().pictureFileName(), strip.eventAt(expected)->fullPath());
        close();
    }
    for (const std::wstring& name : names) {
        VNTSkeoEvent record;
        record.folder = g_world->library;
        record.name = name;
        settings().removeEvent(record, -1);
    }
}
