// The task editor driven as a user drives it: keys into the focused field,
// clicks on its buttons, answers to its messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "dialog_script.h"
#include "editor/task_editor_dialog.h"
#include "fixtures.h"
#include "storage/settings_win32.h"
#include "support.h"

namespace ordalis {
namespace {

using test::DialogScript;
using test::FixedClock;
using test::Played;
using test::RecordingPlayer;

const Played kErrorSound{L"ERROR", false, true};  // the resource, played to its end

std::wstring Text(HWND dialog, int id) {
  wchar_t text[512] = {};
  GetDlgItemTextW(dialog, id, text, 512);
  return text;
}

// The entry a list shows as chosen.
std::wstring Chosen(HWND dialog, int id) {
  const auto at = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
  wchar_t text[64] = {};
  if (at >= 0) SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(text));
  return text;
}
int Entries(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0));
}

int FocusedId() {
  return GetDlgCtrlID(GetFocus());
}

bool WholeTextSelected(HWND dialog, int id) {
  DWORD start = 0, end = 0;
  SendDlgItemMessageW(dialog, id, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                      reinterpret_cast<LPARAM>(&end));
  return start == 0 && end == static_cast<DWORD>(GetWindowTextLengthW(GetDlgItem(dialog, id)));
}

// The user selects a field's whole text with the mouse.
DialogScript::Action SelectAll(int id) {
  return [id](HWND dialog) { SendDlgItemMessageW(dialog, id, EM_SETSEL, 0, -1); };
}

bool Shown(HWND dialog, int id) {
  return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

class TaskEditorTest : public testing::Test {
 protected:
  std::optional<Task> Run(const TaskEditorRequest& request) {
    values_.Read();
    return EditTask(nullptr, request, {values_, sound_, clock_});
  }
  std::optional<Task> RunNew(bool withTime = true) {
    return Run({kNewTaskCaption, withTime, std::nullopt});
  }

  test::ScratchRegistry registry_;
  RegistrySettings settings_;
  Settings values_{settings_};
  FixedClock clock_;
  RecordingPlayer sound_;
};

TEST_F(TaskEditorTest, OpensOnTodayWithTheFocusInTheDescription) {
  // February of a common year: the first day list is this year's, not 2000's.
  clock_.now = {2027, 2, 7, 9, 5, 0, 0};
  DialogScript script(kNewTaskCaption);
  script
      .Do([](HWND dialog) {
        EXPECT_EQ(FocusedId(), IDC_CBEZEICHNUNG);
        EXPECT_EQ(Text(dialog, IDC_CBEZEICHNUNG), L"");
        EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"07");
        EXPECT_EQ(Entries(dialog, IDC_CTAGE), 28);
        EXPECT_EQ(Chosen(dialog, IDC_CMONATE), L"02");
        EXPECT_EQ(Entries(dialog, IDC_CMONATE), 12);
        EXPECT_EQ(Text(dialog, IDC_CJAHRE), L"2027");
        EXPECT_EQ(Text(dialog, IDC_CSTUNDEN), L"09");
        EXPECT_EQ(Text(dialog, IDC_CMINUTEN), L"05");
        for (int id : {IDC_LUHRZEIT, IDC_LPUNKTE, IDC_CSTUNDEN, IDC_CMINUTEN}) {
          EXPECT_TRUE(Shown(dialog, id)) << id;
        }
        // The dialog ends by its buttons only: no close command.
        EXPECT_EQ(GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND),
                  static_cast<UINT>(-1));
      })
      .Click(IDC_CABBRECHEN);
  EXPECT_EQ(RunNew(), std::nullopt);
}

TEST_F(TaskEditorTest, EnterWalksFromTheDescriptionToOkAndAccepts) {
  DialogScript script(kNewTaskCaption);
  script.Type(L"Zahnarzt")
      .Press(VK_RETURN)
      .Do([](HWND) { EXPECT_EQ(FocusedId(), IDC_CTAGE); })
      .Type(L"24")  // typed digits make one number
      .Do([](HWND dialog) { EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"24"); })
      .Press(VK_RETURN)
      .Do([](HWND) { EXPECT_EQ(FocusedId(), IDC_CMONATE); })
      .Type(L"0x")  // "0" alone selects nothing yet, a letter nothing at all
      .Do([](HWND dialog) { EXPECT_EQ(Chosen(dialog, IDC_CMONATE), L"12"); })
      .Press(VK_RETURN)
      .Do([](HWND dialog) {
        EXPECT_EQ(FocusedId(), IDC_CJAHRE);
        EXPECT_TRUE(WholeTextSelected(dialog, IDC_CJAHRE));
      })
      .Press(VK_RETURN)
      .Do([](HWND dialog) {
        EXPECT_EQ(FocusedId(), IDC_CSTUNDEN);
        EXPECT_TRUE(WholeTextSelected(dialog, IDC_CSTUNDEN));
      })
      .Press(VK_RETURN)
      .Do([](HWND dialog) {
        EXPECT_EQ(FocusedId(), IDC_CMINUTEN);
        EXPECT_TRUE(WholeTextSelected(dialog, IDC_CMINUTEN));
      })
      .Press(VK_RETURN)
      .Do([](HWND) { EXPECT_EQ(FocusedId(), IDC_CREADY); })
      .Press(VK_RETURN);
  EXPECT_EQ(RunNew(), (Task{"12-24-2026", "10:30", "Zahnarzt"}));
  EXPECT_TRUE(sound_.played.empty());
}

