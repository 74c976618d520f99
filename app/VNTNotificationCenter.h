// Process-wide registry from notification name to observers; posts are delivered synchronously.
#pragma once

#include <windows.h>

#include <atomic>
#include <map>
#include <string>
#include <vector>

#include "app/VNTObject.h"

class VNTNotificationCenter : public VNTObject {
public:
    using Callback = void (VNTObject::*)(void* data, const std::wstring& name);

    struct ObserverRecord {
        VNTObject* observer;
        Callback callback;
    };

    static VNTNotificationCenter& instance();

    VNTNotificationCenter();
    ~VNTNotificationCenter() override;
    VNTNotificationCenter(const VNTNotificationCenter&) = delete;
    VNTNotificationCenter& operator=(const VNTNotificationCenter&) = delete;

    void addObserver(VNTObject* observer, const std::wstring& name);
    // An empty name removes the observer from every name.
    void removeObserver(VNTObject* observer, const std::wstring& name);
    void postNotification(const std::wstring& name, void* data);
    // Whether the object is among the name's observers (an object's owner checks that it left).
    bool observes(const VNTObject* observer, const std::wstring& name);

    static bool shuttingDown() { return shuttingDown_; }

private:
    bool isRegistered(const std::wstring& name, const ObserverRecord& record);

    std::map<std::wstring, std::vector<ObserverRecord>> table_;
    CRITICAL_SECTION lock_;
    // Static so that it can still be read after the center itself has been destroyed at exit.
    static std::atomic<bool> shuttingDown_;
};
