// The photo strip on real JPEG photos in a temporary library: order, selection, what it paints,
// and what becomes of photos it cannot read.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "framework/Dpi.h"
#include "framework/Handles.h"
#include "library/PhotoWriter.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "tests/support/MessagePump.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowImage.h"
#include "tests/support/WindowPixels.h"
#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CSkinScrollWnd.h"
#include "ui/CVNTUI_Skeo_EventListCtrl.h"

using testsupport::closeColour;
using testsupport::pumpUntil;
using testsupport::WindowPixels;

namespace {

constexpr COLORREF kBack = CVNTUI_Skeo_EventListCtrl::kBackground;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The test's DPI (the system's, which the run sets) and a 96-DPI pixel number there.
int testDpi() { return vnt::windowDpi(nullptr); }
int px(int value96) { return vnt::scalePx(value96, testDpi()); }

// A photo of one colour with a darker band at the top, so a turned photo is told apart.
void writePhoto(const std::wstring& path, int width, int height, COLORREF colour) {
    std::vector<BYTE> frame(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* p = &frame[(static_cast<size_t>(y) * width + x) * 3];
            const int shade = y < height / 8 ? 2 : 1;
            p[0] = static_cast<BYTE>(GetBValue(colour) / shade);
            p[1] = static_cast<BYTE>(GetGValue(colour) / shade);
            p[2] = static_cast<BYTE>(GetRValue(colour) / shade);
        }
    }
    DeleteFileW(path.c_str());  // the writer never replaces a file
    WriteSnapshotJpeg(frame.data(), path.c_str(), width, height, width * 3, "DC-1", 1.0f, 0, 0);
}

bool waitForSaves(const VNTSkeoDatabaseManager& db, long n) {
    return testsupport::waitUntil([&] { return db.saveCount() >= n; }, 10000);
}

class EventListTest : public toolkittest::ToolkitTest {
protected:
    void SetUp() override {
        ToolkitTest::SetUp();
        photos_ = folder_.path() + L"photos\\";
        CreateDirectoryW(photos_.c_str(), nullptr);
        db_ = std::make_unique<VNTSkeoDatabaseManager>(folder_.path() + L"EventList3.xml");
    }
    void TearDown() override {
        strip_.reset();
        db_.reset();
        ToolkitTest::TearDown();
    }

    VNTSkeoEvent photo(const std::wstring& name, int width = 160, int height = 120, COLORREF colour = RGB(200, 30, 30)) {
        writePhoto(photos_ + name, width, height, colour);
        VNTSkeoEvent e;
        e.folder = photos_;
        e.name = name;
        return e;
    }

