#include "dialogs/help_win32.h"

#include "win32/handles.h"

namespace ordalis {

bool StartHelpViewer(const std::wstring& viewer, const std::wstring& commandLine) {
  STARTUPINFOW startup{sizeof startup};
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process{};
  std::wstring writable = commandLine;  // CreateProcessW may write into it
  if (!CreateProcessW(viewer.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  win32::UniqueHandle thread(process.hThread);
  win32::UniqueHandle handle(process.hProcess);
  return true;
}

}  // namespace ordalis
