// The index of the photos the program has taken, kept in "EventList3.xml" in the roaming
// application-data folder. Changes are queued and applied by a worker that wakes once a second and
// writes the file once per batch. The one instance is also the program's settings object.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "app/VNTThreadLoop.h"
#include "library/VNTSkeoEvent.h"
#include "settings/VNTSkeoRegedit.h"

class VNTSkeoDatabaseManager : public VNTSkeoRegedit, public VNTThreadLoop {
public:
    static VNTSkeoDatabaseManager& instance();

    // A database on a file of the caller's choice; the program uses instance().
    explicit VNTSkeoDatabaseManager(const std::wstring& filePath = std::wstring());
    ~VNTSkeoDatabaseManager() override;

    // Queues the record for the front of the list (newest first).
    void addEvent(const VNTSkeoEvent& event);
    // Queues the removal of the record at a list index (0 = newest) and of its photo file, which goes
    // to the recycle bin. Indices outside the list are ignored when the request is applied.
    int removeEvent(int32_t index);
    // The same for a record the caller holds: found by its contents, at the list index given if it is
    // still there, else its first copy, so that a list the caller has only in part (or that changed
    // meanwhile) cannot make another photo go. A record no longer listed still has its photo recycled.
    int removeEvent(const VNTSkeoEvent& event, int32_t index);
    // Queues taking the record out of the list while its photo file stays where it is. The record
    // is found by its contents (at the list index given if it is still there, else its first copy),
    // so records added in between do not make another one go.
    int dropEvent(const VNTSkeoEvent& event, int32_t index);
    std::vector<VNTSkeoEvent> eventList() const;
    // Applies what is queued and writes the file now, on the calling thread: at the end of a
    // session the process may be stopped as soon as it has answered, before the worker wakes.
    bool saveNow();

    const std::wstring& filePath() const { return filePath_; }
    // Number of times the worker has written the file; for tests and benchmarks.
    long saveCount() const { return saves_; }

    static const wchar_t kFileName[];  // "EventList3.xml"

protected:
    void run() override;

private:
    void loadEventList();
    bool saveEventList();
    // Applies every queued request; false when there was none.
    bool drainQueue();
    void apply(const VNTSkeoEventRequest& request);
    // True when the unreadable index was copied beside itself.
    bool keepUnreadableFileAside();
    void recoverFromLibraryFolder(bool keptAside);
    // Puts the photos numbered after the newest record, which have no record yet, in front of it.
    void recordPhotosTakenAfterTheNewest(std::vector<VNTSkeoEvent>& records);
    // Makes every record's text for the file, when they are not all made yet.
    void formatRecords();

    std::vector<VNTSkeoEvent> events_;
    // Each record's text in the file, in step with events_ once made (under saveLock_): a save of a
    // large index then joins them rather than formatting every record again.
    std::vector<std::string> recordTexts_;
    std::deque<VNTSkeoEventRequest> queue_;
    std::wstring filePath_;
    mutable CRITICAL_SECTION lock_;
    // Held around applying the queue and writing the file, which the worker and saveNow both do.
    CRITICAL_SECTION saveLock_;
    volatile long saves_ = 0;
    bool comInitialised_ = false;
    // The index was recovered and the unreadable one is safe aside, or photos were found that it lacked.
    bool saveAtStart_ = false;
};
