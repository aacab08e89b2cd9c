#include "storage/task_file.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <utility>

#include "storage/profile_format.h"
#include "storage/profile_text.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"

namespace ordalis {

std::optional<int> TaskKeyNumber(std::string_view key) {
  if (key.size() != 3 || key[0] == '0') return std::nullopt;
  int number = 0;
  const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
  if (error != std::errc{} || end != key.data() + key.size()) return std::nullopt;
  if (number < kFirstTaskKey || number >= kFirstTaskKey + kMaxTasks) return std::nullopt;
  return number;
}

std::string TaskKey(int position) {
  return std::to_string(kFirstTaskKey + position);
}

const char kHiddenEntriesText[] =
    "Diese Kategorie enth\xE4lt Eintr\xE4ge, die Ordalis nicht anzeigen kann (etwa mehr als 100 "
    "Aufgaben oder von Hand eingef\xFCgte Zeilen). Sie bleiben unver\xE4ndert in der Datei "
    "erhalten. ";

const char* WriteFailureText(WriteFailure failure) {
  switch (failure) {
    case WriteFailure::kNone: return "";
    case WriteFailure::kFolderNotWritable:
      return "Im Programmordner kann keine Datei angelegt werden: Er ist schreibgesch\xFCtzt "
             "oder Ihnen fehlt dort das Schreibrecht. ";
    case WriteFailure::kDiskFull: return "Auf dem Laufwerk ist kein Speicherplatz mehr frei. ";
    case WriteFailure::kDataFileInUse:
      return "Die Datei ist schreibgesch\xFCtzt oder von einem anderen Programm ge\xF6"
             "ffnet. ";
    case WriteFailure::kDataFileUnreadable: return "Die Datei konnte nicht gelesen werden. ";
    case WriteFailure::kForeignCharacters:
      return "Die Datei wurde als Unicode-Text gespeichert und enth\xE4lt Zeichen, die Ordalis "
             "nicht unver\xE4ndert zur\xFC"
             "ckschreiben kann. ";
    case WriteFailure::kOther: break;
  }
  return "Die Ursache ist unbekannt. ";
}

namespace {

bool IsComment(const ProfileLine& line) {
  return line.kind == ProfileLine::Kind::kNoEquals && line.name.front() == ';';
}

// The first value of each key of a section's lines, as the reader gives it.
std::map<std::string, std::string, std::less<>> FirstValues(const std::vector<ProfileLine>& lines) {
  std::map<std::string, std::string, std::less<>> values;
  for (const ProfileLine& line : lines) {
    if (line.kind == ProfileLine::Kind::kEntry) {
      values.emplace(std::string(line.name), ProfileValueAsRead(line.value));
    }
  }
  return values;
}

void LoadSection(std::string_view text, Category category, bool withTime, CategoryLoad& load) {
  const std::string_view section = SectionOf(category);
  const SectionLines lines = FindSection(text, section);
  // By key number; a key that stands twice counts as its first entry, as for
  // the profile reader, and the second one is hidden.
  std::map<int, std::string> stored;
  bool passwordSeen = false;
  for (const ProfileLine& line : lines.first) {
    if (line.kind == ProfileLine::Kind::kBlank || IsComment(line)) continue;
    if (line.kind == ProfileLine::Kind::kEntry) {
      const auto number = TaskKeyNumber(line.name);
      if (number && stored.emplace(*number, ProfileValueAsRead(line.value)).second) continue;
      if (!number && category == Category::Others && line.name == kPasswordKey && !passwordSeen) {
        passwordSeen = true;
        continue;
      }
    }
    ++load.hidden;
  }
  for (const ProfileLine& line : lines.others) {
    if (line.kind != ProfileLine::Kind::kBlank && !IsComment(line)) ++load.hidden;
  }
  for (auto& [number, value] : stored) {
    const std::string key = std::to_string(number);
    DecodedTask decoded = DecodeTask(value);
    if (decoded.status == DecodeStatus::kRefused) {
      load.unreadable.push_back({std::string(section), key, std::move(value)});
    } else if (decoded.status == DecodeStatus::kTask) {
      if (!withTime) decoded.task.time.clear();
      load.rows.push_back({std::move(decoded.task), category, key, std::move(value)});
    }
  }
}

// Task keys of a section whose value cannot be read: they keep it.
std::set<std::string, std::less<>> UnreadableKeys(std::string_view text, std::string_view section) {
  std::set<std::string, std::less<>> keys;
  for (const auto& [key, value] : FirstValues(FindSection(text, section).first)) {
    if (TaskKeyNumber(key) && DecodeTask(value).status == DecodeStatus::kRefused) keys.insert(key);
  }
  return keys;
}

// Runs one change on the staging copy and puts it in place; the data file
// stays untouched when any step fails.
template <typename Change>
SaveResult ChangeDataFile(TaskFiles& files, Change&& change) {
  ProfileFile* staging = files.BeginChange();
  if (staging && change(*staging) && files.CommitChange()) return SaveResult::kSaved;
  files.AbandonChange();
  return SaveResult::kWriteFailed;
}

// Puts one value in place of the first entry of its key, or takes that
// entry out; every other line stays as it stands.
SaveResult ReplaceValue(TaskFiles& files, std::string_view section, std::string_view key,
                        const std::optional<std::string>& value) {
  return ChangeDataFile(files, [&](ProfileFile& staging) {
    const std::optional<std::string> text = staging.ReadText();
    if (!text) return false;
    return staging.ReplaceText(ReplaceProfileValue(*text, section, key, value));
  });
}

}  // namespace

CategoryLoad LoadCategory(ProfileFile& data, Category category) {
  return LoadCategoryText(data.ReadText().value_or(std::string()), category);
}

TaskCount CountTasks(std::string_view text) {
  CategoryLoad load;
  for (Category category : {Category::Important, Category::Others, Category::Done}) {
    LoadSection(text, category, true, load);
  }
  return {load.rows.size(), load.unreadable.size()};
}

CategoryLoad LoadCategoryText(std::string_view text, Category category) {
  CategoryLoad load;
  if (category == Category::All) {
    LoadSection(text, Category::Important, true, load);
    LoadSection(text, Category::Others, false, load);
  } else {
    LoadSection(text, category, true, load);
  }
  return load;
}

SaveResult WriteCategory(TaskFiles& files, Category category, std::vector<TaskRow>& rows) {
  if (category == Category::All) {
    files.Backup();
    return SaveResult::kSaved;
  }
  if (rows.size() > static_cast<size_t>(kMaxTasks)) return SaveResult::kTooMany;
  // Everything is encoded before anything is written, so a refused character
  // leaves the file as it was.
  std::vector<std::string> stored;
  for (const TaskRow& row : rows) {
    auto value = EncodeTask(row.task);
    if (!value) return SaveResult::kRefused;
    stored.push_back(std::move(*value));
  }
  // No data file yet is the normal first case; the backup then stays as it was.
  files.Backup();
  const std::string_view section = SectionOf(category);
  std::vector<std::string> keys;
  bool tooMany = false;
  const SaveResult result = ChangeDataFile(files, [&](ProfileFile& staging) {
    const std::optional<std::string> text = staging.ReadText();
    if (!text) return false;
    const auto kept = UnreadableKeys(*text, section);
    const auto owned = [&kept](std::string_view key) {
      return TaskKeyNumber(key) && !kept.contains(key);
    };
    std::vector<ProfileEntry> tasks;
    for (int number = kFirstTaskKey; tasks.size() < rows.size(); ++number) {
      if (number >= kFirstTaskKey + kMaxTasks) {
        tooMany = true;
        return false;
      }
      std::string key = std::to_string(number);
      if (!kept.contains(key)) tasks.push_back({std::move(key), stored[tasks.size()]});
    }
    std::string changed = RewriteSection(*text, section, owned, tasks);
    if (category == Category::Important) {
      // A reminder flag follows its task: the row takes the flag of the key
      // it was read under, whatever its position now.
      const auto oldFlags = FirstValues(FindSection(*text, kReminderSection).first);
      std::vector<ProfileEntry> flags;
      for (size_t i = 0; i < rows.size(); ++i) {
        const TaskRow& row = rows[i];
        const auto old = oldFlags.find(row.key);
        const bool reminded = row.category == Category::Important && !row.key.empty() &&
                              old != oldFlags.end() && ScrambleText(old->second) == "R";
        flags.push_back({tasks[i].key, *ScrambleText(reminded ? "R" : "A")});
      }
      changed = RewriteSection(changed, kReminderSection, owned, flags);
    }
    for (const ProfileEntry& task : tasks) keys.push_back(task.key);
    return staging.ReplaceText(changed);
  });
  if (tooMany) return SaveResult::kTooMany;
  if (result != SaveResult::kSaved) return result;
  for (size_t i = 0; i < rows.size(); ++i) {
    rows[i].key = keys[i];
    rows[i].category = category;
  }
  return result;
}

std::string ReadReminderFlag(ProfileFile& data, std::string_view key) {
  return ScrambleText(data.Read(kReminderSection, key)).value_or(std::string());
}

ReminderFlags ReadReminderFlags(ProfileFile& data) {
  ReminderFlags flags;
  // A key that stands twice counts as its first entry, as for a single read.
  for (ProfileEntry& entry : data.ReadSection(kReminderSection)) {
    flags.emplace(std::move(entry.key), ScrambleText(entry.value).value_or(std::string()));
  }
  return flags;
}

SaveResult WriteReminderFlag(TaskFiles& files, std::string_view key, char flag) {
  const auto stored = ScrambleText(std::string_view(&flag, 1));
  if (!stored) return SaveResult::kRefused;
  return ReplaceValue(files, kReminderSection, key, stored);
}

std::string ReadStoredPassword(ProfileFile& data) {
  return data.Read(SectionOf(Category::Others), kPasswordKey);
}

SaveResult WritePassword(TaskFiles& files, std::string_view password) {
  std::optional<std::string> stored;
  if (!password.empty()) {
    stored = ScrambleText(password);
    if (!stored) return SaveResult::kRefused;
  }
  return ReplaceValue(files, SectionOf(Category::Others), kPasswordKey, stored);
}

}  // namespace ordalis
