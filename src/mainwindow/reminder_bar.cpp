// The reminder bar and "Später erinnern": the answers to a reminder from the
// bar, the list's menu and the icon's menu, and the icon's tip. What is due,
// when a snooze ends and what the bar says the schedule decides
// (reminders/snooze); the window shows it and stores the user's answer.
#include <algorithm>

#include "mainwindow/main_window.h"
#include "win32/dpi.h"
#include "win32/text.h"
#include "win32/user_date.h"

namespace ordalis {

namespace {
constexpr int kBarGap = 60;  // twips between the tabs, the bar and the list
constexpr UINT kDueAgainMilliseconds = 30000;

UINT MillisecondsUntil(long long minute, const LocalTime& now) {
  return ::ordalis::MillisecondsUntil(minute, now, kLongestWaitMinutes);
}
}  // namespace

void MainWindow::UpdateBar() {
  HWND hwnd = Handle();
  const std::optional<ReminderBar>& bar = session_.schedule.Bar();
  // Nothing of a task shows while the password is pending.
  const bool shown = bar && !session_.lock.Pending();
  if (shown) {
    CreateBar();
    SetWindowTextW(Item(IDC_BAR_TEXT), win32::Widen(bar->text).c_str());
  }
  const int mode = shown ? SW_SHOWNA : SW_HIDE;
  for (const int id : {IDC_BAR_TEXT, IDC_BAR_LATER, IDC_BAR_CLOSE}) {
    ShowWindow(Item(id), mode);
  }
  ShowWindow(Item(IDC_BAR_DONE), shown && !bar->Hour() ? SW_SHOWNA : SW_HIDE);
  // A bar that goes takes the keyboard along to the list.
  if (!shown && GetFocus() && GetParent(GetFocus()) == hwnd &&
      GetDlgCtrlID(GetFocus()) >= IDC_BAR_TEXT && GetDlgCtrlID(GetFocus()) <= IDC_BAR_CLOSE) {
    SetFocus(list_.Handle());
  }
  PlaceBar();
}

void MainWindow::PlaceBar() {
  HWND hwnd = Handle();
  RECT tabs{}, list{}, text{};
  GetWindowRect(Item(IDC_TABSTRIP), &tabs);
  GetWindowRect(list_.Handle(), &list);
  GetWindowRect(Item(IDC_BAR_TEXT), &text);
  for (RECT* rect : {&tabs, &list, &text}) {
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(rect), 2);
  }
  const int gap = win32::TwipsToPixels(kBarGap, dpi_);
  const int barTop = tabs.bottom + gap;
  for (const int id : {IDC_BAR_TEXT, IDC_BAR_DONE, IDC_BAR_LATER, IDC_BAR_CLOSE}) {
    HWND control = Item(id);
    if (!control) continue;  // made when the bar first shows
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, rect.left, barTop, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  const int top = BarShown() ? barTop + (text.bottom - text.top) + gap : tabs.bottom;
  if (top != list.top) {
    SetWindowPos(list_.Handle(), nullptr, list.left, top, list.right - list.left, list.bottom - top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindow::BarDone() {
  const std::optional<ReminderBar> bar = session_.schedule.Bar();
  if (!bar || bar->Hour() || !Unlock()) return;
  session_.schedule.CloseBar();
  UpdateBar();
  const std::optional<CategoryLoad> done = session_.store.Load(Category::Done);
  if (done && !HasRoom(Category::Done, done->rows.size() + bar->tasks.size() - 1)) return;
  // Exactly the tasks the bar named, as they were then: one another
  // program changed or removed since stays where it is.
  SaveResult failure = SaveResult::kSaved;
  for (const TaskRow& row : bar->tasks) {
    const SaveResult result = session_.store.MoveToDone(row, s_.clock.Now());
    if (result != SaveResult::kSaved && failure == SaveResult::kSaved) failure = result;
  }
  ReloadView();  // follows the file with the icon's tip and the snooze's timer
  if (failure != SaveResult::kSaved) ReportSaveFailure(failure);
}

void MainWindow::BarLater() {
  const std::optional<ReminderBar> bar = session_.schedule.Bar();
  if (!bar) return;
  if (bar->Hour()) {  // the next full hour passes without its reminder
    session_.schedule.SkipNextHour(s_.clock.Now());
    BarClose();
    return;
  }
  RECT button{};
  GetWindowRect(Item(IDC_BAR_LATER), &button);
  const std::optional<SnoozeChoice> choice = ChooseSnooze({button.left, button.bottom});
  // The bar acts on what it showed, also when another reminder came while
  // the menu was open.
  if (choice) SnoozeTasks(bar->tasks, *choice);
}

void MainWindow::BarClose() {
  session_.schedule.CloseBar();
  UpdateBar();
}

void MainWindow::SnoozeTasks(const std::vector<TaskRow>& rows, SnoozeChoice choice) {
  session_.settings.StoreSnoozeChoice(static_cast<int>(choice));
  const LocalTime now = s_.clock.Now();
  session_.schedule.CloseBar();
  UpdateBar();
  if (rows.empty()) return;
  const SaveResult result = session_.store.Snooze(rows, SnoozeUntil(choice, now));
  if (result == SaveResult::kSaved) session_.schedule.Snoozed(rows);
  FollowFile();
  if (result != SaveResult::kSaved && result != SaveResult::kChangedOutside) {
    ReportSaveFailure(result);
  }
}

win32::UniqueMenu MainWindow::SnoozeMenu() const {
  win32::UniqueMenu menu(CreatePopupMenu());
  for (int i = 0; i < kSnoozeChoices; ++i) {
    AppendMenuW(menu.get(), MF_STRING, IDM_SNOOZE + i,
                win32::Widen(SnoozeChoiceText(static_cast<SnoozeChoice>(i))).c_str());
  }
  SetMenuDefaultItem(menu.get(), IDM_SNOOZE + session_.settings.SnoozeChoiceNumber(), FALSE);
  return menu;
}

std::optional<SnoozeChoice> MainWindow::ChooseSnooze(POINT at) {
  const win32::UniqueMenu menu = SnoozeMenu();
  const int command = static_cast<int>(
      TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, Handle(), nullptr));
  return command ? SnoozeChoiceFromNumber(command - IDM_SNOOZE) : std::nullopt;
}

std::vector<TaskRow> MainWindow::SnoozableReminded() {
  const std::optional<std::string> text = session_.store.ReadNow();
  if (!text || session_.lock.Pending()) return {};
  const ReminderTasks tasks = ReminderTasksOf(*text);
  const LocalTime now = s_.clock.Now();
  std::vector<TaskRow> rows;
  for (const TaskRow& row : tasks.important) {
    if (session_.schedule.WasReminded(row) &&
        ReminderSchedule::Snoozable(row, tasks.snoozes, now)) {
      rows.push_back(row);
    }
  }
  return rows;
}

void MainWindow::FollowFile() {
  if (session_.ended) return;
  const std::optional<std::string> text = session_.store.ReadNow();
  if (!text) return;
  const ReminderTasks tasks = ReminderTasksOf(*text);
  const LocalTime now = s_.clock.Now();
  tray_.SetTip(win32::Widen(TrayTip(tasks.important, now, session_.lock.Pending())));
  SetTimer(Handle(), kTimerTip, MillisecondsUntil(TipChangesAt(tasks.important, now), now),
           nullptr);
  // One timer for the next snooze, in the modes that remind, and one for
  // the next task the due check will find: each waits for its minute.
  const Mode mode = session_.schedule.Mode();
  const bool reminding = mode == Mode::kHourly || mode == Mode::kRelevant;
  const std::optional<long long> snooze =
      reminding ? session_.schedule.NextSnooze(tasks, now) : std::nullopt;
  const std::optional<long long> due =
      session_.schedule.Checks().due ? session_.schedule.NextDue(tasks, now) : std::nullopt;
  for (const auto& [timer, at] : {std::pair{kTimerSnooze, snooze}, {kTimerRelevantes, due}}) {
    if (!at) {
      KillTimer(Handle(), timer);
    } else if (timer == kTimerRelevantes && *at <= MinuteNumber(now)) {
      // A task due already and not reminded (stored a moment ago, or held
      // back by a question or a full-screen program) is looked at again in
      // half a minute, as the due check always did.
      SetTimer(Handle(), timer, kDueAgainMilliseconds, nullptr);
    } else {
      SetTimer(Handle(), timer, MillisecondsUntil(*at, now), nullptr);
    }
  }
}

}  // namespace ordalis
