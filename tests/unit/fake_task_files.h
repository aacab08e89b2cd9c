#pragma once
// In-memory stand-ins for the task file's platform side. They behave as the
// profile functions do where it matters to the program: the raw text of a
// value is kept as written, and reading strips blanks at both ends and then
// one pair of matching enclosing quotes; names match without regard to case.
// Every operation can be made to fail.
#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <ostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "storage/backup_history.h"
#include "storage/profile_format.h"
#include "storage/profile_text.h"
#include "storage/task_file.h"

namespace ordalis {

// Readable failure messages.
inline void PrintTo(SaveResult result, std::ostream* os) {
  static const char* const kNames[] = {"kSaved",       "kRefused",    "kTooMany",
                                       "kWriteFailed", "kUnreadable", "kChangedOutside",
                                       "kBackupGone"};
  *os << kNames[static_cast<int>(result)];
}
inline void PrintTo(const Task& task, std::ostream* os) {
  *os << '{' << ::testing::PrintToString(task.date) << ", " << ::testing::PrintToString(task.time)
      << ", " << ::testing::PrintToString(task.description) << '}';
}
inline void PrintTo(const TaskRow& row, std::ostream* os) {
  PrintTo(row.task, os);
  *os << " cat " << static_cast<int>(row.category) << " key \"" << row.key << '"';
}
}  // namespace ordalis

namespace ordalis::test {

// What the profile reader makes of a raw value: blanks off both ends, then
// one pair of enclosing quotes of the same kind.
inline std::string PlatformStrip(std::string_view raw) {
  const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A'; };
  while (!raw.empty() && blank(raw.front())) raw.remove_prefix(1);
  while (!raw.empty() && blank(raw.back())) raw.remove_suffix(1);
  if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front()) {
    raw = raw.substr(1, raw.size() - 2);
  }
  return std::string(raw);
}

inline bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

// The file's bytes.
using FakeContent = std::string;

// Decides whether an operation fails: "Backup", "BeginChange",
// "CommitChange", "ReadText", "ReplaceText".
using FailRule = std::function<bool(std::string_view operation)>;

// The file is its text; the profile reads see it line by line as the
// platform does (the first section of a name, the first entry of a key).
class FakeProfileFile : public ProfileFile {
 public:
  explicit FakeProfileFile(const FailRule* fail = nullptr) : fail_(fail) {}

  // The file as it is on disk; nullopt when there is no file.
  std::optional<FakeContent> content;

  // Puts a raw line into the file as another program might have written it:
  // over the first entry of the key, else at the end of the section.
  void SetRaw(std::string_view section, std::string_view key, std::string_view raw) {
    const std::string line = std::string(key) + "=" + std::string(raw) + "\r\n";
    const std::string text = content.value_or("");
    const std::vector<ProfileLine> lines = SplitProfileText(text);
    std::string result;
    bool inSection = false, seen = false, done = false;
    for (const ProfileLine& l : lines) {
      if (l.kind == ProfileLine::Kind::kSection) {
        if (inSection && !done) {
          result += line;
          done = true;
        }
        inSection = !seen && SameProfileName(l.name, section);
        seen |= inSection;
      } else if (inSection && !done && l.kind == ProfileLine::Kind::kEntry &&
                 SameProfileName(l.name, key)) {
        result += line;
        done = true;
        continue;
      }
      result.append(l.text);
      if (result.back() != '\n' && result.back() != '\r') result += "\r\n";
    }
    if (!done && !seen) result += "[" + std::string(section) + "]\r\n";
    if (!done) result += line;
    content = result;
  }

  // A section's entries with their values as they stand; none when it is
  // absent.
  std::vector<ProfileEntry> RawLines(std::string_view section) const {
    std::vector<ProfileEntry> entries;
    const std::string text = content.value_or("");
    for (const ProfileLine& line : FindSection(text, section).first) {
      if (line.kind == ProfileLine::Kind::kEntry) {
        entries.push_back({std::string(line.name), std::string(line.value)});
      }
    }
    return entries;
  }
  bool HasSection(std::string_view section) const {
    return FindSection(content.value_or(""), section).found;
  }

  std::vector<std::string> KeyNames(std::string_view section) {
    std::vector<std::string> names;
    for (const ProfileEntry& entry : RawLines(section)) names.push_back(entry.key);
    return names;
  }

  std::vector<ProfileEntry> ReadSection(std::string_view section) override {
    std::vector<ProfileEntry> entries = RawLines(section);
    for (ProfileEntry& entry : entries) entry.value = PlatformStrip(entry.value);
    return entries;
  }

  std::string Read(std::string_view section, std::string_view key) override {
    for (const ProfileEntry& entry : RawLines(section)) {
      if (SameName(entry.key, key)) return PlatformStrip(entry.value);
    }
    return {};
  }

  std::optional<std::string> ReadText() override {
    if (Fails("ReadText")) return std::nullopt;
    return content.value_or("");
  }

  bool ReplaceText(std::string_view text) override {
    if (Fails("ReplaceText")) return false;
    content = std::string(text);
    return true;
  }

 private:
  bool Fails(const std::string& operation) const { return fail_ && *fail_ && (*fail_)(operation); }

  const FailRule* fail_;
};

// The data file, its backup and the staging copy.
class FakeTaskFiles : public TaskFiles {
 public:
  FakeTaskFiles() : data_(&fail), staging_(&fail) {}

  FailRule fail;
  std::optional<FakeContent> backup;
  // The history of backups by name, and the time the next one is taken at.
  std::map<std::string, FakeContent> history;
  std::string index;  // the history's order, as the folder keeps it
  LocalTime now{2026, 12, 8, 10, 30, 0};

  FakeProfileFile& DataFile() { return data_; }
  bool StagingExists() const { return staging_.content.has_value(); }

  ProfileFile& Data() override { return data_; }

  bool Backup(bool toHistory) override {
    if (Fails("Backup")) return false;
    if (!data_.content) return true;  // nothing to keep
    backup = data_.content;
    if (!toHistory) return true;
    std::vector<std::string> names = BackupNames();
    const std::string name = NextBackupName(now, names);
    history[name] = *data_.content;
    names.insert(names.begin(), name);
    for (const std::string& old : BackupsToRemove(names, now)) {
      history.erase(old);
      std::erase(names, old);
    }
    index = HistoryIndex(names);
    return true;
  }

  bool DataExists() override { return data_.content.has_value(); }
  std::vector<std::string> BackupNames() override {
    std::vector<std::string> names;
    for (const auto& entry : history) names.push_back(entry.first);
    return HistoryOrder(names, index);
  }
  std::optional<std::string> ReadBackup(std::string_view name) override {
    if (name == "Vemra.bak") return backup;
    const auto found = history.find(std::string(name));
    if (found == history.end()) return std::nullopt;
    return found->second;
  }

  ProfileFile* BeginChange() override {
    AbandonChange();
    if (Fails("BeginChange")) return nullptr;
    // Without a data file the change starts from an empty one.
    staging_.content = data_.content.value_or(FakeContent{});
    return &staging_;
  }

  Commit CommitChange(std::string_view wasRead) override {
    if (Fails("CommitChange") || !staging_.content) return Commit::kFailed;
    if (data_.content.value_or("") != wasRead) return Commit::kFileChanged;
    data_.content = std::move(staging_.content);
    staging_.content.reset();
    return Commit::kDone;
  }

  void AbandonChange() override { staging_.content.reset(); }

 private:
  bool Fails(std::string_view operation) const { return fail && fail(operation); }

  FakeProfileFile data_;
  FakeProfileFile staging_;
};

}  // namespace ordalis::test
