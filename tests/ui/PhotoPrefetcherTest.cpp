// Photos read ahead on the worker: ready when wanted, dropped when no longer wanted, never shown
// when their file changed or went since, and shown by the view as it shows a photo it reads itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "framework/Handles.h"

#include "tests/support/TempFolder.h"
#include "tests/support/TestPhotos.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "ui/CVNTUI_Skeo_PhotoWnd.h"
#include "ui/PhotoPrefetcher.h"

using testsupport::closeColour;

namespace {

const skeo::PictureSize kBox{640, 480};
const skeo::PictureSize kClient{640, 480};

class PhotoPrefetcherTest : public toolkittest::ToolkitTest {
protected:
    std::wstring photo(const std::wstring& name, int width, int height) {
        const std::wstring path = folder_.path() + name;
        EXPECT_TRUE(testsupport::writeQuadrantPhoto(path, width, height));
        return path;
    }
    // The worker has made `count` photos (or given up on the rest), within ten seconds.
    static bool held(skeo::PhotoPrefetcher& prefetcher, size_t count) {
        for (int i = 0; i < 1000; ++i) {
            if (prefetcher.heldCount() == count) return true;
            Sleep(10);
        }
        return false;
    }
    static skeo::PictureSize fitted(int width, int height, skeo::PictureSize box, skeo::PictureSize client) {
        return skeo::layoutPhotoView({width, height}, box, client, 1.0f).scaled;
    }

