#include "helpviewer/viewer_window.h"

#include <commctrl.h>
#include <richedit.h>

#include <algorithm>

#include "win32/controls.h"
#include "win32/dpi.h"

namespace ordalis {

namespace {

constexpr UINT kWmOpenTopic = WM_APP + 1;   // a clicked link, opened after its notification
constexpr UINT kWmFillTopics = WM_APP + 2;  // the next titles go into the list
// The list takes the titles a thousand at a time, with the window's messages
// in between: a file of many thousand topics shows its first topic at once,
// and the window answers a close or a second start while the list fills.
constexpr size_t kTitlesAtOnce = 1000;
constexpr wchar_t kDash[] = L" \u2013 ";

int Scale(int pixels96, UINT dpi) {
  return MulDiv(pixels96, static_cast<int>(dpi), 96);
}

int LineHeight(HWND window, HFONT font) {
  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  return metrics.tmHeight;
}

// A message in the place of a topic: a paragraph per line.
HelpTopic MessageTopic(std::wstring_view text) {
  HelpTopic topic;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find(L'\n', start), text.size());
    const std::wstring_view line = text.substr(start, end - start);
    const int size = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(), size,
                        nullptr, nullptr);
    if (!utf8.empty()) topic.blocks.push_back({BlockKind::kParagraph, {{SpanKind::kText, utf8}}});
    start = end + 1;
  }
  return topic;
}

}  // namespace

std::optional<std::string> ReadHelpFile(const std::wstring& path) {
  constexpr LONGLONG kLargest = 16 << 20;  // a help file is a few dozen kilobytes
  win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart > kLargest) return std::nullopt;
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      !ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
    return std::nullopt;
  }
  bytes.resize(read);
  return bytes;
}

bool ViewerWindow::Create(int showCommand) {
  dpi_ = win32::WindowDpi(nullptr);
  const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
  // A comfortable size that still fits the screen at high scaling.
  RECT work{0, 0, 1024, 768};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = std::min(Scale(860, dpi_), static_cast<int>(work.right - work.left) * 9 / 10);
  const int height = std::min(Scale(600, dpi_), static_cast<int>(work.bottom - work.top) * 9 / 10);
  if (!CreateTopLevel(kViewerClass, kViewerCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0,
                      {CW_USEDEFAULT, CW_USEDEFAULT}, {width, height}, icon)) {
    return false;
  }
  HWND hwnd = Handle();
  dpi_ = win32::WindowDpi(hwnd);
  icons_.Apply(hwnd, 1, dpi_);
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const auto child = [&](const wchar_t* cls, const wchar_t* text, int id, DWORD style,
                         DWORD exStyle = 0) {
    CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  // Each label comes right before the control it names, for screen readers
  // and the access keys; the order is also the Tab order.
  child(WC_STATICW, L"&Themen:", IDC_TOPICS_LABEL, 0);
  child(WC_LISTBOXW, L"", IDC_TOPICS,
        WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS,
        WS_EX_CLIENTEDGE);
  child(WC_STATICW, L"", IDC_TITLE, SS_NOPREFIX | SS_LEFTNOWORDWRAP | SS_ENDELLIPSIS);
  if (!view_.Create(hwnd, IDC_TEXT)) return false;
  child(WC_BUTTONW, L"\u2190 &Zurück", IDC_BACK, WS_TABSTOP | BS_PUSHBUTTON);
  child(WC_BUTTONW, L"&Vorwärts \u2192", IDC_FORWARD, WS_TABSTOP | BS_PUSHBUTTON);
  SetFonts();
  Layout();
  UpdateButtons();
  ShowWindow(hwnd, showCommand);
  SetFocus(GetDlgItem(hwnd, IDC_TOPICS));
  return true;
}

void ViewerWindow::Open(const HelpRequest& request) {
  if (!request.file.empty() || path_.empty()) {
    path_ = request.file;
    Load();
  }
  if (file_.topics.empty()) {
    shown_ = 0;
    if (path_.empty()) {
      ShowMessage(L"Keine Hilfedatei",
                  L"Beim Aufruf der Hilfe wurde keine Hilfedatei angegeben.\n"
                  L"Öffnen Sie die Hilfe aus Ordalis heraus, zum Beispiel mit der Taste F1.");
    } else {
      ShowMessage(L"Hilfe nicht verfügbar",
                  L"Die Hilfedatei „" + path_ +
                      L"“ wurde nicht gefunden, kann nicht gelesen werden oder enthält keine "
                      L"Hilfethemen.\n"
                      L"Installieren Sie Ordalis erneut, damit die Hilfedatei Vemra.lhf wieder "
                      L"neben dem Programm liegt.");
    }
    return;
  }
  const int topic = file_.Find(request.topic) ? request.topic : file_.topics.front().number;
  history_.Visit(topic);
  ShowTopic(topic);
}

void ViewerWindow::Load() {
  file_ = {};
  bytes_.clear();
  if (!path_.empty()) {
    // Only the titles now; a topic's text is read when it is shown.
    if (std::optional<std::string> bytes = ReadHelpFile(path_)) {
      bytes_ = std::move(*bytes);
      file_ = ScanHelpFile(bytes_);
    }
  }
  HWND list = GetDlgItem(Handle(), IDC_TOPICS);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  SendMessageW(list, LB_INITSTORAGE, file_.topics.size(), file_.topics.size() * 64);
  filled_ = 0;
  FillTopics();
}

void ViewerWindow::FillTopics() {
  HWND list = GetDlgItem(Handle(), IDC_TOPICS);
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  const size_t end = std::min(file_.topics.size(), filled_ + kTitlesAtOnce);
  for (; filled_ < end; ++filled_) {
    const HelpTopic& topic = file_.topics[filled_];
    const std::wstring title = FromUtf8(topic.title);
    const LRESULT index =
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), topic.number);
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  if (filled_ < file_.topics.size()) {
    if (!fillPosted_) fillPosted_ = PostMessageW(Handle(), kWmFillTopics, 0, 0) != FALSE;
    return;
  }
  UpdateListExtent();
  SelectInList(shown_);
}

