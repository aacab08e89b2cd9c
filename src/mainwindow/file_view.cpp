// The list as the data file holds it: loading a tab, showing the file after
// each action, following changes other programs make, and telling the user
// what could not be read or stored.
#include "mainwindow/main_window.h"

#include <utility>

#include "mainwindow/restore_dialog.h"
#include "storage/backup_history.h"
#include "storage/scrambler.h"
#include "win32/text.h"

namespace ordalis {

using win32::Widen;

void MainWindow::TabStrip_Click() {
  const Category view = SelectedCategory();
  list_.SetView(view, dpi_);
  SetViewButtons(view);
  // While the password is pending no task reaches the list.
  if (authPending_) {
    list_.SetRows({});
    UpdateEditButtons();
    return;
  }
  std::optional<CategoryLoad> load;
  try {
    load = store_.Load(view);
  } catch (...) {
  }
  // Never a tab over another category's rows, and never an empty list for
  // a file that could not be read: the tab shows none and says why.
  list_.SetRows(load ? std::move(load->rows) : std::vector<TaskRow>{});
  if (!load) {
    ShowUnreadable();
    return;
  }
  KillTimer(Handle(), kTimerRetryRead);
  unreadableTold_ = false;
  EnableWindow(list_.Handle(), TRUE);
  UpdateEditButtons();
  TellAboutLoad(load->unreadable, load->hidden > 0);
  if (IsWindowVisible(Handle()) && !quiet_) SetFocus(list_.Handle());
}

void MainWindow::TellAboutLoad(const std::vector<UnreadableEntry>& entries, bool hidden) {
  waitingTells_.insert(waitingTells_.end(), entries.begin(), entries.end());
  hiddenWaiting_ |= hidden;
  TellWaitingIfSeen();
}

void MainWindow::TellWaitingIfSeen() {
  // A message box to a window nobody looks at would hold up the start with
  // Windows, and one over another program would take its keyboard: it
  // waits until the user activates the window.
  if (Busy() || ended_ || !Seen()) return;
  ReportUnreadable(std::exchange(waitingTells_, {}));
  // Entries the list cannot show stay in the file; the user hears of them
  // once a run.
  if (std::exchange(hiddenWaiting_, false) && !hiddenReported_) {
    hiddenReported_ = true;
    Ask(Widen(kHiddenEntriesText), kMainWindowCaption, MB_OK | MB_ICONINFORMATION);
  }
}

void MainWindow::ShowUnreadable() {
  HWND hwnd = Handle();
  EnableWindow(list_.Handle(), FALSE);
  EnableWindow(GetDlgItem(hwnd, IDC_BHINZUFUEGEN), FALSE);
  EnableWindow(GetDlgItem(hwnd, IDC_BBEARBEITEN), FALSE);
  EnableWindow(GetDlgItem(hwnd, IDC_BLOESCHEN), FALSE);
  // Read again every two seconds while the window shows, until it works.
  SetTimer(hwnd, kTimerRetryRead, 2000, nullptr);
  // Told to a user who looks at the window, never over another program.
  if (unreadableTold_ || !Seen()) return;
  unreadableTold_ = true;
  Ask(L"Die Aufgaben können im Moment nicht gelesen werden, weil die Datei\n" + s_.dataPath +
          L"\nvon einem anderen Programm gesperrt oder gerade nicht vorhanden ist.\n\nOrdalis "
          L"zeigt die Aufgaben, sobald die Datei wieder gelesen werden kann. Bis dahin wird "
          L"keine Änderung gespeichert. ",
      kMainWindowCaption, MB_OK | MB_ICONEXCLAMATION);
}

bool MainWindow::ReloadView() {
  const std::optional<size_t> selected = list_.Selected();
  const std::optional<TaskRow> kept =
      selected ? std::optional<TaskRow>(list_.Rows()[*selected]) : std::nullopt;
  const SortColumn order = list_.Order();
  TabStrip_Click();
  if (!store_.Readable()) return false;
  if (order != SortColumn::kDate) list_.SortBy(order);
  // The same task by its key, also when another program changed its text.
  if (kept) {
    if (const auto at = list_.FindKey(kept->category, kept->key)) list_.Select(*at);
  }
  UpdateEditButtons();
  return true;
}

void MainWindow::ShowStored(SaveResult result, Category stored, size_t fallbackRow,
                            const Task* typed) {
  const std::string key = store_.StoredKey();
  if (result != SaveResult::kSaved) ReportSaveFailure(result, typed);
  // The list shows the file's state, never a task that was not stored.
  if (!ReloadView()) return;
  const size_t count = list_.Rows().size();
  if (const auto at = key.empty() ? std::nullopt : list_.FindKey(stored, key)) {
    list_.Select(*at);
  } else if (count > 0) {
    list_.Select(std::min(fallbackRow, count - 1));
  }
  UpdateEditButtons();
}

void MainWindow::ReportUnreadable(const std::vector<UnreadableEntry>& entries) {
  bool anyNew = false;
  for (const UnreadableEntry& entry : entries) anyNew |= reported_.insert(entry).second;
  // One message for a load, and never again for an entry already told.
  if (anyNew) {
    Ask(Widen(kScrambleRefusedText), Widen(kScrambleRefusedTitle).c_str(),
        MB_OK | MB_ICONEXCLAMATION);
  }
}

void MainWindow::ReportSaveFailure(SaveResult result, const Task* typed) {
  std::wstring text;
  switch (result) {
    case SaveResult::kRefused: text = Widen(kScrambleRefusedText); break;
    case SaveResult::kTooMany:
      text =
          L"Eine Kategorie kann höchstens 100 Aufgaben aufnehmen. "
          L"Die Änderung wurde nicht gespeichert. ";
      break;
    case SaveResult::kWriteFailed:
      text = L"Die Änderung wurde nicht gespeichert, weil die Datei\n" + s_.dataPath +
             L"\nnicht geschrieben werden konnte. " +
             Widen(WriteFailureText(s_.files.LastFailure()));
      break;
    case SaveResult::kUnreadable:
      text = L"Die Änderung wurde nicht gespeichert, weil die Datei\n" + s_.dataPath +
             L"\ngerade nicht gelesen werden kann. Ordalis speichert erst wieder, wenn sie "
             L"gelesen werden konnte. ";
      break;
    case SaveResult::kChangedOutside:
      text =
          L"Ein anderes Programm hat diese Aufgabe inzwischen geändert oder gelöscht. Ihre "
          L"Änderung wurde nicht gespeichert; die Liste zeigt jetzt den Stand der Datei. ";
      break;
    case SaveResult::kSaved: return;
  }
  if (typed) {
    text += L"\n\nIhre Eingabe: " + Widen(typed->date);
    if (!typed->time.empty()) text += L" " + Widen(typed->time);
    text += L" " + Widen(typed->description);
  }
  Ask(text, Widen(kScrambleRefusedTitle).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

void MainWindow::OnFolderChanged() {
  folderWatch_.Rearm();
  // A program writes a file in several steps: look once they are done.
  SetTimer(Handle(), kTimerOutsideChange, 300, nullptr);
}

void MainWindow::CheckOutsideChange() {
  // Nothing reloads under a question, and no task shows before the password.
  if (Busy() || authPending_) {
    outsideWaiting_ = true;
    return;
  }
  outsideWaiting_ = false;
  // A hidden window reads the file when it shows again.
  if (!IsWindowVisible(Handle()) || IsIconic(Handle())) return;
  if (!store_.Readable() || store_.ChangedOutside()) ReloadView();
}

void MainWindow::mSicherung_Click(HWND owner) {
  if (!owner) owner = Handle();
  BusyScope busy(*this);
  const auto ask = [owner](const std::wstring& text, const wchar_t* caption, UINT style) {
    return MessageBoxW(owner, text.c_str(), caption, style);
  };
  std::vector<BackupEntry> backups;
  for (std::string& name : s_.files.BackupNames()) {
    const std::optional<std::string> text = s_.files.ReadBackup(name);
    backups.push_back({std::move(name), text ? CountTasks(*text).tasks : 0});
  }
  if (backups.empty()) {
    ask(L"Es gibt noch keine Sicherung. Ordalis legt vor jeder Änderung der Aufgaben eine an. ",
        kRestoreCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  const std::optional<std::string> chosen = ChooseBackup(owner, backups);
  if (!chosen) return;
  size_t tasks = 0;
  for (const BackupEntry& entry : backups) {
    if (entry.name == *chosen) tasks = entry.tasks;
  }
  const std::wstring question = L"Möchten Sie die Sicherung vom " + Widen(BackupLabel(*chosen)) +
                                L" mit " + std::to_wstring(tasks) +
                                L" Aufgaben wiederherstellen?\n\nDer jetzige Stand wird vorher "
                                L"gesichert und kann ebenso wiederhergestellt werden. ";
  if (ask(question, kMainWindowCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  const SaveResult result = store_.Restore(*chosen);
  if (result != SaveResult::kSaved) ReportSaveFailure(result);
  ReloadView();
}

void MainWindow::OfferRestore() {
  if (std::exchange(restoreOffered_, true)) return;  // once a run
  const std::optional<TaskStore::RestoreOffer> offer = store_.RestoreCandidate();
  if (!offer) return;
  const std::wstring question =
      L"Die Datei\n" + s_.dataPath +
      L"\nist leer, oder keine ihrer Aufgaben kann gelesen werden. Die Sicherung vom " +
      Widen(BackupLabel(offer->name)) + L" enthält " + std::to_wstring(offer->tasks) +
      L" Aufgaben.\n\nMöchten Sie diese Sicherung wiederherstellen? Der jetzige Stand wird "
      L"vorher gesichert. ";
  if (Ask(question, kMainWindowCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  const SaveResult result = store_.Restore(offer->name);
  if (result != SaveResult::kSaved) ReportSaveFailure(result);
}

}  // namespace ordalis
