// The thin layer over the current user's registry: text and 32-bit values under the product key
// ("Software\Vantor\<product>") or one of its subkeys, the run-at-log-on entry, and key-tree deletion.
// Every call opens its key, does one thing and closes it again.
#pragma once

#include <cstdint>
#include <string>

class VNTRegedit {
public:
    explicit VNTRegedit(std::wstring productName);
    virtual ~VNTRegedit() = default;

    // An empty subkey means the product key itself. Every operation fails without touching the
    // registry when the product name is empty.
    bool setString(const std::wstring& text, const std::wstring& subkey, const std::wstring& valueName);
    // Reads a REG_SZ value without creating its key; the output is unchanged on failure.
    bool getString(std::wstring& text, const std::wstring& subkey, const std::wstring& valueName);
    bool setDword(int32_t value, const std::wstring& subkey, const std::wstring& valueName);
    // Reads a REG_DWORD value; creates the key when it is missing. The output is unchanged on failure.
    bool getDword(int32_t& value, const std::wstring& subkey, const std::wstring& valueName);
    // On a failed read the default is stored and, if that works, returned.
    bool getStringOrDefault(std::wstring& text, const std::wstring& subkey, const std::wstring& valueName,
                            const std::wstring& defaultText);
    bool getDwordOrDefault(int32_t& value, const std::wstring& subkey, const std::wstring& valueName,
                           int32_t defaultValue);

    // Enabling writes "\"<this program>\" -startup" under the product name in the run-at-log-on list;
    // disabling deletes it and always reports false.
    bool setRunAtStartup(bool enable);
    bool isRunAtStartup();

    // Deletes a key below HKEY_CURRENT_USER with everything under it; a missing key counts as deleted.
    bool deleteKeyTree(const std::wstring& keyPath);

    const std::wstring& productName() const { return productName_; }
    // "Software\Vantor\" followed by the product name.
    std::wstring productKey() const;

    static const wchar_t kRunKey[];

private:
    std::wstring keyPath(const std::wstring& subkey) const;

    std::wstring productName_;
};
