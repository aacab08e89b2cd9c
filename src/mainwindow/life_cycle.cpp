#include "mainwindow/main_window.h"

#include <algorithm>
#include <string_view>

#include <wtsapi32.h>

#include "dialogs/help.h"
#include "dialogs/notice_dialog.h"
#include "session/placement.h"
#include "storage/program_folder.h"
#include "storage/text_case.h"
#include "mainwindow/startup_windows.h"
#include "reminders/due_rule.h"
#include "win32/controls.h"
#include "win32/dialog.h"
#include "win32/libraries.h"
#include "win32/dpi.h"
#include "win32/start_trace.h"
#include "win32/wait.h"

namespace ordalis {

using win32::PixelsToTwips;
using win32::TwipsToPixels;

namespace {

constexpr wchar_t kFolderTroubleCaption[] = L"Ordalis";
constexpr wchar_t kAppPathsKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vemra.exe";

}  // namespace

// ---------------------------------------------------------------------------
// Start-up

void MainWindow::Form_Load() {
  HWND hwnd = Handle();
  const auto asking = session_.gate.Ask();  // presses on the icon wait for the start-up's end
  CreateControlsAndMenu();
  win32::TraceStart("window, controls, menu");
  helpAvailable_ = HelpFilesPresent();
  EnableMenuItem(menu_.get(), IDM_HILFE, MF_BYCOMMAND | (helpAvailable_ ? MF_ENABLED : MF_GRAYED));
  // F1 in a dialog, the start's password prompt included, opens its topic as
  // F1 in the window does.
  win32::Dialog::SetHelpOpener([this](int topic) { CallHilfe(topic); });

  // A stored password locks the view from the first moment: asked now, or
  // after an automatic start when the window is reached for or a reminder
  // falls due. Until then the list holds no task.
  session_.lock.Engage(!session_.store.StoredPassword().empty());

  WarnAboutFolder();  // before the splash, which would stand over it
  win32::TraceStart("folder checked");
  std::unique_ptr<SplashWindow> splash;
  if (!SettingOn(Settings::Switch::kHideSplash)) {
    splash = std::make_unique<SplashWindow>();
    Pause(1);
  }
  EnsureSettingsKeys();
  win32::TraceStart("settings keys");

  if (!s_.automaticStart && !Unlock()) return;
  if (!s_.automaticStart) OfferRestore();
  win32::TraceStart("password, restore offer (file read)");
  // Changes other programs make to the data file show within moments: the
  // watch starts after the first paint, and what changed before is found then.
  SetTimer(hwnd, kTimerStartWatch, USER_TIMER_MINIMUM, nullptr);

  RestoreListLook();
  win32::TraceStart("placement, list look");

  if (s_.automaticStart) {
    AutostartTip(0);
  } else {
    // The shell takes its time over a new icon: the window the user
    // started shows first, and the icon comes right after its first paint.
    SetTimer(hwnd, kTimerStartIcon, USER_TIMER_MINIMUM, nullptr);
  }
  const bool trayConfigured = SettingOn(Settings::Switch::kTrayIcon);
  if (!trayConfigured) {
    // Without the icon the program cannot wait hidden for a reminder.
    EnableWindow(Item(IDC_OWECKER1), FALSE);
    EnableWindow(Item(IDC_OWECKER2), FALSE);
    SelectMode(Mode::kNever);
    ShowWindow(OptionsButton(), SW_SHOWNA);
  }

  const bool due = StartupDueCheck();
  win32::TraceStart("due check");
  if (session_.ended) return;  // the password was not given
  // A task found due stays in view: the last tab does not take its place.
  // A stored value that names no tab keeps the tab the due check looked at
  // last: the other tasks'.
  const bool tabRead = !due && RestoreLastTab(Category::Others);

  if (!due && !tabRead) SelectTab(Category::Important);
  // A reminder whose password was cancelled at a start with Windows leaves
  // the window where it was: in the notification area.
  if ((due && !session_.lock.Pending()) || !s_.automaticStart) {
    if (!IsWindowVisible(hwnd) || IsIconic(hwnd)) ShowWindow(hwnd, SW_SHOWNORMAL);
  } else if (trayConfigured) {
    // Waits in the notification area, and reminds from there as after a
    // close into it; otherwise an automatic start would never remind.
    ShowWindow(hwnd, SW_HIDE);
    if (const Mode mode = session_.schedule.Mode();
        mode == Mode::kHourly || mode == Mode::kRelevant) {
      ArmResidentTimers();
      SelectTab(Category::All);
    }
  } else {
    ShowWindow(hwnd, SW_SHOWMINNOACTIVE);
  }
  // "bei relevanten Meldungen" reminds with the window open too.
  if (session_.schedule.Mode() == Mode::kRelevant && !CheckRuns(kTimerRelevantes)) {
    SetReminderTimers(ChecksOf(Mode::kRelevant));
  }
  MenuMarkieren();
  FollowFile();
  splash.reset();
  win32::TraceStart("shown, tip and timers set", true);
}

void MainWindow::StartFolderWatch() {
  KillTimer(Handle(), kTimerStartWatch);
  const size_t slash = s_.dataPath.find_last_of(L"\\/");
  folderWatch_.Start(slash == std::wstring::npos ? s_.programFolder : s_.dataPath.substr(0, slash),
                     Handle(), kWmFolderChanged);
  CheckOutsideChange();
}

void MainWindow::RegisterWithSession() {
  // Back after an update restart as after a log-on, but not after a crash or
  // a hang, which could repeat.
  RegisterApplicationRestart(L"/a", RESTART_NO_CRASH | RESTART_NO_HANG);
  // The session's library only once the window is painted.
  using Register = BOOL(WINAPI*)(HWND, DWORD);
  if (const auto register_ = win32::Export<Register>(win32::SystemLibrary(L"wtsapi32.dll"),
                                                     "WTSRegisterSessionNotification")) {
    register_(Handle(), NOTIFY_FOR_THIS_SESSION);
  }
}

void MainWindow::EnsureSettingsKeys() {
  SettingsStore& settings = s_.settings;
  constexpr auto user = SettingsRoot::kCurrentUser;
  if (!settings.KeyExists(user, kMakerKey)) settings.CreateKey(user, kMakerKey, L"1");
  if (!settings.KeyExists(user, kSettingsKey)) settings.CreateKey(user, kSettingsKey, L"1");
}

void MainWindow::RegisterFolder() {
  SettingsStore& settings = s_.settings;
  session_.settings.StoreInstallFolder(Lowercase(s_.programFolder));
  // Without administrative rights this fails, and nothing needs it.
  constexpr auto machine = SettingsRoot::kLocalMachine;
  if (!settings.KeyExists(machine, kAppPathsKey)) settings.CreateKey(machine, kAppPathsKey, L"1");
  settings.SetValue(machine, kAppPathsKey, L"", s_.programFolder + L"\\Vemra.exe");
  settings.SetValue(machine, kAppPathsKey, L"Path", s_.programFolder);
}

void MainWindow::WarnAboutFolder() {
  std::wstring temporary = s_.temporaryFolder;
  if (temporary.empty()) {
    // The system may give the folder in its short form ("ADMINI~1"); only
    // then is the long form asked for, a look at each folder of the path.
    wchar_t path[MAX_PATH + 1] = {}, full[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, path);
    const bool shortForm = std::wstring_view(path, length).find(L'~') != std::wstring_view::npos;
    const DWORD longLength = shortForm ? GetLongPathNameW(path, full, MAX_PATH + 1) : 0;
    temporary = longLength && longLength <= MAX_PATH ? full : std::wstring(path, length);
  }
  // A file made and gone again, as the first change of the tasks will make
  // its own.
  const std::wstring probe = s_.programFolder + L"\\Ordalis-Schreibprobe.tmp";
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  const bool writable = file != INVALID_HANDLE_VALUE;
  if (writable) CloseHandle(file);
  const FolderTrouble trouble = CheckProgramFolder(s_.programFolder, temporary, writable);
  if (trouble == FolderTrouble::kNone) return;
  Ask(FolderTroubleText(trouble, s_.programFolder), kFolderTroubleCaption, MB_OK | MB_ICONWARNING);
}

POINT MainWindow::StartPoint(SIZE size, UINT dpi) {
  const auto twips = [dpi](long pixels) {
    return static_cast<long long>(PixelsToTwips(pixels, dpi));
  };
  SystemMonitors system;
  MonitorLayout& layout = s_.monitors ? *s_.monitors : system;
  const Settings& settings = session_.settings;
  const TwipsPoint place =
      StartPlacement(settings.Left(), settings.Top(), MonitorsInTwips(layout.Monitors(), dpi),
                     {twips(size.cx), twips(size.cy)});
  return {TwipsToPixels(static_cast<double>(place.left), dpi),
          TwipsToPixels(static_cast<double>(place.top), dpi)};
}

void MainWindow::RestoreListLook() {
  // A stored date width is kept up to half the list's width, so that the
  // time and the description stay in view. The first tab the start selects
  // sets the rest: the date and the time widen where the list's font needs
  // it, and the description takes what is left.
  RECT client{};
  GetClientRect(list_.Handle(), &client);
  const long long widest = PixelsToTwips(client.right, dpi_);
  if (const std::optional<long long> twips = session_.settings.DateWidth(); twips && *twips >= 0) {
    const CategoryList::Batch batch(list_);
    list_.SetColumnWidthTwips(SortColumn::kDate, static_cast<double>(std::min(*twips, widest / 2)),
                              dpi_);
  }
}

bool MainWindow::StartupDueCheck() {
  const LocalTime now = s_.clock.Now();
  // Important tasks as the schedule says (with "bei relevanten Meldungen"
  // also those missed while the PC was off): all together, the first one
  // selected, each flagged so that no later check reminds it again.
  // After an automatic start with the password pending the missed ones are
  // left to the first tick: the start never waits for the password for them.
  const std::optional<std::string> text = session_.store.ReadNow();
  if (!text) return false;
  const std::vector<TaskRow> due = session_.schedule.DueAtStart(
      ReminderTasksOf(*text), now, !(s_.automaticStart && session_.lock.Pending()));
  if (!due.empty()) {
    if (Remind(due, Play::kWait, !s_.automaticStart)) FlagReminded(due);
    return true;
  }
  // Other tasks of today carry no time and no flag. Decided from the file:
  // while the password is pending the list is empty. Their tab is selected
  // only for a task found due; otherwise the list is filled once, for the
  // tab the start ends on.
  for (const TaskRow& row : LoadCategoryText(*text, Category::Others).rows) {
    if (IsDueAtStart(row.task, false, now)) {
      SelectTab(Category::Others);
      Remind({row}, Play::kAsync, !s_.automaticStart);
      return true;
    }
  }
  return false;
}

bool MainWindow::RestoreLastTab(std::optional<Category> otherwise) {
  const Settings& settings = session_.settings;
  if (!settings.On(Settings::Switch::kKeepTab) || !settings.TabStored()) return false;
  if (const auto tab = settings.Tab()) {
    SelectTab(*tab);
  } else if (otherwise) {
    SelectTab(*otherwise);
  }
  return true;
}

// ---------------------------------------------------------------------------
// Closing and quitting

void MainWindow::bBeenden_Click() {
  const auto asking = session_.gate.Ask();  // a reminder due meanwhile follows the close
  CloseSequence();
}

void MainWindow::CloseSequence(bool quitting, bool noticeShown) {
  HWND hwnd = Handle();
  KillTimer(hwnd, kTimerStartIcon);  // what the close does with the icon holds
  MenuMarkieren();
  // The notice hides the window; the balloon still belongs to this close.
  const bool shownAtClose = IsWindowVisible(hwnd) || noticeShown;
  if (!quitting && !noticeShown && IsWindowVisible(hwnd)) ShowClosingNotice();
  if (IsWindowVisible(hwnd)) tray_.Remove();
  StoreWindowState(!IsIconic(hwnd) && !IsZoomed(hwnd));

  if (IsWindowVisible(hwnd) && IsIconic(hwnd)) {
    AutostartTip(0);  // closed from the task bar while minimised
    return;
  }
  const Mode mode = session_.schedule.Mode();
  if (mode == Mode::kHourly || mode == Mode::kRelevant) {
    ArmResidentTimers();
    ShowWindow(hwnd, SW_MINIMIZE);
    if (shownAtClose) {
      AutostartTip(0);
      AutostartTip(1);
    }
    ShowWindow(hwnd, SW_HIDE);
    SelectTab(Category::All);  // the hidden list holds every open task
    return;
  }
  SetReminderTimers({});
  ShowWindow(hwnd, SW_MINIMIZE);
  ShowWindow(hwnd, SW_HIDE);
  if (SettingOn(Settings::Switch::kKeepRunning)) {
    // Resident without a timer, and still to be reached through its icon.
    if (!tray_.Shown()) AutostartTip(0);
    return;
  }
  EndProgram();
}

bool MainWindow::ShowClosingNotice() {
  if (!DirektHilfen(s_.settings, kClosingNoticeId)) return false;
  const auto asking = session_.gate.Ask();
  ShowWindow(Handle(), SW_HIDE);
  ShowNotice(Handle(), s_.settings, kClosingNoticeId, kClosingNoticeHeading, kClosingNoticeText);
  win32::ProcessPendingMessages();
  return true;
}

void MainWindow::StoreWindowState(bool withPlacement) {
  Settings::WindowState state;
  state.reminder = ReminderModeFromNumber(static_cast<int>(session_.schedule.Mode()));
  state.tab = SelectedCategory();
  if (withPlacement) {
    RECT rect{};
    GetWindowRect(Handle(), &rect);
    state.place = TwipsPoint{PixelsToTwips(rect.left, dpi_), PixelsToTwips(rect.top, dpi_)};
    state.dateWidth = list_.ColumnWidthTwips(SortColumn::kDate, dpi_);
    state.descriptionWidth = list_.ColumnWidthTwips(SortColumn::kDescription, dpi_);
  }
  session_.settings.Store(state);
}

void MainWindow::mBeenden_Click() {
  {
    const auto asking = session_.gate.Ask();
    CloseSequence(true);
  }
  EndProgram();
}

LRESULT MainWindow::QuitOnRequest() {
  // Never under a dialog or a message box: what the user is typing or asked
  // stays, and no rewrite is cut short. The sender asks again or tells the
  // user to end the program.
  if (Busy() || session_.ended) return 0;
  mBeenden_Click();
  return 1;
}

void MainWindow::Form_QueryUnload() {
  HWND hwnd = Handle();
  if (IsWindowVisible(hwnd)) {
    // The close box: the notice once, then the close sequence decides.
    const bool noticeShown = ShowClosingNotice();
    if (noticeShown) {
      ShowWindow(hwnd, SW_SHOW);
      win32::ProcessPendingMessages();
    }
    const auto asking = session_.gate.Ask();
    CloseSequence(false, noticeShown);
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
  if (session_.ended) return;
  session_.ended = true;
  KillTimer(Handle(), kTimerStartIcon);
  tray_.Remove();
  SetReminderTimers({});
  DestroyWindow(Handle());
}

}  // namespace ordalis
