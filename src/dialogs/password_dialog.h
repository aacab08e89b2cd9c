#pragma once
// Passwort: the prompt that keeps the task view locked until the stored
// password is typed.
#include <windows.h>

#include "storage/settings.h"
#include "storage/task_store.h"

namespace ordalis {

inline constexpr wchar_t kPasswordCaption[] = L" Authentifizierung ";

enum class PasswordPurpose {
  kUnlock,             // before the tasks are shown; "&Abbrechen" means the program ends
  kUnlockForReminder,  // the same, with a line that a reminder waits behind it
  kConfirmChange,      // the current password before it is changed; "&Abbrechen" only returns
};

enum class PasswordOutcome {
  kAccepted,   // the stored password was typed, or none is stored
  kCancelled,  // "&Abbrechen" or Escape; for kUnlock the caller removes its icon and ends
};

struct PasswordServices {
  TaskStore& tasks;         // the data file that holds the password
  SettingsStore& settings;  // the registered owner's name
};

// Asks for the stored password until it is typed or the user cancels; a
// wrong one only empties the field. Returns at once when none is stored. A
// stored password that cannot be read back keeps the prompt locked, and a
// note says how to regain access. `quietly`: another program has the
// keyboard, and the prompt comes in front without taking it.
PasswordOutcome AskPassword(HWND owner, const PasswordServices& services, PasswordPurpose purpose,
                            bool quietly = false);

// Control ids, for the tests that drive the dialog.
enum PasswordControl : int {
  IDC_PW_FRAME1 = 5001,
  IDC_PW_LABEL1,
  IDC_PW_TEXT1,  // the user's name
  IDC_PW_LABEL2,
  IDC_PW_TEXT2,  // the password
  IDC_PW_LABEL3,
  IDC_PW_PICTURE1,
  IDC_PW_NOTE,  // the damaged password, or the reminder that waits
  IDC_PW_CREADY = IDOK,
  IDC_PW_CCANCEL = IDCANCEL,
};

}  // namespace ordalis
