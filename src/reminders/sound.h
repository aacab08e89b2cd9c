#pragma once
// Every sound of the program: the embedded "KONTAKT" and "ERROR", or the
// user's own sound file when the settings ask for it.
#include <string>
#include <string_view>

#include "session/program_settings.h"

namespace ordalis {

// The platform's simple sound player.
class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Plays an embedded WAVE resource, asynchronously or to its end.
  virtual void PlayResource(std::wstring_view name, bool wait) = 0;
  // Plays a sound file to its end.
  virtual void PlayFile(const std::wstring& path) = 0;
};

enum class Play { kAsync, kWait };

// The user's sound file when the settings choose one and it exists (always
// played to its end), otherwise the named embedded sound as asked.
void PlayNotificationSound(Settings& settings, SoundPlayer& player, std::wstring_view name,
                           Play play);

}  // namespace ordalis
