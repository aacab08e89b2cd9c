#pragma once
// What the program knows and decides while it runs, apart from the windows
// that show it: the tasks, the preferences, the reminders, the questions
// that are open and the password. The windows read it to draw and call it
// to act; a test drives it without a window.
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "reminders/reminder_schedule.h"
#include "session/lock.h"
#include "session/program_settings.h"
#include "session/user_gate.h"
#include "storage/task_store.h"

namespace ordalis {

// What the user is told when they look at the window, never over another
// program: damaged entries a load found (each once a run), lines the list
// cannot show (once a run at all), and a reminder flag that could not be
// stored (once a run).
class Notices {
 public:
  void Add(const std::vector<UnreadableEntry>& entries, bool hidden) {
    waiting_.insert(waiting_.end(), entries.begin(), entries.end());
    hiddenWaiting_ |= hidden;
  }
  void FlagNotStored(SaveResult result) {
    if (!flagTold_ && !flagFailure_) flagFailure_ = result;
  }
  bool Waiting() const { return !waiting_.empty() || hiddenWaiting_ || flagFailure_; }
  struct Tell {
    bool damaged = false;  // one message for every new damaged entry
    bool hidden = false;
    std::optional<SaveResult> flagFailure;
  };
  Tell Take() {
    Tell tell;
    for (UnreadableEntry& entry : std::exchange(waiting_, {})) {
      tell.damaged |= told_.insert(std::move(entry)).second;
    }
    tell.hidden = std::exchange(hiddenWaiting_, false) && !std::exchange(hiddenTold_, true);
    tell.flagFailure = std::exchange(flagFailure_, std::nullopt);
    flagTold_ |= tell.flagFailure.has_value();
    return tell;
  }

 private:
  std::vector<UnreadableEntry> waiting_;
  std::set<UnreadableEntry> told_;
  bool hiddenWaiting_ = false;
  bool hiddenTold_ = false;
  std::optional<SaveResult> flagFailure_;
  bool flagTold_ = false;
};

struct Session {
  Session(TaskFiles& files, SettingsStore& settingsStore) : store(files), settings(settingsStore) {}

  TaskStore store;
  Settings settings;
  ReminderSchedule schedule;
  UserGate gate;
  Lock lock;
  Notices notices;
  bool restoreOffered = false;  // the start-up's restore question was considered
  bool unreadableTold = false;  // the user knows the file cannot be read now
  bool ended = false;           // the program is ending: nothing more is shown or asked
};

}  // namespace ordalis
