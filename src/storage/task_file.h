#pragma once
// The task file: loading a category, the reminder flags of the important
// tasks and the access password.
//
// Every change reaches the data file whole or not at all: it is made on a
// staging copy that then replaces the data file in one rename, so a crash at
// any point leaves either the old or the new state.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/repeat_rule.h"
#include "storage/task.h"

namespace ordalis {

struct ProfileEntry {
  std::string key;
  std::string value;
  bool operator==(const ProfileEntry&) const = default;
};

// One profile file: values read through the platform's profile functions,
// changes made to the whole text, so that every line the program does not
// change stays as it stands.
class ProfileFile {
 public:
  virtual ~ProfileFile() = default;
  // The value, or the empty text when the key or the section is absent.
  virtual std::string Read(std::string_view section, std::string_view key) = 0;
  // Every entry of a section in file order, each value as Read gives it;
  // none when the section is absent. One call for a whole section.
  virtual std::vector<ProfileEntry> ReadSection(std::string_view section) = 0;
  // The whole file as the bytes the program means ("" when there is no
  // file); nullopt when it cannot be read.
  virtual std::optional<std::string> ReadText() = 0;
  // Replaces the whole file by these bytes.
  virtual bool ReplaceText(std::string_view text) = 0;
};

// Why the last change of the task files failed, as far as the program
// could find out.
enum class WriteFailure {
  kNone,
  kFolderNotWritable,   // no file can be made in the program folder
  kDiskFull,            // no room left on the drive
  kDataFileInUse,       // read-only, or held open by another program
  kDataFileUnreadable,  // the data file could not be read
  kForeignCharacters,   // a Unicode file holds characters Windows-1252 lacks
  kBackupInTheWay,      // a folder named "Vemra.bak", or a file named "Sicherungen"
  kOther,
};
// The cause in a sentence for the user (Windows-1252).
const char* WriteFailureText(WriteFailure failure);

// The files of the program folder: the data file, its backup and the staging
// copy through which every change reaches the data file.
class TaskFiles {
 public:
  virtual ~TaskFiles() = default;
  virtual ProfileFile& Data() = 0;
  // Keeps the data file as it is now over the single backup and, with
  // `toHistory`, as the newest of the history. True when it is kept, or
  // when there is no data file to keep; false, with LastFailure(), when it
  // could not be kept.
  virtual bool Backup(bool toHistory) = 0;
  // Discards a staging copy left by an interrupted change and starts a new
  // one from the data file (empty when there is no data file yet).
  virtual ProfileFile* BeginChange() = 0;
  // Flushes the staging copy to disk and puts it in place of the data file,
  // but only while the data file still holds `wasRead` (the text the change
  // was made on): a file another program wrote meanwhile is never replaced.
  enum class Commit { kDone, kFileChanged, kFailed };
  virtual Commit CommitChange(std::string_view wasRead) = 0;
  // Drops the staging copy; the data file stays as it was.
  virtual void AbandonChange() = 0;
  // Why the last failed step failed; kNone after a change that went through.
  virtual WriteFailure LastFailure() const { return WriteFailure::kNone; }
  // Whether the data file is there now (a file renamed away for a moment
  // is not).
  virtual bool DataExists() { return true; }
  // The backups of the history, newest first, by name, and the text of one
  // of them ("Vemra.bak" names the single backup beside the data file), as
  // the program means its bytes.
  virtual std::vector<std::string> BackupNames() { return {}; }
  virtual std::optional<std::string> ReadBackup(std::string_view) { return std::nullopt; }
};

inline constexpr int kFirstTaskKey = 100;
inline constexpr int kMaxTasks = 100;  // keys "100" to "199"
inline constexpr std::string_view kPasswordKey = "200";
inline constexpr std::string_view kReminderSection = "Reminder";
// When an important task is to be reminded again ("Später erinnern"), keyed
// like its reminder flag.
inline constexpr std::string_view kSnoozeSection = "Snooze";
// The rule of a recurring task, keyed by its category's section and its key
// ("Important.100"): both open categories can hold a series.
inline constexpr std::string_view kRepeatSection = "Repeat";

// One entry of the list: the task, the category it is stored in and the key
// it was read under (empty for an entry not stored yet).
struct TaskRow {
  Task task;
  Category category = Category::Important;
  std::string key;
  // The value as it stood in the file when the row was read: a change finds
  // its task again by key and value, so it never touches one that another
  // program changed in between.
  std::string stored;
  // The series the task belongs to, as the file said at the read.
  RepeatKind repeat = RepeatKind::kNever;
  // The same entry: the task under the same key of the same category, in
  // whatever form the file held it.
  bool operator==(const TaskRow& other) const {
    return task == other.task && category == other.category && key == other.key;
  }
};

struct UnreadableEntry {
  std::string section;
  std::string key;
  std::string stored;
  auto operator<=>(const UnreadableEntry&) const = default;
};

struct CategoryLoad {
  std::vector<TaskRow> rows;                // in key order
  std::vector<UnreadableEntry> unreadable;  // values the scrambler refused
  // Lines of the category's section that are no task to show: keys outside
  // "100".."199", a key that stands twice, lines without "=", a second
  // section of the same name. A change leaves all of them where they are.
  size_t hidden = 0;
};

// Told once when a load finds hidden lines (Windows-1252).
extern const char kHiddenEntriesText[];

// The task number of a key name ("100".."199"), or nullopt for any other.
std::optional<int> TaskKeyNumber(std::string_view key);

// A category's tasks in a file's text; "Alles" gives the important ones,
// then the others without their time.
CategoryLoad LoadCategoryText(std::string_view text, Category category);
// How many tasks of the three categories a file's text holds, and how many
// of its task entries cannot be read.
struct TaskCount {
  size_t tasks = 0;
  size_t unreadable = 0;
};
TaskCount CountTasks(std::string_view text);

enum class SaveResult {
  kSaved,
  kRefused,         // a character the file cannot hold; nothing was written
  kTooMany,         // more than kMaxTasks entries; nothing was written
  kWriteFailed,     // the data file could not be written; it is unchanged
  kUnreadable,      // the data file could not be read since it was last shown; nothing was written
  kChangedOutside,  // another program changed or removed the task since it was shown
  kBackupGone,      // the backup to restore is gone or cannot be read; nothing was written
};

// The value of a key's first entry in the first section of a name, as the
// profile reader gives it; nothing when the key is not there.
std::optional<std::string> FirstProfileValue(std::string_view text, std::string_view section,
                                             std::string_view key);
// Every stored reminder flag of a file's text by key, unscrambled (empty
// when a flag cannot be read).
using ReminderFlags = std::map<std::string, std::string, std::less<>>;
ReminderFlags ReminderFlagsOf(std::string_view text);
// Every snooze of a file's text by key: the minute (session/clock) the task
// is reminded again. A value that cannot be read is left out and, given
// `damaged`, named there.
using Snoozes = std::map<std::string, long long, std::less<>>;
Snoozes SnoozesOf(std::string_view text, std::vector<UnreadableEntry>* damaged = nullptr);
// A snooze as it is stored: "mm-dd-yyyy hh:mm", scrambled.
std::string SnoozeValue(long long minute);
// Every rule of a file's text by its key in "Repeat"; as for the snoozes,
// a value that cannot be read is left out (the task counts as one of no
// series) and named in `damaged`.
std::string RepeatKey(Category category, std::string_view key);
using RepeatRules = std::map<std::string, RepeatRule, std::less<>>;
RepeatRules RepeatRulesOf(std::string_view text, std::vector<UnreadableEntry>* damaged = nullptr);
std::string RepeatValue(const RepeatRule& rule);
// The stored password of a file's text, still scrambled; empty when none
// is set.
std::string StoredPasswordOf(std::string_view text);

}  // namespace ordalis
