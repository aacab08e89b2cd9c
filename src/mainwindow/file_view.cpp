// The list as the data file holds it: loading a tab, showing the file after
// each action, following changes other programs make, and telling the user
// what could not be read or stored.
#include "mainwindow/main_window.h"

#include <utility>

#include "mainwindow/restore_dialog.h"
#include "storage/backup_history.h"
#include "storage/scrambler.h"
#include "win32/text.h"
#include "win32/user_date.h"

namespace ordalis {

using win32::Widen;

namespace {
std::wstring TaskCountText(size_t tasks) {
  return std::to_wstring(tasks) + (tasks == 1 ? L" Aufgabe" : L" Aufgaben");
}
// "3 offenen und 1 erledigten Aufgabe", as "mit" asks for it.
std::wstring OpenAndDoneText(size_t open, size_t done) {
  std::wstring text = std::to_wstring(open) + L" offenen ";
  if (done > 0) text += L"und " + std::to_wstring(done) + L" erledigten ";
  return text + ((done > 0 ? done : open) == 1 ? L"Aufgabe" : L"Aufgaben");
}
}  // namespace

void MainWindow::TabStrip_Click() {
  // The tab the user chose; from here on the list's view is the category.
  const Category view = ChosenTab();
  SetViewButtons(view);
  // While the password is pending no task reaches the list.
  const bool locked = session_.lock.Pending();
  std::optional<CategoryLoad> load;
  try {
    if (!locked) load = session_.store.Load(view);
  } catch (...) {
  }
  if (load) session_.notices.AddOddForms(load->rows);
  {
    // The view's columns and its rows: the list redraws and sizes its
    // description once, for both. Never a tab over another category's rows,
    // and never an empty list for a file that could not be read: the tab
    // shows none and says why.
    const CategoryList::Batch batch(list_);
    list_.SetView(view, dpi_);
    list_.SetRows(load ? std::move(load->rows) : std::vector<TaskRow>{});
  }
  if (locked) {
    UpdateEditButtons();
    return;
  }
  if (!load) {
    ShowUnreadable();
    return;
  }
  KillTimer(Handle(), kTimerRetryRead);
  session_.unreadableTold = false;
  EnableWindow(list_.Handle(), TRUE);
  UpdateEditButtons();
  session_.notices.Add(load->unreadable, load->hidden > 0);
  TellWaitingIfSeen();
  // Only a window that has the keyboard gives it to the list: one a
  // reminder showed quietly leaves it with the program the user types in.
  if (IsWindowVisible(Handle()) && GetActiveWindow() == Handle()) SetFocus(list_.Handle());
}

void MainWindow::TellWaitingIfSeen() {
  // A message box to a window nobody looks at would hold up the start with
  // Windows, and one over another program would take its keyboard: it
  // waits until the user activates the window.
  if (!session_.notices.Waiting() || session_.ended) return;
  if (Busy()) {
    session_.gate.Hold(HeldEvent::kTells);
    return;
  }
  if (!Seen()) return;
  const Notices::Tell tell = session_.notices.Take();
  // One message for a load, and never again for an entry already told.
  if (tell.damaged) {
    Ask(Widen(kScrambleRefusedText), Widen(kScrambleRefusedTitle).c_str(),
        MB_OK | MB_ICONEXCLAMATION);
  }
  if (!tell.oddForms.empty()) {
    Ask(Widen(OddFormsText(tell.oddForms)), kMainWindowCaption, MB_OK | MB_ICONINFORMATION);
  }
  // Entries the list cannot show stay in the file; the user hears of them
  // once a run.
  if (tell.hidden) Ask(Widen(kHiddenEntriesText), kMainWindowCaption, MB_OK | MB_ICONINFORMATION);
  // The task was reminded all the same, and is not again this run.
  if (tell.flagFailure) ReportSaveFailure(*tell.flagFailure);
}

void MainWindow::ShowUnreadable() {
  HWND hwnd = Handle();
  EnableWindow(list_.Handle(), FALSE);
  EnableWindow(Item(IDC_BHINZUFUEGEN), FALSE);
  EnableWindow(Item(IDC_BBEARBEITEN), FALSE);
  EnableWindow(Item(IDC_BLOESCHEN), FALSE);
  // Read again every two seconds while the window shows, until it works.
  SetTimer(hwnd, kTimerRetryRead, 2000, nullptr);
  // Told to a user who looks at the window, never over another program.
  if (session_.unreadableTold || !Seen()) return;
  session_.unreadableTold = true;
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
  if (!session_.store.Readable()) return false;
  if (order != SortColumn::kDate) list_.SortBy(order);
  // The same task by its key, also when another program changed its text.
  if (kept) {
    if (const auto at = list_.FindKey(kept->category, kept->key)) list_.Select(*at);
  }
  UpdateEditButtons();
  FollowFile();
  return true;
}

void MainWindow::ShowStored(SaveResult result, Category stored, size_t fallbackRow,
                            const Task* typed) {
  const std::string key = session_.store.StoredKey();
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

void MainWindow::ReportSaveFailure(SaveResult result, const Task* typed, HWND owner) {
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
    case SaveResult::kBackupGone:
      text =
          L"Die gewählte Sicherung ist nicht mehr vorhanden oder kann nicht gelesen werden. Die "
          L"Aufgaben wurden nicht verändert. ";
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
  const auto asking = session_.gate.Ask();
  MessageBoxW(owner ? owner : Handle(), text.c_str(), Widen(kScrambleRefusedTitle).c_str(),
              MB_OK | MB_ICONEXCLAMATION);
}

void MainWindow::OnFolderChanged() {
  // A program writes a file in several steps: look once they are done.
  SetTimer(Handle(), kTimerOutsideChange, 300, nullptr);
}

void MainWindow::CheckOutsideChange() {
  // Nothing reloads under a question, and no task shows before the password
  // (the unlock fills the list).
  if (Busy()) {
    session_.gate.Hold(HeldEvent::kOutsideChange);
    return;
  }
  FollowFile();
  if (session_.lock.Pending()) return;
  // A hidden window reads the file when it shows again.
  if (!IsWindowVisible(Handle()) || IsIconic(Handle())) return;
  if (!session_.store.Readable() || session_.store.ChangedOutside()) ReloadView();
}

void MainWindow::mSicherung_Click(HWND owner) {
  if (!owner) owner = Handle();
  const auto asking = session_.gate.Ask();
  const auto ask = [owner](const std::wstring& text, const wchar_t* caption, UINT style) {
    return MessageBoxW(owner, text.c_str(), caption, style);
  };
  const std::vector<BackupEntry> backups = session_.store.Backups();
  if (backups.empty()) {
    ask(L"Es gibt noch keine Sicherung. Ordalis legt vor jeder Änderung der Aufgaben eine an. ",
        kRestoreCaption, MB_OK | MB_ICONINFORMATION);
    return;
  }
  const std::optional<std::string> chosen = ChooseBackup(owner, backups);
  if (!chosen) return;
  BackupEntry counts;
  for (const BackupEntry& entry : backups) {
    if (entry.name == *chosen) counts = entry;
  }
  const std::wstring question = L"Möchten Sie die Sicherung vom " +
                                Widen(BackupLabel(*chosen, win32::UserDate)) + L" mit " +
                                OpenAndDoneText(counts.tasks, counts.done) +
                                L" wiederherstellen?\n\nDer jetzige Stand wird vorher "
                                L"gesichert und kann ebenso wiederhergestellt werden. ";
  if (ask(question, kMainWindowCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  const SaveResult result = session_.store.Restore(*chosen, RemindedAtRestore());
  if (result != SaveResult::kSaved) ReportSaveFailure(result, nullptr, owner);
  ReloadView();
}

TaskStore::RemindedRows MainWindow::RemindedAtRestore() {
  return [now = s_.clock.Now()](std::string_view text) {
    return PassedTasks(ReminderTasksOf(text).important, now);
  };
}

void MainWindow::OfferRestore() {
  if (std::exchange(session_.restoreOffered, true)) return;  // once a run
  const std::optional<TaskStore::RestoreOffer> offer = session_.store.RestoreCandidate();
  if (!offer) return;
  const std::wstring question =
      L"Die Datei\n" + s_.dataPath +
      (offer->missing ? L"\nfehlt."
                      : L"\nist leer, oder keine ihrer Aufgaben kann gelesen werden.") +
      L" Die Sicherung vom " + Widen(BackupLabel(offer->name, win32::UserDate)) + L" enthält " +
      TaskCountText(offer->tasks) +
      L".\n\nMöchten Sie diese Sicherung wiederherstellen? Der jetzige Stand wird "
      L"vorher gesichert. ";
  if (Ask(question, kMainWindowCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  const SaveResult result = session_.store.Restore(offer->name, RemindedAtRestore());
  if (result != SaveResult::kSaved) ReportSaveFailure(result);
}

}  // namespace ordalis
