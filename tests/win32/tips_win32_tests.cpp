// The tooltip wrapper on a real tooltip window and the tips of the main
// window's controls. The program's .rc is linked in: manifest, icon and
// strings as in Vemra.exe.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fixtures.h"
#include "mainwindow/control_tips.h"
#include "support.h"
#include "tooltips/tooltips_class.h"
#include "win32/handles.h"

namespace ordalis {
namespace {

std::wstring ToolText(HWND tip, HWND control) {
  wchar_t text[256] = L"";
  TTTOOLINFOW info{TTTOOLINFOW_V2_SIZE};
  info.hwnd = GetParent(control);
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text;
  SendMessageW(tip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&info));
  return text;
}

// The record the tooltip window keeps for `control`, asked for by the
// control's container and the control itself; cbSize 0 when it has none.
TTTOOLINFOW ToolInfo(HWND tip, HWND control) {
  wchar_t text[256] = L"";
  TTTOOLINFOW info{TTTOOLINFOW_V2_SIZE};
  info.hwnd = GetParent(control);
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.lpszText = text;
  if (!SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info))) return {};
  info.lpszText = nullptr;
  return info;
}

int ToolCount(HWND tip) {
  return static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
}

int DelayTime(HWND tip, int which) {
  return static_cast<int>(SendMessageW(tip, TTM_GETDELAYTIME, which, 0));
}

int MaxTipWidth(HWND tip) {
  return static_cast<int>(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0));
}

// Shows or hides the tip of `control` where the tooltip window puts it.
void Track(HWND tip, HWND control, bool on) {
  TTTOOLINFOW info = ToolInfo(tip, control);
  SendMessageW(tip, TTM_TRACKACTIVATE, on, reinterpret_cast<LPARAM>(&info));
}

// The size of the tip of `control` as it would show now.
SIZE BubbleSize(HWND tip, HWND control) {
  TTTOOLINFOW info = ToolInfo(tip, control);
  const auto size =
      static_cast<DWORD>(SendMessageW(tip, TTM_GETBUBBLESIZE, 0, reinterpret_cast<LPARAM>(&info)));
  return {LOWORD(size), HIWORD(size)};
}

// The size of a tip around `text` on one line, in the tooltip window's font.
SIZE TipSizeOfText(HWND tip, std::wstring_view text) {
  HDC dc = GetDC(tip);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0)));
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(tip, dc);
  RECT rect{0, 0, extent.cx, extent.cy};
  SendMessageW(tip, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
  return {rect.right - rect.left, rect.bottom - rect.top};
}

