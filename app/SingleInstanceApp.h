// The single-instance rule: a named shared block of 4100 bytes and a registered thread message of
// the same name. The first process to create the block is the running copy; later starts hand
// their command line over and wake it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "framework/Application.h"

extern const wchar_t kSingleInstanceName[];  // names both the block and the message

// Layout of the shared block.
struct SingleInstanceBlock {
    uint32_t threadId;             // user-interface thread of the first instance
    wchar_t commandLine[2048];     // latest second instance's command line, NUL-terminated
};
static_assert(sizeof(SingleInstanceBlock) == 4100, "the shared block is exactly 4100 bytes");

class SingleInstanceApp {
public:
    SingleInstanceApp();
    ~SingleInstanceApp();
    SingleInstanceApp(const SingleInstanceApp&) = delete;
    SingleInstanceApp& operator=(const SingleInstanceApp&) = delete;

    bool isFirstInstance() const { return firstInstance_; }
    static UINT instanceMessage();

private:
    bool firstInstance_ = false;
    HANDLE mapping_ = nullptr;
    SingleInstanceBlock* view_ = nullptr;
};

class CSingleInstanceApp : public vnt::CApplication, public SingleInstanceApp {
public:
    CSingleInstanceApp();

protected:
    // Another copy of the program was started: show the running copy (tray "Open").
    virtual void OnAnotherInstance();
    // A posted quit ends the program as the tray's Close does (tray "Close").
    bool OnQuitMessage() override;
};
