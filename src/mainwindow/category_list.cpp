#include "mainwindow/category_list.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <utility>

#include "mainwindow/question_text.h"
#include "session/shown_date.h"
#include "win32/controls.h"
#include "win32/dpi.h"
#include "win32/text.h"
#include "win32/user_date.h"

namespace ordalis {

using win32::PixelsToTwips;
using win32::TwipsToPixels;
using win32::Widen;

namespace {

// The sign of a task that comes back by itself, as the list draws it, and
// as the cell holds it for a screen reader, which would read the sign by its
// character name.
constexpr wchar_t kSeriesMark[] = L" \u21BB";
constexpr wchar_t kSeriesWords[] = L", wiederholt sich";
constexpr double kTimeTwips = 1000, kDescriptionTwips = 3910.1104;
constexpr SortColumn kColumns[] = {SortColumn::kDate, SortColumn::kTime, SortColumn::kDescription};

// The margins of a cell's text, and (twice as much) of a heading's.
constexpr double kMarginTwips = 120;
// Where the list view begins the text of a cell.
constexpr double kCellTextTwips = 90;
// A tip wraps its text at this width; the tooltip window holds about a
// thousand characters.
constexpr double kTipWidthTwips = 6000;
constexpr size_t kTipLength = 1000;

void InsertColumn(HWND list, int index, const wchar_t* header, double twips, UINT dpi) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<wchar_t*>(header);
  column.cx = TwipsToPixels(twips, dpi);
  column.iSubItem = index;
  SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

// The list view's own procedure, which the list's procedure passes every
// message on to: the same for every list view, so it is there for a message
// that comes after the list's object has gone.
WNDPROC listViewProcedure = nullptr;

void SetCell(HWND list, int item, int column, std::wstring wide) {
  if (column < 0) return;
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = wide.data();
  SendMessageW(list, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

CategoryList::~CategoryList() {
  // The list may outlive this object for a moment (its window goes last):
  // its messages then go straight on.
  if (!list_ || !IsWindow(list_)) return;
  SetWindowLongPtrW(list_, GWLP_USERDATA, 0);
  if (GetWindowLongPtrW(list_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ListProcedure)) {
    SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(listViewProcedure));
  }
}

void CategoryList::Attach(HWND listView, UINT dpi) {
  list_ = listView;
  const Batch batch(*this);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  // The task's key stays with its row, not in a column of no width that a
  // screen reader would read out as one.
  InsertColumn(list_, 0, L"Datum", 1200, dpi);
  InsertColumn(list_, 1, L"Uhrzeit", kTimeTwips, dpi);
  InsertColumn(list_, 2, L"Beschreibung", kDescriptionTwips, dpi);
  // The widths of the first view come with it (SetView): the description
  // takes the rest then.
  // Every message of the list passes ListProcedure first. It finds this
  // object in the list's user data, not in a window property as
  // SetWindowSubclass keeps it: under Wine each look at a property is a call
  // to its server, and the list takes dozens of messages at every change of
  // tab.
  SetWindowLongPtrW(list_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  const auto previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ListProcedure)));
  if (previous != ListProcedure) listViewProcedure = previous;
}

LRESULT CALLBACK CategoryList::ListProcedure(HWND list, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  auto* self = reinterpret_cast<CategoryList*>(GetWindowLongPtrW(list, GWLP_USERDATA));
  if (!self) return CallWindowProcW(listViewProcedure, list, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(list, GWLP_USERDATA, 0);
    self->list_ = nullptr;
    return CallWindowProcW(listViewProcedure, list, message, wParam, lParam);
  }
  // The tool under the mouse is set before the tooltip window sees the move.
  if (message == WM_MOUSEMOVE) {
    self->EnsureTip();
    self->TipAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
  }
  if (message == WM_VSCROLL || message == WM_HSCROLL || message == WM_MOUSEWHEEL) self->DropTip();
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST && self->tip_.Handle()) {
    const DWORD at = GetMessagePos();
    MSG relayed{list,
                message,
                wParam,
                lParam,
                static_cast<DWORD>(GetMessageTime()),
                POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)}};
    SendMessageW(self->tip_.Handle(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
  }
  const LRESULT result = CallWindowProcW(listViewProcedure, list, message, wParam, lParam);
  // A new size (a scroll bar came or went) or a column the user drew wider
  // or narrower: the description takes the rest again.
  if (message == WM_SIZE) self->FillDescription();
  if (message == WM_NOTIFY && self->batches_ == 0) {
    const auto& header = *reinterpret_cast<const NMHEADERW*>(lParam);
    if (header.hdr.hwndFrom == ListView_GetHeader(list) &&
        (header.hdr.code == HDN_ITEMCHANGEDW || header.hdr.code == HDN_ITEMCHANGEDA) &&
        header.iItem != self->DescriptionColumn()) {
      self->FillDescription();
    }
  }
  return result;
}

