#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "library/EventListText.h"
#include "library/EventListXml.h"
#include "library/VNTSkeoDatabaseManager.h"
#include "tests/support/RegistrySandbox.h"
#include "tests/support/TempFolder.h"

using namespace testsupport;

namespace {

std::string utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Waits for the worker's n-th save: it wakes once a second.
bool waitForSaves(const VNTSkeoDatabaseManager& db, long n, DWORD timeoutMs = 10000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (db.saveCount() < n) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox.active());
        photos = folder.path() + L"photos\\";
        CreateDirectoryW(photos.c_str(), nullptr);
        index = folder.path() + L"EventList3.xml";
        // The library folder is the test's own, for the index rebuilt from it.
        ASSERT_TRUE(createKey(kProductKey));
        ASSERT_TRUE(writeRaw(kProductKey, L"PhotoLibraryLocation", REG_SZ, photos.c_str(),
                             static_cast<DWORD>((photos.size() + 1) * sizeof(wchar_t))));
    }
    static constexpr const wchar_t* kProductKey = L"Software\\Vantor\\Zevlan";

    VNTSkeoEvent photo(const std::wstring& name, bool create = true) {
        if (create) writeFile(photos + name, "jpeg");
        VNTSkeoEvent e;
        e.folder = photos;
        e.name = name;
        return e;
    }

    std::vector<VNTSkeoEvent> fileRecords() {
        const std::string bytes = readAll(index);
        std::vector<VNTSkeoEvent> records;
        eventxml::parse(std::vector<uint8_t>(bytes.begin(), bytes.end()), records);
        return records;
    }

    std::wstring eventXml(const std::wstring& inner) { return L"<Event>" + inner + L"</Event>"; }
    std::wstring fullEvent(const std::wstring& name) {
        return eventXml(L"<EventType>0</EventType><EventFolder>" + photos + L"</EventFolder><EventName>" + name +
                        L"</EventName><Resolution></Resolution><PictureSize/>");
    }
    void writeIndex(const std::wstring& events) {
        ASSERT_TRUE(writeFile(index, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<EventList>" + utf8(events) +
                                         "</EventList>"));
    }
    // Photos of these names and an index that lists them in this order.
    void writeIndexOf(const std::vector<std::wstring>& names) {
        std::wstring events;
        for (const std::wstring& name : names) {
            photo(name);
            events += fullEvent(name);
        }
        writeIndex(events);
    }
    static std::vector<std::wstring> numberedNames(const std::wstring& prefix, int count) {
        std::vector<std::wstring> names;
        for (int i = 0; i < count; ++i) names.push_back(prefix + std::to_wstring(i) + L".jpg");
        return names;
    }
    // The names in the saved index, in its order.
    std::vector<std::wstring> savedNames() {
        std::vector<std::wstring> names;
        for (const VNTSkeoEvent& e : fileRecords()) names.push_back(e.name);
        return names;
    }

    RegistrySandbox sandbox;
    TempFolder folder{L"database"};
    std::wstring photos, index;
};

TEST_F(DatabaseTest, AFirstStartHasNoRecordsAndWritesNoFile) {
    { VNTSkeoDatabaseManager db(index); EXPECT_TRUE(db.eventList().empty()); }
    EXPECT_FALSE(fileExists(index));
}

TEST_F(DatabaseTest, AddsBetweenTwoWakeUpsAreWrittenOnceNewestFirst) {
    VNTSkeoDatabaseManager db(index);
    db.addEvent(photo(L"a.jpg"));
    db.addEvent(photo(L"b.jpg"));
    db.addEvent(photo(L"c.jpg"));
    ASSERT_TRUE(waitForSaves(db, 1));
    const std::vector<VNTSkeoEvent> saved = fileRecords();
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0].name, L"c.jpg");
    EXPECT_EQ(saved[2].name, L"a.jpg");
    EXPECT_EQ(db.eventList(), saved);
    EXPECT_EQ(db.saveCount(), 1);
}

