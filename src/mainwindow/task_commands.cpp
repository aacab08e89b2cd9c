#include "mainwindow/main_window.h"

#include "editor/editor_rules.h"
#include "editor/task_editor_dialog.h"
#include "win32/text.h"
#include "win32/wait.h"

namespace ordalis {

using win32::Widen;

namespace {
constexpr wchar_t kMoveQuestion[] =
    L"Möchten Sie den Eintrag zu den erledigten Vorgängen verschieben ?   ";

const wchar_t* CategoryName(Category category) {
  switch (category) {
    case Category::Important: return L"Wichtiges";
    case Category::Others: return L"Sonstiges";
    case Category::Done: return L"Erledigtes";
    case Category::All: break;
  }
  return L"Alles";
}
// The task as a question names it: its description, or what else it has.
std::wstring QuestionName(const Task& task) {
  if (!task.description.empty()) return Widen(task.description);
  std::wstring name = Widen(task.date);
  if (!task.time.empty()) name += (name.empty() ? L"" : L" ") + Widen(task.time);
  return name.empty() ? L"ohne Angaben" : name;
}
}  // namespace

bool MainWindow::HasRoom(Category category, size_t tasks) {
  if (tasks < static_cast<size_t>(kMaxTasks)) return true;
  const std::wstring text = std::wstring(L"Die Kategorie \u201E") + CategoryName(category) +
                            L"\u201C enthält bereits 100 Aufgaben und kann keine weitere "
                            L"aufnehmen. Bitte erledigen oder löschen Sie zuerst eine Aufgabe. ";
  Ask(text, kMainWindowCaption, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

std::optional<size_t> MainWindow::FindAgain(Category view, const TaskRow& row) {
  // Nothing should have changed the list while the user was asked; should
  // anything have, the category is read again and the task looked up.
  if (SelectedCategory() != view) SelectTab(view);
  return list_.Find(row);
}

void MainWindow::BHinzufuegen_Click() {
  if (SelectedCategory() == Category::All) SelectTab(Category::Important);
  const Category view = SelectedCategory();
  if (HasRoom(view, list_.Rows().size())) {
    std::optional<Task> task;
    {
      BusyScope busy(*this);
      task = EditTask(Handle(), {kNewTaskCaption, view != Category::Others, std::nullopt},
                      {s_.settings, s_.sound, s_.clock});
    }
    if (task) {
      if (SelectedCategory() != view) SelectTab(view);
      list_.Add({*task, view, ""});
      WriteDatabase();
    }
  }
  UpdateEditButtons();
  if (IsWindowVisible(Handle())) SetFocus(list_.Handle());
}

void MainWindow::BBearbeiten_Click() {
  const auto selected = list_.Selected();
  if (!selected) return;
  const TaskRow row = list_.Rows()[*selected];
  const Category view = SelectedCategory();
  std::optional<Task> task;
  {
    BusyScope busy(*this);
    task = EditTask(Handle(),
                    {kEditTaskCaption, view != Category::Others,
                     SplitForEditor(row.task.date, row.task.time, row.task.description)},
                    {s_.settings, s_.sound, s_.clock});
  }
  const std::optional<size_t> at = FindAgain(view, row);
  if (task && at) {
    // The changed task is armed again; its flag is the one under its key.
    if (row.category == Category::Important && !row.key.empty()) {
      WriteReminderFlag(s_.files, row.key, 'A');
    }
    list_.Remove(*at);
    list_.Add({*task, view, ""});
  }
  WriteDatabase();
  UpdateEditButtons();
  SetFocus(list_.Handle());
}

void MainWindow::BLoeschen_Click() {
  const auto selected = list_.Selected();
  if (selected) {
    const TaskRow row = list_.Rows()[*selected];
    const Category view = SelectedCategory();
    const std::wstring text =
        L"Möchten Sie den Eintrag ''" + QuestionName(row.task) + L"'' löschen ? ";
    if (Ask(text, kMainWindowCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
      if (const auto at = FindAgain(view, row)) {
        list_.Remove(*at);
        list_.Select(0);
        WriteDatabase();
      }
    }
  }
  UpdateEditButtons();
  SetFocus(list_.Handle());
}

void MainWindow::LDaten_DblClick() {
  if (SelectedCategory() == Category::All) {
    const auto selected = list_.Selected();
    if (!selected) return;
    const TaskRow row = list_.Rows()[*selected];
    SelectTab(row.category == Category::Important ? Category::Important : Category::Others);
    // The same task in its own category: by its key, date and description
    // (and time, for an important task), not by the description alone.
    const auto& rows = list_.Rows();
    std::optional<size_t> found;
    for (size_t i = 0; i < rows.size() && !found; ++i) {
      const Task& task = rows[i].task;
      if (rows[i].key == row.key && task.date == row.task.date &&
          task.description == row.task.description &&
          (row.category != Category::Important || task.time == row.task.time)) {
        found = i;
      }
    }
    if (!found) return;
    list_.Select(*found);
  }
  BBearbeiten_Click();
}

void MainWindow::LDaten_RightClick() {
  const Category view = SelectedCategory();
  if (view == Category::Done) return;
  // The task is the one selected when the user asked, wherever it is then.
  const auto selected = list_.Selected();
  const std::optional<TaskRow> noted =
      selected ? std::optional<TaskRow>(list_.Rows()[*selected]) : std::nullopt;
  if (Ask(kMoveQuestion, L" Erledigter Vorgang", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  if (!noted || !FindAgain(view, *noted)) return;
  const TaskRow row = *noted;
  if (!HasRoom(Category::Done, LoadCategory(s_.files.Data(), Category::Done).rows.size())) return;
  // "Erledigtes" takes the task first, then its own category lets it go:
  // should a write fail, the task is never lost.
  SelectTab(Category::Done);
  list_.Add({row.task, Category::Done, ""});
  if (WriteDatabase() != SaveResult::kSaved) return;
  std::vector<TaskRow> rows = LoadCategory(s_.files.Data(), row.category).rows;
  for (auto at = rows.begin(); at != rows.end(); ++at) {
    if (at->key == row.key && at->task.date == row.task.date &&
        at->task.description == row.task.description) {
      rows.erase(at);
      const SaveResult result = WriteCategory(s_.files, row.category, rows);
      if (result != SaveResult::kSaved) ReportSaveFailure(result);
      break;
    }
  }
  UpdateEditButtons();
  win32::ProcessPendingMessages();
}

}  // namespace ordalis
