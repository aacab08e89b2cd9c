#include "storage/task_store.h"

#include <set>

#include "session/shown_date.h"
#include "storage/profile_format.h"
#include "storage/profile_text.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"

namespace ordalis {

namespace {

inline constexpr char kSingleBackup[] = "Vemra.bak";
// How often a change is made again on a file another program replaced
// meanwhile before it gives up.
constexpr int kAttempts = 5;

// The text without the row's entry, its rule and, for an important task,
// its flag and its snooze.
std::string WithoutTask(std::string_view text, const TaskRow& row) {
  std::string changed = ReplaceProfileValue(text, SectionOf(row.category), row.key, std::nullopt);
  changed =
      ReplaceProfileValue(changed, kRepeatSection, RepeatKey(row.category, row.key), std::nullopt);
  if (row.category != Category::Important) return changed;
  changed = ReplaceProfileValue(changed, kSnoozeSection, row.key, std::nullopt);
  return ReplaceProfileValue(changed, kReminderSection, row.key, std::nullopt);
}

std::string Flag(char flag) {
  return ScrambleText(std::string_view(&flag, 1)).value_or(std::string());
}

}  // namespace

std::optional<CategoryLoad> TaskStore::Load(Category view) {
  std::optional<std::string> text = files_.Data().ReadText();
  const bool exists = files_.DataExists();
  // A file that was there and is gone now is away for a moment (renamed by
  // a sync client, replaced by an editor), not empty.
  if (!text || (seen_ && !exists)) {
    readable_ = false;
    return std::nullopt;
  }
  readable_ = true;
  seen_ = seen_ || exists;
  CategoryLoad load = LoadCategoryText(*text, view);
  known_ = std::move(text);
  return load;
}

std::optional<std::string> TaskStore::ReadNow() {
  return files_.Data().ReadText();
}

std::string TaskStore::StoredPassword() {
  return StoredPasswordOf(ReadNow().value_or(std::string()));
}

bool TaskStore::ChangedOutside() {
  // A file that was there and is gone is a change the list must show.
  if (seen_ && !files_.DataExists()) return true;
  const std::optional<std::string> text = files_.Data().ReadText();
  return text && text != known_;
}

template <typename Editing>
SaveResult TaskStore::Change(bool needsRead, Editing&& edit, bool toHistory) {
  storedKey_.clear();
  if (needsRead) {
    if (!readable_) return SaveResult::kUnreadable;
    if (seen_ && !files_.DataExists()) {
      readable_ = false;
      return SaveResult::kUnreadable;
    }
  }
  // Another program that replaced the file while the change was made is
  // never overwritten: the change is made again on what it wrote.
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    storedKey_.clear();
    if (needsRead && seen_ && !files_.DataExists()) {
      readable_ = false;
      return SaveResult::kUnreadable;
    }
    ProfileFile* staging = files_.BeginChange();
    if (!staging) return SaveResult::kWriteFailed;
    const std::optional<std::string> text = staging->ReadText();
    if (!text) {
      files_.AbandonChange();
      return SaveResult::kWriteFailed;
    }
    Edited edited = edit(*text);
    if (edited.result != SaveResult::kSaved || edited.text == *text) {
      files_.AbandonChange();
      if (edited.result != SaveResult::kSaved) storedKey_.clear();
      return edited.result;
    }
    // No change without the file as it was right before it: a backup that
    // cannot be made refuses the change, and the user is told why. The
    // history takes the file once per change, not once per attempt.
    if (!staging->ReplaceText(edited.text) || !files_.Backup(toHistory && attempt == 0)) {
      files_.AbandonChange();
      storedKey_.clear();
      return SaveResult::kWriteFailed;
    }
    const TaskFiles::Commit commit = files_.CommitChange(*text);
    if (commit == TaskFiles::Commit::kFileChanged) {
      files_.AbandonChange();
      continue;
    }
    if (commit == TaskFiles::Commit::kFailed) {
      files_.AbandonChange();
      storedKey_.clear();
      return SaveResult::kWriteFailed;
    }
    known_ = std::move(edited.text);
    seen_ = true;
    readable_ = true;
    return SaveResult::kSaved;
  }
  storedKey_.clear();
  return SaveResult::kWriteFailed;
}

bool TaskStore::Unchanged(std::string_view text, const TaskRow& row) {
  if (row.key.empty()) return false;
  return FirstProfileValue(text, SectionOf(row.category), row.key) == row.stored;
}

