#include "mainwindow/folder_watch.h"

#include "win32/wait.h"

namespace ordalis {

bool FolderWatch::Start(const std::wstring& folder, HWND window, UINT message) {
  Stop();
  change_ = FindFirstChangeNotificationW(
      folder.c_str(), FALSE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
  if (change_ == INVALID_HANDLE_VALUE) return false;
  const HANDLE change = change_;
  win32::WatchHandle(change, [change, window, message] {
    // Armed again at once: changes that follow are kept for the next wait.
    // A notification that cannot be armed again (its folder gone) would stay
    // set and wake every wait: it is no longer waited for.
    if (!FindNextChangeNotification(change)) win32::UnwatchHandle(change);
    PostMessageW(window, message, 0, 0);
  });
  return true;
}

void FolderWatch::Stop() {
  if (change_ == INVALID_HANDLE_VALUE) return;
  win32::UnwatchHandle(change_);
  FindCloseChangeNotification(change_);
  change_ = INVALID_HANDLE_VALUE;
}

}  // namespace ordalis