TEST_F(TaskEditorTest, OtherTasksHaveNoTimeAndTheYearLeadsToOk) {
  DialogScript script(kNewTaskCaption);
  script
      .Do([](HWND dialog) {
        for (int id : {IDC_LUHRZEIT, IDC_LPUNKTE, IDC_CSTUNDEN, IDC_CMINUTEN}) {
          EXPECT_FALSE(Shown(dialog, id)) << id;
        }
      })
      .Type(L"Sekt kaufen")
      .Press(VK_RETURN)
      .Press(VK_RETURN)
      .Press(VK_RETURN)
      .Do([](HWND) { EXPECT_EQ(FocusedId(), IDC_CJAHRE); })
      .Press(VK_RETURN)
      .Do([](HWND) { EXPECT_EQ(FocusedId(), IDC_CREADY); })
      .Press(VK_RETURN);
  EXPECT_EQ(RunNew(false), (Task{"12-08-2026", "00:00", "Sekt kaufen"}));
}

TEST_F(TaskEditorTest, ALeftTimeFieldIsPaddedOrResetWithTheErrorSound) {
  DialogScript script(kNewTaskCaption);
  script.Type(L"Zahnarzt")
      .Do([this](HWND) { clock_.now = {2026, 12, 8, 11, 45, 0, 0}; })  // the user took a while
      .Focus(IDC_CSTUNDEN)
      .Type(L"ab")
      .Press(VK_TAB)
      .Do([this](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_CSTUNDEN), L"11");
        EXPECT_EQ(FocusedId(), IDC_CSTUNDEN);
        EXPECT_TRUE(WholeTextSelected(dialog, IDC_CSTUNDEN));
        EXPECT_EQ(sound_.played, std::vector<Played>{kErrorSound});
      })
      .Type(L"24")
      .Press(VK_TAB)
      .Do([this](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_CSTUNDEN), L"11");
        EXPECT_EQ(FocusedId(), IDC_CSTUNDEN);
        EXPECT_EQ(sound_.played.size(), 2u);
      })
      .Type(L"7")
      .Press(VK_TAB)
      .Do([this](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_CSTUNDEN), L"07");
        EXPECT_EQ(FocusedId(), IDC_CMINUTEN);
        EXPECT_EQ(sound_.played.size(), 2u);
      })
      .Type(L"75")
      .Press(VK_TAB)
      .Do([this](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_CMINUTEN), L"45");
        EXPECT_EQ(FocusedId(), IDC_CMINUTEN);
        EXPECT_TRUE(WholeTextSelected(dialog, IDC_CMINUTEN));
        EXPECT_EQ(sound_.played, std::vector<Played>(3, kErrorSound));
      })
      .Type(L"5")
      .Press(VK_TAB)
      .Do([this](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_CMINUTEN), L"05");
        EXPECT_EQ(FocusedId(), IDC_CREADY);
        EXPECT_EQ(sound_.played.size(), 3u);
      })
      .Click(IDC_CREADY);
  EXPECT_EQ(RunNew(), (Task{"12-08-2026", "07:05", "Zahnarzt"}));
}

TEST_F(TaskEditorTest, LeavingForCancelOrByEscapeDoesNotObject) {
  {
    DialogScript script(kNewTaskCaption);
    script.Focus(IDC_CSTUNDEN).Type(L"ab").Click(IDC_CABBRECHEN);
    EXPECT_EQ(RunNew(), std::nullopt);
  }
  {
    DialogScript script(kNewTaskCaption);
    script.Type(L"Zahnarzt").Focus(IDC_CMINUTEN).Type(L"99").Press(VK_ESCAPE);
    EXPECT_EQ(RunNew(), std::nullopt);
  }
  EXPECT_TRUE(sound_.played.empty());
}

