#include "session/notices.h"

#include <algorithm>
#include <utility>

#include "reminders/reminder_schedule.h"

namespace ordalis {

namespace {

bool Digits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

void Notices::Add(const std::vector<UnreadableEntry>& entries, bool hidden) {
  waiting_.insert(waiting_.end(), entries.begin(), entries.end());
  hiddenWaiting_ |= hidden;
}

void Notices::AddOddForms(const std::vector<TaskRow>& rows) {
  for (const TaskRow& row : rows) {
    if (!InStoredForm(row.task) && !oddTold_.contains(row.stored)) oddWaiting_.push_back(row);
  }
}

void Notices::FlagNotStored(SaveResult result) {
  if (!flagTold_ && !flagFailure_) flagFailure_ = result;
}

bool Notices::Waiting() const {
  return !waiting_.empty() || !oddWaiting_.empty() || hiddenWaiting_ || flagFailure_;
}

Notices::Tell Notices::Take() {
  Tell tell;
  for (UnreadableEntry& entry : std::exchange(waiting_, {})) {
    tell.damaged |= told_.insert(std::move(entry)).second;
  }
  for (TaskRow& row : std::exchange(oddWaiting_, {})) {
    if (oddTold_.insert(row.stored).second) tell.oddForms.push_back(std::move(row.task));
  }
  tell.hidden = std::exchange(hiddenWaiting_, false) && !std::exchange(hiddenTold_, true);
  tell.flagFailure = std::exchange(flagFailure_, std::nullopt);
  flagTold_ |= tell.flagFailure.has_value();
  return tell;
}

bool InStoredForm(const Task& task) {
  const std::string_view date = task.date, time = task.time;
  const bool shaped = date.size() == 10 && date[2] == '-' && date[5] == '-' &&
                      Digits(date.substr(0, 2)) && Digits(date.substr(3, 2)) &&
                      Digits(date.substr(6));
  // The shape alone lets "13-40-2026" through; the reading of the
  // reminders does not.
  if (!shaped || !TaskMinute(task)) return false;
  // A task without a time has none written.
  if (time.empty()) return true;
  return time.size() == 5 && time[2] == ':' && Digits(time.substr(0, 2)) &&
         Digits(time.substr(3)) && (time[0] - '0') * 10 + (time[1] - '0') <= 23 && time[3] <= '5';
}

std::string OddFormsText(const std::vector<Task>& tasks) {
  std::string text =
      "Bei diesen Aufgaben stehen Datum oder Uhrzeit nicht so in der Datei, wie Ordalis sie "
      "schreibt:\n\n";
  constexpr size_t kNamed = 10;
  for (size_t i = 0; i < tasks.size() && i < kNamed; ++i) {
    text += tasks[i].date + "  " + tasks[i].time + "  " + tasks[i].description + "\n";
  }
  if (tasks.size() > kNamed) {
    text += "und " + std::to_string(tasks.size() - kNamed) + " weitere\n";
  }
  text +=
      "\nOrdalis zeigt sie so, wie sie dort stehen. An eine wichtige Aufgabe, deren Uhrzeit es "
      "nicht lesen kann, erinnert es zu Beginn ihres Tages; an eine, deren Datum es nicht lesen "
      "kann, erinnert es nicht. Mit \x84"
      "Bearbeiten\x93 geben Sie Datum und Uhrzeit neu ein.";
  return text;
}

}  // namespace ordalis
