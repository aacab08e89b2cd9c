#pragma once
// Waiting while the window messages go on.
namespace ordalis::win32 {

// Waits at least `seconds` and handles the thread's window messages as they
// arrive, so timers and clicks run during the wait. It sleeps between
// messages instead of spinning, and a wait across midnight ends on time.
void WaitSeconds(double seconds);

// Handles the window messages that are waiting now, then returns.
void ProcessPendingMessages();

}  // namespace ordalis::win32
