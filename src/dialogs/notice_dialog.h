#pragma once
// Direkthilfe: a short notice the program shows on its own, which the user
// can switch off for this notice or for all of them.
#include <windows.h>

#include <string>

#include "storage/settings.h"

namespace ordalis {

// Shows the notice modally when it is not switched off; true when shown.
// Its "&Hilfe" opens the help topic on closing from the program folder
// (the running program's when none is given).
bool ShowNotice(HWND owner, SettingsStore& settings, std::wstring_view id,
                std::wstring_view heading, std::wstring_view text,
                std::wstring_view programFolder = {});

// The help topic of "Schließen", which the closing notice explains.
inline constexpr int kClosingHelpTopic = 13;
// The title of the message that help is missing: the main window's caption,
// as for the other ways into help.
inline constexpr wchar_t kHelpMissingCaption[] = L"Ordalis ";

inline constexpr wchar_t kNoticeCaption[] = L" Ordalis";
inline constexpr wchar_t kClosingNoticeHeading[] = L"Folgende Hinweise dazu:";
inline constexpr wchar_t kClosingNoticeText[] =
    L"Ordalis bleibt im Infobereich der Taskleiste, wenn Sie nicht „nie erinnern“ gewählt "
    L"haben. Sind Aufgaben geplant, erinnert es Sie daran, sobald ihr Zeitpunkt gekommen ist.";

// Control ids, for the tests that press them.
enum NoticeControl : int {
  IDC_RPROBLEM = 2001,
  IDC_RTEXT,
  IDC_PFRAME,
  IDC_BHELPSHOW,
  IDC_BHELPDISABLED,
  IDC_BREADY = IDOK,
  IDC_BABBRECHEN = IDCANCEL,
  IDC_BHILFE = 2010,
};

}  // namespace ordalis
