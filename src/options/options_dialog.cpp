#include "options/options_dialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <optional>
#include <vector>

#include "dialogs/help.h"
#include "dialogs/help_win32.h"
#include "dialogs/password_dialog.h"
#include "options/options_controls.h"
#include "options/options_rules.h"
#include "storage/password_rules.h"
#include "storage/scrambler.h"
#include "win32/dialog.h"
#include "win32/libraries.h"
#include "win32/text.h"
#include "win32/wait.h"

namespace ordalis {

namespace {

using win32::ControlSpec;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Ordalis";
// Where Windows' start-up manager (Task-Manager, Autostart) notes which Run
// values it has switched off, each under the Run value's name.
constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t kWarningTitle[] = L"Ordalis  ";  // the main window's caption and one blank
constexpr wchar_t kTrayWarning[] =
    L"Wenn Sie das Symbol aus der Taskleiste entfernen, kann Ordalis Sie nicht mehr "
    L"automatisch erinnern.\n\nMöchten Sie trotzdem fortfahren?";
constexpr wchar_t kHelpTitle[] = L" Einstellungen ";  // the caption and one blank
constexpr int kHelpTopic = 12;
constexpr wchar_t kMismatchText[] =
    L"Die beiden Kennwörter stimmen nicht überein. Bitte geben Sie das neue Kennwort in beide "
    L"Felder gleich ein. ";
constexpr wchar_t kUnreadablePasswordText[] =
    L"Das Kennwort wurde nicht gespeichert, weil es aus der Datei nicht genau so zurückgelesen "
    L"werden konnte. ";
constexpr wchar_t kDefaultFace[] = L"Tahoma";
constexpr int kDefaultSizeEntry = 1;  // "9"
constexpr const wchar_t* kSizes[] = {L"8", L"9", L"10", L"11", L"12"};

class OptionsDialog : public win32::Dialog {
 public:
  explicit OptionsDialog(OptionsHost& host) : host_(host) {}

 protected:
  std::span<const ControlSpec> Controls() const override { return OptionsControls(); }
  std::wstring Caption() const override { return kOptionsCaption; }
  SIZE ClientTwips() const override { return {7680, 6885}; }

  HWND OnInit() override {
    Form_Load();
    return nullptr;
  }
  // F1 on any control opens the topic, as "&Hilfe".
  bool OnHelpKey() override {
    BHilfe_Click();
    return true;
  }
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM, LPARAM, INT_PTR& result) override {
    // Help asked for another way (a help key of the system): the topic of
    // the options, as "&Hilfe".
    if (message != WM_HELP) return false;
    BHilfe_Click();
    result = TRUE;
    return true;
  }

 private:
  bool Checked(int id) const { return IsDlgButtonChecked(Handle(), id) == BST_CHECKED; }
  void Check(int id, bool on) { CheckDlgButton(Handle(), id, on ? BST_CHECKED : BST_UNCHECKED); }
  void Focus(int id) {
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(id)), TRUE);
  }
  bool On(Settings::Switch which) { return host_.Values().On(which); }

  void Form_Load();
  void ShowStoredFont();
  void ShowPasswordFields(size_t storedLength);  // 0: none stored
  void Sound_Click(int index);
  void CSchriftart_Click();
  void CSymbol_Click();
  void BSounddatei_Click();
  void BSpielen_Click();
  void BHilfe_Click();
  void BKennwort_Click();
  bool NewPasswordAcceptable();
  void BReady_Click();
  bool QuickAddKeyAccepted();
  void StorePassword();
  void ApplyToMainWindow();
  void StoreFont();

  // The password fields take a new password: none is stored, or the stored
  // one was confirmed.
  bool passwordOpen_ = false;
  unsigned quickAddToldFor_ = 0;  // the key the field last said was taken

  OptionsHost& host_;
  bool autostartShown_ = false;  // the box was checked when the dialog opened
};

