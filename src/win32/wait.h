#pragma once
// Waiting while the window messages go on.
#include <windows.h>

#include <functional>

namespace ordalis::win32 {

// Waits at least `seconds` and handles the thread's window messages as they
// arrive, so timers and clicks run during the wait. It sleeps between
// messages instead of spinning, and a wait across midnight ends on time.
void WaitSeconds(double seconds);

// Handles the window messages that are waiting now, then returns.
void ProcessPendingMessages();

// A handle the thread waits for beside its messages, with no thread of its
// own: each of the program's message loops (the main one, its dialogs', a
// timed wait) runs `signalled` on this thread when the handle is set; it must
// reset the handle. The system's own loops (a message box, a menu) do not
// look: what they hold up runs once they close.
void WatchHandle(HANDLE handle, std::function<void()> signalled);
void UnwatchHandle(HANDLE handle);

// Sleeps until a message arrives, a watched handle is set (its function has
// run when this returns) or `milliseconds` have passed.
void WaitForInput(DWORD milliseconds);

// GetMessageW for the program's loops: takes the next message of the thread,
// running the watched handles' functions while it waits; false at WM_QUIT
// (left in `msg`).
bool NextMessage(MSG& msg);

}  // namespace ordalis::win32