TEST_F(TaskEditorTest, AFullYearOrTimeFieldRefusesMoreUnlessAllOfItIsSelected) {
  DialogScript script(kNewTaskCaption);
  script.Focus(IDC_CJAHRE)
      .Type(L"2007")
      .Type(L"8")
      .Do([](HWND dialog) { EXPECT_EQ(Text(dialog, IDC_CJAHRE), L"2007"); })
      .Do([](HWND dialog) { SendDlgItemMessageW(dialog, IDC_CJAHRE, EM_SETSEL, 1, 3); })
      .Type(L"5")
      .Do([](HWND dialog) { EXPECT_EQ(Text(dialog, IDC_CJAHRE), L"2007"); })
      .Do([](HWND dialog) { SendDlgItemMessageW(dialog, IDC_CJAHRE, EM_SETSEL, 4, 4); })
      .Type(L"\b")  // Backspace always passes
      .Type(L"9")
      .Do([](HWND dialog) { EXPECT_EQ(Text(dialog, IDC_CJAHRE), L"2009"); })
      .Do(SelectAll(IDC_CJAHRE))
      .Type(L"2")
      .Do([](HWND dialog) { EXPECT_EQ(Text(dialog, IDC_CJAHRE), L"2"); })
      .Focus(IDC_CSTUNDEN)
      .Type(L"123")
      .Do([](HWND dialog) { EXPECT_EQ(Text(dialog, IDC_CSTUNDEN), L"12"); })
      .Focus(IDC_CMINUTEN)
      .Type(L"456")
      .Do([](HWND dialog) { EXPECT_EQ(Text(dialog, IDC_CMINUTEN), L"45"); })
      .Click(IDC_CABBRECHEN);
  EXPECT_EQ(RunNew(), std::nullopt);
}

// A year outside the century becomes the current year, shown selected with
// the error sound; the next "OK" stores what the user has seen.
TEST_F(TaskEditorTest, OnOkAYearOutsideTheCenturyShowsTheCurrentYear) {
  struct Case {
    const wchar_t* typed;
    const char* stored;
    bool corrected;
  };
  for (const Case& c :
       {Case{L"1999", "2026", true}, Case{L"2100", "2026", true}, Case{L"20x7", "2026", true},
        Case{L"2000", "2000", false}, Case{L"2099", "2099", false}}) {
    SCOPED_TRACE(testing::PrintToString(c.typed));
    sound_.played.clear();
    DialogScript script(kNewTaskCaption);
    script.Type(L"Termin").Focus(IDC_CJAHRE).Type(c.typed).Click(IDC_CREADY);
    if (c.corrected) {
      script
          .Do([](HWND dialog) {
            EXPECT_EQ(Text(dialog, IDC_CJAHRE), L"2026");
            EXPECT_EQ(FocusedId(), IDC_CJAHRE);
            EXPECT_TRUE(WholeTextSelected(dialog, IDC_CJAHRE));
          })
          .Click(IDC_CREADY);
    }
    const auto task = RunNew();
    ASSERT_TRUE(task);
    EXPECT_EQ(task->date, std::string("12-08-") + c.stored);
    EXPECT_EQ(sound_.played.size(), c.corrected ? 1u : 0u);
  }
}

TEST_F(TaskEditorTest, OutOfRangeTimesOnOkShowTheCurrentTimeInTwoDigits) {
  clock_.now = {2026, 12, 8, 7, 5, 0, 0};
  DialogScript script(kNewTaskCaption);
  script.Type(L"Termin")
      .Focus(IDC_CSTUNDEN)
      .Type(L"-1")
      .Focus(IDC_CMINUTEN)
      .Type(L"-5")
      .Click(IDC_CREADY)
      .Do([](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_CSTUNDEN), L"07");
        EXPECT_EQ(Text(dialog, IDC_CMINUTEN), L"05");
        EXPECT_EQ(FocusedId(), IDC_CSTUNDEN);
      })
      .Click(IDC_CREADY);
  EXPECT_EQ(RunNew(), (Task{"12-08-2026", "07:05", "Termin"}));
}

TEST_F(TaskEditorTest, WhenEvenTheCurrentYearIsRefusedTheDialogStaysOnTheYear) {
  clock_.now = {2101, 3, 1, 12, 0, 0, 0};
  DialogScript script(kNewTaskCaption);
  script.Type(L"Termin")
      .Click(IDC_CREADY)
      .Do([](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_CJAHRE), L"2101");
        EXPECT_EQ(FocusedId(), IDC_CJAHRE);
        EXPECT_TRUE(WholeTextSelected(dialog, IDC_CJAHRE));
      })
      .Type(L"2030")
      .Click(IDC_CREADY);
  EXPECT_EQ(RunNew(), (Task{"03-01-2030", "12:00", "Termin"}));
}