bool OptionsDialog::OnCommand(int id, int code) {
  switch (id) {
    case IDC_OPT_SOUND0:
    case IDC_OPT_SOUND1:
      if (code == BN_CLICKED) Sound_Click(id - IDC_OPT_SOUND0);
      return true;
    case IDC_OPT_CSCHRIFTART:
      if (code == BN_CLICKED) CSchriftart_Click();
      return true;
    case IDC_OPT_CSYMBOL:
      if (code == BN_CLICKED) CSymbol_Click();
      return true;
    case IDC_OPT_TSOUNDDATEI:
      // TSounddatei_GotFocus: the whole path is selected, also after a
      // click into it has placed the caret.
      if (code == EN_SETFOCUS) PostMessageW(Item(id), EM_SETSEL, 0, -1);
      return true;
    case IDC_OPT_BSOUNDDATEI: BSounddatei_Click(); return true;
    case IDC_OPT_BSPIELEN: BSpielen_Click(); return true;
    case IDC_OPT_BHILFE: BHilfe_Click(); return true;
    case IDC_OPT_BSICHERUNG: host_.RestoreBackup(Handle()); return true;
    case IDC_OPT_BKENNWORT: BKennwort_Click(); return true;
    case IDC_OPT_BREADY: BReady_Click(); return true;
    default: return false;  // "&Abbrechen", Escape and the close box end it unsaved
  }
}

void OptionsDialog::Form_Load() {
  SettingsStore& settings = host_.Settings();
  SendMessageW(Item(IDC_OPT_HQUICKADD), HKM_SETHOTKEY, host_.QuickAddKey() & 0xFFFF, 0);
  ShowWindow(Item(IDC_OPT_LQUICKTAKEN), host_.QuickAddTaken() ? SW_SHOWNA : SW_HIDE);
  if (host_.QuickAddTaken()) quickAddToldFor_ = host_.QuickAddKey();
  if (!host_.HasSoundDevice()) {
    Sound_Click(0);
    EnableWindow(Item(IDC_OPT_SOUND0), FALSE);
    // The group stays in the Tab order through the button left to choose.
    HWND own = Item(IDC_OPT_SOUND1);
    SetWindowLongPtrW(own, GWL_STYLE, GetWindowLongPtrW(own, GWL_STYLE) | WS_TABSTOP);
  }

  HWND names = Item(IDC_OPT_LFONTNAME);
  for (const std::wstring& name : ScreenFontFamilies()) {
    SendMessageW(names, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  }
  if (!SelectEntry(names, kDefaultFace)) SetWindowTextW(names, kDefaultFace);
  HWND sizes = Item(IDC_OPT_LFONTSIZE);
  for (const wchar_t* size : kSizes) {
    SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(size));
  }
  SendMessageW(sizes, CB_SETCURSEL, kDefaultSizeEntry, 0);

  Check(IDC_OPT_CSTARTUP, On(Settings::Switch::kHideSplash));
  SettingValue run, approved;
  settings.GetValue(SettingsRoot::kCurrentUser, kRunKey, kRunValue, run);
  settings.GetValue(SettingsRoot::kCurrentUser, kApprovedKey, kRunValue, approved);
  const auto* bytes = std::get_if<SettingBytes>(&approved);
  const AutostartShown autostart =
      AutostartState(TextValue(run), AutostartCommand(host_.ProgramFolder(), host_.ProgramName()),
                     bytes ? *bytes : SettingBytes());
  autostartShown_ = autostart == AutostartShown::kOn;
  Check(IDC_OPT_CAUTOSTART, autostartShown_);
  // Under the box: why a start the user may expect does not happen; the box
  // checked puts this copy's start in its place.
  const bool elsewhere = autostart == AutostartShown::kOtherFolder;
  SetWindowTextW(Item(IDC_OPT_LAUTOSTART),
                 elsewhere ? L"Der Autostart zeigt auf einen anderen Ordner"
                           : L"In Windows deaktiviert (Task-Manager \u203A Autostart)");
  ShowWindow(Item(IDC_OPT_LAUTOSTART),
             elsewhere || autostart == AutostartShown::kOffInWindows ? SW_SHOWNA : SW_HIDE);
  Check(IDC_OPT_CREGISTER, On(Settings::Switch::kKeepTab));
  Check(IDC_OPT_CSYMBOL, On(Settings::Switch::kTrayIcon));
  Check(IDC_OPT_CBEENDEN, On(Settings::Switch::kKeepRunning));
  // Without the icon, "nie erinnern" always ends the program: the box
  // follows the icon's box from the start, whatever was stored.
  CSymbol_Click();

  Sound_Click(On(Settings::Switch::kOwnSound) ? 1 : 0);
  SetWindowTextW(Item(IDC_OPT_TSOUNDDATEI), host_.Values().SoundFile().c_str());
  ShowStoredFont();
  ShowPasswordFields(host_.Tasks().StoredPassword().size());
}