    // A strip on the host as the main dialog has it: one row of thumbnails scrolling sideways.
    // Its height at the test's scale; the width is the host's to hold.
    HWND makeStrip(int width = 600, int height = px(80)) {
        HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 20, 20, width, height,
                                    host_->hwnd(), reinterpret_cast<HMENU>(1002), GetModuleHandleW(nullptr), nullptr);
        strip_ = std::make_unique<CVNTUI_Skeo_EventListCtrl>();
        EXPECT_TRUE(strip_->Attach(list));
        return list;
    }

    void fill(const std::vector<VNTSkeoEvent>& records) {
        strip_->fillList(records, *db_);
        ASSERT_TRUE(pumpUntil([&] { return !strip_->fillPending(); }));
    }

    RECT itemBounds(int index) { return strip_->itemCell(index); }

    // The strip in the skinned frame the main dialog wraps it in.
    bool frameStrip(CSkinScrollWnd& frame, HWND list) {
        skin_.reset(static_cast<HBITMAP>(
            LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(513), IMAGE_BITMAP, 0, 0, 0)));
        return skin_ && frame.Attach(skin_.get(), list);
    }

    // One message at a time, so that a test can act between two steps of a fill; `seen` is shown
    // each message before it is dispatched.
    static bool stepUntil(const std::function<bool()>& done, const std::function<void(const MSG&)>& seen = {}) {
        const ULONGLONG deadline = GetTickCount64() + 10000;
        while (!done()) {
            if (GetTickCount64() >= deadline) return false;
            MSG msg;
            if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (seen) seen(msg);
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            } else {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
            }
        }
        return true;
    }

    std::vector<int> selection() {
        std::vector<int> items;
        for (int i = ListView_GetNextItem(strip_->hwnd(), -1, LVNI_SELECTED); i >= 0;
             i = ListView_GetNextItem(strip_->hwnd(), i, LVNI_SELECTED))
            items.push_back(i);
        return items;
    }
    int focused() { return ListView_GetNextItem(strip_->hwnd(), -1, LVNI_FOCUSED); }

    static void holdShift(bool down) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_SHIFT] = down ? 0x80 : 0;
        keys[VK_LSHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    }

    // The extent of the picture drawn in an item: the run of pixels through the item's centre that
    // are neither background nor selection white.
    struct Run {
        int first = -1, length = 0;
    };
    static bool picture(COLORREF c) { return !closeColour(c, kBack, 6) && !closeColour(c, kWhite, 6); }
    // Along the item's middle row (across) or middle column (down).
    static Run pictureRun(const WindowPixels& pixels, const RECT& item, bool across) {
        Run run;
        const int from = across ? item.left : item.top, to = across ? item.right : item.bottom;
        const int middle = across ? (item.top + item.bottom) / 2 : (item.left + item.right) / 2;
        for (int i = from; i < to; ++i) {
            if (!picture(across ? pixels.at(i, middle) : pixels.at(middle, i))) continue;
            if (run.first < 0) run.first = i;
            run.length = i - run.first + 1;
        }
        return run;
    }

    testsupport::TempFolder folder_{L"eventlist"};
    std::wstring photos_;
    std::unique_ptr<VNTSkeoDatabaseManager> db_;
    std::unique_ptr<CVNTUI_Skeo_EventListCtrl> strip_;
    vnt::BitmapHandle skin_;
};

// Database order is newest first; the strip shows the oldest first. A photo that cannot be read
// gets no item, and its record leaves the index while the file stays.
TEST_F(EventListTest, FillsOldestFirstAndDropsUnreadablePhotosButKeepsTheirFiles) {
    makeStrip();
    db_->addEvent(photo(L"C.jpg"));
    VNTSkeoEvent garbage;
    garbage.folder = photos_;
    garbage.name = L"broken.jpg";
    ASSERT_TRUE(testsupport::writeFile(photos_ + garbage.name, "\xFF\xD8 this is no picture"));
    db_->addEvent(garbage);
    db_->addEvent(photo(L"B.jpg"));
    db_->addEvent(photo(L"A.jpg"));
    ASSERT_TRUE(waitForSaves(*db_, 1));
    const std::vector<VNTSkeoEvent> records = db_->eventList();
    ASSERT_EQ(records.size(), 4u);

    fill(records);
    ASSERT_EQ(strip_->itemCount(), 3);
    EXPECT_EQ(*strip_->eventAt(0), records[3]);
    EXPECT_EQ(strip_->eventAt(0)->name, L"C.jpg");
    EXPECT_EQ(strip_->eventAt(1)->name, L"B.jpg");
    EXPECT_EQ(strip_->eventAt(2)->name, L"A.jpg");
    // Laid out in item order, left to right along the strip.
    EXPECT_LT(itemBounds(0).left, itemBounds(1).left);
    EXPECT_LT(itemBounds(1).left, itemBounds(2).left);

    ASSERT_TRUE(waitForSaves(*db_, 2));
    std::vector<std::wstring> names;
    for (const VNTSkeoEvent& e : db_->eventList()) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"A.jpg", L"B.jpg", L"C.jpg"}));
    EXPECT_TRUE(testsupport::fileExists(photos_ + garbage.name));
    // Adding it by hand fails the same way and adds nothing.
    EXPECT_EQ(strip_->addItem(garbage), 0);
    EXPECT_EQ(strip_->itemCount(), 3);
}