TEST_F(TaskEditorTest, TheDayListFollowsMonthAndYear) {
  clock_.now = {2026, 12, 31, 10, 30, 0, 0};
  DialogScript script(kNewTaskCaption);
  script.Focus(IDC_CJAHRE)
      .Type(L"2028")
      .Focus(IDC_CMONATE)
      .Press(VK_HOME)
      .Press(VK_DOWN)
      .Do([](HWND dialog) {
        EXPECT_EQ(Chosen(dialog, IDC_CMONATE), L"02");
        EXPECT_EQ(Entries(dialog, IDC_CTAGE), 29);
        EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"29");  // today is the 31st
      })
      .Focus(IDC_CJAHRE)
      .Type(L"2027")
      .Do([](HWND dialog) {
        EXPECT_EQ(Entries(dialog, IDC_CTAGE), 28);
        EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"28");
      })
      .Focus(IDC_CMONATE)
      .Press(VK_DOWN)
      .Press(VK_DOWN)
      .Do([](HWND dialog) {
        EXPECT_EQ(Chosen(dialog, IDC_CMONATE), L"04");
        EXPECT_EQ(Entries(dialog, IDC_CTAGE), 30);
        EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"30");
      })
      // A day the user chose survives a new year that still has it.
      .Press(VK_UP)
      .Press(VK_UP)
      .Focus(IDC_CJAHRE)
      .Type(L"2032")
      .Focus(IDC_CTAGE)
      .Press(VK_END)
      .Do([](HWND dialog) { EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"29"); })
      .Focus(IDC_CJAHRE)
      .Type(L"2036")
      .Do([](HWND dialog) { EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"29"); })
      .Do(SelectAll(IDC_CJAHRE))
      .Type(L"2038")
      .Do([](HWND dialog) {
        EXPECT_EQ(Entries(dialog, IDC_CTAGE), 28);
        EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"28");
      })
      .Do(SelectAll(IDC_CJAHRE))
      .Type(L"2036")
      .Do([](HWND dialog) { EXPECT_EQ(Entries(dialog, IDC_CTAGE), 29); })
      // A year field without a number: the list is the current year's.
      .Do(SelectAll(IDC_CJAHRE))
      .Type(L"ab")
      .Do([](HWND dialog) { EXPECT_EQ(Entries(dialog, IDC_CTAGE), 28); })
      .Click(IDC_CABBRECHEN);
  EXPECT_EQ(RunNew(), std::nullopt);
}

TEST_F(TaskEditorTest, EditModeShowsTheEntryAndReturnsTheChange) {
  DialogScript script(kEditTaskCaption);
  script
      .Do([](HWND dialog) {
        EXPECT_EQ(Chosen(dialog, IDC_CMONATE), L"02");
        EXPECT_EQ(Entries(dialog, IDC_CTAGE), 29);
        EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"29");
        EXPECT_EQ(Text(dialog, IDC_CJAHRE), L"2028");
        EXPECT_EQ(Text(dialog, IDC_CSTUNDEN), L"09");
        EXPECT_EQ(Text(dialog, IDC_CMINUTEN), L"05");
        EXPECT_EQ(Text(dialog, IDC_CBEZEICHNUNG), L"Zahnarzt Müller");
        EXPECT_EQ(FocusedId(), IDC_CBEZEICHNUNG);
        EXPECT_TRUE(WholeTextSelected(dialog, IDC_CBEZEICHNUNG));
      })
      .Type(L"Kontrolle bei Müller")
      .Focus(IDC_CSTUNDEN)
      .Type(L"14")
      .Click(IDC_CREADY);
  EXPECT_EQ(
      Run({kEditTaskCaption, true, SplitForEditor("02-29-2028", "09:05", "Zahnarzt M\xFCller")}),
      (Task{"02-29-2028", "14:05", "Kontrolle bei M\xFCller"}));
}

