#include "library/VNTSkeoDatabaseManager.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "app/PhotoFileName.h"
#include "framework/FileSystem.h"
#include "framework/Handles.h"
#include "framework/Trace.h"
#include "framework/WorkerThread.h"
#include "library/EventListText.h"
#include "library/EventListXml.h"

const wchar_t VNTSkeoDatabaseManager::kFileName[] = L"EventList3.xml";

namespace {

constexpr DWORD kWakeIntervalMs = 1000;
constexpr ULONGLONG kMaxIndexBytes = 64ull * 1024 * 1024;
constexpr size_t kListAheadBytes = 64 * 1024;  // some 350 records

std::wstring defaultFilePath() {
    wchar_t appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, appData)))
        return VNTSkeoDatabaseManager::kFileName;
    std::wstring folder = std::wstring(appData) + L"\\Vantor\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"Skeo\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + VNTSkeoDatabaseManager::kFileName;
}

bool readWholeFile(const std::wstring& path, std::vector<uint8_t>& bytes) {
    vnt::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || static_cast<ULONGLONG>(size.QuadPart) > kMaxIndexBytes) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return bytes.empty() ||
           (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size());
}

void lowerInPlace(std::wstring& text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
}

std::wstring lowerCase(std::wstring text) {
    lowerInPlace(text);
    return text;
}

// Calls visit with the name of every file (not folder) of a folder that matches the pattern.
template <typename Visit>
void forEachFile(const std::wstring& folder, const wchar_t* pattern, Visit visit) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileExW((folder + pattern).c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                     nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) visit(std::wstring(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

// The names of the files in a folder, in lower case.
std::unordered_set<std::wstring> fileNames(const std::wstring& folder) {
    std::unordered_set<std::wstring> names;
    forEachFile(folder, L"*", [&](std::wstring name) {
        lowerInPlace(name);
        names.insert(std::move(name));
    });
    return names;
}

// A folder listed on a worker thread while the index is parsed: listing the library folder takes
// longer than parsing a large index, and each would otherwise wait for the other.
class FolderListing {
public:
    explicit FolderListing(std::wstring folder) : folder_(std::move(folder)), key_(lowerCase(folder_)) {
        if (!worker_.start(&FolderListing::body, this)) names_ = fileNames(folder_);
    }
    ~FolderListing() { worker_.join(); }
    FolderListing(const FolderListing&) = delete;
    FolderListing& operator=(const FolderListing&) = delete;

    // The folder's lower-case name.
    const std::wstring& key() const { return key_; }
    const std::unordered_set<std::wstring>& names() {
        worker_.join();  // the worker ends of itself once the folder is listed
        return names_;
    }

private:
    static void body(void* self, HANDLE) {
        auto* listing = static_cast<FolderListing*>(self);
        listing->names_ = fileNames(listing->folder_);
    }

    std::wstring folder_, key_;
    std::unordered_set<std::wstring> names_;
    vnt::WorkerThread worker_;
};

// The folder of the index's first record, read straight from its bytes (plain text only), for
// listing it while the rest is parsed. Empty when there is none to read that simply.
std::wstring firstRecordFolder(const std::vector<uint8_t>& bytes) {
    static const char open[] = "<EventFolder>", close[] = "</EventFolder>";
    const auto start = std::search(bytes.begin(), bytes.end(), open, open + sizeof open - 1);
    if (start == bytes.end()) return std::wstring();
    const auto textStart = start + static_cast<std::ptrdiff_t>(sizeof open - 1);
    const auto end = std::search(textStart, bytes.end(), close, close + sizeof close - 1);
    if (end == bytes.end() || end - textStart > 32767 || std::find_first_of(textStart, end, "&<", "&<" + 2) != end)
        return std::wstring();
    const int length = static_cast<int>(end - textStart);
    const char* text = reinterpret_cast<const char*>(&*textStart);
    const int wide = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, nullptr, 0);
    if (wide <= 0) return std::wstring();
    std::wstring folder(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, length, &folder[0], wide);
    return folder;
}

// Which records' photos exist. A folder with many records is listed once instead of asking for
// every file, which keeps loading a large index fast; `listed` is one listed already, or null.
std::vector<bool> photosPresent(const std::vector<VNTSkeoEvent>& records, FolderListing* listed) {
    // Records of one folder mostly follow each other: its key is made once per run of them.
    std::unordered_map<std::wstring, std::vector<size_t>> byFolder;
    std::vector<size_t>* group = nullptr;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!group || records[i].folder != records[i - 1].folder) group = &byFolder[lowerCase(records[i].folder)];
        group->push_back(i);
    }
    std::vector<bool> present(records.size(), false);
    std::wstring key;
    for (const auto& folder : byFolder) {
        if (folder.second.size() < 16) {
            for (size_t i : folder.second) present[i] = vnt::fileExists(records[i].fullPath());
            continue;
        }
        const bool prelisted = listed && folder.first == listed->key();
        std::unordered_set<std::wstring> own;
        if (!prelisted) own = fileNames(records[folder.second.front()].folder);
        const std::unordered_set<std::wstring>& names = prelisted ? listed->names() : own;
        for (size_t i : folder.second) {
            // Names with wildcards or separators could only be matched by asking for the file itself.
            const std::wstring& name = records[i].name;
            if (name.find_first_of(L"\\/*?") != std::wstring::npos) {
                present[i] = vnt::fileExists(records[i].fullPath());
                continue;
            }
            key.assign(name);
            lowerInPlace(key);
            present[i] = !key.empty() && names.count(key) > 0;
        }
    }
    return present;
}