void ViewerWindow::SelectInList(int number) {
  HWND list = GetDlgItem(Handle(), IDC_TOPICS);
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    if (SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) == number) {
      SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return;
    }
  }
}

// A title wider than the list can be scrolled to instead of being cut.
void ViewerWindow::UpdateListExtent() {
  HWND list = GetDlgItem(Handle(), IDC_TOPICS);
  int widest = 0;
  {
    const win32::TextWidths width(list, font_.get());
    for (const HelpTopic& topic : file_.topics) {
      widest = std::max(widest, width.Of(FromUtf8(topic.title)));
    }
  }
  SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + Scale(6, dpi_)), 0);
}

void ViewerWindow::Navigate(int topic) {
  if (!file_.Find(topic) || topic == shown_) return;
  history_.Visit(topic);
  ShowTopic(topic);
}

void ViewerWindow::GoBack() {
  if (const std::optional<int> topic = history_.Back()) ShowTopic(*topic);
}

void ViewerWindow::GoForward() {
  if (const std::optional<int> topic = history_.Forward()) ShowTopic(*topic);
}

void ViewerWindow::ShowTopic(int number) {
  if (const auto at = file_.index.find(number); at != file_.index.end()) {
    ReadTopicText(bytes_, file_, at->second);
  }
  const HelpTopic* topic = file_.Find(number);
  if (!topic) return;
  shown_ = number;
  const std::wstring title = FromUtf8(topic->title);
  SetWindowTextW(Handle(), (std::wstring(kViewerCaption) + kDash + title).c_str());
  SetDlgItemTextW(Handle(), IDC_TITLE, title.c_str());
  SelectInList(number);
  Render();
  UpdateButtons();
}

void ViewerWindow::ShowMessage(std::wstring_view title, std::wstring_view text) {
  message_ = MessageTopic(text);
  SetWindowTextW(Handle(), (std::wstring(kViewerCaption) + kDash + std::wstring(title)).c_str());
  SetDlgItemTextW(Handle(), IDC_TITLE, std::wstring(title).c_str());
  Render();
  UpdateButtons();
}

void ViewerWindow::Render() {
  const HelpTopic* topic = shown_ ? file_.Find(shown_) : &message_;
  if (topic) view_.Show(*topic, dpi_);
}

