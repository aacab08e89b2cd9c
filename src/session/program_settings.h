#pragma once
// The program's preferences as typed values, each with its default in one
// place: read once at the start and written through the settings store, so
// that what the program holds is always what is stored.
#include <optional>
#include <string>

#include "session/placement.h"
#include "session/quick_add_key.h"
#include "storage/settings.h"
#include "storage/task.h"

namespace ordalis {

enum class ReminderMode;

class Settings {
 public:
  explicit Settings(SettingsStore& store) : store_(store) {}
  SettingsStore& Registry() { return store_; }

  // Reads every value; a value that is absent or of no use keeps its
  // default.
  void Read();

  // The switches of the options, each a number 0 or 1 in the store.
  enum class Switch {
    kHideSplash,   // "Startup": no splash window at a start
    kKeepTab,      // "Register": the last tab comes back at a start
    kTrayIcon,     // "Symbol": the icon in the notification area (absent: on)
    kKeepRunning,  // "Beenden": "nie erinnern" and closing keep the program running
    kOwnSound,     // "Notification": the user's sound file instead of ours
  };
  bool On(Switch which) const;
  // On as stored, not by its default: the icon's switch is on when absent.
  bool StoredOn(Switch which) const {
    return On(which) && (which != Switch::kTrayIcon || trayIconStored_);
  }
  void Store(Switch which, bool on);

  std::optional<ReminderMode> Reminder() const { return reminder_; }
  // The tab of the last run: whether one was stored, and which tab it
  // names (none for a value that names no tab).
  bool TabStored() const { return tabStored_; }
  std::optional<Category> Tab() const { return tab_; }
  std::optional<long long> Left() const { return left_; }
  std::optional<long long> Top() const { return top_; }
  std::optional<long long> DateWidth() const { return dateWidth_; }
  // What the window keeps at a close: the mode always, the place and the
  // column widths (twips) when the window stood in its normal state. The
  // description's width is kept for older versions; this one gives the
  // description the rest of the list.
  struct WindowState {
    std::optional<ReminderMode> reminder;
    Category tab = Category::Important;
    std::optional<TwipsPoint> place;
    long long dateWidth = 0, descriptionWidth = 0;
  };
  void Store(const WindowState& state);

  // The list's font as stored (the face empty when none is), and the one
  // the list uses: the stored one when it is usable, else ours.
  const std::wstring& FontName() const { return fontName_; }
  const std::wstring& FontSizeText() const { return fontSize_; }
  std::wstring ListFontName() const;
  int ListFontPoints() const;
  // Stores a face and a size as typed, or removes both (no face).
  void StoreFont(const std::optional<std::wstring>& face, const std::wstring& size);

  // The sound file of "Notification"; empty for none. Stored empty, the
  // value goes.
  const std::wstring& SoundFile() const { return soundFile_; }
  void StoreSoundFile(const std::wstring& path);

  void StoreInstallFolder(const std::wstring& folder);

  // The last choice of "Später erinnern" ("Snooze": its number), offered
  // first the next time; 10 minutes before any.
  int SnoozeChoiceNumber() const { return snoozeChoice_; }
  void StoreSnoozeChoice(int number);

  // The key of "Neue Aufgabe von überall" ("QuickAdd", session/quick_add_key):
  // Strg+Alt+N when none is stored, 0 for none.
  unsigned QuickAddKey() const { return quickAddKey_; }
  void StoreQuickAddKey(unsigned key);

 private:
  bool Write(std::wstring_view name, const SettingValue& value);

  SettingsStore& store_;
  bool hideSplash_ = false, keepTab_ = false, trayIcon_ = true, keepRunning_ = false,
       ownSound_ = false, trayIconStored_ = false;
  std::optional<ReminderMode> reminder_;
  bool tabStored_ = false;
  std::optional<Category> tab_;
  std::optional<long long> left_, top_, dateWidth_;
  std::wstring fontName_, fontSize_, soundFile_;
  int snoozeChoice_ = 1;
  unsigned quickAddKey_ = kDefaultQuickAddKey;
};

}  // namespace ordalis
