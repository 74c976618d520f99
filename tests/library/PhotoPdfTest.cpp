#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "framework/GdiplusSession.h"
#include "library/JpegSegments.h"
#include "library/PhotoPdf.h"
#include "library/PhotoWriter.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TraceFile.h"

using skeo::PdfResult;
using testsupport::fileExists;
using testsupport::readAll;
using testsupport::TempFolder;

namespace {

// Made before anything of this process traces, so that the failures' lines can be counted.
const testsupport::TraceFile kTrace(L"skeo-library-tests");

class GdiplusEnvironment : public ::testing::Environment {
public:
    void SetUp() override { session.startup(); }
    void TearDown() override { session.shutdown(); }
    vnt::GdiplusSession session;
};
const auto* const kGdiplus = ::testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

// A photo as the program takes it: four quadrants of the given colours (RGB), so that a page
// turned, mirrored or swapped for another shows.
bool takePhoto(const std::wstring& path, int w, int h, const COLORREF (&quadrants)[4]) {
    std::vector<BYTE> frame(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = quadrants[(y < h / 2 ? 0 : 2) + (x < w / 2 ? 0 : 1)];
            BYTE* p = &frame[(static_cast<size_t>(y) * w + x) * 3];
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    DeleteFileW(path.c_str());
    return writeSnapshotJpegFile(frame.data(), path.c_str(), w, h, w * 3, "DC-1 Plus", 1.0f, 0, 0);
}

constexpr COLORREF kWarm[4] = {RGB(220, 30, 30), RGB(240, 160, 20), RGB(250, 230, 60), RGB(120, 20, 20)};
constexpr COLORREF kCool[4] = {RGB(30, 30, 220), RGB(20, 180, 200), RGB(40, 200, 60), RGB(250, 250, 250)};

// The three photos of a lesson: two landscape ones of different colours and sizes, and one the user
// turned upright.
std::vector<std::wstring> takeLessonPhotos(const std::wstring& folder) {
    const std::vector<std::wstring> photos = {folder + L"photo1.jpg", folder + L"photo2.jpg", folder + L"photo3.jpg"};
    if (!takePhoto(photos[0], 320, 240, kWarm) || !takePhoto(photos[1], 400, 300, kCool) ||
        !takePhoto(photos[2], 320, 240, kWarm) || !RotatePhotoFile(photos[2].c_str(), Gdiplus::Rotate90FlipNone))
        return {};
    return photos;
}

skeo::PdfDocumentInfo lessonInfo() {
    skeo::PdfDocumentInfo info;
    info.title = L"\u8AB2\u5802 1";
    info.creator = L"Skeo 2.0.4.0";
    info.created.wYear = 2026;
    info.created.wMonth = 12;
    info.created.wDay = 8;
    info.created.wHour = 9;
    info.created.wMinute = 30;
    info.created.wSecond = 5;
    info.utcOffsetMinutes = 480;
    return info;
}

// A reader of the files made here that shares nothing with the writer: every object is found
// through the cross-reference table, whose entries must each point at their object.
class PdfReader {
public:
    explicit PdfReader(std::string bytes) : bytes_(std::move(bytes)) { problem_ = parse(); }

    const std::string& problem() const { return problem_; }
    const std::string& trailer() const { return trailer_; }
    int objectCount() const { return static_cast<int>(offsets_.size()); }

    // The dictionary of object n: what lies between "n 0 obj" and its stream or its end.
    std::string object(int n) const {
        if (n <= 0 || n >= objectCount()) return std::string();
        const size_t start = bytes_.find("obj", offsets_[n]) + 3;
        const size_t end = std::min(bytes_.find("stream", start), bytes_.find("endobj", start));
        return end == std::string::npos ? std::string() : bytes_.substr(start, end - start);
    }

    // The bytes of object n's stream, as many as its /Length says; "endstream" must follow them.
    bool stream(int n, std::string& data) const {
        if (n <= 0 || n >= objectCount()) return false;
        const std::string dictionary = object(n);
        const long length = number(dictionary, "/Length");
        size_t at = bytes_.find("stream", offsets_[n]);
        if (length < 0 || at == std::string::npos) return false;
        at += 6;
        if (bytes_.compare(at, 2, "\r\n") == 0) at += 2;
        else if (bytes_[at] == '\n') at += 1;
        else return false;
        size_t end = at + static_cast<size_t>(length);
        if (end > bytes_.size()) return false;
        data = bytes_.substr(at, static_cast<size_t>(length));
        while (end < bytes_.size() && (bytes_[end] == '\r' || bytes_[end] == '\n')) ++end;
        return bytes_.compare(end, 9, "endstream") == 0;
    }

    // The text after a key up to the next key or the dictionary's end.
    static std::string value(const std::string& dictionary, const std::string& key) {
        size_t at = dictionary.find(key + " ");
        if (at == std::string::npos) at = dictionary.find(key + "[");
        if (at == std::string::npos) at = dictionary.find(key + "<");
        if (at == std::string::npos) at = dictionary.find(key + "(");
        if (at == std::string::npos) return std::string();
        at += key.size();
        while (at < dictionary.size() && dictionary[at] == ' ') ++at;
        size_t end = at;
        if (dictionary[at] == '[') end = dictionary.find(']', at) + 1;
        else if (dictionary[at] == '(') end = dictionary.find(')', at) + 1;
        else if (dictionary.compare(at, 2, "<<") == 0) end = dictionary.find(">>", at) + 2;
        else if (dictionary[at] == '<') end = dictionary.find('>', at) + 1;
        else end = std::min(dictionary.find('/', at + 1), dictionary.find(">>", at));
        std::string text = dictionary.substr(at, end - at);
        while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
        return text;
    }
    static long number(const std::string& dictionary, const std::string& key) {
        const std::string text = value(dictionary, key);
        return text.empty() ? -1 : std::strtol(text.c_str(), nullptr, 10);
    }
    // The object an indirect reference "n 0 R" after the key names.
    static int reference(const std::string& dictionary, const std::string& key) {
        const std::string text = value(dictionary, key);
        return text.size() > 4 && text.compare(text.size() - 4, 4, " 0 R") == 0 ? std::atoi(text.c_str()) : -1;
    }

private:
    std::string parse() {
        if (bytes_.compare(0, 9, "%PDF-1.4\n") != 0) return "no PDF 1.4 header";
        if (bytes_.size() < 15 || bytes_[9] != '%') return "no comment after the header";
        for (int i = 10; i < 14; ++i)
            if (static_cast<unsigned char>(bytes_[i]) < 128) return "the second line is not binary";
        const size_t eof = bytes_.rfind("%%EOF");
        if (eof == std::string::npos || bytes_.size() - eof > 7) return "no %%EOF at the end";
        const size_t startxref = bytes_.rfind("startxref", eof);
        if (startxref == std::string::npos) return "no startxref";
        const size_t xref = std::strtoul(bytes_.c_str() + startxref + 10, nullptr, 10);
        if (bytes_.compare(xref, 5, "xref\n") != 0) return "startxref does not point at the table";
        char* after = nullptr;
        const long first = std::strtol(bytes_.c_str() + xref + 5, &after, 10);
        const long count = std::strtol(after, &after, 10);
        if (first != 0 || count < 4 || *after != '\n') return "the table is not one section from object 0";
        size_t entry = static_cast<size_t>(after + 1 - bytes_.c_str());
        if (bytes_.compare(entry, 20, "0000000000 65535 f\r\n") != 0) return "object 0 is not the free list's head";
        offsets_.assign(1, 0);
        for (long n = 1; n < count; ++n) {
            entry += 20;
            const std::string e = bytes_.substr(entry, 20);
            const bool wellFormed = e.size() == 20 && e.find_first_not_of("0123456789") == 10 &&
                                    e.compare(10, 8, " 00000 n") == 0 && (e.compare(18, 2, "\r\n") == 0 || e.compare(18, 2, " \n") == 0);
            if (!wellFormed) return "entry " + std::to_string(n) + " is not 20 bytes as the table has them";
            const size_t offset = std::strtoul(e.c_str(), nullptr, 10);
            const std::string head = std::to_string(n) + " 0 obj";
            if (bytes_.compare(offset, head.size(), head) != 0) return "entry " + std::to_string(n) + " misses its object";
            offsets_.push_back(offset);
        }
        entry += 20;
        if (bytes_.compare(entry, 7, "trailer") != 0) return "no trailer after the table";
        trailer_ = bytes_.substr(entry + 7, startxref - entry - 7);
        if (number(trailer_, "/Size") != count) return "the trailer's /Size is not the table's";
        return std::string();
    }

    std::string bytes_;
    std::vector<size_t> offsets_;
    std::string trailer_;
    std::string problem_;
};

struct ExpectedPage {
    const char* mediaBox;
    int width, height;
    std::string jpeg;
};

// The file holds these pages in this order, each the photo's JPEG bytes as they are.
void expectPages(const PdfReader& pdf, const std::vector<ExpectedPage>& pages) {
    ASSERT_EQ(pdf.problem(), "");
    const std::string catalog = pdf.object(PdfReader::reference(pdf.trailer(), "/Root"));
    EXPECT_EQ(PdfReader::value(catalog, "/Type"), "/Catalog");
    const int pagesRef = PdfReader::reference(catalog, "/Pages");
    const std::string tree = pdf.object(pagesRef);
    EXPECT_EQ(PdfReader::value(tree, "/Type"), "/Pages");
    EXPECT_EQ(PdfReader::number(tree, "/Count"), static_cast<long>(pages.size()));
    std::vector<int> kids;
    const std::string list = PdfReader::value(tree, "/Kids");
    for (const char* p = list.c_str(); (p = std::strpbrk(p, "0123456789")) != nullptr;) {
        char* end = nullptr;
        kids.push_back(static_cast<int>(std::strtol(p, &end, 10)));
        p = std::strchr(end, 'R');
        if (!p) break;
    }
    ASSERT_EQ(kids.size(), pages.size()) << list;
    for (size_t i = 0; i < pages.size(); ++i) {
        SCOPED_TRACE("page " + std::to_string(i + 1));
        const std::string page = pdf.object(kids[i]);
        EXPECT_EQ(PdfReader::value(page, "/Type"), "/Page");
        EXPECT_EQ(PdfReader::reference(page, "/Parent"), pagesRef);
        EXPECT_EQ(PdfReader::value(page, "/MediaBox"), std::string("[0 0 ") + pages[i].mediaBox + "]");
        std::string content;
        ASSERT_TRUE(pdf.stream(PdfReader::reference(page, "/Contents"), content));
        const std::string size = std::string(pages[i].mediaBox);
        const std::string w = size.substr(0, size.find(' ')), h = size.substr(size.find(' ') + 1);
        EXPECT_EQ(content, "q " + w + " 0 0 " + h + " 0 0 cm /Im0 Do Q");
        const int imageRef = PdfReader::reference(PdfReader::value(page, "/Resources"), "/Im0");
        const std::string image = pdf.object(imageRef);
        EXPECT_EQ(PdfReader::value(image, "/Subtype"), "/Image");
        EXPECT_EQ(PdfReader::value(image, "/Filter"), "/DCTDecode");
        EXPECT_EQ(PdfReader::number(image, "/BitsPerComponent"), 8);
        EXPECT_EQ(PdfReader::number(image, "/Width"), pages[i].width);
        EXPECT_EQ(PdfReader::number(image, "/Height"), pages[i].height);
        EXPECT_EQ(PdfReader::value(image, "/ColorSpace"), "/DeviceRGB");
        std::string embedded;
        ASSERT_TRUE(pdf.stream(imageRef, embedded)) << "the stream is not followed by endstream at its /Length";
        EXPECT_TRUE(embedded == pages[i].jpeg) << "the photo's bytes changed: " << embedded.size() << " bytes for "
                                                << pages[i].jpeg.size();
    }
}

class PhotoPdfTest : public ::testing::Test {
protected:
    void SetUp() override {
        photos = takeLessonPhotos(folder.path());
        ASSERT_EQ(photos.size(), 3u);
    }
    void TearDown() override {
        // Nothing of ours may be left behind under the temporary name.
        EXPECT_FALSE(fileExists(target + L".tmp"));
    }

    // After a failure or a cancel: an older file of the name as it was, or none; nothing temporary.
    void expectNothingWritten(bool older) {
        if (older) {
            EXPECT_EQ(readAll(target), "the PDF made last week");
        } else {
            EXPECT_FALSE(fileExists(target));
        }
        EXPECT_FALSE(fileExists(target + L".tmp"));
    }

    TempFolder folder{L"pdf"};
    std::vector<std::wstring> photos;
    const std::wstring target = folder.path() + L"lesson.pdf";
};

TEST_F(PhotoPdfTest, EachPhotoIsAPageOfItsOwnSizeHoldingItsBytesUnchanged) {
    ASSERT_TRUE(testsupport::writeFile(target, "an older file of that name"));
    std::vector<std::pair<size_t, size_t>> calls;
    const int tracesBefore = kTrace.count("writePhotosPdf");
    const skeo::PdfOutcome outcome = skeo::writePhotosPdf(photos, target, lessonInfo(), [&](size_t done, size_t total) {
        calls.emplace_back(done, total);
        return true;
    });
    EXPECT_EQ(outcome.result, PdfResult::Written);
    EXPECT_EQ(outcome.error, 0u);
    EXPECT_EQ(kTrace.count("writePhotosPdf"), tracesBefore);
    EXPECT_EQ(calls, (std::vector<std::pair<size_t, size_t>>{{1, 3}, {2, 3}, {3, 3}}));

    const PdfReader pdf(readAll(target));
    expectPages(pdf, {{"153.6 115.2", 320, 240, readAll(photos[0])},
                      {"192 144", 400, 300, readAll(photos[1])},
                      {"115.2 153.6", 240, 320, readAll(photos[2])}});
}

TEST_F(PhotoPdfTest, DocumentInformationReadsInAnyLanguage) {
    ASSERT_EQ(skeo::writePhotosPdf({photos[0]}, target, lessonInfo()).result, PdfResult::Written);
    const PdfReader pdf(readAll(target));
    ASSERT_EQ(pdf.problem(), "");
    const std::string info = pdf.object(PdfReader::reference(pdf.trailer(), "/Info"));
    EXPECT_EQ(PdfReader::value(info, "/Title"), "<FEFF8AB2580200200031>");
    EXPECT_EQ(PdfReader::value(info, "/Creator"), "<FEFF0053006B0065006F00200032002E0030002E0034002E0030>");
    EXPECT_EQ(PdfReader::value(info, "/CreationDate"), "(D:20261208093005+08'00')");
    EXPECT_NE(PdfReader::value(info, "/Producer"), "");
    const std::string id = PdfReader::value(pdf.trailer(), "/ID");
    ASSERT_EQ(id.size(), 2 + 2 * 34u) << id;
    EXPECT_EQ(id.find_first_not_of("<>0123456789ABCDEF", 1), id.size() - 1) << id;

    // A file of other photos, or of the same made at another time, is another file.
    skeo::PdfDocumentInfo later = lessonInfo();
    later.created.wSecond = 6;
    ASSERT_EQ(skeo::writePhotosPdf({photos[0]}, target, later).result, PdfResult::Written);
    EXPECT_NE(PdfReader::value(PdfReader(readAll(target)).trailer(), "/ID"), id);
    ASSERT_EQ(skeo::writePhotosPdf({photos[1]}, target, lessonInfo()).result, PdfResult::Written);
    EXPECT_NE(PdfReader::value(PdfReader(readAll(target)).trailer(), "/ID"), id);

    // No date is better than one no reader can parse.
    skeo::PdfDocumentInfo undated;
    ASSERT_EQ(skeo::writePhotosPdf({photos[0]}, target, undated).result, PdfResult::Written);
    const PdfReader plain(readAll(target));
    ASSERT_EQ(plain.problem(), "");
    const std::string bare = plain.object(PdfReader::reference(plain.trailer(), "/Info"));
    EXPECT_EQ(bare.find("/CreationDate"), std::string::npos) << bare;
    EXPECT_EQ(bare.find("/Title"), std::string::npos) << bare;
}

// Grey, CMYK and progressive JPEGs, made by ImageMagick before the tests (scripts/make-photo-inputs).
TEST_F(PhotoPdfTest, EveryKindOfJpegNamesItsColourSpace) {
    const std::wstring inputs = testsupport::besideTestProgram(L"photo-inputs\\");
    const struct {
        const wchar_t* name;
        const char* space;
        bool inverted;
    } kinds[] = {{L"grey.jpg", "/DeviceGray", false}, {L"cmyk.jpg", "/DeviceCMYK", true},
                 {L"progressive.jpg", "/DeviceRGB", false}};
    std::vector<std::wstring> files;
    for (const auto& k : kinds) files.push_back(inputs + k.name);
    ASSERT_EQ(skeo::writePhotosPdf(files, target, lessonInfo()).result, PdfResult::Written);
    const PdfReader pdf(readAll(target));
    ASSERT_EQ(pdf.problem(), "");
    // Objects in the order written: each page's image comes first.
    std::vector<int> images;
    for (int n = 1; n < pdf.objectCount(); ++n)
        if (PdfReader::value(pdf.object(n), "/Subtype") == "/Image") images.push_back(n);
    ASSERT_EQ(images.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(kinds[i].space);
        const std::string image = pdf.object(images[i]);
        EXPECT_EQ(PdfReader::value(image, "/ColorSpace"), kinds[i].space);
        EXPECT_EQ(PdfReader::value(image, "/Decode"), kinds[i].inverted ? "[1 0 1 0 1 0 1 0]" : "");
        std::string embedded;
        ASSERT_TRUE(pdf.stream(images[i], embedded));
        EXPECT_TRUE(embedded == readAll(files[i]));
    }
}

// The offset of the photo's own frame header (not its thumbnail's), or 0.
size_t frameHeaderOffset(const std::string& jpeg) {
    size_t offset = 0;
    skeo::walkJpegSegments(reinterpret_cast<const uint8_t*>(jpeg.data()), jpeg.size(),
                           [&](const skeo::JpegSegment& s) {
                               if (s.marker != 0xC0) return true;
                               offset = s.offset;
                               return false;
                           });
    return offset;
}

TEST_F(PhotoPdfTest, APhotoThatCannotBeUsedLeavesNoFileAndAnOlderOneAsItWas) {
    const std::string good = readAll(photos[0]);
    std::string twoComponents = good;
    const size_t frame = frameHeaderOffset(good);
    ASSERT_GT(frame, 0u);
    twoComponents[frame + 9] = 2;
    const struct {
        const char* what;
        const char* bytes;  // null: no file at all
        size_t size;
        DWORD error;
    } cases[] = {
        {"missing", nullptr, 0, ERROR_FILE_NOT_FOUND},
        {"empty", "", 0, 0},
        {"text", "minutes of the meeting", 22, 0},
        {"PNG", "\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16, 0},
        {"cut before its frame header", good.data(), 200, 0},
        {"two colour components", twoComponents.data(), twoComponents.size(), 0},
    };
    const std::wstring bad = folder.path() + L"bad.jpg";
    for (const auto& c : cases) {
        for (const bool older : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (older ? ", over an older file" : ""));
            DeleteFileW(bad.c_str());
            if (c.bytes) {
                ASSERT_TRUE(testsupport::writeFile(bad, std::string(c.bytes, c.size)));
            }
            DeleteFileW(target.c_str());
            if (older) {
                ASSERT_TRUE(testsupport::writeFile(target, "the PDF made last week"));
            }
            int pages = 0;
            const int tracesBefore = kTrace.count("writePhotosPdf");
            const skeo::PdfOutcome outcome =
                skeo::writePhotosPdf({photos[0], bad, photos[1]}, target, lessonInfo(), [&](size_t, size_t) {
                    ++pages;
                    return true;
                });
            EXPECT_EQ(outcome.result, PdfResult::Failed);
            EXPECT_EQ(outcome.photo, bad);
            EXPECT_EQ(outcome.error, c.error);
            EXPECT_EQ(pages, 1) << "stopped at the photo";
            EXPECT_EQ(kTrace.count("writePhotosPdf"), tracesBefore + 1);
            expectNothingWritten(older);
        }
    }
}

TEST_F(PhotoPdfTest, CancellingAfterTheFirstPageLeavesNoFileAndAnOlderOneAsItWas) {
    for (const bool older : {false, true}) {
        SCOPED_TRACE(older ? "over an older file" : "new");
        DeleteFileW(target.c_str());
        if (older) {
            ASSERT_TRUE(testsupport::writeFile(target, "the PDF made last week"));
        }
        std::vector<size_t> calls;
        const int tracesBefore = kTrace.count("writePhotosPdf");
        const skeo::PdfOutcome outcome = skeo::writePhotosPdf(photos, target, lessonInfo(), [&](size_t done, size_t) {
            calls.push_back(done);
            return false;
        });
        EXPECT_EQ(outcome.result, PdfResult::Cancelled);
        EXPECT_EQ(calls, std::vector<size_t>{1});
        EXPECT_EQ(kTrace.count("writePhotosPdf"), tracesBefore + 1);
        expectNothingWritten(older);
    }
}

TEST_F(PhotoPdfTest, TargetsThatCannotBeWrittenFailCleanly) {
    const auto expectFailure = [&](const std::wstring& where, DWORD error) {
        const int tracesBefore = kTrace.count("writePhotosPdf");
        const skeo::PdfOutcome outcome = skeo::writePhotosPdf(photos, where, lessonInfo());
        EXPECT_EQ(outcome.result, PdfResult::Failed);
        EXPECT_EQ(outcome.photo, L"");
        EXPECT_EQ(outcome.error, error);
        EXPECT_EQ(kTrace.count("writePhotosPdf"), tracesBefore + 1);
        EXPECT_FALSE(fileExists(where + L".tmp"));
    };
    {
        SCOPED_TRACE("in a folder that does not exist");
        const std::wstring nowhere = folder.path() + L"gone\\lesson.pdf";
        expectFailure(nowhere, ERROR_PATH_NOT_FOUND);
        EXPECT_FALSE(fileExists(folder.path() + L"gone"));
    }
    {
        SCOPED_TRACE("the name of a folder");
        ASSERT_TRUE(CreateDirectoryW(target.c_str(), nullptr));
        expectFailure(target, ERROR_ACCESS_DENIED);
        EXPECT_TRUE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
        RemoveDirectoryW(target.c_str());
    }
    {
        SCOPED_TRACE("a read-only file");
        ASSERT_TRUE(testsupport::writeFile(target, "the PDF made last week"));
        ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
        expectFailure(target, ERROR_ACCESS_DENIED);
        SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        EXPECT_EQ(readAll(target), "the PDF made last week");
    }
    {
        SCOPED_TRACE("a file another program holds open");  // found only when the finished file is to take its name
        ASSERT_TRUE(testsupport::writeFile(target, "the PDF made last week"));
        HANDLE viewer = CreateFileW(target.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(viewer, INVALID_HANDLE_VALUE);
        expectFailure(target, ERROR_ACCESS_DENIED);
        CloseHandle(viewer);
        EXPECT_EQ(readAll(target), "the PDF made last week");
    }
    {
        SCOPED_TRACE("no photos");
        DeleteFileW(target.c_str());
        const int tracesBefore = kTrace.count("writePhotosPdf");
        EXPECT_EQ(skeo::writePhotosPdf({}, target, lessonInfo()).result, PdfResult::Failed);
        EXPECT_EQ(kTrace.count("writePhotosPdf"), tracesBefore + 1);
        EXPECT_FALSE(fileExists(target));
    }
}

}  // namespace

namespace {

// Leaves three photos and the PDF made of them beside the test program, and a PDF of the grey, CMYK
// and progressive JPEGs ImageMagick made before the tests, for scripts/check-photo-pdf, which CTest runs
// next.
TEST(PdfSamples, WrittenForTheIndependentReaders) {
    const std::wstring folder = testsupport::freshFolderBesideTestProgram(L"pdf-samples");
    ASSERT_TRUE(fileExists(folder));
    const std::vector<std::wstring> photos = takeLessonPhotos(folder);
    ASSERT_EQ(photos.size(), 3u);
    EXPECT_EQ(skeo::writePhotosPdf(photos, folder + L"photos.pdf", lessonInfo()).result, PdfResult::Written);

    const std::wstring inputs = testsupport::besideTestProgram(L"photo-inputs\\");
    std::vector<std::wstring> kinds;
    for (const wchar_t* name : {L"grey.jpg", L"cmyk.jpg", L"progressive.jpg"}) {
        kinds.push_back(folder + L"kind" + std::to_wstring(kinds.size() + 1) + L".jpg");
        ASSERT_TRUE(CopyFileW((inputs + name).c_str(), kinds.back().c_str(), FALSE)) << "no " << name;
    }
    EXPECT_EQ(skeo::writePhotosPdf(kinds, folder + L"kinds.pdf", lessonInfo()).result, PdfResult::Written);
}

}  // namespace
