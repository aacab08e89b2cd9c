// What the program shows for a minimised main window stays on screen: the
// main window's place then is the one it is restored to.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "dialog_script.h"
#include "dialogs/notice_dialog.h"
#include "lifecycle_fixture.h"

namespace ordalis {
namespace {

using test::DialogScript;
using test::LifecycleTest;
using test::Number;
using test::Text;

TEST_F(LifecycleTest, TheClosingNoticeOfAMinimisedWindowIsInsideTheWorkArea) {
  Quiet();
  Set(L"HelpDirekt", Number(0));  // the notice is shown
  Set(L"Reminder", Text(L"1"));
  struct Case {
    const char* what;
    UINT message;
    WPARAM command;
  };
  const Case cases[] = {
      {"close box", WM_CLOSE, 0},
      {"task bar's Schliessen", WM_SYSCOMMAND, SC_CLOSE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NO_FATAL_FAILURE(Reopen());
    ShowWindow(hwnd_, SW_MINIMIZE);
    ASSERT_TRUE(IsIconic(hwnd_));
    RECT notice{};
    DialogScript script(kNoticeCaption);
    script.Do([&notice](HWND window) { GetWindowRect(window, &notice); }).Click(IDC_BABBRECHEN);
    SendMessageW(hwnd_, c.message, c.command, 0);
    EXPECT_TRUE(script.Finished());
    MONITORINFO monitor{sizeof monitor};
    ASSERT_TRUE(GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor));
    const RECT& work = monitor.rcWork;
    EXPECT_GE(notice.left, work.left);
    EXPECT_GE(notice.top, work.top);
    EXPECT_LE(notice.right, work.right);
    EXPECT_LE(notice.bottom, work.bottom) << "the notice at y = " << notice.top;
  }
}

}  // namespace
}  // namespace ordalis
