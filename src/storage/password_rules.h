#pragma once
// What a password may hold and how a typed one is checked against the stored
// one. A password lives scrambled in the data file; one that cannot be read
// back exactly must never open the task view.
#include <optional>
#include <string>
#include <string_view>

namespace ordalis {

enum class PasswordCheck {
  kNoneStored,  // no password: the view is open
  kMatch,       // the typed text is the stored password
  kWrong,       // another text
  kDamaged,     // the stored text cannot be read back; no text opens the view
};

// `stored` is the value as the data file holds it (scrambled); `typed` the
// field's text in Windows-1252, nullopt when it has a character that code
// lacks (which no stored password can hold).
PasswordCheck CheckPassword(std::string_view stored, const std::optional<std::string>& typed);

// The characters of a new password that the data file cannot give back
// exactly, each once and in the order typed: control characters, characters
// Windows-1252 lacks, and those the scrambler refuses at their place. Empty
// when the password can be stored.
std::wstring RefusedPasswordCharacters(std::wstring_view typed);

// The message that names them for the user: a control character by its
// name or number, any other between quotes.
std::wstring PasswordRefusalText(std::wstring_view refused);

// The prompt's note when the stored password is damaged, and the one when a
// reminder waits behind the prompt.
extern const wchar_t kDamagedPasswordText[];
extern const wchar_t kReminderWaitingText[];

}  // namespace ordalis
