// Lines of the task file that the program does not show, on the real
// profile functions: the user's actions keep them byte for byte, and what
// they write reads back the same through the platform's own reader.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>
#include <vector>

#include "common/task_file_reads.h"
#include "storage/profile_file_win32.h"
#include "storage/profile_format.h"
#include "storage/profile_text.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"
#include "storage/task_file.h"
#include "storage/task_store.h"
#include "support.h"
#include "win32/text.h"

namespace ordalis {
namespace {

using test::ReadFileBytes;
using test::TempFolder;
using test::WriteFileBytes;

Task Numbered(int n) {
  return {"05-" + std::to_string(10 + n % 18) + "-2024", "10:00", "Aufgabe " + std::to_string(n)};
}
std::string Stored(const Task& task) {
  return EncodeTask(task).value_or(std::string());
}
std::string Line(const std::string& key, const Task& task) {
  return key + "=" + ProtectProfileValue(Stored(task)) + "\r\n";
}
std::string FlagLine(const std::string& key, const char* flag) {
  return key + "=" + ProtectProfileValue(*ScrambleText(flag)) + "\r\n";
}

// What the platform's reader gives for a key, with nothing of the file left
// in its cache.
std::string PlatformRead(const std::wstring& folder, const char* section, const char* key) {
  Win32ProfileFile file(folder + L"\\Vemra.dat");
  file.FlushCache();
  return file.Read(section, key);
}

TEST(TaskFileLinesWin32, EveryLineTheLoadDoesNotShowSurvivesTheActionsByteForByte) {
  TempFolder folder;
  const std::string top = "; von Hand\r\nlose=Zeile\r\n\r\n[Important]\r\n";
  const std::string foreign = "99=a\r\n0105=" + Stored(Numbered(5)) +
                              "\r\n1000=b\r\nabc = c \r\n200=d\r\n249=" + Stored(Numbered(6)) +
                              "\r\nohne Gleichheitszeichen\r\n" + Line("100", Numbered(7)) +
                              "; Notiz\r\n";
  const std::string rest = "[Others]\r\n" + Line("100", Numbered(9)) +
                           "200=" + *ScrambleText("geheim") + "\r\n[IMPORTANT]\r\n" +
                           Line("101", Numbered(8)) + "[Reminder]\r\n" + FlagLine("100", "R") +
                           "77=e";  // no line end at the end of the file
  ASSERT_TRUE(WriteFileBytes(folder.File(L"Vemra.dat"), top + Line("100", Numbered(0)) + foreign +
                                                            Line("101", Numbered(1)) + rest));
  Win32TaskFiles files(folder.Path());
  TaskStore store(files);
  const std::optional<CategoryLoad> load = store.Load(Category::Important);
  ASSERT_TRUE(load);
  EXPECT_EQ(load->hidden, 9u);
  ASSERT_EQ(load->rows.size(), 2u);
  EXPECT_EQ(load->rows[1].task, Numbered(1));

  // The later section's "101" and the doubled "100" keep the new task off
  // their keys.
  const Task renamed{Numbered(0).date, Numbered(0).time, "umbenannt"};
  ASSERT_EQ(store.Edit(load->rows[0], renamed), SaveResult::kSaved);
  ASSERT_EQ(store.MoveToDone(load->rows[1]), SaveResult::kSaved);
  ASSERT_EQ(store.Add(Category::Important, Numbered(3)), SaveResult::kSaved);
  EXPECT_EQ(store.StoredKey(), "102");
  EXPECT_EQ(ReadFileBytes(folder.File(L"Vemra.dat")),
            top + Line("100", renamed) + foreign + Line("102", Numbered(3)) + "[Others]\r\n" +
                Line("100", Numbered(9)) + "200=" + *ScrambleText("geheim") +
                "\r\n[IMPORTANT]\r\n" + Line("101", Numbered(8)) + "[Reminder]\r\n" +
                FlagLine("100", "R") + "77=e\r\n" + FlagLine("102", "A") + "[Done]\r\n" +
                Line("100", Numbered(1)));

  // The platform reads the new tasks and the kept lines as the load does.
  EXPECT_EQ(PlatformRead(folder.Path(), "Important", "100"), Stored(renamed));
  EXPECT_EQ(PlatformRead(folder.Path(), "Important", "101"), "");
  EXPECT_EQ(PlatformRead(folder.Path(), "Important", "102"), Stored(Numbered(3)));
  EXPECT_EQ(PlatformRead(folder.Path(), "Important", "abc"), "c");
  EXPECT_EQ(PlatformRead(folder.Path(), "Reminder", "77"), "e");
  EXPECT_EQ(PlatformRead(folder.Path(), "Done", "100"), Stored(Numbered(1)));
  EXPECT_EQ(ScrambleText(PlatformRead(folder.Path(), "Others", "200")), "geheim");
  EXPECT_EQ(LoadCategory(files.Data(), Category::Important).hidden, 9u);
}

TEST(TaskFileLinesWin32, AFileOfHundredAndFiftyTasksKeepsTheFiftyItCannotShow) {
  TempFolder folder;
  std::string shown, kept;
  for (int key = 100; key < 250; ++key) {
    (key < 200 ? shown : kept) += Line(std::to_string(key), Numbered(key));
  }
  ASSERT_TRUE(WriteFileBytes(folder.File(L"Vemra.dat"), "[Done]\r\n" + shown + kept));
  Win32TaskFiles files(folder.Path());
  TaskStore store(files);
  const std::optional<CategoryLoad> load = store.Load(Category::Done);
  ASSERT_TRUE(load);
  ASSERT_EQ(load->rows.size(), 100u);
  EXPECT_EQ(load->hidden, 50u);

  ASSERT_EQ(store.Remove(load->rows[10]), SaveResult::kSaved);
  const std::string after = ReadFileBytes(folder.File(L"Vemra.dat"));
  ASSERT_GE(after.size(), kept.size());
  EXPECT_EQ(after.substr(after.size() - kept.size()), kept);
  EXPECT_EQ(PlatformRead(folder.Path(), "Done", "110"), "");
  EXPECT_EQ(PlatformRead(folder.Path(), "Done", "199"), Stored(Numbered(199)));
  EXPECT_EQ(PlatformRead(folder.Path(), "Done", "249"), Stored(Numbered(249)));
  EXPECT_EQ(LoadCategory(files.Data(), Category::Done).hidden, 50u);
}

// A file saved as UTF-16 by an editor is read, and written back in the
// program's own form; one with a character Windows-1252 lacks is not
// rewritten at all.
TEST(TaskFileLinesWin32, AUnicodeFileIsWrittenBackInOurFormOrLeftAlone) {
  const auto utf16 = [](const std::wstring& text) {
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
  };
  const std::wstring head = L"[Done]\r\n100=";
  const std::wstring task = win32::FromAnsi(Stored(Numbered(1)));
  for (const std::wstring& extra : {std::wstring(L"x=\u00E4\r\n"), std::wstring(L"x=\u03A9\r\n")}) {
    SCOPED_TRACE(testing::PrintToString(extra));
    TempFolder folder;
    const std::string before = utf16(head + task + L"\r\n" + extra);
    ASSERT_TRUE(WriteFileBytes(folder.File(L"Vemra.dat"), before));
    Win32TaskFiles files(folder.Path());
    TaskStore store(files);
    const std::optional<CategoryLoad> load = store.Load(Category::Done);
    ASSERT_TRUE(load);
    ASSERT_EQ(load->rows.size(), 1u);
    EXPECT_EQ(load->rows[0].task, Numbered(1));

    const bool foreign = extra.find(L'\u03A9') != std::wstring::npos;
    EXPECT_EQ(store.Add(Category::Done, Numbered(2)),
              foreign ? SaveResult::kWriteFailed : SaveResult::kSaved);
    if (foreign) {
      EXPECT_EQ(files.LastFailure(), WriteFailure::kForeignCharacters);
      EXPECT_EQ(ReadFileBytes(folder.File(L"Vemra.dat")), before);
    } else {
      EXPECT_EQ(
          win32::FromAnsi(ReadFileBytes(folder.File(L"Vemra.dat"))),
          head + task + L"\r\n" + extra + L"101=" + win32::FromAnsi(Stored(Numbered(2))) + L"\r\n");
      EXPECT_EQ(PlatformRead(folder.Path(), "Done", "101"), Stored(Numbered(2)));
    }
  }
}

// Random files read by the platform's reader and by the program's own line
// splitting give the same value for every key the program reads.
TEST(TaskFileLinesWin32, TheProgramReadsEveryKeyAsThePlatformDoes) {
  std::mt19937 random(1208);
  const auto below = [&random](unsigned n) { return static_cast<unsigned>(random() % n); };
  const char* const sections[] = {"Important", "Others", "Done", "Reminder"};
  const char* const headers[] = {"[Important]", "[others]", "[Done]", "[Reminder]",
                                 "[ Done ]",    "[Done] x", "[Extra]"};
  TempFolder folder;
  for (int run = 0; run < 300; ++run) {
    std::string text;
    for (unsigned line = below(30); line-- > 0;) {
      switch (below(6)) {
        case 0: text += headers[below(7)]; break;
        case 1: text += std::string(below(3), ' '); break;
        default: {
          std::string key = std::to_string(99 + below(8));
          if (below(4) == 0) key = " " + key + "\t";
          std::string value(below(12), '\0');
          for (char& c : value) c = static_cast<char>(1 + below(255));
          std::erase(value, '\n');
          text += key + "=" + value;
        }
      }
      text += below(3) == 0 ? "\n" : "\r\n";
    }
    ASSERT_TRUE(WriteFileBytes(folder.File(L"Vemra.dat"), text));
    Win32ProfileFile file(folder.File(L"Vemra.dat"));
    file.FlushCache();
    const std::string read = *file.ReadText();
    for (const char* section : sections) {
      const SectionLines lines = FindSection(read, section);
      for (int key = 99; key < 107; ++key) {
        std::string own;
        for (const ProfileLine& line : lines.first) {
          if (line.kind == ProfileLine::Kind::kEntry && line.name == std::to_string(key)) {
            own = ProfileValueAsRead(line.value);
            break;
          }
        }
        ASSERT_EQ(own, file.Read(section, std::to_string(key)))
            << section << " " << key << " in " << testing::PrintToString(text);
      }
    }
  }
}

}  // namespace
}  // namespace ordalis