TEST_F(DatabaseTest, RemovalsByDescendingIndexRemoveExactlyThoseAndRecycleTheirPhotos) {
    writeIndexOf(numberedNames(L"p", 8));
    VNTSkeoDatabaseManager db(index);
    ASSERT_EQ(db.eventList().size(), 8u);
    EXPECT_EQ(db.removeEvent(5), 1);
    db.removeEvent(3);
    db.removeEvent(0);
    db.removeEvent(42);  // outside the list: ignored
    ASSERT_TRUE(waitForSaves(db, 1));
    EXPECT_EQ(savedNames(), (std::vector<std::wstring>{L"p1.jpg", L"p2.jpg", L"p4.jpg", L"p6.jpg", L"p7.jpg"}));
    for (const wchar_t* gone : {L"p0.jpg", L"p3.jpg", L"p5.jpg"}) EXPECT_FALSE(fileExists(photos + gone)) << gone;
    EXPECT_TRUE(fileExists(photos + L"p1.jpg"));
}

// A record whose photo cannot be shown leaves the index, but the photo stays on disk: it is the
// user's picture, which another program may still read.
TEST_F(DatabaseTest, DroppingARecordKeepsItsPhotoAndFindsTheRecordByItsContents) {
    writeIndexOf(numberedNames(L"d", 4));
    VNTSkeoDatabaseManager db(index);
    const std::vector<VNTSkeoEvent> loaded = db.eventList();
    ASSERT_EQ(loaded.size(), 4u);
    // A snapshot arrives first: the list indices move by one, the dropped record must still be d2.
    db.addEvent(photo(L"new.jpg"));
    EXPECT_EQ(db.dropEvent(loaded[2], 2), 1);
    db.dropEvent(loaded[0], 0);
    VNTSkeoEvent unknown = loaded[1];
    unknown.name = L"never-listed.jpg";
    db.dropEvent(unknown, 1);  // not in the list: nothing goes
    ASSERT_TRUE(waitForSaves(db, 1));
    EXPECT_EQ(savedNames(), (std::vector<std::wstring>{L"new.jpg", L"d1.jpg", L"d3.jpg"}));
    for (const wchar_t* kept : {L"d0.jpg", L"d2.jpg"}) EXPECT_TRUE(fileExists(photos + kept)) << kept;
}

// The photo strip deletes what it shows, and while it fills it shows only the oldest records: the
// index it would give is off by the records still to come.
TEST_F(DatabaseTest, RemovingARecordFindsItByItsContentsAndRecyclesOnlyItsPhoto) {
    writeIndexOf(numberedNames(L"r", 5));
    VNTSkeoDatabaseManager db(index);
    const std::vector<VNTSkeoEvent> loaded = db.eventList();
    ASSERT_EQ(loaded.size(), 5u);
    EXPECT_EQ(db.removeEvent(loaded[3], 0), 1);  // index 0 holds r0: not that one
    db.removeEvent(loaded[1], 1);
    ASSERT_TRUE(waitForSaves(db, 1));
    EXPECT_EQ(savedNames(), (std::vector<std::wstring>{L"r0.jpg", L"r2.jpg", L"r4.jpg"}));
    for (const wchar_t* gone : {L"r1.jpg", L"r3.jpg"}) EXPECT_FALSE(fileExists(photos + gone)) << gone;
    for (const wchar_t* kept : {L"r0.jpg", L"r2.jpg", L"r4.jpg"}) EXPECT_TRUE(fileExists(photos + kept)) << kept;
}

TEST_F(DatabaseTest, ARemovalJustBeforeExitIsStillSaved) {
    writeIndexOf({L"keep.jpg", L"drop.jpg"});
    {
        VNTSkeoDatabaseManager db(index);
        db.removeEvent(1);
        db.addEvent(photo(L"new.jpg"));
    }
    EXPECT_EQ(savedNames(), (std::vector<std::wstring>{L"new.jpg", L"keep.jpg"}));
}

