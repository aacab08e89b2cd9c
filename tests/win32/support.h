#pragma once
// Shared by the Windows tests: a scratch registry, a scratch folder, file
// bytes, and driving modal windows.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "win32/handles.h"

namespace ordalis::test {

// Redirects HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE of this process to
// fresh scratch keys for the object's life, so tests neither see nor change
// the prefix's real settings, and can run in parallel.
class ScratchRegistry {
 public:
  ScratchRegistry();
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

 private:
  std::wstring base_;
  win32::UniqueKey user_;
  win32::UniqueKey machine_;
};

// A fresh folder under the temporary folder, removed with its files.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return path_; }
  std::wstring File(std::wstring_view name) const { return path_ + L"\\" + std::wstring(name); }

 private:
  std::wstring path_;
};

// Whole files as bytes; ReadFileBytes gives "" for a missing file.
std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, std::string_view bytes);
bool FileIsThere(const std::wstring& path);

// Runs the window messages of this thread for about `ms` milliseconds.
void PumpMessages(DWORD ms);

// Answers the message boxes of this thread titled `caption` as a user would:
// a timer that fires inside the box's modal loop reads its text and presses
// `button`. Our own dialogs are #32770 windows too: `checkBoxes` are ticked
// before the press, and `textId` names the control whose text is noted (the
// message label of a message box by default). One answerer at a time.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer(std::wstring caption, int button, std::vector<int> checkBoxes = {},
                     int textId = 0xFFFF);
  ~MessageBoxAnswerer();
  MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
  MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;
  // The texts of the boxes answered so far.
  const std::vector<std::wstring>& Texts() const { return texts_; }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::wstring caption_;
  int button_;
  std::vector<int> checkBoxes_;
  int textId_;
  UINT_PTR timer_ = 0;
  HWND answered_ = nullptr;  // pressed already, closing
  std::vector<std::wstring> texts_;
};

// The text of one cell of a list view.
std::wstring ListCell(HWND list, int item, int column);
// The width of an icon's image in pixels; 0 for none.
int IconWidth(HICON icon);

// The header texts of a report-view list, as a screen reader finds them.
std::vector<std::wstring> ListHeaders(HWND list);
// The cell under the column with this header; empty if there is none.
std::wstring ListCell(HWND list, int item, std::wstring_view header);
// A stored "mm-dd-yyyy" as Windows writes it for the user: the short
// weekday, a comma and the short date of the user's locale.
std::wstring UserDate(std::wstring_view stored);
// The pixels between the last column's right edge and the list's client
// edge (negative when the columns reach beyond it).
int RoomRightOfColumns(HWND list);

// Watches for popup menus of this thread from inside the menu's modal loop,
// notes which menu it was and its items' texts, and closes it as Esc would.
class MenuWatcher {
 public:
  MenuWatcher() {
    active_ = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
  }
  ~MenuWatcher() {
    KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  MenuWatcher(const MenuWatcher&) = delete;
  MenuWatcher& operator=(const MenuWatcher&) = delete;
  const std::vector<HMENU>& Seen() const { return seen_; }
  const std::vector<std::wstring>& Texts() const { return texts_; }  // of the last one

 private:
  static BOOL CALLBACK FindMenu(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring_view(name) == L"#32768") {
      *reinterpret_cast<HWND*>(found) = window;
      return FALSE;
    }
    return TRUE;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!active_) return;
    HWND menu = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindMenu, reinterpret_cast<LPARAM>(&menu));
    if (!menu) return;
    const auto handle = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
    active_->seen_.push_back(handle);
    active_->texts_.clear();
    for (int i = 0; i < GetMenuItemCount(handle); ++i) {
      wchar_t text[128] = L"";
      GetMenuStringW(handle, i, text, 128, MF_BYPOSITION);
      active_->texts_.push_back(text);
    }
    EndMenu();
  }
  static inline MenuWatcher* active_ = nullptr;
  UINT_PTR timer_ = 0;
  std::vector<HMENU> seen_;
  std::vector<std::wstring> texts_;
};

}  // namespace ordalis::test
