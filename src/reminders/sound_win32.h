#pragma once
// The platform's simple sound player (winmm) and the embedded sounds.
#include <map>
#include <string>

#include "reminders/sound.h"

namespace ordalis {

class Win32SoundPlayer : public SoundPlayer {
 public:
  void PlayResource(std::wstring_view name, bool wait) override;
  void PlayFile(const std::wstring& path) override;

 private:
  // Each embedded sound is loaded once and kept for the program's life, so
  // an asynchronous play never outlives its bytes.
  const void* Load(std::wstring_view name);
  std::map<std::wstring, const void*, std::less<>> loaded_;
};

// At least one waveform output device.
bool HasSoundDevice();

}  // namespace ordalis