// The box is checked when a font is stored; the boxes then show it.
// Otherwise they show the list's design font, disabled.
void OptionsDialog::ShowStoredFont() {
  const std::wstring& stored = host_.Values().FontName();
  Check(IDC_OPT_CSCHRIFTART, !stored.empty());
  if (!stored.empty()) {
    // A font that is no longer installed is still shown as stored, so that
    // an OK keeps it.
    HWND names = Item(IDC_OPT_LFONTNAME);
    if (!SelectEntry(names, stored)) SetWindowTextW(names, stored.c_str());
    if (const std::wstring& size = host_.Values().FontSizeText(); !size.empty()) {
      HWND sizes = Item(IDC_OPT_LFONTSIZE);
      if (!SelectEntry(sizes, size)) SendMessageW(sizes, CB_SETCURSEL, kDefaultSizeEntry, 0);
    }
  }
  EnableWindow(Item(IDC_OPT_LFONTNAME), !stored.empty());
  EnableWindow(Item(IDC_OPT_LFONTSIZE), !stored.empty());
}

// A stored password shows as asterisks in a disabled field until the user
// has confirmed it; a new one is typed twice.
void OptionsDialog::ShowPasswordFields(size_t storedLength) {
  const bool stored = storedLength > 0;
  passwordOpen_ = !stored;
  SetWindowTextW(Item(IDC_OPT_TKEY), PasswordMask(storedLength).c_str());
  SetWindowTextW(Item(IDC_OPT_TREPEAT), L"");
  SendMessageW(Item(IDC_OPT_TKEY), EM_SETPASSWORDCHAR, L'*', 0);
  SendMessageW(Item(IDC_OPT_TREPEAT), EM_SETPASSWORDCHAR, L'*', 0);
  EnableWindow(Item(IDC_OPT_TKEY), !stored);
  for (const int id : {IDC_OPT_LREPEAT, IDC_OPT_TREPEAT}) {
    ShowWindow(Item(id), stored ? SW_HIDE : SW_SHOWNA);
  }
  EnableWindow(Item(IDC_OPT_BKENNWORT), stored);
}

void OptionsDialog::Sound_Click(int index) {
  const bool own = index != 0;
  EnableWindow(Item(IDC_OPT_TSOUNDDATEI), own);
  EnableWindow(Item(IDC_OPT_BSOUNDDATEI), own);
  CheckRadioButton(Handle(), IDC_OPT_SOUND0, IDC_OPT_SOUND1, own ? IDC_OPT_SOUND1 : IDC_OPT_SOUND0);
}

void OptionsDialog::CSchriftart_Click() {
  const bool on = Checked(IDC_OPT_CSCHRIFTART);
  EnableWindow(Item(IDC_OPT_LFONTNAME), on);
  EnableWindow(Item(IDC_OPT_LFONTSIZE), on);
  if (on) Focus(IDC_OPT_LFONTNAME);
}

void OptionsDialog::CSymbol_Click() {
  const bool on = Checked(IDC_OPT_CSYMBOL);
  if (!on) Check(IDC_OPT_CBEENDEN, false);
  EnableWindow(Item(IDC_OPT_CBEENDEN), on);
}

// The common dialogs' library comes in when the file dialog is first asked
// for, not at every start of the program.
static bool OpenFileDialog(OPENFILENAMEW& open) {
  using Fn = BOOL(WINAPI*)(OPENFILENAMEW*);
  static const auto show =
      win32::Export<Fn>(win32::SystemLibrary(L"comdlg32.dll"), "GetOpenFileNameW");
  return show && show(&open);
}

void OptionsDialog::BSounddatei_Click() {
  std::vector<wchar_t> path(32768, L'\0');
  OPENFILENAMEW open{};
  open.lStructSize = sizeof open;
  open.hwndOwner = Handle();
  open.lpstrFilter = L"Audiodateien (*.wav)\0*.wav\0Alle Dateitypen (*.*)\0*.*\0";
  open.lpstrFile = path.data();
  open.nMaxFile = static_cast<DWORD>(path.size());
  open.lpstrTitle = L"Klangdatei öffnen";
  open.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
               OFN_FILEMUSTEXIST | OFN_LONGNAMES;
  static_assert((OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 OFN_FILEMUSTEXIST | OFN_LONGNAMES) == 0x20180E);
  if (!OpenFileDialog(open) || path[0] == L'\0') return;  // cancelled: nothing changes
  SetWindowTextW(Item(IDC_OPT_TSOUNDDATEI), path.data());
}

