// The password that locks the task view, and the options dialog with what
// it changes of the running window.
#include "dialogs/password_dialog.h"
#include "mainwindow/main_window.h"
#include "reminders/sound_win32.h"

namespace ordalis {

bool MainWindow::Unlock() {
  if (!authPending_) return true;
  PasswordOutcome outcome;
  {
    BusyScope busy(*this);
    outcome = AskPassword(Handle(), {s_.files.Data(), s_.settings}, PasswordPurpose::kUnlock);
  }
  if (outcome == PasswordOutcome::kCancelled) {
    EndProgram();  // removes the icon; nothing is stored
    return false;
  }
  authPending_ = false;
  return true;
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
