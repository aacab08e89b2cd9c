#pragma once
// What the program knows and decides while it runs, apart from the windows
// that show it: the tasks, the preferences, the reminders, the questions
// that are open and the password. The windows read it to draw and call it
// to act; a test drives it without a window.
#include "reminders/reminder_schedule.h"
#include "session/lock.h"
#include "session/notices.h"
#include "session/program_settings.h"
#include "session/user_gate.h"
#include "storage/task_store.h"

namespace ordalis {

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
  bool windowShown = false;     // the window was on screen in this run
  bool quickAddTaken = false;   // another program holds the key of the quick add
};

}  // namespace ordalis
