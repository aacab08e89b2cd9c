#pragma once
// What the options dialog decides without a window: the command of the
// automatic start and what its box shows, and the order of the font list.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis {

// The Run value of the automatic start: the executable's full path in
// double quotes (a folder with blanks stays one argument), a blank, "/a".
std::wstring AutostartCommand(std::wstring_view programFolder, std::wstring_view programName);

// What the box of the automatic start shows, from the Run value's text
// (empty when absent), the command this copy writes, and the bytes Windows'
// start-up manager keeps under the same name (empty when absent). A Run
// value is this copy's when it is that command, in any case as Windows
// paths are; Windows has switched it off when the first byte is odd. A
// value that starts a program in another folder (a moved or another copy)
// is told apart, for the options to name it.
enum class AutostartShown { kOff, kOn, kOffInWindows, kOtherFolder };
AutostartShown AutostartState(std::wstring_view run, std::wstring_view command,
                              std::span<const std::uint8_t> approved);

// Font family names as the font box lists them: sorted without regard to
// case, each once, without the vertical "@" faces.
std::vector<std::wstring> FontFamilyList(std::vector<std::wstring> names);

// What the password field shows for a stored password: one "*" per
// character, at most 29. The stored text has the password's length.
std::wstring PasswordMask(size_t storedLength);

}  // namespace ordalis
