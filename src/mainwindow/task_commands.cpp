#include "mainwindow/main_window.h"

#include "editor/editor_rules.h"
#include "editor/task_editor_dialog.h"
#include "mainwindow/question_text.h"
#include "session/shown_date.h"
#include "win32/handles.h"
#include "win32/text.h"
#include "win32/user_date.h"
#include "win32/wait.h"

namespace ordalis {

using win32::Widen;

namespace {
constexpr wchar_t kMoveCaption[] = L" Als erledigt ablegen";

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
  // A long description is cut, so the question fits the screen.
  if (!task.description.empty()) return ShortenedDescription(Widen(task.description));
  std::wstring name = Widen(ShownDate(task.date, win32::UserDate));
  if (!task.time.empty()) name += (name.empty() ? L"" : L" ") + Widen(task.time);
  return name.empty() ? L"ohne Angaben" : name;
}
}  // namespace

bool MainWindow::HasRoom(Category category, size_t tasks) {
  if (tasks < static_cast<size_t>(kMaxTasks)) return true;
  const std::wstring text =
      std::wstring(L"Die Kategorie \u201E") + CategoryName(category) +
      L"\u201C enthält bereits 100 Aufgaben und kann keine weitere "
      L"aufnehmen. " +
      (category == Category::Done ? L"Bitte löschen Sie zuerst eine erledigte Aufgabe. "
                                  : L"Bitte erledigen oder löschen Sie zuerst eine Aufgabe. ");
  Ask(text, kMainWindowCaption, MB_OK | MB_ICONEXCLAMATION);
  return false;
}

std::optional<MainWindow::NewTask> MainWindow::AskNewTask(Category category) {
  std::optional<Task> task;
  RepeatKind repeat = RepeatKind::kNever;
  {
    const auto asking = session_.gate.Ask();
    task = EditTask(Handle(), {kNewTaskCaption, category != Category::Others, std::nullopt},
                    {session_.settings, s_.sound, s_.clock}, &repeat);
  }
  if (!task) return std::nullopt;
  return NewTask{*task, ChosenRule(repeat, task->date, {}, std::nullopt)};
}

void MainWindow::BHinzufuegen_Click() {
  if (SelectedCategory() == Category::All) SelectTab(Category::Important);
  const Category view = SelectedCategory();
  if (!session_.store.Readable()) {
    ReportSaveFailure(SaveResult::kUnreadable);
  } else if (HasRoom(view, list_.Rows().size())) {
    if (const std::optional<NewTask> added = AskNewTask(view)) {
      if (SelectedCategory() != view) SelectTab(view);
      ShowStored(session_.store.Add(view, added->task, added->rule), view, 0, &added->task);
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
  const std::optional<RepeatRule> old = RuleOf(row);
  RepeatKind repeat = old ? old->kind : RepeatKind::kNever;
  std::optional<Task> task;
  {
    const auto asking = session_.gate.Ask();
    task = EditTask(Handle(),
                    {kEditTaskCaption, view != Category::Others,
                     SplitForEditor(row.task.date, row.task.time, row.task.description)},
                    {session_.settings, s_.sound, s_.clock},
                    row.category == Category::Done ? nullptr : &repeat);
  }
  // "&Abbrechen" writes nothing; "OK" changes the task under its key, as
  // long as no other program changed it meanwhile.
  if (task) {
    if (SelectedCategory() != view) SelectTab(view);
    const std::optional<RepeatRule> rule =
        row.category == Category::Done
            ? std::nullopt
            : std::optional<RepeatRule>(ChosenRule(repeat, task->date, row.task.date, old));
    ShowStored(session_.store.Edit(row, *task, rule), row.category, *selected, &*task);
  }
  UpdateEditButtons();
  SetFocus(list_.Handle());
}

std::optional<RepeatRule> MainWindow::RuleOf(const TaskRow& row) {
  const std::optional<std::string> text = session_.store.ReadNow();
  if (!text) return std::nullopt;
  const RepeatRules rules = RepeatRulesOf(*text);
  const auto rule = rules.find(RepeatKey(row.category, row.key));
  if (rule == rules.end()) return std::nullopt;
  return rule->second;
}

void MainWindow::BLoeschen_Click() {
  const auto selected = list_.Selected();
  if (selected) {
    const TaskRow row = list_.Rows()[*selected];
    const Category view = SelectedCategory();
    std::wstring text = L"Möchten Sie die Aufgabe „" + QuestionName(row.task) + L"“ löschen?";
    if (row.repeat != RepeatKind::kNever)
      text += L"\n\nSie wiederholt sich; mit ihr endet die Wiederholung.";
    if (Ask(text, kMainWindowCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
      if (SelectedCategory() != view) SelectTab(view);
      // Its neighbour takes the selection.
      ShowStored(session_.store.Remove(row), row.category, *selected);
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

void MainWindow::ShowListMenu(POINT at) {
  const auto selected = list_.Selected();
  if (!selected) return;
  if (at.x == -1 && at.y == -1) {
    // From the keyboard: below the selected row's start.
    RECT row{};
    ListView_GetItemRect(list_.Handle(), static_cast<int>(*selected), &row, LVIR_LABEL);
    at = {row.left, row.bottom};
    ClientToScreen(list_.Handle(), &at);
  }
  win32::UniqueMenu menu(CreatePopupMenu());
  AppendMenuW(menu.get(), MF_STRING, IDC_BBEARBEITEN, L"&Bearbeiten…\tEingabe");
  if (SelectedCategory() != Category::Done) {
    AppendMenuW(menu.get(), MF_STRING, IDM_ERLEDIGT, L"Als &erledigt ablegen\tStrg+E");
  }
  // A due or reminded task can come again later.
  const TaskRow row = list_.Rows()[*selected];
  const std::optional<std::string> text = session_.store.ReadNow();
  if (text && ReminderSchedule::Snoozable(row, SnoozesOf(*text), s_.clock.Now())) {
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(SnoozeMenu().release()),
                L"S&päter erinnern");
  }
  AppendMenuW(menu.get(), MF_STRING, IDC_BLOESCHEN, L"&Löschen\tEntf");
  SetMenuDefaultItem(menu.get(), IDC_BBEARBEITEN, FALSE);
  const int command = static_cast<int>(
      TrackPopupMenuEx(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, Handle(), nullptr));
  if (const auto choice = SnoozeChoiceFromNumber(command - IDM_SNOOZE); command && choice) {
    SnoozeTasks({row}, *choice);
  } else if (command) {
    SendMessageW(Handle(), WM_COMMAND, command, 0);
  }
}

void MainWindow::MoveSelectedToDone() {
  const Category view = SelectedCategory();
  if (view == Category::Done) return;
  // The task is the one selected when the user asked, wherever it is then.
  const auto selected = list_.Selected();
  if (!selected) return;
  const TaskRow row = list_.Rows()[*selected];
  const std::wstring question =
      L"Möchten Sie die Aufgabe „" + QuestionName(row.task) + L"“ als erledigt ablegen?";
  if (Ask(question, kMoveCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  if (SelectedCategory() != view) SelectTab(view);
  const std::optional<CategoryLoad> done = session_.store.Load(Category::Done);
  if (done && !HasRoom(Category::Done, done->rows.size())) return;
  // One change takes the task out of its category and into "Erledigtes",
  // where the view then stays with the task selected.
  const SaveResult result = session_.store.MoveToDone(row, s_.clock.Now());
  if (result == SaveResult::kSaved) SelectTab(Category::Done);
  ShowStored(result, SelectedCategory(), *selected);
  UpdateEditButtons();
}

}  // namespace ordalis
