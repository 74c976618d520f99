// The filters the system device enumerator lists in a category, as programs find them.
#pragma once

#include "framework/ComPtr.h"

#include <windows.h>
#include <strmif.h>

#include <string>
#include <vector>

namespace testsupport {

struct ListedDevice {
    std::wstring name, path, clsid;  // FriendlyName, DevicePath and CLSID; empty where not given
    vnt::ComPtr<IMoniker> moniker;
};

// Every entry of the category; none when it has no entries or the enumerator is missing.
std::vector<ListedDevice> devicesInCategory(REFCLSID category);

}  // namespace testsupport
