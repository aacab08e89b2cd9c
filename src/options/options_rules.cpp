#include "options/options_rules.h"

#include <algorithm>

#include "storage/text_case.h"

namespace ordalis {

namespace {

// The program a command line starts: the quoted part, or all before the
// first blank.
std::wstring_view ProgramOf(std::wstring_view command) {
  if (command.starts_with(L'"')) {
    command.remove_prefix(1);
    return command.substr(0, command.find(L'"'));
  }
  return command.substr(0, command.find(L' '));
}

}  // namespace

std::wstring AutostartCommand(std::wstring_view programFolder, std::wstring_view programName) {
  return L"\"" + std::wstring(programFolder) + L"\\" + std::wstring(programName) + L".exe\" /a";
}

AutostartShown AutostartState(std::wstring_view run, std::wstring_view command,
                              std::span<const std::uint8_t> approved) {
  if (Lowercase(run) != Lowercase(command)) {
    return run.empty() || Lowercase(ProgramOf(run)) == Lowercase(ProgramOf(command))
               ? AutostartShown::kOff
               : AutostartShown::kOtherFolder;
  }
  return !approved.empty() && approved[0] % 2 != 0 ? AutostartShown::kOffInWindows
                                                   : AutostartShown::kOn;
}

std::vector<std::wstring> FontFamilyList(std::vector<std::wstring> names) {
  std::erase_if(names, [](const std::wstring& name) { return name.empty() || name[0] == L'@'; });
  // Case first, then the exact text, so that equal names stand together.
  std::sort(names.begin(), names.end(), [](const std::wstring& a, const std::wstring& b) {
    const std::wstring fa = Lowercase(a), fb = Lowercase(b);
    return fa != fb ? fa < fb : a < b;
  });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::wstring PasswordMask(size_t storedLength) {
  return std::wstring(std::min<size_t>(storedLength, 29), L'*');
}

}  // namespace ordalis
