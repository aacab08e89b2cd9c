// What the program shows for a minimised main window stays on screen: the
// main window's place then is the one it is restored to.
#include <windows.h>
#include <commctrl.h>

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

// A larger list font widens the date and time columns; a stored date width
// larger than the list leaves the time and the description in view.
TEST_F(LifecycleTest, AFullDateAndTimeStayReadableAndInView) {
  Quiet();
  struct Case {
    const wchar_t* size;
    const wchar_t* dateWidth;  // stored Tab_A; nullptr for none
  };
  const Case cases[] = {
      {L"9", nullptr}, {L"12", nullptr}, {L"12", L"4294967296"}, {L"8", L"99999"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.size) + " " +
                 testing::PrintToString(c.dateWidth ? c.dateWidth : L"-"));
    Set(L"FontName", Text(L"Tahoma"));
    Set(L"FontSize", Text(c.size));
    if (c.dateWidth) {
      Set(L"Tab_A", Text(c.dateWidth));
    } else {
      settings_.DeleteValue(SettingsRoot::kCurrentUser, kSettingsKey, L"Tab_A");
    }
    ASSERT_NO_FATAL_FAILURE(Reopen());
    for (const Category view : {Category::Important, Category::All}) {
      window_->SelectTab(view);
      RECT client{};
      GetClientRect(List(), &client);
      const int date = ListView_GetColumnWidth(List(), 0);
      const int time = ListView_GetColumnWidth(List(), 1);
      EXPECT_GT(date, ListView_GetStringWidth(List(), test::UserDate(L"12-23-2026").c_str()));
      EXPECT_GT(time, ListView_GetStringWidth(List(), L"23:59"));
      EXPECT_LE(date + time, client.right * 3 / 4);  // the description starts in view
    }
  }
}

}  // namespace
}  // namespace ordalis
