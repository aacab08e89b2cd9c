#include "mainwindow/main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <utility>

#include "dialogs/help.h"
#include "dialogs/help_win32.h"
#include "resources/resource.h"
#include "storage/scrambler.h"
#include "win32/controls.h"
#include "win32/dpi.h"
#include "win32/start_trace.h"
#include "win32/text.h"

namespace ordalis {

using win32::ControlSpec;
using win32::PixelsToTwips;
using win32::TwipsToPixels;
using win32::Widen;

namespace {

// No WS_CLIPCHILDREN: the group box leaves its inside to the window.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr int kClientWidth = 7140, kClientHeight = 5400;  // twips

constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// Tab order is the order of this table, but for the last control (see
// there). The list is made second, right below the row of tabs.
constexpr ControlSpec kControls[] = {
    {WC_TABCONTROLW, L"", IDC_TABSTRIP, WS_VISIBLE | WS_TABSTOP | WS_GROUP, 120, 120, 6900, 360},
    // The list's text is never shown; screen readers read it as its name.
    {WC_LISTVIEWW, L"Aufgaben", IDC_LDATEN,
     WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, 120, 480, 6900, 2940,
     WS_EX_CLIENTEDGE},
    {WC_BUTTONW, L"&Hinzufügen", IDC_BHINZUFUEGEN, kButton, 120, 3540, 1320, 360},
    // Editing and removing wait for a selected task.
    {WC_BUTTONW, L"&Bearbeiten", IDC_BBEARBEITEN, kButton | WS_DISABLED, 1560, 3540, 1320, 360},
    {WC_BUTTONW, L"&Löschen", IDC_BLOESCHEN, kButton | WS_DISABLED, 3000, 3540, 1320, 360},
    {WC_BUTTONW, L"Automatische Erinnerung", IDC_FRAME1, WS_VISIBLE | BS_GROUPBOX, 120, 3960, 4200,
     1320},
    // The options of the reminder mode are made plain and turn automatic
    // once the stored mode is marked (CreateControlsAndMenu).
    {WC_BUTTONW, L"s&tündlich", IDC_OWECKER1, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_RADIOBUTTON,
     300, 4230, 3900, 270},
    {WC_BUTTONW, L"bei &relevanten Meldungen", IDC_OWECKER2, WS_VISIBLE | BS_RADIOBUTTON, 300, 4560,
     3900, 270},
    {WC_BUTTONW, L"&nie erinnern", IDC_OWECKER3, WS_VISIBLE | BS_RADIOBUTTON, 300, 4890, 3900, 270},
    {WC_BUTTONW, L"Schließen", IDC_BBEENDEN, kButton | WS_GROUP, 5580, 4920, 1440, 360},
    // Shown only in "Alles" (and without the notification area), so made
    // when it first shows; it stands before "Schließen" in the tab order.
    {WC_BUTTONW, L"E&instellungen…", IDC_BOPTIONEN, WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 5580,
     4380, 1440, 360},
};

static_assert(kControls[0].id == IDC_TABSTRIP && kControls[1].id == IDC_LDATEN &&
              kControls[std::size(kControls) - 1].id == IDC_BOPTIONEN);

// The reminder bar, shown by a reminder between the tabs and the list, and
// made when it first shows; in the tab order it follows the tabs.
constexpr ControlSpec kBarControls[] = {
    {WC_STATICW, L"", IDC_BAR_TEXT, SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS | SS_CENTERIMAGE, 120,
     540, 3000, 360},
    {WC_BUTTONW, L"Erle&digt", IDC_BAR_DONE, WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON, 3180, 540, 1080,
     360},
    {WC_BUTTONW, L"S&päter erinnern", IDC_BAR_LATER, WS_TABSTOP | BS_PUSHBUTTON, 4320, 540, 1560,
     360},
    {WC_BUTTONW, L"S&chließen", IDC_BAR_CLOSE, WS_TABSTOP | BS_PUSHBUTTON, 5940, 540, 1080, 360},
};

struct TabSpec {
  Category category;
  const wchar_t* caption;
  wchar_t accessKey;
};
constexpr std::array<TabSpec, 4> kTabs = {{
    {Category::All, L"&Alles", L'a'},
    {Category::Important, L"&Wichtiges", L'w'},
    {Category::Others, L"&Sonstiges", L's'},
    {Category::Done, L"&Erledigtes", L'e'},
}};

// The client y right below the tab strip's row of tabs; -1 while it has no
// tab.
int TabRowBottom(HWND window, HWND tabs) {
  RECT item{}, strip{};
  if (!tabs || !TabCtrl_GetItemRect(tabs, 0, &item)) return -1;
  GetWindowRect(tabs, &strip);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&strip), 2);
  return strip.top + item.bottom + 1;
}

