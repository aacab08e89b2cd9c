// The password that locks the task view, and the options dialog with what
// it changes of the running window.
#include "dialogs/password_dialog.h"
#include "mainwindow/main_window.h"
#include "reminders/sound_win32.h"

namespace ordalis {

bool MainWindow::Unlock(bool reminderWaiting, bool quietly) {
  if (!authPending_) return true;
  if (prompting_) {
    // A second request (a show from another program, the task-bar button)
    // never opens a second prompt: the right password in one would leave
    // the other to end the program.
    BringWaitingDialogToFront();
    return false;
  }
  PasswordOutcome outcome;
  {
    BusyScope busy(*this);
    prompting_ = true;
    outcome = AskPassword(
        Handle(), {s_.files.Data(), s_.settings},
        reminderWaiting ? PasswordPurpose::kUnlockForReminder : PasswordPurpose::kUnlock, quietly);
    prompting_ = false;
  }
  if (outcome == PasswordOutcome::kCancelled) {
    EndProgram();  // removes the icon; nothing is stored
    return false;
  }
  authPending_ = false;
  TabStrip_Click();  // the list is filled only now
  return true;
}

void MainWindow::AskPasswordForShownWindow() {
  HWND hwnd = Handle();
  // Hidden or minimised, the empty window shows nothing and may stay so.
  if (!authPending_ || ended_ || !IsWindowVisible(hwnd) || IsIconic(hwnd)) return;
  if (Unlock()) BringToFront();
}

void MainWindow::ShowOptions(bool modal) {
  if (!Unlock()) return;
  if (!modal) {
    ordalis::ShowOptions(Handle(), options_, false);
    return;
  }
  BusyScope busy(*this);
  ordalis::ShowOptions(Handle(), options_, true);
}

bool MainWindow::OptionsBridge::HasSoundDevice() {
  return ordalis::HasSoundDevice();
}

void MainWindow::OptionsBridge::EnableTrayModes(bool enable) {
  EnableWindow(GetDlgItem(w_.Handle(), IDC_OWECKER1), enable);
  EnableWindow(GetDlgItem(w_.Handle(), IDC_OWECKER2), enable);
}

void MainWindow::OptionsBridge::ApplyListFont(const std::wstring& face, int points) {
  w_.SetListFont(face, points);
}

}  // namespace ordalis
