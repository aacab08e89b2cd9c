// The password that locks the task view, and the options dialog with what
// it changes of the running window.
#include "dialogs/password_dialog.h"
#include "mainwindow/main_window.h"
#include "reminders/sound_win32.h"

namespace ordalis {

bool MainWindow::Unlock(bool reminderWaiting, bool quietly, bool* cancelled) {
  Lock& lock = session_.lock;
  if (!lock.Pending()) return true;
  if (!lock.BeginPrompt()) {
    // A second request (a show from another program, the task-bar button)
    // never opens a second prompt: the right password in one would leave
    // the other to end the program.
    BringWaitingDialogToFront();
    return false;
  }
  PasswordOutcome outcome;
  {
    const auto asking = session_.gate.Ask();
    outcome = AskPassword(
        Handle(), {session_.store, s_.settings},
        reminderWaiting ? PasswordPurpose::kUnlockForReminder : PasswordPurpose::kUnlock, quietly);
  }
  lock.EndPrompt(outcome == PasswordOutcome::kAccepted);
  if (outcome == PasswordOutcome::kCancelled) {
    if (cancelled) *cancelled = true;
    // A reminder's prompt leaves the program waiting in the notification
    // area with its timers; any other ends it (removes the icon, stores
    // nothing).
    if (!reminderWaiting) EndProgram();
    return false;
  }
  TabStrip_Click();  // the list is filled only now
  UpdateBar();
  FollowFile();
  return true;
}

void MainWindow::AskPasswordForShownWindow() {
  HWND hwnd = Handle();
  // Hidden or minimised, the empty window shows nothing and may stay so.
  if (!session_.lock.Pending() || session_.ended || !IsWindowVisible(hwnd) || IsIconic(hwnd)) {
    return;
  }
  if (Unlock()) BringToFront();
}

void MainWindow::ShowOptions(bool modal) {
  if (!Unlock()) return;
  if (!modal) {
    ordalis::ShowOptions(Handle(), options_, false);
    return;
  }
  const auto asking = session_.gate.Ask();
  ordalis::ShowOptions(Handle(), options_, true);
}

bool MainWindow::OptionsBridge::HasSoundDevice() {
  return ordalis::HasSoundDevice();
}

void MainWindow::OptionsBridge::EnableTrayModes(bool enable) {
  EnableWindow(w_.Item(IDC_OWECKER1), enable);
  EnableWindow(w_.Item(IDC_OWECKER2), enable);
}

}  // namespace ordalis
