#include "win32/text.h"

#include <windows.h>

namespace ordalis::win32 {

namespace {
constexpr UINT kWindows1252 = 1252;

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::wstring result(MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, result.data(),
                      static_cast<int>(result.size()));
  return result;
}
}  // namespace

std::wstring Widen(std::string_view text) {
  return ToWide(kWindows1252, text);
}

std::optional<std::string> Narrow(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  BOOL lossy = FALSE;
  std::string result(
      WideCharToMultiByte(kWindows1252, 0, text.data(), size, nullptr, 0, nullptr, nullptr), '\0');
  // No best-fit mapping: a character without a code of its own is refused.
  WideCharToMultiByte(kWindows1252, WC_NO_BEST_FIT_CHARS, text.data(), size, result.data(),
                      static_cast<int>(result.size()), nullptr, &lossy);
  if (lossy) return std::nullopt;
  return result;
}

std::string ToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  std::string result(
      WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), size, result.data(), static_cast<int>(result.size()),
                      nullptr, nullptr);
  return result;
}

std::wstring FromAnsi(std::string_view text) {
  return ToWide(CP_ACP, text);
}

}  // namespace ordalis::win32
