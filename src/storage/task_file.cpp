#include "storage/task_file.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <utility>

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

namespace {

void LoadSection(ProfileFile& data, Category category, bool withTime, CategoryLoad& load) {
  const std::string_view section = SectionOf(category);
  // By key number; a key that stands twice counts as its first entry.
  std::map<int, std::string> stored;
  for (ProfileEntry& entry : data.ReadSection(section)) {
    if (const auto number = TaskKeyNumber(entry.key))
      stored.emplace(*number, std::move(entry.value));
  }
  for (auto& [number, value] : stored) {
    const std::string key = std::to_string(number);
    DecodedTask decoded = DecodeTask(value);
    if (decoded.status == DecodeStatus::kRefused) {
      load.unreadable.push_back({std::string(section), key, std::move(value)});
    } else if (decoded.status == DecodeStatus::kTask) {
      if (!withTime) decoded.task.time.clear();
      load.rows.push_back({std::move(decoded.task), category, key});
    }
  }
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

}  // namespace

CategoryLoad LoadCategory(ProfileFile& data, Category category) {
  CategoryLoad load;
  if (category == Category::All) {
    LoadSection(data, Category::Important, true, load);
    LoadSection(data, Category::Others, false, load);
  } else {
    LoadSection(data, category, true, load);
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
  std::vector<ProfileEntry> tasks;
  for (size_t i = 0; i < rows.size(); ++i) {
    auto stored = EncodeTask(rows[i].task);
    if (!stored) return SaveResult::kRefused;
    tasks.push_back({TaskKey(static_cast<int>(i)), std::move(*stored)});
  }
  // No data file yet is the normal first case; the backup then stays as it was.
  files.Backup();
  const std::string_view section = SectionOf(category);
  const SaveResult result = ChangeDataFile(files, [&](ProfileFile& staging) {
    if (category != Category::Important) {
      // Others holds the password under "200"; Done keeps such a key too.
      std::string kept = staging.Read(section, kPasswordKey);
      if (!kept.empty()) tasks.push_back({std::string(kPasswordKey), std::move(kept)});
      return staging.WriteSection(section, tasks);
    }
    // A reminder flag follows its task: the row takes the flag of the key it
    // was read under, whatever its position now.
    const ReminderFlags oldFlags = ReadReminderFlags(staging);
    std::vector<ProfileEntry> flags;
    for (size_t i = 0; i < rows.size(); ++i) {
      const TaskRow& row = rows[i];
      const auto old = oldFlags.find(row.key);
      const bool reminded = row.category == Category::Important && !row.key.empty() &&
                            old != oldFlags.end() && old->second == "R";
      flags.push_back({tasks[i].key, *ScrambleText(reminded ? "R" : "A")});
    }
    return staging.WriteSection(section, tasks) && staging.WriteSection(kReminderSection, flags);
  });
  if (result != SaveResult::kSaved) return result;
  for (size_t i = 0; i < rows.size(); ++i) {
    rows[i].key = TaskKey(static_cast<int>(i));
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
  return ChangeDataFile(
      files, [&](ProfileFile& staging) { return staging.Write(kReminderSection, key, *stored); });
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
  return ChangeDataFile(files, [&](ProfileFile& staging) {
    return staging.Write(SectionOf(Category::Others), kPasswordKey,
                         stored ? std::optional<std::string_view>(*stored) : std::nullopt);
  });
}

}  // namespace ordalis
