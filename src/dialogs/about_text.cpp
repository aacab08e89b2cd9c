#include "dialogs/about_text.h"

namespace ordalis {

std::wstring VersionText(std::wstring_view productName, unsigned major, unsigned minor,
                         unsigned revision) {
  std::wstring minorText = std::to_wstring(minor);
  if (minorText.size() == 1) minorText.insert(0, L"0");
  std::wstring build = std::to_wstring(revision);
  if (build.size() < 3) build.append(3 - build.size(), L'0');
  if (build == L"000") build = L"100";
  return std::wstring(productName) + L" " + std::to_wstring(major) + L"." + minorText + L" Build " +
         build;
}

std::wstring AboutCaption(std::wstring_view productName) {
  return L" Info über " + std::wstring(productName);
}

std::wstring MailLink(std::wstring_view address, std::wstring_view productName) {
  return L"mailto:" + std::wstring(address) + L"?Subject=" + std::wstring(productName) + L"&Body= ";
}

TwipsPoint AboutPlacement(TwipsPoint mainWindow, long long screenRight, long long screenBottom) {
  TwipsPoint place{mainWindow.left + 800, mainWindow.top + 800};
  if (screenRight - place.left <= 6200) place.left = mainWindow.left - 1200;
  if (screenBottom - place.top <= 5500) place.top = mainWindow.top - 800;
  return place;
}

}  // namespace ordalis
