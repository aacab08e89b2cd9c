// The main window's tabs and task list against a real data file.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog_script.h"
#include "editor/task_editor_dialog.h"
#include "fixtures.h"
#include "mainwindow/main_window.h"
#include "storage/profile_format.h"
#include "storage/task_codec.h"
#include "support.h"
#include "win32/dpi.h"
#include "win32/handles.h"
#include "win32/icons.h"

namespace ordalis {
namespace {

using test::Cp1252;
using test::ListCell;
using test::MessageBoxAnswerer;
using test::Sections;
using test::UserDate;
using test::WriteDataFile;

struct Row {
  std::wstring date, time, description, key;
  bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* out) {
  *out << "{" << testing::PrintToString(row.date) << ", " << testing::PrintToString(row.time)
       << ", " << testing::PrintToString(row.description) << ", " << testing::PrintToString(row.key)
       << "}";
}

class MainWindowTest : public test::MainWindowFixture {
 protected:
  std::vector<Row> Rows() const {
    std::vector<Row> rows;
    const int count = ListView_GetItemCount(List());
    for (int i = 0; i < count; ++i) {
      rows.push_back({ListCell(List(), i, L"Datum"), ListCell(List(), i, L"Uhrzeit"),
                      ListCell(List(), i, L"Beschreibung"),
                      win32::Widen(window_->List().Rows()[i].key)});
    }
    return rows;
  }
  std::vector<std::wstring> Descriptions() const {
    std::vector<std::wstring> result;
    for (const Row& row : Rows()) result.push_back(row.description);
    return result;
  }
  int ColumnTwips(int column) const {
    return win32::PixelsToTwips(ListView_GetColumnWidth(List(), column),
                                win32::WindowDpi(window_->Handle()));
  }
  // A click on a column header, as the mouse makes it.
  void ClickHeader(int column) {
    HWND header = ListView_GetHeader(List());
    RECT rect{};
    Header_GetItemRect(header, column, &rect);
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(header, WM_LBUTTONUP, 0, at);
  }
  // The mouse rests on a row's description as a user's does: the text of
  // the tip that comes, empty when none comes.
  std::wstring TipOver(int item) {
    RECT cell{};
    ListView_GetSubItemRect(List(), item, window_->List().DescriptionColumn(), LVIR_BOUNDS, &cell);
    POINT at{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    POINT screen = at;
    ClientToScreen(List(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(List(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    HWND tip = window_->List().Tip();
    for (int i = 0; i < 30 && !IsWindowVisible(tip); ++i) test::PumpMessages(50);
    if (!IsWindowVisible(tip)) return L"";
    wchar_t text[1100] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    if (!SendMessageW(tip, TTM_GETCURRENTTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) return L"";
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 1100, reinterpret_cast<LPARAM>(&tool));
    return text;
  }
};

const Sections kSample = {
    {"Important",
     {{"100", {"12-24-2026", "18:00", "Bescherung"}},
      {"105", {"01-05-2027", "09:30", "Zahnarzt"}},
      {"130", {"12-09-2026", "14:15", Cp1252(L"Angebot an Müller")}}}},
    {"Others",
     {{"100", {"12-31-2026", "00:00", Cp1252(L"Sekt für 20 €")}},
      {"101", {"12-10-2026", "00:00", Cp1252(L"bücher")}}}},
    {"Done", {{"100", {"12-01-2026", "10:00", "Reifen"}}}},
};

TEST_F(MainWindowTest, EachTabShowsItsCategoryInDateOrder) {
  WriteDataFile(DataPath(), kSample);
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(window_->SelectedCategory(), Category::Important);
  // Each date as the user reads it, sorted by the day it names.
  EXPECT_EQ(Rows(),
            (std::vector<Row>{{UserDate(L"12-09-2026"), L"14:15", L"Angebot an Müller", L"130"},
                              {UserDate(L"12-24-2026"), L"18:00", L"Bescherung", L"100"},
                              {UserDate(L"01-05-2027"), L"09:30", L"Zahnarzt", L"105"}}));

  window_->SelectTab(Category::Others);  // no time column
  EXPECT_EQ(Rows(), (std::vector<Row>{{UserDate(L"12-10-2026"), L"", L"bücher", L"101"},
                                      {UserDate(L"12-31-2026"), L"", L"Sekt für 20 €", L"100"}}));

  window_->SelectTab(Category::Done);
  EXPECT_EQ(Rows(), (std::vector<Row>{{UserDate(L"12-01-2026"), L"10:00", L"Reifen", L"100"}}));

  // "Alles": both open categories together, the other tasks without a time.
  window_->SelectTab(Category::All);
  EXPECT_EQ(Descriptions(),
            (std::vector<std::wstring>{L"Angebot an Müller", L"bücher", L"Bescherung",
                                       L"Sekt für 20 €", L"Zahnarzt"}));
  EXPECT_EQ(Rows()[1].time, L"");
  EXPECT_EQ(Rows()[0].time, L"14:15");
}

TEST_F(MainWindowTest, ColumnsAndButtonsFollowTheViewAndTheSelection) {
  WriteDataFile(DataPath(), kSample);
  ASSERT_NO_FATAL_FAILURE(Open());
  struct Expected {
    Category view;
    int timeTwips;                    // no time column for 0
    bool add, options, edit, remove;  // edit and delete with a row selected
  };
  // Widths are twips through the window's DPI; a pixel of rounding is allowed.
  const int pixel = 1440 / static_cast<int>(win32::WindowDpi(window_->Handle())) + 1;
  const auto enabled = [this](int id) { return IsWindowEnabled(Item(id)) != FALSE; };
  for (const Expected& e : {Expected{Category::Others, 0, true, false, true, true},
                            Expected{Category::Important, 1000, true, false, true, true},
                            Expected{Category::Done, 1000, false, false, true, true},
                            Expected{Category::All, 1000, true, true, true, true}}) {
    SCOPED_TRACE(static_cast<int>(e.view));
    window_->SelectTab(e.view);
    const int columns = e.timeTwips ? 3 : 2;
    // The key is no column a screen reader would read out.
    ASSERT_EQ(test::ListHeaders(List()).size(), static_cast<size_t>(columns));
    // The date fits its column; the description takes the rest.
    EXPECT_LT(ListView_GetStringWidth(List(), ListCell(List(), 0, 0).c_str()),
              ListView_GetColumnWidth(List(), 0));
    if (e.timeTwips) {
      EXPECT_NEAR(ColumnTwips(1), e.timeTwips, pixel);
    }
    EXPECT_EQ(test::RoomRightOfColumns(List()), 0);
    EXPECT_EQ(enabled(IDC_BHINZUFUEGEN), e.add);
    EXPECT_EQ((GetWindowLongW(Item(IDC_BOPTIONEN), GWL_STYLE) & WS_VISIBLE) != 0, e.options);
    // Nothing selected: nothing to edit or delete.
    EXPECT_FALSE(enabled(IDC_BBEARBEITEN));
    EXPECT_FALSE(enabled(IDC_BLOESCHEN));
    window_->List().Select(0);
    EXPECT_EQ(enabled(IDC_BBEARBEITEN), e.edit);
    EXPECT_EQ(enabled(IDC_BLOESCHEN), e.remove);
  }
  // "Einstellungen…", made when "Alles" first showed, stands between the
  // options and "Schließen" in the tab order.
  EXPECT_EQ(GetWindow(Item(IDC_OWECKER3), GW_HWNDNEXT), Item(IDC_BOPTIONEN));
  EXPECT_EQ(GetWindow(Item(IDC_BOPTIONEN), GW_HWNDNEXT), Item(IDC_BBEENDEN));
}

TEST_F(MainWindowTest, ColumnClicksSortAscendingAndNewRowsJoinTheOrder) {
  WriteDataFile(DataPath(), {{"Important",
                              {{"100", {"03-01-2027", "08:00", "beta"}},
                               {"101", {"01-02-2027", "23:10", "Alpha"}},
                               {"102", {"02-11-2026", "12:00", "Gamma"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  ClickHeader(1);
  EXPECT_EQ(Descriptions(), (std::vector<std::wstring>{L"beta", L"Gamma", L"Alpha"}));
  ClickHeader(1);  // a second click does not reverse the order
  EXPECT_EQ(Descriptions(), (std::vector<std::wstring>{L"beta", L"Gamma", L"Alpha"}));
  ClickHeader(2);  // the description without regard to case
  EXPECT_EQ(Descriptions(), (std::vector<std::wstring>{L"Alpha", L"beta", L"Gamma"}));

  // The next tab selection sorts by date again.
  window_->SelectTab(Category::Important);
  EXPECT_EQ(Descriptions(), (std::vector<std::wstring>{L"Gamma", L"Alpha", L"beta"}));
}

// "Sonstiges" has no time column at all, not one of no width that a screen
// reader would still read out; its headers sort by what they name.
TEST_F(MainWindowTest, OthersHasNoTimeColumnAndItsHeadersSortByWhatTheyName) {
  WriteDataFile(DataPath(), {{"Others",
                              {{"100", {"01-02-2027", "00:00", "beta"}},
                               {"101", {"03-04-2027", "00:00", "Alpha"}},
                               {"102", {"12-11-2026", "00:00", "Gamma"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::Others);
  EXPECT_EQ(test::ListHeaders(List()), (std::vector<std::wstring>{L"Datum", L"Beschreibung"}));
  EXPECT_EQ(Descriptions(), (std::vector<std::wstring>{L"Gamma", L"beta", L"Alpha"}));
  ClickHeader(1);
  EXPECT_EQ(Descriptions(), (std::vector<std::wstring>{L"Alpha", L"beta", L"Gamma"}));
  ClickHeader(0);
  EXPECT_EQ(Descriptions(), (std::vector<std::wstring>{L"Gamma", L"beta", L"Alpha"}));

  window_->SelectTab(Category::Important);
  EXPECT_EQ(test::ListHeaders(List()),
            (std::vector<std::wstring>{L"Datum", L"Uhrzeit", L"Beschreibung"}));
}

// On a screen of another scale the date keeps its width in twips, wherever
// the view puts the columns, and the description still takes the rest.
TEST_F(MainWindowTest, TheColumnsOfOthersKeepTheirTwipsAtANewDpi) {
  ASSERT_NO_FATAL_FAILURE(Open());
  window_->SelectTab(Category::Others);
  const int dateTwips = ColumnTwips(0);
  const UINT dpi = 2 * win32::WindowDpi(window_->Handle());
  RECT rect{};
  GetWindowRect(window_->Handle(), &rect);
  SendMessageW(window_->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
               reinterpret_cast<LPARAM>(&rect));
  EXPECT_NEAR(win32::PixelsToTwips(ListView_GetColumnWidth(List(), 0), dpi), dateTwips,
              1440 / dpi + 1);
  EXPECT_EQ(test::RoomRightOfColumns(List()), 0);
}

// The title bar's and the task bar's icons at the window's DPI: its class's
// from the first moment, its own once it moved to another scale.
TEST_F(MainWindowTest, TheIconsFollowTheWindowsDpi) {
  ASSERT_NO_FATAL_FAILURE(Open());
  HWND hwnd = window_->Handle();
  const auto shown = [hwnd](WPARAM kind, int classIcon) {
    auto icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, kind, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(hwnd, classIcon));
    return test::IconWidth(icon);
  };
  const UINT first = win32::WindowDpi(hwnd);
  for (const UINT dpi : {first, 2 * first}) {
    SCOPED_TRACE(dpi);
    if (dpi != first) {
      RECT rect{};
      GetWindowRect(hwnd, &rect);
      SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&rect));
    }
    EXPECT_EQ(shown(ICON_SMALL, GCLP_HICONSM), win32::SmallIconSize(dpi));
    EXPECT_EQ(shown(ICON_BIG, GCLP_HICON), win32::LargeIconSize(dpi));
  }
}

// With a scroll bar, after the user drew the date column narrower, the
// description still reaches the list's right edge; cut, it shows whole in a
// tip where the mouse rests on it.
TEST_F(MainWindowTest, TheDescriptionTakesTheRestAndACutOneShowsInATip) {
  const std::string longText = "Angebot an M\xFCller mit allen Posten des Jahres " +
                               std::string(60, 'x') + " und den Preisen";
  std::vector<test::StoredTask> tasks = {{"100", {"12-01-2026", "10:00", longText}},
                                         {"101", {"12-02-2026", "10:00", "Kurz"}}};
  for (int key = 102; key < 140; ++key) {
    tasks.push_back({std::to_string(key), {"12-03-2026", "10:00", "Zeile"}});
  }
  WriteDataFile(DataPath(), {{"Important", tasks}});
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(test::RoomRightOfColumns(List()), 0);
  ListView_SetColumnWidth(List(), 0, ListView_GetColumnWidth(List(), 0) - 10);
  EXPECT_EQ(test::RoomRightOfColumns(List()), 0);

  SetForegroundWindow(window_->Handle());
  for (const auto& [item, tip] : {std::pair{0, win32::Widen(longText)}, {1, std::wstring()}}) {
    EXPECT_EQ(TipOver(item), tip) << item;
  }
}

TEST_F(MainWindowTest, ADamagedEntryIsToldOnceARunAndSkipped) {
  // "101" holds a control character in its stored form: it cannot be read.
  const std::string damaged = "101=" + std::string("\x81\x82\x83", 3) + "\r\n";
  WriteDataFile(DataPath(), {}, {}, "[Important]\r\n" + damaged);
  {
    std::string bytes = test::ReadFileBytes(DataPath());
    bytes += "100=" + ProtectProfileValue(*EncodeTask({"12-01-2026", "10:00", "Gut"})) + "\r\n";
    ASSERT_TRUE(test::WriteFileBytes(DataPath(), bytes));
  }
  MessageBoxAnswerer answer(L" Datenbankfehler", IDOK);
  ASSERT_NO_FATAL_FAILURE(Open());
  EXPECT_EQ(Descriptions(), (std::vector<std::wstring>{L"Gut"}));
  window_->SelectTab(Category::Others);
  window_->SelectTab(Category::Important);
  window_->SelectTab(Category::All);
  EXPECT_EQ(answer.Texts().size(), 1u);
}

TEST_F(MainWindowTest, EntriesTheListCannotShowAreToldOnceARun) {
  WriteDataFile(DataPath(), {{"Important", {{"100", {"12-01-2026", "10:00", "Gut"}}}},
                             {"Others", {{"abc", {"12-02-2026", "", "Fremd"}}}}});
  MessageBoxAnswerer answer(L"Ordalis ", IDOK);
  ASSERT_NO_FATAL_FAILURE(Open());
  for (const Category tab : {Category::Others, Category::All, Category::Others}) {
    window_->SelectTab(tab);
  }
  ASSERT_EQ(answer.Texts().size(), 1u);
  EXPECT_NE(answer.Texts()[0].find(L"bleiben unverändert in der Datei"), std::wstring::npos);
}

TEST_F(MainWindowTest, TheDeleteQuestionForALongDescriptionFitsTheScreen) {
  const std::string description(5000, 'x');
  WriteDataFile(DataPath(), {{"Important", {{"100", {"12-01-2026", "10:00", description}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  ListView_SetItemState(List(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  test::DialogScript script(L"Ordalis ");
  script
      .Do([](HWND box) {
        RECT rect{};
        GetWindowRect(box, &rect);
        EXPECT_LE(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_GE(rect.top, 0);
      })
      .Click(IDNO);
  SendMessageW(Item(IDC_BLOESCHEN), BM_CLICK, 0, 0);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(Descriptions().size(), 1u);
}

TEST_F(MainWindowTest, AccessKeysAndCtrlTabSelectTabs) {
  ASSERT_NO_FATAL_FAILURE(Open());
  const auto key = [this](UINT message, WPARAM code) {
    MSG msg{List(), message, code, 0};
    return window_->PreTranslate(msg);
  };
  EXPECT_TRUE(key(WM_SYSCHAR, L'e'));
  EXPECT_EQ(window_->SelectedCategory(), Category::Done);
  EXPECT_TRUE(key(WM_SYSCHAR, L'A'));
  EXPECT_EQ(window_->SelectedCategory(), Category::All);
  EXPECT_FALSE(key(WM_SYSCHAR, L'h'));  // the add button's key is the dialog manager's
  EXPECT_EQ(window_->SelectedCategory(), Category::All);
}

TEST_F(MainWindowTest, AltBPressesBearbeitenOrNothing) {
  WriteDataFile(DataPath(), {{"Important", {{"100", {"12-24-2026", "18:00", "Bescherung"}}}}});
  ASSERT_NO_FATAL_FAILURE(Open());
  // As the program's message loop hands the key on.
  const auto altB = [this] {
    MSG msg{List(), WM_SYSCHAR, L'b', 0x20000000};
    if (!window_->PreTranslate(msg)) IsDialogMessageW(window_->Handle(), &msg);
  };
  ASSERT_FALSE(IsWindowEnabled(Item(IDC_BBEARBEITEN)));  // nothing selected
  altB();
  EXPECT_EQ(window_->ReminderMode(), 3);

  ListView_SetItemState(List(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ASSERT_TRUE(IsWindowEnabled(Item(IDC_BBEARBEITEN)));
  test::DialogScript script(kEditTaskCaption);
  script.Click(IDC_CABBRECHEN);
  altB();
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(window_->ReminderMode(), 3);
}

// Labels and option buttons paint in the system's colours, whatever the
// device context held before: a high-contrast scheme stays readable.
TEST_F(MainWindowTest, LabelsPaintInTheSystemsColours) {
  ASSERT_NO_FATAL_FAILURE(Open());
  HDC dc = CreateCompatibleDC(nullptr);
  for (const UINT message : {WM_CTLCOLORSTATIC, WM_CTLCOLORBTN}) {
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkColor(dc, RGB(4, 5, 6));
    const auto brush = SendMessageW(window_->Handle(), message, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(Item(IDC_OWECKER1)));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE))) << message;
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_BTNTEXT)) << message;
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE)) << message;
  }
  DeleteDC(dc);
}

// A new colour scheme (a high-contrast one switched on) reaches the list at
// once: its empty part takes the new window colour rather than keeping the
// old one under the new text colour.
TEST_F(MainWindowTest, TheListTakesANewWindowColour) {
  ASSERT_NO_FATAL_FAILURE(Open());
  ShowWindow(window_->Handle(), SW_SHOWNOACTIVATE);
  const int index = COLOR_WINDOW;
  const COLORREF old = GetSysColor(index), fresh = RGB(0, 128, 0);
  SetSysColors(1, &index, &fresh);
  win32::ProcessPendingMessages();
  UpdateWindow(List());
  RECT client{};
  GetClientRect(List(), &client);
  HDC dc = GetDC(List());
  const COLORREF shown = GetPixel(dc, client.right - 2, client.bottom - 2);
  ReleaseDC(List(), dc);
  SetSysColors(1, &index, &old);  // other tests of the prefix share the scheme
  EXPECT_EQ(shown, fresh);
}

}  // namespace
}  // namespace ordalis
