#pragma once
// Text compared as Windows compares file names and font names: without
// regard to case.
#include <cwctype>
#include <string>
#include <string_view>

namespace ordalis {

inline std::wstring Lowercase(std::wstring_view text) {
  std::wstring result(text);
  for (wchar_t& c : result) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
  return result;
}

}  // namespace ordalis
