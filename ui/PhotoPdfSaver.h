// "Save as PDF...": asks where with the system's save dialog, then writes the photos as one PDF,
// one page each, with the system's progress dialog (cancellable) for more than a few photos. A
// failure leaves no file behind and is told in one message box.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class PhotoPdfSaver {
public:
    static constexpr size_t kProgressFrom = 21;  // photos; fewer are written before anyone would wait

    // Photos in the order of their pages; the dialog starts in the library folder with a name made
    // from the first photo's. True when the file was written.
    static bool save(HWND owner, const std::vector<std::wstring>& photos, const std::wstring& libraryFolder);

    // The name offered for the PDF of photos starting with this one: its name with ".pdf".
    static std::wstring defaultName(const std::wstring& firstPhoto);
    // Writes without asking where; the owner is the progress dialog's and the message box's.
    static bool write(HWND owner, const std::vector<std::wstring>& photos, const std::wstring& target);
};