    testsupport::TempFolder folder_{L"photo-prefetch-test"};
};

TEST_F(PhotoPrefetcherTest, WantedPhotosAreDecodedAndFittedOnceAndTakenOnce) {
    const std::wstring wide = photo(L"wide.jpg", 1600, 1200), portrait = photo(L"portrait.jpg", 480, 640),
                       small = photo(L"small.jpg", 320, 240);
    skeo::PhotoPrefetcher prefetcher;
    prefetcher.want({wide, portrait, small}, kBox, kClient);
    ASSERT_TRUE(held(prefetcher, 3));
    for (const auto& [path, w, h] : {std::tuple{wide, 1600, 1200}, {portrait, 480, 640}, {small, 320, 240}}) {
        SCOPED_TRACE(testing::Message() << w << " x " << h);
        std::unique_ptr<skeo::PreparedPhoto> ready = prefetcher.take(path);
        ASSERT_TRUE(ready);
        EXPECT_EQ(path, ready->path);
        ASSERT_TRUE(ready->picture);
        EXPECT_EQ(static_cast<UINT>(w), ready->picture->GetWidth());
        EXPECT_EQ(static_cast<UINT>(h), ready->picture->GetHeight());
        EXPECT_EQ(fitted(w, h, kBox, kClient), ready->fittedSize);
        BITMAP dib{};
        ASSERT_TRUE(ready->fitted && GetObjectW(ready->fitted.get(), sizeof dib, &dib));
        EXPECT_EQ(ready->fittedSize.width, dib.bmWidth);
        EXPECT_EQ(ready->fittedSize.height, std::abs(dib.bmHeight));
        EXPECT_FALSE(prefetcher.take(path)) << "a photo is handed out once";
    }
    EXPECT_EQ(0u, prefetcher.heldCount());
}

TEST_F(PhotoPrefetcherTest, PhotosNoLongerWantedAreDroppedAndANewViewSizeRefitsTheRest) {
    const std::wstring a = photo(L"a.jpg", 800, 600), b = photo(L"b.jpg", 1024, 768), c = photo(L"c.jpg", 640, 480);
    skeo::PhotoPrefetcher prefetcher;
    prefetcher.want({a, b}, kBox, kClient);
    ASSERT_TRUE(held(prefetcher, 2));
    const skeo::PictureSize box{320, 240}, client{400, 300};
    prefetcher.want({b, c}, box, client);
    ASSERT_TRUE(held(prefetcher, 2));
    EXPECT_FALSE(prefetcher.take(a)) << "no longer wanted";
    for (const auto& [path, w, h] : {std::tuple{b, 1024, 768}, {c, 640, 480}}) {
        std::unique_ptr<skeo::PreparedPhoto> ready = prefetcher.take(path);
        ASSERT_TRUE(ready);
        EXPECT_EQ(fitted(w, h, box, client), ready->fittedSize) << w;
        EXPECT_TRUE(ready->fitted);
    }
    prefetcher.want({a}, box, client);
    ASSERT_TRUE(held(prefetcher, 1));
    prefetcher.clear();
    EXPECT_EQ(0u, prefetcher.heldCount());
    EXPECT_FALSE(prefetcher.take(a));
}

TEST_F(PhotoPrefetcherTest, APhotoChangedGoneOrDamagedIsNotHandedOut) {
    const std::wstring changed = photo(L"changed.jpg", 800, 600), gone = photo(L"gone.jpg", 800, 600),
                       good = photo(L"good.jpg", 640, 480);
    const std::wstring damaged = folder_.path() + L"damaged.jpg";
    {
        vnt::FileHandle out(CreateFileW(damaged.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        const char bytes[] = "\xFF\xD8\xFF\xE0 not a picture at all";
        DWORD written = 0;
        ASSERT_TRUE(out && WriteFile(out.get(), bytes, sizeof bytes - 1, &written, nullptr));
    }
    skeo::PhotoPrefetcher prefetcher;
    prefetcher.want({damaged, changed, gone, good}, kBox, kClient);
    ASSERT_TRUE(held(prefetcher, 3)) << "all but the damaged photo";
    Sleep(50);
    EXPECT_EQ(3u, prefetcher.heldCount()) << "the damaged photo is not tried again and again";
    EXPECT_FALSE(prefetcher.take(damaged));

    ASSERT_TRUE(testsupport::writeQuadrantPhoto(changed, 1024, 768));  // turned or replaced meanwhile
    ASSERT_TRUE(DeleteFileW(gone.c_str()));
    EXPECT_FALSE(prefetcher.take(changed)) << "read before it changed";
    EXPECT_FALSE(prefetcher.take(gone));
    EXPECT_TRUE(prefetcher.take(good));

    // The view then reads the changed photo itself, as it is now.
    CVNTUI_Skeo_PhotoWnd view;
    ASSERT_TRUE(view.Create(host_->hwnd(), 1001, RECT{0, 0, 640, 480}));
    view.SetBoxSize(640, 480);
    view.SetPrefetcher(&prefetcher);
    ASSERT_EQ(1, view.LoadAndRender(changed, true));
    EXPECT_FALSE(view.lastLoadWasReady());
    EXPECT_EQ(1024, view.pictureWidth());
    EXPECT_EQ(-1, view.LoadAndRender(gone, true));
    EXPECT_EQ(gone, view.pictureFileName());
}

TEST_F(PhotoPrefetcherTest, TheViewShowsAPhotoReadAheadAsOneItReadsItself) {
    const std::wstring path = photo(L"big.jpg", 1600, 1200);
    skeo::PhotoPrefetcher prefetcher;
    CVNTUI_Skeo_PhotoWnd ahead, itself;
    for (CVNTUI_Skeo_PhotoWnd* view : {&ahead, &itself}) {
        ASSERT_TRUE(view->Create(host_->hwnd(), 1001, RECT{0, 0, 640, 480}));
        view->SetBoxSize(640, 480);
    }
    ahead.SetPrefetcher(&prefetcher);
    prefetcher.want({path}, kBox, kClient);
    ASSERT_TRUE(held(prefetcher, 1));
    ASSERT_EQ(1, ahead.LoadAndRender(path, true));
    EXPECT_TRUE(ahead.lastLoadWasReady());
    ASSERT_EQ(1, itself.LoadAndRender(path, true));
    EXPECT_FALSE(itself.lastLoadWasReady());
    EXPECT_EQ(1600, ahead.pictureWidth());
    EXPECT_EQ(path, ahead.pictureFileName());
    EXPECT_EQ(itself.layout().scaled, ahead.layout().scaled);
    pump();
    testsupport::WindowPixels a(ahead.hwnd()), b(itself.hwnd());
    for (POINT p : {POINT{5, 5}, POINT{634, 5}, POINT{5, 474}, POINT{634, 474}, POINT{320, 240}, POINT{100, 300}})
        EXPECT_TRUE(closeColour(a.at(p.x, p.y), b.at(p.x, p.y), 2)) << p.x << "," << p.y;
    // Zoomed, the view scales the decoded picture it took.
    ahead.SetZoomStep(3);
    itself.SetZoomStep(3);
    pump();
    testsupport::WindowPixels za(ahead.hwnd()), zb(itself.hwnd());
    EXPECT_TRUE(closeColour(za.at(320, 240), zb.at(320, 240), 2));
    EXPECT_TRUE(closeColour(za.at(5, 5), testsupport::kQuadrantTopLeft, 12));
}

}  // namespace