// What a library folder may hold besides photos, each with a record: a thousand files of random bytes
// named like photos, empty files, a folder named like a photo and a 200 MB file that starts as a JPEG.
// The strip shows the good photos; the rest leave the index, and nothing is deleted.
TEST_F(EventListTest, ALibraryOfBadFilesFillsTheStripWithItsGoodPhotosAndDeletesNothing) {
    makeStrip();
    std::vector<std::wstring> bad;
    std::mt19937 random(20261210);
    for (int i = 1; i <= 1000; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"2026-12-10_%04d.jpg", i);
        std::string bytes(64 + random() % 4096, '\0');
        for (char& b : bytes) b = static_cast<char>(random());
        ASSERT_TRUE(testsupport::writeFile(photos_ + name, bytes));
        bad.push_back(name);
    }
    for (const wchar_t* name : {L"empty_0001.jpg", L"empty_0002.jpg", L"empty_0003.jpg"}) {
        ASSERT_TRUE(testsupport::writeFile(photos_ + name, ""));
        bad.push_back(name);
    }
    ASSERT_TRUE(CreateDirectoryW((photos_ + L"folder_0001.jpg").c_str(), nullptr));
    bad.push_back(L"folder_0001.jpg");
    {
        vnt::FileHandle large(CreateFileW((photos_ + L"large_0001.jpg").c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(large);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(large.get(), "\xFF\xD8\xFF\xE0", 4, &written, nullptr));
        LARGE_INTEGER size;
        size.QuadPart = 200ll * 1024 * 1024;
        ASSERT_TRUE(SetFilePointerEx(large.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(large.get()));
    }
    bad.push_back(L"large_0001.jpg");

    db_->addEvent(photo(L"good_0001.jpg"));
    for (size_t i = 0; i < bad.size(); ++i) {
        VNTSkeoEvent record;
        record.folder = photos_;
        record.name = bad[i];
        db_->addEvent(record);
        if (i == bad.size() / 2) db_->addEvent(photo(L"good_0002.jpg"));
    }
    db_->addEvent(photo(L"good_0003.jpg"));
    ASSERT_TRUE(waitForSaves(*db_, 1));
    ASSERT_EQ(db_->eventList().size(), bad.size() + 3);

    const ULONGLONG start = GetTickCount64();
    strip_->fillList(db_->eventList(), *db_);
    ASSERT_TRUE(pumpUntil([&] { return !strip_->fillPending(); }, 60000));
    // For the record; the strip benchmark measures fills.
    RecordProperty("fill_ms", static_cast<int>(GetTickCount64() - start));
    ASSERT_EQ(strip_->itemCount(), 3);
    EXPECT_EQ(strip_->eventAt(0)->name, L"good_0001.jpg");
    EXPECT_EQ(strip_->eventAt(2)->name, L"good_0003.jpg");

    ASSERT_TRUE(testsupport::waitUntil([&] { return db_->eventList().size() == 3; }, 10000));
    for (const std::wstring& name : bad) EXPECT_TRUE(testsupport::fileExists(photos_ + name)) << name.c_str();
}

// A snapshot taken while a fill is still loading is newer than everything filled: it stays last.
TEST_F(EventListTest, ASnapshotAddedDuringAFillStaysAfterAllFilledRecords) {
    makeStrip();
    std::vector<VNTSkeoEvent> records;  // newest first
    for (int i = 5; i >= 1; --i) records.push_back(photo(L"f" + std::to_wstring(i) + L".jpg"));
    const VNTSkeoEvent snapshot = photo(L"snapshot.jpg");
    strip_->setFillStepMs(0);  // one record per step
    strip_->fillList(records, *db_);
    ASSERT_TRUE(strip_->fillPending());
    ASSERT_LT(strip_->itemCount(), 5);
    EXPECT_EQ(strip_->addItem(snapshot), 1);
    EXPECT_EQ(strip_->eventAt(strip_->itemCount() - 1)->name, L"snapshot.jpg");
    ASSERT_TRUE(pumpUntil([&] { return !strip_->fillPending(); }));
    ASSERT_EQ(strip_->itemCount(), 6);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(strip_->eventAt(i)->name, L"f" + std::to_wstring(i + 1) + L".jpg");
    EXPECT_EQ(strip_->eventAt(5)->name, L"snapshot.jpg");
    EXPECT_LT(itemBounds(4).left, itemBounds(5).left);
}

// A long strip holds only the thumbnails drawn last; those let go are made again from their photos
// when they come into sight, each the picture of its own photo.
TEST_F(EventListTest, ALongStripHoldsRecentThumbnailsAndRemakesTheOthersInSight) {
    makeStrip();
    strip_->setThumbnailsKept(12);
    const int count = 40;
    const auto colour = [](int i) { return RGB(60 + 4 * i, 200 - 3 * i, (i % 2) ? 40 : 160); };
    std::vector<VNTSkeoEvent> records;  // newest first
    for (int i = count; i-- > 0;) records.push_back(photo(L"p" + std::to_wstring(i) + L".jpg", 160, 120, colour(i)));
    fill(records);
    ASSERT_EQ(strip_->itemCount(), count);
    EXPECT_LE(strip_->thumbnailsHeld(), 15u);

    const auto expectPicture = [&](int index) {
        ListView_EnsureVisible(strip_->hwnd(), index, FALSE);
        UpdateWindow(strip_->hwnd());
        pump();
        WindowPixels pixels(strip_->hwnd());
        const RECT r = itemBounds(index);
        const COLORREF centre = pixels.at((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        EXPECT_TRUE(closeColour(centre, colour(index), 12))
            << "item " << index << ": " << std::hex << centre << " for " << colour(index);
    };
    for (int index : {0, 1, count / 2, count - 1, 0}) expectPicture(index);
    EXPECT_LE(strip_->thumbnailsHeld(), 15u);
    EXPECT_GE(strip_->thumbnailsHeld(), 1u);
}

// Photos deleted while a fill is loading, once between two loading steps and once just before the
// step that shows the last records. The strip is never painted as it looks while loading, and the
// fill still ends laid out with every item left painted.
TEST_F(EventListTest, PhotosRemovedDuringAFillLeaveItShowingTheRest) {
    makeStrip();
    std::vector<VNTSkeoEvent> records;  // newest first
    for (int i = 6; i >= 1; --i) records.push_back(photo(L"r" + std::to_wstring(i) + L".jpg"));
    int loadingPaints = 0;
    const auto watch = [&](const MSG& msg) {
        if (msg.hwnd == strip_->hwnd() && msg.message == WM_PAINT &&
            (GetWindowLongPtrW(msg.hwnd, GWL_STYLE) & LVS_TYPEMASK) == LVS_REPORT)
            ++loadingPaints;
    };
    pump();  // the new strip's first paint
    strip_->setFillStepMs(0);  // one record per loading step
    strip_->fillList(records, *db_);
    ASSERT_TRUE(stepUntil([&] { return strip_->itemCount() == 3; }, watch));
    ASSERT_TRUE(strip_->fillPending());
    EXPECT_EQ(strip_->removeItems({1}), 1);  // r2
    ASSERT_TRUE(stepUntil([&] { return strip_->itemCount() == 5; }, watch));  // all in, not yet shown
    ASSERT_TRUE(strip_->fillPending());
    EXPECT_EQ(strip_->removeItems({3, 0, 3}), 2);  // r5 and r1
    ASSERT_TRUE(stepUntil([&] { return !strip_->fillPending(); }, watch));
    EXPECT_EQ(loadingPaints, 0);

    ASSERT_EQ(strip_->itemCount(), 3);
    const wchar_t* const left[] = {L"r3.jpg", L"r4.jpg", L"r6.jpg"};
    WindowPixels pixels(strip_->hwnd());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(strip_->eventAt(i)->name, left[i]);
        const RECT r = itemBounds(i);
        if (i > 0) {
            EXPECT_LE(itemBounds(i - 1).right, r.left) << i;
        }
        EXPECT_TRUE(picture(pixels.at((r.left + r.right) / 2, (r.top + r.bottom) / 2))) << i;
    }
}

TEST_F(EventListTest, SelectionMovesWrapAndShiftGrowsOrShrinksByOne) {
    makeStrip();
    std::vector<VNTSkeoEvent> records;
    for (int i = 4; i >= 0; --i) records.push_back(photo(L"s" + std::to_wstring(i) + L".jpg"));
    fill(records);
    ASSERT_EQ(strip_->itemCount(), 5);

    strip_->selectOnly(4);
    strip_->moveSelection(+1);
    EXPECT_EQ(selection(), std::vector<int>{0});
    EXPECT_EQ(focused(), 0);
    strip_->moveSelection(-1);
    EXPECT_EQ(selection(), std::vector<int>{4});
    EXPECT_EQ(GetFocus(), strip_->hwnd());

    strip_->selectOnly(1);
    holdShift(true);
    strip_->moveSelection(+1);
    strip_->moveSelection(+1);
    EXPECT_EQ(selection(), (std::vector<int>{1, 2, 3}));
    strip_->moveSelection(-1);  // back onto the selection: item 3 is left behind
    holdShift(false);
    EXPECT_EQ(selection(), (std::vector<int>{1, 2}));
    EXPECT_EQ(focused(), 2);
    const std::vector<VNTSkeoEvent> selected = strip_->selectedEvents();
    ASSERT_EQ(selected.size(), 2u);
    EXPECT_EQ(selected[0].name, L"s1.jpg");
    EXPECT_EQ(selected[1].name, L"s2.jpg");

    EXPECT_EQ(strip_->removeItem(5), 0);  // the item count: outside
    EXPECT_EQ(strip_->removeItem(-1), 0);
    EXPECT_EQ(strip_->itemCount(), 5);
    EXPECT_EQ(strip_->removeItem(0), 1);
    EXPECT_EQ(strip_->itemCount(), 4);
    EXPECT_EQ(strip_->eventAt(0)->name, L"s1.jpg");
    strip_->removeAllItems();
    EXPECT_EQ(strip_->itemCount(), 0);
    strip_->moveSelection(+1);  // empty: only the focus
    EXPECT_EQ(GetFocus(), strip_->hwnd());
}

// Landscape photos are drawn 60 x 45 and portrait ones 33 x 45 at 100 %, centred on the item;
// selected items sit on white inset by 2 pixels. Turning the photos and reloading swaps the two.
TEST_F(EventListTest, ThumbnailsAreCentredAtTheirShapeAndFollowARotation) {
    const int wide = px(60), high = px(45), narrow = 3 * high / 4, inset = px(2);
    makeStrip();
    ASSERT_EQ(strip_->addItem(photo(L"wide.jpg", 320, 240, RGB(210, 40, 40))), 1);
    ASSERT_EQ(strip_->addItem(photo(L"tall.jpg", 240, 320, RGB(40, 60, 210))), 1);
    ASSERT_EQ(strip_->addItem(photo(L"other.jpg", 320, 240, RGB(40, 200, 60))), 1);
    strip_->selectOnly(1);
    SetFocus(host_->hwnd());  // the selection shows without focus too

    const auto expectShape = [&](int index, int width, const char* what) {
        WindowPixels pixels(strip_->hwnd());
        const RECT r = itemBounds(index);
        const Run across = pictureRun(pixels, r, true), down = pictureRun(pixels, r, false);
        EXPECT_EQ(across.length, width) << what;
        EXPECT_EQ(across.first, r.left + (r.right - r.left - width) / 2) << what;
        EXPECT_EQ(down.length, high) << what;
        EXPECT_EQ(down.first, r.top + (r.bottom - r.top - high) / 2) << what;
    };
    expectShape(0, wide, "landscape");
    expectShape(1, narrow, "portrait");
    {
        WindowPixels pixels(strip_->hwnd());
        const RECT selected = itemBounds(1), plain = itemBounds(2);
        EXPECT_EQ(pixels.at(selected.left + inset, selected.top + inset), kWhite);
        EXPECT_EQ(pixels.at(selected.left + inset - 1, selected.top + inset - 1), kBack);
        EXPECT_EQ(pixels.at(plain.left + inset, plain.top + inset), kBack);
        EXPECT_EQ(pixels.at(pixels.width() - 2, pixels.height() - 2), kBack);
    }

    strip_->selectOnly(0);
    ListView_SetItemState(strip_->hwnd(), 1, LVIS_SELECTED, LVIS_SELECTED);
    ASSERT_TRUE(RotatePhotoFile((photos_ + L"wide.jpg").c_str(), Gdiplus::Rotate90FlipNone));
    ASSERT_TRUE(RotatePhotoFile((photos_ + L"tall.jpg").c_str(), Gdiplus::Rotate270FlipNone));
    strip_->reloadSelectedThumbnails();
    expectShape(0, narrow, "landscape turned");
    expectShape(1, wide, "portrait turned");
    expectShape(2, wide, "not selected, not reloaded");
}

// Moved to a monitor of another scale, the strip takes that scale's item sizes, spacing, font and
// thumbnails (made anew from the photos, not stretched); back again it is as it was.
TEST_F(EventListTest, AnotherDpiGivesTheStripItsSizesFontAndThumbnails) {
    makeStrip();
    ASSERT_EQ(strip_->addItem(photo(L"wide.jpg", 320, 240, RGB(210, 40, 40))), 1);
    ASSERT_EQ(strip_->addItem(photo(L"tall.jpg", 240, 320, RGB(40, 60, 210))), 1);
    const int made = testDpi();
    EXPECT_EQ(strip_->dpi(), made);
    for (const int dpi : {made == 96 ? 192 : 96, made}) {
        SCOPED_TRACE(dpi);
        const auto at = [dpi](int value96) { return vnt::scalePx(value96, dpi); };
        // As the main dialog does: one row high at the new scale.
        SetWindowPos(strip_->hwnd(), nullptr, 0, 0, 600, at(80), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        strip_->SetDpi(dpi);
        pump();
        HIMAGELIST images = ListView_GetImageList(strip_->hwnd(), LVSIL_NORMAL);
        int iconWidth = 0, iconHeight = 0;
        ASSERT_TRUE(images && ImageList_GetIconSize(images, &iconWidth, &iconHeight));
        EXPECT_EQ(iconWidth, at(48));
        EXPECT_EQ(iconHeight, at(36));
        const DWORD spacing = static_cast<DWORD>(SendMessageW(strip_->hwnd(), LVM_GETITEMSPACING, FALSE, 0));
        EXPECT_EQ(LOWORD(spacing), at(72));
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(strip_->hwnd(), WM_GETFONT, 0, 0));
        LOGFONTW logical{};
        ASSERT_TRUE(font && GetObjectW(font, sizeof logical, &logical));
        EXPECT_EQ(logical.lfHeight, at(13));
        EXPECT_EQ(itemBounds(1).left - itemBounds(0).left, at(72));

        WindowPixels pixels(strip_->hwnd());
        const int high = at(45);
        const struct {
            int index, width;
        } shapes[] = {{0, at(60)}, {1, 3 * high / 4}};
        for (const auto& shape : shapes) {
            const RECT r = itemBounds(shape.index);
            EXPECT_EQ(pictureRun(pixels, r, true).length, shape.width) << shape.index;
            EXPECT_EQ(pictureRun(pixels, r, false).length, high) << shape.index;
        }
    }
}

// The strip in its skinned frame, as the main dialog shows it; dragging the skinned thumb scrolls
// the strip by the content it stands for. The picture is saved when SKEO_SCREENSHOT_DIR is set.
TEST_F(EventListTest, ScrollsByTheSkinnedThumbInItsFrame) {
    HWND list = makeStrip(640, px(78));
    const COLORREF colours[] = {RGB(200, 60, 50), RGB(50, 130, 200), RGB(230, 190, 60), RGB(90, 170, 90),
                                RGB(160, 90, 180), RGB(220, 140, 80)};
    std::vector<VNTSkeoEvent> records;
    for (int i = 23; i >= 0; --i) {
        const bool portrait = i % 5 == 3;
        records.push_back(photo(L"g" + std::to_wstring(i) + L".jpg", portrait ? 240 : 320, portrait ? 320 : 240,
                                colours[i % 6]));
    }
    fill(records);
    ASSERT_EQ(strip_->itemCount(), 24);
    CSkinScrollWnd frame;
    ASSERT_TRUE(frameStrip(frame, list));
    strip_->selectOnly(1);
    ListView_SetItemState(list, 3, LVIS_SELECTED, LVIS_SELECTED);
    ListView_SetItemState(list, 4, LVIS_SELECTED, LVIS_SELECTED);
    pump();
    ASSERT_TRUE(IsWindowVisible(frame.horizontalBar().hwnd()));
    testsupport::saveWindowImage(host_->hwnd(), L"eventlist-strip");

    SCROLLINFO before{};
    before.cbSize = sizeof before;
    before.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(list, SB_HORZ, &before));
    ASSERT_GT(before.nMax + 1, static_cast<int>(before.nPage));
    RECT client;
    GetClientRect(list, &client);
    const int target = (before.nMax + 1 - static_cast<int>(before.nPage)) / 2;
    // Content pixels per bar unit, as the list counts its bar.
    const long long content = before.nPage ? (before.nMax + 1LL) * client.right / before.nPage : client.right;
    const int expected = static_cast<int>((target - before.nPos) * content / (before.nMax + 1));
    const RECT first0 = itemBounds(0);
    SendMessageW(frame.hwnd(), WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, target),
                 reinterpret_cast<LPARAM>(frame.horizontalBar().hwnd()));
    SendMessageW(frame.hwnd(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, target),
                 reinterpret_cast<LPARAM>(frame.horizontalBar().hwnd()));
    const RECT first = itemBounds(0);
    EXPECT_NE(expected, 0);
    EXPECT_EQ(first0.left - first.left, expected);
    EXPECT_EQ(first.top, first0.top);
    SCROLLINFO after{};
    after.cbSize = sizeof after;
    after.fMask = SIF_POS;
    ASSERT_TRUE(GetScrollInfo(list, SB_HORZ, &after));
    EXPECT_EQ(after.nPos, target);
    EXPECT_EQ(frame.horizontalBar().GetScrollInfo().nPos, target);  // the skinned thumb stays there
    pump();
    testsupport::saveWindowImage(host_->hwnd(), L"eventlist-strip-scrolled");

    frame.Detach();
    DestroyWindow(list);
}

