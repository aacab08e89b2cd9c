#include "win32/wait.h"

#include <windows.h>

namespace ordalis::win32 {

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
    MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(until - now), QS_ALLINPUT,
                                MWMO_INPUTAVAILABLE);
  }
}

}  // namespace ordalis::win32
