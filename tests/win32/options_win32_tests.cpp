// The options dialog driven as a user drives it, on a scratch registry and
// program folder, with a main window that takes notes.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/help_win32.h"
#include "dialogs/password_dialog.h"
#include "options_fixture.h"
#include "options/options_controls.h"
#include "options/options_rules.h"

namespace ordalis {
namespace {

using namespace test;  // the fixture, its host and its control helpers

TEST_F(OptionsTest, AFreshSystemShowsTheDefaultsAndOkStoresThem) {
  DialogScript script(kOptionsCaption);
  script
      .Do([](HWND dialog) {
        for (const int id : {IDC_OPT_CSTARTUP, IDC_OPT_CAUTOSTART, IDC_OPT_CREGISTER,
                             IDC_OPT_CBEENDEN, IDC_OPT_SOUND1, IDC_OPT_CSCHRIFTART}) {
          EXPECT_FALSE(Checked(dialog, id)) << id;
        }
        EXPECT_TRUE(Checked(dialog, IDC_OPT_CSYMBOL));
        EXPECT_TRUE(Enabled(dialog, IDC_OPT_CBEENDEN));
        EXPECT_TRUE(Checked(dialog, IDC_OPT_SOUND0));
        EXPECT_EQ(Text(dialog, IDC_OPT_TSOUNDDATEI), L"");
        EXPECT_FALSE(Enabled(dialog, IDC_OPT_TSOUNDDATEI));
        EXPECT_FALSE(Enabled(dialog, IDC_OPT_BSOUNDDATEI));
        // No font stored: the list's design font, not to be changed yet.
        EXPECT_EQ(Text(dialog, IDC_OPT_LFONTNAME), L"Tahoma");
        EXPECT_EQ(Text(dialog, IDC_OPT_LFONTSIZE), L"9");
        EXPECT_FALSE(Enabled(dialog, IDC_OPT_LFONTNAME));
        EXPECT_FALSE(Enabled(dialog, IDC_OPT_LFONTSIZE));
        EXPECT_EQ(Entries(dialog, IDC_OPT_LFONTSIZE),
                  (std::vector<std::wstring>{L"8", L"9", L"10", L"11", L"12"}));
        // The screen's families, sorted, each once, no vertical faces.
        const std::vector<std::wstring> names = Entries(dialog, IDC_OPT_LFONTNAME);
        EXPECT_EQ(names, FontFamilyList(names));
        EXPECT_GT(names.size(), 1u);
        // No password: a new one can be typed, twice.
        EXPECT_EQ(Text(dialog, IDC_OPT_TKEY), L"");
        EXPECT_TRUE(Enabled(dialog, IDC_OPT_TKEY));
        EXPECT_TRUE(Shown(dialog, IDC_OPT_TREPEAT));
        EXPECT_FALSE(Enabled(dialog, IDC_OPT_BKENNWORT));
      })
      .Click(IDC_OPT_BREADY);
  Run();
  const std::map<std::wstring, std::string> expected = {
      {L"Startup", "dword 0"}, {L"Register", "dword 0"},     {L"Symbol", "dword 1"},
      {L"Beenden", "dword 0"}, {L"Notification", "dword 0"}, {L"Sounddatei", "absent"},
      {L"FontName", "absent"}, {L"FontSize", "absent"}};
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(Stored(name), value) << testing::PrintToString(name);
  }
  EXPECT_EQ(StoredRun(), "absent");
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"modes on", "add icon"}));
  EXPECT_FALSE(FileIsThere(folder_.File(L"Vemra.dat")));  // no password to store
}

