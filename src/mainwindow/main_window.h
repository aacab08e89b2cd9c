#pragma once
// The main window: the category tabs over the task list, the task buttons,
// the reminder modes and the close button.
#include <windows.h>

#include <set>
#include <string>

#include "mainwindow/category_list.h"
#include "storage/task_file.h"
#include "win32/handles.h"
#include "win32/window.h"

namespace ordalis {

// Control ids of the main window. "Schließen" is the window's cancel
// button, so Esc presses it.
enum MainWindowControl : int {
  IDC_TABSTRIP = 1001,
  IDC_LDATEN,
  IDC_BHINZUFUEGEN,
  IDC_BBEARBEITEN,
  IDC_BLOESCHEN,
  IDC_FRAME1,
  IDC_OWECKER1,
  IDC_OWECKER2,
  IDC_OWECKER3,
  IDC_BOPTIONEN,
  IDC_BBEENDEN = IDCANCEL,
};

inline constexpr wchar_t kMainWindowCaption[] = L"Ordalis ";

class MainWindow : public win32::Window {
 public:
  // `dataPath` names the data file in messages to the user.
  MainWindow(TaskFiles& files, std::wstring dataPath)
      : files_(files), dataPath_(std::move(dataPath)) {}

  // Creates the window hidden, with "Wichtiges" selected and loaded.
  bool Create();
  // Marks a tab as selected and loads its category, as a click on it does.
  void SelectTab(Category category);
  Category SelectedCategory() const;
  CategoryList& List() { return list_; }

  // Rewrites the selected category from the list. A change that could not
  // be stored is reported to the user; the list keeps it.
  SaveResult WriteDatabase();

  // The main window's own keys before the dialog manager sees them: the
  // access keys of the tabs and Ctrl+Tab. True when the key was used.
  bool PreTranslate(const MSG& msg);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Form_Load();
  void TabStrip_Click();
  void LDaten_ColumnClick(int column);
  void bBeenden_Click();
  void SetViewButtons(Category view);
  void ReportUnreadable(const std::vector<UnreadableEntry>& entries);
  void ReportSaveFailure(SaveResult result);
  void Layout();
  LRESULT OnNotify(const NMHDR& header);

  TaskFiles& files_;
  CategoryList list_;
  UINT dpi_ = 96;
  win32::UniqueFont font_;
  win32::UniqueFont listFont_;
  std::set<UnreadableEntry> reported_;  // each damaged entry is told once a run
  std::wstring dataPath_;
};

}  // namespace ordalis