TaskStore::Edited TaskStore::AddValue(std::string_view text, Category category,
                                      const std::string& value) {
  const std::string_view section = SectionOf(category);
  // A key any line of the section uses is taken, also one the list cannot
  // show (a doubled key, an unreadable value).
  std::set<int> used;
  const SectionLines lines = FindSection(text, section);
  for (const auto* part : {&lines.first, &lines.others}) {
    for (const ProfileLine& line : *part) {
      if (line.kind != ProfileLine::Kind::kEntry) continue;
      if (const auto number = TaskKeyNumber(line.name)) used.insert(*number);
    }
  }
  int number = kFirstTaskKey;
  while (used.contains(number)) ++number;
  if (number >= kFirstTaskKey + kMaxTasks) return {SaveResult::kTooMany, {}};
  storedKey_ = std::to_string(number);
  std::string changed = ReplaceProfileValue(text, section, storedKey_, value);
  // A rule left under the key by another program belongs to no task now.
  changed =
      ReplaceProfileValue(changed, kRepeatSection, RepeatKey(category, storedKey_), std::nullopt);
  if (category == Category::Important) {
    changed = ReplaceProfileValue(changed, kReminderSection, storedKey_, Flag('A'));
    changed = ReplaceProfileValue(changed, kSnoozeSection, storedKey_, std::nullopt);
  }
  return {SaveResult::kSaved, std::move(changed)};
}

std::string TaskStore::WithRule(std::string_view text, Category category, const std::string& key,
                                const RepeatRule& rule) {
  return ReplaceProfileValue(text, kRepeatSection, RepeatKey(category, key),
                             rule.kind == RepeatKind::kNever
                                 ? std::nullopt
                                 : std::optional<std::string>(RepeatValue(rule)));
}

SaveResult TaskStore::Add(Category category, const Task& task, const RepeatRule& rule) {
  if (category == Category::All) category = Category::Important;
  const std::optional<std::string> value = EncodeTask(task);
  if (!value) return SaveResult::kRefused;
  return Change(true, [&](std::string_view text) {
    Edited added = AddValue(text, category, *value);
    if (added.result == SaveResult::kSaved) {
      added.text = WithRule(added.text, category, storedKey_, rule);
    }
    return added;
  });
}

SaveResult TaskStore::Edit(const TaskRow& row, const Task& task,
                           const std::optional<RepeatRule>& rule) {
  const std::optional<std::string> value = EncodeTask(task);
  if (!value) return SaveResult::kRefused;
  return Change(true, [&](std::string_view text) -> Edited {
    if (!Unchanged(text, row)) return {SaveResult::kChangedOutside, {}};
    std::string changed = ReplaceProfileValue(text, SectionOf(row.category), row.key, *value);
    if (rule) changed = WithRule(changed, row.category, row.key, *rule);
    // A task is reminded again only when it is due at another time.
    if (row.category == Category::Important &&
        (task.date != row.task.date || task.time != row.task.time)) {
      changed = ReplaceProfileValue(changed, kReminderSection, row.key, Flag('A'));
      changed = ReplaceProfileValue(changed, kSnoozeSection, row.key, std::nullopt);
    }
    storedKey_ = row.key;
    return {SaveResult::kSaved, std::move(changed)};
  });
}

SaveResult TaskStore::Remove(const TaskRow& row) {
  return Change(true, [&](std::string_view text) -> Edited {
    const std::string_view section = SectionOf(row.category);
    const std::optional<std::string> now = FirstProfileValue(text, section, row.key);
    // Gone already: there is nothing left to do.
    if (!now) return {SaveResult::kSaved, std::string(text)};
    if (*now != row.stored) return {SaveResult::kChangedOutside, {}};
    return {SaveResult::kSaved, WithoutTask(text, row)};
  });
}

