// Random task files through the whole load path (split into lines, decode,
// order) and through a rewrite. A fixed seed makes every run the same;
// ORDALIS_FUZZ_ITERATIONS sets how many files (default 500).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "fake_task_files.h"
#include "mainwindow/task_order.h"
#include "storage/profile_format.h"
#include "storage/profile_text.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"
#include "storage/task_file.h"

namespace ordalis {
namespace {

using test::FakeTaskFiles;

class Random {
 public:
  explicit Random(uint32_t seed) : engine_(seed) {}
  // 0 .. n-1; the engine's output is fixed by the standard, so is this.
  size_t Below(size_t n) { return static_cast<size_t>(engine_() % n); }
  bool OneIn(size_t n) { return Below(n) == 0; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }
  std::string Bytes(size_t most, unsigned low = 0) {
    std::string bytes(Below(most + 1), '\0');
    for (char& c : bytes) c = static_cast<char>(low + Below(256 - low));
    return bytes;
  }

 private:
  std::mt19937 engine_;
};

std::string TwoDigits(size_t n) {
  return {static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)};
}

// A field that is mostly what the editor makes and sometimes anything.
std::string Field(Random& random, bool date) {
  switch (random.Below(4)) {
    case 0: return random.Bytes(12, 32);
    case 1: {
      std::string text = random.Bytes(10, 32);
      for (char& c : text) c = random.Pick<char>({'0', '1', '9', '-', ':', '|', '^'});
      return text;
    }
    default:
      return date ? TwoDigits(1 + random.Below(12)) + "-" + TwoDigits(1 + random.Below(31)) +
                        "-20" + TwoDigits(random.Below(100))
                  : TwoDigits(random.Below(24)) + ":" + TwoDigits(random.Below(60));
  }
}

std::string Value(Random& random) {
  switch (random.Below(6)) {
    case 0: return random.Bytes(30);
    case 1: return "";
    case 2: return *ScrambleText(random.Pick<std::string>({"R", "A", "x"}));
    default: {
      const Task task{Field(random, true), Field(random, false), random.Bytes(40, 32)};
      const std::string stored = EncodeTask(task).value_or(random.Bytes(20, 32));
      return random.OneIn(3) ? ProtectProfileValue(stored) : stored;
    }
  }
}

std::string RandomFile(Random& random) {
  const std::vector<std::string> sections = {"Important", "Others", "Done", "Reminder",
                                             "important", " Done",  "Extra"};
  const std::vector<std::string> keys = {"99", "0105", "1000", "200", "abc", " 101 ", "249", ""};
  const std::vector<std::string> ends = {"\r\n", "\n", "\r\r\n"};
  std::string text;
  const size_t lines = random.Below(40);
  for (size_t i = 0; i < lines; ++i) {
    switch (random.Below(10)) {
      case 0: text += "[" + random.Pick(sections) + "]"; break;
      case 1: text += random.Bytes(20); break;  // anything, even a line end
      case 2: text += random.OneIn(2) ? "" : "   "; break;
      case 3: text += random.Pick(keys) + "=" + Value(random); break;
      default:
        text += std::to_string(100 + random.Below(random.OneIn(4) ? 150 : 8)) + "=" + Value(random);
    }
    if (i + 1 < lines || random.OneIn(2)) text += random.Pick(ends);
  }
  return text;
}

using KeyFilter = std::function<bool(std::string_view key)>;

// The file without the first entry of the `taken` keys in the first section
// (and, for the important tasks, in the first "Reminder" section), and
// without a first section left empty by that.
std::string Without(const std::string& text, std::string_view section, const KeyFilter& taken) {
  std::string removed = RewriteSection(text, section, taken, {});
  if (section == "Important") removed = RewriteSection(removed, kReminderSection, taken, {});
  // A rewrite may leave a later empty section of the name first, where the
  // next rewrite takes it away: empty sections do not count.
  const std::vector<ProfileLine> lines = SplitProfileText(removed);
  std::string result;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == ProfileLine::Kind::kSection) {
      size_t end = i + 1;
      while (end < lines.size() && lines[end].kind == ProfileLine::Kind::kBlank) ++end;
      if (end == lines.size() || lines[end].kind == ProfileLine::Kind::kSection) {
        i = end - 1;
        continue;
      }
    }
    result.append(lines[i].text);
  }
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
  return result;
}

// What a rewrite of the section may replace: the first entry of each task
// key whose value can be read.
KeyFilter Replaceable(const std::string& text, std::string_view section) {
  std::vector<std::string> seen, unreadable;
  for (const ProfileLine& line : FindSection(text, section).first) {
    if (line.kind != ProfileLine::Kind::kEntry || !TaskKeyNumber(line.name)) continue;
    const std::string key(line.name);
    if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
    seen.push_back(key);
    if (DecodeTask(ProfileValueAsRead(line.value)).status == DecodeStatus::kRefused) {
      unreadable.push_back(key);
    }
  }
  return [unreadable](std::string_view key) {
    return TaskKeyNumber(key) &&
           std::find(unreadable.begin(), unreadable.end(), key) == unreadable.end();
  };
}

size_t Iterations() {
  const char* set = std::getenv("ORDALIS_FUZZ_ITERATIONS");
  return set ? std::strtoull(set, nullptr, 10) : 500;
}

