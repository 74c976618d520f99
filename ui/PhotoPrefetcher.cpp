#include "ui/PhotoPrefetcher.h"

#include <objbase.h>

#include <algorithm>

#include "framework/Trace.h"
#include "library/PictureCodec.h"

namespace skeo {

namespace {

// Long enough for any photo of ours to decode; a wait past it reads the photo anew instead.
constexpr DWORD kTakeWaitMs = 5000;

}  // namespace

PhotoPrefetcher::PhotoPrefetcher()
    : workEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), doneEvent_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {
    InitializeCriticalSection(&lock_);
}

PhotoPrefetcher::~PhotoPrefetcher() {
    worker_.stop();
    DeleteCriticalSection(&lock_);
}

void PhotoPrefetcher::want(const std::vector<std::wstring>& paths, PictureSize box, PictureSize client) {
    if (!workEvent_ || !doneEvent_) return;
    std::vector<std::unique_ptr<PreparedPhoto>> dropped;  // released outside the lock
    {
        vnt::CriticalSectionLock hold(lock_);
        if (box != box_ || client != client_) {
            // Held photos keep their decoded picture; only their fitted copy no longer fits.
            for (auto& photo : held_) photo->fitted.reset();
            box_ = box;
            client_ = client;
        }
        wanted_ = paths;
        for (auto& photo : held_)
            if (std::find(paths.begin(), paths.end(), photo->path) == paths.end()) dropped.push_back(std::move(photo));
        held_.erase(std::remove(held_.begin(), held_.end(), nullptr), held_.end());
        tried_.erase(std::remove_if(tried_.begin(), tried_.end(),
                                    [&](const std::wstring& p) {
                                        return std::find(paths.begin(), paths.end(), p) == paths.end();
                                    }),
                     tried_.end());
    }
    if (!worker_.running() && !worker_.start(&PhotoPrefetcher::workerBody, this)) {
        vnt::trace(L"PhotoPrefetcher: no worker thread (%lu); photos are read when shown", GetLastError());
        return;
    }
    SetEvent(workEvent_.get());
}

std::unique_ptr<PreparedPhoto> PhotoPrefetcher::take(const std::wstring& path) {
    if (!doneEvent_) return nullptr;
    const DWORD start = GetTickCount();
    for (;;) {
        {
            vnt::CriticalSectionLock hold(lock_);
            if (inHand_ != path) break;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= kTakeWaitMs || WaitForSingleObject(doneEvent_.get(), kTakeWaitMs - waited) != WAIT_OBJECT_0) {
            vnt::trace(L"PhotoPrefetcher: %ls still in hand after %lu ms", path.c_str(), kTakeWaitMs);
            return nullptr;
        }
    }
    std::unique_ptr<PreparedPhoto> photo;
    {
        vnt::CriticalSectionLock hold(lock_);
        auto found = std::find_if(held_.begin(), held_.end(), [&](const auto& p) { return p->path == path; });
        if (found == held_.end()) return nullptr;
        photo = std::move(*found);
        held_.erase(found);
    }
    vnt::FileStamp now;
    if (!vnt::fileStamp(path, now) || now != photo->stamp) {
        vnt::trace(L"PhotoPrefetcher: %ls changed since it was read ahead", path.c_str());
        return nullptr;
    }
    return photo;
}

void PhotoPrefetcher::clear() {
    std::vector<std::unique_ptr<PreparedPhoto>> dropped;
    vnt::CriticalSectionLock hold(lock_);
    wanted_.clear();
    tried_.clear();
    dropped.swap(held_);
}

size_t PhotoPrefetcher::heldCount() {
    vnt::CriticalSectionLock hold(lock_);
    return held_.size();
}

void PhotoPrefetcher::workerBody(void* self, HANDLE stopEvent) { static_cast<PhotoPrefetcher*>(self)->run(stopEvent); }

bool PhotoPrefetcher::nextJob(std::wstring& path, PictureSize& box, PictureSize& client) {
    vnt::CriticalSectionLock hold(lock_);
    for (const std::wstring& wanted : wanted_) {
        const auto held = std::find_if(held_.begin(), held_.end(), [&](const auto& p) { return p->path == wanted; });
        // A held photo whose fitted copy was dropped for a new size is made again whole: sizes
        // change only when the window does.
        if ((held != held_.end() && (*held)->fitted) ||
            std::find(tried_.begin(), tried_.end(), wanted) != tried_.end())
            continue;
        if (held != held_.end()) held_.erase(held);
        path = wanted;
        box = box_;
        client = client_;
        inHand_ = wanted;
        ResetEvent(doneEvent_.get());
        return true;
    }
    return false;
}

void PhotoPrefetcher::run(HANDLE stopEvent) {
    // The platform decoders may be COM objects.
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    const HANDLE events[] = {stopEvent, workEvent_.get()};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        std::wstring path;
        PictureSize box, client;
        while (WaitForSingleObject(stopEvent, 0) == WAIT_TIMEOUT && nextJob(path, box, client)) {
            std::unique_ptr<PreparedPhoto> photo = prepare(path, box, client);
            std::unique_ptr<PreparedPhoto> unwanted;
            {
                vnt::CriticalSectionLock hold(lock_);
                const bool stillWanted = std::find(wanted_.begin(), wanted_.end(), path) != wanted_.end();
                if (!photo) {
                    if (stillWanted) tried_.push_back(path);
                } else if (stillWanted && box == box_ && client == client_) {
                    held_.push_back(std::move(photo));
                } else {
                    unwanted = std::move(photo);
                }
                inHand_.clear();
                SetEvent(doneEvent_.get());
            }
        }
    }
    if (com) CoUninitialize();
}

std::unique_ptr<PreparedPhoto> PhotoPrefetcher::prepare(const std::wstring& path, PictureSize box, PictureSize client) {
    auto photo = std::make_unique<PreparedPhoto>();
    photo->path = path;
    picture::Bytes bytes;
    // The stamp before the bytes: a file changed while it is read shows as changed when taken.
    if (!vnt::fileStamp(path, photo->stamp) || !picture::readFile(path.c_str(), bytes) ||
        !(photo->picture = picture::decode(bytes))) {
        vnt::trace(L"PhotoPrefetcher: cannot read %ls ahead", path.c_str());
        return nullptr;
    }
    const PictureSize size{static_cast<int>(photo->picture->GetWidth()), static_cast<int>(photo->picture->GetHeight())};
    const PhotoViewLayout layout = layoutPhotoView(size, box, client, pictureZoomFactor(0));
    photo->fitted.reset(picture::scaledDib(*photo->picture, layout.scaled.width, layout.scaled.height));
    if (photo->fitted) photo->fittedSize = layout.scaled;
    return photo;
}

}  // namespace skeo