// A save joins each record's text made before; after every kind of change, save after save, the
// file must still be exactly the list as it stands.
TEST_F(DatabaseTest, EverySaveWritesTheListAsItStandsAfterAnyMixOfChanges) {
    writeIndexOf(numberedNames(L"m", 6));
    VNTSkeoDatabaseManager db(index);
    const std::vector<VNTSkeoEvent> loaded = db.eventList();
    ASSERT_EQ(loaded.size(), 6u);
    VNTSkeoEvent odd = photo(L"odd & <new>.jpg");
    odd.resolution = L"1600\u00d71200";
    db.addEvent(odd);
    db.dropEvent(loaded[4], 4);
    ASSERT_TRUE(db.saveNow());
    EXPECT_EQ(readAll(index), eventxml::formatEventList(db.eventList()));
    db.removeEvent(loaded[1], 2);
    db.addEvent(photo(L"later.jpg"));
    db.removeEvent(5);  // the last one, m5
    ASSERT_TRUE(db.saveNow());
    EXPECT_EQ(readAll(index), eventxml::formatEventList(db.eventList()));
    EXPECT_EQ(savedNames(), (std::vector<std::wstring>{L"later.jpg", L"odd & <new>.jpg", L"m0.jpg", L"m2.jpg",
                                                       L"m3.jpg"}));
}

// At the end of a session the process may be stopped as soon as it answers: what was queued is
// on disk when saveNow returns, and the worker's next wake-up writes nothing twice.
TEST_F(DatabaseTest, SavingNowWritesWhatIsQueuedBeforeTheWorkerWakes) {
    writeIndexOf({L"old.jpg"});
    VNTSkeoDatabaseManager db(index);
    db.addEvent(photo(L"new.jpg"));
    db.removeEvent(1);
    ASSERT_TRUE(db.saveNow());
    EXPECT_EQ(savedNames(), (std::vector<std::wstring>{L"new.jpg"}));
    EXPECT_FALSE(fileExists(photos + L"old.jpg"));
    const long saves = db.saveCount();
    Sleep(1300);
    EXPECT_EQ(db.saveCount(), saves);
    EXPECT_EQ(savedNames(), (std::vector<std::wstring>{L"new.jpg"}));
}

TEST_F(DatabaseTest, ReadingIsLenientAndSavingWritesAllFiveChildren) {
    photo(L"a.jpg");
    photo(L"b.jpg");
    photo(L"c.jpg");
    writeIndex(eventXml(L"<EventType>7x</EventType><EventFolder>" + photos + L"</EventFolder><EventName>a.jpg</EventName>") +
               eventXml(L"\n  <EventType> abc</EventType>\n  <EventFolder>" + photos +
                        L"</EventFolder><eventname>x.jpg</eventname><EventName>b.jpg</EventName>"
                        L"<Resolution>1600x1200</Resolution><PictureSize>1.2 MB</PictureSize><Other>z</Other>\n") +
               fullEvent(L"vanished.jpg") +
               eventXml(L"<EventType>-3</EventType><EventFolder>" + photos + L"</EventFolder><EventName>c.jpg</EventName>"
                        L"<Resolution/><PictureSize></PictureSize>"));
    VNTSkeoDatabaseManager db(index);
    const std::vector<VNTSkeoEvent> list = db.eventList();
    ASSERT_EQ(list.size(), 3u) << "the record of a vanished photo is dropped";
    EXPECT_EQ(list[0].type, 7);
    EXPECT_EQ(list[0].resolution, L"");
    EXPECT_EQ(list[0].pictureSize, L"");
    EXPECT_EQ(list[1].type, 0);
    EXPECT_EQ(list[1].name, L"b.jpg") << "names differing in case are ignored";
    EXPECT_EQ(list[1].resolution, L"1600x1200");
    EXPECT_EQ(list[1].pictureSize, L"1.2 MB");
    EXPECT_EQ(list[2].type, -3);

    db.addEvent(photo(L"d.jpg"));
    ASSERT_TRUE(waitForSaves(db, 1));
    const std::string text = readAll(index);
    EXPECT_EQ(text.find("vanished"), std::string::npos);
    EXPECT_NE(text.find("<Event><EventType>7</EventType><EventFolder>"), std::string::npos) << text;
    EXPECT_NE(text.find("<Resolution>1600x1200</Resolution><PictureSize>1.2 MB</PictureSize></Event>"),
              std::string::npos);
    EXPECT_EQ(text.find("Other"), std::string::npos);
}

