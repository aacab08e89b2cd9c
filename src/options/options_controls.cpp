#include "options/options_controls.h"

#include <commctrl.h>

#include "options/combo_search.h"
#include "options/options_dialog.h"
#include "options/options_rules.h"

namespace ordalis {

namespace {

constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kField = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kLabel = WS_VISIBLE | SS_RIGHT;

// Tab order is the order of this table; a label stands before its field,
// so its access key reaches the field.
constexpr win32::ControlSpec kControls[] = {
    {L"BUTTON", L"&Startbildschirm immer ausblenden", IDC_OPT_CSTARTUP, kCheck, 240, 180, 7200,
     285},
    {L"BUTTON", L"Automatisch mit Microsoft Windows s&tarten", IDC_OPT_CAUTOSTART, kCheck, 240, 480,
     7200, 285},
    {L"STATIC", L"In Windows deaktiviert (Task-Manager \u203A Autostart)", IDC_OPT_LAUTOSTART,
     SS_NOPREFIX, 495, 765, 6945, 240},
    {L"BUTTON", L"&Zuletzt benutzte Registerkarte wiederherstellen", IDC_OPT_CREGISTER, kCheck, 240,
     1020, 7200, 285},
    {L"BUTTON", L"S&ymbol in der Taskleiste darstellen", IDC_OPT_CSYMBOL, kCheck, 240, 1320, 7200,
     285},
    {L"BUTTON", L"&Nie erinnern bedeutet nicht beenden", IDC_OPT_CBEENDEN, kCheck, 540, 1620, 6900,
     285},
    {L"BUTTON", L"&Interne Benachrichtigung verwenden", IDC_OPT_SOUND0,
     WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, 240, 2040, 7200, 285},
    {L"BUTTON", L"&Eigene Sounddatei verwenden", IDC_OPT_SOUND1, WS_VISIBLE | BS_AUTORADIOBUTTON,
     240, 2340, 7200, 285},
    // Labels of no size name the fields without one on screen and give them
    // an access key.
    {L"STATIC", L"So&unddatei", IDC_OPT_NSOUNDDATEI, WS_VISIBLE, 0, 0, 0, 0},
    {L"EDIT", L"", IDC_OPT_TSOUNDDATEI, kField | WS_GROUP, 540, 2670, 3900, 315},
    {L"BUTTON", L"Durchsu&chen…", IDC_OPT_BSOUNDDATEI, kButton, 4530, 2655, 1500, 345},
    {L"BUTTON", L"Abs&pielen", IDC_OPT_BSPIELEN, kButton, 6120, 2655, 1320, 345},
    {L"BUTTON", L"Visuelle Einstellungen", IDC_OPT_FVISUELL, WS_VISIBLE | BS_GROUPBOX, 120, 3180,
     7440, 1230},
    {L"BUTTON", L"&Benutzerdefinierte Schriftart verwenden:", IDC_OPT_CSCHRIFTART, kCheck, 300,
     3510, 7000, 285},
    {L"STATIC", L"Schri&ftart", IDC_OPT_NFONTNAME, WS_VISIBLE, 0, 0, 0, 0},
    {L"COMBOBOX", L"", IDC_OPT_LFONTNAME,
     WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 540, 3870, 4800, 3600},
    {L"STATIC", L"Schriftgr&öße", IDC_OPT_NFONTSIZE, WS_VISIBLE, 0, 0, 0, 0},
    {L"COMBOBOX", L"", IDC_OPT_LFONTSIZE, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
     5460, 3870, 1200, 2400},
    {L"STATIC", L"&Kennwort:", IDC_OPT_LKEY, kLabel, 120, 4680, 1560, 240},
    {L"EDIT", L"", IDC_OPT_TKEY, kField | ES_PASSWORD, 1800, 4635, 3000, 315},
    {L"BUTTON", L"Kennwort än&dern…", IDC_OPT_BKENNWORT, kButton, 4920, 4620, 2520, 345},
    {L"STATIC", L"&Wiederholen:", IDC_OPT_LREPEAT, kLabel, 120, 5040, 1560, 240},
    {L"EDIT", L"", IDC_OPT_TREPEAT, kField | ES_PASSWORD, 1800, 4995, 3000, 315},
    {L"STATIC", L"Neue Aufgabe &von überall:", IDC_OPT_LQUICKADD, kLabel, 120, 5460, 2880, 240},
    {HOTKEY_CLASSW, L"", IDC_OPT_HQUICKADD, WS_VISIBLE | WS_TABSTOP | WS_BORDER, 3120, 5415, 2400,
     315},
    {L"STATIC", L"Diese Tastenkombination verwendet schon ein anderes Programm.",
     IDC_OPT_LQUICKTAKEN, SS_LEFT | SS_NOPREFIX, 3120, 5790, 4440, 240},
    {L"STATIC", L"", IDC_OPT_LINE, WS_VISIBLE | SS_ETCHEDHORZ, 120, 6180, 7440, 30},
    {L"BUTTON", L"Sicherung wiede&rherstellen…", IDC_OPT_BSICHERUNG, kButton | WS_GROUP, 120, 6330,
     3240, 375},
    {L"BUTTON", L"OK", IDC_OPT_BREADY, kButton | WS_GROUP | BS_DEFPUSHBUTTON, 3600, 6330, 1200,
     375},
    {L"BUTTON", L"&Abbrechen", IDC_OPT_BABBRECHEN, kButton, 4920, 6330, 1200, 375},
    {L"BUTTON", L"&Hilfe", IDC_OPT_BHILFE, kButton, 6240, 6330, 1200, 375},
};

// A combo box of this dialog as the search sees it.
class Win32Combo : public ComboControl {
 public:
  explicit Win32Combo(HWND combo) : combo_(combo) {}
  int FindExact(int start, std::wstring_view text) override {
    return Send(CB_FINDSTRINGEXACT, start, text);
  }
  int FindPrefix(int start, std::wstring_view text) override {
    return Send(CB_FINDSTRING, start, text);
  }
  int SelectPrefix(int start, std::wstring_view text) override {
    return Send(CB_SELECTSTRING, start, text);
  }
  void Select(int index) override { SendMessageW(combo_, CB_SETCURSEL, index, 0); }

 private:
  int Send(UINT message, int start, std::wstring_view text) {
    const std::wstring terminated(text);
    return static_cast<int>(SendMessageW(combo_, message, static_cast<WPARAM>(start),
                                         reinterpret_cast<LPARAM>(terminated.c_str())));
  }
  HWND combo_;
};

}  // namespace

std::span<const win32::ControlSpec> OptionsControls() {
  return kControls;
}

bool SelectEntry(HWND combo, std::wstring_view text) {
  Win32Combo box(combo);
  return FindComboEntry(box, text, -1, -1, kComboExact) >= 0;
}

std::vector<std::wstring> ScreenFontFamilies() {
  std::vector<std::wstring> names;
  HDC screen = GetDC(nullptr);
  if (!screen) return names;
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;  // every family, once per character set
  EnumFontFamiliesExW(
      screen, &wanted,
      [](const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM found) -> int {
        reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(font->lfFaceName);
        return 1;
      },
      reinterpret_cast<LPARAM>(&names), 0);
  ReleaseDC(nullptr, screen);
  return FontFamilyList(std::move(names));
}

}  // namespace ordalis
