// "Save as PDF..." as a person meets it: the system's save dialog offering the first photo's name in
// the library folder, the file written where it was chosen, the progress dialog for many photos, and
// a failure told in one message box with nothing left behind.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/VNTLanguageSelector.h"
#include "framework/GdiplusSession.h"
#include "tests/support/SheetScript.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestPhotos.h"
#include "tests/support/TraceFile.h"
#include "ui/PhotoPdfSaver.h"

namespace {

// Made before anything traces: the trace routine reads SKEO_TRACE at its first line.
const testsupport::TraceFile kTrace(L"skeo-pdf-saver-tests");

// The dialog box (a message box, the save dialog) the owner has open; null when there is none.
HWND ownedDialog(HWND owner) {
    struct Search {
        HWND owner, found;
    } search{owner, nullptr};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (std::wstring(name) != L"#32770" || GetWindow(window, GW_OWNER) != s->owner || !IsWindowVisible(window))
                return TRUE;
            s->found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Every text of a window's children, one after the other.
std::wstring childTexts(HWND window) {
    std::wstring all;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            wchar_t text[1024] = {};
            GetWindowTextW(child, text, 1024);
            *reinterpret_cast<std::wstring*>(data) += std::wstring(text) + L"\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&all));
    return all;
}

bool startsAsPdf(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char head[5] = {};
    DWORD read = 0;
    ReadFile(file, head, 5, &read, nullptr);
    CloseHandle(file);
    return read == 5 && std::string(head, 5) == "%PDF-";
}

bool exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class PhotoPdfSaverTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(gdiplus_.startup());
        VNTLanguageSelector::instance().setLanguage(VNTLanguageSelector::kEnglish);
        owner_ = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_TRUE(owner_);
    }
    void TearDown() override { DestroyWindow(owner_); }

    std::vector<std::wstring> photos(int count) {
        std::vector<std::wstring> paths;
        for (int i = 1; i <= count; ++i) {
            wchar_t name[32];
            swprintf(name, 32, L"2026-12-10_%04d.jpg", i);
            paths.push_back(folder_.path() + name);
            EXPECT_TRUE(testsupport::writeQuadrantPhoto(paths.back(), i % 2 ? 320 : 240, i % 2 ? 240 : 320));
        }
        return paths;
    }

    vnt::GdiplusSession gdiplus_;
    HWND owner_ = nullptr;
    testsupport::TempFolder folder_{L"pdf-saver"};
};

}  // namespace

TEST_F(PhotoPdfSaverTest, TheSaveDialogOffersTheFirstPhotosNameInTheLibraryFolderAndSavesThere) {
    const std::vector<std::wstring> selected = photos(3);
    EXPECT_EQ(PhotoPdfSaver::defaultName(selected.front()), L"2026-12-10_0001.pdf");
    std::wstring offered;
    bool saved = false;
    testsupport::runScripted([&] { return static_cast<INT_PTR>(saved = PhotoPdfSaver::save(owner_, selected, folder_.path())); },
                             {testsupport::repeatUntil([&] { return ownedDialog(owner_) != nullptr; }),
                              [&] {
                                  HWND dialog = ownedDialog(owner_);
                                  ASSERT_TRUE(dialog) << "no save dialog";
                                  offered = childTexts(dialog);
                                  SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
                              }});
    EXPECT_NE(offered.find(L"2026-12-10_0001.pdf"), std::wstring::npos) << "the dialog's texts: " << std::string(offered.begin(), offered.end());
    EXPECT_TRUE(saved);
    EXPECT_TRUE(startsAsPdf(folder_.path() + L"2026-12-10_0001.pdf")) << "saved in the library folder";
}

// More photos than anyone would wait for without a word are written under the system's progress
// dialog (it shows itself on a thread of its own once the writing takes a moment); fewer without it.
TEST_F(PhotoPdfSaverTest, ManyPhotosAreWrittenUnderTheSystemsProgressDialog) {
    const std::vector<std::wstring> selected = photos(static_cast<int>(PhotoPdfSaver::kProgressFrom) + 4);
    const std::wstring target = folder_.path() + L"many.pdf";
    const int before = kTrace.count("progress dialog started");
    EXPECT_TRUE(PhotoPdfSaver::write(owner_, selected, target));
    EXPECT_EQ(kTrace.count("progress dialog started for 25 photos"), 1);
    EXPECT_TRUE(startsAsPdf(target));
    EXPECT_FALSE(exists(target + L".tmp"));

    EXPECT_TRUE(PhotoPdfSaver::write(owner_, std::vector<std::wstring>(selected.begin(), selected.begin() + 20),
                                     folder_.path() + L"few.pdf"));
    EXPECT_EQ(kTrace.count("progress dialog started"), before + 1);
}

// A folder that cannot take the file: one message box naming it, no file and no temporary file.
TEST_F(PhotoPdfSaverTest, AFailureIsToldInOneMessageBoxAndLeavesNothing) {
    const std::vector<std::wstring> selected = photos(2);
    const std::wstring target = folder_.path() + L"gone\\photos.pdf";
    std::wstring told;
    int boxes = 0;
    bool written = true;
    testsupport::runScripted([&] { return static_cast<INT_PTR>(written = PhotoPdfSaver::write(owner_, selected, target)); },
                             {testsupport::repeatUntil([&] { return ownedDialog(owner_) != nullptr; }),
                              [&] {
                                  HWND box = ownedDialog(owner_);
                                  ASSERT_TRUE(box) << "no message box";
                                  ++boxes;
                                  told = childTexts(box);
                                  SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                              }});
    EXPECT_FALSE(written);
    EXPECT_EQ(boxes, 1);
    EXPECT_NE(told.find(L"The PDF file could not be saved."), std::wstring::npos);
    EXPECT_NE(told.find(target), std::wstring::npos);
    EXPECT_FALSE(exists(target));
    EXPECT_FALSE(exists(target + L".tmp"));
}