void ViewerWindow::UpdateButtons() {
  HWND hwnd = Handle();
  EnableWindow(GetDlgItem(hwnd, IDC_BACK), shown_ && history_.CanGoBack());
  EnableWindow(GetDlgItem(hwnd, IDC_FORWARD), shown_ && history_.CanGoForward());
  // A button that just went grey must not keep the keyboard.
  HWND focus = GetFocus();
  if (!focus || (IsChild(hwnd, focus) && !IsWindowEnabled(focus))) {
    SetFocus(GetDlgItem(hwnd, IDC_TOPICS));
  }
}

void ViewerWindow::SetFonts() {
  font_ = win32::MessageFont(dpi_);
  LOGFONTW title{};
  GetObjectW(font_.get(), sizeof title, &title);
  title.lfHeight = title.lfHeight * 3 / 2;
  title.lfWeight = FW_BOLD;
  titleFont_.reset(CreateFontIndirectW(&title));
  for (const int id : {IDC_BACK, IDC_FORWARD, IDC_TOPICS_LABEL, IDC_TOPICS}) {
    SendDlgItemMessageW(Handle(), id, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  }
  SendDlgItemMessageW(Handle(), IDC_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(titleFont_.get()),
                      FALSE);
  UpdateListExtent();
}

void ViewerWindow::Layout() {
  HWND hwnd = Handle();
  RECT client{};
  GetClientRect(hwnd, &client);
  const int margin = Scale(8, dpi_);
  const int line = LineHeight(hwnd, font_.get());
  const int buttonHeight = line + Scale(10, dpi_);
  const int buttonWidth = Scale(100, dpi_);
  const int titleHeight = LineHeight(hwnd, titleFont_.get()) + Scale(4, dpi_);
  const int listWidth =
      std::clamp(static_cast<int>(client.right) / 3, Scale(180, dpi_), Scale(320, dpi_));
  const int top = margin + buttonHeight + margin;
  const int textLeft = margin + listWidth + margin;
  const int bodyTop = top + titleHeight + Scale(4, dpi_);
  const int bodyHeight = std::max(0, static_cast<int>(client.bottom) - bodyTop - margin);
  const auto place = [&](int id, int x, int y, int width, int height) {
    SetWindowPos(GetDlgItem(hwnd, id), nullptr, x, y, std::max(width, 0), std::max(height, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(IDC_BACK, margin, margin, buttonWidth, buttonHeight);
  place(IDC_FORWARD, margin + buttonWidth + Scale(6, dpi_), margin, buttonWidth, buttonHeight);
  place(IDC_TOPICS_LABEL, margin, bodyTop - line - Scale(3, dpi_), listWidth, line);
  place(IDC_TOPICS, margin, bodyTop, listWidth, bodyHeight);
  place(IDC_TITLE, textLeft, top, client.right - textLeft - margin, titleHeight);
  place(IDC_TEXT, textLeft, bodyTop, client.right - textLeft - margin, bodyHeight);
  // Room between the text and its frame.
  const int inner = Scale(6, dpi_);
  SendMessageW(view_.Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
               MAKELPARAM(inner, inner));
}

void ViewerWindow::MoveFocus(HWND from, bool back) {
  HWND next = GetNextDlgTabItem(Handle(), from, back);
  if (!next) return;
  SetFocus(next);
  if (next == view_.Handle()) {
    // Entering the text puts the caret at the edge it was entered from, so
    // the next Tab finds the first (or last) link.
    const LONG edge = back ? GetWindowTextLengthW(next) : 0;
    SendMessageW(next, EM_SETSEL, edge, edge);
  }
}

bool ViewerWindow::PreTranslate(const MSG& msg) {
  HWND hwnd = Handle();
  if (!hwnd || (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd))) return false;
  const bool alt = msg.message == WM_SYSKEYDOWN;
  if (msg.message != WM_KEYDOWN && !alt) return false;
  switch (msg.wParam) {
    case VK_LEFT:
    case VK_RIGHT:
      if (!alt) return false;
      msg.wParam == VK_LEFT ? GoBack() : GoForward();
      return true;
    // The access keys of "&Themen:", "&Zurück" and "&Vorwärts", also from
    // the text, which keeps every key for itself.
    case 'T':
      if (!alt) return false;
      SetFocus(GetDlgItem(hwnd, IDC_TOPICS));
      return true;
    case 'Z':
    case 'V':
      if (!alt) return false;
      msg.wParam == 'Z' ? GoBack() : GoForward();
      return true;
    case VK_BROWSER_BACK: GoBack(); return true;
    case VK_BROWSER_FORWARD: GoForward(); return true;
    case VK_ESCAPE:
      if (alt) return false;
      SendMessageW(hwnd, WM_CLOSE, 0, 0);
      return true;
    case VK_TAB: {
      if (alt || GetKeyState(VK_CONTROL) < 0) return false;
      const bool back = GetKeyState(VK_SHIFT) < 0;
      if (msg.hwnd != view_.Handle() || !view_.SelectNextLink(!back)) MoveFocus(msg.hwnd, back);
      return true;
    }
    case VK_RETURN:
      if (alt) return false;
      if (msg.hwnd == view_.Handle()) {
        if (const std::optional<int> topic = view_.SelectedLink()) Navigate(*topic);
      } else if (GetDlgCtrlID(msg.hwnd) == IDC_BACK || GetDlgCtrlID(msg.hwnd) == IDC_FORWARD) {
        SendMessageW(msg.hwnd, BM_CLICK, 0, 0);
      }
      return true;
    default: return false;
  }
}

void ViewerWindow::HandOver(const COPYDATASTRUCT& data) {
  const std::wstring_view arguments(static_cast<const wchar_t*>(data.lpData),
                                    data.cbData / sizeof(wchar_t));
  Open(ParseHelpArguments(arguments));
  HWND hwnd = Handle();
  if (IsIconic(hwnd)) ShowWindow(hwnd, SW_RESTORE);
  SetForegroundWindow(hwnd);
}

LRESULT ViewerWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = Handle();
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_BACK: GoBack(); return 0;
        case IDC_FORWARD: GoForward(); return 0;
        case IDC_TOPICS:
          if (HIWORD(wParam) == LBN_SELCHANGE) {
            HWND list = reinterpret_cast<HWND>(lParam);
            const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
            if (index != LB_ERR) {
              Navigate(static_cast<int>(SendMessageW(list, LB_GETITEMDATA, index, 0)));
            }
          }
          return 0;
        default: break;
      }
      break;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.idFrom == IDC_TEXT && header.code == EN_LINK) {
        const auto& link = *reinterpret_cast<const ENLINK*>(lParam);
        if (link.msg == WM_LBUTTONUP) {
          if (const std::optional<int> topic = view_.LinkAt(link.chrg.cpMin)) {
            PostMessageW(hwnd, kWmOpenTopic, static_cast<WPARAM>(*topic), 0);
          }
        }
      }
      return 0;
    }
    case kWmOpenTopic: Navigate(static_cast<int>(wParam)); return 0;
    case kWmFillTopics:
      fillPosted_ = false;
      FillTopics();
      return 0;
    case WM_COPYDATA: {
      const auto& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data.dwData != kHandOverTag) break;
      HandOver(data);
      return TRUE;
    }
    case WM_SIZE: Layout(); return 0;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      win32::RepaintForNewColours(hwnd);
      Render();  // the topic carries the colours in its text
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wParam);
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      SetFonts();
      icons_.Apply(hwnd, 1, dpi_);
      SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
      Layout();
      Render();
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto& info = *reinterpret_cast<MINMAXINFO*>(lParam);
      info.ptMinTrackSize = {Scale(480, dpi_), Scale(320, dpi_)};
      return 0;
    }
    case WM_ACTIVATE:
      // The keyboard comes back to where it was when the window was left.
      if (LOWORD(wParam) == WA_INACTIVE) {
        lastFocus_ = GetFocus();
      } else if (lastFocus_ && IsChild(hwnd, lastFocus_)) {
        SetFocus(lastFocus_);
        return 0;
      }
      break;
    case WM_DESTROY:
      if (endsProgram_) PostQuitMessage(0);
      return 0;
    default: break;
  }
  return win32::Window::HandleMessage(message, wParam, lParam);
}

}  // namespace ordalis
