#include "mainwindow/main_window.h"

#include <commctrl.h>

#include <array>
#include <cwctype>

#include "dialogs/help.h"
#include "dialogs/help_win32.h"
#include "dialogs/notice_dialog.h"
#include "editor/task_editor_dialog.h"
#include "mainwindow/placement.h"
#include "resources/resource.h"
#include "mainwindow/startup_windows.h"
#include "storage/scrambler.h"
#include "win32/controls.h"
#include "win32/dpi.h"
#include "win32/text.h"
#include "win32/wait.h"

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

constexpr wchar_t kAppPathsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vemra.exe";
constexpr wchar_t kQuitQuestion[] =
    L"Mit dieser Option verlassen Sie das Programm. \nMöchten Sie wirklich fortfahren ?";

std::wstring Lowercase(std::wstring text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(c));
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------
// Start-up

bool MainWindow::Create() {
  if (!CreateTopLevel(L"OrdalisMain", kMainWindowCaption, kStyle, kExStyle, 0, 0,
                      LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VEMRA)))) {
    return false;
  }
  Form_Load();
  return !ended_;
}

void MainWindow::Form_Load() {
  HWND hwnd = Handle();
  CreateControlsAndMenu();

  std::unique_ptr<SplashWindow> splash;
  if (!SettingIsOne(L"Startup")) {
    splash = std::make_unique<SplashWindow>();
    win32::WaitSeconds(1);
  }
  RegisterProgram();

  const bool passwordSet = !ReadStoredPassword(s_.files.Data()).empty();
  if (passwordSet && s_.automaticStart) {
    authPending_ = true;  // asked at the first click on the icon
  } else if (passwordSet) {
    ShowPasswordPrompt();
  }

  RestorePlacement();
  if (const auto reminder = Setting(L"Reminder")) {
    if (const auto mode = NumericValue(*reminder); mode && *mode >= 1 && *mode <= 3) {
      SelectMode(static_cast<int>(*mode));
    }
  }
  RestoreListLook();

  AutostartTip(0);
  const auto symbol = Setting(L"Symbol");
  const bool trayConfigured = !symbol || ReadsAsOne(*symbol);
  if (!trayConfigured) {
    // Without the icon the program cannot wait hidden for a reminder.
    EnableWindow(GetDlgItem(hwnd, IDC_OWECKER1), FALSE);
    EnableWindow(GetDlgItem(hwnd, IDC_OWECKER2), FALSE);
    SelectMode(3);
    ShowWindow(GetDlgItem(hwnd, IDC_BOPTIONEN), SW_SHOWNA);
  }

  helpAvailable_ = HelpFilesPresent();
  EnableMenuItem(menu_.get(), IDM_HILFE, MF_BYCOMMAND | (helpAvailable_ ? MF_ENABLED : MF_GRAYED));

  const bool due =
      StartupDueCheck(Category::Important, true) || StartupDueCheck(Category::Others, false);
  const bool tabRead = RestoreLastTab();

  if (!due && !tabRead) SelectTab(Category::Important);
  if (due || !s_.automaticStart) {
    if (!IsWindowVisible(hwnd) || IsIconic(hwnd)) ShowWindow(hwnd, SW_SHOWNORMAL);
  } else if (trayConfigured) {
    ShowWindow(hwnd, SW_HIDE);  // waits in the notification area
  } else {
    ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
  }
  MenuMarkieren();
  splash.reset();
  SetupControlTooltips(0);
}

