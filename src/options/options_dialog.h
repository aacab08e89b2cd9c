#pragma once
// Optionen: the dialog that changes the program's persistent settings and
// the password, and applies the changes to the running main window.
#include <windows.h>

#include <string>
#include <string_view>

#include "reminders/sound.h"
#include "session/program_settings.h"
#include "storage/task_store.h"

namespace ordalis {

inline constexpr wchar_t kOptionsCaption[] = L" Einstellungen";

// What the dialog needs from the program and its main window.
class OptionsHost {
 public:
  virtual ~OptionsHost() = default;
  // The store for what is kept beside the program's preferences (the start
  // with Windows, the notices), the preferences, and the tasks.
  virtual SettingsStore& Settings() = 0;
  virtual ordalis::Settings& Values() = 0;
  virtual TaskStore& Tasks() = 0;
  virtual SoundPlayer& Sound() = 0;
  virtual bool HasSoundDevice() = 0;
  // The folder of the executable, without a trailing "\", and the
  // executable's name without ".exe" ("Vemra").
  virtual std::wstring ProgramFolder() = 0;
  virtual std::wstring ProgramName() = 0;

  // The main window. The reminder mode is 1..3 ("&nie erinnern" is 3).
  virtual int ReminderMode() = 0;
  // Selects "&nie erinnern" as a click on it does.
  virtual void SelectNeverRemind() = 0;
  // Enables or disables "&stündlich" and "&bei relevanten Meldungen".
  virtual void EnableTrayModes(bool enable) = 0;
  // Shows the window with its normal (not minimised) state.
  virtual void ShowNormal() = 0;
  virtual bool TrayIconShown() = 0;
  virtual void AddTrayIcon() = 0;     // CSymbol_Click of the main window
  virtual void RemoveTrayIcon() = 0;  // BSymbol_Click of the main window
  // The task list takes the stored font at once, in its own DPI, keeping
  // its column widths.
  virtual void ApplyListFont() = 0;
  // Tells the user over `owner` why a change was not stored, as every
  // failed save is told.
  virtual void ReportSaveFailure(HWND owner, SaveResult result) = 0;
  // Lists the backups over `owner` and restores the one the user picks.
  virtual void RestoreBackup(HWND /*owner*/) {}
  // The key of "Neue Aufgabe von überall" (session/quick_add_key); whether
  // another program holds it; stores a new one and registers it, false when
  // it is taken.
  virtual unsigned QuickAddKey() { return 0; }
  virtual bool QuickAddTaken() { return false; }
  virtual bool SetQuickAddKey(unsigned /*key*/) { return true; }
};

// Opens the dialog: modally (returns when it closes) or modelessly (returns
// at once; the message loop passes its keys through IsDialogMessageW). One
// at a time: while one is open, another call brings it to the front.
void ShowOptions(HWND owner, OptionsHost& host, bool modal);

// The name of the running executable without its folder and ".exe".
std::wstring RunningProgramName();

// Control ids, for the tests that drive the dialog.
enum OptionsControl : int {
  IDC_OPT_CSTARTUP = 3001,
  IDC_OPT_CAUTOSTART,
  IDC_OPT_CREGISTER,
  IDC_OPT_CSYMBOL,
  IDC_OPT_CBEENDEN,
  IDC_OPT_SOUND0,
  IDC_OPT_SOUND1,
  IDC_OPT_TSOUNDDATEI,
  IDC_OPT_BSOUNDDATEI,
  IDC_OPT_BSPIELEN,
  IDC_OPT_FVISUELL,
  IDC_OPT_CSCHRIFTART,
  IDC_OPT_LFONTNAME,
  IDC_OPT_LFONTSIZE,
  IDC_OPT_LKEY,
  IDC_OPT_TKEY,
  IDC_OPT_BKENNWORT,
  IDC_OPT_LREPEAT,
  IDC_OPT_TREPEAT,
  IDC_OPT_LINE,
  // Labels no one sees: the names a screen reader reads for the fields
  // whose visible caption is a check box or an option button.
  IDC_OPT_NSOUNDDATEI,
  IDC_OPT_NFONTNAME,
  IDC_OPT_NFONTSIZE,
  // Under the automatic start's box while Windows has switched it off.
  IDC_OPT_LAUTOSTART,
  IDC_OPT_BREADY = IDOK,
  IDC_OPT_BABBRECHEN = IDCANCEL,
  IDC_OPT_BHILFE = 3030,
  IDC_OPT_BSICHERUNG,
  IDC_OPT_LQUICKADD,
  IDC_OPT_HQUICKADD,
  IDC_OPT_LQUICKTAKEN,  // under the field while another program holds the key
};

}  // namespace ordalis
