#include "mainwindow/category_list.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "win32/dpi.h"
#include "win32/text.h"

namespace ordalis {

using win32::PixelsToTwips;
using win32::TwipsToPixels;
using win32::Widen;

namespace {

constexpr int kColumnDate = 0, kColumnTime = 1, kColumnDescription = 2;

void SetCell(HWND list, int item, int column, const std::string& text) {
  std::wstring wide = Widen(text);
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = wide.data();
  SendMessageW(list, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

CategoryList::~CategoryList() {
  if (header_) RemoveWindowSubclass(header_, HeaderProc, 0);
}

void CategoryList::Attach(HWND listView, UINT dpi) {
  list_ = listView;
  header_ = ListView_GetHeader(list_);
  if (header_) SetWindowSubclass(header_, HeaderProc, 0, reinterpret_cast<DWORD_PTR>(this));
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  struct Column {
    const wchar_t* header;
    double twips;
  };
  // The task's key stays with its row, not in a column of no width that a
  // screen reader would read out as one.
  static constexpr Column kColumns[] = {
      {L"Datum", 1200}, {L"Uhrzeit", 1000}, {L"Beschreibung", 3910.1104}};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = const_cast<wchar_t*>(kColumns[i].header);
    column.cx = TwipsToPixels(kColumns[i].twips, dpi);
    column.iSubItem = i;
    SendMessageW(list_, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void CategoryList::SetView(Category view, UINT dpi) {
  view_ = view;
  const bool others = view == Category::Others;
  SetColumnWidthTwips(kColumnTime, others ? 0 : 1000, dpi);
  SetColumnWidthTwips(kColumnDescription, others ? 4910.1104 : 3910.1104, dpi);
  FitDateAndTime(dpi);
}

void CategoryList::FitDateAndTime(UINT dpi) {
  // The widest digits and the column's heading as the list's font draws
  // them, with the margins of a cell and (larger) of a heading.
  const int margin = TwipsToPixels(120, dpi);
  int gained = 0;
  for (const auto& [column, sample, heading] : {std::tuple{kColumnDate, L"88-88-8888", L"Datum"},
                                                std::tuple{kColumnTime, L"88:88", L"Uhrzeit"}}) {
    if (ColumnIsHidden(column)) continue;
    const int needed = std::max(ListView_GetStringWidth(list_, sample) + margin,
                                ListView_GetStringWidth(list_, heading) + 2 * margin);
    const int width = ListView_GetColumnWidth(list_, column);
    if (width >= needed) continue;
    ListView_SetColumnWidth(list_, column, needed);
    gained += needed - width;
  }
  // The description gives up what the others gained, down to a third of
  // its width, so that it mostly stays in view.
  const int description = ListView_GetColumnWidth(list_, kColumnDescription);
  if (gained > 0 && description > 0) {
    ListView_SetColumnWidth(list_, kColumnDescription,
                            std::max(description - gained, description / 3));
  }
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

size_t CategoryList::Add(TaskRow row) {
  const size_t at = InsertPosition(rows_, row.task, order_);
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), std::move(row));
  Show();
  return at;
}

void CategoryList::Remove(size_t position) {
  if (position >= rows_.size()) return;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(position));
  Show();
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

int CategoryList::ColumnWidthTwips(int column, UINT dpi) const {
  return PixelsToTwips(ListView_GetColumnWidth(list_, column), dpi);
}

void CategoryList::SetColumnWidthTwips(int column, double twips, UINT dpi) {
  ListView_SetColumnWidth(list_, column, TwipsToPixels(twips, dpi));
}

void CategoryList::Rescale(UINT oldDpi, UINT newDpi) {
  for (int column = kColumnDate; column <= kColumnDescription; ++column) {
    SetColumnWidthTwips(column, ColumnWidthTwips(column, oldDpi), newDpi);
  }
}

bool CategoryList::ColumnIsHidden(int column) const {
  return column == kColumnTime && view_ == Category::Others;
}

bool CategoryList::OnHiddenDivider(HWND header, LPARAM point) const {
  HDHITTESTINFO hit{};
  hit.pt = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
  SendMessageW(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  return (hit.flags & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) && hit.iItem >= 0 &&
         ColumnIsHidden(hit.iItem);
}

LRESULT CALLBACK CategoryList::HeaderProc(HWND header, UINT message, WPARAM wParam, LPARAM lParam,
                                          UINT_PTR, DWORD_PTR self) {
  auto* list = reinterpret_cast<CategoryList*>(self);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (list->OnHiddenDivider(header, lParam)) return 0;
      break;
    case WM_SETCURSOR: {
      // No sizing cursor where nothing can be sized.
      POINT point{};
      GetCursorPos(&point);
      ScreenToClient(header, &point);
      if (LOWORD(lParam) == HTCLIENT &&
          list->OnHiddenDivider(header, MAKELPARAM(point.x, point.y))) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
      }
      break;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(header, HeaderProc, 0);
      list->header_ = nullptr;
      break;
    default: break;
  }
  return DefSubclassProc(header, message, wParam, lParam);
}

void CategoryList::Show() {
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list_);
  for (size_t i = 0; i < rows_.size(); ++i) {
    const TaskRow& row = rows_[i];
    std::wstring date = Widen(row.task.date);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(i);
    item.pszText = date.data();
    const int at =
        static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    SetCell(list_, at, kColumnTime, row.task.time);
    SetCell(list_, at, kColumnDescription, row.task.description);
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

}  // namespace ordalis
