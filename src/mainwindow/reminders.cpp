// The main window's reminder modes and timers, and the reminders carried
// out. What is due, and whether it waits for the user or a full-screen
// program, the schedule decides (reminders/reminder_schedule); the window
// raises what it says. A reminder never takes the keyboard from another
// program.
#include "mainwindow/main_window.h"
#include "win32/text.h"
#include "win32/user_date.h"
#include "win32/window.h"

namespace ordalis {

namespace {
constexpr wchar_t kQuitQuestion[] =
    L"Mit dieser Option beenden Sie Ordalis.\nMöchten Sie wirklich fortfahren?";
// While a full-screen program runs, this often the program looks whether it
// has ended.
constexpr UINT kOccupiedLook = 5000;  // ms
}  // namespace

void MainWindow::SelectMode(Mode mode) {
  session_.schedule.SetMode(mode);
  // Each option is told its mark (and so whether it is the group's tab
  // stop), the chosen one last; without a mode none is marked.
  // CheckRadioButton would look through every control of the window and
  // their children for the three.
  const auto index = static_cast<size_t>(mode);
  const int chosen = index >= 1 && index <= kModeOptions.size() ? kModeOptions[index - 1] : 0;
  for (const int id : kModeOptions) {
    if (id != chosen) SendMessageW(Item(id), BM_SETCHECK, BST_UNCHECKED, 0);
  }
  if (chosen) SendMessageW(Item(chosen), BM_SETCHECK, BST_CHECKED, 0);
  MenuMarkieren();
}

void MainWindow::OWecker_Click(Mode mode) {
  session_.schedule.SetMode(mode);
  MenuMarkieren();
  // Chosen with the window open, the mode works as when chosen from the
  // icon's menu: "bei relevanten Meldungen" reminds with the window open.
  SetReminderTimers(ChecksOf(mode));
}

void MainWindow::MenuMarkieren() {
  const int mode = static_cast<int>(session_.schedule.Mode());
  CheckMenuRadioItem(menu_.get(), IDM_ERINNERUNG1, IDM_ERINNERUNG3, IDM_ERINNERUNG1 + mode - 1,
                     MF_BYCOMMAND);
}

void MainWindow::mErinnerung_Click(int index) {
  const std::optional<Mode> chosen = ReminderModeFromNumber(index);
  if (!chosen) return;
  const Mode previous = session_.schedule.Mode();
  SelectMode(*chosen);
  SetReminderTimers(ChecksOf(*chosen));
  if (*chosen != Mode::kNever || SettingOn(Settings::Switch::kKeepRunning)) return;
  const int answer = Ask(kQuitQuestion, kMainWindowCaption, MB_YESNO | MB_ICONWARNING);
  if (answer == IDYES) {
    EndProgram();
  } else if (previous == Mode::kHourly || previous == Mode::kRelevant) {
    mErinnerung_Click(static_cast<int>(previous));
  }
  // "No" while the mode was "nie erinnern" already keeps it, without a timer,
  // instead of asking again until the user gives in and quits.
}

void MainWindow::SetReminderTimers(ReminderChecks checks) {
  session_.schedule.SetChecks(checks, s_.clock.Now());
  ArmHourTimer();
  FollowFile();  // the due check's timer and the snooze's follow the file
}

void MainWindow::ArmHourTimer() {
  if (!session_.schedule.Checks().hourly) {
    KillTimer(Handle(), kTimerStunde);
    return;
  }
  const LocalTime now = s_.clock.Now();
  const long long nextHour = MinuteNumber(now) - now.minute + 60;
  SetTimer(Handle(), kTimerStunde, MillisecondsUntil(nextHour, now, kLongestWaitMinutes), nullptr);
}

bool MainWindow::CheckRuns(UINT_PTR timer) const {
  const ReminderChecks checks = session_.schedule.Checks();
  return timer == kTimerStunde ? checks.hourly : checks.due;
}

void MainWindow::ArmResidentTimers() {
  SetReminderTimers(ChecksOf(session_.schedule.Mode()));
}

void MainWindow::CheckRemindersNow() {
  if (session_.ended) return;
  RemindIfDue(ReminderCheck::kHour);
  ArmHourTimer();  // for the next full hour, unless the reminder stopped it
  RemindIfDue(ReminderCheck::kDue);
  RemindIfDue(ReminderCheck::kSnooze);
  FollowFile();  // once for the three
}

void MainWindow::TStunde_Timer() {
  RunCheck(ReminderCheck::kHour);
  ArmHourTimer();  // for the next full hour, unless the reminder stopped it
}

void MainWindow::TRelevantes_Timer() {
  RunCheck(ReminderCheck::kDue);
}

void MainWindow::RunCheck(ReminderCheck check) {
  RemindIfDue(check);
  FollowFile();  // the timers wait for what comes next
}

void MainWindow::RemindIfDue(ReminderCheck check) {
  UserAttention& attention = s_.attention ? *s_.attention : systemAttention_;
  const ReminderAnswer answer = session_.schedule.Tick(
      check, s_.clock.Now(), session_.gate, attention, [this]() -> std::optional<ReminderTasks> {
        const std::optional<std::string> text = session_.store.ReadNow();
        if (!text) return std::nullopt;
        return ReminderTasksOf(*text);
      });
  using Action = ReminderAnswer::Action;
  if (answer.action == Action::kWaitForScreen) {
    SetTimer(Handle(), kTimerOccupied, kOccupiedLook, nullptr);
    return;
  }
  if (answer.action != Action::kRemind) return;
  // One reminder for all tasks due: "Wichtiges" with the first selected.
  if (!Remind(answer.due, Play::kAsync)) return;
  if (check == ReminderCheck::kHour) {
    // The window stays in front with it; the next full hour counts from
    // the next close.
    session_.schedule.HourShown();
    KillTimer(Handle(), kTimerStunde);
  }
  // The due check goes on whatever the window does: each task rings once,
  // by its flag, and a snooze once.
  if (!answer.due.empty()) FlagReminded(answer.due);
}

void MainWindow::FlagReminded(const std::vector<TaskRow>& due) {
  const SaveResult result = session_.store.SetReminderFlags(due, 'R');
  // A task another program changed meanwhile is no longer the one reminded.
  if (result == SaveResult::kSaved || result == SaveResult::kChangedOutside) return;
  session_.schedule.KeepFlagged(due);
  session_.notices.FlagNotStored(result);
  TellWaitingIfSeen();
}

bool MainWindow::Remind(const std::vector<TaskRow>& due, Play play, bool byTheUser) {
  // Asked before anything shows: the user may be typing into another
  // program, and what they type stays there.
  const bool quietly = !byTheUser && win32::KeyboardElsewhere();
  PlayNotificationSound(session_.settings, s_.sound, L"KONTAKT", play);
  tray_.ShowNotice(win32::Widen(ReminderNotice(due, session_.lock.Pending(), win32::UserDate)));
  session_.schedule.NoteReminded(due);
  // The bar waits behind the password, as the tasks do.
  session_.schedule.ShowBar(BarFor(due, win32::UserDate));
  InvalidateRect(list_.Handle(), nullptr, FALSE);
  // The sound and the notification tell; the tasks stay unseen until the
  // password is given.
  bool cancelled = false;
  if (!Unlock(true, quietly, &cancelled)) {
    if (cancelled) {
      session_.schedule.WaitForWindow();
      if (!due.empty()) FlagReminded(due);
    }
    return false;
  }
  if (const auto reminded = session_.schedule.RemindedTask()) SelectTask(*reminded);
  UpdateBar();
  BringToFront(quietly);
  return true;
}

LRESULT MainWindow::LDaten_CustomDraw(NMLVCUSTOMDRAW& draw) {
  // A reminded task's description in bold: the date and time columns keep
  // the width their text needs in the list's font. A series' sign is drawn
  // by the list.
  const std::vector<TaskRow>& rows = list_.Rows();
  const size_t item = draw.nmcd.dwItemSpec;
  const bool marked =
      item < rows.size() && remindedFont_ && session_.schedule.WasReminded(rows[item]);
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYSUBITEMDRAW;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
      if (marked) {
        SelectObject(draw.nmcd.hdc, draw.iSubItem == list_.DescriptionColumn() ? remindedFont_.get()
                                                                               : listFont_.get());
      }
      if (list_.DrawMarkCell(draw)) return CDRF_SKIPDEFAULT;
      return marked ? CDRF_NEWFONT : CDRF_DODEFAULT;
    default: return CDRF_DODEFAULT;
  }
}

void MainWindow::ShowRemindedTask() {
  if (const auto reminded = session_.schedule.RemindedTask()) SelectTask(*reminded);
  UpdateBar();
  ShowWindowSequence();
  SetFocus(list_.Handle());
}

}  // namespace ordalis