TEST_F(DatabaseTest, TextsAreEscapedAndComeBackUnchanged) {
    const std::wstring odd = L"a&b'd \u8AB2\u5802 \U0001F4F7.jpg";
    VNTSkeoEvent e = photo(odd);
    ASSERT_TRUE(fileExists(e.fullPath()));
    e.resolution = L"<1600 & \"1200\">\r\n";
    e.pictureSize = std::wstring(L"bell\x07 and lone \xD800 half");
    {
        VNTSkeoDatabaseManager db(index);
        db.addEvent(e);
    }
    VNTSkeoDatabaseManager again(index);
    ASSERT_EQ(again.eventList().size(), 1u) << "a character XML cannot carry must not make the file unreadable";
    const VNTSkeoEvent back = again.eventList()[0];
    EXPECT_EQ(back.name, e.name);
    EXPECT_EQ(back.resolution, e.resolution);
    EXPECT_EQ(back.pictureSize, L"bell\xFFFD and lone \xFFFD half");
}

TEST_F(DatabaseTest, AFailedSaveLeavesThePreviousFile) {
    writeIndexOf({L"a.jpg"});
    const std::string before = readAll(index);
    // The temporary file cannot be created where a folder of its name stands.
    ASSERT_TRUE(CreateDirectoryW((index + L".tmp").c_str(), nullptr));
    {
        VNTSkeoDatabaseManager db(index);
        db.addEvent(photo(L"b.jpg"));
    }
    EXPECT_EQ(readAll(index), before);
    RemoveDirectoryW((index + L".tmp").c_str());
}

struct BadIndex {
    const char* what;
    std::string bytes;
    size_t records;  // readable records expected
    bool keptAside;
};