TEST_F(TaskEditorTest, ADamagedDateAndTimeShowEmptyAndWaitForTheUser) {
  DialogScript script(kEditTaskCaption);
  script
      .Do([](HWND dialog) {
        EXPECT_EQ(Chosen(dialog, IDC_CMONATE), L"");
        EXPECT_EQ(Chosen(dialog, IDC_CTAGE), L"");
        EXPECT_EQ(Text(dialog, IDC_CJAHRE), L"");
        EXPECT_EQ(Text(dialog, IDC_CSTUNDEN), L"");
      })
      .Type(L"nur die Beschreibung")
      .Click(IDC_CREADY)
      .Do([this](HWND dialog) {
        // Still open, on the first empty field, with the error sound.
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(FocusedId(), IDC_CTAGE);
        EXPECT_FALSE(sound_.played.empty());
        SetDlgItemTextW(dialog, IDC_CJAHRE, L"2027");  // first: a new year refills the days
        for (const auto& [id, item] : {std::pair{IDC_CTAGE, 2}, {IDC_CMONATE, 0}}) {
          SendMessageW(GetDlgItem(dialog, id), CB_SETCURSEL, item, 0);
        }
        SetDlgItemTextW(dialog, IDC_CSTUNDEN, L"08");
        SetDlgItemTextW(dialog, IDC_CMINUTEN, L"15");
      })
      .Click(IDC_CREADY);
  EXPECT_EQ(Run({kEditTaskCaption, true, SplitForEditor("13-45-2026", "99:99", "Arzt")}),
            (Task{"01-03-2027", "08:15", "nur die Beschreibung"}));
}

TEST_F(TaskEditorTest, AnEmptyDescriptionKeepsTheDialogOpenWithoutAMessage) {
  DialogScript script(kNewTaskCaption);
  script.Focus(IDC_CSTUNDEN)
      .Click(IDC_CREADY)
      .Do([](HWND) { EXPECT_EQ(FocusedId(), IDC_CBEZEICHNUNG); })
      .Type(L"Termin")
      .Click(IDC_CREADY);
  EXPECT_EQ(RunNew(), (Task{"12-08-2026", "10:30", "Termin"}));
  EXPECT_TRUE(script.Answers().empty());
}

TEST_F(TaskEditorTest, ADescriptionTheFileCannotHoldIsRefusedAndStaysForCorrection) {
  // Typographic quotes, a pasted tab, a character outside Windows-1252.
  for (const std::wstring& description :
       {std::wstring(L"\u201EZitat\u201C"), std::wstring(L"a\tb"), std::wstring(L"\u03A9-Wert")}) {
    SCOPED_TRACE(testing::PrintToString(description));
    DialogScript script(kNewTaskCaption);
    script
        .Do([description](HWND dialog) {
          SendDlgItemMessageW(dialog, IDC_CBEZEICHNUNG, EM_REPLACESEL, TRUE,
                              reinterpret_cast<LPARAM>(description.c_str()));
        })
        .Focus(IDC_CJAHRE)
        .Click(IDC_CREADY)
        .Answer(L" Datenbankfehler", IDOK)
        .Do([description](HWND dialog) {
          EXPECT_EQ(Text(dialog, IDC_CBEZEICHNUNG), description);
          EXPECT_EQ(FocusedId(), IDC_CBEZEICHNUNG);
          EXPECT_TRUE(WholeTextSelected(dialog, IDC_CBEZEICHNUNG));
        })
        .Click(IDC_CABBRECHEN);
    EXPECT_EQ(RunNew(), std::nullopt);
    ASSERT_EQ(script.Answers().size(), 1u);
    EXPECT_NE(script.Answers()[0].find(L"unerlaubte Zeichen"), std::wstring::npos);
  }
  {
    // "^" would come back as the euro sign: refused with its own reason.
    DialogScript script(kNewTaskCaption);
    script.Type(L"2^10 Byte")
        .Click(IDC_CREADY)
        .Answer(L" Datenbankfehler", IDOK)
        .Do([](HWND dialog) {
          EXPECT_EQ(Text(dialog, IDC_CBEZEICHNUNG), L"2^10 Byte");
          EXPECT_EQ(FocusedId(), IDC_CBEZEICHNUNG);
        })
        .Click(IDC_CABBRECHEN);
    EXPECT_EQ(RunNew(), std::nullopt);
    ASSERT_EQ(script.Answers().size(), 1u);
    EXPECT_NE(script.Answers()[0].find(L"\"^\""), std::wstring::npos);
    EXPECT_NE(script.Answers()[0].find(L"\"\u20AC\""), std::wstring::npos);
  }
  // The euro sign is stored as "^" and comes back as itself.
  DialogScript script(kNewTaskCaption);
  script.Type(L"Sekt f\u00FCr 20 \u20AC").Click(IDC_CREADY);
  EXPECT_EQ(RunNew(), (Task{"12-08-2026", "10:30", "Sekt f\xFCr 20 \x80"}));
  EXPECT_TRUE(script.Answers().empty());
}

}  // namespace
}  // namespace ordalis