void MainWindow::CreateControlsAndMenu() {
  HWND hwnd = Handle();
  dpi_ = win32::WindowDpi(hwnd);
  font_ = win32::MessageFont(dpi_);
  listFont_ = win32::PointFont(listFontName_.c_str(), listFontPoints_, dpi_);
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

  HMENU reminders = CreatePopupMenu();
  AppendMenuW(reminders, MF_STRING, IDM_ERINNERUNG1, L"Stündlich");
  AppendMenuW(reminders, MF_STRING, IDM_ERINNERUNG2, L"Relevante Meldungen ");
  AppendMenuW(reminders, MF_STRING, IDM_ERINNERUNG3, L"Nie erinnern");
  menu_.reset(CreatePopupMenu());
  HMENU menu = menu_.get();
  AppendMenuW(menu, MF_STRING, IDM_VISIBLE, L"Aufgaben anzeigen ");
  AppendMenuW(menu, MF_STRING, IDM_NEU, L"Einträge hinzufügen  ");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(reminders), L"Erinnerungen");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDM_OPTIONEN, L"Einstellungen ...");
  AppendMenuW(menu, MF_STRING, IDM_HILFE, L"Hilfethemen ");
  AppendMenuW(menu, MF_STRING, IDM_INFO, L"Info ...");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, IDM_BEENDEN, L"Beenden");

  // The notification area shows the small image of the program icon.
  trayIcon_.reset(static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VEMRA), IMAGE_ICON,
                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  tray_.CreateHost(trayIcon_.get(), [this](UINT mouse) { OnTrayMouse(mouse); });
}

void MainWindow::RegisterProgram() {
  SettingsStore& settings = s_.settings;
  constexpr auto user = SettingsRoot::kCurrentUser;
  if (!settings.KeyExists(user, kMakerKey)) settings.CreateKey(user, kMakerKey, L"1");
  if (!settings.KeyExists(user, kSettingsKey)) settings.CreateKey(user, kSettingsKey, L"1");
  WriteSetting(settings, L"InstallDir", Lowercase(s_.programFolder));
  // Without administrative rights this fails, and nothing needs it.
  constexpr auto machine = SettingsRoot::kLocalMachine;
  if (!settings.KeyExists(machine, kAppPathsKey)) settings.CreateKey(machine, kAppPathsKey, L"1");
  settings.SetValue(machine, kAppPathsKey, L"", s_.programFolder + L"\\Vemra.exe");
  settings.SetValue(machine, kAppPathsKey, L"Path", s_.programFolder);
}