std::vector<HWND> TooltipWindowsOwnedBy(HWND owner) {
  struct Search {
    HWND owner;
    std::vector<HWND> found;
  } search{owner, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        wchar_t name[32] = L"";
        GetClassNameW(window, name, 32);
        if (std::wstring_view(name) == TOOLTIPS_CLASSW && GetWindow(window, GW_OWNER) == s->owner) {
          s->found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class TooltipWrapper : public testing::Test {
 protected:
  void SetUp() override {
    form_.reset(CreateWindowExW(0, L"STATIC", L"Formular", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                100, 400, 300, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(form_);
    for (int i = 0; i < 3; ++i) {
      buttons_[i] = CreateWindowExW(0, L"BUTTON", L"Knopf", WS_CHILD | WS_VISIBLE, 10, 10 + 40 * i,
                                    120, 30, form_.get(), nullptr, nullptr, nullptr);
    }
  }

  win32::UniqueWindow form_;
  HWND buttons_[3] = {};
  Tooltips_Class tips_;  // goes before its form
};

TEST_F(TooltipWrapper, BeforeCreateEveryOperationIsNeutral) {
  EXPECT_FALSE(tips_.AddTool(buttons_[0], 0, L"Text"));
  tips_.Title(L"Titel");
  tips_.SetDelayTime(TTDT_INITIAL, 5);
  tips_.MaxTipWidth(50);
  tips_.MarginLeft(5);
  tips_.MarginTop(5);
  tips_.MarginRight(5);
  tips_.MarginBottom(5);
  const std::vector<std::pair<const char*, std::function<long long()>>> reads = {
      {"Title", [&] { return static_cast<long long>(tips_.Title().size()); }},
      {"MarginLeft", [&] { return tips_.MarginLeft(); }},
      {"MarginTop", [&] { return tips_.MarginTop(); }},
      {"MarginRight", [&] { return tips_.MarginRight(); }},
      {"MarginBottom", [&] { return tips_.MarginBottom(); }},
  };
  for (const auto& [name, read] : reads) EXPECT_EQ(read(), 0) << name;
  EXPECT_EQ(tips_.Handle(), nullptr);
  EXPECT_TRUE(TooltipWindowsOwnedBy(form_.get()).empty());
}

TEST_F(TooltipWrapper, CreateTwiceLeavesOneFreshTopmostWindowOwnedByTheForm) {
  tips_.Create(form_.get(), 0);
  HWND first = tips_.Handle();
  ASSERT_NE(first, nullptr);
  tips_.AddTool(buttons_[0], 0, L"Eins");
  tips_.Title(L"Titel");

  tips_.Create(form_.get(), 0);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(TooltipWindowsOwnedBy(form_.get()), std::vector<HWND>{tips_.Handle()});
  EXPECT_TRUE(GetWindowLongW(tips_.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(ToolCount(tips_.Handle()), 0);
  EXPECT_EQ(tips_.Title(), L"");

  // The window goes with its form, and the wrapper has none left.
  tips_.Title(L"Titel");
  tips_.MarginLeft(5);
  form_.reset();
  EXPECT_EQ(tips_.Handle(), nullptr);
  EXPECT_EQ(tips_.Title(), L"");
  EXPECT_EQ(tips_.MarginLeft(), 0);
  EXPECT_FALSE(tips_.AddTool(buttons_[1], 0, L"Zwei"));
}

TEST_F(TooltipWrapper, ToolsAreKnownByTheControlsWindow) {
  tips_.Create(form_.get(), 0);
  HWND tip = tips_.Handle();
  ASSERT_TRUE(tips_.AddTool(buttons_[0], 0, L"Der erste Knopf"));
  ASSERT_TRUE(tips_.AddTool(buttons_[1], TTF_CENTERTIP, L""));
  EXPECT_EQ(ToolCount(tip), 2);

  const TTTOOLINFOW info = ToolInfo(tip, buttons_[0]);
  EXPECT_NE(info.cbSize, 0u);
  EXPECT_EQ(info.hwnd, form_.get());
  EXPECT_EQ(info.uId, reinterpret_cast<UINT_PTR>(buttons_[0]));
  EXPECT_EQ(info.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), UINT{TTF_IDISHWND | TTF_SUBCLASS});
  EXPECT_EQ(ToolText(tip, buttons_[0]), L"Der erste Knopf");
  const TTTOOLINFOW silent = ToolInfo(tip, buttons_[1]);
  EXPECT_NE(silent.cbSize, 0u) << "a tool without text";
  EXPECT_EQ(silent.uFlags & (TTF_IDISHWND | TTF_SUBCLASS | TTF_CENTERTIP),
            UINT{TTF_IDISHWND | TTF_SUBCLASS | TTF_CENTERTIP});
  EXPECT_EQ(ToolText(tip, buttons_[1]), L"");
  EXPECT_EQ(ToolInfo(tip, buttons_[2]).cbSize, 0u);

  // Shown, a tip on one line is wider than high, and a title makes it taller.
  Track(tip, buttons_[0], true);
  const SIZE plain = BubbleSize(tip, buttons_[0]);
  EXPECT_GT(plain.cx, plain.cy);
  EXPECT_GT(plain.cy, 0);
  tips_.Title(L"Hinweis");
  EXPECT_GT(BubbleSize(tip, buttons_[0]).cy, plain.cy);
  Track(tip, buttons_[0], false);
}

TEST_F(TooltipWrapper, EachMarginChangesOneSideAndKeepsTheOthers) {
  tips_.Create(form_.get(), 0);
  using Setter = void (Tooltips_Class::*)(int);
  const Setter setters[] = {&Tooltips_Class::MarginLeft, &Tooltips_Class::MarginTop,
                            &Tooltips_Class::MarginRight, &Tooltips_Class::MarginBottom};
  int expected[4] = {1, 2, 3, 4};
  for (int side = 0; side < 4; ++side) (tips_.*setters[side])(expected[side]);
  for (int side = 0; side < 4; ++side) {
    expected[side] = 10 + side;
    (tips_.*setters[side])(expected[side]);
    EXPECT_EQ(tips_.MarginLeft(), expected[0]) << side;
    EXPECT_EQ(tips_.MarginTop(), expected[1]) << side;
    EXPECT_EQ(tips_.MarginRight(), expected[2]) << side;
    EXPECT_EQ(tips_.MarginBottom(), expected[3]) << side;
  }
  RECT margins{};
  SendMessageW(tips_.Handle(), TTM_GETMARGIN, 0, reinterpret_cast<LPARAM>(&margins));
  EXPECT_EQ(margins.left, 10);
  EXPECT_EQ(margins.top, 11);
  EXPECT_EQ(margins.right, 12);
  EXPECT_EQ(margins.bottom, 13);
}

TEST_F(TooltipWrapper, SettingsReachTheWindow) {
  tips_.Create(form_.get(), 0);
  HWND tip = tips_.Handle();
  tips_.SetDelayTime(TTDT_AUTOPOP, 7000);
  tips_.SetDelayTime(TTDT_INITIAL, 300);
  tips_.SetDelayTime(TTDT_RESHOW, 60);
  EXPECT_EQ(DelayTime(tip, TTDT_AUTOPOP), 7000);
  EXPECT_EQ(DelayTime(tip, TTDT_INITIAL), 300);
  EXPECT_EQ(DelayTime(tip, TTDT_RESHOW), 60);
  tips_.MaxTipWidth(150);
  EXPECT_EQ(MaxTipWidth(tip), 150);

  tips_.Title(L"Hinweis");
  EXPECT_EQ(tips_.Title(), L"Hinweis");
  tips_.Title(L"");
  EXPECT_EQ(tips_.Title(), L"");
}

// ---------------------------------------------------------------------------
// The main window's tips

using MainWindowTips = test::MainWindowFixture;

TEST_F(MainWindowTips, FiveControlsExplainThemselves) {
  ASSERT_NO_FATAL_FAILURE(Open());
  test::PumpMessages(100);  // the tips come after the first paint
  Tooltips_Class& tips = window_->Tips().Tips();
  HWND tip = tips.Handle();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(GetWindow(tip, GW_OWNER), window_->Handle());

  // Each control of the program's table carries its own text,
  // "Einstellungen…" from when it is made, as "Alles" first shows.
  EXPECT_EQ(ToolCount(tip), 4);
  window_->SelectTab(Category::All);
  EXPECT_EQ(ToolCount(tip), 5);
  for (const ControlTip& e : kControlTips) {
    HWND control = Item(e.controlId);
    EXPECT_NE(ToolInfo(tip, control).cbSize, 0u) << e.controlId;
    EXPECT_EQ(ToolText(tip, control), e.text) << e.controlId;
  }
  EXPECT_EQ(tips.Title(), L"");
  EXPECT_EQ(DelayTime(tip, TTDT_AUTOPOP), 10000);
  EXPECT_EQ(DelayTime(tip, TTDT_INITIAL), 500);
  EXPECT_EQ(DelayTime(tip, TTDT_RESHOW), 200);
  EXPECT_EQ(MaxTipWidth(tip), 185);  // the tests run at 96 dpi
  EXPECT_EQ(tips.MarginLeft(), 8);
  EXPECT_EQ(tips.MarginTop(), 8);
  EXPECT_EQ(tips.MarginRight(), 8);
  EXPECT_EQ(tips.MarginBottom(), 8);

  // A text wider than the limit wraps: its tip is narrower and taller than
  // the text on one line would make it.
  HWND longest = Item(IDC_OWECKER2);
  Track(tip, longest, true);
  const SIZE wrapped = BubbleSize(tip, longest);
  const SIZE oneLine = TipSizeOfText(tip, kControlTips[1].text);
  EXPECT_LT(wrapped.cx, oneLine.cx);
  EXPECT_GT(wrapped.cy, oneLine.cy);
  Track(tip, longest, false);

  // On a screen of 144 dpi the tips grow with the text.
  window_->Tips().Rescale(144);
  EXPECT_EQ(MaxTipWidth(tip), 278);
  EXPECT_EQ(tips.MarginLeft(), 12);
  EXPECT_EQ(tips.MarginBottom(), 12);

  window_->Tips().ReleaseControlTooltips();
  EXPECT_EQ(window_->Tips().MainWindow(), nullptr);
}

}  // namespace
}  // namespace ordalis
