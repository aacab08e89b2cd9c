// The combo-box search, the command of the automatic start and its box, and
// the font list.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cwctype>
#include <string>
#include <vector>

#include "options/combo_search.h"
#include "options/options_rules.h"

namespace ordalis {
namespace {

// A combo box that notes which message the search sent; its entries match
// as the control's do, without regard to case.
class FakeCombo : public ComboControl {
 public:
  std::vector<std::wstring> entries{L"Arial", L"Tahoma", L"Times New Roman"};
  std::string sent;
  int selected = 1;

  int FindExact(int start, std::wstring_view text) override {
    sent += "exact ";
    return Find(start, text, false);
  }
  int FindPrefix(int start, std::wstring_view text) override {
    sent += "prefix ";
    return Find(start, text, true);
  }
  int SelectPrefix(int start, std::wstring_view text) override {
    sent += "selectprefix ";
    return selected = Find(start, text, true);
  }
  void Select(int index) override {
    sent += "select ";
    selected = index;
  }

 private:
  static bool Same(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](wchar_t x, wchar_t y) { return towlower(x) == towlower(y); });
  }
  int Find(int start, std::wstring_view text, bool prefix) const {
    for (int i = start + 1; i < static_cast<int>(entries.size()); ++i) {
      const std::wstring_view entry = entries[i];
      if (Same(prefix ? entry.substr(0, text.size()) : entry, text)) return i;
    }
    return -1;
  }
};

TEST(FindComboEntry, FollowsModeAndSelectFlag) {
  struct Case {
    const wchar_t* text;
    int start, select, mode;
    int result;
    const char* sent;
    int selected;  // the box's selection afterwards (1 before)
  };
  const Case cases[] = {
      {L"times new roman", -1, -1, kComboExact, 2, "exact select ", 2},
      {L"Courier", -1, -1, kComboExact, -1, "exact select ", -1},  // a miss selects nothing
      {L"Arial", -1, 0, kComboExact, 0, "exact ", 1},
      {L"Arial", 0, 1, kComboExact, -1, "exact select ", -1},  // searched after the start
      {L"Ti", -1, -1, kComboPrefix, 2, "selectprefix ", 2},
      {L"Ti", -1, 0, kComboPrefix, 2, "prefix ", 1},
      {L"Ti", -1, 1, kComboPrefix, 0, "", 1},
      {L"Arial", -1, -1, 1, 0, "", 1},
  };
  for (const Case& c : cases) {
    FakeCombo combo;
    EXPECT_EQ(FindComboEntry(combo, c.text, c.start, c.select, c.mode), c.result)
        << testing::PrintToString(c.text) << " mode " << c.mode << " select " << c.select;
    EXPECT_EQ(combo.sent, c.sent) << testing::PrintToString(c.text);
    EXPECT_EQ(combo.selected, c.selected) << testing::PrintToString(c.text);
  }
}

TEST(AutostartCommand, QuotesTheExecutablePathAndAddsTheSwitch) {
  EXPECT_EQ(AutostartCommand(L"C:\\Tools", L"Vemra"), L"\"C:\\Tools\\Vemra.exe\" /a");
  EXPECT_EQ(AutostartCommand(L"C:\\Program Files\\Ordalis", L"Vemra"),
            L"\"C:\\Program Files\\Ordalis\\Vemra.exe\" /a");
}

TEST(AutostartState, OnlyThisCopysValueNotSwitchedOffInWindowsShowsCheckedAnotherFolderIsNamed) {
  const std::wstring command = L"\"C:\\Program Files\\Ordalis\\Vemra.exe\" /a";
  struct Case {
    std::wstring run;
    std::vector<std::uint8_t> approved;
    AutostartShown shown;
  };
  const Case cases[] = {
      {L"", {}, AutostartShown::kOff},
      {L"", {0x03, 0, 0}, AutostartShown::kOff},
      {command, {}, AutostartShown::kOn},
      {L"\"c:\\PROGRAM FILES\\ordalis\\vemra.EXE\" /A", {}, AutostartShown::kOn},
      {command, {0x02, 0, 0}, AutostartShown::kOn},
      {command, {0x06}, AutostartShown::kOn},
      {command, {0x03, 0x10, 0x20}, AutostartShown::kOffInWindows},
      {command, {0x01}, AutostartShown::kOffInWindows},
      {L"\"C:\\Tools\\Vemra.exe\" /a", {}, AutostartShown::kOtherFolder},
      {L"\"C:\\Tools\\Vemra.exe\" /a", {0x03}, AutostartShown::kOtherFolder},
      {L"C:\\Tools\\Vemra.exe /a", {}, AutostartShown::kOtherFolder},
      {L"\"C:\\Program Files\\Ordalis\\Vemra.exe\"", {}, AutostartShown::kOff},
      {L"\"c:\\program files\\ordalis\\Vemra.exe\" /x", {}, AutostartShown::kOff},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AutostartState(c.run, command, c.approved), c.shown)
        << testing::PrintToString(c.run) << " first byte "
        << (c.approved.empty() ? -1 : c.approved[0]);
  }
}

TEST(FontFamilyList, SortsWithoutCaseListsEachOnceAndDropsVerticalFaces) {
  EXPECT_EQ(FontFamilyList({L"Tahoma", L"@MS Gothic", L"arial", L"MS Gothic", L"Tahoma",
                            L"Courier New", L"Arial Black"}),
            (std::vector<std::wstring>{L"arial", L"Arial Black", L"Courier New", L"MS Gothic",
                                       L"Tahoma"}));
}

TEST(PasswordMask, OneStarPerCharacterUpToTwentyNine) {
  EXPECT_EQ(PasswordMask(0), L"");
  EXPECT_EQ(PasswordMask(5), L"*****");
  EXPECT_EQ(PasswordMask(29), std::wstring(29, L'*'));
  EXPECT_EQ(PasswordMask(40), std::wstring(29, L'*'));
}

}  // namespace
}  // namespace ordalis
