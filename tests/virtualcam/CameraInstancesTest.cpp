// The virtual camera's instance commands and device paths: what regsvr32 /i: lines mean and the
// paths a program reads back, with the maker's IDs in upper-case hex as devices report them.
#include "tools/virtualcam/CameraInstances.h"

#include <gtest/gtest.h>

using namespace vcam;

namespace {

const wchar_t kInterface[] = L"#{65e8773d-8f56-11d0-a3b9-00a0c9223196}\\global";

TEST(CameraInstancesTest, DevicePathsNameTheModelsVendorAndProduct) {
    EXPECT_EQ(cameraDevicePath(CameraModel::A, L"7&1A2B&0&0000"),
              std::wstring(L"\\\\?\\usb#vid_C7A2&pid_5A01&mi_00#7&1A2B&0&0000") + kInterface);
    EXPECT_EQ(cameraDevicePath(CameraModel::B, L"x"), std::wstring(L"\\\\?\\usb#vid_C7A2&pid_5A02&mi_00#x") + kInterface);
    const std::wstring foreign = cameraDevicePath(CameraModel::Foreign, L"x");
    EXPECT_EQ(foreign.find(L"C7A2"), std::wstring::npos) << "another vendor's";
    EXPECT_EQ(foreign.rfind(L"\\\\?\\usb#vid_", 0), 0u);
    EXPECT_EQ(foreign.substr(foreign.size() - 8 - wcslen(kInterface)), std::wstring(L"&mi_00#x") + kInterface);

    // The instance part comes back out of a path, and only from a well-formed one.
    EXPECT_EQ(instanceIdOfPath(cameraDevicePath(CameraModel::B, L"8&AB12&0&0001")), L"8&AB12&0&0001");
    EXPECT_EQ(instanceIdOfPath(L"\\\\?\\usb#vid_c7a2&pid_5a01#only-two"), L"");
    EXPECT_EQ(instanceIdOfPath(L"\\\\?\\usb#vid#bad\\id#{x}"), L"") << "a key name cannot hold a backslash";
    EXPECT_EQ(instanceIdOfPath(L""), L"");
}

TEST(CameraInstancesTest, InstallCommandsAreReadOrRefusedWhole) {
    struct Case {
        const wchar_t* line;
        bool ok;
        InstallCommand::Verb verb;
        CameraModel model;
        const wchar_t* id;
        const wchar_t* name;
    } cases[] = {
        {L"add A 7&1&0&0000", true, InstallCommand::Verb::Add, CameraModel::A, L"7&1&0&0000", L"Skeo Virtual Camera"},
        {L"  ADD b  8&2  Pello on the desk ", true, InstallCommand::Verb::Add, CameraModel::B, L"8&2",
         L"Pello on the desk"},
        {L"add foreign 9 \"Quoted Name\"", true, InstallCommand::Verb::Add, CameraModel::Foreign, L"9", L"Quoted Name"},
        {L"remove 8&2", true, InstallCommand::Verb::Remove, CameraModel::A, L"8&2", L""},
        {L"pull 8&2", true, InstallCommand::Verb::Pull, CameraModel::A, L"8&2", L""},
        {L"plug 8&2", true, InstallCommand::Verb::Plug, CameraModel::A, L"8&2", L""},
        {L"", false, {}, {}, L"", L""},
        {L"add", false, {}, {}, L"", L""},
        {L"add C 1", false, {}, {}, L"", L""},
        {L"add A", false, {}, {}, L"", L""},
        {L"add A bad#id", false, {}, {}, L"", L""},
        {L"add A bad\\id", false, {}, {}, L"", L""},
        {L"remove 8&2 extra", false, {}, {}, L"", L""},
        {L"unplug 8&2", false, {}, {}, L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::string(c.line, c.line + wcslen(c.line)));
        InstallCommand command;
        command.instanceId = L"untouched";
        ASSERT_EQ(parseInstallCommand(c.line, command), c.ok);
        if (!c.ok) {
            EXPECT_EQ(command.instanceId, L"untouched");
            continue;
        }
        EXPECT_EQ(command.verb, c.verb);
        if (c.verb == InstallCommand::Verb::Add) {
            EXPECT_EQ(command.model, c.model);
        }
        EXPECT_EQ(command.instanceId, c.id);
        EXPECT_EQ(command.friendlyName, c.name);
    }
    InstallCommand command;
    EXPECT_FALSE(parseInstallCommand(nullptr, command));
    EXPECT_FALSE(validInstanceId(std::wstring(101, L'1')));
    EXPECT_TRUE(validInstanceId(std::wstring(100, L'1')));
}

}  // namespace
