#include "mainwindow/main_window.h"

#include <commctrl.h>

#include <array>
#include <iterator>

#include "storage/scrambler.h"
#include "win32/controls.h"
#include "win32/dpi.h"
#include "win32/text.h"

namespace ordalis {

using win32::ControlSpec;
using win32::TwipsToPixels;
using win32::Widen;

namespace {

// No WS_CLIPCHILDREN: the group box leaves its inside to the window.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kClientWidth = 7140, kClientHeight = 5400;  // twips

constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// Tab order is the order of this table.
constexpr ControlSpec kControls[] = {
    {WC_TABCONTROLW, L"", IDC_TABSTRIP, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 120, 120, 6900, 360},
    {WC_LISTVIEWW, L"", IDC_LDATEN,
     WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, 120, 480, 6900, 2940,
     WS_EX_CLIENTEDGE},
    {WC_BUTTONW, L"&Hinzufügen", IDC_BHINZUFUEGEN, kButton, 120, 3540, 1320, 360},
    {WC_BUTTONW, L"&Bearbeiten", IDC_BBEARBEITEN, kButton, 1560, 3540, 1320, 360},
    {WC_BUTTONW, L"&Löschen", IDC_BLOESCHEN, kButton, 3000, 3540, 1320, 360},
    {WC_BUTTONW, L"Automatische Erinnerung", IDC_FRAME1, WS_VISIBLE | BS_GROUPBOX, 120, 3960, 4200,
     1320},
    {WC_BUTTONW, L"&stündlich", IDC_OWECKER1,
     WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 300, 4230, 3900, 270},
    {WC_BUTTONW, L"&bei relevanten Meldungen", IDC_OWECKER2, WS_VISIBLE | BS_AUTORADIOBUTTON, 300,
     4560, 3900, 270},
    {WC_BUTTONW, L"&nie erinnern", IDC_OWECKER3, WS_VISIBLE | BS_AUTORADIOBUTTON, 300, 4890, 3900,
     270},
    {WC_BUTTONW, L"&Optionen", IDC_BOPTIONEN, WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 5700, 4380,
     1320, 360},
    {WC_BUTTONW, L"Schließen", IDC_BBEENDEN, kButton | WS_GROUP, 5700, 4920, 1320, 360},
};

struct TabSpec {
  Category category;
  const wchar_t* caption;
  wchar_t accessKey;
};
constexpr std::array<TabSpec, 4> kTabs = {{
    {Category::All, L" &Alles  ", L'a'},
    {Category::Important, L" &Wichtiges  ", L'w'},
    {Category::Others, L" &Sonstiges  ", L's'},
    {Category::Done, L" &Erledigtes  ", L'e'},
}};

}  // namespace

bool MainWindow::Create() {
  if (!CreateTopLevel(L"OrdalisMain", kMainWindowCaption, kStyle, WS_EX_CONTROLPARENT, 0, 0,
                      LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1)))) {
    return false;
  }
  Form_Load();
  return true;
}

void MainWindow::Form_Load() {
  HWND hwnd = Handle();
  dpi_ = win32::WindowDpi(hwnd);
  font_ = win32::MessageFont(dpi_);
  listFont_ = win32::PointFont(L"Tahoma", 9, dpi_);
  win32::CreateControls(hwnd, kControls, dpi_, font_.get());
  HWND tabs = GetDlgItem(hwnd, IDC_TABSTRIP);
  for (int i = 0; i < static_cast<int>(kTabs.size()); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kTabs[i].caption);
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  list_.Attach(GetDlgItem(hwnd, IDC_LDATEN), dpi_);
  CheckRadioButton(hwnd, IDC_OWECKER1, IDC_OWECKER3, IDC_OWECKER3);
  Layout();
  SelectTab(Category::Important);
}

