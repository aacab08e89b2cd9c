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
  HDC TipDc() {
    HDC dc = GetDC(tips_.Handle());
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(tips_.Handle(), WM_GETFONT, 0, 0)));
    return dc;
  }

  win32::UniqueWindow form_;
  HWND buttons_[3] = {};
  Tooltips_Class tips_;  // goes before its form
};

TEST_F(TooltipWrapper, BeforeCreateEveryOperationIsNeutral) {
  HWND button = buttons_[0];
  HDC dc = GetDC(form_.get());
  tips_.Enabled(true);  // kept, but there is nothing to enable
  EXPECT_FALSE(tips_.AddTool(button, 0, L"Text"));
  tips_.SetTipText(button, L"Text");
  tips_.SetToolRect(button, 0, 0, 5, 5);
  tips_.SetTracking(button, true);
  tips_.SetTrackPosition(button, 1, 2);
  tips_.DeleteTool(button);
  tips_.HideTips();
  tips_.Icon(1);
  tips_.Title(L"Titel");
  tips_.SetDelayTime(TTDT_INITIAL, 5);
  tips_.MaxTipWidth(50);
  tips_.MarginLeft(5);
  tips_.MarginBottom(5);
  tips_.BackColor(0xFF);
  tips_.ForeColor(0xFF);
  const std::vector<std::pair<const char*, std::function<long long()>>> reads = {
      {"Enabled", [&] { return tips_.Enabled(); }},
      {"Icon", [&] { return tips_.Icon(); }},
      {"Title", [&] { return static_cast<long long>(tips_.Title().size()); }},
      {"HitTest", [&] { return tips_.HitTest(button, 1, 1); }},
      {"ToolCount", [&] { return tips_.ToolCount(); }},
      {"GetTooltipWidth", [&] { return tips_.GetTooltipWidth(button); }},
      {"GetTooltipHeight", [&] { return tips_.GetTooltipHeight(button); }},
      {"GetDelayTime", [&] { return tips_.GetDelayTime(TTDT_INITIAL); }},
      {"MaxTipWidth", [&] { return tips_.MaxTipWidth(); }},
      {"MarginLeft", [&] { return tips_.MarginLeft(); }},
      {"MarginTop", [&] { return tips_.MarginTop(); }},
      {"MarginRight", [&] { return tips_.MarginRight(); }},
      {"MarginBottom", [&] { return tips_.MarginBottom(); }},
      {"BackColor", [&] { return tips_.BackColor(); }},
      {"ForeColor", [&] { return tips_.ForeColor(); }},
      {"FindToolInfo", [&] { return tips_.FindToolInfo(button).cbSize; }},
      {"ToolTipWidthFromText", [&] { return tips_.ToolTipWidthFromText(dc, L"Text"); }},
      {"ToolTipHeightFromText", [&] { return tips_.ToolTipHeightFromText(dc, L"Text"); }},
      {"TextWidthFromToolTipWidth", [&] { return tips_.TextWidthFromToolTipWidth(dc, 90); }},
      {"TextHeightFromToolTipHeight", [&] { return tips_.TextHeightFromToolTipHeight(dc, 90); }},
  };
  for (const auto& [name, read] : reads) EXPECT_EQ(read(), 0) << name;
  ReleaseDC(form_.get(), dc);
  EXPECT_EQ(tips_.Handle(), nullptr);
  EXPECT_TRUE(TooltipWindowsOwnedBy(form_.get()).empty());
}