// The window's outer size at this DPI.
SIZE WindowSize(UINT dpi) {
  return win32::WindowSizeForClient(TwipsToPixels(kClientWidth, dpi),
                                    TwipsToPixels(kClientHeight, dpi), kStyle, kExStyle, dpi);
}

}  // namespace

// ---------------------------------------------------------------------------
// Creation

bool MainWindow::Create() {
  // Made at its place and its size for the screen's DPI: on most screens it
  // needs no second sizing for its own. Its class carries the icons for
  // that DPI.
  session_.settings.Read();
  const UINT dpi = win32::WindowDpi(nullptr);
  const SIZE size = WindowSize(dpi);
  const POINT place = StartPoint(size, dpi);
  const win32::IconPair icons = win32::ClassIcons(IDI_VEMRA, dpi);
  win32::TraceStart("settings, place, icons");
  if (!CreateTopLevel(L"OrdalisMain", kMainWindowCaption, kStyle, kExStyle, place, size,
                      icons.largeIcon, icons.smallIcon)) {
    return false;
  }
  win32::TraceStart("main window created");
  quitMessage_ = RegisterWindowMessageW(kQuitMessageName);
  // Posted, not run at once: the command that asked goes on to its end first.
  session_.gate.OnLastClosed([this] {
    if (Handle()) PostMessageW(Handle(), kWmResume, 0, 0);
  });
  Form_Load();
  return !session_.ended;
}

