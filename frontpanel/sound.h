// The sound layer behind the device's beeper. A beep asks the platform for a
// system sound chosen by the stored sound code; tests put a fake in its place.
#pragma once

#include <cstdint>
#include <memory>

class SoundLayer {
 public:
  virtual ~SoundLayer() = default;
  // Plays the sound for a code other than "No Sound". False only when the
  // platform really reports a failure: a machine without any sound device or
  // sound service is not a failure.
  virtual bool play(int32_t soundCode) = 0;
  // False when the last play found no sound device or sound service, so
  // nothing could be heard.
  virtual bool heard() const { return true; }
};

// The platform's own: the system message beep on Windows; elsewhere the
// desktop's event sounds, or the plain beep where there are none.
std::unique_ptr<SoundLayer> MakeSystemSoundLayer();

// The desktop event sound for a code: dialog-information, dialog-warning...
const char* DesktopSoundName(int32_t soundCode);

// One beep of the device: nothing for "No Sound", else the layer's sound.
// False when the layer reports failure.
bool SoundBeep(SoundLayer& layer, int32_t soundCode);
