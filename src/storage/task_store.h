#pragma once
// The tasks of the data file and every change the user makes to them.
//
// Each user action is one change of the file's text with one backup and one
// rename. An action touches only the lines it is about, in the file as it
// stands at that moment: tasks another program added since the last read
// stay, and a task another program changed or removed is never overwritten.
// Nothing is written after a read failed until a read succeeds again, so a
// file that was held or away for a moment is never taken for an empty one.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/task_file.h"

namespace ordalis {

struct BackupEntry {
  std::string name;  // the file's name in the history
  size_t tasks = 0;  // open: "Wichtiges" and "Sonstiges"
  size_t done = 0;   // "Erledigtes"
};

class TaskStore {
 public:
  explicit TaskStore(TaskFiles& files) : files_(files) {}
  TaskStore(const TaskStore&) = delete;
  TaskStore& operator=(const TaskStore&) = delete;

  TaskFiles& Files() { return files_; }

  // Reads the file and gives a view's rows; nothing when the file cannot be
  // read now (held by another program, away for a moment).
  std::optional<CategoryLoad> Load(Category view);
  // The file's text as it stands now, for what the window does not show
  // (the due checks, the password): the list's state stays as it was.
  std::optional<std::string> ReadNow();
  // The stored password, still scrambled; empty when none is set or the
  // file cannot be read.
  std::string StoredPassword();
  // The file could be read at the last attempt.
  bool Readable() const { return readable_; }
  // The file now differs from what the store last read or wrote: another
  // program changed it, or removed it after it was seen. False while it
  // cannot be read.
  bool ChangedOutside();

  // The user's actions. On kSaved, StoredKey() names the key the task has
  // now (Add, Edit, MoveToDone: in its new category).
  // A task of a series carries its rule; an edit without one keeps the
  // rule the task has.
  SaveResult Add(Category category, const Task& task, const RepeatRule& rule = {});
  SaveResult Edit(const TaskRow& row, const Task& task,
                  const std::optional<RepeatRule>& rule = std::nullopt);
  // Deleting a task of a series ends the series.
  SaveResult Remove(const TaskRow& row);
  // A task of a series leaves the next one of the series in its category,
  // dated after both its own date and `today`, in the same change.
  SaveResult MoveToDone(const TaskRow& row, const LocalTime& today = {});
  // Flags several tasks reminded together, in one change; a snooze they had
  // is over. A task another program changed or removed meanwhile is left
  // out; kChangedOutside when that leaves none.
  SaveResult SetReminderFlags(const std::vector<TaskRow>& rows, char flag);
  // Reminded now, the tasks are reminded again once at the minute `until`
  // (session/clock); their date and time stay as they are. Left out as above.
  SaveResult Snooze(const std::vector<TaskRow>& rows, long long until);
  SaveResult SetPassword(std::string_view password);
  // Puts a backup in place of the data file; the file as it was goes to the
  // history first, so a restore can itself be undone.
  // `reminded` names the restored tasks whose reminder was given already:
  // they keep it, in the same change.
  using RemindedRows = std::function<std::vector<TaskRow>(std::string_view text)>;
  SaveResult Restore(std::string_view backupName, const RemindedRows& reminded = {});
  const std::string& StoredKey() const { return storedKey_; }

  // The backups of the history, newest first, with the tasks each holds.
  std::vector<BackupEntry> Backups();

  // The newest backup that holds tasks when the data file is missing, empty
  // (0 bytes) or every task entry of it is unreadable; nothing otherwise.
  struct RestoreOffer {
    std::string name;
    size_t tasks = 0;
    bool missing = false;  // there is no data file at all
  };
  std::optional<RestoreOffer> RestoreCandidate();

 private:
  // The new text for the file's text, or a result other than kSaved.
  struct Edited {
    SaveResult result = SaveResult::kSaved;
    std::string text;
  };
  // `needsRead`: the change builds on what was read (not a restore);
  // `toHistory`: the history keeps the file as it was (not for marks alone).
  template <typename Editing>
  SaveResult Change(bool needsRead, Editing&& edit, bool toHistory = true);
  // The text with the rule of the task under `key` (kNever: none).
  static std::string WithRule(std::string_view text, Category category, const std::string& key,
                              const RepeatRule& rule);
  // Sets the reminder flag of the rows and their snooze (none: removed).
  SaveResult Mark(const std::vector<TaskRow>& rows, char flag,
                  const std::optional<std::string>& snooze);
  // The first value of the row's key in its section, as read, is still the
  // one the row was read with.
  static bool Unchanged(std::string_view text, const TaskRow& row);
  // Adds a stored value under the first free key of the category.
  Edited AddValue(std::string_view text, Category category, const std::string& value);

  TaskFiles& files_;
  std::optional<std::string> known_;  // the text last read or written
  bool readable_ = true;
  bool seen_ = false;  // the data file was there at a read of this run
  std::string storedKey_;
};

}  // namespace ordalis