std::string utf16WithBom(const std::string& ascii) {
    std::string out("\xFF\xFE", 2);
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// A large index has its first record's folder listed while the rest is parsed: the records kept
// must be exactly those whose photos are there, in any folder, in the file's order.
TEST_F(DatabaseTest, ALargeIndexKeepsExactlyTheRecordsWhosePhotosExist) {
    const std::wstring other = folder.path() + L"Other & More\\";
    CreateDirectoryW(other.c_str(), nullptr);
    for (const bool plainFirstFolder : {true, false}) {
        SCOPED_TRACE(plainFirstFolder ? "first folder read ahead" : "first folder with an entity");
        std::wstring events;
        std::vector<std::wstring> expected;
        if (!plainFirstFolder) {
            writeFile(other + L"o.jpg", "jpeg");
            events += eventXml(L"<EventFolder>" + folder.path() + L"Other &amp; More\\</EventFolder><EventName>o.jpg</EventName>");
            expected.push_back(L"o.jpg");
        }
        for (int i = 0; i < 450; ++i) {
            const std::wstring name = L"big" + std::to_wstring(i) + L".jpg";
            const bool present = i % 7 != 3;
            if (present) expected.push_back(name);
            photo(name, present);
            events += fullEvent(name);
            if (i == 200) {  // a record of another folder amid them, in upper case
                writeFile(other + L"X.JPG", "jpeg");
                events += eventXml(L"<EventFolder>" + folder.path() + L"OTHER &amp; more\\</EventFolder><EventName>x.jpg</EventName>");
                expected.push_back(L"x.jpg");
            }
        }
        writeIndex(events);
        std::vector<std::wstring> kept;
        {
            VNTSkeoDatabaseManager db(index);
            for (const VNTSkeoEvent& e : db.eventList()) kept.push_back(e.name);
        }
        EXPECT_EQ(kept, expected);
    }
}

TEST_F(DatabaseTest, BadIndexFilesGiveTheirReadableRecordsOrAreKeptAside) {
    photo(L"a.jpg");
    const std::string event = utf8(fullEvent(L"a.jpg"));
    const std::string good = "<?xml version=\"1.0\" encoding=\"utf-8\"?><EventList>" + event + "</EventList>";
    const std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\"><!ENTITY lol2 "
        "\"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\"><!ENTITY lol3 "
        "\"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\"><!ENTITY lol4 "
        "\"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\"><!ENTITY lol5 "
        "\"&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;\"><!ENTITY lol6 "
        "\"&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;\"><!ENTITY lol7 "
        "\"&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;\"><!ENTITY lol8 "
        "\"&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;\"><!ENTITY lol9 "
        "\"&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;\">]><EventList><Event><EventName>&lol9;"
        "</EventName></Event></EventList>";
    const std::string external =
        "<?xml version=\"1.0\"?><!DOCTYPE e [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><EventList><Event>"
        "<EventName>&x;</EventName></Event></EventList>";
    std::string many = "<EventList>";
    for (int i = 0; i < 100000; ++i) many += "<Event><EventFolder>C:\\gone\\</EventFolder><EventName>x.jpg</EventName></Event>";
    many += "</EventList>";
    const std::string longText = "<EventList><Event><EventFolder>" + std::string(200000, 'f') +
                                 "</EventFolder><EventName>a.jpg</EventName></Event></EventList>";

    const std::vector<BadIndex> cases = {
        {"truncated", good.substr(0, good.size() / 2), 0, true},
        {"not well-formed", "<EventList><Event></EventList>", 0, true},
        {"empty file", "", 0, true},
        {"utf-8 with BOM", "\xEF\xBB\xBF" + good, 1, false},
        {"utf-16 with BOM", utf16WithBom("<?xml version=\"1.0\" encoding=\"utf-16\"?><EventList>" + event + "</EventList>"), 1, false},
        {"wrong root, no EventList", "<Photos><Event/></Photos>", 0, true},
        {"EventList deeper down", "<Root><Other/><EventList>" + event + "</EventList></Root>", 1, false},
        {"billion laughs", laughs, 0, true},
        {"external entity", external, 0, true},
        {"100000 vanished events", many, 0, false},
        {"very long text", longText, 0, false},
        {"EventType out of range", "<EventList>" + utf8(eventXml(L"<EventType>99999999999</EventType><EventFolder>" + photos +
                                                      L"</EventFolder><EventName>a.jpg</EventName>")) + "</EventList>", 1, false},
    };
    for (const BadIndex& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileW((index + L".bad").c_str());
        ASSERT_TRUE(writeFile(index, c.bytes));
        VNTSkeoDatabaseManager db(index);
        EXPECT_EQ(db.eventList().size(), c.records);
        EXPECT_EQ(fileExists(index + L".bad"), c.keptAside);
        if (c.keptAside) {
            EXPECT_EQ(readAll(index + L".bad"), c.bytes);
        }
        if (std::string(c.what) == "EventType out of range") {
            EXPECT_EQ(db.eventList()[0].type, INT32_MAX);
        }
    }
}

TEST_F(DatabaseTest, AnOlderKeptAsideFileIsNotOverwritten) {
    ASSERT_TRUE(writeFile(index + L".bad", "older"));
    ASSERT_TRUE(writeFile(index, "<broken"));
    { VNTSkeoDatabaseManager db(index); }
    EXPECT_EQ(readAll(index + L".bad"), "older");
    EXPECT_EQ(readAll(index + L".bad1"), "<broken");
}

TEST_F(DatabaseTest, AnUnreadableIndexIsRebuiltFromTheProgramsOwnPhotosInTheLibraryFolder) {
    for (const wchar_t* name : {L"lesson_0002.jpg", L"lesson_0010.jpg", L"lesson_0001.jpg", L"holiday.jpg", L"notes.txt"})
        ASSERT_TRUE(writeFile(photos + name, "jpeg"));
    ASSERT_TRUE(CreateDirectoryW((photos + L"lesson_0003.jpg").c_str(), nullptr));
    const std::vector<VNTSkeoEvent> recovered = {photo(L"lesson_0010.jpg", false), photo(L"lesson_0002.jpg", false),
                                                 photo(L"lesson_0001.jpg", false)};

    // A readable index is taken as it is: older photos it lacks are not put back.
    writeIndex(fullEvent(L"lesson_0010.jpg"));
    {
        VNTSkeoDatabaseManager db(index);
        EXPECT_EQ(db.eventList(), std::vector<VNTSkeoEvent>{photo(L"lesson_0010.jpg", false)});
    }
    EXPECT_FALSE(fileExists(index + L".bad"));

    // Two bad starts in a row: each unreadable file is kept, and each time the strip is not emptied.
    const char* broken[] = {"<EventList><Event>", "\xff\xfe<broken"};
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE(start);
        ASSERT_TRUE(writeFile(index, broken[start]));
        VNTSkeoDatabaseManager db(index);
        EXPECT_EQ(db.eventList(), recovered);
        ASSERT_TRUE(waitForSaves(db, 1));
        EXPECT_EQ(fileRecords(), recovered);
    }
    EXPECT_EQ(readAll(index + L".bad"), broken[0]);
    EXPECT_EQ(readAll(index + L".bad1"), broken[1]);
    EXPECT_TRUE(fileExists(photos + L"holiday.jpg"));
}

