#pragma once
// Tells a window when something in a folder changes: the system's change
// notification, waited for by the thread's message loops beside the
// messages (no thread of its own), which post a message to the window.
#include <windows.h>

#include <string>

namespace ordalis {

class FolderWatch {
 public:
  FolderWatch() = default;
  ~FolderWatch() { Stop(); }
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // Posts `message` to `window` at each change of a file's name, size or
  // time in the folder; false when the folder cannot be watched.
  bool Start(const std::wstring& folder, HWND window, UINT message);
  void Stop();

 private:
  HANDLE change_ = INVALID_HANDLE_VALUE;
};

}  // namespace ordalis
