#pragma once
// LDaten: the report-view list of one category. It keeps the rows it shows
// in their order, so the list on screen is the working copy of the category.
// Dates show as the user reads them; the rows stay sorted by the stored date.
#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "storage/task_order.h"
#include "storage/task_file.h"
#include "tooltips/tooltips_class.h"

namespace ordalis {

class CategoryList {
 public:
  CategoryList() = default;
  CategoryList(const CategoryList&) = delete;
  CategoryList& operator=(const CategoryList&) = delete;
  ~CategoryList();

  // Columns "Datum", "Uhrzeit", "Beschreibung"; each row keeps its key. A
  // description cut in its cell shows in full in a tip.
  void Attach(HWND listView, UINT dpi);
  HWND Handle() const { return list_; }

  // While one lives, the list takes changes of its columns and rows without
  // redrawing or working out its scroll bars after each; when the last one
  // ends it does both once, and the description takes the rest then.
  class Batch {
   public:
    explicit Batch(CategoryList& list);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    CategoryList& list_;
  };

  // The columns of a view and their widths: "Sonstiges" has no time column
  // (rather than one of no width, which a screen reader would still read).
  void SetView(Category view, UINT dpi);
  Category View() const { return view_; }
  // Widens the date and time columns where the list's font needs it for the
  // widest date of the user's form and a full time, each with a series'
  // sign where the view shows one there.
  void FitDateAndTime(UINT dpi);
  // The description takes the rest of the list's width (at least what its
  // heading needs), whatever the other columns, the scroll bar or the DPI;
  // during a batch, at its end.
  void FillDescription();
  // The font a row's description is drawn in, for the tip to tell whether
  // it is cut; the list's own font when it gives none.
  void SetDescriptionFont(std::function<HFONT(const TaskRow&)> font) {
    descriptionFont_ = std::move(font);
  }
  // The tooltip window of the cut descriptions.
  HWND Tip() const { return tip_.Handle(); }
  // The column that carries a series' sign (the time's, or the date's where
  // the view has no time): its cells hold words for a screen reader, and the
  // list's custom draw lets this draw the sign instead. False for any other
  // cell.
  int MarkColumn() const { return HasTime() ? Index(SortColumn::kTime) : 0; }
  bool DrawMarkCell(const NMLVCUSTOMDRAW& draw) const;
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
  bool HasSeries() const;
  // The text of a row's cell in the mark column: as drawn, or as held.
  std::wstring MarkCellText(const TaskRow& row, bool drawn) const;
  static LRESULT CALLBACK ListProcedure(HWND, UINT, WPARAM, LPARAM);
  // The tip follows the mouse from cell to cell: a tool of its own for the
  // cut description under it, none elsewhere.
  void EnsureTip();
  void TipAt(POINT point);
  void DropTip();
  bool DescriptionCut(size_t row) const;

  HWND list_ = nullptr;
  Tooltips_Class tip_;
  std::optional<size_t> tipRow_;
  UINT_PTR tipTool_ = 0;
  bool filling_ = false;
  int batches_ = 0;  // the Batch objects alive
  std::function<HFONT(const TaskRow&)> descriptionFont_;
  std::vector<TaskRow> rows_;
  SortColumn order_ = SortColumn::kDate;
  Category view_ = Category::Important;
};

}  // namespace ordalis
