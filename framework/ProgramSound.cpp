#include "framework/ProgramSound.h"

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "framework/ModulePath.h"

namespace vnt {

void playProgramSound(const wchar_t* fileName) {
    if (!fileName || !*fileName) return;
    std::wstring path = modulePath();
    if (path.empty()) return;
    path = path.substr(0, path.find_last_of(L'\\') + 1) + fileName;
    // No default sound in its place: a missing file stays silent rather than beeping.
    sndPlaySoundW(path.c_str(), SND_ASYNC | SND_NODEFAULT | SND_FILENAME);
}

}  // namespace vnt
