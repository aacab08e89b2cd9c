#pragma once
// What the reminders say, given the mode, the time and the stored tasks with
// their flags. The window only carries it out: it asks at every tick, at a
// resume from sleep, at a clock change and at an unlock, and raises what is
// said.
#include <optional>
#include <string>
#include <vector>

#include <functional>
#include <utility>

#include "reminders/attention.h"
#include "reminders/snooze.h"
#include "session/clock.h"
#include "session/shown_date.h"
#include "session/user_gate.h"
#include "storage/task_file.h"

namespace ordalis {

// The reminder modes as the user picks them; kNone while no option is
// selected. The values are those the settings store keeps.
enum class ReminderMode { kNone = 0, kHourly = 1, kRelevant = 2, kNever = 3 };

// The mode a stored number stands for; nothing for any other number.
std::optional<ReminderMode> ReminderModeFromNumber(long long number);

// Which of the two reminder checks run: the hourly one and the due check.
// Each has a timer that waits for the check's next moment (the next full
// hour; the next task's minute), not a tick. "nie erinnern" runs neither.
struct ReminderChecks {
  bool hourly = false;
  bool due = false;
  bool operator==(const ReminderChecks&) const = default;
};
ReminderChecks ChecksOf(ReminderMode mode);

// What the reminders read of the task file at a check: the important tasks
// with their stored flags and snoozes, and whether any task is open at all
// (the hourly reminder speaks only then, whatever tab the user looks at).
struct ReminderTasks {
  std::vector<TaskRow> important;
  ReminderFlags flags;
  bool anyOpen = false;
  Snoozes snoozes;
};
ReminderTasks ReminderTasksOf(std::string_view text);

// A task stays owed for this long after its time: a PC off over a long
// weekend still reminds, a task of last month does not.
inline constexpr long long kDueWindowMinutes = 7 * 24 * 60;

// The checks: the full hour, the important tasks due, and the snoozed
// tasks whose time has come (its own timer, in the modes that remind).
enum class ReminderCheck { kHour, kDue, kSnooze };

// What a check says.
struct ReminderAnswer {
  enum class Action {
    kNothing,
    kWaitForUser,    // held until the open question closes
    kWaitForScreen,  // held while a full-screen program runs; look again later
    kRemind,         // sound, notification and the window: the due tasks, or the hour
  };
  Action action = Action::kNothing;
  std::vector<TaskRow> due;  // the due check's tasks, the first to select
};

// The important tasks whose time has passed: a restore keeps their
// reminders given, so that a file of this morning does not ring again.
std::vector<TaskRow> PassedTasks(const std::vector<TaskRow>& important, const LocalTime& now);

class ReminderSchedule {
 public:
  ReminderMode Mode() const { return mode_; }
  void SetMode(ReminderMode mode) { mode_ = mode; }

  // The two checks. Arming the hour notes the hour it starts in; stopping
  // a check drops what it owed.
  ReminderChecks Checks() const { return checks_; }
  void SetChecks(ReminderChecks checks, const LocalTime& now);

  // A check: what to remind now, or nothing. Under an open question the
  // check is held by the gate and runs again when the question closes;
  // while the user runs a full-screen program it waits (Windows is asked
  // only when there is something to remind of). The tasks are read only
  // when they are needed; nothing read means nothing to remind.
  ReminderAnswer Tick(ReminderCheck check, const LocalTime& now, UserGate& gate,
                      UserAttention& attention,
                      const std::function<std::optional<ReminderTasks>()>& read);
  // The hourly reminder was shown: the window stays in front with it, and
  // the hour's timer rests until the window is closed again.
  void HourShown() { checks_.hourly = false; }
  // "Später erinnern" on the hourly reminder: the next full hour passes
  // without one.
  void SkipNextHour(const LocalTime& now);

  // The strip a reminder shows, until the user answers it or closes it.
  const std::optional<ReminderBar>& Bar() const { return bar_; }
  void ShowBar(ReminderBar bar) { bar_ = std::move(bar); }
  void CloseBar() { bar_.reset(); }

