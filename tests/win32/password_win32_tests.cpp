// The password prompt driven as a user drives it: typed keys, Enter and
// Escape in the field, clicks on its buttons.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "dialogs/password_dialog.h"
#include "fixtures.h"
#include "options_fixture.h"
#include "storage/profile_file_win32.h"
#include "storage/settings_win32.h"
#include "support.h"
#include "win32/dpi.h"

namespace ordalis {
namespace {

using namespace test;  // the dialog script and the control helpers of the options fixture

constexpr wchar_t kOwnerKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion";

// Notes whether "OK" was still enabled when the prompt went away.
class OkStateAtClose {
 public:
  OkStateAtClose() {
    self = this;
    hook_ = SetWindowsHookExW(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId());
  }
  ~OkStateAtClose() {
    UnhookWindowsHookEx(hook_);
    self = nullptr;
  }
  std::optional<bool> enabled;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    wchar_t title[64] = {};
    if (code == HC_ACTION && call->message == WM_DESTROY && GetWindowTextW(call->hwnd, title, 64) &&
        std::wstring_view(title) == kPasswordCaption) {
      self->enabled = IsWindowEnabled(GetDlgItem(call->hwnd, IDC_PW_CREADY)) != FALSE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static inline OkStateAtClose* self = nullptr;
  HHOOK hook_;
};

class PasswordTest : public testing::Test {
 protected:
  void Store(std::string_view password) {
    ASSERT_EQ(StorePassword(files_, password), SaveResult::kSaved);
  }
  PasswordOutcome Ask(PasswordPurpose purpose = PasswordPurpose::kUnlock) {
    return AskPassword(nullptr, {store_, settings_}, purpose);
  }

  ScratchRegistry registry_;
  RegistrySettings settings_;
  TempFolder folder_;
  Win32TaskFiles files_{folder_.Path()};
  TaskStore store_{files_};
};

TEST_F(PasswordTest, ShowsTheOwnerOrBenutzerAndLocksItsCloseCommand) {
  Store("x");
  struct Case {
    std::optional<std::wstring> owner;
    const wchar_t* shown;
  };
  for (const Case& c : {Case{L"Erika Muster", L"Erika Muster"}, Case{std::nullopt, L"Benutzer"}}) {
    if (c.owner) {
      settings_.CreateKey(SettingsRoot::kLocalMachine, kOwnerKey, L"");
      settings_.SetValue(SettingsRoot::kLocalMachine, kOwnerKey, L"RegisteredOwner", *c.owner);
    } else {
      settings_.DeleteValue(SettingsRoot::kLocalMachine, kOwnerKey, L"RegisteredOwner");
    }
    DialogScript script(kPasswordCaption);
    script
        .Do([&](HWND dialog) {
          EXPECT_EQ(Text(dialog, IDC_PW_TEXT1), c.shown);
          EXPECT_EQ(Text(dialog, IDC_PW_LABEL3),
                    L"Für die Ansicht der Kalenderdaten geben Sie bitte Ihre Authentifizierung "
                    L"ein.");
          EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_PW_TEXT2));
          EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_PW_TEXT2, EM_GETPASSWORDCHAR, 0, 0), L'*');
          EXPECT_EQ(GetMenuState(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND),
                    static_cast<UINT>(-1));
          PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);  // Alt+F4
        })
        .Do([](HWND dialog) { EXPECT_TRUE(IsWindowVisible(dialog)); })
        .Click(IDC_PW_CCANCEL);
    EXPECT_EQ(Ask(), PasswordOutcome::kCancelled);
  }
}

// A wrong try is said and leaves its text selected, for the next to type
// over; only the exact text opens, with "OK" off.
TEST_F(PasswordTest, OnlyTheExactPasswordOpensAndAWrongOneIsSaid) {
  Store("Geheim ");
  OkStateAtClose ok;
  DialogScript script(kPasswordCaption);
  for (const wchar_t* wrong : {L"geheim ", L"Geheim", L"GEHEIM "}) {
    script.Type(wrong).Press(VK_RETURN).Answer(L"Ordalis", IDOK).Do([wrong](HWND dialog) {
      EXPECT_EQ(Text(dialog, IDC_PW_TEXT2), wrong);
      DWORD from = 1, to = 0;
      SendDlgItemMessageW(dialog, IDC_PW_TEXT2, EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                          reinterpret_cast<LPARAM>(&to));
      EXPECT_EQ(from, 0u);
      EXPECT_EQ(to, wcslen(wrong));
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PW_CREADY)));
    });
  }
  script.Type(L"Geheim ").Click(IDC_PW_CREADY);
  EXPECT_EQ(Ask(), PasswordOutcome::kAccepted);
  EXPECT_EQ(ok.enabled, std::optional<bool>(false));
  EXPECT_EQ(script.Answers(), std::vector<std::wstring>(3, L"Das Kennwort ist nicht richtig."));
}