void MainWindow::RestorePlacement() {
  HWND hwnd = Handle();
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  const auto twips = [this](long pixels) {
    return static_cast<long long>(PixelsToTwips(pixels, dpi_));
  };
  const auto stored = [this](std::wstring_view name) -> std::optional<long long> {
    const auto value = Setting(name);
    return value ? NumericValue(*value) : std::nullopt;
  };
  const TwipsPoint place =
      StartPlacement(stored(L"Left"), stored(L"Top"),
                     {twips(GetSystemMetrics(SM_CXSCREEN)), twips(GetSystemMetrics(SM_CYSCREEN))},
                     {twips(rect.right - rect.left), twips(rect.bottom - rect.top)});
  SetWindowPos(hwnd, nullptr, TwipsToPixels(static_cast<double>(place.left), dpi_),
               TwipsToPixels(static_cast<double>(place.top), dpi_), 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::RestoreListLook() {
  if (const auto name = Setting(L"FontName")) {
    if (std::wstring face = TextValue(*name); !face.empty()) listFontName_ = face;
  }
  if (const auto size = Setting(L"FontSize")) {
    if (const auto points = NumericValue(*size); points && *points > 0 && *points < 100) {
      listFontPoints_ = static_cast<int>(*points);
    }
  }
  listFont_ = win32::PointFont(listFontName_.c_str(), listFontPoints_, dpi_);
  SendMessageW(list_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(listFont_.get()), TRUE);
  const auto width = [this](std::wstring_view name, int column) {
    if (const auto value = Setting(name)) {
      if (const auto twips = NumericValue(*value); twips && *twips >= 0 && *twips < 100000) {
        list_.SetColumnWidthTwips(column, static_cast<double>(*twips), dpi_);
      }
    }
  };
  width(L"Tab_A", 0);
  width(L"Tab_B", 2);  // lasts until the next tab selection sets the view's width
}

bool MainWindow::StartupDueCheck(Category category, bool waitForSound) {
  SelectTab(category);
  const LocalTime now = s_.clock.Now();
  const auto& rows = list_.Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (IsDueAtStart(rows[i].task, category == Category::Important, now)) {
      StartupAlert(i, waitForSound);
      return true;
    }
  }
  return false;
}

void MainWindow::StartupAlert(size_t row, bool waitForSound) {
  list_.Select(row);
  PlayNotificationSound(s_.settings, s_.sound, L"KONTAKT",
                        waitForSound ? Play::kWait : Play::kAsync);
  BringToFront();
}

bool MainWindow::RestoreLastTab() {
  if (!SettingIsOne(L"Register")) return false;
  const auto stored = Setting(L"TabStrip");
  if (!stored) return false;
  const std::wstring text = TextValue(*stored);
  if (!text.empty() && text[0] >= L'1' && text[0] <= L'3') {
    SelectTab(static_cast<Category>(text[0] - L'0'));
  }
  return true;
}

// ---------------------------------------------------------------------------
// Closing and quitting

void MainWindow::bBeenden_Click() {
  HWND hwnd = Handle();
  MenuMarkieren();
  // The notice hides the window; the balloon still belongs to this close.
  const bool shownAtClose = IsWindowVisible(hwnd) || noticeShown_;
  if (!quitting_ && !noticeShown_ && IsWindowVisible(hwnd)) ShowClosingNotice();
  noticeShown_ = false;
  if (IsWindowVisible(hwnd)) tray_.Remove();
  StoreWindowState(!IsIconic(hwnd) && !IsZoomed(hwnd));

  if (IsWindowVisible(hwnd) && IsIconic(hwnd)) {
    AutostartTip(0);  // closed from the task bar while minimised
    return;
  }
  const int mode = ReminderMode();
  if (mode == 1 || mode == 2) {
    SetTimerInterval(kTimerStunde, mode == 1 ? 60000 : 0);
    SetTimerInterval(kTimerRelevantes, mode == 2 ? 30000 : 0);
    ShowWindow(hwnd, SW_MINIMIZE);
    if (shownAtClose) {
      AutostartTip(0);
      AutostartTip(1);
    }
    ShowWindow(hwnd, SW_HIDE);
    SelectTab(Category::All);  // the hidden list holds every open task
    return;
  }
  SetTimerInterval(kTimerStunde, 0);
  SetTimerInterval(kTimerRelevantes, 0);
  ShowWindow(hwnd, SW_MINIMIZE);
  ShowWindow(hwnd, SW_HIDE);
  if (SettingIsOne(L"Beenden")) {
    // Resident without a timer, and still to be reached through its icon.
    if (!tray_.Shown()) AutostartTip(0);
    return;
  }
  EndProgram();
}

bool MainWindow::ShowClosingNotice() {
  if (!DirektHilfen(s_.settings, kClosingNoticeId)) return false;
  ShowWindow(Handle(), SW_HIDE);
  ShowNotice(Handle(), s_.settings, kClosingNoticeId, kClosingNoticeHeading, kClosingNoticeText);
  noticeShown_ = true;
  win32::ProcessPendingMessages();
  return true;
}

void MainWindow::StoreWindowState(bool withPlacement) {
  if (withPlacement) {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    StoreText(L"Left", std::to_wstring(PixelsToTwips(rect.left, dpi_)));
    StoreText(L"Top", std::to_wstring(PixelsToTwips(rect.top, dpi_)));
    StoreText(L"Tab_A", std::to_wstring(list_.ColumnWidthTwips(0, dpi_)));
    StoreText(L"Tab_B", std::to_wstring(list_.ColumnWidthTwips(2, dpi_)));
  }
  const int mode = ReminderMode();
  StoreText(L"Reminder", mode ? std::to_wstring(mode) : std::wstring());
  StoreText(L"TabStrip", std::to_wstring(static_cast<int>(SelectedCategory())));
}

void MainWindow::mBeenden_Click() {
  quitting_ = true;
  bBeenden_Click();
  EndProgram();
}

void MainWindow::Form_QueryUnload() {
  HWND hwnd = Handle();
  if (IsWindowVisible(hwnd)) {
    // The close box: the notice once, then the close sequence decides.
    if (ShowClosingNotice()) {
      ShowWindow(hwnd, SW_SHOW);
      win32::ProcessPendingMessages();
    }
    bBeenden_Click();
    return;
  }
  bBeenden_Click();
  ReleaseControlTooltips();
  EndProgram();
}

void MainWindow::Form_EndSession() {
  // Windows is logging off or shutting down: keep the state and go.
  StoreWindowState(IsWindowVisible(Handle()) && !IsIconic(Handle()) && !IsZoomed(Handle()));
  EndProgram();
}

void MainWindow::EndProgram() {
  if (ended_) return;
  ended_ = true;
  tray_.Remove();
  SetTimerInterval(kTimerStunde, 0);
  SetTimerInterval(kTimerRelevantes, 0);
  DestroyWindow(Handle());
}

// ---------------------------------------------------------------------------
// Tabs and the list

void MainWindow::Layout() {
  HWND hwnd = Handle();
  const SIZE size =
      win32::WindowSizeForClient(TwipsToPixels(kClientWidth, dpi_),
                                 TwipsToPixels(kClientHeight, dpi_), kStyle, kExStyle, dpi_);
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
  CategoryLoad load = LoadCategory(s_.files.Data(), view);
  list_.SetRows(std::move(load.rows));
  UpdateEditButtons();
  ReportUnreadable(load.unreadable);
  if (IsWindowVisible(Handle())) SetFocus(list_.Handle());
}

void MainWindow::UpdateEditButtons() {
  HWND hwnd = Handle();
  const Category view = SelectedCategory();
  const auto selected = list_.Selected();
  const bool usable =
      selected && !list_.Rows()[*selected].task.date.empty() && view != Category::All;
  // Done tasks are not edited from the button (a double-click still does).
  EnableWindow(GetDlgItem(hwnd, IDC_BBEARBEITEN), usable && view != Category::Done);
  EnableWindow(GetDlgItem(hwnd, IDC_BLOESCHEN), usable);
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
    case 0: list_.SortBy(SortColumn::kDate); break;
    case 1: list_.SortBy(SortColumn::kTime); break;
    case 2: list_.SortBy(SortColumn::kDescription); break;
    default: break;  // the key column does not sort
  }
}

