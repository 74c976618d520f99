// The numbers the program keeps in the registry, with the values each may take and its default.
// A stored number drives waits, menu choices and file names, so one outside its values is never
// used. No Windows header, so it is tested natively.
#pragma once

#include <cstdint>
#include <string>

namespace settings {

// The highest photo serial number: eight digits keep names short and sortable; the next photo
// after it takes the first free number from 1.
constexpr int32_t kLastPhotoSerial = 99999999;

// Empty unless given.
struct NumberRange {
    int32_t low = 1;
    int32_t high = 0;
};

struct StoredNumber {
    const wchar_t* subkey;  // "" the product key, nullptr every camera model's subkey
    const wchar_t* name;
    int32_t defaultValue;
    NumberRange accepted[3];

    bool accepts(int32_t value) const;
};

// The row of a value under a subkey of the product key, a model's own row before the one for every
// model; nullptr for a value the program does not keep.
const StoredNumber* findStoredNumber(const std::wstring& subkey, const std::wstring& name);

}  // namespace settings
