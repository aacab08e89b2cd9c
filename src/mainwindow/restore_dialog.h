#pragma once
// " Sicherung wiederherstellen": the backups by date with their number of
// tasks; the user picks one.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "storage/task_store.h"

namespace ordalis {

inline constexpr wchar_t kRestoreCaption[] = L" Sicherung wiederherstellen";

// The name of the backup chosen, or nothing when the user cancels.
std::optional<std::string> ChooseBackup(HWND owner, const std::vector<BackupEntry>& backups);

enum RestoreControl : int {
  IDC_RS_TEXT = 5101,
  IDC_RS_LABEL,
  IDC_RS_LIST,
};

}  // namespace ordalis
