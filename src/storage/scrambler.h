#pragma once
// The keyed scrambler every value of the task file passes through. One call
// both scrambles and unscrambles; texts are single-byte Windows-1252 codes.
#include <optional>
#include <string>
#include <string_view>

namespace ordalis {

// The program's one fixed key.
inline constexpr std::string_view kScrambleKey = "7318";

// XORs each character with (key digit + 96), the key walked cyclically.
// Returns nullopt when a character would come out below 32 (with a digit
// key exactly the codes 128..159 in either direction); the caller shows the
// refusal message. The empty text gives the empty text. The key must not be
// empty.
std::optional<std::string> ScrambleText(std::string_view text, std::string_view key = kScrambleKey);

// The message shown when the scrambler refuses a character (Windows-1252).
extern const char kScrambleRefusedTitle[];
extern const char kScrambleRefusedText[];

}  // namespace ordalis
