// Pictures and folders shared by the benchmarks that write photos.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// A 24-bit frame with detail everywhere, so the encoder does real work; seeds give different ones.
inline std::vector<BYTE> noisyFrame(int w, int h, int seed = 0) {
    std::vector<BYTE> frame(static_cast<size_t>(w) * h * 3);
    uint32_t noise = 12345u + static_cast<uint32_t>(seed);
    for (size_t i = 0; i < frame.size(); ++i) {
        noise = noise * 1103515245u + 12345u;
        const size_t pixel = i / 3;
        frame[i] = static_cast<BYTE>((pixel % w) / 7 + (pixel / w) / 5 + seed * 40 + ((noise >> 16) & 15));
    }
    return frame;
}

// A folder of that name in the temporary folder, ending in "\".
inline std::wstring temporaryFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + name + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace bench