CategoryList::Batch::Batch(CategoryList& list) : list_(list) {
  if (list_.batches_++ == 0) SendMessageW(list_.list_, WM_SETREDRAW, FALSE, 0);
}

CategoryList::Batch::~Batch() {
  if (--list_.batches_ > 0) return;
  // Filled before the list works out its scroll bars: one that comes or
  // goes then resizes the list, and the description takes the rest again.
  list_.FillDescription();
  SendMessageW(list_.list_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(list_.list_, nullptr, nullptr,
               RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CategoryList::SetView(Category view, UINT dpi) {
  const Batch batch(*this);
  const bool hadTime = HasTime();
  view_ = view;
  // The rows are shown again after a change of view, so the cells of a
  // column taken out or put back need no care here. Every view sets its
  // widths of the time and the description again.
  if (hadTime && !HasTime()) ListView_DeleteColumn(list_, 1);
  if (!hadTime && HasTime()) InsertColumn(list_, 1, L"Uhrzeit", kTimeTwips, dpi);
  if (HasTime()) SetColumnWidthTwips(SortColumn::kTime, kTimeTwips, dpi);
  FitDateAndTime(dpi);
}

void CategoryList::FitDateAndTime(UINT dpi) {
  // The widest date of the user's form: each weekday, each month (its name,
  // where the form writes one), all with two-digit days.
  const Batch batch(*this);
  const win32::TextWidths width(list_);
  int widestDate = 0;
  const auto measure = [&](const LocalTime& day) {
    // Without a time column, a series' sign follows the date.
    const std::wstring text = Widen(ShownDate(FormatDate(day), win32::UserDate)) +
                              (!HasTime() && HasSeries() ? kSeriesMark : L"");
    widestDate = std::max(widestDate, width.Of(text));
  };
  for (int day = 20; day <= 26; ++day) measure({2026, 12, day});
  for (int month = 1; month <= 12; ++month) measure({2026, month, 28});
  // The samples and the column's heading as the list's font draws them,
  // with the margins of a cell and of a heading.
  const int margin = TwipsToPixels(kMarginTwips, dpi);
  for (const auto& [column, sample, heading] :
       {std::tuple{Index(SortColumn::kDate), widestDate, L"Datum"},
        std::tuple{Index(SortColumn::kTime), width.Of(L"88:88" + std::wstring(kSeriesMark)),
                   L"Uhrzeit"}}) {
    if (column < 0) continue;
    const int needed = std::max(sample + margin, width.Of(heading) + 2 * margin);
    if (ListView_GetColumnWidth(list_, column) < needed) {
      ListView_SetColumnWidth(list_, column, needed);
    }
  }
}

void CategoryList::FillDescription() {
  const int description = Index(SortColumn::kDescription);
  if (!list_ || filling_ || batches_ > 0) return;  // a batch fills at its end
  filling_ = true;
  RECT client{};
  GetClientRect(list_, &client);
  int rest = client.right;
  for (const SortColumn column : kColumns) {
    const int index = Index(column);
    if (index >= 0 && index != description) rest -= ListView_GetColumnWidth(list_, index);
  }
  const int least = win32::TextWidths(list_).Of(L"Beschreibung") +
                    2 * TwipsToPixels(kMarginTwips, win32::WindowDpi(list_));
  const int width = std::max(rest, least);
  if (ListView_GetColumnWidth(list_, description) != width) {
    ListView_SetColumnWidth(list_, description, width);
    DropTip();
  }
  filling_ = false;
}

void CategoryList::SetRows(std::vector<TaskRow> rows) {
  rows_ = std::move(rows);
  order_ = SortColumn::kDate;
  SortRows(rows_, order_);
  Show();
}

void CategoryList::SortBy(SortColumn column) {
  // The selected row stays selected wherever the order puts it.
  const std::optional<size_t> selected = Selected();
  const std::optional<TaskRow> kept =
      selected ? std::optional<TaskRow>(rows_[*selected]) : std::nullopt;
  order_ = column;
  SortRows(rows_, order_);
  Show();
  if (kept) {
    for (size_t i = 0; i < rows_.size(); ++i) {
      if (rows_[i] == *kept) {
        Select(i);
        break;
      }
    }
  }
}

std::optional<size_t> CategoryList::Selected() const {
  const int item = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  if (item < 0 || static_cast<size_t>(item) >= rows_.size()) return std::nullopt;
  return static_cast<size_t>(item);
}

std::optional<size_t> CategoryList::Find(const TaskRow& row) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i] == row) return i;
  }
  return std::nullopt;
}

