#include "tests/support/WindowImage.h"

#include <string>
#include <vector>

namespace testsupport {

bool saveWindowImage(HWND window, const wchar_t* name, bool repaint) {
    wchar_t folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableW(L"SKEO_SCREENSHOT_DIR", folder, MAX_PATH) || !IsWindow(window)) return false;
    RECT rc{};
    GetWindowRect(window, &rc);
    const int width = rc.right - rc.left, height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0) return false;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!bitmap || !dc) {
        if (bitmap) DeleteObject(bitmap);
        if (dc) DeleteDC(dc);
        return false;
    }
    HGDIOBJ old = SelectObject(dc, bitmap);
    // From the screen, once the window and its children have painted: controls of a just-created
    // dialog answer WM_PRINT with nothing.
    if (repaint) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    screen = GetDC(nullptr);
    BitBlt(dc, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + stride * static_cast<DWORD>(height);
    const std::wstring path = std::wstring(folder) + L"\\" + name + L".bmp";
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    bool ok = out != INVALID_HANDLE_VALUE;
    DWORD written = 0;
    if (ok) {
        ok = WriteFile(out, &file, sizeof file, &written, nullptr) && WriteFile(out, &header, sizeof header, &written, nullptr) &&
             WriteFile(out, bits, stride * static_cast<DWORD>(height), &written, nullptr);
        CloseHandle(out);
    }
    DeleteObject(bitmap);
    return ok;
}

}  // namespace testsupport
