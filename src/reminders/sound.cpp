#include "reminders/sound.h"

namespace ordalis {

void PlayNotificationSound(Settings& settings, SoundPlayer& player, std::wstring_view name,
                           Play play) {
  std::wstring file = settings.On(Settings::Switch::kOwnSound) ? settings.SoundFile() : L"";
  if (!file.empty() && !settings.Registry().FileExists(file)) file.clear();
  if (file.empty()) {
    player.PlayResource(name, play == Play::kWait);
  } else {
    player.PlayFile(file);
  }
}

}  // namespace ordalis
