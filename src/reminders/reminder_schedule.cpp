#include "reminders/reminder_schedule.h"

#include <algorithm>
#include <array>

#include "reminders/due_rule.h"
#include "storage/task_order.h"

namespace ordalis {

namespace {

const std::string kRemindedFlag = "R";

bool Digits(std::string_view text, size_t at, size_t count) {
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

int Number(std::string_view text, size_t at, size_t count) {
  int value = 0;
  for (size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

// N numbers separated by `separator`, each of one digit up to its widest.
template <size_t N>
std::optional<std::array<int, N>> Numbers(std::string_view text, char separator,
                                          const std::array<size_t, N>& widest) {
  std::array<int, N> numbers{};
  for (size_t i = 0; i < N; ++i) {
    const size_t end = i + 1 < N ? text.find(separator) : text.size();
    if (end == std::string_view::npos || end == 0 || end > widest[i] || !Digits(text, 0, end)) {
      return std::nullopt;
    }
    numbers[i] = Number(text, 0, end);
    text.remove_prefix(i + 1 < N ? end + 1 : end);
  }
  return numbers;
}

std::string_view FlagOf(const ReminderFlags& flags, const std::string& key) {
  const auto flag = flags.find(key);
  return flag != flags.end() ? std::string_view(flag->second) : std::string_view();
}

}  // namespace

std::optional<ReminderMode> ReminderModeFromNumber(long long number) {
  if (number < 1 || number > 3) return std::nullopt;
  return static_cast<ReminderMode>(number);
}

ReminderChecks ChecksOf(ReminderMode mode) {
  return {mode == ReminderMode::kHourly, mode == ReminderMode::kRelevant};
}

ReminderTasks ReminderTasksOf(std::string_view text) {
  return {LoadCategoryText(text, Category::Important).rows, ReminderFlagsOf(text),
          !LoadCategoryText(text, Category::All).rows.empty(), SnoozesOf(text)};
}

std::optional<long long> TaskMinute(const Task& task) {
  // The stored form, or one written by hand with one-digit parts
  // ("5-10-2027", "7:5"). A date that cannot be read is never reminded; a
  // time that cannot be read is reminded at the start of its day rather
  // than never.
  const auto date = Numbers<3>(task.date, '-', {2, 2, 4});
  if (!date || (*date)[2] < 1000) return std::nullopt;
  LocalTime at;
  at.month = (*date)[0];
  at.day = (*date)[1];
  at.year = (*date)[2];
  if (at.month < 1 || at.month > 12 || at.day < 1 || at.day > 31) return std::nullopt;
  if (const auto time = Numbers<2>(task.time, ':', {2, 2});
      time && (*time)[0] <= 23 && (*time)[1] <= 59) {
    at.hour = (*time)[0];
    at.minute = (*time)[1];
  }
  return MinuteNumber(at);
}

std::vector<TaskRow> ReminderSchedule::DueTasks(std::vector<TaskRow> important,
                                                const ReminderFlags& flags, const LocalTime& now,
                                                const Snoozes& snoozes) {
  SortRows(important, SortColumn::kDate);
  const long long minute = MinuteNumber(now);
  std::vector<TaskRow> due;
  for (TaskRow& row : important) {
    const auto snooze = snoozes.find(row.key);
    const std::optional<long long> at =
        snooze != snoozes.end() ? snooze->second : TaskMinute(row.task);
    if (!at || *at > minute || *at < minute - kDueWindowMinutes) continue;
    if (snooze == snoozes.end() && FlagOf(flags, row.key) == "R") continue;
    due.push_back(std::move(row));
  }
  return due;
}

bool ReminderSchedule::Snoozable(const TaskRow& row, const Snoozes& snoozes, const LocalTime& now) {
  const long long minute = MinuteNumber(now);
  const std::optional<long long> at = TaskMinute(row.task);
  if (row.category != Category::Important || !at || *at > minute ||
      *at < minute - kDueWindowMinutes) {
    return false;
  }
  const auto snooze = snoozes.find(row.key);
  return snooze == snoozes.end() || snooze->second <= minute;
}

std::optional<long long> ReminderSchedule::NextSnooze(const ReminderTasks& tasks,
                                                      const LocalTime& now) const {
  std::optional<long long> next;
  const long long minute = MinuteNumber(now);
  for (const auto& [key, at] : SnoozesWithoutKept(tasks)) {
    const bool ofATask = std::any_of(tasks.important.begin(), tasks.important.end(),
                                     [&](const TaskRow& row) { return row.key == key; });
    if (ofATask && at > minute && (!next || at < *next)) next = at;
  }
  return next;
}

std::optional<long long> ReminderSchedule::NextDue(const ReminderTasks& tasks,
                                                   const LocalTime& now) const {
  std::optional<long long> next;
  const long long minute = MinuteNumber(now);
  const ReminderFlags flags = FlagsWithKept(tasks);
  const Snoozes snoozes = SnoozesWithoutKept(tasks);
  for (const TaskRow& row : tasks.important) {
    const std::optional<long long> at = TaskMinute(row.task);
    if (!at || *at < minute - kDueWindowMinutes || snoozes.contains(row.key) ||
        FlagOf(flags, row.key) == "R") {
      continue;
    }
    // Due already and not reminded (stored a moment ago, or held back): now.
    const long long when = std::max(*at, minute);
    if (!next || when < *next) next = when;
  }
  return next;
}

void ReminderSchedule::Snoozed(const std::vector<TaskRow>& rows) {
  std::erase_if(kept_, [&](const TaskRow& kept) {
    return std::any_of(rows.begin(), rows.end(), [&](const TaskRow& row) {
      return row.key == kept.key && row.stored == kept.stored;
    });
  });
}

void ReminderSchedule::SkipNextHour(const LocalTime& now) {
  skipHour_ = MinuteNumber(now) / 60 + 1;
}

std::vector<TaskRow> ReminderSchedule::DueAtStart(const ReminderTasks& tasks, const LocalTime& now,
                                                  bool withMissed) const {
  const ReminderFlags flags = FlagsWithKept(tasks);
  const Snoozes snoozes = SnoozesWithoutKept(tasks);
  if (mode_ == ReminderMode::kRelevant && withMissed) {
    return DueTasks(tasks.important, flags, now, snoozes);
  }
  // A snooze whose time came while the program was not running rings in
  // every mode that reminds.
  const bool reminding = mode_ == ReminderMode::kHourly || mode_ == ReminderMode::kRelevant;
  const std::vector<TaskRow> due = DueTasks(tasks.important, flags, now, snoozes);
  std::vector<TaskRow> rows = tasks.important;
  std::erase_if(rows, [&](const TaskRow& row) {
    if (snoozes.contains(row.key)) {
      return !reminding || std::find(due.begin(), due.end(), row) == due.end();
    }
    return FlagOf(flags, row.key) == "R" || !IsDueAtStart(row.task, true, now);
  });
  SortRows(rows, SortColumn::kDate);
  return rows;
}

std::vector<TaskRow> PassedTasks(const std::vector<TaskRow>& important, const LocalTime& now) {
  std::vector<TaskRow> passed;
  for (const TaskRow& row : important) {
    if (const auto at = TaskMinute(row.task); at && *at <= MinuteNumber(now)) passed.push_back(row);
  }
  return passed;
}

void ReminderSchedule::SetChecks(ReminderChecks checks, const LocalTime& now) {
  checks_ = checks;
  // A stopped check has nothing left to raise.
  if (!checks.hourly) hourOwed_ = false;
  if (checks.hourly) ArmHourly(now);
}

ReminderAnswer ReminderSchedule::Tick(ReminderCheck check, const LocalTime& now, UserGate& gate,
                                      UserAttention& attention,
                                      const std::function<std::optional<ReminderTasks>()>& read) {
  using Action = ReminderAnswer::Action;
  const auto holdForUser = [&] {
    gate.Hold(check == ReminderCheck::kHour ? HeldEvent::kHour : HeldEvent::kDueCheck);
    return ReminderAnswer{Action::kWaitForUser, {}};
  };
  // Windows is asked about full-screen programs only when there is
  // something to remind of, not at every tick.
  const auto occupied = [&] { return attention.Occupied(); };
  if (check == ReminderCheck::kHour) {
    if (!checks_.hourly) return {};
    // The full hour is owed from its first check on, also when the user is
    // asked something then: it comes as soon as the question is answered.
    if (HourDue(now)) hourOwed_ = true;
    if (!hourOwed_) return {};
    if (gate.Asking()) return holdForUser();
    if (occupied()) return {Action::kWaitForScreen, {}};
    hourOwed_ = false;
    const std::optional<ReminderTasks> tasks = read();
    if (!tasks || !tasks->anyOpen) return {};
    return {Action::kRemind, {}};
  }
  // Snoozes ring in the modes that remind; the due check also finds them.
  if (check == ReminderCheck::kDue
          ? !checks_.due
          : mode_ == ReminderMode::kNever || mode_ == ReminderMode::kNone) {
    return {};
  }
  if (gate.Asking()) return holdForUser();
  // Read at this moment: a check held back by a dialog past midnight still
  // finds yesterday's task.
  const std::optional<ReminderTasks> tasks = read();
  if (!tasks) return {};
  const Snoozes snoozes = SnoozesWithoutKept(*tasks);
  std::vector<TaskRow> due = DueTasks(tasks->important, FlagsWithKept(*tasks), now, snoozes);
  if (check == ReminderCheck::kSnooze) {
    std::erase_if(due, [&](const TaskRow& row) { return !snoozes.contains(row.key); });
  }
  if (due.empty()) return {};
  if (occupied()) return {Action::kWaitForScreen, {}};
  return {Action::kRemind, std::move(due)};
}

std::optional<TaskRow> ReminderSchedule::RemindedTask() const {
  if (reminded_.empty()) return std::nullopt;
  return reminded_.front();
}

void ReminderSchedule::NoteReminded(const std::vector<TaskRow>& due) {
  reminded_ = due;
}

bool ReminderSchedule::WasReminded(const TaskRow& row) const {
  return std::any_of(reminded_.begin(), reminded_.end(), [&](const TaskRow& reminded) {
    return reminded.category == row.category && reminded.key == row.key &&
           reminded.stored == row.stored;
  });
}

void ReminderSchedule::KeepFlagged(const std::vector<TaskRow>& rows) {
  kept_.insert(kept_.end(), rows.begin(), rows.end());
}

Snoozes ReminderSchedule::SnoozesWithoutKept(const ReminderTasks& tasks) const {
  Snoozes snoozes = tasks.snoozes;
  // A snooze rung whose end could not be stored rang for the run.
  for (const TaskRow& kept : kept_) {
    for (const TaskRow& row : tasks.important) {
      if (row.key == kept.key && row.stored == kept.stored) snoozes.erase(row.key);
    }
  }
  return snoozes;
}

ReminderFlags ReminderSchedule::FlagsWithKept(const ReminderTasks& tasks) const {
  ReminderFlags flags = tasks.flags;
  // The flag belongs to the task under the key, not to whatever stands
  // there now.
  for (const TaskRow& kept : kept_) {
    for (const TaskRow& row : tasks.important) {
      if (row.key == kept.key && row.stored == kept.stored)
        flags.insert_or_assign(row.key, kRemindedFlag);
    }
  }
  return flags;
}

std::string ReminderNotice(const std::vector<TaskRow>& due, bool locked,
                           const DateFormatter& format) {
  if (locked) return "Eine Aufgabe ist f\xE4llig.";
  if (due.empty()) return "Es gibt offene Aufgaben.";
  constexpr size_t kRoom = 255;
  constexpr std::string_view kMore = "\n\x85";  // an ellipsis: more than fit
  std::string text;
  for (size_t i = 0; i < due.size(); ++i) {
    const Task& task = due[i].task;
    std::string line = text.empty() ? "" : "\n";
    line.append(ShownDate(task.date, format))
        .append(" ")
        .append(task.time)
        .append(" ")
        .append(task.description);
    const size_t room = i + 1 < due.size() ? kRoom - kMore.size() : kRoom;
    if (text.size() + line.size() > room) {
      // A single task longer than the room keeps its start.
      if (text.empty()) return line.substr(0, kRoom);
      return text.append(kMore);
    }
    text += line;
  }
  return text;
}

void ReminderSchedule::ArmHourly(const LocalTime& now) {
  lastHour_ = MinuteNumber(now) / 60;
}

bool ReminderSchedule::HourDue(const LocalTime& now) {
  const long long hour = MinuteNumber(now) / 60;
  if (!lastHour_) {
    lastHour_ = hour;
    return now.minute <= 1;
  }
  if (hour > *lastHour_) {
    lastHour_ = hour;
    // "Später erinnern" passes over one full hour.
    if (skipHour_ && hour <= *skipHour_) return false;
    skipHour_.reset();
    return true;
  }
  // An hour or two back is the same hours again (daylight saving, a clock
  // put right); further back the clock was wrong before, and the hours
  // count from here.
  if (hour < *lastHour_ - 2) lastHour_ = hour;
  return false;
}

}  // namespace ordalis