  // Whether "Später erinnern" fits the task: its time has passed within the
  // catch-up window and it is not snoozed to a later time already.
  static bool Snoozable(const TaskRow& row, const Snoozes& snoozes, const LocalTime& now);
  // The earliest snooze still to come, for the one timer that waits for it.
  std::optional<long long> NextSnooze(const ReminderTasks& tasks, const LocalTime& now) const;
  // The minute the due check has something to find next: the earliest
  // important task that carries no flag and no snooze, within the catch-up
  // window; one due already gives the present minute.
  std::optional<long long> NextDue(const ReminderTasks& tasks, const LocalTime& now) const;
  // Snoozes that were stored again: an earlier ring kept for the run no
  // longer hides them.
  void Snoozed(const std::vector<TaskRow>& rows);

  // The first task of the last reminder, for a click on its notification.
  std::optional<TaskRow> RemindedTask() const;
  void NoteReminded(const std::vector<TaskRow>& due);
  // Whether the row is one of the last reminder's tasks, as it was then:
  // the list marks them all, the first one selected.
  bool WasReminded(const TaskRow& row) const;
  // The user cancelled the password of a reminder: its task waits to be
  // shown the next time the window is opened. Taken once.
  void WaitForWindow() { waitsForWindow_ = true; }
  bool TakeWaitingForWindow() { return std::exchange(waitsForWindow_, false); }
  // Flags that could not be stored hold for the run: the task rings once.
  void KeepFlagged(const std::vector<TaskRow>& rows);

  // The important tasks due now, in the list's date order (on one date in
  // key order): their date and time have passed, within the last seven
  // days, and they carry no flag "R"; a snoozed task instead once its
  // snooze time has come, within the same seven days, and never before it.
  // Several are reminded together; the first of them is the one to select.
  static std::vector<TaskRow> DueTasks(std::vector<TaskRow> important, const ReminderFlags& flags,
                                       const LocalTime& now, const Snoozes& snoozes = {});

  // At a start: in "bei relevanten Meldungen" every task due as above (also
  // those missed while the PC was off) unless `withMissed` is false; in the
  // other modes, and without the missed ones, an important task of this
  // very minute not yet reminded.
  std::vector<TaskRow> DueAtStart(const ReminderTasks& tasks, const LocalTime& now,
                                  bool withMissed = true) const;

  // The hourly reminder. Arming notes the hour it starts in; a check says
  // yes once for each new hour reached since, also when the hour was crossed
  // while the PC slept. A clock set back an hour (or the hour repeated when
  // daylight saving ends) does not ring the same hour twice.
  void ArmHourly(const LocalTime& now);
  bool HourDue(const LocalTime& now);

 private:
  // The stored flags with those kept for the run, and the snoozes without
  // those rung already.
  ReminderFlags FlagsWithKept(const ReminderTasks& tasks) const;
  Snoozes SnoozesWithoutKept(const ReminderTasks& tasks) const;

  ReminderMode mode_ = ReminderMode::kNever;
  ReminderChecks checks_;
  std::optional<long long> lastHour_;  // the latest hour the hourly check saw
  bool hourOwed_ = false;              // a full hour waits for its reminder
  std::vector<TaskRow> reminded_;
  bool waitsForWindow_ = false;
  std::vector<TaskRow> kept_;          // reminded, but the flag could not be stored
  std::optional<long long> skipHour_;  // the full hour "Später erinnern" passes over
  std::optional<ReminderBar> bar_;
};

// The text of the notification that goes with a reminder: each task due
// with its date as the user reads it, its time and description, a line
// each, as many as the notification holds (255 characters); while the
// password is pending only that a task is due. The hourly reminder names no
// task.
std::string ReminderNotice(const std::vector<TaskRow>& due, bool locked,
                           const DateFormatter& format);

// A task's date and time as a minute number (session/clock), in the stored
// form or written by hand with one-digit parts; the start of its day when
// its time cannot be read, and nothing when its date cannot be read.
std::optional<long long> TaskMinute(const Task& task);

}  // namespace ordalis
