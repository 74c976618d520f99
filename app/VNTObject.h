// Root of the program's core objects: something that can receive named notifications.
#pragma once

#include <string>

class VNTObject {
public:
    virtual ~VNTObject() = default;
    virtual void onNotification(void* data, const std::wstring& name);
};