void MainWindow::CreateControlsAndMenu() {
  HWND hwnd = Handle();
  dpi_ = win32::WindowDpi(hwnd);
  font_ = win32::MessageFont(dpi_);
  // The tab strip first: the list is made right below its row of tabs, in
  // its own font, so that it lays out its columns once.
  const std::span<const ControlSpec> controls(kControls);
  win32::CreateControls(hwnd, controls.first(1), dpi_, font_.get(), &items_);
  HWND tabs = Item(IDC_TABSTRIP);
  // The room around a tab's caption comes from the padding, not from blanks
  // a screen reader would read.
  TabCtrl_SetPadding(tabs, TwipsToPixels(180, dpi_), TwipsToPixels(45, dpi_));
  for (int i = 0; i < static_cast<int>(kTabs.size()); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kTabs[i].caption);
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
  MakeListFonts();
  RECT place = win32::PlaceOf(controls[1], dpi_);
  if (const int row = TabRowBottom(hwnd, tabs); row >= 0) place.top = row;
  items_.Add(IDC_LDATEN, win32::CreateControl(hwnd, controls[1], place, listFont_.get()));
  win32::CreateControls(hwnd, controls.subspan(2, controls.size() - 3), dpi_, font_.get(), &items_);
  list_.Attach(Item(IDC_LDATEN), dpi_);
  // The tasks of the last reminder are drawn in bold (LDaten_CustomDraw).
  list_.SetDescriptionFont([this](const TaskRow& row) {
    return session_.schedule.WasReminded(row) ? remindedFont_.get() : nullptr;
  });
  Layout(false);

  HMENU reminders = CreatePopupMenu();
  // The mode shows as the option mark of the main window's buttons.
  AppendMenuW(reminders, MF_STRING, IDM_ERINNERUNG1, L"s&tündlich");
  AppendMenuW(reminders, MF_STRING, IDM_ERINNERUNG2, L"bei &relevanten Meldungen");
  AppendMenuW(reminders, MF_STRING, IDM_ERINNERUNG3, L"&nie erinnern");
  menu_.reset(CreatePopupMenu());
  HMENU menu = menu_.get();
  AppendMenuW(menu, MF_STRING, IDM_VISIBLE, L"&Aufgaben anzeigen");
  AppendMenuW(menu, MF_STRING, IDM_NEU, L"Aufgabe &hinzufügen…");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(reminders), L"&Erinnerung");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDM_OPTIONEN, L"Ein&stellungen…");
  AppendMenuW(menu, MF_STRING, IDM_SICHERUNG, L"Sicherung &wiederherstellen…");
  AppendMenuW(menu, MF_STRING, IDM_HILFE, L"Hilfe&themen");
  AppendMenuW(menu, MF_STRING, IDM_INFO, L"&Info…");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDM_BEENDEN, L"&Beenden");
  // What a double click on the icon does, in bold.
  SetMenuDefaultItem(menu, IDM_VISIBLE, FALSE);

  // The stored mode, or "nie erinnern", marked while its options are plain:
  // an automatic option that is marked looks through all of the window's
  // controls for the others of its group (under Wine, a call to its server
  // for each step), where a plain one only takes its mark.
  SelectMode(session_.settings.Reminder().value_or(Mode::kNever));
  for (const int id : kModeOptions) {
    SendMessageW(Item(id), BM_SETSTYLE, BS_AUTORADIOBUTTON, FALSE);
  }

  // A window that came out at another DPI than the screen's has icons of
  // its own, at its size.
  if (dpi_ != win32::WindowDpi(nullptr)) icons_.Apply(hwnd, IDI_VEMRA, dpi_);
  tray_.Setup(nullptr, [this](UINT mouse) { OnTrayMouse(mouse); });
  tray_.UseProgramIcon(IDI_VEMRA);
}

