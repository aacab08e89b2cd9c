// The main window's reminder modes and timers. What is due is decided by the
// schedule from the task file (reminders/reminder_schedule); the window only
// raises it, and never while the user is asked something or runs a
// full-screen program: a check then waits and runs when that ends. A
// reminder never takes the keyboard from another program.
#include "mainwindow/main_window.h"
#include "win32/text.h"
#include "win32/window.h"

namespace ordalis {

namespace {
constexpr wchar_t kQuitQuestion[] =
    L"Mit dieser Option verlassen Sie das Programm. \nMöchten Sie wirklich fortfahren ?";
// While a full-screen program runs, this often the program looks whether it
// has ended.
constexpr UINT kOccupiedLook = 5000;  // ms
}  // namespace

void MainWindow::SelectMode(Mode mode) {
  schedule_.SetMode(mode);
  const int index = static_cast<int>(mode);
  CheckRadioButton(Handle(), IDC_OWECKER1, IDC_OWECKER3,
                   index >= 1 && index <= 3 ? IDC_OWECKER1 + index - 1 : 0);
  MenuMarkieren();
}

void MainWindow::OWecker_Click(Mode mode) {
  schedule_.SetMode(mode);
  MenuMarkieren();
}

void MainWindow::MenuMarkieren() {
  const int mode = static_cast<int>(schedule_.Mode());
  for (int i = 1; i <= 3; ++i) {
    CheckMenuItem(menu_.get(), IDM_ERINNERUNG1 + i - 1,
                  MF_BYCOMMAND | (i == mode ? MF_CHECKED : MF_UNCHECKED));
  }
}

void MainWindow::OptionMarkieren(Mode mode) {
  SelectMode(mode);
}

void MainWindow::mErinnerung_Click(int index) {
  const std::optional<Mode> chosen = ReminderModeFromNumber(index);
  if (!chosen) return;
  const Mode previous = schedule_.Mode();
  OptionMarkieren(*chosen);
  const ReminderIntervals intervals = MenuIntervals(*chosen);
  SetTimerInterval(kTimerStunde, intervals.stunde);
  SetTimerInterval(kTimerRelevantes, intervals.relevantes);
  if (*chosen != Mode::kNever || SettingIsOne(L"Beenden")) return;
  const int answer = Ask(kQuitQuestion, kMainWindowCaption, MB_YESNO | MB_ICONWARNING);
  if (answer == IDYES) {
    EndProgram();
  } else if (previous == Mode::kHourly || previous == Mode::kRelevant) {
    mErinnerung_Click(static_cast<int>(previous));
  }
  // "No" while the mode was "nie erinnern" already keeps it, without a timer,
  // instead of asking again until the user gives in and quits.
}

void MainWindow::SetTimerInterval(UINT_PTR timer, UINT interval) {
  UINT& current = timer == kTimerStunde ? stundeInterval_ : relevantesInterval_;
  current = interval;
  if (interval == 0) {
    KillTimer(Handle(), timer);
    // A stopped timer has nothing left to raise.
    (timer == kTimerStunde ? stundeWaiting_ : relevantesWaiting_) = false;
    return;
  }
  SetTimer(Handle(), timer, interval, nullptr);
  if (timer == kTimerStunde) schedule_.ArmHourly(s_.clock.Now());
}

UINT MainWindow::TimerInterval(UINT_PTR timer) const {
  return timer == kTimerStunde ? stundeInterval_ : relevantesInterval_;
}

void MainWindow::ArmResidentTimers() {
  const ReminderIntervals intervals = ResidentIntervals(schedule_.Mode());
  SetTimerInterval(kTimerStunde, intervals.stunde);
  SetTimerInterval(kTimerRelevantes, intervals.relevantes);
}

void MainWindow::CheckRemindersNow() {
  if (ended_) return;
  TStunde_Timer();
  TRelevantes_Timer();
}

bool MainWindow::HoldReminder() {
  if (Busy()) return true;  // given when the user has answered
  UserAttention& attention = s_.attention ? *s_.attention : systemAttention_;
  if (!attention.Occupied()) {
    KillTimer(Handle(), kTimerOccupied);
    return false;
  }
  SetTimer(Handle(), kTimerOccupied, kOccupiedLook, nullptr);
  return true;
}

void MainWindow::TStunde_Timer() {
  if (stundeInterval_ == 0) return;
  // The full hour is owed from its first check on, also when the program is
  // busy then: it is raised as soon as the user is no longer asked.
  if (schedule_.HourDue(s_.clock.Now())) stundeWaiting_ = true;
  if (!stundeWaiting_ || HoldReminder()) return;
  stundeWaiting_ = false;
  if (!AnyOpenTask(s_.files.Data())) return;
  if (!Remind({}, Play::kAsync)) return;
  SetTimerInterval(kTimerStunde, 0);
}

void MainWindow::TRelevantes_Timer() {
  if (relevantesInterval_ == 0) return;
  relevantesWaiting_ = Busy();
  if (relevantesWaiting_) return;
  // Read at this moment: a check held back by a dialog past midnight still
  // finds yesterday's task.
  const std::vector<TaskRow> due = ReminderSchedule::DueTasks(s_.files.Data(), s_.clock.Now());
  if (due.empty()) return;
  // Windows is asked about full-screen programs only when there is
  // something to remind of, not at every tick.
  relevantesWaiting_ = HoldReminder();
  if (relevantesWaiting_) return;
  // One reminder for all tasks due: "Wichtiges" with the first selected.
  if (!Remind(due, Play::kAsync)) return;
  SetTimerInterval(kTimerRelevantes, 0);
  store_.SetReminderFlags(due, 'R');
}

bool MainWindow::Remind(const std::vector<TaskRow>& due, Play play, bool byTheUser) {
  // Asked before anything shows: the user may be typing into another
  // program, and what they type stays there.
  const bool quietly = !byTheUser && win32::KeyboardElsewhere();
  PlayNotificationSound(s_.settings, s_.sound, L"KONTAKT", play);
  tray_.ShowNotice(win32::Widen(ReminderNotice(due, authPending_)));
  remindedTask_ = due.empty() ? std::nullopt : std::optional<TaskRow>(due.front());
  // The sound and the notification tell; the tasks stay unseen until the
  // password is given.
  if (!Unlock(true, quietly)) return false;
  quiet_ = quietly;
  if (remindedTask_) SelectTask(*remindedTask_);
  BringToFront(quietly);
  quiet_ = false;
  return true;
}

void MainWindow::ShowRemindedTask() {
  if (remindedTask_) SelectTask(*remindedTask_);
  ShowWindowSequence();
  SetFocus(list_.Handle());
}

}  // namespace ordalis
