#include "dialogs/about_dialog.h"

#include <memory>
#include <string>

#include "dialogs/about_text.h"
#include "ordalis_version.h"
#include "resources/resource.h"
#include "win32/dialog.h"
#include "win32/dpi.h"
#include "win32/icons.h"
#include "win32/shell.h"
#include "win32/window.h"

namespace ordalis {

namespace {

using win32::ControlSpec;

constexpr wchar_t kWerbung[] =
    L"Vous avez choisi un produit intemporel et de qualité avec soin et détails. Il vous "
    L"apportera confort, bien-être et satisfaction.";

constexpr DWORD kLabel = WS_VISIBLE | SS_NOPREFIX;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr int kLogoTwips = 720;  // 48 pixels at 96 dpi

constexpr ControlSpec kControls[] = {
    {L"STATIC", L"", IDC_PICTURE1, WS_VISIBLE | SS_OWNERDRAW, 240, 240, kLogoTwips, kLogoTwips},
    {L"STATIC", L"", IDC_RNAME, kLabel, 1200, 240, 5460, 270},
    {L"STATIC", kWerbung, IDC_RWERBUNG, kLabel, 1200, 630, 5460, 600},
    {L"STATIC", L"", IDC_RCONTACT, kLabel, 1200, 1350, 5460, 450},
    {L"STATIC", L"", IDC_RLEGAL, kLabel, 1200, 1860, 5460, 270},
    {L"BUTTON", L"&E-Mail", IDC_BMAIL, kButton | WS_GROUP, 1200, 2370, 1320, 360},
    {L"BUTTON", L"&Webseite", IDC_BWEBSEITE, kButton, 2640, 2370, 1320, 360},
    {L"BUTTON", L"OK", IDCANCEL, kButton | BS_DEFPUSHBUTTON, 5340, 2370, 1320, 360},
};

// The product's name and version numbers: the same constants the version
// record of Vemra.exe is made from, so the box needs no version library.
struct ProductVersion {
  std::wstring name = L"Ordalis";
  unsigned major = ORDALIS_VERSION_MAJOR, minor = ORDALIS_VERSION_MINOR,
           revision = ORDALIS_VERSION_BUILD;
};

std::wstring ResourceString(UINT id) {
  const wchar_t* text = nullptr;
  const int length =
      LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  return length > 0 && text ? std::wstring(text, length) : std::wstring();
}

class AboutDialog : public win32::Dialog {
 public:
  AboutDialog()
      : mail_(ResourceString(IDS_ABOUT_MAIL)), website_(ResourceString(IDS_ABOUT_WEBSITE)) {}

 protected:
  std::span<const ControlSpec> Controls() const override { return kControls; }
  std::wstring Caption() const override { return AboutCaption(version_.name); }
  SIZE ClientTwips() const override { return {6900, 2970}; }

  HWND OnInit() override {
    Place();
    SetWindowTextW(
        Item(IDC_RNAME),
        VersionText(version_.name, version_.major, version_.minor, version_.revision).c_str());
    SetWindowTextW(Item(IDC_RCONTACT), ResourceString(IDS_ABOUT_CONTACT).c_str());
    SetWindowTextW(Item(IDC_RLEGAL), ResourceString(IDS_ABOUT_LEGAL).c_str());
    // Without a known address a button would lead nowhere: it is not there.
    ShowWindow(Item(IDC_BMAIL), mail_.empty() ? SW_HIDE : SW_SHOW);
    ShowWindow(Item(IDC_BWEBSEITE), website_.empty() ? SW_HIDE : SW_SHOW);
    return Item(IDCANCEL);
  }

  bool OnCommand(int id, int) override {
    switch (id) {
      case IDC_BMAIL: BMail_Click(); return true;
      case IDC_BWEBSEITE: BWebseite_Click(); return true;
      default: return false;  // "OK" and the close box end the box
    }
  }

  bool OnMessage(UINT message, WPARAM, LPARAM lParam, INT_PTR& result) override {
    if (message != WM_DRAWITEM) return false;
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID != IDC_PICTURE1) return false;
    DrawLogo(*item);
    result = TRUE;
    return true;
  }

 private:
  // Beside the main window, in twips at this window's DPI, unless a screen
  // edge is near.
  void Place() {
    HWND owner = GetWindow(Handle(), GW_OWNER);
    RECT mainWindow{};
    MONITORINFO monitor{sizeof monitor};
    if (owner) mainWindow = win32::PlacedRect(owner);  // minimised or hidden: where it returns
    if (!owner ||
        !GetMonitorInfoW(MonitorFromRect(&mainWindow, MONITOR_DEFAULTTONEAREST), &monitor)) {
      return;  // stays centred
    }
    const UINT dpi = Dpi();
    const TwipsPoint place = AboutPlacement(
        {win32::PixelsToTwips(mainWindow.left, dpi), win32::PixelsToTwips(mainWindow.top, dpi)},
        win32::PixelsToTwips(monitor.rcMonitor.right, dpi),
        win32::PixelsToTwips(monitor.rcMonitor.bottom, dpi));
    SetWindowPos(Handle(), nullptr, win32::TwipsToPixels(static_cast<double>(place.left), dpi),
                 win32::TwipsToPixels(static_cast<double>(place.top), dpi), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  // The program icon as large as its picture box, which grows with the DPI.
  void DrawLogo(const DRAWITEMSTRUCT& item) {
    const int size = item.rcItem.right - item.rcItem.left;
    if (size != logoSize_) {
      logo_ = win32::LoadIconAtSize(GetModuleHandleW(nullptr), IDI_VEMRA, size);
      logoSize_ = size;
    }
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
    if (logo_) {
      DrawIconEx(item.hDC, item.rcItem.left, item.rcItem.top, logo_.get(), size, size, 0, nullptr,
                 DI_NORMAL);
    }
  }

  void BMail_Click() {
    const std::wstring link = MailLink(mail_, version_.name);
    win32::ShellOpen(Handle(), L"Open", link.c_str(), SW_SHOWNORMAL);
  }

  void BWebseite_Click() {
    win32::ShellOpen(Handle(), nullptr, website_.c_str(), SW_SHOWMAXIMIZED);
  }

  ProductVersion version_;
  std::wstring mail_, website_;
  win32::UniqueIcon logo_;
  int logoSize_ = 0;
};

// The one box; its object stays until the next opening replaces it.
std::unique_ptr<AboutDialog>& OpenBox() {
  static std::unique_ptr<AboutDialog> box;
  return box;
}

}  // namespace

HWND ShowAbout(HWND owner) {
  std::unique_ptr<AboutDialog>& box = OpenBox();
  if (box && box->Handle()) {
    HWND open = box->Handle();
    SetForegroundWindow(open);
    return open;
  }
  box = std::make_unique<AboutDialog>();
  HWND created = box->CreateModeless(owner);
  if (!created) {
    box.reset();
    return nullptr;
  }
  ShowWindow(created, SW_SHOW);
  return created;
}

}  // namespace ordalis
