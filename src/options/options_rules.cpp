#include "options/options_rules.h"

#include <algorithm>
#include <cwctype>

namespace ordalis {

std::wstring AutostartCommand(std::wstring_view programFolder, std::wstring_view programName) {
  return L"\"" + std::wstring(programFolder) + L"\\" + std::wstring(programName) + L".exe\" /a";
}

std::vector<std::wstring> FontFamilyList(std::vector<std::wstring> names) {
  std::erase_if(names, [](const std::wstring& name) { return name.empty() || name[0] == L'@'; });
  const auto folded = [](const std::wstring& name) {
    std::wstring result = name;
    for (wchar_t& c : result) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return result;
  };
  // Case first, then the exact text, so that equal names stand together.
  std::sort(names.begin(), names.end(), [&](const std::wstring& a, const std::wstring& b) {
    const std::wstring fa = folded(a), fb = folded(b);
    return fa != fb ? fa < fb : a < b;
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::wstring PasswordMask(size_t storedLength) {
  return std::wstring(std::min<size_t>(storedLength, 29), L'*');
}

}  // namespace ordalis