// What is stored shows, and an OK without changes writes it back; the Run
// value names the executable of a folder with blanks as one argument.
TEST_F(OptionsTest, StoredSettingsShowAndOkWritesThemBack) {
  const std::vector<std::wstring> fonts = ScreenFontFamilies();
  ASSERT_GE(fonts.size(), 2u);
  const std::wstring font = fonts[0] == L"Tahoma" ? fonts[1] : fonts[0];
  for (const auto& [name, value] : std::vector<std::pair<std::wstring, SettingValue>>{
           {L"Startup", std::uint32_t{1}},
           {L"Register", std::uint32_t{1}},
           {L"Symbol", std::uint32_t{0}},
           {L"Beenden", std::uint32_t{1}},  // left behind: without the icon it cannot hold
           {L"Notification", std::uint32_t{1}},
           {L"Sounddatei", L"C:\\Klänge\\gong.wav"},
           {L"FontName", font},
           {L"FontSize", L"11"}}) {
    Set(name, value);
  }
  settings_.CreateKey(SettingsRoot::kCurrentUser, kRunKey, L"");
  // This copy's command in other letters: shown checked, written back as the program spells it.
  settings_.SetValue(SettingsRoot::kCurrentUser, kRunKey, L"Ordalis",
                     L"\"c:\\program files\\ordalis test\\VEMRA.exe\" /a");
  host_.folder = L"C:\\Program Files\\Ordalis Test";
  host_.trayShown = true;
  host_.mode = 3;

  DialogScript script(kOptionsCaption);
  script
      .Do([&](HWND dialog) {
        for (const int id : {IDC_OPT_CSTARTUP, IDC_OPT_CAUTOSTART, IDC_OPT_CREGISTER,
                             IDC_OPT_SOUND1, IDC_OPT_CSCHRIFTART}) {
          EXPECT_TRUE(Checked(dialog, id)) << id;
        }
        EXPECT_FALSE(Checked(dialog, IDC_OPT_CSYMBOL));
        EXPECT_FALSE(Checked(dialog, IDC_OPT_CBEENDEN));
        EXPECT_FALSE(Enabled(dialog, IDC_OPT_CBEENDEN));
        EXPECT_TRUE(Enabled(dialog, IDC_OPT_TSOUNDDATEI));
        EXPECT_EQ(Text(dialog, IDC_OPT_TSOUNDDATEI), L"C:\\Klänge\\gong.wav");
        EXPECT_TRUE(Enabled(dialog, IDC_OPT_LFONTNAME));
        EXPECT_EQ(Text(dialog, IDC_OPT_LFONTNAME), font);
        EXPECT_GE(Selected(dialog, IDC_OPT_LFONTNAME), 0);
        EXPECT_EQ(Text(dialog, IDC_OPT_LFONTSIZE), L"11");
      })
      .Click(IDC_OPT_BREADY);  // no warning: the icon was off already
  Run();
  const std::map<std::wstring, std::string> expected = {
      {L"Startup", "dword 1"},
      {L"Register", "dword 1"},
      {L"Symbol", "dword 0"},
      {L"Beenden", "dword 0"},
      {L"Notification", "dword 1"},
      {L"Sounddatei", "text " + Cp1252(L"C:\\Klänge\\gong.wav")},
      {L"FontName", "text " + Cp1252(font)},
      {L"FontSize", "text 11"}};
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(Stored(name), value) << testing::PrintToString(name);
  }
  EXPECT_EQ(StoredRun(), "text \"C:\\Program Files\\Ordalis Test\\Vemra.exe\" /a");
  EXPECT_EQ(host_.calls, (std::vector<std::string>{"show", "modes off", "never", "show",
                                                   "remove icon", "font " + Cp1252(font) + " 11"}));
}

TEST_F(OptionsTest, CancelWritesNothing) {
  Set(L"Symbol", std::uint32_t{1});
  DialogScript script(kOptionsCaption);
  for (const int id : {IDC_OPT_CSTARTUP, IDC_OPT_CAUTOSTART, IDC_OPT_CSYMBOL, IDC_OPT_SOUND1,
                       IDC_OPT_CSCHRIFTART}) {
    script.Do(Toggle(id));
  }
  script.Do(SetText(IDC_OPT_TSOUNDDATEI, L"C:\\a.wav"))
      .Do(SetText(IDC_OPT_TKEY, L"pw"))
      .Do(SetText(IDC_OPT_TREPEAT, L"pw"))
      .Click(IDC_OPT_BABBRECHEN);
  Run();
  for (const wchar_t* name : {L"Startup", L"Notification", L"Sounddatei", L"FontName"}) {
    EXPECT_EQ(Stored(name), "absent") << testing::PrintToString(name);
  }
  EXPECT_EQ(Stored(L"Symbol"), "dword 1");
  EXPECT_EQ(StoredRun(), "absent");
  EXPECT_TRUE(host_.calls.empty());
  EXPECT_FALSE(FileIsThere(folder_.File(L"Vemra.dat")));
}

