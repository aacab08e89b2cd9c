// The task file on the real profile functions: what the user's actions leave
// on the disk, files written by hand, failures of the platform, and changes
// cut off by a killed process. ORDALIS_OWN_MAIN: the program starts itself as
// the process to kill.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "common/task_file_reads.h"
#include "fixtures.h"
#include "storage/profile_file_win32.h"
#include "storage/profile_format.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"
#include "storage/task_file.h"
#include "storage/task_store.h"
#include "support.h"
#include "win32/handles.h"

namespace ordalis {

// Readable failure messages.
void PrintTo(SaveResult result, std::ostream* os) {
  static const char* const kNames[] = {"kSaved",       "kRefused",    "kTooMany",
                                       "kWriteFailed", "kUnreadable", "kChangedOutside"};
  *os << kNames[static_cast<int>(result)];
}
void PrintTo(const TaskRow& row, std::ostream* os) {
  PrintTo(row.task, os);
  *os << " cat " << static_cast<int>(row.category) << " key \"" << row.key << '"';
}

namespace {

using test::FileIsThere;
using test::KeysOf;
using test::ReadFileBytes;
using test::TasksOf;
using test::TempFolder;
using test::WriteFileBytes;

constexpr const wchar_t* kData = L"Vemra.dat";
constexpr const wchar_t* kBackup = L"Vemra.bak";
constexpr const wchar_t* kStaging = L"Vemra.new";

// The tasks used here all have a stored form; "" would show up as a
// mismatch.
std::string Stored(const Task& task) {
  return EncodeTask(task).value_or(std::string());
}

std::string TwoDigits(int n) {
  return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

Task Numbered(int n) {
  return {TwoDigits(n % 12 + 1) + "-" + TwoDigits(n % 28 + 1) + "-2024",
          TwoDigits(10 + n % 10) + ":30", "Aufgabe Nr. " + std::to_string(n)};
}

// One section of the file: its name and its keys with the stored values.
struct Section {
  std::string name;
  std::vector<ProfileEntry> entries;
  bool operator==(const Section&) const = default;
};
// The four sections of the data file, always in this order.
using State = std::vector<Section>;
const char* const kSections[] = {"Important", "Others", "Done", "Reminder"};

void PrintTo(const Section& section, std::ostream* os) {
  *os << "[" << section.name << "] " << section.entries.size() << " keys:";
  for (const ProfileEntry& entry : section.entries) *os << " " << entry.key;
}

// The file as a program following the format writes it.
std::string FileText(const State& state) {
  std::string text;
  for (const Section& section : state) {
    if (section.entries.empty()) continue;
    text += "[" + section.name + "]\r\n";
    for (const ProfileEntry& entry : section.entries) {
      text += entry.key + "=" + ProtectProfileValue(entry.value) + "\r\n";
    }
  }
  return text;
}

// What the data file holds, read the way the next start of the program
// reads it: a new object on the platform's profile functions, with nothing
// of the file left in their cache.
State ReadState(const std::wstring& folder) {
  Win32TaskFiles files(folder);
  Win32ProfileFile data(files.DataPath());
  data.FlushCache();
  State state;
  for (const char* name : kSections) {
    Section section{name, {}};
    // Key by key, apart from the section reads the program makes.
    for (const std::string& key : data.KeyNames(name)) {
      section.entries.push_back({key, data.Read(name, key)});
    }
    state.push_back(std::move(section));
  }
  return state;
}

ProfileEntry TaskEntry(std::string key, const Task& task) {
  return {std::move(key), Stored(task)};
}
ProfileEntry FlagEntry(std::string key, std::string_view flag) {
  return {std::move(key), *ScrambleText(flag)};
}

// --- Every storable character reaches the disk and comes back -----------

// A task whose stored value begins and ends with the byte `code`: the first
// character of the date and the last of the description are chosen so.
Task TaskStoredBetween(unsigned code) {
  Task task{"?2-24-2024", "07:45", "Zeichen ?"};
  const size_t last = task.date.size() + task.time.size() + task.description.size() + 1;
  const auto mask = [](size_t i) { return static_cast<unsigned char>(kScrambleKey[i % 4]) + 96u; };
  task.date[0] = static_cast<char>(code ^ mask(0));
  task.description.back() = static_cast<char>(code ^ mask(last));
  return task;
}

TEST(StorageWin32, EveryByteAScrambledValueCanHoldSurvivesAtBothEnds) {
  TempFolder folder;
  // 224 codes, 32..255: the first hundred in Important, the next in Others,
  // the rest in Done.
  const Category categories[] = {Category::Important, Category::Others, Category::Done};
  std::vector<std::string> expected[3];
  {
    Win32TaskFiles files(folder.Path());
    TaskStore store(files);
    for (int part = 0; part < 3; ++part) {
      for (unsigned code = 32 + part * 100; code <= 255 && code < 132u + part * 100; ++code) {
        const Task task = TaskStoredBetween(code);
        const std::string stored = Stored(task);
        ASSERT_EQ(static_cast<unsigned char>(stored.front()), code);
        ASSERT_EQ(static_cast<unsigned char>(stored.back()), code);
        expected[part].push_back(stored);
        ASSERT_EQ(store.Add(categories[part], task), SaveResult::kSaved);
      }
    }
  }

  const std::string bytes = ReadFileBytes(folder.File(kData));
  Win32TaskFiles files(folder.Path());
  for (int part = 0; part < 3; ++part) {
    const std::string_view section = SectionOf(categories[part]);
    const CategoryLoad load = LoadCategory(files.Data(), categories[part]);
    size_t row = 0, unreadable = 0;
    for (size_t i = 0; i < expected[part].size(); ++i) {
      const std::string& stored = expected[part][i];
      const std::string key = KeyAt(static_cast<int>(i));
      const unsigned code = static_cast<unsigned char>(stored.front());
      SCOPED_TRACE("code " + std::to_string(code));
      // The bytes in the file are the scrambled bytes, not a conversion.
      EXPECT_NE(bytes.find("\r\n" + key + "=" + ProtectProfileValue(stored) + "\r\n"),
                std::string::npos);
      EXPECT_EQ(files.Data().Read(section, key), stored);
      if (code >= 128 && code <= 159) {
        // Made from a control character: stored, but not a task to show.
        ASSERT_LT(unreadable, load.unreadable.size());
        EXPECT_EQ(load.unreadable[unreadable].key, key);
        EXPECT_EQ(load.unreadable[unreadable++].stored, stored);
      } else {
        ASSERT_LT(row, load.rows.size());
        EXPECT_EQ(load.rows[row].key, key);
        EXPECT_EQ(load.rows[row++].task, DecodeTask(stored).task);
      }
    }
    EXPECT_EQ(row, load.rows.size());
    EXPECT_EQ(unreadable, load.unreadable.size());
  }
}

TEST(StorageWin32, EveryDescriptionCharacterTheFileCanHoldComesBack) {
  // Windows-1252 without the codes the scrambler refuses, and "€" which is
  // stored as "^" ("^" itself comes back as "€").
  std::vector<Task> tasks;
  for (unsigned code = 32; code <= 255; ++code) {
    if (code == '^' || (code > 128 && code <= 159)) continue;
    const std::string c(1, static_cast<char>(code));
    tasks.push_back({"12-31-2024", "23:59", c + " Mitte " + c});
  }
  ASSERT_EQ(tasks.size(), 192u);
  const std::vector<Task> important(tasks.begin(), tasks.begin() + 100);
  const std::vector<Task> others(tasks.begin() + 100, tasks.end());
  // Written as the program writes any value (the test above sends every
  // byte through a change), read by the platform's reader.
  State state = {{"Important", {}}, {"Others", {}}};
  for (size_t i = 0; i < tasks.size(); ++i) {
    state[i < 100 ? 0 : 1].entries.push_back(TaskEntry(KeyAt(static_cast<int>(i % 100)), tasks[i]));
  }
  TempFolder folder;
  ASSERT_TRUE(WriteFileBytes(folder.File(kData), FileText(state)));
  Win32TaskFiles files(folder.Path());
  EXPECT_EQ(TasksOf(LoadCategory(files.Data(), Category::Important).rows), important);
  EXPECT_EQ(TasksOf(LoadCategory(files.Data(), Category::Others).rows), others);
}

// --- A file written by hand ---------------------------------------------

TEST(StorageWin32, HandWrittenFileLoadsEveryTaskInKeyOrder) {
  TempFolder folder;
  std::string text =
      "[Important]\r\n105=" + Stored(Numbered(105)) + "\r\n100=" + Stored(Numbered(100)) + "\r\n";
  text += "[Others]\r\n";
  for (int key = 129; key >= 100; --key) {
    text += std::to_string(key) + "=" + Stored(Numbered(key)) + "\r\n";
  }
  text += "200=" + *ScrambleText("geheim") + "\r\n";
  text += "[Done]\r\n0100=" + Stored(Numbered(1)) + "\r\nabc=" + Stored(Numbered(2)) +
          "\r\n200=" + Stored(Numbered(3)) + "\r\n250=" + Stored(Numbered(4)) +
          "\r\n99=" + Stored(Numbered(5)) + "\r\n100=" + Stored(Numbered(6)) +
          "\r\n101=" + *ScrambleText("01-01-2024|10:00|Tab\there") + "\r\n102=\"" +
          Stored(Numbered(7)) + "\"\r\n";
  text += "[Reminder]\r\n100=" + *ScrambleText("R") + "\r\n";
  ASSERT_TRUE(WriteFileBytes(folder.File(kData), text));

  Win32TaskFiles files(folder.Path());
  const auto important = LoadCategory(files.Data(), Category::Important).rows;
  EXPECT_EQ(KeysOf(important), (std::vector<std::string>{"100", "105"}));
  EXPECT_EQ(TasksOf(important), (std::vector<Task>{Numbered(100), Numbered(105)}));

  const auto others = LoadCategory(files.Data(), Category::Others).rows;
  ASSERT_EQ(others.size(), 30u);
  for (int i = 0; i < 30; ++i) {
    EXPECT_EQ(others[i].key, KeyAt(i));
    EXPECT_EQ(others[i].task, Numbered(100 + i));
  }

  const CategoryLoad done = LoadCategory(files.Data(), Category::Done);
  EXPECT_EQ(KeysOf(done.rows), (std::vector<std::string>{"100", "102"}));
  EXPECT_EQ(TasksOf(done.rows), (std::vector<Task>{Numbered(6), Numbered(7)}));
  ASSERT_EQ(done.unreadable.size(), 1u);
  EXPECT_EQ(done.unreadable[0].key, "101");

  const auto all = LoadCategory(files.Data(), Category::All).rows;
  ASSERT_EQ(all.size(), 32u);
  EXPECT_EQ(all[1], important[1]);
  EXPECT_EQ(all[2].category, Category::Others);
  EXPECT_EQ(all[2].task, (Task{Numbered(100).date, "", Numbered(100).description}));

  EXPECT_EQ(ScrambleText(PasswordIn(files.Data())), "geheim");
  EXPECT_EQ(StoredFlag(files.Data(), "100"), "R");
  EXPECT_EQ(StoredFlag(files.Data(), "105"), "");
}

TEST(StorageWin32, MissingDataFileReadsAsEmptyAndTheFirstTaskMakesIt) {
  TempFolder folder;
  Win32TaskFiles files(folder.Path());
  EXPECT_TRUE(LoadCategory(files.Data(), Category::All).rows.empty());
  EXPECT_EQ(PasswordIn(files.Data()), "");
  // A change that changes nothing makes no file.
  TaskStore store(files);
  EXPECT_EQ(store.SetPassword(""), SaveResult::kSaved);
  EXPECT_FALSE(FileIsThere(folder.File(kData)));
  EXPECT_FALSE(FileIsThere(folder.File(kStaging)));

  ASSERT_EQ(store.Add(Category::Done, Numbered(1)), SaveResult::kSaved);
  EXPECT_EQ(ReadState(folder.Path())[2].entries, (std::vector{TaskEntry("100", Numbered(1))}));
  EXPECT_FALSE(FileIsThere(folder.File(kBackup)));
}

// --- What a change leaves on the disk ------------------------------------

// Important 0..2 with only task 2 reminded, one of the others with the
// password, one done task.
State Sample() {
  return {
      {"Important",
       {TaskEntry("100", Numbered(0)), TaskEntry("101", Numbered(1)),
        TaskEntry("102", Numbered(2))}},
      {"Others",
       {TaskEntry("100", {"06-01-2024", "00:00", "Steuer"}), {"200", *ScrambleText("geheim")}}},
      {"Done", {TaskEntry("100", {"01-01-2024", "08:00", "Erledigt"})}},
      {"Reminder", {FlagEntry("100", "A"), FlagEntry("101", "A"), FlagEntry("102", "R")}},
  };
}

// The important tasks of the sample as the store reads them.
std::vector<TaskRow> SampleRows(TaskStore& store) {
  const std::optional<CategoryLoad> load = store.Load(Category::Important);
  return load ? load->rows : std::vector<TaskRow>{};
}

TEST(StorageWin32, EachActionReachesTheDiskWithThePreviousFileAsBackup) {
  using Rows = std::vector<TaskRow>;
  struct Case {
    const char* name;
    std::function<SaveResult(TaskStore&, const Rows&)> action;
    std::function<void(State&)> change;
  };
  // "µ" makes the stored password begin with a double quote.
  const std::string password = "\xB5neu ";
  const Case cases[] = {
      {"add",
       [](TaskStore& store, const Rows&) { return store.Add(Category::Important, Numbered(7)); },
       [](State& s) {
         s[0].entries.push_back(TaskEntry("103", Numbered(7)));
         s[3].entries.push_back(FlagEntry("103", "A"));
       }},
      {"edit", [](TaskStore& store, const Rows& rows) { return store.Edit(rows[1], Numbered(8)); },
       [](State& s) { s[0].entries[1] = TaskEntry("101", Numbered(8)); }},
      {"remove", [](TaskStore& store, const Rows& rows) { return store.Remove(rows[2]); },
       [](State& s) {
         s[0].entries.pop_back();
         s[3].entries.pop_back();
       }},
      {"move", [](TaskStore& store, const Rows& rows) { return store.MoveToDone(rows[2]); },
       [](State& s) {
         s[0].entries.pop_back();
         s[3].entries.pop_back();
         s[2].entries.push_back(TaskEntry("101", Numbered(2)));
       }},
      {"flag",
       [](TaskStore& store, const Rows& rows) { return store.SetReminderFlags({rows[1]}, 'R'); },
       [](State& s) { s[3].entries[1] = FlagEntry("101", "R"); }},
      {"password", [&](TaskStore& store, const Rows&) { return store.SetPassword(password); },
       [&](State& s) { s[1].entries[1].value = *ScrambleText(password); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempFolder folder;
    const std::string before = FileText(Sample());
    ASSERT_TRUE(WriteFileBytes(folder.File(kData), before));
    Win32TaskFiles files(folder.Path());
    TaskStore store(files);
    const Rows rows = SampleRows(store);
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(c.action(store, rows), SaveResult::kSaved);
    State expected = Sample();
    c.change(expected);
    EXPECT_EQ(ReadState(folder.Path()), expected);
    EXPECT_EQ(ReadFileBytes(folder.File(kBackup)), before);
    EXPECT_FALSE(FileIsThere(folder.File(kStaging)));
    // Read back in the same process, right after the rename.
    EXPECT_FALSE(store.ChangedOutside());
  }
}

// --- The platform refuses ------------------------------------------------

TEST(StorageWin32, AFolderWhereTheStagingCopyBelongsDoesNotBlockAChange) {
  for (const bool holdsAFile : {false, true}) {
    SCOPED_TRACE(holdsAFile ? "folder with a file" : "empty folder");
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.File(kData), FileText(Sample())));
    ASSERT_TRUE(CreateDirectoryW(folder.File(kStaging).c_str(), nullptr));
    const std::wstring inside = folder.File(std::wstring(kStaging) + L"\\keep.txt");
    if (holdsAFile) {
      ASSERT_TRUE(WriteFileBytes(inside, "someone's"));
    }

    Win32TaskFiles files(folder.Path());
    TaskStore store(files);
    const std::vector<TaskRow> rows = SampleRows(store);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(store.Add(Category::Important, Numbered(5)), SaveResult::kSaved);
    EXPECT_EQ(store.SetReminderFlags({rows[0]}, 'R'), SaveResult::kSaved);
    EXPECT_EQ(store.SetPassword("neu"), SaveResult::kSaved);
    EXPECT_EQ(files.LastFailure(), WriteFailure::kNone);
    State expected = Sample();
    expected[0].entries.push_back(TaskEntry("103", Numbered(5)));
    expected[1].entries[1].value = *ScrambleText("neu");
    expected[3].entries[0] = FlagEntry("100", "R");
    expected[3].entries.push_back(FlagEntry("103", "A"));
    EXPECT_EQ(ReadState(folder.Path()), expected);
    // Someone's folder stays as it was; the staging copy went into place.
    EXPECT_EQ(ReadFileBytes(inside), holdsAFile ? "someone's" : "");
    EXPECT_EQ(FileIsThere(folder.File(kStaging)), holdsAFile);
    EXPECT_FALSE(FileIsThere(folder.File(std::wstring(kStaging) + L"1")));
  }
}

TEST(StorageWin32, DataFileThatCannotBeReplacedStaysAsItWas) {
  TempFolder folder;
  const std::string before = FileText(Sample());
  ASSERT_TRUE(WriteFileBytes(folder.File(kData), before));
  Win32TaskFiles files(folder.Path());
  TaskStore store(files);
  const std::vector<TaskRow> rows = SampleRows(store);
  ASSERT_EQ(rows.size(), 3u);
  {
    // Another program holds the data file open: it can be copied, not
    // replaced.
    win32::UniqueFile held(CreateFileW(folder.File(kData).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(store.MoveToDone(rows[0]), SaveResult::kWriteFailed);
    EXPECT_EQ(store.SetReminderFlags({rows[0]}, 'R'), SaveResult::kWriteFailed);
    EXPECT_EQ(store.SetPassword(""), SaveResult::kWriteFailed);
    EXPECT_EQ(files.LastFailure(), WriteFailure::kDataFileInUse);
    EXPECT_FALSE(FileIsThere(folder.File(kStaging)));
  }
  // The password and every task are as they were.
  EXPECT_EQ(ReadFileBytes(folder.File(kData)), before);
  EXPECT_EQ(ReadState(folder.Path()), Sample());
  EXPECT_EQ(store.MoveToDone(rows[0]), SaveResult::kSaved);
}

TEST(StorageWin32, ReadOnlyDataFileIsChangedWholeOrNotAtAll) {
  TempFolder folder;
  const std::string before = FileText(Sample());
  ASSERT_TRUE(WriteFileBytes(folder.File(kData), before));
  ASSERT_TRUE(SetFileAttributesW(folder.File(kData).c_str(), FILE_ATTRIBUTE_READONLY));
  Win32TaskFiles files(folder.Path());
  TaskStore store(files);
  // Windows refuses to write the read-only copy; Wine may let it through.
  const SaveResult result = store.Add(Category::Done, Numbered(5));
  ASSERT_TRUE(result == SaveResult::kSaved || result == SaveResult::kWriteFailed);
  State expected = Sample();
  if (result == SaveResult::kSaved) expected[2].entries.push_back(TaskEntry("101", Numbered(5)));
  if (result == SaveResult::kWriteFailed) {
    EXPECT_EQ(ReadFileBytes(folder.File(kData)), before);
  }
  EXPECT_EQ(ReadState(folder.Path()), expected);

  // Once the file may be written again, nothing left over stands in the way.
  ASSERT_TRUE(SetFileAttributesW(folder.File(kData).c_str(), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(store.Add(Category::Done, Numbered(6)), SaveResult::kSaved);
  expected[2].entries.push_back(TaskEntry(store.StoredKey(), Numbered(6)));
  EXPECT_EQ(ReadState(folder.Path()), expected);
  EXPECT_FALSE(FileIsThere(folder.File(kStaging)));
}

// --- A staging copy left by a crash --------------------------------------

TEST(StorageWin32, LeftoverStagingCopyIsNeitherReadNorKept) {
  for (const bool readOnly : {false, true}) {
    SCOPED_TRACE(readOnly ? "read-only leftover" : "leftover");
    TempFolder folder;
    ASSERT_TRUE(WriteFileBytes(folder.File(kData), FileText(Sample())));
    const State leftover = {{"Important", {TaskEntry("100", Numbered(50))}},
                            {"Others", {TaskEntry("100", Numbered(51))}},
                            {"Done", {}},
                            {"Reminder", {FlagEntry("100", "R")}},
                            {"Extra", {{"1", "x"}}}};
    ASSERT_TRUE(WriteFileBytes(folder.File(kStaging), FileText(leftover)));
    if (readOnly) {
      ASSERT_TRUE(SetFileAttributesW(folder.File(kStaging).c_str(), FILE_ATTRIBUTE_READONLY));
    }

    Win32TaskFiles files(folder.Path());
    TaskStore store(files);
    const std::vector<TaskRow> rows = SampleRows(store);
    EXPECT_EQ(TasksOf(rows), (std::vector<Task>{Numbered(0), Numbered(1), Numbered(2)}));
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(store.Remove(rows[2]), SaveResult::kSaved);

    State expected = Sample();
    expected[0].entries.pop_back();
    expected[3].entries = {FlagEntry("100", "A"), FlagEntry("101", "A")};
    EXPECT_EQ(ReadState(folder.Path()), expected);
    EXPECT_EQ(ReadFileBytes(folder.File(kData)).find("[Extra]"), std::string::npos);
    EXPECT_FALSE(FileIsThere(folder.File(kStaging)));
  }
}

// --- Killed in the middle of a change ------------------------------------

// Counts the operations that change files and ends the process right after
// the chosen one, as a crash or a power cut would.
class Killer {
 public:
  explicit Killer(int killAfter) : killAfter_(killAfter) {
    if (killAfter_ == 0) TerminateProcess(GetCurrentProcess(), 3);
  }
  void Done(std::string operation) {
    log_.push_back(std::move(operation));
    if (static_cast<int>(log_.size()) == killAfter_) TerminateProcess(GetCurrentProcess(), 3);
  }
  const std::vector<std::string>& Log() const { return log_; }

 private:
  int killAfter_;
  std::vector<std::string> log_;
};

class KilledProfile : public ProfileFile {
 public:
  KilledProfile(ProfileFile& inner, Killer& killer) : inner_(inner), killer_(killer) {}
  std::string Read(std::string_view section, std::string_view key) override {
    return inner_.Read(section, key);
  }
  std::vector<ProfileEntry> ReadSection(std::string_view section) override {
    return inner_.ReadSection(section);
  }
  std::optional<std::string> ReadText() override { return inner_.ReadText(); }
  bool ReplaceText(std::string_view text) override {
    const bool ok = inner_.ReplaceText(text);
    killer_.Done("ReplaceText");
    return ok;
  }

 private:
  ProfileFile& inner_;
  Killer& killer_;
};

class KilledTaskFiles : public TaskFiles {
 public:
  KilledTaskFiles(const std::wstring& folder, int killAfter) : inner_(folder), killer_(killAfter) {}
  const Killer& Operations() const { return killer_; }

  ProfileFile& Data() override { return inner_.Data(); }
  bool Backup(bool toHistory) override {
    const bool ok = inner_.Backup(toHistory);
    killer_.Done("Backup");
    return ok;
  }
  ProfileFile* BeginChange() override {
    ProfileFile* staging = inner_.BeginChange();
    killer_.Done("BeginChange");
    if (!staging) return nullptr;
    staging_.emplace(*staging, killer_);
    return &*staging_;
  }
  Commit CommitChange(std::string_view wasRead) override {
    const Commit done = inner_.CommitChange(wasRead);
    killer_.Done("CommitChange");
    return done;
  }
  void AbandonChange() override {
    inner_.AbandonChange();
    killer_.Done("AbandonChange");
  }

 private:
  Win32TaskFiles inner_;
  Killer killer_;
  std::optional<KilledProfile> staging_;
};

constexpr wchar_t kChildSwitch[] = L"--kill-after";
constexpr wchar_t kOperationsLog[] = L"operations.txt";

// The change the child makes: a reminded important task moved to the done
// ones, which touches three sections at once. Every action goes through the
// same steps.
int RunChild(const std::wstring& folder, int killAfter) {
  KilledTaskFiles files(folder, killAfter);
  TaskStore store(files);
  const std::vector<TaskRow> rows = SampleRows(store);
  if (rows.size() != 3) return 10;
  const SaveResult result = store.MoveToDone(rows[2]);
  // Got through: tell the parent which operations there were.
  std::string log;
  for (const std::string& operation : files.Operations().Log()) log += operation + "\n";
  WriteFileBytes(folder + L"\\" + kOperationsLog, log);
  return result == SaveResult::kSaved ? 0 : 1;
}

// Runs this program as the child; its exit code, or -1 when it would not run.
int RunKilledChild(const std::wstring& folder, int killAfter) {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + kChildSwitch + L" " +
                             std::to_wstring(killAfter) + L" \"" + folder + L"\"";
  STARTUPINFOW startup{sizeof startup};
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return -1;
  }
  win32::UniqueHandle thread(process.hThread);
  win32::UniqueHandle child(process.hProcess);
  if (WaitForSingleObject(child.get(), 60000) != WAIT_OBJECT_0) {
    TerminateProcess(child.get(), 99);
    WaitForSingleObject(child.get(), INFINITE);
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(child.get(), &code);
  return static_cast<int>(code);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

TEST(StorageWin32Crash, AChangeKilledAtAnyPointLeavesTheOldOrTheNewState) {
  const State before = Sample();
  State after = Sample();
  after[0].entries.pop_back();
  after[3].entries.pop_back();
  after[2].entries.push_back(TaskEntry("101", Numbered(2)));
  TempFolder folder;
  const auto prepare = [&] {
    // A staging copy left by the previous child stays: the next change must
    // get rid of it.
    ASSERT_TRUE(WriteFileBytes(folder.File(kData), FileText(before)));
    DeleteFileW(folder.File(kOperationsLog).c_str());
  };

  prepare();
  ASSERT_EQ(RunKilledChild(folder.Path(), -1), 0);
  ASSERT_EQ(ReadState(folder.Path()), after);
  const auto operations = Lines(ReadFileBytes(folder.File(kOperationsLog)));
  const auto commit = std::find(operations.begin(), operations.end(), "CommitChange");
  ASSERT_NE(commit, operations.end());
  const int committed = static_cast<int>(commit - operations.begin()) + 1;

  const int count = static_cast<int>(operations.size());
  for (int killAfter = 0; killAfter <= count + 1; ++killAfter) {
    SCOPED_TRACE(killAfter == 0       ? std::string("killed at once")
                 : killAfter <= count ? "killed after " + operations[killAfter - 1] + " (" +
                                            std::to_string(killAfter) + ")"
                                      : std::string("not killed"));
    prepare();
    EXPECT_EQ(RunKilledChild(folder.Path(), killAfter), killAfter <= count ? 3 : 0);
    const State state = ReadState(folder.Path());
    EXPECT_TRUE(state == before || state == after);
    EXPECT_EQ(state, killAfter >= committed ? after : before);
  }
}

// The child's arguments: kill-after count, folder.
struct ChildArguments {
  int killAfter;
  std::wstring folder;
};

std::optional<ChildArguments> ParseChildArguments() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return std::nullopt;
  std::optional<ChildArguments> result;
  if (count == 4 && std::wstring_view(args[1]) == kChildSwitch) {
    result = ChildArguments{_wtoi(args[2]), args[3]};
  }
  LocalFree(args);
  return result;
}

}  // namespace
}  // namespace ordalis

int main(int argc, char** argv) {
  if (const auto child = ordalis::ParseChildArguments()) {
    return ordalis::RunChild(child->folder, child->killAfter);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
