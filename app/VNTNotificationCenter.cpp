#include "app/VNTNotificationCenter.h"

#include <algorithm>

#include "framework/Handles.h"

std::atomic<bool> VNTNotificationCenter::shuttingDown_{false};

VNTNotificationCenter& VNTNotificationCenter::instance() {
    static VNTNotificationCenter center;
    return center;
}

VNTNotificationCenter::VNTNotificationCenter() {
    InitializeCriticalSection(&lock_);
    shuttingDown_ = false;
}

VNTNotificationCenter::~VNTNotificationCenter() {
    shuttingDown_ = true;
    DeleteCriticalSection(&lock_);
}

void VNTNotificationCenter::addObserver(VNTObject* observer, const std::wstring& name) {
    if (shuttingDown_) return;
    vnt::CriticalSectionLock guard(lock_);
    const ObserverRecord record{observer, &VNTObject::onNotification};
    auto it = table_.find(name);
    if (it == table_.end()) {
        table_.emplace(name, std::vector<ObserverRecord>{record});
        return;
    }
    for (const ObserverRecord& r : it->second) {
        if (r.observer == record.observer && r.callback == record.callback) return;
    }
    it->second.push_back(record);
}

void VNTNotificationCenter::removeObserver(VNTObject* observer, const std::wstring& name) {
    if (shuttingDown_) return;
    vnt::CriticalSectionLock guard(lock_);
    auto removeFrom = [observer](std::vector<ObserverRecord>& records) {
        records.erase(std::remove_if(records.begin(), records.end(),
                                     [observer](const ObserverRecord& r) { return r.observer == observer; }),
                      records.end());
    };
    if (!name.empty()) {
        auto it = table_.find(name);
        if (it != table_.end()) removeFrom(it->second);
        return;
    }
    for (auto& entry : table_) removeFrom(entry.second);
}

bool VNTNotificationCenter::observes(const VNTObject* observer, const std::wstring& name) {
    vnt::CriticalSectionLock guard(lock_);
    auto it = table_.find(name);
    if (it == table_.end()) return false;
    return std::any_of(it->second.begin(), it->second.end(),
                       [observer](const ObserverRecord& r) { return r.observer == observer; });
}

bool VNTNotificationCenter::isRegistered(const std::wstring& name, const ObserverRecord& record) {
    vnt::CriticalSectionLock guard(lock_);
    auto it = table_.find(name);
    if (it == table_.end()) return false;
    for (const ObserverRecord& r : it->second) {
        if (r.observer == record.observer && r.callback == record.callback) return true;
    }
    return false;
}

void VNTNotificationCenter::postNotification(const std::wstring& name, void* data) {
    if (shuttingDown_) return;
    // Deliver from a copy, and only to records still registered when their turn comes: an observer
    // that adds or removes observers (or destroys one) during the delivery must not leave the walk
    // on a stale vector or call an object that has gone.
    std::vector<ObserverRecord> records;
    {
        vnt::CriticalSectionLock guard(lock_);
        auto it = table_.find(name);
        if (it == table_.end()) return;
        records = it->second;
    }
    for (const ObserverRecord& record : records) {
        if (shuttingDown_) return;
        if (!isRegistered(name, record)) continue;
        (record.observer->*record.callback)(data, name);
    }
}
