// The main window's reminder modes and timers. What is due is decided from
// the task file (reminders/reminder_check); the window only raises it, and
// never while the user is asked something: a tick then waits and runs when
// the last dialog closes.
#include "mainwindow/main_window.h"
#include "reminders/reminder_check.h"

namespace ordalis {

namespace {
constexpr wchar_t kQuitQuestion[] =
    L"Mit dieser Option verlassen Sie das Programm. \nMöchten Sie wirklich fortfahren ?";
}  // namespace

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
  const ReminderIntervals intervals = MenuIntervals(mode);
  SetTimerInterval(kTimerStunde, intervals.stunde);
  SetTimerInterval(kTimerRelevantes, intervals.relevantes);
  if (mode != 3 || SettingIsOne(L"Beenden")) return;
  const int answer = Ask(kQuitQuestion, kMainWindowCaption, MB_YESNO | MB_ICONWARNING);
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
    // A stopped timer has nothing left to raise.
    (timer == kTimerStunde ? stundeWaiting_ : relevantesWaiting_) = false;
    return;
  }
  SetTimer(Handle(), timer, interval, nullptr);
  if (timer == kTimerStunde) hourly_.Arm(s_.clock.Now());
}

UINT MainWindow::TimerInterval(UINT_PTR timer) const {
  return timer == kTimerStunde ? stundeInterval_ : relevantesInterval_;
}

void MainWindow::ArmResidentTimers() {
  const ReminderIntervals intervals = ResidentIntervals(ReminderMode());
  SetTimerInterval(kTimerStunde, intervals.stunde);
  SetTimerInterval(kTimerRelevantes, intervals.relevantes);
}

void MainWindow::TStunde_Timer() {
  if (stundeInterval_ == 0) return;
  // The full hour is owed from its first tick on, also when the program is
  // busy then: it is raised as soon as the user is no longer asked.
  if (hourly_.Tick(s_.clock.Now())) stundeWaiting_ = true;
  if (!stundeWaiting_ || Busy()) return;
  stundeWaiting_ = false;
  if (!AnyOpenTask(s_.files.Data())) return;
  PlayNotificationSound(s_.settings, s_.sound, L"KONTAKT", Play::kAsync);
  if (!Unlock(true)) return;
  BringToFront();
  SetTimerInterval(kTimerStunde, 0);
}

void MainWindow::TRelevantes_Timer() {
  if (relevantesInterval_ == 0) return;
  if (Busy()) {
    relevantesWaiting_ = true;
    return;
  }
  relevantesWaiting_ = false;
  const std::optional<TaskRow> due = FindDueTask(s_.files.Data(), s_.clock.Now());
  if (!due) return;
  // Only a reminder changes the view: "Wichtiges" with the due task selected.
  PlayNotificationSound(s_.settings, s_.sound, L"KONTAKT", Play::kAsync);
  // The sound tells; the task stays unseen until the password is given.
  if (!Unlock(true)) return;
  SelectTab(Category::Important);
  SelectTask(*due);
  BringToFront();
  SetTimerInterval(kTimerRelevantes, 0);
  store_.SetReminderFlag(*due, 'R');
}

}  // namespace ordalis