// Switching the icon off warns only when it was stored as on; "No" keeps it.
TEST_F(OptionsTest, SwitchingTheIconOffWarnsWhenItWasOn) {
  struct Case {
    std::optional<std::uint32_t> stored;
    int answer;  // 0: no warning expected
    const char* symbol;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {1, IDNO, "dword 1", {"modes on"}},
      {1, IDYES, "dword 0", {"modes off", "never", "show", "remove icon"}},
      {std::nullopt, 0, "dword 0", {"modes off", "never", "show", "remove icon"}},
  };
  for (const Case& c : cases) {
    if (c.stored) {
      Set(L"Symbol", *c.stored);
    } else {
      settings_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"Symbol");
    }
    host_.calls.clear();
    host_.mode = 1;
    host_.trayShown = true;
    DialogScript script(kOptionsCaption);
    script.Do(Toggle(IDC_OPT_CSYMBOL)).Do([](HWND dialog) {
      EXPECT_FALSE(Enabled(dialog, IDC_OPT_CBEENDEN));
    });
    script.Click(IDC_OPT_BREADY);
    if (c.answer) script.Answer(L"Ordalis  ", c.answer);
    Run();
    EXPECT_EQ(Stored(L"Symbol"), c.symbol);
    EXPECT_EQ(host_.calls, c.calls);
    if (c.answer) {
      ASSERT_EQ(script.Answers().size(), 1u);
      EXPECT_EQ(script.Answers()[0],
                L"Wenn Sie das Symbol aus der Taskleiste entfernen, kann Ordalis Sie nicht mehr "
                L"automatisch erinnern.\n\nMöchten Sie trotzdem fortfahren?");
    }
  }
}

