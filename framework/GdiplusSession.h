// Owns the process's GDI+ start-up token.
#pragma once

#include <basetsd.h>

namespace vnt {

class GdiplusSession {
public:
    GdiplusSession() = default;
    ~GdiplusSession() { shutdown(); }
    GdiplusSession(const GdiplusSession&) = delete;
    GdiplusSession& operator=(const GdiplusSession&) = delete;

    // Version 1, no debug callback, background thread and external codecs allowed.
    bool startup();
    void shutdown();
    ULONG_PTR token() const { return token_; }

private:
    ULONG_PTR token_ = 0;
};

}  // namespace vnt
