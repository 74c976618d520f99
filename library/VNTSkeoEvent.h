// One photo of the library, and one queued change of the index.
#pragma once

#include <cstdint>
#include <string>

struct VNTSkeoEvent {
    int32_t type = 0;          // every record the program creates has 0
    std::wstring folder;       // with its trailing backslash
    std::wstring name;         // file name with extension
    std::wstring resolution;   // free text, carried through unchanged
    std::wstring pictureSize;  // free text, carried through unchanged

    std::wstring fullPath() const { return folder + name; }
    bool operator==(const VNTSkeoEvent& o) const {
        return type == o.type && folder == o.folder && name == o.name && resolution == o.resolution &&
               pictureSize == o.pictureSize;
    }
};

struct VNTSkeoEventRequest {
    // DropRecord takes the record out of the index and leaves its photo file alone: for a photo the
    // program cannot read, which must not be thrown away for that. `index` is where it was expected.
    // RemoveRecord is Remove for a record found by its contents, `index` where it was expected.
    enum Kind : int32_t { Remove = 0, InsertFront = 1, DropRecord = 2, RemoveRecord = 3 };
    VNTSkeoEvent event;
    int32_t index = 0;
    int32_t kind = InsertFront;
};
