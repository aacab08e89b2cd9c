#include "mainwindow/restore_dialog.h"

#include <commctrl.h>

#include "storage/backup_history.h"
#include "win32/dialog.h"
#include "win32/dpi.h"
#include "win32/text.h"
#include "win32/user_date.h"

namespace ordalis {

namespace {

using win32::ControlSpec;

constexpr ControlSpec kControls[] = {
    {L"STATIC",
     L"Ordalis sichert die Datei vor jeder Änderung. Wählen Sie den Stand, der an die "
     L"Stelle der jetzigen Aufgaben treten soll; der jetzige wird vorher selbst "
     L"gesichert.",
     IDC_RS_TEXT, WS_VISIBLE, 240, 180, 5820, 720},
    // The label names the list for screen readers and gives it Alt+S.
    {L"STATIC", L"&Sicherungen:", IDC_RS_LABEL, WS_VISIBLE, 240, 1020, 5820, 240},
    {WC_LISTVIEWW, L"", IDC_RS_LIST,
     WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
     240, 1290, 5820, 2400, WS_EX_CLIENTEDGE},
    {L"BUTTON", L"&Wiederherstellen", IDOK, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON,
     2700, 3900, 1920, 375},
    {L"BUTTON", L"&Abbrechen", IDCANCEL, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 4740, 3900, 1320,
     375},
};

class RestoreDialog : public win32::Dialog {
 public:
  explicit RestoreDialog(const std::vector<BackupEntry>& backups) : backups_(backups) {}
  std::optional<std::string> chosen;

 protected:
  std::span<const ControlSpec> Controls() const override { return kControls; }
  std::wstring Caption() const override { return kRestoreCaption; }
  int HelpTopic() const override { return 17; }
  SIZE ClientTwips() const override { return {6300, 4500}; }

  HWND OnInit() override {
    HWND list = Item(IDC_RS_LIST);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    const struct {
      const wchar_t* text;
      int twips;
      int format;
    } columns[] = {{L"Gesichert am", 2900, LVCFMT_LEFT},
                   {L"Offen", 1150, LVCFMT_RIGHT},
                   {L"Erledigt", 1150, LVCFMT_RIGHT}};
    for (int i = 0; i < 3; ++i) {
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
      column.fmt = columns[i].format;
      column.pszText = const_cast<wchar_t*>(columns[i].text);
      column.cx = win32::TwipsToPixels(columns[i].twips, Dpi());
      SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    for (size_t i = 0; i < backups_.size(); ++i) {
      std::wstring label = win32::Widen(BackupLabel(backups_[i].name, win32::UserDate));
      std::wstring counts[] = {std::to_wstring(backups_[i].tasks),
                               std::to_wstring(backups_[i].done)};
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = static_cast<int>(i);
      item.pszText = label.data();
      const int at =
          static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
      for (int column = 1; column <= 2; ++column) {
        LVITEMW cell{};
        cell.iSubItem = column;
        cell.pszText = counts[column - 1].data();
        SendMessageW(list, LVM_SETITEMTEXTW, at, reinterpret_cast<LPARAM>(&cell));
      }
    }
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    return list;
  }

  bool OnCommand(int id, int) override {
    if (id != IDOK) return false;
    const int item = ListView_GetNextItem(Item(IDC_RS_LIST), -1, LVNI_SELECTED);
    if (item < 0 || static_cast<size_t>(item) >= backups_.size()) return true;  // nothing chosen
    chosen = backups_[static_cast<size_t>(item)].name;
    End(IDOK);
    return true;
  }

  bool OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR&) override {
    // A double-click on a backup chooses it, as the default button does.
    if (message == WM_NOTIFY) {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == IDC_RS_LIST && header->code == NM_DBLCLK) OnCommand(IDOK, 0);
    }
    return false;
  }

 private:
  const std::vector<BackupEntry>& backups_;
};

}  // namespace

std::optional<std::string> ChooseBackup(HWND owner, const std::vector<BackupEntry>& backups) {
  RestoreDialog dialog(backups);
  if (dialog.RunModal(owner) != IDOK) return std::nullopt;
  return dialog.chosen;
}

}  // namespace ordalis
