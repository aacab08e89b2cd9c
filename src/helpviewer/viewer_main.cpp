// Lotse32: the help viewer of Ordalis. Command line "<help file>,<topic>".
#include <windows.h>
#include <commctrl.h>

#include "helpviewer/help_request.h"
#include "helpviewer/viewer_window.h"
#include "win32/handles.h"

namespace ordalis {
namespace {

// The path as the open viewer, in another folder, must read it.
std::wstring FullPath(const std::wstring& path) {
  if (path.empty()) return path;
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return path;
  full.resize(length);
  return full;
}

bool SendRequest(HWND viewer, const HelpRequest& request) {
  DWORD process = 0;
  GetWindowThreadProcessId(viewer, &process);
  AllowSetForegroundWindow(process);
  const std::wstring arguments = HelpArguments(request);
  COPYDATASTRUCT data{kHandOverTag, static_cast<DWORD>(arguments.size() * sizeof(wchar_t)),
                      const_cast<wchar_t*>(arguments.data())};
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                             SMTO_ABORTIFHUNG, 5000, &result) &&
         result == TRUE;
}

// One viewer at a time. The mutex is held by the viewer that shows its
// window, from before the window exists until the process ends; a viewer
// that starts meanwhile waits for that window and hands its request over.
// True when it was handed over.
bool HandedOver(HANDLE mutex, const HelpRequest& request) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    if (HWND open = FindWindowW(kViewerClass, nullptr)) {
      if (SendRequest(open, request)) return true;
    }
    if (!mutex) return false;
    const DWORD waited = WaitForSingleObject(mutex, 100);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return false;
  }
  return false;  // the open one never showed its window: show our own
}

}  // namespace
}  // namespace ordalis

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
  using namespace ordalis;
  // Not the system's split of the command line: Ordalis puts the viewer's
  // path there unquoted, blanks and all.
  wchar_t module[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
  HelpRequest request =
      ParseHelpArguments(ArgumentsOf(GetCommandLineW(), std::wstring_view(module, length)));
  request.file = FullPath(request.file);

  win32::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, L"Local\\Ordalis.Lotse32"));
  if (HandedOver(mutex.get(), request)) return 0;

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  ViewerWindow window;
  if (!window.Create(showCommand)) {
    MessageBoxW(nullptr, L"Das Hilfefenster konnte nicht geöffnet werden.", kViewerCaption,
                MB_OK | MB_ICONERROR);
    return 1;
  }
  window.Open(request);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    try {
      if (window.PreTranslate(msg)) continue;
      if (IsDialogMessageW(window.Handle(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    } catch (...) {
    }
  }
  return static_cast<int>(msg.wParam);
}