TEST_F(OptionsTest, SoundChoiceFileDialogAndPlayButton) {
  const std::wstring wav = folder_.File(L"gong.wav");
  ASSERT_TRUE(WriteFileBytes(wav, "RIFF"));
  Set(L"Sounddatei", L"C:\\alt.wav");
  DialogScript script(kOptionsCaption);
  script
      .Do([](HWND dialog) {
        EXPECT_FALSE(Enabled(dialog, IDC_OPT_TSOUNDDATEI));
        EXPECT_EQ(Text(dialog, IDC_OPT_TSOUNDDATEI), L"C:\\alt.wav");
      })
      .Do(SetText(IDC_OPT_TSOUNDDATEI, L""))
      .Click(IDC_OPT_SOUND1)
      .Do([](HWND dialog) {
        EXPECT_TRUE(Enabled(dialog, IDC_OPT_TSOUNDDATEI));
        EXPECT_TRUE(Enabled(dialog, IDC_OPT_BSOUNDDATEI));
      })
      .Click(IDC_OPT_BSPIELEN)  // empty field: the embedded sound
      .Click(IDC_OPT_BSOUNDDATEI)
      .In(L"Klangdatei öffnen")
      .Do([](HWND open) {
        wchar_t filter[64] = {};
        SendDlgItemMessageW(open, cmb1, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
        EXPECT_STREQ(filter, L"Audiodateien (*.wav)");
        PostMessageW(open, WM_COMMAND, IDCANCEL, 0);
      })
      .In(kOptionsCaption)
      .Do([](HWND dialog) { EXPECT_EQ(Text(dialog, IDC_OPT_TSOUNDDATEI), L""); })
      .Click(IDC_OPT_BSOUNDDATEI)
      .In(L"Klangdatei öffnen")
      .Do([wav](HWND open) {
        for (const int id : {cmb13, edt1}) SetDlgItemTextW(open, id, wav.c_str());
        PostMessageW(open, WM_COMMAND, IDOK, 0);
      })
      .In(kOptionsCaption)
      .Do([wav](HWND dialog) {
        EXPECT_EQ(_wcsicmp(Text(dialog, IDC_OPT_TSOUNDDATEI).c_str(), wav.c_str()), 0);
      })
      .Focus(IDC_OPT_TSOUNDDATEI)
      .Do([](HWND dialog) {
        DWORD start = 1, end = 0;
        SendDlgItemMessageW(dialog, IDC_OPT_TSOUNDDATEI, EM_GETSEL,
                            reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(start, 0u);
        EXPECT_EQ(end, static_cast<DWORD>(Text(dialog, IDC_OPT_TSOUNDDATEI).size()));
      })
      .Click(IDC_OPT_BSPIELEN)  // the chosen file
      .Do(SetText(IDC_OPT_TSOUNDDATEI, folder_.File(L"fehlt.wav")))
      .Click(IDC_OPT_BSPIELEN)  // a missing file: nothing
      .Click(IDC_OPT_SOUND0)
      .Do([](HWND dialog) { EXPECT_FALSE(Enabled(dialog, IDC_OPT_TSOUNDDATEI)); })
      .Do(SetText(IDC_OPT_TSOUNDDATEI, L""))
      .Click(IDC_OPT_BREADY);
  Run();
  EXPECT_EQ(host_.sound.played,
            (std::vector<Played>{{L"KONTAKT", false, true}, {wav, true, true}}));
  EXPECT_EQ(Stored(L"Notification"), "dword 0");
  EXPECT_EQ(Stored(L"Sounddatei"), "absent");  // the emptied field deletes it
}

TEST_F(OptionsTest, WithoutASoundDeviceTheInternalOptionIsFixed) {
  host_.soundDevice = false;
  Set(L"Notification", std::uint32_t{1});
  DialogScript script(kOptionsCaption);
  script
      .Do([](HWND dialog) {
        EXPECT_FALSE(Enabled(dialog, IDC_OPT_SOUND0));
        EXPECT_TRUE(Checked(dialog, IDC_OPT_SOUND1));
      })
      .Click(IDC_OPT_BABBRECHEN);
  Run();
}

// "&Hilfe" and F1 on any control ask for the same topic; without the viewer
// both say so.
TEST_F(OptionsTest, HelpWithoutTheViewerSaysSo) {
  DialogScript script(kOptionsCaption);
  script.Click(IDC_OPT_BHILFE).Answer(L" Einstellungen ", IDOK);
  for (const int control :
       {IDC_OPT_CSTARTUP, IDC_OPT_TSOUNDDATEI, IDC_OPT_LFONTSIZE, IDC_OPT_TKEY}) {
    script.Focus(control).Press(VK_F1).Answer(L" Einstellungen ", IDOK);
  }
  script.Click(IDC_OPT_BABBRECHEN);
  Run();
  EXPECT_EQ(script.Answers(), std::vector<std::wstring>(5, kHelpMissingText));
}

// Each access key of the dialog belongs to one control, and the password
// button's is not that of "&Nie erinnern bedeutet nicht beenden ".
TEST_F(OptionsTest, NoTwoControlsShareTheNewAccessKey) {
  std::wstring button;
  for (const win32::ControlSpec& control : OptionsControls()) {
    if (control.id == IDC_OPT_BKENNWORT) button = control.text;
  }
  const size_t amp = button.find(L'&');
  ASSERT_NE(amp, std::wstring::npos);
  const wchar_t key = static_cast<wchar_t>(towlower(button[amp + 1]));
  int users = 0;
  for (const win32::ControlSpec& control : OptionsControls()) {
    const std::wstring text = control.text;
    const size_t at = text.find(L'&');
    if (at != std::wstring::npos && at + 1 < text.size() && towlower(text[at + 1]) == key) ++users;
  }
  EXPECT_EQ(users, 1) << testing::PrintToString(button);
}

TEST_F(OptionsTest, TheFontIsStoredAndAppliedOrDeleted) {
  DialogScript script(kOptionsCaption);
  script.Click(IDC_OPT_CSCHRIFTART)
      .Do([](HWND dialog) {
        EXPECT_TRUE(Enabled(dialog, IDC_OPT_LFONTNAME));
        EXPECT_TRUE(Enabled(dialog, IDC_OPT_LFONTSIZE));
        EXPECT_EQ(GetAncestor(GetFocus(), GA_PARENT) == GetDlgItem(dialog, IDC_OPT_LFONTNAME) ||
                      GetFocus() == GetDlgItem(dialog, IDC_OPT_LFONTNAME),
                  true);
        SendDlgItemMessageW(dialog, IDC_OPT_LFONTSIZE, CB_SETCURSEL, 4, 0);
      })
      .Click(IDC_OPT_BREADY);
  Run();
  EXPECT_EQ(Stored(L"FontName"), "text Tahoma");
  EXPECT_EQ(Stored(L"FontSize"), "text 12");
  EXPECT_EQ(host_.calls.back(), "font Tahoma 12");

  // A stored font that is not installed stays as it is; unchecking deletes
  // both values and leaves the list's font alone.
  Set(L"FontName", L"Nicht Installiert");
  host_.calls.clear();
  DialogScript again(kOptionsCaption);
  again
      .Do([](HWND dialog) {
        EXPECT_EQ(Text(dialog, IDC_OPT_LFONTNAME), L"Nicht Installiert");
        EXPECT_EQ(Selected(dialog, IDC_OPT_LFONTNAME), CB_ERR);
      })
      .Click(IDC_OPT_BREADY);
  Run();
  EXPECT_EQ(Stored(L"FontName"), "text Nicht Installiert");
  EXPECT_EQ(host_.calls.back(), "font Nicht Installiert 12");
  host_.calls.clear();
  DialogScript off(kOptionsCaption);
  off.Click(IDC_OPT_CSCHRIFTART).Click(IDC_OPT_BREADY);
  Run();
  EXPECT_EQ(Stored(L"FontName"), "absent");
  EXPECT_EQ(Stored(L"FontSize"), "absent");
  EXPECT_EQ(host_.calls, std::vector<std::string>{"modes on"});
}

// One dialog at a time: another opening brings the open one to the front.
TEST_F(OptionsTest, OnlyOneIsOpenAtATime) {
  const auto count = [] {
    int found = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
          wchar_t title[64] = {};
          GetWindowTextW(window, title, 64);
          if (IsWindow(window) && std::wstring_view(title) == kOptionsCaption) {
            ++*reinterpret_cast<int*>(found);
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
  };
  ShowOptions(nullptr, host_, false);
  ShowOptions(nullptr, host_, false);
  ShowOptions(nullptr, host_, true);  // returns at once: one is open
  ASSERT_EQ(count(), 1);
  HWND dialog = FindWindowW(L"#32770", kOptionsCaption);
  SendMessageW(GetDlgItem(dialog, IDC_OPT_CSTARTUP), BM_CLICK, 0, 0);
  SendMessageW(GetDlgItem(dialog, IDC_OPT_BREADY), BM_CLICK, 0, 0);
  PumpMessages(100);
  EXPECT_EQ(count(), 0);
  EXPECT_EQ(Stored(L"Startup"), "dword 1");

  DialogScript script(kOptionsCaption);  // closed: the next opening is a new one
  script.Click(IDC_OPT_BABBRECHEN);
  Run();
}

// ---------------------------------------------------------------------------
// The password

// A new password is typed twice and stored scrambled; one the file cannot
// hold, or two that differ, keep the dialog open and store nothing.
TEST_F(OptionsTest, ANewPasswordIsTypedTwice) {
  struct Case {
    const wchar_t* typed;
    const wchar_t* repeated;
    const wchar_t* named;  // in the message; nullptr: accepted
  };
  const Case cases[] = {
      {L"Neu 1", L"Neu 1", nullptr},
      {L"Neu 1", L"neu 1", L"stimmen nicht überein"},
      {L"5€", L"5€", L"„€“"},
      {L"Passwort€ß漢", L"Passwort€ß漢", L"„€“, „漢“."},
      {L"ab\tcd", L"ab\tcd", L": Tabulator."},
  };
  for (const Case& c : cases) {
    DeleteFileW(folder_.File(L"Vemra.dat").c_str());
    DialogScript script(kOptionsCaption);
    script.Do(SetText(IDC_OPT_TKEY, c.typed))
        .Do(SetText(IDC_OPT_TREPEAT, c.repeated))
        .Click(IDC_OPT_BREADY);
    if (c.named) {
      script.Answer(kOptionsCaption, IDOK).Click(IDC_OPT_BABBRECHEN);
    }
    Run();
    EXPECT_EQ(StoredPassword(), c.named ? "" : "Neu 1") << testing::PrintToString(c.typed);
    ASSERT_EQ(script.Answers().size(), c.named ? 1u : 0u);
    if (c.named) {
      EXPECT_NE(script.Answers()[0].find(c.named), std::wstring::npos)
          << testing::PrintToString(script.Answers()[0]);
    }
  }
}

TEST_F(OptionsTest, AStoredPasswordShowsAsStarsAndOkKeepsIt) {
  for (const std::string& password : {std::string("Alt12"), std::string(40, 'p')}) {
    StorePassword(password);
    const std::string before = test::ReadFileBytes(folder_.File(L"Vemra.dat"));
    DialogScript script(kOptionsCaption);
    script
        .Do([&](HWND dialog) {
          EXPECT_EQ(Text(dialog, IDC_OPT_TKEY),
                    std::wstring(std::min<size_t>(password.size(), 29), L'*'));
          EXPECT_FALSE(Enabled(dialog, IDC_OPT_TKEY));
          EXPECT_FALSE(Shown(dialog, IDC_OPT_TREPEAT));
          EXPECT_TRUE(Enabled(dialog, IDC_OPT_BKENNWORT));
        })
        .Click(IDC_OPT_BREADY);
    Run();
    EXPECT_EQ(test::ReadFileBytes(folder_.File(L"Vemra.dat")), before);
  }
}

// Changing asks for the current password first; a cancelled prompt ends
// nothing, and a field left empty removes the password.
TEST_F(OptionsTest, ChangingAPasswordAsksForTheCurrentOne) {
  struct Case {
    const wchar_t* newPassword;
    const char* stored;
  };
  for (const Case& c : {Case{L"Neu", "Neu"}, Case{L"", ""}}) {
    StorePassword("Alt12");
    DialogScript script(kOptionsCaption);
    script.Click(IDC_OPT_BKENNWORT)
        .In(kPasswordCaption)
        .Press(VK_ESCAPE)
        .In(kOptionsCaption)
        .Do([](HWND dialog) { EXPECT_FALSE(Enabled(dialog, IDC_OPT_TKEY)); })
        .Click(IDC_OPT_BKENNWORT)
        .In(kPasswordCaption)
        .Type(L"alt12")
        .Press(VK_RETURN)
        .Answer(L"Ordalis", IDOK)
        .Type(L"Alt12")
        .Press(VK_RETURN)
        .In(kOptionsCaption)
        .Do([](HWND dialog) {
          EXPECT_EQ(Text(dialog, IDC_OPT_TKEY), L"");
          EXPECT_TRUE(Enabled(dialog, IDC_OPT_TKEY));
          EXPECT_TRUE(Shown(dialog, IDC_OPT_TREPEAT));
          EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_OPT_TKEY));
        })
        .Type(c.newPassword)
        .Focus(IDC_OPT_TREPEAT)
        .Type(c.newPassword)
        .Click(IDC_OPT_BREADY);
    Run();
    EXPECT_EQ(StoredPassword(), c.stored);
  }
}

// The Run value names the executable that runs, whatever it was renamed to.
TEST(RunningProgramName, IsTheExecutableWithoutFolderAndExtension) {
  EXPECT_EQ(RunningProgramName(), L"options_win32_tests");
}

}  // namespace
}  // namespace ordalis