TEST_F(TooltipWrapper, CreateTwiceLeavesOneFreshTopmostWindowOwnedByTheForm) {
  tips_.Create(form_.get(), 0);
  HWND first = tips_.Handle();
  ASSERT_NE(first, nullptr);
  tips_.AddTool(buttons_[0], 0, L"Eins");
  tips_.Title(L"Titel");
  tips_.Icon(TTI_INFO);
  tips_.Enabled(false);

  tips_.Create(form_.get(), 0);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_EQ(TooltipWindowsOwnedBy(form_.get()), std::vector<HWND>{tips_.Handle()});
  EXPECT_TRUE(GetWindowLongW(tips_.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(tips_.ToolCount(), 0);
  EXPECT_TRUE(tips_.Enabled());
  EXPECT_EQ(tips_.Icon(), 0);
  EXPECT_EQ(tips_.Title(), L"");

  // The window goes with its form, and the wrapper has none left.
  form_.reset();
  EXPECT_EQ(tips_.Handle(), nullptr);
  EXPECT_EQ(tips_.ToolCount(), 0);
}

TEST_F(TooltipWrapper, ToolsAreKnownByTheControlsWindow) {
  tips_.Create(form_.get(), 0);
  HWND tip = tips_.Handle();
  ASSERT_TRUE(tips_.AddTool(buttons_[0], 0, L"Der erste Knopf"));
  ASSERT_TRUE(tips_.AddTool(buttons_[1], 0, L""));
  EXPECT_EQ(tips_.ToolCount(), 2);

  const TTTOOLINFOW info = tips_.FindToolInfo(buttons_[0]);
  EXPECT_NE(info.cbSize, 0u);
  EXPECT_EQ(info.hwnd, form_.get());
  EXPECT_EQ(info.uId, reinterpret_cast<UINT_PTR>(buttons_[0]));
  EXPECT_EQ(info.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), UINT{TTF_IDISHWND | TTF_SUBCLASS});
  EXPECT_EQ(ToolText(tip, buttons_[0]), L"Der erste Knopf");
  EXPECT_NE(tips_.FindToolInfo(buttons_[1]).cbSize, 0u) << "a tool without text";
  EXPECT_EQ(ToolText(tip, buttons_[1]), L"");
  EXPECT_TRUE(tips_.HitTest(buttons_[0], 5, 5));

  // Shown, a tip on one line is wider than high, and a title makes it taller.
  tips_.SetTracking(buttons_[0], true);
  const int height = tips_.GetTooltipHeight(buttons_[0]);
  EXPECT_GT(tips_.GetTooltipWidth(buttons_[0]), height);
  EXPECT_GT(height, 0);
  tips_.Title(L"Hinweis");
  EXPECT_GT(tips_.GetTooltipHeight(buttons_[0]), height);
  tips_.SetTracking(buttons_[0], false);

  // A control that is no tool is left alone.
  HWND stranger = buttons_[2];
  EXPECT_EQ(tips_.FindToolInfo(stranger).cbSize, 0u);
  EXPECT_EQ(tips_.GetTooltipWidth(stranger), 0);
  EXPECT_EQ(tips_.GetTooltipHeight(stranger), 0);
  EXPECT_FALSE(tips_.HitTest(stranger, 5, 5));
  tips_.SetTipText(stranger, L"fremd");
  tips_.DeleteTool(stranger);
  EXPECT_EQ(tips_.ToolCount(), 2);

  tips_.SetTipText(buttons_[0], L"Neu");
  EXPECT_EQ(ToolText(tip, buttons_[0]), L"Neu");
  tips_.DeleteTool(buttons_[0]);
  EXPECT_EQ(tips_.ToolCount(), 1);
  EXPECT_EQ(tips_.FindToolInfo(buttons_[0]).cbSize, 0u);
  EXPECT_NE(tips_.FindToolInfo(buttons_[1]).cbSize, 0u);
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
}

TEST_F(TooltipWrapper, SettingsReachTheWindow) {
  tips_.Create(form_.get(), 0);
  tips_.SetDelayTime(TTDT_AUTOPOP, 7000);
  tips_.SetDelayTime(TTDT_INITIAL, 300);
  tips_.SetDelayTime(TTDT_RESHOW, 60);
  EXPECT_EQ(tips_.GetDelayTime(TTDT_AUTOPOP), 7000);
  EXPECT_EQ(tips_.GetDelayTime(TTDT_INITIAL), 300);
  EXPECT_EQ(tips_.GetDelayTime(TTDT_RESHOW), 60);
  tips_.MaxTipWidth(150);
  EXPECT_EQ(tips_.MaxTipWidth(), 150);

  tips_.Title(L"Hinweis");
  tips_.Icon(TTI_WARNING);
  EXPECT_EQ(tips_.Title(), L"Hinweis");
  EXPECT_EQ(tips_.Icon(), TTI_WARNING);

  tips_.BackColor(0x8000000F);  // the system's button face
  tips_.ForeColor(0x00FF0000);
  EXPECT_EQ(tips_.BackColor(), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(tips_.ForeColor(), 0x00FF0000u);

  tips_.Enabled(false);
  EXPECT_FALSE(tips_.Enabled());
}

TEST_F(TooltipWrapper, SizesOfTextAndTipConvertBothWays) {
  tips_.Create(form_.get(), 0);
  HDC dc = TipDc();
  const std::wstring text = L"Ein Text für die Spitze";
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  const int width = tips_.ToolTipWidthFromText(dc, text);
  const int height = tips_.ToolTipHeightFromText(dc, text);
  EXPECT_GE(width, extent.cx);
  EXPECT_GE(height, extent.cy);
  EXPECT_EQ(tips_.TextWidthFromToolTipWidth(dc, width), extent.cx);
  EXPECT_EQ(tips_.TextHeightFromToolTipHeight(dc, height), extent.cy);
  ReleaseDC(tips_.Handle(), dc);
}

TEST(TooltipValues, MakeLongAndTranslateColor) {
  EXPECT_EQ(Tooltips_Class::MakeLong(0x1234, 0x5678), 0x56781234u);
  EXPECT_EQ(Tooltips_Class::MakeLong(-1, 2), 0x0002FFFFu);
  EXPECT_EQ(Tooltips_Class::LoWord(0x56781234), 0x1234);
  EXPECT_EQ(Tooltips_Class::HiWord(0x56781234), 0x5678);
  struct Case {
    std::uint32_t color;
    COLORREF expected;
  };
  const Case cases[] = {
      {0x8000000F, GetSysColor(COLOR_BTNFACE)},
      {0x80000005, GetSysColor(COLOR_WINDOW)},
      {0x00FF0000, 0x00FF0000},
      {0x0000000F, 0x0000000F},
      {0x8100000F, 0x8100000F},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Tooltips_Class::TranslateColor(c.color), c.expected) << std::hex << c.color;
  }
}

// ---------------------------------------------------------------------------
// The main window's tips

using MainWindowTips = test::MainWindowFixture;

TEST_F(MainWindowTips, FiveControlsExplainThemselves) {
  ASSERT_NO_FATAL_FAILURE(Open());  // start-up installs the tips last
  Tooltips_Class& tips = window_->Tips().Tips();
  HWND tip = tips.Handle();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(GetWindow(tip, GW_OWNER), window_->Handle());

  struct Expected {
    int id;
    const wchar_t* text;
  };
  const Expected expected[] = {
      {IDC_OWECKER1, L"Jede volle Stunden werden Sie an Ordalis errinnert."},
      {IDC_OWECKER2, L"Die Einträge in der Kategorie ''Wichtiges'' werden ständig überprüft."},
      {IDC_OWECKER3, L"Die Anwendung wird nach dem Klicken auf Schließen beendet."},
      {IDC_BOPTIONEN, L"Anzeigen und Ändern von individuellen Einstellungen und Optionen."},
      {IDC_BBEENDEN, L"Schließt die Anwendung oder verkleinert sie in die Traybar."},
  };
  EXPECT_EQ(tips.ToolCount(), 5);
  for (const Expected& e : expected) {
    HWND control = Item(e.id);
    EXPECT_NE(tips.FindToolInfo(control).cbSize, 0u) << e.id;
    EXPECT_EQ(ToolText(tip, control), e.text) << e.id;
  }
  EXPECT_EQ(tips.Title(), L"");
  EXPECT_EQ(tips.GetDelayTime(TTDT_AUTOPOP), 10000);
  EXPECT_EQ(tips.GetDelayTime(TTDT_INITIAL), 500);
  EXPECT_EQ(tips.GetDelayTime(TTDT_RESHOW), 200);
  EXPECT_EQ(tips.MaxTipWidth(), 185);  // the tests run at 96 dpi
  EXPECT_EQ(tips.MarginLeft(), 8);
  EXPECT_EQ(tips.MarginTop(), 8);
  EXPECT_EQ(tips.MarginRight(), 8);
  EXPECT_EQ(tips.MarginBottom(), 8);

  // A text wider than the limit wraps: its tip is narrower and taller than
  // the text on one line would make it.
  HWND longest = Item(IDC_OWECKER2);
  tips.SetTracking(longest, true);
  HDC dc = GetDC(tip);
  SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(tip, WM_GETFONT, 0, 0)));
  EXPECT_LT(tips.GetTooltipWidth(longest), tips.ToolTipWidthFromText(dc, expected[1].text));
  EXPECT_GT(tips.GetTooltipHeight(longest), tips.ToolTipHeightFromText(dc, expected[1].text));
  ReleaseDC(tip, dc);
  tips.SetTracking(longest, false);

  // On a screen of 144 dpi the tips grow with the text.
  window_->Tips().Rescale(144);
  EXPECT_EQ(tips.MaxTipWidth(), 278);
  EXPECT_EQ(tips.MarginLeft(), 12);
  EXPECT_EQ(tips.MarginBottom(), 12);

  window_->Tips().ReleaseControlTooltips();
  EXPECT_EQ(window_->Tips().MainWindow(), nullptr);
}

}  // namespace
}  // namespace ordalis
