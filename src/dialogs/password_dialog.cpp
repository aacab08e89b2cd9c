#include "dialogs/password_dialog.h"

#include <optional>
#include <string>
#include <utility>

#include "resources/resource.h"
#include "storage/password_rules.h"
#include "win32/dialog.h"
#include "win32/dpi.h"
#include "win32/icons.h"
#include "win32/text.h"

namespace ordalis {

namespace {

using win32::ControlSpec;

constexpr wchar_t kUnlockText[] =
    L"Für die Ansicht der Kalenderdaten geben Sie bitte Ihre Authentifizierung ein.";
constexpr wchar_t kConfirmText[] =
    L"Geben Sie bitte Ihr bisheriges Kennwort ein, bevor Sie es ändern.";
constexpr wchar_t kOwnerKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion";

constexpr DWORD kLabel = WS_VISIBLE | SS_NOPREFIX;
constexpr DWORD kFieldLabel = WS_VISIBLE;  // its access key reaches the field after it
constexpr int kClientHeight = 3015, kNoteHeight = 1260;  // twips
constexpr DWORD kField = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP;

constexpr ControlSpec kControls[] = {
    {L"STATIC", L"", IDC_PW_PICTURE1, WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE, 240, 240, 480, 480},
    {L"STATIC", L"", IDC_PW_LABEL3, kLabel, 960, 240, 5100, 480},
    {L"BUTTON", L"Anmeldung", IDC_PW_FRAME1, WS_VISIBLE | BS_GROUPBOX, 960, 840, 5100, 1320},
    {L"STATIC", L"&Name:", IDC_PW_LABEL1, kFieldLabel, 1140, 1245, 1080, 240},
    {L"EDIT", L"", IDC_PW_TEXT1, kField | ES_READONLY, 2280, 1200, 3600, 315},
    {L"STATIC", L"&Kennwort:", IDC_PW_LABEL2, kFieldLabel, 1140, 1695, 1080, 240},
    {L"EDIT", L"", IDC_PW_TEXT2, kField | ES_PASSWORD, 2280, 1650, 3600, 315},
    {L"BUTTON", L"OK", IDC_PW_CREADY, kButton | WS_GROUP | BS_DEFPUSHBUTTON, 3540, 2400, 1200, 375},
    {L"BUTTON", L"&Abbrechen", IDC_PW_CCANCEL, kButton | BS_PUSHBUTTON, 4860, 2400, 1200, 375},
    // Below the buttons; the dialog grows to show it only when there is a note.
    {L"STATIC", L"", IDC_PW_NOTE, kLabel, 240, 2940, 5820, kNoteHeight},
};

class PasswordDialog : public win32::Dialog {
 public:
  PasswordDialog(const PasswordServices& services, PasswordPurpose purpose, const wchar_t* note)
      : s_(services), purpose_(purpose), note_(note) {}

 protected:
  std::span<const ControlSpec> Controls() const override { return kControls; }
  std::wstring Caption() const override { return kPasswordCaption; }
  int HelpTopic() const override { return 15; }
  SIZE ClientTwips() const override {
    return {6300, note_ ? kClientHeight + kNoteHeight : kClientHeight};
  }

  HWND OnInit() override {
    if (purpose_ != PasswordPurpose::kConfirmChange) {
      win32::RemoveCloseCommand(Handle());
      // Asked at start-up or from a tray click: in front of whatever is.
      if (!Quietly()) SetForegroundWindow(Handle());
    }
    SetWindowTextW(Item(IDC_PW_LABEL3),
                   purpose_ == PasswordPurpose::kConfirmChange ? kConfirmText : kUnlockText);
    SetWindowTextW(Item(IDC_PW_NOTE), note_ ? note_ : L"");
    // The name is shown only; it plays no part in the check.
    SettingValue owner;
    std::wstring name;
    if (s_.settings.GetValue(SettingsRoot::kLocalMachine, kOwnerKey, L"RegisteredOwner", owner)) {
      name = TextValue(owner);
    }
    SetWindowTextW(Item(IDC_PW_TEXT1), name.empty() ? L"Benutzer" : name.c_str());
    SendMessageW(Item(IDC_PW_TEXT2), EM_SETPASSWORDCHAR, L'*', 0);
    ShowPicture();
    return Item(IDC_PW_TEXT2);
  }

  bool OnCommand(int id, int) override {
    if (id == IDC_PW_CREADY) {
      CReady_Click();
      return true;
    }
    return false;  // "&Abbrechen" and Escape end the dialog with IDCANCEL
  }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR&) override {
    // Alt+F4 still sends the close command; only "&Abbrechen" ends the lock.
    return message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE &&
           purpose_ != PasswordPurpose::kConfirmChange;
  }

  void OnDpiChanged() override { ShowPicture(); }

 private:
  void CReady_Click() {
    HWND field = Item(IDC_PW_TEXT2);
    // A stored password that cannot be read back matches no text, the empty
    // one included: the lock never fails open.
    const PasswordCheck check =
        CheckPassword(s_.tasks.StoredPassword(), win32::Narrow(win32::WindowText(field)));
    if (check == PasswordCheck::kMatch || check == PasswordCheck::kNoneStored) {
      SetWindowTextW(field, L"");
      EnableWindow(Item(IDC_PW_CREADY), FALSE);
      End(IDOK);
      return;
    }
    // Said, with the error sound, and the text selected: the next try
    // types over it.
    MessageBoxW(Handle(), L"Das Kennwort ist nicht richtig.", L"Ordalis",
                MB_OK | MB_ICONEXCLAMATION);
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
    SendMessageW(field, EM_SETSEL, 0, -1);
  }

  void ShowPicture() {
    const int size = MulDiv(32, static_cast<int>(Dpi()), 96);
    win32::UniqueIcon icon = win32::LoadIconAtSize(GetModuleHandleW(nullptr), IDI_VEMRA, size);
    // A program without its own icon (the tests) shows the system's.
    HICON shown = icon ? icon.get() : LoadIconW(nullptr, IDI_APPLICATION);
    SendMessageW(Item(IDC_PW_PICTURE1), STM_SETICON, reinterpret_cast<WPARAM>(shown), 0);
    icon_ = std::move(icon);  // the old picture goes once the new one is shown
  }

  PasswordServices s_;
  PasswordPurpose purpose_;
  const wchar_t* note_;
  win32::UniqueIcon icon_;
};

}  // namespace

PasswordOutcome AskPassword(HWND owner, const PasswordServices& services, PasswordPurpose purpose,
                            bool quietly) {
  const std::string stored = services.tasks.StoredPassword();
  if (stored.empty()) return PasswordOutcome::kAccepted;
  const wchar_t* note = nullptr;
  if (CheckPassword(stored, std::nullopt) == PasswordCheck::kDamaged) {
    note = kDamagedPasswordText;
  } else if (purpose == PasswordPurpose::kUnlockForReminder) {
    note = kReminderWaitingText;
  }
  PasswordDialog dialog(services, purpose, note);
  if (quietly) dialog.OpenQuietly();
  return dialog.RunModal(owner) == IDOK ? PasswordOutcome::kAccepted : PasswordOutcome::kCancelled;
}

}  // namespace ordalis
