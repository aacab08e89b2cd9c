// What a screen reader reads: every edit field, combo box and list of the
// main window, the editor, the options and the password prompt has a name,
// read through the accessibility interface as a screen reader reads it.
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_script.h"
#include "dialogs/password_dialog.h"
#include "editor/task_editor_dialog.h"
#include "fixtures.h"
#include "options_fixture.h"

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
      return win32::WindowText(w);
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

using MainWindowNames = test::MainWindowFixture;

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
        ExpectNamed(dialog, {{IDC_PW_TEXT1, L"Name"}, {IDC_PW_TEXT2, L"Kennwort"}});
      })
      .Click(IDC_PW_CCANCEL);
  AskPassword(nullptr, {host_.Tasks(), settings_}, PasswordPurpose::kUnlock);
  EXPECT_TRUE(prompt.Finished());
}

}  // namespace
}  // namespace ordalis
