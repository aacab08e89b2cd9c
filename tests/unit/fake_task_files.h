#pragma once
// In-memory stand-ins for the task file's platform side. They behave as the
// profile functions do where it matters to the program: the raw text of a
// value is kept as written, and reading strips blanks at both ends and then
// one pair of matching enclosing quotes; names match without regard to case;
// a change that only removes something does not create a missing file.
// Every operation can be made to fail.
#include <algorithm>
#include <cctype>
#include <functional>
#include <ostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "storage/profile_format.h"
#include "storage/task_file.h"

namespace ordalis {

// Readable failure messages.
inline void PrintTo(SaveResult result, std::ostream* os) {
  static const char* const kNames[] = {"kSaved", "kRefused", "kTooMany", "kWriteFailed"};
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

// The sections of one file in file order, each with its raw lines.
struct FakeSection {
  std::string name;
  std::vector<ProfileEntry> lines;  // values as written, before any stripping
  bool operator==(const FakeSection&) const = default;
};
using FakeContent = std::vector<FakeSection>;

// Decides whether an operation fails: "Backup", "BeginChange",
// "CommitChange", "Write:<section>", "WriteSection:<section>".
using FailRule = std::function<bool(std::string_view operation)>;

class FakeProfileFile : public ProfileFile {
 public:
  explicit FakeProfileFile(const FailRule* fail = nullptr) : fail_(fail) {}

  // The file as it is on disk; nullopt when there is no file.
  std::optional<FakeContent> content;

  // Puts a raw line into the file as another program might have written it.
  void SetRaw(std::string_view section, std::string_view key, std::string_view raw) {
    if (!content) content.emplace();
    FakeSection& s = SectionFor(section);
    for (ProfileEntry& line : s.lines) {
      if (SameName(line.key, key)) {
        line.value = std::string(raw);
        return;
      }
    }
    s.lines.push_back({std::string(key), std::string(raw)});
  }

  // A section's raw lines; none when it is absent.
  std::vector<ProfileEntry> RawLines(std::string_view section) const {
    if (const FakeSection* s = Find(section)) return s->lines;
    return {};
  }
  bool HasSection(std::string_view section) const { return Find(section) != nullptr; }

  std::vector<std::string> KeyNames(std::string_view section) {
    std::vector<std::string> names;
    if (const FakeSection* s = Find(section)) {
      for (const ProfileEntry& line : s->lines) names.push_back(line.key);
    }
    return names;
  }

  std::vector<ProfileEntry> ReadSection(std::string_view section) override {
    std::vector<ProfileEntry> entries;
    if (const FakeSection* s = Find(section)) {
      for (const ProfileEntry& line : s->lines) {
        entries.push_back({line.key, PlatformStrip(line.value)});
      }
    }
    return entries;
  }

  std::string Read(std::string_view section, std::string_view key) override {
    if (const FakeSection* s = Find(section)) {
      for (const ProfileEntry& line : s->lines) {
        if (SameName(line.key, key)) return PlatformStrip(line.value);
      }
    }
    return {};
  }

  bool Write(std::string_view section, std::string_view key,
             std::optional<std::string_view> value) override {
    if (Fails("Write:" + std::string(section))) return false;
    if (!value) {
      if (FakeSection* s = Find(section)) {
        std::erase_if(s->lines, [&](const ProfileEntry& line) { return SameName(line.key, key); });
      }
      return true;
    }
    SetRaw(section, key, ProtectProfileValue(*value));
    return true;
  }

  bool WriteSection(std::string_view section, const std::vector<ProfileEntry>& entries) override {
    if (Fails("WriteSection:" + std::string(section))) return false;
    if (entries.empty()) {
      if (content) {
        std::erase_if(*content, [&](const FakeSection& s) { return SameName(s.name, section); });
      }
      return true;
    }
    if (!content) content.emplace();
    FakeSection& s = SectionFor(section);
    s.lines.clear();
    for (const ProfileEntry& entry : entries) {
      s.lines.push_back({entry.key, ProtectProfileValue(entry.value)});
    }
    return true;
  }

 private:
  bool Fails(const std::string& operation) const { return fail_ && *fail_ && (*fail_)(operation); }

  const FakeSection* Find(std::string_view section) const {
    if (!content) return nullptr;
    for (const FakeSection& s : *content) {
      if (SameName(s.name, section)) return &s;
    }
    return nullptr;
  }
  FakeSection* Find(std::string_view section) {
    return const_cast<FakeSection*>(std::as_const(*this).Find(section));
  }
  FakeSection& SectionFor(std::string_view section) {
    if (FakeSection* s = Find(section)) return *s;
    content->push_back({std::string(section), {}});
    return content->back();
  }

  const FailRule* fail_;
};

// The data file, its backup and the staging copy.
class FakeTaskFiles : public TaskFiles {
 public:
  FakeTaskFiles() : data_(&fail), staging_(&fail) {}

  FailRule fail;
  std::optional<FakeContent> backup;

  FakeProfileFile& DataFile() { return data_; }
  bool StagingExists() const { return staging_.content.has_value(); }

  ProfileFile& Data() override { return data_; }

  bool Backup() override {
    if (Fails("Backup") || !data_.content) return false;
    backup = data_.content;
    return true;
  }

  ProfileFile* BeginChange() override {
    AbandonChange();
    if (Fails("BeginChange")) return nullptr;
    // Without a data file the change starts from an empty one.
    staging_.content = data_.content ? *data_.content : FakeContent{};
    return &staging_;
  }

  bool CommitChange() override {
    if (Fails("CommitChange") || !staging_.content) return false;
    data_.content = std::move(staging_.content);
    staging_.content.reset();
    return true;
  }

  void AbandonChange() override { staging_.content.reset(); }

 private:
  bool Fails(std::string_view operation) const { return fail && fail(operation); }

  FakeProfileFile data_;
  FakeProfileFile staging_;
};

}  // namespace ordalis::test
