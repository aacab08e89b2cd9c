#pragma once
// The one place where text changes form. The window texts are UTF-16; the
// task file and the program's logic hold Windows-1252 bytes, whatever the
// system's ANSI code page.
#include <optional>
#include <string>
#include <string_view>

namespace ordalis::win32 {

// Windows-1252 bytes as UTF-16.
std::wstring Widen(std::string_view text);

// UTF-16 as Windows-1252 bytes; nullopt when a character has no code there
// (nothing is replaced silently).
std::optional<std::string> Narrow(std::wstring_view text);

// UTF-16 as the system's ANSI code page, for the bytes of a profile or
// registry call; and back.
std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view text);

}  // namespace ordalis::win32
