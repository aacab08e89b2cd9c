#include "win32/shell.h"

#include "win32/libraries.h"

namespace ordalis::win32 {

namespace {

template <typename Function>
Function FromShell(const char* name) {
  static const HMODULE shell = SystemLibrary(L"shell32.dll");
  return Export<Function>(shell, name);
}

}  // namespace

BOOL WINAPI NotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
  static const auto notify = FromShell<decltype(&Shell_NotifyIconW)>("Shell_NotifyIconW");
  return notify ? notify(message, data) : FALSE;
}

HRESULT QueryUserNotificationState(QUERY_USER_NOTIFICATION_STATE* state) {
  static const auto query =
      FromShell<decltype(&SHQueryUserNotificationState)>("SHQueryUserNotificationState");
  return query ? query(state) : E_FAIL;
}

bool ShellOpen(HWND owner, const wchar_t* verb, const wchar_t* file, int show) {
  static const auto execute = FromShell<decltype(&ShellExecuteW)>("ShellExecuteW");
  return execute &&
         reinterpret_cast<INT_PTR>(execute(owner, verb, file, nullptr, nullptr, show)) > 32;
}

}  // namespace ordalis::win32