HWND MainWindow::OptionsButton() {
  if (HWND made = Item(IDC_BOPTIONEN)) return made;
  win32::CreateControls(Handle(), std::span(kControls).last(1), dpi_, font_.get(), &items_);
  HWND button = Item(IDC_BOPTIONEN);
  SetWindowPos(button, Item(IDC_OWECKER3), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  controlTips_.Add(button);
  return button;
}

void MainWindow::CreateBar() {
  HWND hwnd = Handle();
  if (Item(IDC_BAR_TEXT)) return;
  win32::CreateControls(hwnd, kBarControls, dpi_, font_.get(), &items_);
  HWND after = Item(IDC_TABSTRIP);
  for (const ControlSpec& entry : kBarControls) {
    HWND control = Item(entry.id);
    if (!control) continue;
    SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = control;
  }
}

// ---------------------------------------------------------------------------
// Tabs and the list

void MainWindow::Layout(bool placeControls) {
  HWND hwnd = Handle();
  const SIZE size = WindowSize(dpi_);
  RECT now{};
  GetWindowRect(hwnd, &now);
  if (now.right - now.left != size.cx || now.bottom - now.top != size.cy) {
    SetWindowPos(hwnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (placeControls) {
    win32::PlaceControls(hwnd, kControls, dpi_, font_.get());
    win32::PlaceControls(hwnd, kBarControls, dpi_, font_.get());
    SendMessageW(list_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), TRUE);
  }
  // The tab strip shows only its row of tabs; the list stands right below.
  HWND tabs = Item(IDC_TABSTRIP);
  if (const int row = TabRowBottom(hwnd, tabs); row >= 0) {
    RECT tabRect{}, listRect{};
    GetWindowRect(tabs, &tabRect);
    GetWindowRect(list_.Handle(), &listRect);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&tabRect), 2);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&listRect), 2);
    SetWindowPos(tabs, nullptr, tabRect.left, tabRect.top, tabRect.right - tabRect.left,
                 row - tabRect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (listRect.top != row) {  // the list is made in its place
      SetWindowPos(list_.Handle(), nullptr, listRect.left, row, listRect.right - listRect.left,
                   listRect.bottom - row, SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  PlaceBar();
}

Category MainWindow::SelectedCategory() const {
  return list_.View();
}

Category MainWindow::ChosenTab() const {
  const int index = TabCtrl_GetCurSel(Item(IDC_TABSTRIP));
  if (index < 0 || index >= static_cast<int>(kTabs.size())) return Category::Important;
  return kTabs[static_cast<size_t>(index)].category;
}

void MainWindow::SelectTab(Category category) {
  const auto tab = std::find_if(kTabs.begin(), kTabs.end(), [category](const TabSpec& entry) {
    return entry.category == category;
  });
  TabCtrl_SetCurSel(Item(IDC_TABSTRIP), static_cast<int>(tab - kTabs.begin()));
  TabStrip_Click();
}

void MainWindow::UpdateEditButtons() {
  const auto selected = list_.Selected();
  // Any row can be edited and removed, in every view, also one whose date
  // or description was lost: it would otherwise stay for ever.
  EnableWindow(Item(IDC_BBEARBEITEN), selected.has_value());
  EnableWindow(Item(IDC_BLOESCHEN), selected.has_value());
}

void MainWindow::FocusFirstRow() {
  if (!list_.Selected() && !list_.Rows().empty()) list_.Select(0);
  UpdateEditButtons();
}

void MainWindow::SetViewButtons(Category view) {
  const bool done = view == Category::Done;
  EnableWindow(Item(IDC_BHINZUFUEGEN), !done);
  if (view == Category::All) {
    ShowWindow(OptionsButton(), SW_SHOWNA);
  } else if (HWND options = Item(IDC_BOPTIONEN)) {
    ShowWindow(options, SW_HIDE);
  }
}

void MainWindow::LDaten_ColumnClick(int column) {
  if (const auto clicked = list_.ColumnAt(column)) list_.SortBy(*clicked);
}

void MainWindow::MakeListFonts() {
  const Settings& settings = session_.settings;
  listFont_ = win32::PointFont(settings.ListFontName().c_str(), settings.ListFontPoints(), dpi_);
  remindedFont_ =
      win32::PointFont(settings.ListFontName().c_str(), settings.ListFontPoints(), dpi_, FW_BOLD);
}

void MainWindow::ApplyListFont() {
  // At once, in the list's DPI; the columns keep their widths unless a full
  // date or time no longer fits.
  MakeListFonts();
  SendMessageW(list_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), TRUE);
  list_.FitDateAndTime(dpi_);
}

void MainWindow::PostLookChecks() {
  // Shown, restored or activated by whatever means: once the change is
  // done, a pending password prompt comes in front, and what waited for the
  // user to look is told.
  if (session_.ended) return;
  if (session_.lock.Pending()) PostMessageW(Handle(), kWmAskPassword, 0, 0);
  if (session_.notices.Waiting()) PostMessageW(Handle(), kWmTellWaiting, 0, 0);
}

bool MainWindow::SelectTask(const TaskRow& row) {
  SelectTab(row.category);
  const std::optional<size_t> at = list_.Find(row);
  if (at) list_.Select(*at);
  return at.has_value();
}

// ---------------------------------------------------------------------------
// Help

bool MainWindow::HelpFilesPresent() {
  return s_.settings.FileExists(HelpViewerPath(s_.programFolder)) &&
         s_.settings.FileExists(HelpFilePath(s_.programFolder));
}

void MainWindow::OpenHelp(bool available, int topic) {
  if (available &&
      StartHelpViewer(HelpViewerPath(s_.programFolder), HelpCommandLine(s_.programFolder, topic))) {
    return;
  }
  Ask(kHelpMissingText, kMainWindowCaption, MB_OK | MB_ICONERROR);
}

// F1 relies on the availability found at start-up; the menu item looks for
// the viewer and the help file itself.
void MainWindow::CallHilfe(int topic) {
  OpenHelp(helpAvailable_, topic);
}
void MainWindow::mHilfe_Click() {
  OpenHelp(HelpFilesPresent(), 1);
}

int MainWindow::HelpTopicFor(HWND control) const {
  switch (GetDlgCtrlID(control)) {
    case IDC_TABSTRIP:
    case IDC_LDATEN:
      switch (SelectedCategory()) {
        case Category::Important: return 3;
        case Category::Others: return 4;
        default: return 2;  // "Alles" and "Erledigtes" share one topic
      }
    case IDC_BHINZUFUEGEN: return 5;
    case IDC_BBEARBEITEN: return 6;
    case IDC_BLOESCHEN: return 7;
    case IDC_OWECKER1: return 9;
    case IDC_OWECKER2: return 10;
    case IDC_OWECKER3: return 11;
    case IDC_BBEENDEN: return 13;
    case IDC_BAR_TEXT:
    case IDC_BAR_DONE:
    case IDC_BAR_LATER:
    case IDC_BAR_CLOSE: return 20;
    default: return 0;
  }
}

// ---------------------------------------------------------------------------
// Messages

bool MainWindow::PreTranslate(const MSG& msg) {
  HWND hwnd = Handle();
  if (!hwnd || (msg.hwnd != hwnd && !IsChild(hwnd, msg.hwnd))) return false;
  if (msg.message == WM_SYSCHAR) {
    wchar_t key = static_cast<wchar_t>(msg.wParam);
    CharLowerBuffW(&key, 1);
    // The tabs' access keys, which the dialog manager does not know; a
    // disabled "&Bearbeiten" takes Alt+B and does nothing.
    if (key == L'b') {
      HWND edit = Item(IDC_BBEARBEITEN);
      if (IsWindowVisible(edit) && IsWindowEnabled(edit)) BBearbeiten_Click();
      return true;
    }
    for (const TabSpec& tab : kTabs) {
      if (tab.accessKey == key) {
        SetFocus(Item(IDC_TABSTRIP));
        SelectTab(tab.category);
        FocusFirstRow();
        return true;
      }
    }
    return false;
  }
  if (msg.message != WM_KEYDOWN) return false;
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (msg.hwnd == list_.Handle()) {
    // Enter opens the selected task, Del asks to delete it and Ctrl+E to
    // put it into "Erledigtes", as the list's menu says.
    const auto run = [&](int command) {
      if (list_.Selected()) SendMessageW(hwnd, WM_COMMAND, command, 0);
      return true;
    };
    if (msg.wParam == VK_RETURN) return run(IDC_BBEARBEITEN);
    if (msg.wParam == VK_DELETE) return run(IDC_BLOESCHEN);
    if (control && msg.wParam == 'E') {
      return SelectedCategory() == Category::Done || run(IDM_ERLEDIGT);
    }
  }
  if (msg.wParam == VK_F1) {
    if (const int topic = HelpTopicFor(msg.hwnd)) {
      CallHilfe(topic);
      return true;
    }
    return false;
  }
  if (control && (msg.wParam == VK_TAB || msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR)) {
    const bool back = msg.wParam == VK_PRIOR || (msg.wParam == VK_TAB && GetKeyState(VK_SHIFT) < 0);
    const int count = static_cast<int>(kTabs.size());
    const int now = TabCtrl_GetCurSel(Item(IDC_TABSTRIP));
    const int next = (std::max(now, 0) + (back ? count - 1 : 1)) % count;
    SelectTab(kTabs[static_cast<size_t>(next)].category);
    FocusFirstRow();
    return true;
  }
  return false;
}

}  // namespace ordalis
