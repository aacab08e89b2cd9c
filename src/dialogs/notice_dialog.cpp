#include "dialogs/notice_dialog.h"

#include "dialogs/help.h"
#include "dialogs/help_win32.h"
#include "storage/profile_file_win32.h"
#include "win32/dialog.h"
#include "win32/dpi.h"
#include "win32/window.h"

namespace ordalis {

namespace {

using win32::ControlSpec;

constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr ControlSpec kControls[] = {
    {L"BUTTON", L"", IDC_PFRAME, WS_VISIBLE | BS_GROUPBOX, 120, 60, 5760, 1860},
    {L"STATIC", L"", IDC_RPROBLEM, WS_VISIBLE | SS_NOPREFIX, 300, 300, 5400, 270},
    {L"STATIC", L"", IDC_RTEXT, WS_VISIBLE | SS_NOPREFIX, 300, 660, 5400, 1140},
    {L"BUTTON", L"&Diesen Hinweis nicht mehr anzeigen", IDC_BHELPSHOW, kCheck, 180, 2040, 5700,
     270},
    {L"BUTTON", L"&Keine Hinweise mehr anzeigen", IDC_BHELPDISABLED, kCheck, 180, 2340, 5700, 270},
    {L"BUTTON", L"OK", IDC_BREADY, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 1860,
     2790, 1260, 360},
    {L"BUTTON", L"&Abbrechen", IDC_BABBRECHEN, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 3240, 2790,
     1260, 360},
    {L"BUTTON", L"&Hilfe", IDC_BHILFE, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 4620, 2790, 1260,
     360},
};

class NoticeDialog : public win32::Dialog {
 public:
  NoticeDialog(SettingsStore& settings, std::wstring_view id, std::wstring_view heading,
               std::wstring_view text, std::wstring_view programFolder)
      : settings_(settings),
        id_(id),
        heading_(heading),
        text_(text),
        folder_(programFolder.empty() ? ProgramFolder() : std::wstring(programFolder)) {}

 protected:
  std::span<const ControlSpec> Controls() const override { return kControls; }
  std::wstring Caption() const override { return kNoticeCaption; }
  SIZE ClientTwips() const override { return {6000, 3270}; }

  HWND OnInit() override {
    SetWindowTextW(Item(IDC_RPROBLEM), heading_.c_str());
    SetWindowTextW(Item(IDC_RTEXT), text_.c_str());
    LOGFONTW bold{};
    GetObjectW(Font(), sizeof bold, &bold);
    bold.lfWeight = FW_BOLD;
    headingFont_.reset(CreateFontIndirectW(&bold));
    SendMessageW(Item(IDC_RPROBLEM), WM_SETFONT, reinterpret_cast<WPARAM>(headingFont_.get()),
                 FALSE);
    // 1000 twips to the right of and below the window that is active now;
    // when the owner has just hidden itself for the notice, below the owner.
    HWND active = GetForegroundWindow();
    if (!active || active == Handle() || !IsWindowVisible(active)) {
      active = GetWindow(Handle(), GW_OWNER);
    }
    if (active) {
      // A minimised or hidden window counts where it is restored to, and the
      // notice stays inside the work area: modal and off screen, the program
      // would look frozen.
      const RECT rect = win32::PlacedRect(active);
      const int offset = win32::TwipsToPixels(1000, Dpi());
      SetWindowPos(Handle(), nullptr, rect.left + offset, rect.top + offset, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER);
      win32::KeepInWorkArea(Handle(), rect);
    }
    return Item(IDC_BREADY);
  }

  bool OnCommand(int id, int) override {
    if (id == IDC_BREADY) {
      StoreNoticeChoice(settings_, id_, IsDlgButtonChecked(Handle(), IDC_BHELPSHOW) == BST_CHECKED,
                        IsDlgButtonChecked(Handle(), IDC_BHELPDISABLED) == BST_CHECKED);
      End(IDOK);
      return true;
    }
    if (id == IDC_BHILFE) {
      BHilfe_Click();
      return true;
    }
    return false;
  }

  // Like the menu item "Hilfethemen ", it looks for the viewer and the help
  // file itself.
  void BHilfe_Click() {
    const std::wstring viewer = HelpViewerPath(folder_);
    if (settings_.FileExists(viewer) && settings_.FileExists(HelpFilePath(folder_)) &&
        StartHelpViewer(viewer, HelpCommandLine(folder_, kClosingHelpTopic))) {
      return;
    }
    MessageBoxW(Handle(), kHelpMissingText, kHelpMissingCaption, MB_OK | MB_ICONERROR);
  }

 private:
  SettingsStore& settings_;
  std::wstring id_, heading_, text_, folder_;
  win32::UniqueFont headingFont_;
};

}  // namespace

bool ShowNotice(HWND owner, SettingsStore& settings, std::wstring_view id,
                std::wstring_view heading, std::wstring_view text,
                std::wstring_view programFolder) {
  if (!DirektHilfen(settings, id)) return false;
  NoticeDialog dialog(settings, id, heading, text, programFolder);
  dialog.RunModal(owner);
  return true;
}

}  // namespace ordalis