SaveResult MainWindow::WriteDatabase() {
  const Category category = SelectedCategory();
  std::vector<TaskRow> rows = list_.Rows();
  const SaveResult result = WriteCategory(s_.files, category, rows);
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
    case SaveResult::kRefused: text = Widen(kScrambleRefusedText); break;
    case SaveResult::kTooMany:
      text =
          L"Eine Kategorie kann höchstens 100 Aufgaben aufnehmen. "
          L"Die Änderung wurde nicht gespeichert. ";
      break;
    case SaveResult::kWriteFailed:
      text = L"Die Änderung wurde nicht gespeichert, weil die Datei\n" + s_.dataPath +
             L"\nnicht geschrieben werden konnte. Bitte prüfen Sie, ob der Ordner beschreibbar "
             L"ist und ob genug Speicherplatz frei ist. ";
      break;
    case SaveResult::kSaved: return;
  }
  MessageBoxW(Handle(), text.c_str(), Widen(kScrambleRefusedTitle).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

// ---------------------------------------------------------------------------
// The task commands

namespace {
constexpr wchar_t kMoveQuestion[] =
    L"Möchten Sie den Eintrag zu den erledigten Vorgängen verschieben ?   ";

const wchar_t* CategoryName(Category category) {
  switch (category) {
    case Category::Important: return L"Wichtiges";
    case Category::Others: return L"Sonstiges";
    case Category::Done: return L"Erledigtes";
    case Category::All: break;
  }
  return L"Alles";
}
}  // namespace

bool MainWindow::HasRoom(Category category, size_t tasks) {
  if (tasks < static_cast<size_t>(kMaxTasks)) return true;
  const std::wstring text = std::wstring(L"Die Kategorie \u201E") + CategoryName(category) +
                            L"\u201C enthält bereits 100 Aufgaben und kann keine weitere "
                            L"aufnehmen. Bitte erledigen oder löschen Sie zuerst eine Aufgabe. ";
  MessageBoxW(Handle(), text.c_str(), kMainWindowCaption, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void MainWindow::BHinzufuegen_Click() {
  if (SelectedCategory() == Category::All) SelectTab(Category::Important);
  const Category view = SelectedCategory();
  if (HasRoom(view, list_.Rows().size())) {
    const auto task = EditTask(Handle(), {kNewTaskCaption, view != Category::Others, std::nullopt},
                               {s_.settings, s_.sound, s_.clock});
    if (task) {
      list_.Add({*task, view, ""});
      WriteDatabase();
    }
  }
  UpdateEditButtons();
  if (IsWindowVisible(Handle())) SetFocus(list_.Handle());
}

void MainWindow::BBearbeiten_Click() {
  const auto selected = list_.Selected();
  if (!selected) return;
  const TaskRow row = list_.Rows()[*selected];
  if (row.task.date.empty()) return;
  const Category view = SelectedCategory();
  const auto task = EditTask(Handle(),
                             {kEditTaskCaption, view != Category::Others,
                              SplitForEditor(row.task.date, row.task.time, row.task.description)},
                             {s_.settings, s_.sound, s_.clock});
  if (task) {
    // The changed task is armed again; its flag is the one under its key.
    if (row.category == Category::Important && !row.key.empty()) {
      WriteReminderFlag(s_.files, row.key, 'A');
    }
    list_.Remove(*selected);
    list_.Add({*task, view, ""});
  }
  WriteDatabase();
  UpdateEditButtons();
  SetFocus(list_.Handle());
}

void MainWindow::BLoeschen_Click() {
  const auto selected = list_.Selected();
  if (selected && !list_.Rows()[*selected].task.description.empty()) {
    const std::wstring text = L"Möchten Sie den Eintrag ''" +
                              Widen(list_.Rows()[*selected].task.description) + L"'' löschen ? ";
    if (MessageBoxW(Handle(), text.c_str(), kMainWindowCaption, MB_YESNO | MB_ICONQUESTION) ==
        IDYES) {
      list_.Remove(*selected);
      list_.Select(0);
      WriteDatabase();
    }
  }
  UpdateEditButtons();
  SetFocus(list_.Handle());
}

void MainWindow::LDaten_DblClick() {
  if (SelectedCategory() == Category::All) {
    const auto selected = list_.Selected();
    if (!selected) return;
    const TaskRow row = list_.Rows()[*selected];
    SelectTab(row.category == Category::Important ? Category::Important : Category::Others);
    // The same task in its own category: by its key, date and description
    // (and time, for an important task), not by the description alone.
    const auto& rows = list_.Rows();
    std::optional<size_t> found;
    for (size_t i = 0; i < rows.size() && !found; ++i) {
      const Task& task = rows[i].task;
      if (rows[i].key == row.key && task.date == row.task.date &&
          task.description == row.task.description &&
          (row.category != Category::Important || task.time == row.task.time)) {
        found = i;
      }
    }
    if (!found) return;
    list_.Select(*found);
  }
  BBearbeiten_Click();
}

void MainWindow::LDaten_RightClick() {
  if (SelectedCategory() == Category::Done) return;
  if (MessageBoxW(Handle(), kMoveQuestion, L" Erledigter Vorgang", MB_YESNO | MB_ICONQUESTION) !=
      IDYES) {
    return;
  }
  const auto selected = list_.Selected();
  if (!selected) return;
  const TaskRow row = list_.Rows()[*selected];
  if (row.task.date.empty()) return;
  if (!HasRoom(Category::Done, LoadCategory(s_.files.Data(), Category::Done).rows.size())) return;
  // "Erledigtes" takes the task first, then its own category lets it go:
  // should a write fail, the task is never lost.
  SelectTab(Category::Done);
  list_.Add({row.task, Category::Done, ""});
  if (WriteDatabase() != SaveResult::kSaved) return;
  std::vector<TaskRow> rows = LoadCategory(s_.files.Data(), row.category).rows;
  for (auto at = rows.begin(); at != rows.end(); ++at) {
    if (at->key == row.key && at->task.date == row.task.date &&
        at->task.description == row.task.description) {
      rows.erase(at);
      const SaveResult result = WriteCategory(s_.files, row.category, rows);
      if (result != SaveResult::kSaved) ReportSaveFailure(result);
      break;
    }
  }
  UpdateEditButtons();
  win32::ProcessPendingMessages();
}

// ---------------------------------------------------------------------------
// Reminder modes and timers

int MainWindow::ReminderMode() const {
  for (int mode = 1; mode <= 3; ++mode) {
    if (IsDlgButtonChecked(Handle(), IDC_OWECKER1 + mode - 1) == BST_CHECKED) return mode;
  }
  return 0;
}

void MainWindow::SelectMode(int mode) {
  CheckRadioButton(Handle(), IDC_OWECKER1, IDC_OWECKER3, IDC_OWECKER1 + mode - 1);
  OWecker_Click();
}

void MainWindow::OWecker_Click() {
  MenuMarkieren();
}

void MainWindow::MenuMarkieren() {
  const int mode = ReminderMode();
  for (int i = 1; i <= 3; ++i) {
    CheckMenuItem(menu_.get(), IDM_ERINNERUNG1 + i - 1,
                  MF_BYCOMMAND | (i == mode ? MF_CHECKED : MF_UNCHECKED));
  }
}

void MainWindow::OptionMarkieren(int mode) {
  for (int i = 1; i <= 3; ++i) {
    CheckMenuItem(menu_.get(), IDM_ERINNERUNG1 + i - 1,
                  MF_BYCOMMAND | (i == mode ? MF_CHECKED : MF_UNCHECKED));
  }
  SelectMode(mode);
}

void MainWindow::mErinnerung_Click(int mode) {
  const int previous = ReminderMode();
  OptionMarkieren(mode);
  SetTimerInterval(kTimerStunde, mode == 1 ? 60000 : 0);
  SetTimerInterval(kTimerRelevantes, mode == 2 ? 60000 : 0);
  if (mode != 3 || SettingIsOne(L"Beenden")) return;
  const int answer =
      MessageBoxW(Handle(), kQuitQuestion, kMainWindowCaption, MB_YESNO | MB_ICONWARNING);
  if (answer == IDYES) {
    EndProgram();
  } else if (previous == 1 || previous == 2) {
    mErinnerung_Click(previous);
  }
  // "No" while the mode was "nie erinnern" already keeps it, without a timer,
  // instead of asking again until the user gives in and quits.
}

void MainWindow::SetTimerInterval(UINT_PTR timer, UINT interval) {
  UINT& current = timer == kTimerStunde ? stundeInterval_ : relevantesInterval_;
  current = interval;
  if (interval == 0) {
    KillTimer(Handle(), timer);
    return;
  }
  SetTimer(Handle(), timer, interval, nullptr);
  if (timer == kTimerStunde) hourly_.Arm(s_.clock.Now());
}

UINT MainWindow::TimerInterval(UINT_PTR timer) const {
  return timer == kTimerStunde ? stundeInterval_ : relevantesInterval_;
}

void MainWindow::TStunde_Timer() {
  if (!hourly_.Tick(s_.clock.Now())) return;
  if (list_.Rows().empty()) return;
  PlayNotificationSound(s_.settings, s_.sound, L"KONTAKT", Play::kAsync);
  BringToFront();
  SetTimerInterval(kTimerStunde, 0);
}

void MainWindow::TRelevantes_Timer() {
  const Category previous = SelectedCategory();
  if (list_.Rows().empty()) return;
  SelectTab(Category::Important);
  const LocalTime now = s_.clock.Now();
  const std::vector<TaskRow> rows = list_.Rows();
  // The flag belongs to the task's own key, whatever its row.
  const ReminderFlags flags = ReadReminderFlags(s_.files.Data());
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto flag = flags.find(rows[i].key);
    if (!IsDue(rows[i].task, flag != flags.end() ? flag->second : std::string(), now)) continue;
    PlayNotificationSound(s_.settings, s_.sound, L"KONTAKT", Play::kAsync);
    list_.Select(i);
    BringToFront();
    SetTimerInterval(kTimerRelevantes, 0);
    WriteReminderFlag(s_.files, rows[i].key, 'R');
    return;
  }
  SelectTab(previous);
}

void MainWindow::ShowNormalInFront() {
  // Topmost and at once not topmost again: in front of every normal window
  // without staying on top.
  HWND hwnd = Handle();
  ShowWindow(hwnd, SW_SHOWNORMAL);
  SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void MainWindow::BringToFront() {
  ShowNormalInFront();
  SetFocus(list_.Handle());
}

// ---------------------------------------------------------------------------
// The icon in the notification area

void MainWindow::AutostartTip(int mode) {
  if (mode == 0) {
    tray_.Add(kMainWindowCaption);
    return;
  }
  win32::WaitSeconds(1);
  win32::ProcessPendingMessages();
  tray_.ShowBalloon();
}

void MainWindow::OnTrayMouse(UINT mouseMessage) {
  if (mouseMessage == WM_RBUTTONDOWN) {
    if (authPending_) {
      ShowPasswordPrompt();
      authPending_ = false;
      return;
    }
    win32::ProcessPendingMessages();
    ShowTrayMenu();
  } else if (mouseMessage == WM_LBUTTONDOWN) {
    if (authPending_) {
      ShowPasswordPrompt();
      authPending_ = false;
    }
    mVisible_Click();
  }
}

void MainWindow::ShowTrayMenu() {
  POINT at{};
  GetCursorPos(&at);
  // The menu closes as it should only when its owner is in front.
  SetForegroundWindow(Handle());
  const UINT command =
      TrackPopupMenuEx(menu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, Handle(), nullptr);
  PostMessageW(Handle(), WM_NULL, 0, 0);
  if (command) SendMessageW(Handle(), WM_COMMAND, command, 0);
}

void MainWindow::mVisible_Click() {
  TabRestore();
  ShowWindowSequence();
}

void MainWindow::TabRestore() {
  RestoreLastTab();
}

void MainWindow::ShowWindowSequence() {
  HWND hwnd = Handle();
  SetForegroundWindow(hwnd);
  win32::ProcessPendingMessages();
  ShowNormalInFront();
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
  MessageBoxW(Handle(), kHelpMissingText, kMainWindowCaption, MB_OK | MB_ICONERROR);
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
    for (const TabSpec& tab : kTabs) {
      if (tab.accessKey == key) {
        SetFocus(GetDlgItem(hwnd, IDC_TABSTRIP));
        SelectTab(tab.category);
        return true;
      }
    }
    return false;
  }
  if (msg.message != WM_KEYDOWN) return false;
  if (msg.wParam == VK_RETURN && msg.hwnd == list_.Handle()) {
    bBeenden_Click();  // Enter in the list closes, as "Schließen" does
    return true;
  }
  if (msg.wParam == VK_F1) {
    if (const int topic = HelpTopicFor(msg.hwnd)) {
      CallHilfe(topic);
      return true;
    }
    return false;
  }
  const bool control = GetKeyState(VK_CONTROL) < 0;
  if (control && (msg.wParam == VK_TAB || msg.wParam == VK_NEXT || msg.wParam == VK_PRIOR)) {
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
  } else if (header.idFrom == IDC_LDATEN) {
    switch (header.code) {
      case LVN_COLUMNCLICK:
        LDaten_ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        break;
      case NM_DBLCLK: LDaten_DblClick(); break;
      case NM_RCLICK: LDaten_RightClick(); break;
      case LVN_ITEMCHANGED:
      case NM_SETFOCUS:
      case NM_KILLFOCUS: UpdateEditButtons(); break;
      default: break;
    }
  } else if (header.code == HDN_BEGINTRACKW || header.code == HDN_DIVIDERDBLCLICKW) {
    // A column the view hides stays hidden.
    return list_.ColumnIsHidden(reinterpret_cast<const NMHEADERW&>(header).iItem) ? TRUE : FALSE;
  }
  return 0;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_BBEENDEN: bBeenden_Click(); break;
        case IDC_OWECKER1:
        case IDC_OWECKER2:
        case IDC_OWECKER3:
          if (HIWORD(wParam) == BN_CLICKED) OWecker_Click();
          break;
        case IDC_BOPTIONEN: ShowOptions(); break;
        case IDC_BHINZUFUEGEN: BHinzufuegen_Click(); break;
        case IDC_BBEARBEITEN: BBearbeiten_Click(); break;
        case IDC_BLOESCHEN: BLoeschen_Click(); break;
        case IDM_VISIBLE: mVisible_Click(); break;
        case IDM_NEU: BHinzufuegen_Click(); break;
        case IDM_ERINNERUNG1: mErinnerung_Click(1); break;
        case IDM_ERINNERUNG2: mErinnerung_Click(2); break;
        case IDM_ERINNERUNG3: mErinnerung_Click(3); break;
        case IDM_OPTIONEN: ShowOptions(); break;
        case IDM_HILFE: mHilfe_Click(); break;
        case IDM_INFO: ShowAbout(); break;
        case IDM_BEENDEN: mBeenden_Click(); break;
        default: break;
      }
      return 0;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_TIMER:
      if (wParam == kTimerStunde) TStunde_Timer();
      if (wParam == kTimerRelevantes) TRelevantes_Timer();
      return 0;
    case WM_CLOSE: Form_QueryUnload(); return 0;
    case WM_QUERYENDSESSION: return TRUE;  // never hold up logging off
    case WM_ENDSESSION:
      if (wParam) Form_EndSession();
      return 0;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED && IsWindowVisible(Handle())) SetFocus(list_.Handle());
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // Labels, option buttons and the frame stand on the window's colour.
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DPICHANGED: {
      const UINT oldDpi = dpi_;
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      font_ = win32::MessageFont(dpi_);
      listFont_ = win32::PointFont(listFontName_.c_str(), listFontPoints_, dpi_);
      Layout();
      list_.Rescale(oldDpi, dpi_);
      return 0;
    }
    case WM_DESTROY:
      // Form_Unload: the icon never outlives the program.
      ReleaseControlTooltips();
      tray_.Remove();
      ended_ = true;
      if (s_.onEnd) s_.onEnd();
      return 0;
    default: return Window::HandleMessage(message, wParam, lParam);
  }
}

// ---------------------------------------------------------------------------
// Settings

std::optional<SettingValue> MainWindow::Setting(std::wstring_view name) {
  return ReadSetting(s_.settings, name);
}

bool MainWindow::SettingIsOne(std::wstring_view name) {
  const auto value = Setting(name);
  return value && ReadsAsOne(*value);
}

void MainWindow::StoreText(std::wstring_view name, const std::wstring& text) {
  WriteSetting(s_.settings, name, text);
}

}  // namespace ordalis
