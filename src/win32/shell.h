#pragma once
// The shell's functions the program uses. Loading the shell's library
// costs a start tens of milliseconds, and nothing needs it before the
// window shows: it comes with the first call. Should it not load, each
// call fails as the shell's own would.
#include <windows.h>
#include <shellapi.h>

namespace ordalis::win32 {

BOOL WINAPI NotifyIcon(DWORD message, PNOTIFYICONDATAW data);  // Shell_NotifyIconW
HRESULT QueryUserNotificationState(QUERY_USER_NOTIFICATION_STATE* state);
// ShellExecuteW; true when the shell started the file's program.
bool ShellOpen(HWND owner, const wchar_t* verb, const wchar_t* file, int show);

}  // namespace ordalis::win32
