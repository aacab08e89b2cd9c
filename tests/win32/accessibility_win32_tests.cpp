// What a screen reader reads: every edit field, combo box and list of the
// main window, the editor, the options and the password prompt has a name,
// read through the accessibility interface as a screen reader reads it.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_script.h"
#include "dialogs/password_dialog.h"
#include "editor/task_editor_dialog.h"
#include "fixtures.h"
#include "mainwindow/restore_dialog.h"
#include "options_fixture.h"
#include "win32/dialog.h"

namespace ordalis {
namespace {

using test::DialogScript;

// IID_IAccessible, spelled out: MinGW's import library gives the symbol
// as a function thunk.
constexpr IID kIAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::wstring AccessibleName(HWND control) {
  CoInitialize(nullptr);  // once per thread is enough; later calls only count
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, kIAccessible,
                                        reinterpret_cast<void**>(&object))) ||
      !object) {
    return L"";
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring result;
  if (object->get_accName(self, &name) == S_OK && name) result = name;
  SysFreeString(name);
  object->Release();
  return result;
}

// The static text that names a control by the documented rule: the nearest
// one before it (GW_HWNDPREV), the search ending at a control that starts a
// group and is a tab stop.
std::wstring LabelBefore(HWND control) {
  for (HWND w = GetWindow(control, GW_HWNDPREV); w; w = GetWindow(w, GW_HWNDPREV)) {
    wchar_t name[16] = L"";
    GetClassNameW(w, name, 16);
    if (CompareStringOrdinal(name, -1, L"Static", -1, TRUE) == CSTR_EQUAL) {
      std::wstring text = win32::WindowText(w);
      std::erase(text, L'&');
      return text;
    }
    const LONG style = GetWindowLongW(w, GWL_STYLE);
    if ((style & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) break;
  }
  return L"";
}

bool IsField(HWND control) {
  wchar_t name[32] = L"";
  GetClassNameW(control, name, 32);
  for (const wchar_t* kind : {L"Edit", L"ComboBox", L"ListBox", L"SysListView32"}) {
    if (CompareStringOrdinal(name, -1, kind, -1, TRUE) == CSTR_EQUAL) return true;
  }
  return false;
}

// Every field of the window has a name, and the named ones the name given.
// Combo boxes are checked by their label too: Wine's stand-in object reads
// a combo box's selected text as its name, Windows reads the label.
void ExpectNamed(HWND window, const std::vector<std::pair<int, std::wstring>>& names) {
  std::vector<HWND> fields;
  for (HWND w = GetWindow(window, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (IsField(w)) fields.push_back(w);
  }
  EXPECT_FALSE(fields.empty());
  for (HWND field : fields) {
    EXPECT_NE(AccessibleName(field), L"") << "control " << GetDlgCtrlID(field);
  }
  for (const auto& [id, expected] : names) {
    HWND field = GetDlgItem(window, id);
    ASSERT_TRUE(field) << id;
    wchar_t kind[32] = L"";
    GetClassNameW(field, kind, 32);
    const bool combo = CompareStringOrdinal(kind, -1, L"ComboBox", -1, TRUE) == CSTR_EQUAL;
    const std::wstring name = combo ? LabelBefore(field) : AccessibleName(field);
    EXPECT_NE(name.find(expected), std::wstring::npos)
        << id << ": " << testing::PrintToString(name);
  }
}

// The access keys of these texts, each the letter after a single "&",
// with every one that stands more than once.
std::wstring Doubled(const std::vector<std::wstring>& texts) {
  std::wstring seen, doubled;
  for (const std::wstring& text : texts) {
    for (size_t at = text.find(L'&'); at != std::wstring::npos && at + 1 < text.size();
         at = text.find(L'&', at + 2)) {
      if (text[at + 1] == L'&') continue;
      wchar_t key = text[at + 1];
      CharLowerBuffW(&key, 1);
      if (seen.find(key) != std::wstring::npos) doubled += key;
      seen += key;
    }
  }
  return doubled;
}

// What a window offers access keys on: its controls and its tabs.
std::vector<std::wstring> KeyTexts(HWND window) {
  std::vector<std::wstring> texts;
  for (HWND w = GetWindow(window, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    wchar_t kind[32] = L"";
    GetClassNameW(w, kind, 32);
    if (CompareStringOrdinal(kind, -1, L"SysTabControl32", -1, TRUE) == CSTR_EQUAL) {
      for (int i = 0; i < TabCtrl_GetItemCount(w); ++i) {
        wchar_t text[64] = L"";
        TCITEMW item{TCIF_TEXT};
        item.pszText = text;
        item.cchTextMax = 64;
        TabCtrl_GetItem(w, i, &item);
        texts.push_back(text);
      }
    } else if (!(GetWindowLongW(w, GWL_STYLE) & SS_NOPREFIX) ||
               CompareStringOrdinal(kind, -1, L"Static", -1, TRUE) != CSTR_EQUAL) {
      texts.push_back(win32::WindowText(w));
    }
  }
  return texts;
}

std::vector<std::wstring> MenuTexts(HMENU menu) {
  std::vector<std::wstring> texts;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = L"";
    GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
    texts.push_back(text);
  }
  return texts;
}

using MainWindowNames = test::MainWindowFixture;

TEST_F(MainWindowNames, EachAccessKeyOfAWindowOrMenuStandsOnce) {
  test::WriteDataFile(DataPath(), {{"Important", {{"100", {"12-09-2026", "09:30", "Arzt"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(Doubled(KeyTexts(window_->Handle())), L"") << "main window";
  HMENU tray = window_->TrayMenu();
  EXPECT_EQ(Doubled(MenuTexts(tray)), L"") << "icon menu";
  EXPECT_EQ(GetMenuDefaultItem(tray, FALSE, 0), static_cast<UINT>(IDM_VISIBLE));
  for (int i = 0; i < GetMenuItemCount(tray); ++i) {
    if (HMENU sub = GetSubMenu(tray, i)) {
      EXPECT_EQ(Doubled(MenuTexts(sub)), L"") << "submenu";
    }
  }
  window_->List().Select(0);
  test::MenuWatcher watcher;
  SendMessageW(window_->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), -1);
  EXPECT_EQ(watcher.Texts().size(), 3u);
  EXPECT_EQ(Doubled(watcher.Texts()), L"") << "list menu";

  DialogScript script(kNewTaskCaption);
  script.Do([](HWND editor) { EXPECT_EQ(Doubled(KeyTexts(editor)), L"") << "editor"; })
      .Click(IDC_CABBRECHEN);
  SendMessageW(Item(IDC_BHINZUFUEGEN), BM_CLICK, 0, 0);
  EXPECT_TRUE(script.Finished());
}

TEST_F(MainWindowNames, TheListAndTheEditorsFields) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ExpectNamed(window_->Handle(), {{IDC_LDATEN, L"Aufgaben"}});

  DialogScript script(kNewTaskCaption);
  script
      .Do([](HWND editor) {
        ExpectNamed(editor, {{IDC_CBEZEICHNUNG, L"Aufgabe"},
                             {IDC_CTAGE, L"Tag"},
                             {IDC_CMONATE, L"Monat"},
                             {IDC_CJAHRE, L"Jahr"},
                             {IDC_CSTUNDEN, L"Stunde"},
                             {IDC_CMINUTEN, L"Minute"}});
      })
      .Click(IDC_CABBRECHEN);
  SendMessageW(Item(IDC_BHINZUFUEGEN), BM_CLICK, 0, 0);
  EXPECT_TRUE(script.Finished());
}

using OptionsNames = test::OptionsTest;

TEST_F(OptionsNames, TheOptionsAndThePromptsFields) {
  DialogScript options(kOptionsCaption);
  options
      .Do([](HWND dialog) {
        EXPECT_EQ(Doubled(KeyTexts(dialog)), L"") << "options";
        ExpectNamed(dialog, {{IDC_OPT_TSOUNDDATEI, L"Sounddatei"},
                             {IDC_OPT_LFONTNAME, L"Schriftart"},
                             {IDC_OPT_LFONTSIZE, L"Schriftgröße"},
                             {IDC_OPT_TKEY, L"Kennwort"},
                             {IDC_OPT_TREPEAT, L"Wiederholen"}});
      })
      .Click(IDC_OPT_BABBRECHEN);
  Run();
  EXPECT_TRUE(options.Finished());

  StorePassword("Alt12");
  DialogScript prompt(kPasswordCaption);
  prompt
      .Do([](HWND dialog) {
        EXPECT_EQ(Doubled(KeyTexts(dialog)), L"") << "password";
        ExpectNamed(dialog, {{IDC_PW_TEXT1, L"Name"}, {IDC_PW_TEXT2, L"Kennwort"}});
      })
      .Click(IDC_PW_CCANCEL);
  AskPassword(nullptr, {host_.Tasks(), settings_}, PasswordPurpose::kUnlock);
  EXPECT_TRUE(prompt.Finished());
}

// F1 opens the topic of the dialog it is pressed in, the innermost one.
TEST_F(OptionsNames, F1OpensTheTopicOfTheDialogInFront) {
  std::vector<int> opened;
  win32::Dialog::SetHelpOpener([&](int topic) { opened.push_back(topic); });
  StorePassword("Alt12");
  DialogScript script(kOptionsCaption);
  script.Click(IDC_OPT_BKENNWORT)
      .In(kPasswordCaption)
      .Press(VK_F1)
      .Press(VK_ESCAPE)
      .In(kOptionsCaption)
      .Click(IDC_OPT_BABBRECHEN)
      .In(kNewTaskCaption)
      .Press(VK_F1)
      .Click(IDC_CABBRECHEN)
      .In(kRestoreCaption)
      .Press(VK_F1)
      .Press(VK_ESCAPE);
  Run();
  test::FixedClock clock;
  EditTask(nullptr, {kNewTaskCaption, true, std::nullopt}, {host_.Values(), host_.sound, clock});
  ChooseBackup(nullptr, {{"Vemra.bak", 1, 0}});
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(opened, (std::vector<int>{15, 5, 17}));
  win32::Dialog::SetHelpOpener(nullptr);
}

}  // namespace
}  // namespace ordalis
