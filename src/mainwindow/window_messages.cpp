// The main window's message dispatch: the commands of buttons and menus, the
// notifications of the tabs and the list, the timers, and what Windows tells
// the program (power, time, session, DPI, colours).
#include "mainwindow/main_window.h"

#include <commctrl.h>
#include <windowsx.h>
#include <wtsapi32.h>

#include <utility>

#include "resources/resource.h"
#include "win32/controls.h"
#include "win32/dialog.h"
#include "win32/libraries.h"
#include "win32/start_trace.h"
#include "win32/window.h"

namespace ordalis {

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  if (header.idFrom == IDC_TABSTRIP && header.code == TCN_SELCHANGE) {
    TabStrip_Click();
    FocusFirstRow();
  } else if (header.idFrom == IDC_LDATEN) {
    switch (header.code) {
      case LVN_COLUMNCLICK:
        LDaten_ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        break;
      case NM_DBLCLK: LDaten_DblClick(); break;
      case NM_CUSTOMDRAW:
        return LDaten_CustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
      case LVN_ITEMCHANGED:
      case NM_SETFOCUS:
      case NM_KILLFOCUS: UpdateEditButtons(); break;
      default: break;
    }
  }
  return 0;
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == quitMessage_ && message != 0) return QuitOnRequest();
  switch (message) {
    case WM_COMMAND:
      // What shows the tasks or the options asks for a password that waits.
      switch (LOWORD(wParam)) {
        case IDM_VISIBLE:
        case IDM_NEU:
        case IDM_OPTIONEN:
        case IDC_BOPTIONEN:
        case IDM_SICHERUNG:
        case IDC_BHINZUFUEGEN:
        case IDC_BBEARBEITEN:
        case IDC_BLOESCHEN:
        case IDM_ERLEDIGT:
          if (!Unlock()) return 0;
          break;
        default: break;
      }
      switch (LOWORD(wParam)) {
        case IDC_BBEENDEN: bBeenden_Click(); break;
        case IDC_OWECKER1:
        case IDC_OWECKER2:
        case IDC_OWECKER3:
          if (HIWORD(wParam) == BN_CLICKED) {
            OWecker_Click(static_cast<Mode>(LOWORD(wParam) - IDC_OWECKER1 + 1));
          }
          break;
        case IDC_BOPTIONEN: ShowOptions(IsWindowVisible(Handle()) != FALSE); break;
        case IDC_BHINZUFUEGEN: BHinzufuegen_Click(); break;
        case IDC_BBEARBEITEN: LDaten_DblClick(); break;
        case IDC_BLOESCHEN: BLoeschen_Click(); break;
        case IDM_ERLEDIGT: MoveSelectedToDone(); break;
        case IDM_VISIBLE: mVisible_Click(); break;
        case IDM_NEU: BHinzufuegen_Click(); break;
        case IDM_ERINNERUNG1: mErinnerung_Click(1); break;
        case IDM_ERINNERUNG2: mErinnerung_Click(2); break;
        case IDM_ERINNERUNG3: mErinnerung_Click(3); break;
        case IDM_OPTIONEN: ShowOptions(true); break;
        case IDM_HILFE: mHilfe_Click(); break;
        case IDM_INFO: ShowAbout(); break;
        case IDM_BEENDEN: mBeenden_Click(); break;
        case IDM_SICHERUNG: mSicherung_Click(); break;
        case IDC_BAR_DONE: BarDone(); break;
        case IDC_BAR_LATER: BarLater(); break;
        case IDC_BAR_CLOSE: BarClose(); break;
        default: break;
      }
      return 0;
    case WM_NOTIFY: return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
      // A right click on the list, its menu key or Shift+F10.
      if (reinterpret_cast<HWND>(wParam) != list_.Handle()) {
        return Window::HandleMessage(message, wParam, lParam);
      }
      ShowListMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_TIMER:
      if (wParam == kTimerStunde) TStunde_Timer();
      if (wParam == kTimerRelevantes) TRelevantes_Timer();
      if (wParam == kTimerRetryRead && !Busy() && IsWindowVisible(Handle())) ReloadView();
      if (wParam == kTimerStartIcon) {
        AutostartTip(0);
        win32::TraceStart("icon", true);
      }
      if (wParam == kTimerStartWatch) {
        // Timers come once nothing is left to paint: what the first paint
        // does not show starts now (the controls' tips among it).
        win32::TraceStart("painted", true);
        SetupControlTooltips(0);
        StartFolderWatch();
        RegisterQuickAdd();
        RegisterWithSession();
        RegisterFolder();
        win32::TraceStart("watch, hot key, session, folder", true);
      }
      if (wParam == kTimerTip) FollowFile();
      if (wParam == kTimerSnooze) {
        KillTimer(Handle(), kTimerSnooze);
        RunCheck(ReminderCheck::kSnooze);
      }
      if (wParam == kTimerOccupied) {
        KillTimer(Handle(), kTimerOccupied);
        CheckRemindersNow();  // what waits for the full-screen program looks again
      }
      if (wParam == kTimerOutsideChange) {
        KillTimer(Handle(), kTimerOutsideChange);
        CheckOutsideChange();
      }
      return 0;
    case kWmFolderChanged: OnFolderChanged(); return 0;
    case kWmResume: Resume(); return 0;
    case WM_CLOSE: Form_QueryUnload(); return 0;
    case WM_SYSCOMMAND: {
      WPARAM command = wParam & 0xFFF0;
      if (command == SC_MAXIMIZE) {
        // The window has no maximise box; another program that posts the
        // command gets at most a restore of the minimised window.
        if (!IsIconic(Handle())) return 0;
        command = wParam = SC_RESTORE;
      }
      // The task-bar button of a minimised window shows the tasks too.
      if (command == SC_RESTORE && !Unlock()) return 0;
      return Window::HandleMessage(message, wParam, lParam);
    }
    case WM_WINDOWPOSCHANGED:
      PostLookChecks();
      return Window::HandleMessage(message, wParam, lParam);
    case WM_ACTIVATE: {
      PostLookChecks();
      const LRESULT result = Window::HandleMessage(message, wParam, lParam);
      // Activated by a click on the caption after a reminder that came
      // quietly: the keyboard goes to the list, not to the bare window.
      if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam) && GetFocus() == Handle()) {
        SetFocus(list_.Handle());
      }
      return result;
    }
    case kWmAskPassword: AskPasswordForShownWindow(); return 0;
    case kWmTellWaiting: TellWaitingIfSeen(); return 0;
    // Answered at once, also under an open dialog: never hold up logging off.
    case WM_QUERYENDSESSION: return TRUE;
    case WM_POWERBROADCAST:
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) CheckRemindersNow();
      return TRUE;
    case WM_TIMECHANGE: CheckRemindersNow(); return 0;
    case WM_WTSSESSION_CHANGE:
      if (wParam == WTS_SESSION_UNLOCK) CheckRemindersNow();
      return 0;
    case WM_ENDSESSION:
      if (wParam) Form_EndSession();
      return 0;
    case WM_SHOWWINDOW:
      // The window shows the file as it is whenever it comes on screen:
      // another program may have changed it while it was hidden.
      if (wParam) PostMessageW(Handle(), kWmShown, 0, 0);
      return Window::HandleMessage(message, wParam, lParam);
    case kWmShown:
      session_.windowShown = true;
      CheckOutsideChange();
      return 0;
    case WM_HOTKEY:
      if (wParam == kQuickAddHotKey) QuickAdd();
      return 0;
    case WM_SIZE:
      if (wParam == SIZE_RESTORED) PostMessageW(Handle(), kWmShown, 0, 0);
      // Only a window that has the keyboard gives it to the list: one a
      // reminder showed quietly leaves it with the program the user types in.
      if (wParam != SIZE_MINIMIZED && IsWindowVisible(Handle()) && GetActiveWindow() == Handle()) {
        SetFocus(list_.Handle());
      }
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // Labels, option buttons and the frame stand on the window's colour,
      // in the text colour that goes with it (a high-contrast scheme makes
      // the face dark).
      SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
      SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNTEXT));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DPICHANGED: {
      const UINT oldDpi = dpi_;
      dpi_ = HIWORD(wParam);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(Handle(), nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      font_ = win32::MessageFont(dpi_);
      MakeListFonts();
      Layout(true);
      list_.Rescale(oldDpi, dpi_);
      controlTips_.Rescale(dpi_);
      icons_.Apply(Handle(), IDI_VEMRA, dpi_);
      tray_.Reload();
      return 0;
    }
    case WM_SYSCOLORCHANGE: win32::RepaintForNewColours(Handle()); return 0;
    case WM_SETTINGCHANGE:
      // A new scheme, font or icon size: paint with what the system says now.
      tray_.Reload();
      win32::RepaintForNewColours(Handle());
      return 0;
    case WM_DESTROY:
      // Form_Unload: the icon never outlives the program.
      // Only when the session's library came in (after the first paint).
      if (HMODULE wts = GetModuleHandleW(L"wtsapi32.dll")) {
        using Unregister = BOOL(WINAPI*)(HWND);
        if (const auto unregister =
                win32::Export<Unregister>(wts, "WTSUnRegisterSessionNotification")) {
          unregister(Handle());
        }
      }
      ReleaseControlTooltips();
      win32::Dialog::SetHelpOpener(nullptr);
      tray_.Remove();
      session_.ended = true;
      if (s_.onEnd) s_.onEnd();
      return 0;
    default: return Window::HandleMessage(message, wParam, lParam);
  }
}

}  // namespace ordalis
