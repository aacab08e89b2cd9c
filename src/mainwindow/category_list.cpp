#include "mainwindow/category_list.h"

#include <commctrl.h>

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

constexpr double kTimeTwips = 1000, kDescriptionTwips = 3910.1104;
constexpr SortColumn kColumns[] = {SortColumn::kDate, SortColumn::kTime, SortColumn::kDescription};

void InsertColumn(HWND list, int index, const wchar_t* header, double twips, UINT dpi) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = const_cast<wchar_t*>(header);
  column.cx = TwipsToPixels(twips, dpi);
  column.iSubItem = index;
  SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

void SetCell(HWND list, int item, int column, const std::string& text) {
  if (column < 0) return;
  std::wstring wide = Widen(text);
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.pszText = wide.data();
  SendMessageW(list, LVM_SETITEMTEXTW, item, reinterpret_cast<LPARAM>(&cell));
}

}  // namespace

void CategoryList::Attach(HWND listView, UINT dpi) {
  list_ = listView;
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  // The task's key stays with its row, not in a column of no width that a
  // screen reader would read out as one.
  InsertColumn(list_, 0, L"Datum", 1200, dpi);
  InsertColumn(list_, 1, L"Uhrzeit", kTimeTwips, dpi);
  InsertColumn(list_, 2, L"Beschreibung", kDescriptionTwips, dpi);
}

void CategoryList::SetView(Category view, UINT dpi) {
  const bool hadTime = HasTime();
  view_ = view;
  // The rows are shown again after a change of view, so the cells of a
  // column taken out or put back need no care here. Every view sets its
  // widths of the time and the description again.
  if (hadTime && !HasTime()) ListView_DeleteColumn(list_, 1);
  if (!hadTime && HasTime()) InsertColumn(list_, 1, L"Uhrzeit", kTimeTwips, dpi);
  if (HasTime()) SetColumnWidthTwips(SortColumn::kTime, kTimeTwips, dpi);
  SetColumnWidthTwips(SortColumn::kDescription,
                      HasTime() ? kDescriptionTwips : kDescriptionTwips + kTimeTwips, dpi);
  FitDateAndTime(dpi);
}

void CategoryList::FitDateAndTime(UINT dpi) {
  // The widest digits and the column's heading as the list's font draws
  // them, with the margins of a cell and (larger) of a heading.
  const int margin = TwipsToPixels(120, dpi);
  int gained = 0;
  for (const auto& [column, sample, heading] :
       {std::tuple{Index(SortColumn::kDate), L"88-88-8888", L"Datum"},
        std::tuple{Index(SortColumn::kTime), L"88:88", L"Uhrzeit"}}) {
    if (column < 0) continue;
    const int needed = std::max(ListView_GetStringWidth(list_, sample) + margin,
                                ListView_GetStringWidth(list_, heading) + 2 * margin);
    const int width = ListView_GetColumnWidth(list_, column);
    if (width >= needed) continue;
    ListView_SetColumnWidth(list_, column, needed);
    gained += needed - width;
  }
  // The description gives up what the others gained, down to a third of
  // its width, so that it mostly stays in view.
  const int description = ListView_GetColumnWidth(list_, Index(SortColumn::kDescription));
  if (gained > 0 && description > 0) {
    ListView_SetColumnWidth(list_, Index(SortColumn::kDescription),
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
  for (const SortColumn column : kColumns) {
    SetColumnWidthTwips(column, ColumnWidthTwips(column, oldDpi), newDpi);
  }
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
    SetCell(list_, at, Index(SortColumn::kTime), row.task.time);
    SetCell(list_, at, Index(SortColumn::kDescription), row.task.description);
  }
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

}  // namespace ordalis