std::optional<size_t> CategoryList::FindKey(Category category, std::string_view key) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].category == category && rows_[i].key == key) return i;
  }
  return std::nullopt;
}

void CategoryList::Select(size_t position) {
  if (position >= rows_.size()) return;
  const int item = static_cast<int>(position);
  ListView_SetItemState(list_, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(list_, item, FALSE);
}

int CategoryList::Index(SortColumn column) const {
  switch (column) {
    case SortColumn::kDate: return 0;
    case SortColumn::kTime: return HasTime() ? 1 : -1;
    case SortColumn::kDescription: return HasTime() ? 2 : 1;
  }
  return -1;
}

std::optional<SortColumn> CategoryList::ColumnAt(int index) const {
  for (const SortColumn column : kColumns) {
    if (index >= 0 && Index(column) == index) return column;
  }
  return std::nullopt;
}

int CategoryList::ColumnWidthTwips(SortColumn column, UINT dpi) const {
  const int index = Index(column);
  return index < 0 ? 0 : PixelsToTwips(ListView_GetColumnWidth(list_, index), dpi);
}

void CategoryList::SetColumnWidthTwips(SortColumn column, double twips, UINT dpi) {
  if (const int index = Index(column); index >= 0) {
    ListView_SetColumnWidth(list_, index, TwipsToPixels(twips, dpi));
  }
}

void CategoryList::Rescale(UINT oldDpi, UINT newDpi) {
  const Batch batch(*this);
  for (const SortColumn column : kColumns) {
    SetColumnWidthTwips(column, ColumnWidthTwips(column, oldDpi), newDpi);
  }
  if (tip_.Handle()) tip_.MaxTipWidth(TwipsToPixels(kTipWidthTwips, newDpi));
}

void CategoryList::EnsureTip() {
  if (tip_.Handle()) return;
  // The list view's own tips show a cell only where it begins the row; this
  // tooltip shows a cut description whole, also while another window is
  // active. Made when the mouse first comes, not at the start.
  tip_.Create(GetParent(list_), TTS_NOPREFIX | TTS_ALWAYSTIP);
  tip_.MaxTipWidth(TwipsToPixels(kTipWidthTwips, win32::WindowDpi(list_)));
}

void CategoryList::TipAt(POINT point) {
  LVHITTESTINFO hit{};
  hit.pt = point;
  const auto item =
      static_cast<int>(SendMessageW(list_, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  const int column = DescriptionColumn();
  std::optional<size_t> row;
  if (item >= 0 && static_cast<size_t>(item) < rows_.size() && hit.iSubItem == column) {
    row = static_cast<size_t>(item);
  }
  if (row == tipRow_) return;
  DropTip();
  tipRow_ = row;
  if (!row || !DescriptionCut(*row)) return;
  // A new tool for each cell: the tooltip window then waits its delay and
  // shows the new text, as it does for a new control.
  RECT cell{};
  ListView_GetSubItemRect(list_, item, column, LVIR_BOUNDS, &cell);
  std::wstring text = ShortenedDescription(Widen(rows_[*row].task.description), kTipLength);
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = list_;
  tool.uId = ++tipTool_;
  tool.rect = cell;
  tool.lpszText = text.data();
  SendMessageW(tip_.Handle(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CategoryList::DropTip() {
  tipRow_.reset();
  if (!tip_.Handle()) return;
  TTTOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = list_;
  tool.uId = tipTool_;
  SendMessageW(tip_.Handle(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool CategoryList::DescriptionCut(size_t row) const {
  HFONT font = descriptionFont_ ? descriptionFont_(rows_[row]) : nullptr;
  return win32::TextWidths(list_, font).Of(Widen(rows_[row].task.description)) +
             2 * TwipsToPixels(kMarginTwips, win32::WindowDpi(list_)) >
         ListView_GetColumnWidth(list_, DescriptionColumn());
}

bool CategoryList::HasSeries() const {
  return std::any_of(rows_.begin(), rows_.end(),
                     [](const TaskRow& row) { return row.repeat != RepeatKind::kNever; });
}

std::wstring CategoryList::MarkCellText(const TaskRow& row, bool drawn) const {
  std::wstring text =
      HasTime() ? Widen(row.task.time) : Widen(ShownDate(row.task.date, win32::UserDate));
  if (row.repeat != RepeatKind::kNever) text += drawn ? kSeriesMark : kSeriesWords;
  return text;
}

bool CategoryList::DrawMarkCell(const NMLVCUSTOMDRAW& draw) const {
  const size_t item = draw.nmcd.dwItemSpec;
  if (draw.iSubItem != MarkColumn() || item >= rows_.size()) return false;
  // The whole column is drawn here, so that its cells line up with each
  // other whatever margin the list view gives its own text.
  const int at = static_cast<int>(item);
  RECT cell{};
  ListView_GetSubItemRect(list_, at, draw.iSubItem, LVIR_LABEL, &cell);
  if (draw.iSubItem == 0) cell.right = cell.left + ListView_GetColumnWidth(list_, 0);
  // The colours of a full-row selection: the highlight while the list has
  // the keyboard, the face of a button when it has not.
  const bool selected = ListView_GetItemState(list_, at, LVIS_SELECTED) != 0;
  const bool focused = GetFocus() == list_;
  COLORREF back = ListView_GetTextBkColor(list_);
  if (back == CLR_NONE || back == CLR_DEFAULT) back = GetSysColor(COLOR_WINDOW);
  COLORREF fore = ListView_GetTextColor(list_);
  if (selected) {
    back = GetSysColor(focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE);
    fore = GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
  }
  HDC dc = draw.nmcd.hdc;
  SetBkColor(dc, back);
  ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &cell, nullptr, 0, nullptr);
  SetTextColor(dc, fore);
  SetBkMode(dc, TRANSPARENT);
  std::wstring text = MarkCellText(rows_[item], true);
  cell.left += TwipsToPixels(kCellTextTwips, win32::WindowDpi(list_));
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &cell,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  return true;
}

void CategoryList::Show() {
  DropTip();
  const Batch batch(*this);
  ListView_DeleteAllItems(list_);
  for (size_t i = 0; i < rows_.size(); ++i) {
    const TaskRow& row = rows_[i];
    // A task of a series carries the sign after its time, or after its
    // date where the view has no time.
    std::wstring date =
        HasTime() ? Widen(ShownDate(row.task.date, win32::UserDate)) : MarkCellText(row, false);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = date.data();
    const int at =
        static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (HasTime()) SetCell(list_, at, Index(SortColumn::kTime), MarkCellText(row, false));
    SetCell(list_, at, Index(SortColumn::kDescription), Widen(row.task.description));
  }
  if (!HasTime() && HasSeries()) FitDateAndTime(win32::WindowDpi(list_));
}

}  // namespace ordalis