// Plays what the field names, whichever sound option is chosen.
void OptionsDialog::BSpielen_Click() {
  const std::wstring file = win32::WindowText(Item(IDC_OPT_TSOUNDDATEI));
  if (file.empty()) {
    host_.Sound().PlayResource(L"KONTAKT", true);
  } else if (host_.Settings().FileExists(file)) {
    host_.Sound().PlayFile(file);
  }
  win32::ProcessPendingMessages();
}

void OptionsDialog::BHilfe_Click() {
  const std::wstring folder = host_.ProgramFolder();
  SettingsStore& settings = host_.Settings();
  if (settings.FileExists(HelpViewerPath(folder)) && settings.FileExists(HelpFilePath(folder)) &&
      StartHelpViewer(HelpViewerPath(folder), HelpCommandLine(folder, kHelpTopic))) {
    return;
  }
  MessageBoxW(Handle(), kHelpMissingText, kHelpTitle, MB_OK | MB_ICONERROR);
}

// The stored password is asked for before it may be replaced or removed.
void OptionsDialog::BKennwort_Click() {
  const PasswordServices services{host_.Tasks(), host_.Settings()};
  if (AskPassword(Handle(), services, PasswordPurpose::kConfirmChange) !=
      PasswordOutcome::kAccepted) {
    return;
  }
  ShowPasswordFields(0);
  Focus(IDC_OPT_TKEY);
}

// A new password must be typed the same twice and be one the data file can
// give back exactly; otherwise the user is told and the dialog stays open.
bool OptionsDialog::NewPasswordAcceptable() {
  if (!passwordOpen_) return true;
  HWND field = Item(IDC_OPT_TKEY);
  const std::wstring typed = win32::WindowText(field);
  std::wstring text;
  if (typed != win32::WindowText(Item(IDC_OPT_TREPEAT))) {
    text = kMismatchText;
  } else if (const std::wstring refused = RefusedPasswordCharacters(typed); !refused.empty()) {
    text = PasswordRefusalText(refused);
  }
  if (text.empty()) return true;
  MessageBoxW(Handle(), text.c_str(), kOptionsCaption, MB_OK | MB_ICONEXCLAMATION);
  Focus(IDC_OPT_TKEY);
  return false;
}

bool OptionsDialog::QuickAddKeyAccepted() {
  const auto key =
      static_cast<unsigned>(SendMessageW(Item(IDC_OPT_HQUICKADD), HKM_GETHOTKEY, 0, 0));
  if (key == host_.QuickAddKey() && !host_.QuickAddTaken()) return true;
  const bool registered = host_.SetQuickAddKey(key);
  ShowWindow(Item(IDC_OPT_LQUICKTAKEN), registered ? SW_HIDE : SW_SHOWNA);
  // A key another program holds is said under the field, and the dialog
  // stays for another one; "OK" again keeps it as it is.
  if (registered || key == quickAddToldFor_) return true;
  quickAddToldFor_ = key;
  MessageBeep(MB_ICONEXCLAMATION);
  Focus(IDC_OPT_HQUICKADD);
  return false;
}

