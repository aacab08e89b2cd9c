#include "win32/wait.h"

#include <utility>
#include <vector>

namespace ordalis::win32 {

namespace {

struct Watched {
  HANDLE handle;
  std::function<void()> signalled;
};

std::vector<Watched>& WatchedHandles() {
  static std::vector<Watched> watched;
  return watched;
}

}  // namespace

void WatchHandle(HANDLE handle, std::function<void()> signalled) {
  UnwatchHandle(handle);
  // One wait takes all of them and leaves a place for the messages.
  if (WatchedHandles().size() + 1 >= MAXIMUM_WAIT_OBJECTS) return;
  WatchedHandles().push_back({handle, std::move(signalled)});
}

void UnwatchHandle(HANDLE handle) {
  std::erase_if(WatchedHandles(),
                [handle](const Watched& entry) { return entry.handle == handle; });
}

void WaitForInput(DWORD milliseconds) {
  HANDLE handles[MAXIMUM_WAIT_OBJECTS];
  DWORD count = 0;
  for (const Watched& entry : WatchedHandles()) handles[count++] = entry.handle;
  const DWORD result =
      MsgWaitForMultipleObjectsEx(count, handles, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (result >= WAIT_OBJECT_0 + count) return;  // a message, the time, or a failure
  const HANDLE set = handles[result - WAIT_OBJECT_0];
  for (const Watched& entry : WatchedHandles()) {
    if (entry.handle != set) continue;
    // A copy: the function may unwatch its own handle.
    const std::function<void()> signalled = entry.signalled;
    signalled();
    return;
  }
}

bool NextMessage(MSG& msg) {
  while (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) WaitForInput(INFINITE);
  return msg.message != WM_QUIT;
}

void ProcessPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The quit belongs to the message loop; put it back for it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void WaitSeconds(double seconds) {
  // A steady clock: midnight and clock changes do not stretch the wait.
  const ULONGLONG until = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000.0 + 0.5);
  for (;;) {
    ProcessPendingMessages();
    const ULONGLONG now = GetTickCount64();
    if (now >= until) return;
    WaitForInput(static_cast<DWORD>(until - now));
  }
}

}  // namespace ordalis::win32