void MainWindow::Layout() {
  HWND hwnd = Handle();
  const SIZE size = win32::WindowSizeForClient(TwipsToPixels(kClientWidth, dpi_),
                                               TwipsToPixels(kClientHeight, dpi_), kStyle,
                                               WS_EX_CONTROLPARENT, dpi_);
  SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  win32::PlaceControls(hwnd, kControls, dpi_, font_.get());
  SendMessageW(list_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), TRUE);
  // The tab strip shows only its row of tabs; the list stands right below.
  HWND tabs = GetDlgItem(hwnd, IDC_TABSTRIP);
  RECT item{};
  if (TabCtrl_GetItemRect(tabs, 0, &item)) {
    RECT tabRect{}, listRect{};
    GetWindowRect(tabs, &tabRect);
    GetWindowRect(list_.Handle(), &listRect);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&tabRect), 2);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&listRect), 2);
    const int rowBottom = tabRect.top + item.bottom + 1;
    SetWindowPos(tabs, nullptr, tabRect.left, tabRect.top, tabRect.right - tabRect.left,
                 rowBottom - tabRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(list_.Handle(), nullptr, listRect.left, rowBottom, listRect.right - listRect.left,
                 listRect.bottom - rowBottom, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

Category MainWindow::SelectedCategory() const {
  const int index = TabCtrl_GetCurSel(GetDlgItem(Handle(), IDC_TABSTRIP));
  if (index < 0 || index >= static_cast<int>(kTabs.size())) return Category::Important;
  return kTabs[static_cast<size_t>(index)].category;
}

void MainWindow::SelectTab(Category category) {
  TabCtrl_SetCurSel(GetDlgItem(Handle(), IDC_TABSTRIP), static_cast<int>(category) - 1);
  TabStrip_Click();
}

void MainWindow::TabStrip_Click() {
  const Category view = SelectedCategory();
  list_.SetView(view, dpi_);
  SetViewButtons(view);
  CategoryLoad load = LoadCategory(files_.Data(), view);
  list_.SetRows(std::move(load.rows));
  ReportUnreadable(load.unreadable);
  if (IsWindowVisible(Handle())) SetFocus(list_.Handle());
}

void MainWindow::SetViewButtons(Category view) {
  HWND hwnd = Handle();
  const bool done = view == Category::Done;
  EnableWindow(GetDlgItem(hwnd, IDC_BHINZUFUEGEN), !done);
  EnableWindow(GetDlgItem(hwnd, IDC_BBEARBEITEN), !done);
  ShowWindow(GetDlgItem(hwnd, IDC_BOPTIONEN), view == Category::All ? SW_SHOWNA : SW_HIDE);
}

void MainWindow::LDaten_ColumnClick(int column) {
  switch (column) {
    case 0:
      list_.SortBy(SortColumn::kDate);
      break;
    case 1:
      list_.SortBy(SortColumn::kTime);
      break;
    case 2:
      list_.SortBy(SortColumn::kDescription);
      break;
    default:
      break;  // the key column does not sort
  }
}

SaveResult MainWindow::WriteDatabase() {
  const Category category = SelectedCategory();
  std::vector<TaskRow> rows = list_.Rows();
  const SaveResult result = WriteCategory(files_, category, rows);
  if (result == SaveResult::kSaved && category != Category::All) {
    list_.SetRowsInPlace(std::move(rows));
  } else if (result != SaveResult::kSaved) {
    ReportSaveFailure(result);
  }
  list_.Select(0);
  return result;
}

void MainWindow::ReportUnreadable(const std::vector<UnreadableEntry>& entries) {
  bool anyNew = false;
  for (const UnreadableEntry& entry : entries) anyNew |= reported_.insert(entry).second;
  // One message for a load, and never again for an entry already told.
  if (anyNew) {
    MessageBoxW(Handle(), Widen(kScrambleRefusedText).c_str(), Widen(kScrambleRefusedTitle).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
  }
}

void MainWindow::ReportSaveFailure(SaveResult result) {
  std::wstring text;
  switch (result) {
    case SaveResult::kRefused:
      text = Widen(kScrambleRefusedText);
      break;
    case SaveResult::kTooMany:
      text =
          L"Eine Kategorie kann höchstens 100 Aufgaben aufnehmen. "
          L"Die Änderung wurde nicht gespeichert. ";
      break;
    case SaveResult::kWriteFailed:
      text = L"Die Änderung wurde nicht gespeichert, weil die Datei\n" + dataPath_ +
             L"\nnicht geschrieben werden konnte. Bitte prüfen Sie, ob der Ordner beschreibbar "
             L"ist und ob genug Speicherplatz frei ist. ";
      break;
    case SaveResult::kSaved:
      return;
  }
  MessageBoxW(Handle(), text.c_str(), Widen(kScrambleRefusedTitle).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

void MainWindow::bBeenden_Click() {
  // Until the program lives in the notification area, closing ends it.
  DestroyWindow(Handle());
}

bool MainWindow::PreTranslate(const MSG& msg) {
  HWND hwnd = Handle();
  if (!hwnd || (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd))) return false;
  if (msg.message == WM_SYSCHAR) {
    wchar_t key = static_cast<wchar_t>(msg.wParam);
    CharLowerBuffW(&key, 1);
    for (const TabSpec& tab : kTabs) {
      if (tab.accessKey == key) {
        SetFocus(GetDlgItem(hwnd, IDC_TABSTRIP));
        SelectTab(tab.category);
        return true;
      }
    }
    return false;
  }
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (msg.message == WM_KEYDOWN && control &&
      (msg.wParam == VK_TAB || msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR)) {
    const bool back = msg.wParam == VK_PRIOR || (msg.wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
    const int count = static_cast<int>(kTabs.size());
    const int next = (static_cast<int>(SelectedCategory()) - 1 + (back ? count - 1 : 1)) % count;
    SelectTab(kTabs[static_cast<size_t>(next)].category);
    return true;
  }
  return false;
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom == IDC_TABSTRIP && header.code == TCN_SELCHANGE) {
    TabStrip_Click();
  } else if (header.idFrom == IDC_LDATEN && header.code == LVN_COLUMNCLICK) {
    LDaten_ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
  } else if (header.code == HDN_BEGINTRACKW || header.code == HDN_DIVIDERDBLCLICKW) {
    // A column the view hides stays hidden.
    return list_.ColumnIsHidden(reinterpret_cast<const NMHEADERW&>(header).iItem) ? TRUE : FALSE;
  }
  return 0;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_BBEENDEN) bBeenden_Click();
      return 0;
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CLOSE:
      bBeenden_Click();
      return 0;
    case WM_DPICHANGED: {
      const UINT oldDpi = dpi_;
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      font_ = win32::MessageFont(dpi_);
      listFont_ = win32::PointFont(L"Tahoma", 9, dpi_);
      Layout();
      list_.Rescale(oldDpi, dpi_);
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // Labels, option buttons and the frame stand on the window's colour.
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace ordalis
