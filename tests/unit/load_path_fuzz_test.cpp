// Random task files through the whole load path (split into lines, decode,
// order) and through the user's actions. A fixed seed makes every run the
// same; ORDALIS_FUZZ_ITERATIONS sets how many files (default 500).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/task_file_reads.h"
#include "fake_task_files.h"
#include "storage/task_order.h"
#include "storage/profile_format.h"
#include "storage/profile_text.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"
#include "storage/task_file.h"
#include "storage/task_store.h"

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

// An entry an action may change: the first of its key in the first section
// of the name.
struct Entry {
  std::string_view section;
  std::string key;
};

// The file's text without those entries and without the headers of the
// sections `added` (ones the action made); the line ends at the very end
// do not count.
std::string Without(std::string_view text, const std::vector<Entry>& entries,
                    const std::vector<std::string_view>& added = {}) {
  const auto named = [](std::string_view name) {
    return [name](std::string_view other) { return SameProfileName(name, other); };
  };
  std::vector<std::string_view> seen;
  std::vector<bool> taken(entries.size(), false);
  std::string_view section;
  bool first = false;
  std::string result;
  for (const ProfileLine& line : SplitProfileText(text)) {
    if (line.kind == ProfileLine::Kind::kSection) {
      section = line.name;
      first = std::none_of(seen.begin(), seen.end(), named(section));
      if (first) seen.push_back(section);
      if (first && std::any_of(added.begin(), added.end(), named(section))) continue;
    } else if (first && line.kind == ProfileLine::Kind::kEntry) {
      size_t i = 0;
      while (i < entries.size() && (taken[i] || !SameProfileName(entries[i].section, section) ||
                                    !SameProfileName(entries[i].key, line.name))) {
        ++i;
      }
      if (i < entries.size()) {
        taken[i] = true;
        continue;
      }
    }
    result.append(line.text);
  }
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) result.pop_back();
  return result;
}

// How many entries of the key the first section of the name holds.
size_t Entries(std::string_view text, std::string_view section, std::string_view key) {
  const std::vector<ProfileLine> lines = FindSection(text, section).first;
  return static_cast<size_t>(
      std::count_if(lines.begin(), lines.end(), [key](const ProfileLine& line) {
        return line.kind == ProfileLine::Kind::kEntry && SameProfileName(line.name, key);
      }));
}

size_t Iterations() {
  const char* set = std::getenv("ORDALIS_FUZZ_ITERATIONS");
  return set ? std::strtoull(set, nullptr, 10) : 500;
}

// The tasks of a view but those under the given entries.
std::vector<TaskRow> RowsBut(std::string_view text, Category view,
                             const std::vector<Entry>& entries) {
  std::vector<TaskRow> rows = LoadCategoryText(text, view).rows;
  std::erase_if(rows, [&](const TaskRow& row) {
    return std::any_of(entries.begin(), entries.end(), [&](const Entry& entry) {
      return entry.key == row.key && SameProfileName(entry.section, SectionOf(view));
    });
  });
  return rows;
}

