#pragma once
// What the options dialog decides without a window: the command of the
// automatic start and the order of the font list.
#include <string>
#include <string_view>
#include <vector>

namespace ordalis {

// The Run value of the automatic start: the executable's full path in
// double quotes (a folder with blanks stays one argument), a blank, "/a".
std::wstring AutostartCommand(std::wstring_view programFolder, std::wstring_view programName);

// Font family names as the font box lists them: sorted without regard to
// case, each once, without the vertical "@" faces.
std::vector<std::wstring> FontFamilyList(std::vector<std::wstring> names);

// What the password field shows for a stored password: one "*" per
// character, at most 29. The stored text has the password's length.
std::wstring PasswordMask(size_t storedLength);

}  // namespace ordalis