void OptionsDialog::BReady_Click() {
  if (!NewPasswordAcceptable() || !QuickAddKeyAccepted()) return;
  SettingsStore& settings = host_.Settings();

  Settings& values = host_.Values();
  if (!Checked(IDC_OPT_CSYMBOL) && values.StoredOn(Settings::Switch::kTrayIcon) &&
      MessageBoxW(Handle(), kTrayWarning, kWarningTitle, MB_YESNO | MB_ICONEXCLAMATION) == IDNO) {
    Check(IDC_OPT_CSYMBOL, true);
    CSymbol_Click();
  }
  values.Store(Settings::Switch::kHideSplash, Checked(IDC_OPT_CSTARTUP));
  // Switched on, the start-up manager's value says "enabled" too, so that a
  // start switched off in Windows before comes back.
  const std::pair<const wchar_t*, SettingValue> autostart[] = {
      {kRunKey, AutostartCommand(host_.ProgramFolder(), host_.ProgramName())},
      {kApprovedKey, SettingBytes{0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}};
  for (const auto& [key, value] : autostart) {
    if (!Checked(IDC_OPT_CAUTOSTART)) {
      // Only what the user unchecked: a start switched off in Windows keeps
      // its entry there, and another copy's value stays that copy's.
      if (autostartShown_) settings.DeleteValue(SettingsRoot::kCurrentUser, key, kRunValue);
    } else {
      settings.CreateKey(SettingsRoot::kCurrentUser, key, L"");  // an existing one stays
      settings.SetValue(SettingsRoot::kCurrentUser, key, kRunValue, value);
    }
  }
  values.Store(Settings::Switch::kKeepTab, Checked(IDC_OPT_CREGISTER));
  values.Store(Settings::Switch::kTrayIcon, Checked(IDC_OPT_CSYMBOL));
  values.Store(Settings::Switch::kKeepRunning, Checked(IDC_OPT_CBEENDEN));
  values.Store(Settings::Switch::kOwnSound, Checked(IDC_OPT_SOUND1));
  values.StoreSoundFile(win32::WindowText(Item(IDC_OPT_TSOUNDDATEI)));
  StorePassword();
  ApplyToMainWindow();
  StoreFont();
  End(IDOK);
}

// Only a field the user could type into is stored: the asterisks of a
// stored password never are.
void OptionsDialog::StorePassword() {
  if (!passwordOpen_) return;
  HWND field = Item(IDC_OPT_TKEY);
  const std::string typed = win32::Narrow(win32::WindowText(field)).value_or(std::string());
  TaskStore& tasks = host_.Tasks();
  const std::string previous = tasks.StoredPassword();
  // Nothing typed and nothing stored: the data file stays untouched.
  if (typed.empty() && previous.empty()) return;
  const SaveResult result = tasks.SetPassword(typed);
  if (result != SaveResult::kSaved) {
    // Told, and the fields show the password that is stored: nobody
    // believes the list locked by a password that was not stored.
    host_.ReportSaveFailure(Handle(), result);
    ShowPasswordFields(tasks.StoredPassword().size());
    return;
  }
  // Kept only when it reads back exactly as typed; otherwise the old one
  // returns, so that no password is stored that nothing can match.
  const std::string stored = tasks.StoredPassword();
  if (typed.empty() ? stored.empty() : CheckPassword(stored, typed) == PasswordCheck::kMatch) {
    return;
  }
  if (const auto old = ScrambleText(previous)) tasks.SetPassword(*old);
  MessageBoxW(Handle(), kUnreadablePasswordText, kOptionsCaption, MB_OK | MB_ICONEXCLAMATION);
}

void OptionsDialog::ApplyToMainWindow() {
  const bool symbol = Checked(IDC_OPT_CSYMBOL);
  if (!Checked(IDC_OPT_CBEENDEN) && host_.ReminderMode() == 3) host_.ShowNormal();
  if (!symbol) {
    // Without the icon the program cannot wait hidden for a reminder.
    host_.EnableTrayModes(false);
    host_.SelectNeverRemind();
    host_.ShowNormal();
    if (host_.TrayIconShown()) host_.RemoveTrayIcon();
  } else {
    host_.EnableTrayModes(true);
    if (!host_.TrayIconShown()) host_.AddTrayIcon();
  }
}

void OptionsDialog::StoreFont() {
  Settings& values = host_.Values();
  if (Checked(IDC_OPT_CSCHRIFTART)) {
    values.StoreFont(win32::WindowText(Item(IDC_OPT_LFONTNAME)),
                     win32::WindowText(Item(IDC_OPT_LFONTSIZE)));
  } else {
    values.StoreFont(std::nullopt, L"");
  }
  // What is stored now goes to the running list; a deleted font leaves the
  // list as it is until the next start.
  const long long points = NumericValue(values.FontSizeText()).value_or(0);
  if (!values.FontName().empty() && points > 0 && points < 100) host_.ApplyListFont();
}

OptionsDialog* openDialog = nullptr;            // the one that is open now
std::unique_ptr<OptionsDialog> modelessDialog;  // kept until the next opening

void BringToFront(HWND window) {
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
}

}  // namespace

void ShowOptions(HWND owner, OptionsHost& host, bool modal) {
  if (openDialog && openDialog->Handle()) {
    BringToFront(openDialog->Handle());
    return;
  }
  openDialog = nullptr;
  modelessDialog.reset();  // closed already; its window is gone
  if (modal) {
    OptionsDialog dialog(host);
    openDialog = &dialog;
    dialog.RunModal(owner);
    openDialog = nullptr;
    return;
  }
  modelessDialog = std::make_unique<OptionsDialog>(host);
  if (HWND window = modelessDialog->CreateModeless(owner)) {
    openDialog = modelessDialog.get();
    BringToFront(window);
  }
}

std::wstring RunningProgramName() {
  std::vector<wchar_t> path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  std::wstring name(path.data(), length);
  name.erase(0, name.find_last_of(L"\\/") + 1);
  if (name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".exe") == 0) {
    name.resize(name.size() - 4);
  }
  return name;
}

}  // namespace ordalis
