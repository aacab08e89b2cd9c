#include "support.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>

#include "win32/wait.h"

namespace ordalis::test {

namespace {
std::atomic<int> counter{0};

std::wstring UniqueName() {
  return std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(GetTickCount()) + L"_" +
         std::to_wstring(counter++);
}
}  // namespace

ScratchRegistry::ScratchRegistry() : base_(L"Software\\OrdalisTests\\" + UniqueName()) {
  RegCreateKeyExW(HKEY_CURRENT_USER, (base_ + L"\\user").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, user_.put(), nullptr);
  RegCreateKeyExW(HKEY_CURRENT_USER, (base_ + L"\\machine").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, machine_.put(), nullptr);
  RegOverridePredefKey(HKEY_CURRENT_USER, user_.get());
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, machine_.get());
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
  user_.reset();
  machine_.reset();
  RegDeleteTreeW(HKEY_CURRENT_USER, base_.c_str());
}

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp, length) + L"ordalis_" + UniqueName();
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  // SHFileOperation wants a double-NUL-terminated list.
  std::wstring from = path_;
  from.push_back(L'\0');
  SHFILEOPSTRUCTW operation{};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  SHFileOperationW(&operation);
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, std::string_view bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  CloseHandle(file);
  return ok;
}

bool FileIsThere(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void PumpMessages(DWORD ms) {
  const DWORD until = GetTickCount() + ms;
  MSG msg;
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    ordalis::win32::WaitForInput(10);  // and the handles the program watches
  }
}

namespace {
MessageBoxAnswerer* activeAnswerer = nullptr;

struct BoxSearch {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK FindBox(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  wchar_t className[16] = {}, title[256] = {};
  GetClassNameW(window, className, 16);
  GetWindowTextW(window, title, 256);
  if (IsWindowVisible(window) && std::wstring_view(className) == L"#32770" &&
      *search->caption == title) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer(std::wstring caption, int button,
                                       std::vector<int> checkBoxes, int textId)
    : caption_(std::move(caption)),
      button_(button),
      checkBoxes_(std::move(checkBoxes)),
      textId_(textId) {
  activeAnswerer = this;
  timer_ = SetTimer(nullptr, 0, 50, Tick);
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
  KillTimer(nullptr, timer_);
  activeAnswerer = nullptr;
}

void CALLBACK MessageBoxAnswerer::Tick(HWND, UINT, UINT_PTR, DWORD) {
  MessageBoxAnswerer* self = activeAnswerer;
  if (!self) return;
  BoxSearch search{&self->caption_, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&search));
  if (!search.found || search.found == self->answered_) return;
  self->answered_ = search.found;
  wchar_t text[2048] = {};
  GetDlgItemTextW(search.found, self->textId_, text, 2048);
  self->texts_.push_back(text);
  for (const int box : self->checkBoxes_) {
    SendDlgItemMessageW(search.found, box, BM_SETCHECK, BST_CHECKED, 0);
  }
  PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(self->button_, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(search.found, self->button_)));
}

std::wstring ListCell(HWND list, int item, int column) {
  wchar_t text[512] = {};
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = text;
  cell.cchTextMax = 512;
  SendMessageW(list, LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
  return text;
}

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return 0;
  win32::UniqueBitmap colour(info.hbmColor);
  win32::UniqueBitmap mask(info.hbmMask);
  BITMAP bitmap{};
  GetObjectW(colour ? colour.get() : mask.get(), sizeof bitmap, &bitmap);
  return bitmap.bmWidth;
}

std::vector<std::wstring> ListHeaders(HWND list) {
  std::vector<std::wstring> headers;
  HWND header = ListView_GetHeader(list);
  for (int i = 0; i < Header_GetItemCount(header); ++i) {
    wchar_t text[64] = {};
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    Header_GetItem(header, i, &item);
    headers.push_back(text);
  }
  return headers;
}

std::wstring ListCell(HWND list, int item, std::wstring_view header) {
  const std::vector<std::wstring> headers = ListHeaders(list);
  const auto at = std::find(headers.begin(), headers.end(), header);
  return at == headers.end() ? L"" : ListCell(list, item, static_cast<int>(at - headers.begin()));
}

std::wstring UserDate(std::wstring_view stored) {
  const auto number = [stored](size_t at, size_t count) {
    return static_cast<WORD>(std::stoi(std::wstring(stored.substr(at, count))));
  };
  SYSTEMTIME day{};
  day.wMonth = number(0, 2);
  day.wDay = number(3, 2);
  day.wYear = number(6, 4);
  wchar_t weekday[64] = L"", date[64] = L"";
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &day, L"ddd", weekday, 64, nullptr);
  GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &day, nullptr, date, 64, nullptr);
  return std::wstring(weekday) + L", " + date;
}

int RoomRightOfColumns(HWND list) {
  RECT client{};
  GetClientRect(list, &client);
  int columns = 0;
  for (int i = 0; i < Header_GetItemCount(ListView_GetHeader(list)); ++i) {
    columns += ListView_GetColumnWidth(list, i);
  }
  return client.right - columns;
}

}  // namespace ordalis::test