SaveResult TaskStore::MoveToDone(const TaskRow& row, const LocalTime& today) {
  return Change(true, [&](std::string_view text) -> Edited {
    if (row.category == Category::Done || !Unchanged(text, row)) {
      return {SaveResult::kChangedOutside, {}};
    }
    // The stored value moves as it stands, in the same change that takes it
    // out of its category: never in two categories, never in none.
    Edited added = AddValue(text, Category::Done, row.stored);
    if (added.result != SaveResult::kSaved) return added;
    const std::string doneKey = storedKey_;
    const RepeatRules rules = RepeatRulesOf(text);
    const auto rule = rules.find(RepeatKey(row.category, row.key));
    added.text = WithoutTask(added.text, row);
    if (rule == rules.end()) return added;
    // The series goes on in the same change: its next task, with the same
    // time, description and rule, and no reminder given yet. A date the
    // series cannot count from ends it.
    const DecodedTask stored = DecodeTask(row.stored);
    const std::optional<LocalTime> day = StoredDay(stored.task.date);
    const std::optional<LocalTime> next =
        day ? NextInSeries(rule->second, *day, today) : std::nullopt;
    if (!next) return added;
    const std::optional<std::string> value =
        EncodeTask({FormatDate(*next), stored.task.time, stored.task.description});
    Edited following = value ? AddValue(added.text, row.category, *value) : Edited{};
    if (!value || following.result != SaveResult::kSaved) return following;
    following.text = WithRule(following.text, row.category, storedKey_, rule->second);
    storedKey_ = doneKey;
    return following;
  });
}

SaveResult TaskStore::SetReminderFlags(const std::vector<TaskRow>& rows, char flag) {
  return Mark(rows, flag, std::nullopt);
}

SaveResult TaskStore::Snooze(const std::vector<TaskRow>& rows, long long until) {
  return Mark(rows, 'R', SnoozeValue(until));
}

SaveResult TaskStore::Mark(const std::vector<TaskRow>& rows, char flag,
                           const std::optional<std::string>& snooze) {
  const std::string stored = Flag(flag);
  if (stored.empty() || (snooze && snooze->empty())) return SaveResult::kRefused;
  return Change(
      true,
      [&](std::string_view text) -> Edited {
        Edited edited{SaveResult::kChangedOutside, std::string(text)};
        for (const TaskRow& row : rows) {
          // The flag and the snooze belong to the task under the key, not to
          // whatever stands there now.
          if (row.category != Category::Important || !Unchanged(text, row)) continue;
          edited.text = ReplaceProfileValue(edited.text, kReminderSection, row.key, stored);
          edited.text = ReplaceProfileValue(edited.text, kSnoozeSection, row.key, snooze);
          edited.result = SaveResult::kSaved;
        }
        return edited;
      },
      false);  // a reminder's marks alone make no history entry
}

SaveResult TaskStore::SetPassword(std::string_view password) {
  std::optional<std::string> stored;
  if (!password.empty()) {
    stored = ScrambleText(password);
    if (!stored) return SaveResult::kRefused;
  }
  return Change(true, [&](std::string_view text) -> Edited {
    return {SaveResult::kSaved,
            ReplaceProfileValue(text, SectionOf(Category::Others), kPasswordKey, stored)};
  });
}

SaveResult TaskStore::Restore(std::string_view backupName, const RemindedRows& reminded) {
  std::optional<std::string> backup = files_.ReadBackup(backupName);
  if (!backup) return SaveResult::kBackupGone;
  std::string restored = *backup;
  if (reminded) {
    for (const TaskRow& row : reminded(*backup)) {
      if (row.category != Category::Important || !Unchanged(*backup, row)) continue;
      restored = ReplaceProfileValue(restored, kReminderSection, row.key, Flag('R'));
    }
  }
  return Change(false, [&](std::string_view) { return Edited{SaveResult::kSaved, restored}; });
}

std::vector<BackupEntry> TaskStore::Backups() {
  std::vector<BackupEntry> backups;
  for (std::string& name : files_.BackupNames()) {
    const std::optional<std::string> text = files_.ReadBackup(name);
    const size_t all = text ? CountTasks(*text).tasks : 0;
    const size_t done = text ? LoadCategoryText(*text, Category::Done).rows.size() : 0;
    backups.push_back({std::move(name), all - done, done});
  }
  return backups;
}

std::optional<TaskStore::RestoreOffer> TaskStore::RestoreCandidate() {
  // A missing data file reads as an empty one: backups that hold tasks are
  // offered for it too.
  const std::optional<std::string> text = files_.Data().ReadText();
  if (!text) return std::nullopt;
  const TaskCount count = CountTasks(*text);
  if (!text->empty() && (count.tasks > 0 || count.unreadable == 0)) return std::nullopt;
  std::vector<std::string> names = files_.BackupNames();
  names.push_back(kSingleBackup);
  for (std::string& name : names) {
    const std::optional<std::string> backup = files_.ReadBackup(name);
    const size_t tasks = backup ? CountTasks(*backup).tasks : 0;
    if (tasks > 0) return RestoreOffer{std::move(name), tasks, !files_.DataExists()};
  }
  return std::nullopt;
}

}  // namespace ordalis