// A strip of a thousand photos is 72,000 pixels long, more than the 16 bits a scroll message has
// room for: its skinned thumb dragged from near the end back to the start in one move lands where
// it was dropped.
TEST_F(EventListTest, ALongStripsThumbLandsWhereItWasDropped) {
    HWND list = makeStrip(640, px(78));
    // Two hundred photos spaced 400 pixels apart make a strip as long, and fill five times faster.
    ListView_SetIconSpacing(list, 400, px(60));
    const std::vector<VNTSkeoEvent> records(200, photo(L"small.jpg", 32, 24));
    fill(records);
    ASSERT_EQ(strip_->itemCount(), 200);
    CSkinScrollWnd frame;
    ASSERT_TRUE(frameStrip(frame, list));
    const auto listPosition = [list] {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_ALL;
        GetScrollInfo(list, SB_HORZ, &info);
        return info;
    };
    ListView_Scroll(list, 70000 - listPosition().nPos, 0);
    const SCROLLINFO start = listPosition();
    ASSERT_EQ(start.nPos, 70000);
    ASSERT_GT(start.nMax, 70000);

    CSkinScrollBar& bar = frame.horizontalBar();
    ASSERT_EQ(bar.GetScrollInfo().nPos, 70000) << "the skinned bar follows the list";
    const toolkit::ScrollBarGeometry g = bar.geometry();
    ASSERT_TRUE(g.hasThumb());
    int to = 0;  // where the thumb's first pixel goes for about 3,000 pixels of strip
    while (to < g.length && g.positionForThumbStart(to) < 3000) ++to;
    const int grab = g.thumbStart() + g.thumbLength() / 2, y = 2;
    const RECT first0 = itemBounds(0);
    SendMessageW(bar.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab, y));
    ASSERT_TRUE(bar.dragging());
    SendMessageW(bar.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to + g.thumbLength() / 2, y));
    const int dropped = bar.trackPosition();
    ASSERT_GE(dropped, 3000);
    ASSERT_LT(dropped, 3000 + 2 * (start.nMax + 1) / g.freeLength());
    EXPECT_EQ(listPosition().nPos, dropped) << "tracking: the strip follows the thumb";
    SendMessageW(bar.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(to + g.thumbLength() / 2, y));
    EXPECT_EQ(listPosition().nPos, dropped) << "dropped where the thumb was let go";
    EXPECT_EQ(itemBounds(0).left - first0.left, 70000 - dropped);
    EXPECT_EQ(bar.GetScrollInfo().nPos, dropped);

    frame.Detach();
    DestroyWindow(list);
}

}  // namespace