// A reminder flag or the password changes its own line and nothing else.
void CheckSingleValue(const std::string& text, const char* section, const std::string& key,
                      const std::optional<std::string>& value, const std::string& after) {
  if (!FindSection(text, section).found) {
    // A new section at the end of the file.
    std::string expected = text;
    if (!expected.empty() && expected.back() != '\n' && expected.back() != '\r') {
      expected += "\r\n";
    }
    if (value) {
      expected +=
          "[" + std::string(section) + "]\r\n" + key + "=" + ProtectProfileValue(*value) + "\r\n";
    }
    ASSERT_EQ(after, value ? expected : text);
    return;
  }
  const std::string line = value ? key + "=" + ProtectProfileValue(*value) + "\r\n" : "";
  for (const ProfileLine& entry : FindSection(text, section).first) {
    if (entry.kind == ProfileLine::Kind::kEntry && entry.name == key) {
      // The key's first entry: in its place the new line, or nothing.
      std::string expected = text;
      expected.replace(static_cast<size_t>(entry.text.data() - text.data()), entry.text.size(),
                       line);
      ASSERT_EQ(after, expected);
      return;
    }
  }
  // A new key in the section: the file without it is the file before.
  const auto trimmed = [](std::string t) {
    while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
    return t;
  };
  ASSERT_EQ(trimmed(ReplaceProfileValue(after, section, key, {})), trimmed(text));
}

void CheckSingleValues(const std::string& text, Random& random) {
  const std::string key = std::to_string(100 + random.Below(8));
  FakeTaskFiles flag;
  flag.DataFile().content = text;
  ASSERT_EQ(WriteReminderFlag(flag, key, 'R'), SaveResult::kSaved);
  EXPECT_EQ(ReadReminderFlag(flag.Data(), key), "R");
  CheckSingleValue(text, "Reminder", key, ScrambleText("R"), *flag.DataFile().content);

  FakeTaskFiles password;
  password.DataFile().content = text;
  const std::optional<std::string> stored = random.OneIn(2) ? ScrambleText("Sesam") : std::nullopt;
  ASSERT_EQ(WritePassword(password, stored ? "Sesam" : ""), SaveResult::kSaved);
  if (stored) {
    EXPECT_EQ(ScrambleText(ReadStoredPassword(password.Data())), "Sesam");
  }
  CheckSingleValue(text, "Others", "200", stored, *password.DataFile().content);
}

// Loads, sorts and rewrites one file; `saved` counts the rewrites that went
// through.
void CheckFile(const std::string& text, Random& random, size_t run, size_t& saved) {
  FakeTaskFiles files;
  files.DataFile().content = text;
  for (const Category category :
       {Category::All, Category::Important, Category::Others, Category::Done}) {
    CategoryLoad load = LoadCategory(files.Data(), category);
    for (size_t i = 1; i < load.rows.size(); ++i) {
      if (load.rows[i].category == load.rows[i - 1].category) {
        ASSERT_LT(*TaskKeyNumber(load.rows[i - 1].key), *TaskKeyNumber(load.rows[i].key));
      }
    }
    for (const SortColumn column :
         {SortColumn::kDate, SortColumn::kTime, SortColumn::kDescription}) {
      std::vector<TaskRow> sorted = load.rows;
      SortRows(sorted, column);
      ASSERT_TRUE(std::is_sorted(sorted.begin(), sorted.end(),
                                 [column](const TaskRow& a, const TaskRow& b) {
                                   return TaskBefore(column, a.task, b.task);
                                 }));
      ASSERT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), load.rows.begin()));
    }
    if (category == Category::All) {
      CheckSingleValues(text, random);
      continue;
    }

    // A rewrite of some of the rows, in a new order.
    std::vector<TaskRow> rows = load.rows;
    std::shuffle(rows.begin(), rows.end(), std::mt19937(static_cast<uint32_t>(run)));
    rows.resize(random.Below(rows.size() + 1));
    if (random.OneIn(3)) rows.push_back({{"01-02-2030", "08:15", "neu \x80"}, category});
    FakeTaskFiles copy;
    copy.DataFile().content = text;
    const SaveResult result = WriteCategory(copy, category, rows);
    const bool storable = std::all_of(rows.begin(), rows.end(),
                                      [](const TaskRow& row) { return EncodeTask(row.task); });
    ASSERT_EQ(result, storable ? SaveResult::kSaved : SaveResult::kRefused);
    if (result != SaveResult::kSaved) continue;
    ++saved;
    const std::string after = *copy.DataFile().content;
    const std::string_view section = SectionOf(category);
    // Apart from the keys it wrote, the file is as it was.
    const KeyFilter written = [&rows](std::string_view key) {
      return std::any_of(rows.begin(), rows.end(),
                         [key](const TaskRow& row) { return row.key == key; });
    };
    ASSERT_EQ(Without(after, section, written), Without(text, section, Replaceable(text, section)));
    // Reloaded: the rows under their new keys, in their order; a second
    // entry of a key the rows no longer use may come to light among them.
    const CategoryLoad again = LoadCategory(copy.Data(), category);
    std::vector<TaskRow> reloaded;
    for (const TaskRow& row : again.rows) {
      if (written(row.key)) reloaded.push_back(row);
    }
    ASSERT_EQ(reloaded, rows);
    ASSERT_GE(again.unreadable.size(), load.unreadable.size());
  }
}

TEST(LoadPathFuzz, RandomFilesLoadSortAndRewriteWithoutLoss) {
  Random random(20261208);
  const size_t iterations = Iterations();
  size_t saved = 0;
  for (size_t run = 0; run < iterations; ++run) {
    const std::string text = RandomFile(random);
    CheckFile(text, random, run, saved);
    if (HasFailure()) {
      ADD_FAILURE() << "file " << run << ": " << testing::PrintToString(text);
      return;
    }
  }
  // The files are not all refused: most runs get through to the rewrite.
  EXPECT_GT(saved, iterations);
}

}  // namespace
}  // namespace ordalis
