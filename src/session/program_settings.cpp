#include "session/program_settings.h"

#include <map>

#include "reminders/reminder_schedule.h"
#include "storage/text_case.h"

namespace ordalis {

namespace {

constexpr std::wstring_view kSwitchNames[] = {L"Startup", L"Register", L"Symbol", L"Beenden",
                                              L"Notification"};
constexpr wchar_t kDefaultFace[] = L"Tahoma";
constexpr int kDefaultPoints = 9;

std::wstring_view NameOf(Settings::Switch which) {
  return kSwitchNames[static_cast<int>(which)];
}

}  // namespace

void Settings::Read() {
  // All in one look at the key: the values as they stand at one moment.
  const std::map<std::wstring, SettingValue> stored =
      store_.Values(SettingsRoot::kCurrentUser, kSettingsKey);
  const auto read = [&stored](std::wstring_view name) -> std::optional<SettingValue> {
    const auto found = stored.find(Lowercase(name));
    if (found == stored.end()) return std::nullopt;
    return found->second;
  };
  const auto one = [&](std::wstring_view name) {
    const auto value = read(name);
    return value && ReadsAsOne(*value);
  };
  const auto number = [&](std::wstring_view name) -> std::optional<long long> {
    const auto value = read(name);
    return value ? NumericValue(*value) : std::nullopt;
  };
  const auto text = [&](std::wstring_view name) {
    const auto value = read(name);
    return value ? TextValue(*value) : std::wstring();
  };
  hideSplash_ = one(L"Startup");
  keepTab_ = one(L"Register");
  const auto symbol = read(L"Symbol");
  trayIcon_ = !symbol || ReadsAsOne(*symbol);
  trayIconStored_ = symbol.has_value();
  keepRunning_ = one(L"Beenden");
  ownSound_ = one(L"Notification");
  const auto reminder = number(L"Reminder");
  reminder_ = reminder ? ReminderModeFromNumber(*reminder) : std::nullopt;
  const auto tab = read(L"TabStrip");
  tabStored_ = tab.has_value();
  const std::wstring tabText = tab ? TextValue(*tab) : std::wstring();
  tab_ = !tabText.empty() && tabText[0] >= L'1' && tabText[0] <= L'3'
             ? std::optional<Category>(static_cast<Category>(tabText[0] - L'0'))
             : std::nullopt;
  left_ = number(L"Left");
  top_ = number(L"Top");
  dateWidth_ = number(L"Tab_A");
  fontName_ = text(L"FontName");
  fontSize_ = text(L"FontSize");
  soundFile_ = text(L"Sounddatei");
  if (const auto key = number(L"QuickAdd"); key && *key >= 0 && *key <= 0xFFFF) {
    quickAddKey_ = static_cast<unsigned>(*key);
  }
  if (const auto snooze = number(L"Snooze"); snooze && *snooze >= 0 && *snooze < 6) {
    snoozeChoice_ = static_cast<int>(*snooze);
  }
}

void Settings::StoreQuickAddKey(unsigned key) {
  quickAddKey_ = key;
  Write(L"QuickAdd", SettingValue(static_cast<std::uint32_t>(key)));
}

void Settings::StoreSnoozeChoice(int number) {
  snoozeChoice_ = number;
  Write(L"Snooze", SettingValue(static_cast<std::uint32_t>(number)));
}

bool Settings::On(Switch which) const {
  switch (which) {
    case Switch::kHideSplash: return hideSplash_;
    case Switch::kKeepTab: return keepTab_;
    case Switch::kTrayIcon: return trayIcon_;
    case Switch::kKeepRunning: return keepRunning_;
    case Switch::kOwnSound: return ownSound_;
  }
  return false;
}

void Settings::Store(Switch which, bool on) {
  bool* const values[] = {&hideSplash_, &keepTab_, &trayIcon_, &keepRunning_, &ownSound_};
  *values[static_cast<int>(which)] = on;
  trayIconStored_ |= which == Switch::kTrayIcon;
  Write(NameOf(which), SettingValue(std::uint32_t{on}));
}

void Settings::Store(const WindowState& state) {
  if (state.place) {
    left_ = state.place->left;
    top_ = state.place->top;
    dateWidth_ = state.dateWidth;
    Write(L"Left", std::to_wstring(*left_));
    Write(L"Top", std::to_wstring(*top_));
    Write(L"Tab_A", std::to_wstring(*dateWidth_));
    Write(L"Tab_B", std::to_wstring(state.descriptionWidth));
  }
  reminder_ = state.reminder;
  Write(L"Reminder", reminder_ ? std::to_wstring(static_cast<int>(*reminder_)) : std::wstring());
  const int tab = static_cast<int>(state.tab);
  tabStored_ = true;
  tab_ = tab <= 3 ? std::optional<Category>(state.tab) : std::nullopt;
  Write(L"TabStrip", std::to_wstring(tab));
}

std::wstring Settings::ListFontName() const {
  return fontName_.empty() ? kDefaultFace : fontName_;
}

int Settings::ListFontPoints() const {
  const auto points = NumericValue(fontSize_);
  return points && *points > 0 && *points < 100 ? static_cast<int>(*points) : kDefaultPoints;
}

void Settings::StoreFont(const std::optional<std::wstring>& face, const std::wstring& size) {
  if (face) {
    fontName_ = face->empty() ? kDefaultFace : *face;
    fontSize_ = size;
    Write(L"FontName", fontName_);
    Write(L"FontSize", fontSize_);
    return;
  }
  fontName_.clear();
  fontSize_.clear();
  store_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"FontName");
  store_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"FontSize");
}

void Settings::StoreSoundFile(const std::wstring& path) {
  if (!path.empty()) {
    Write(L"Sounddatei", path);
  } else if (!soundFile_.empty() || ReadSetting(store_, L"Sounddatei")) {
    store_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"Sounddatei");
  }
  soundFile_ = path;
}

void Settings::StoreInstallFolder(const std::wstring& folder) {
  Write(L"InstallDir", folder);
}

bool Settings::Write(std::wstring_view name, const SettingValue& value) {
  return WriteSetting(store_, name, value);
}

}  // namespace ordalis