// Writes the file beside the target and moves it over the target in one step, so that a crash or a
// full disk never leaves a truncated index.
bool replaceFileAtomically(const std::wstring& target, const std::string& bytes) {
    const std::wstring temporary = target + L".tmp";
    {
        vnt::FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    if (MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(temporary.c_str());
    return false;
}

void moveToRecycleBin(const std::wstring& path) {
    std::vector<wchar_t> from(path.begin(), path.end());
    from.push_back(L'\0');
    from.push_back(L'\0');  // the list of paths ends with an empty one
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
    if (SHFileOperationW(&operation) != 0) vnt::trace(L"VNTSkeoDatabaseManager: cannot recycle %ls", path.c_str());
}

}  // namespace

VNTSkeoDatabaseManager& VNTSkeoDatabaseManager::instance() {
    static VNTSkeoDatabaseManager database;
    return database;
}

VNTSkeoDatabaseManager::VNTSkeoDatabaseManager(const std::wstring& filePath) : filePath_(kFileName) {
    InitializeCriticalSection(&lock_);
    InitializeCriticalSection(&saveLock_);
    vnt::trace(L"VNTSkeoDatabaseManager::VNTSkeoDatabaseManager()");
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    comInitialised_ = SUCCEEDED(com);
    filePath_ = filePath.empty() ? defaultFilePath() : filePath;
    loadEventList();
    startThread();
}

VNTSkeoDatabaseManager::~VNTSkeoDatabaseManager() {
    vnt::trace(L"VNTSkeoDatabaseManager::~VNTSkeoDatabaseManager()");
    stopThread();  // the worker applies what is pending and saves before it ends
    if (comInitialised_) CoUninitialize();
    DeleteCriticalSection(&saveLock_);
    DeleteCriticalSection(&lock_);
}

void VNTSkeoDatabaseManager::addEvent(const VNTSkeoEvent& event) {
    vnt::CriticalSectionLock guard(lock_);
    queue_.push_back(VNTSkeoEventRequest{event, 0, VNTSkeoEventRequest::InsertFront});
}

int VNTSkeoDatabaseManager::removeEvent(int32_t index) {
    vnt::CriticalSectionLock guard(lock_);
    queue_.push_back(VNTSkeoEventRequest{VNTSkeoEvent{}, index, VNTSkeoEventRequest::Remove});
    return 1;
}

int VNTSkeoDatabaseManager::removeEvent(const VNTSkeoEvent& event, int32_t index) {
    vnt::CriticalSectionLock guard(lock_);
    queue_.push_back(VNTSkeoEventRequest{event, index, VNTSkeoEventRequest::RemoveRecord});
    return 1;
}

int VNTSkeoDatabaseManager::dropEvent(const VNTSkeoEvent& event, int32_t index) {
    vnt::CriticalSectionLock guard(lock_);
    queue_.push_back(VNTSkeoEventRequest{event, index, VNTSkeoEventRequest::DropRecord});
    return 1;
}

std::vector<VNTSkeoEvent> VNTSkeoDatabaseManager::eventList() const {
    vnt::CriticalSectionLock guard(lock_);
    return events_;
}

void VNTSkeoDatabaseManager::loadEventList() {
    if (!vnt::fileExists(filePath_)) return;
    std::vector<uint8_t> bytes;
    std::vector<VNTSkeoEvent> records;
    if (!readWholeFile(filePath_, bytes)) {
        recoverFromLibraryFolder(keepUnreadableFileAside());
        return;
    }
    // Worth a thread of its own only for an index of many records.
    std::unique_ptr<FolderListing> listing;
    if (bytes.size() > kListAheadBytes) {
        const std::wstring folder = firstRecordFolder(bytes);
        if (!folder.empty()) listing = std::make_unique<FolderListing>(folder);
    }
    if (eventxml::parse(bytes, records) != eventxml::ReadResult::Read) {
        recoverFromLibraryFolder(keepUnreadableFileAside());
        return;
    }
    const std::vector<bool> present = photosPresent(records, listing.get());
    std::vector<VNTSkeoEvent> kept;
    kept.reserve(records.size());
    for (size_t i = 0; i < records.size(); ++i)
        if (present[i]) kept.push_back(std::move(records[i]));
    recordPhotosTakenAfterTheNewest(kept);
    vnt::CriticalSectionLock guard(lock_);
    events_ = std::move(kept);
}

// A photo is in the folder before its record is in the file, which is written once a second: the
// photos of the last second before the program was ended outright (power lost, killed) have none.
// They carry the serials after the newest record's, gaps left by photos deleted since allowed for.
void VNTSkeoDatabaseManager::recordPhotosTakenAfterTheNewest(std::vector<VNTSkeoEvent>& records) {
    constexpr int kLongestGap = 16;
    if (records.empty()) return;
    const std::wstring folder = records.front().folder;
    std::wstring prefix;
    long long serial = 0;
    if (!skeo::splitOwnPhotoName(records.front().name, prefix, serial)) return;
    const auto listed = [&](const std::wstring& name) {
        return std::any_of(records.begin(), records.end(), [&](const VNTSkeoEvent& record) {
            return record.folder == folder &&
                   CompareStringOrdinal(record.name.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL;
        });
    };
    std::vector<VNTSkeoEvent> taken;  // oldest first
    vnt::FileStamp stamp;
    for (int misses = 0; misses < kLongestGap;) {
        const std::wstring name = skeo::formatPhotoPath(std::wstring(), prefix, ++serial);
        if (!vnt::fileStamp(folder + name, stamp) || listed(name)) {
            ++misses;
            continue;
        }
        misses = 0;
        VNTSkeoEvent record;
        record.folder = folder;
        record.name = name;
        taken.push_back(std::move(record));
    }
    if (taken.empty()) return;
    vnt::trace(L"VNTSkeoDatabaseManager: %u photos after %ls had no record and were put back",
               static_cast<unsigned>(taken.size()), records.front().fullPath().c_str());
    records.insert(records.begin(), taken.rbegin(), taken.rend());
    saveAtStart_ = true;
}

// An index that cannot be read would be replaced by the next save and every record in it lost.
bool VNTSkeoDatabaseManager::keepUnreadableFileAside() {
    for (int n = 0; n < 1000; ++n) {
        const std::wstring aside = filePath_ + L".bad" + (n ? std::to_wstring(n) : std::wstring());
        if (CopyFileW(filePath_.c_str(), aside.c_str(), TRUE)) {
            vnt::trace(L"VNTSkeoDatabaseManager: %ls is unreadable, kept as %ls", filePath_.c_str(), aside.c_str());
            return true;
        }
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
    }
    vnt::trace(L"VNTSkeoDatabaseManager: %ls is unreadable and could not be kept aside", filePath_.c_str());
    return false;
}

// Losing the index must not empty the strip: the library folder's photos named as the program names
// them are listed again, newest first. The index is written anew at once only when the unreadable
// one is safe aside; otherwise it stays until a change is saved, as before.
void VNTSkeoDatabaseManager::recoverFromLibraryFolder(bool keptAside) {
    std::wstring folder = photoLibraryLocation();
    if (folder.empty()) return;
    if (folder.back() != L'\\') folder += L'\\';
    std::vector<std::wstring> names;
    forEachFile(folder, L"*.jpg", [&](std::wstring name) { names.push_back(std::move(name)); });
    const std::vector<std::wstring> oldestFirst = skeo::ownPhotosOldestFirst(names);
    std::vector<VNTSkeoEvent> records;
    records.reserve(oldestFirst.size());
    for (auto name = oldestFirst.rbegin(); name != oldestFirst.rend(); ++name) {
        VNTSkeoEvent record;
        record.folder = folder;
        record.name = *name;
        records.push_back(std::move(record));
    }
    vnt::trace(L"VNTSkeoDatabaseManager: %u photos of %ls put back into the index",
               static_cast<unsigned>(records.size()), folder.c_str());
    {
        vnt::CriticalSectionLock guard(lock_);
        events_ = std::move(records);
    }
    saveAtStart_ = keptAside;
}

// Only the holder of saveLock_ changes the list, so it is read here without lock_.
void VNTSkeoDatabaseManager::formatRecords() {
    if (recordTexts_.size() == events_.size()) return;
    std::vector<std::string> texts;
    texts.reserve(events_.size());
    for (const VNTSkeoEvent& record : events_) texts.push_back(eventxml::formatEventRecord(record));
    recordTexts_ = std::move(texts);
}

bool VNTSkeoDatabaseManager::saveEventList() {
    formatRecords();
    // Written as text: the worker needs no XML object at exit, and what we write always parses again.
    const std::string text = eventxml::joinEventList(recordTexts_);
    if (!replaceFileAtomically(filePath_, text)) {
        vnt::trace(L"VNTSkeoDatabaseManager: cannot save %ls; the previous file stays", filePath_.c_str());
        return false;
    }
    InterlockedIncrement(&saves_);
    return true;
}

void VNTSkeoDatabaseManager::apply(const VNTSkeoEventRequest& request) {
    const bool textsMade = recordTexts_.size() == events_.size();
    const auto erase = [&](size_t at) {
        {
            vnt::CriticalSectionLock guard(lock_);
            events_.erase(events_.begin() + static_cast<std::ptrdiff_t>(at));
        }
        if (textsMade) recordTexts_.erase(recordTexts_.begin() + static_cast<std::ptrdiff_t>(at));
    };
    if (request.kind == VNTSkeoEventRequest::InsertFront) {
        if (textsMade) recordTexts_.insert(recordTexts_.begin(), eventxml::formatEventRecord(request.event));
        vnt::CriticalSectionLock guard(lock_);
        events_.insert(events_.begin(), request.event);
        return;
    }
    if (request.kind == VNTSkeoEventRequest::DropRecord || request.kind == VNTSkeoEventRequest::RemoveRecord) {
        if (request.kind == VNTSkeoEventRequest::RemoveRecord) moveToRecycleBin(request.event.fullPath());
        auto at = events_.end();
        if (request.index >= 0 && static_cast<size_t>(request.index) < events_.size() &&
            events_[request.index] == request.event)
            at = events_.begin() + request.index;
        else
            at = std::find(events_.begin(), events_.end(), request.event);
        if (at != events_.end()) erase(static_cast<size_t>(at - events_.begin()));
        return;
    }
    if (request.kind != VNTSkeoEventRequest::Remove) return;
    std::wstring path;
    {
        vnt::CriticalSectionLock guard(lock_);
        if (request.index < 0 || static_cast<size_t>(request.index) >= events_.size()) return;
        path = events_[request.index].fullPath();
    }
    moveToRecycleBin(path);
    // Only the holder of saveLock_ changes the list, so the index still names the same record.
    erase(static_cast<size_t>(request.index));
}

bool VNTSkeoDatabaseManager::saveNow() {
    vnt::CriticalSectionLock guard(saveLock_);
    drainQueue();
    return saveEventList();
}

bool VNTSkeoDatabaseManager::drainQueue() {
    bool any = false;
    for (;;) {
        VNTSkeoEventRequest request;
        {
            vnt::CriticalSectionLock guard(lock_);
            if (queue_.empty()) return any;
            request = std::move(queue_.front());
            queue_.pop_front();
        }
        apply(request);
        any = true;
    }
}

void VNTSkeoDatabaseManager::run() {
    // The shell's recycle-bin move wants COM on the calling thread.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        // Made while nothing waits for them, so that even the first save only joins them.
        vnt::CriticalSectionLock guard(saveLock_);
        formatRecords();
        if (saveAtStart_) saveEventList();
    }
    for (;;) {
        const DWORD woke = WaitForSingleObject(stopEvent(), kWakeIntervalMs);
        {
            vnt::CriticalSectionLock guard(saveLock_);
            if (drainQueue()) saveEventList();
        }
        if (woke != WAIT_TIMEOUT) break;
    }
    if (com) CoUninitialize();
}
