#include "reminders/sound.h"

namespace ordalis {

void PlayNotificationSound(SettingsStore& settings, SoundPlayer& player, std::wstring_view name,
                           Play play) {
  std::wstring file;
  const std::optional<SettingValue> notification = ReadSetting(settings, L"Notification");
  if (notification && ReadsAsOne(*notification)) {
    if (const std::optional<SettingValue> path = ReadSetting(settings, L"Sounddatei")) {
      file = TextValue(*path);
    }
  }
  if (!file.empty() && !settings.FileExists(file)) file.clear();
  if (file.empty()) {
    player.PlayResource(name, play == Play::kWait);
  } else {
    player.PlayFile(file);
  }
}

}  // namespace ordalis
