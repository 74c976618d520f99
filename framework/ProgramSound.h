// Sounds installed beside the program (the camera's shutter and focus sounds, the self-timer tick).
#pragma once

namespace vnt {

// A sound file installed beside the program, played without waiting; nothing when it is missing
// or the machine has no sound device.
void playProgramSound(const wchar_t* fileName);

}  // namespace vnt