TEST_F(PasswordTest, EscapeInTheFieldCancels) {
  Store("Geheim");
  for (const PasswordPurpose purpose :
       {PasswordPurpose::kUnlock, PasswordPurpose::kConfirmChange}) {
    DialogScript script(kPasswordCaption);
    script.Type(L"Geheim").Press(VK_ESCAPE);
    EXPECT_EQ(Ask(purpose), PasswordOutcome::kCancelled);
  }
}

// Before a change the prompt says why it asks, and its close box cancels.
TEST_F(PasswordTest, ConfirmingAChangeKeepsTheCloseBox) {
  Store("Geheim");
  DialogScript script(kPasswordCaption);
  script.Do([](HWND dialog) {
    EXPECT_EQ(Text(dialog, IDC_PW_LABEL3),
              L"Geben Sie bitte Ihr bisheriges Kennwort ein, bevor Sie es ändern.");
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
  EXPECT_EQ(Ask(PasswordPurpose::kConfirmChange), PasswordOutcome::kCancelled);
}

// Stored the way the options once stored a pasted tab: the file cannot give
// it back, and the lock holds against every text, the empty one included.
TEST_F(PasswordTest, ADamagedStoredPasswordKeepsTheLock) {
  Store("ab\tcd");
  DialogScript script(kPasswordCaption);
  script.Do([](HWND dialog) {
    const std::wstring note = Text(dialog, IDC_PW_NOTE);
    EXPECT_NE(note.find(L"beschädigt"), std::wstring::npos) << testing::PrintToString(note);
    EXPECT_NE(note.find(L"200="), std::wstring::npos);
    RECT shown{}, client{};
    GetWindowRect(GetDlgItem(dialog, IDC_PW_NOTE), &shown);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&shown), 2);
    GetClientRect(dialog, &client);
    EXPECT_LE(shown.bottom, client.bottom);  // the dialog grew to show it
  });
  for (const wchar_t* typed : {L"", L"ab\tcd", L"abcd", L"ab cd"}) {
    script.Do(SetText(IDC_PW_TEXT2, typed))
        .Click(IDC_PW_CREADY)
        .Answer(L"Ordalis", IDOK)
        .Do([](HWND dialog) { EXPECT_TRUE(IsWindowVisible(dialog)); });
  }
  script.Click(IDC_PW_CCANCEL);
  EXPECT_EQ(Ask(), PasswordOutcome::kCancelled);
  EXPECT_TRUE(script.Finished());
}

// Moved to a screen of another scale, the prompt shows its picture drawn for
// that scale, not the old one stretched.
TEST_F(PasswordTest, ThePictureFollowsAChangeOfDpi) {
  Store("x");
  const auto pictureWidth = [](HWND dialog) {
    ICONINFO info{};
    const auto icon =
        reinterpret_cast<HICON>(SendDlgItemMessageW(dialog, IDC_PW_PICTURE1, STM_GETICON, 0, 0));
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return static_cast<int>(bitmap.bmWidth);
  };
  DialogScript script(kPasswordCaption);
  script
      .Do([&](HWND dialog) {
        const UINT dpi = win32::WindowDpi(dialog);
        EXPECT_EQ(pictureWidth(dialog), MulDiv(32, static_cast<int>(dpi), 96));
        RECT rect{};
        GetWindowRect(dialog, &rect);
        SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi),
                     reinterpret_cast<LPARAM>(&rect));
        EXPECT_EQ(pictureWidth(dialog), MulDiv(64, static_cast<int>(dpi), 96));
      })
      .Click(IDC_PW_CCANCEL);
  EXPECT_EQ(Ask(), PasswordOutcome::kCancelled);
}

TEST_F(PasswordTest, WithoutAStoredPasswordNothingIsAsked) {
  DialogScript script(kPasswordCaption);  // no steps: no window may appear
  EXPECT_EQ(Ask(), PasswordOutcome::kAccepted);
}

}  // namespace
}  // namespace ordalis
