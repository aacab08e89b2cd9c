#include "mainwindow/folder_watch.h"

namespace ordalis {

bool FolderWatch::Start(const std::wstring& folder, HWND window, UINT message) {
  Stop();
  window_ = window;
  message_ = message;
  change_ = FindFirstChangeNotificationW(
      folder.c_str(), FALSE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
  if (change_ == INVALID_HANDLE_VALUE) return false;
  Rearm();
  return wait_ != nullptr;
}

void FolderWatch::Rearm() {
  if (change_ == INVALID_HANDLE_VALUE) return;
  if (wait_) {
    // The wait ran once; it goes before the notification is armed again.
    UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
    wait_ = nullptr;
    FindNextChangeNotification(change_);
  }
  if (!RegisterWaitForSingleObject(&wait_, change_, Signaled, this, INFINITE, WT_EXECUTEONLYONCE)) {
    wait_ = nullptr;
  }
}

void FolderWatch::Stop() {
  if (wait_) UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);  // and any callback has ended
  wait_ = nullptr;
  if (change_ != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change_);
  change_ = INVALID_HANDLE_VALUE;
}

void CALLBACK FolderWatch::Signaled(void* self, BOOLEAN) {
  const auto* watch = static_cast<FolderWatch*>(self);
  PostMessageW(watch->window_, watch->message_, 0, 0);
}

}  // namespace ordalis
