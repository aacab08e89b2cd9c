// "Neue Aufgabe von überall": a system-wide key opens the task editor in
// front of the program the user works in; the main window stays where it
// is, and the keyboard goes back to that program afterwards.
#include "mainwindow/main_window.h"
#include "win32/text.h"

namespace ordalis {

namespace {
constexpr wchar_t kAddItem[] = L"Aufgabe &hinzufügen…";
}  // namespace

bool MainWindow::RegisterQuickAdd() {
  HWND hwnd = Handle();
  UnregisterHotKey(hwnd, kQuickAddHotKey);
  const unsigned key = session_.settings.QuickAddKey();
  session_.quickAddTaken =
      key != 0 &&
      !RegisterHotKey(hwnd, kQuickAddHotKey, QuickAddModifiers(key) | MOD_NOREPEAT, key & 0xFFu);
  // The icon's menu names the key only while it works.
  std::wstring item = kAddItem;
  const std::string keyText = QuickAddKeyText(key);
  if (key != 0 && !session_.quickAddTaken && !keyText.empty()) {
    item += L"\t" + win32::Widen(keyText);
  }
  ModifyMenuW(menu_.get(), IDM_NEU, MF_BYCOMMAND | MF_STRING, IDM_NEU, item.c_str());
  return !session_.quickAddTaken;
}

void MainWindow::QuickAdd() {
  if (session_.ended) return;
  // A second press while the editor (or any question) is open brings it
  // to the front.
  if (Busy()) {
    BringWaitingDialogToFront();
    return;
  }
  HWND working = GetForegroundWindow();
  if (!Unlock()) return;  // the prompt comes first
  // The category as the icon's "Aufgabe hinzufügen…" chooses it; before the
  // window was ever shown, "Wichtiges".
  Category category = session_.windowShown ? SelectedCategory() : Category::Important;
  if (category == Category::All) category = Category::Important;
  if (const std::optional<NewTask> added = AskNewTask(category)) {
    const SaveResult result = session_.store.Add(category, added->task, added->rule);
    if (result != SaveResult::kSaved) {
      ReportSaveFailure(result, &added->task);
    } else if (IsWindowVisible(Handle())) {
      ReloadView();
    } else {
      FollowFile();
    }
  }
  if (working && working != Handle() && IsWindow(working)) SetForegroundWindow(working);
}

}  // namespace ordalis
