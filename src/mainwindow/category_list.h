#pragma once
// LDaten: the report-view list of one category. It keeps the rows it shows
// in their order, so the list on screen is the working copy of the category.
#include <windows.h>

#include <optional>
#include <string_view>
#include <vector>

#include "storage/task_order.h"
#include "storage/task_file.h"

namespace ordalis {

class CategoryList {
 public:
  CategoryList() = default;
  CategoryList(const CategoryList&) = delete;
  CategoryList& operator=(const CategoryList&) = delete;

  // Columns "Datum", "Uhrzeit", "Beschreibung"; each row keeps its key.
  void Attach(HWND listView, UINT dpi);
  HWND Handle() const { return list_; }

  // The columns of a view and their widths: "Sonstiges" has no time column
  // (rather than one of no width, which a screen reader would still read).
  void SetView(Category view, UINT dpi);
  Category View() const { return view_; }
  // Widens the date and time columns where the list's font needs it for a
  // full date and time; the description gives up the room.
  void FitDateAndTime(UINT dpi);
  // The description's column in the list view.
  int DescriptionColumn() const { return Index(SortColumn::kDescription); }
  // Shows the rows sorted by date.
  void SetRows(std::vector<TaskRow> rows);
  void SortBy(SortColumn column);
  SortColumn Order() const { return order_; }

  const std::vector<TaskRow>& Rows() const { return rows_; }
  std::optional<size_t> Selected() const;
  // The position of the row that is this task: the same category, key,
  // date, time and description.
  std::optional<size_t> Find(const TaskRow& row) const;
  // The position of the row stored under this key of this category, whatever
  // its text now.
  std::optional<size_t> FindKey(Category category, std::string_view key) const;
  void Select(size_t position);

  // Columns are named by what they show, whichever place the view gives
  // them; the column at a place in the header, if any.
  std::optional<SortColumn> ColumnAt(int index) const;
  // Column widths in twips, as they are stored; a column the view lacks
  // has none.
  int ColumnWidthTwips(SortColumn column, UINT dpi) const;
  void SetColumnWidthTwips(SortColumn column, double twips, UINT dpi);
  // Keeps every column's width in twips when the window moves to a new DPI.
  void Rescale(UINT oldDpi, UINT newDpi);

 private:
  bool HasTime() const { return view_ != Category::Others; }
  // The column's place in the list view, -1 when the view lacks it.
  int Index(SortColumn column) const;
  void Show();

  HWND list_ = nullptr;
  std::vector<TaskRow> rows_;
  SortColumn order_ = SortColumn::kDate;
  Category view_ = Category::Important;
};

}  // namespace ordalis