// One user action, chosen at random, on a view of the file: it changes the
// entries it is about and keeps every other line byte for byte, the ones
// the load did not show included. `saved` counts the actions that went
// through.
void CheckAction(const std::string& text, Category view, Random& random, size_t& saved) {
  FakeTaskFiles files;
  files.DataFile().content = text;
  TaskStore store(files);
  const std::optional<CategoryLoad> load = store.Load(view);
  ASSERT_TRUE(load);
  const std::string_view section = SectionOf(view);
  const bool important = view == Category::Important;
  const Task fresh{"01-02-2030", "08:15", random.OneIn(4) ? "neu \x81" : "neu \x80"};
  const std::optional<std::string> value = EncodeTask(fresh);
  enum Action { kAdd, kEdit, kRemove, kMove, kFlag, kPassword };
  const Action action = load->rows.empty() ? random.Pick<Action>({kAdd, kPassword})
                                           : static_cast<Action>(random.Below(6));
  const TaskRow row = load->rows.empty() ? TaskRow{} : random.Pick(load->rows);
  const std::string password = random.OneIn(2) ? "Sesam" : "";

  SaveResult expected = SaveResult::kSaved, result = SaveResult::kSaved;
  // The entries the action replaces or adds, and those it takes out.
  std::vector<Entry> written, removed;
  switch (action) {
    case kAdd:
      result = store.Add(view, fresh);
      written = {{section, store.StoredKey()}};
      if (important) written.push_back({kReminderSection, store.StoredKey()});
      break;
    case kEdit:
      result = store.Edit(row, fresh);
      written = {{section, row.key}};
      if (important) written.push_back({kReminderSection, row.key});
      break;
    case kRemove:
    case kMove:
      result = action == kRemove ? store.Remove(row) : store.MoveToDone(row);
      removed = {{section, row.key}};
      if (important) removed.push_back({kReminderSection, row.key});
      if (action == kMove) written = {{SectionOf(Category::Done), store.StoredKey()}};
      if (action == kMove && view == Category::Done) expected = SaveResult::kChangedOutside;
      break;
    case kFlag:
      result = store.SetReminderFlags({row}, 'R');
      written = {{kReminderSection, row.key}};
      if (!important) expected = SaveResult::kChangedOutside;
      break;
    case kPassword:
      result = store.SetPassword(password);
      written = {{SectionOf(Category::Others), std::string(kPasswordKey)}};
      break;
  }
  if ((action == kAdd || action == kEdit) && !value) expected = SaveResult::kRefused;
  ASSERT_EQ(result, expected) << "action " << action;
  const std::string after = *files.DataFile().content;
  if (result != SaveResult::kSaved) {
    ASSERT_EQ(after, text);
    return;
  }
  ++saved;
  std::vector<std::string_view> added;
  for (const Entry& entry : written) {
    if (!FindSection(text, entry.section).found) added.push_back(entry.section);
  }
  std::vector<Entry> touched = written;
  touched.insert(touched.end(), removed.begin(), removed.end());
  ASSERT_EQ(Without(after, written, added), Without(text, touched)) << "action " << action;

  // The next load shows what the action did, and every other task as it was.
  ASSERT_EQ(RowsBut(after, view, touched), RowsBut(text, view, touched));
  const auto shows = [&after](Category category, std::string_view key, std::string_view stored) {
    const std::vector<TaskRow> rows = LoadCategoryText(after, category).rows;
    return std::any_of(rows.begin(), rows.end(), [&](const TaskRow& shown) {
      return shown.key == key && shown.stored == stored;
    });
  };
  switch (action) {
    case kAdd: ASSERT_TRUE(shows(view, store.StoredKey(), *value)); break;
    case kEdit: ASSERT_TRUE(shows(view, row.key, *value)); break;
    case kRemove:
    case kMove:
      ASSERT_EQ(Entries(after, section, row.key), Entries(text, section, row.key) - 1);
      if (action == kMove) {
        ASSERT_TRUE(shows(Category::Done, store.StoredKey(), row.stored));
      }
      break;
    case kFlag: ASSERT_EQ(FlagsIn(files.Data())[row.key], "R"); break;
    case kPassword:
      if (!password.empty()) {
        ASSERT_EQ(ScrambleText(PasswordIn(files.Data())), password);
      }
      break;
  }
}

// Loads and sorts every view of one file, then acts on it.
void CheckFile(const std::string& text, Random& random, size_t& saved) {
  for (const Category category :
       {Category::All, Category::Important, Category::Others, Category::Done}) {
    const CategoryLoad load = LoadCategoryText(text, category);
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
    if (category != Category::All) CheckAction(text, category, random, saved);
  }
}

TEST(LoadPathFuzz, RandomFilesLoadSortAndChangeWithoutLoss) {
  Random random(20261208);
  const size_t iterations = Iterations();
  size_t saved = 0;
  for (size_t run = 0; run < iterations; ++run) {
    const std::string text = RandomFile(random);
    CheckFile(text, random, saved);
    if (HasFailure()) {
      ADD_FAILURE() << "file " << run << ": " << testing::PrintToString(text);
      return;
    }
  }
  // The actions are not all refused: most of them get through.
  EXPECT_GT(saved, iterations * 2);
}

}  // namespace
}  // namespace ordalis
