// The virtual camera's device instances: each one an entry in the video input device category
// with a FriendlyName and a DevicePath shaped like a USB composite device's video interface, so
// that programs looking for the maker's cameras by their USB IDs find it.
//
// An instance key is named by the instance part of its path (the text between the second and
// third "#"), so a running camera finds its own key from the path it was given. The DWORD value
// "Pulled" under that key, when not 0, is the cable pulled: the running camera stops delivering
// and tells the graph that its device is lost. Removing the instance does the same.
#pragma once

#include <windows.h>

#include <string>

namespace vcam {

enum class CameraModel { A, B, Foreign };

// "A", "B" or "foreign", in any case.
bool parseCameraModel(const std::wstring& text, CameraModel& model);

// Letters, digits and "&_-." only, 1 to 100 of them: what a registry key name and a device path
// part can both carry.
bool validInstanceId(const std::wstring& id);

// "\\?\usb#vid_XXXX&pid_YYYY&mi_00#<id>#{65e8773d-...}\global" with the IDs in upper-case hex,
// as devices report them.
std::wstring cameraDevicePath(CameraModel model, const std::wstring& instanceId);
// The instance part of a device path; empty when the path has no such part.
std::wstring instanceIdOfPath(const std::wstring& devicePath);
std::wstring defaultFriendlyName(CameraModel model);
// Under HKEY_CLASSES_ROOT.
std::wstring instanceKeyPath(const std::wstring& instanceId);

// A DllInstall command line:
//   add <A|B|foreign> <instance-id> [friendly name]   remove <instance-id>
//   pull <instance-id>                                 plug <instance-id>
// The name is the rest of the line, surrounding quotes dropped; missing, the model's default.
struct InstallCommand {
    enum class Verb { Add, Remove, Pull, Plug } verb = Verb::Add;
    CameraModel model = CameraModel::A;
    std::wstring instanceId;
    std::wstring friendlyName;
};
bool parseInstallCommand(const wchar_t* text, InstallCommand& command);

// Registers (or re-registers, replacing) one instance of the camera class.
HRESULT addCameraInstance(CameraModel model, const std::wstring& instanceId, const std::wstring& friendlyName) noexcept;
// S_OK when it is gone, also when it was never there; an instance of another class is refused.
HRESULT removeCameraInstance(const std::wstring& instanceId) noexcept;
HRESULT removeAllCameraInstances() noexcept;
// Sets or clears the instance's "Pulled" value; the instance must exist.
HRESULT setCameraPulled(const std::wstring& instanceId, bool pulled) noexcept;

// What DllInstall does with a command: install false takes an instance away whatever the verb.
HRESULT runInstallCommand(bool install, const wchar_t* text) noexcept;

}  // namespace vcam
