#pragma once
// Tells a window when something in a folder changes: the system's change
// notification, waited for by the thread pool, which only posts a message.
// Everything else runs on the window's thread.
#include <windows.h>

#include <string>

namespace ordalis {

class FolderWatch {
 public:
  FolderWatch() = default;
  ~FolderWatch() { Stop(); }
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;

  // Posts `message` to `window` at the next change of a file's name, size or
  // time in the folder; false when the folder cannot be watched.
  bool Start(const std::wstring& folder, HWND window, UINT message);
  // Waits for the next change; called when the message arrives.
  void Rearm();
  void Stop();

 private:
  static void CALLBACK Signaled(void* self, BOOLEAN timedOut);

  HANDLE change_ = INVALID_HANDLE_VALUE;
  HANDLE wait_ = nullptr;
  HWND window_ = nullptr;
  UINT message_ = 0;
};

}  // namespace ordalis
