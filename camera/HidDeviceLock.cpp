#include "camera/HidDeviceLock.h"

#include <map>
#include <memory>

#include "framework/Handles.h"

namespace {

class Section {
public:
    Section() { InitializeCriticalSection(&section_); }
    ~Section() { DeleteCriticalSection(&section_); }
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;
    CRITICAL_SECTION* get() { return &section_; }

private:
    CRITICAL_SECTION section_;
};

// A device's lock stays for the process's life: a camera plugged in again finds the same one, and
// the few paths a session sees cost nothing.
class Sections {
public:
    CRITICAL_SECTION* of(const std::wstring& path) {
        // Paths differ in case between the platform's lists; the device is the same.
        std::wstring key = path;
        if (!key.empty()) CharLowerBuffW(&key[0], static_cast<DWORD>(key.size()));
        vnt::CriticalSectionLock guard(*table_.get());
        std::unique_ptr<Section>& section = sections_[key];
        if (!section) section.reset(new Section);
        return section->get();
    }

private:
    Section table_;
    std::map<std::wstring, std::unique_ptr<Section>> sections_;
};

Sections& sections() {
    // Never destroyed: camera objects that singletons own may still talk to their devices at exit.
    static Sections* all = new Sections;
    return *all;
}

}  // namespace

HidDeviceLock::HidDeviceLock(const std::wstring& path) : section_(sections().of(path)) { EnterCriticalSection(section_); }

HidDeviceLock::~HidDeviceLock() { LeaveCriticalSection(section_); }