// Photos taken in the last second before the program was ended outright are in the folder but not
// in the index: those numbered after its newest record are put back in front of it and saved at
// once, across the gaps of photos deleted since; nothing else in the folder is added.
TEST_F(DatabaseTest, PhotosNumberedAfterTheNewestRecordArePutBackAtTheNextStart) {
    for (const wchar_t* name : {L"lesson_0003.jpg", L"lesson_0006.jpg", L"lesson_0007.JPG", L"lesson_0009.jpg",
                                L"lesson_0026.jpg", L"other_0010.jpg", L"lesson_0005.jpg.tmp"})
        ASSERT_TRUE(writeFile(photos + name, "jpeg"));
    ASSERT_TRUE(CreateDirectoryW((photos + L"lesson_0010.jpg").c_str(), nullptr));
    writeIndexOf({L"lesson_0005.jpg", L"lesson_0004.jpg", L"lesson_0008.jpg"});
    const std::vector<std::wstring> expected = {L"lesson_0009.jpg", L"lesson_0007.jpg", L"lesson_0006.jpg",
                                                L"lesson_0005.jpg", L"lesson_0004.jpg", L"lesson_0008.jpg"};
    {
        VNTSkeoDatabaseManager db(index);
        std::vector<std::wstring> names;
        for (const VNTSkeoEvent& e : db.eventList()) names.push_back(e.name);
        EXPECT_EQ(names, expected);
        ASSERT_TRUE(waitForSaves(db, 1));
        EXPECT_EQ(savedNames(), expected);
    }
    // The next start finds the index whole and has nothing to save.
    VNTSkeoDatabaseManager db(index);
    EXPECT_EQ(db.eventList().size(), expected.size());
    Sleep(1500);
    EXPECT_EQ(db.saveCount(), 0);
}

// Leaves an index beside the test program for xmllint, which CTest runs next.
TEST_F(DatabaseTest, SampleForTheIndependentChecker) {
    const std::wstring out = freshFolderBesideTestProgram(L"database-samples");
    ASSERT_TRUE(fileExists(out));
    {
        VNTSkeoDatabaseManager db(out + L"EventList3.xml");
        VNTSkeoEvent e = photo(L"2026-12-08_0001.jpg");
        db.addEvent(e);
        e = photo(L"lesson & <notes>.jpg");
        e.resolution = L"1600x1200";
        db.addEvent(e);
    }
    EXPECT_TRUE(fileExists(out + L"EventList3.xml"));
}

}  // namespace
