// The icon's presses and menu, bringing the window back, and what waited
// while a dialog, a message box, start-up or the close sequence asked the
// user: the session's gate hands it back when the last question closes.
#include <utility>

#include "mainwindow/main_window.h"
#include "win32/wait.h"
#include "win32/window.h"

namespace ordalis {

int MainWindow::Ask(const std::wstring& text, const wchar_t* caption, UINT style) {
  const auto asking = session_.gate.Ask();
  return MessageBoxW(Handle(), text.c_str(), caption, style);
}

void MainWindow::Resume() {
  if (Busy() || session_.ended) return;
  const UserGate::Released released = session_.gate.Release();
  for (const HeldEvent event : released.events) {
    switch (event) {
      case HeldEvent::kDueCheck:
        TRelevantes_Timer();
        RunCheck(ReminderCheck::kSnooze);  // a snooze held in "stündlich" too
        break;
      case HeldEvent::kHour: TStunde_Timer(); break;
      case HeldEvent::kOutsideChange: CheckOutsideChange(); break;
      case HeldEvent::kTells: TellWaitingIfSeen(); break;
      case HeldEvent::kTrayPress:
        if (released.trayPress) OnTrayMouse(*released.trayPress);
        break;
    }
  }
}

void MainWindow::AutostartTip(int mode) {
  KillTimer(Handle(), kTimerStartIcon);
  if (mode == 0) {
    tray_.Add();
    return;
  }
  Pause(1);
  win32::ProcessPendingMessages();
  tray_.ShowBalloon();
}

void MainWindow::Pause(double seconds) {
  if (s_.wait) {
    s_.wait(seconds);
  } else {
    win32::WaitSeconds(seconds);
  }
}

void MainWindow::OnTrayMouse(UINT mouseMessage) {
  // A click on a notification shows the window as a click on the icon
  // does, with the task it told of.
  const bool notification = mouseMessage == NIN_BALLOONUSERCLICK;
  if (notification) mouseMessage = WM_LBUTTONDOWN;
  if (mouseMessage != WM_RBUTTONDOWN && mouseMessage != WM_LBUTTONDOWN) return;
  if (Busy()) {
    // The dialog that waits comes to the front, and no menu opens over it.
    if (!BringWaitingDialogToFront()) {
      session_.gate.HoldTrayPress(mouseMessage);  // start-up or closing: the press follows
    }
    return;
  }
  if (mouseMessage == WM_RBUTTONDOWN) {
    if (session_.lock.Pending()) {
      Unlock();  // this press opens no menu
      return;
    }
    win32::ProcessPendingMessages();
    ShowTrayMenu();
  } else if (Unlock()) {
    if (notification && session_.schedule.RemindedTask()) {
      ShowRemindedTask();
    } else {
      mVisible_Click();
    }
  }
}

bool MainWindow::BringWaitingDialogToFront() {
  HWND popup = Handle();
  for (int depth = 0; depth < 8; ++depth) {
    HWND next = GetLastActivePopup(popup);
    if (!next || next == popup) break;
    popup = next;
  }
  if (popup == Handle() || !IsWindowVisible(popup)) return false;
  SetForegroundWindow(popup);
  return true;
}

void MainWindow::ShowTrayMenu() {
  POINT at = tray_.Anchor();
  if (!tray_.FromKeyboard()) GetCursorPos(&at);
  // While reminded tasks are due, all of them can come again later: the
  // tasks as they are when the menu opens.
  const std::vector<TaskRow> snoozable = SnoozableReminded();
  if (!snoozable.empty()) {
    InsertMenuW(menu_.get(), 1, MF_BYPOSITION | MF_POPUP,
                reinterpret_cast<UINT_PTR>(SnoozeMenu().release()), L"Alle s&päter erinnern");
  }
  // The menu closes as it should only when its owner is in front.
  SetForegroundWindow(Handle());
  const int command = static_cast<int>(TrackPopupMenuEx(
      menu_.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, Handle(), nullptr));
  PostMessageW(Handle(), WM_NULL, 0, 0);
  if (!snoozable.empty()) DeleteMenu(menu_.get(), 1, MF_BYPOSITION);  // with its submenu
  if (const auto choice = SnoozeChoiceFromNumber(command - IDM_SNOOZE); command && choice) {
    SnoozeTasks(snoozable, *choice);
  } else if (command) {
    SendMessageW(Handle(), WM_COMMAND, command, 0);
  } else if (tray_.FromKeyboard()) {
    tray_.ReturnFocus();  // Esc: the keyboard goes back to the icon
  }
}

void MainWindow::mVisible_Click() {
  // A reminder whose password was cancelled shows its task now.
  if (session_.schedule.TakeWaitingForWindow() && session_.schedule.RemindedTask()) {
    ShowRemindedTask();
    return;
  }
  TabRestore();
  ShowWindowSequence();
}

void MainWindow::TabRestore() {
  // After a start with Windows the question on an empty data file waits
  // until the user first opens the window.
  OfferRestore();
  RestoreLastTab();
}

void MainWindow::ShowWindowSequence() {
  HWND hwnd = Handle();
  SetForegroundWindow(hwnd);
  win32::ProcessPendingMessages();
  win32::ShowInFront(hwnd, false);
}

void MainWindow::BringToFront(bool quietly) {
  win32::ShowInFront(Handle(), quietly);
  // Quietly, the list gets the focus when the user activates the window.
  if (!quietly) SetFocus(list_.Handle());
}

}  // namespace ordalis
