#pragma once
// What the platform's profile functions do to a value, and how a value is
// written so that it comes back whole.
#include <string>
#include <string_view>

namespace ordalis {

// The blanks the profile reader strips from the ends of a line, a key and a
// value.
bool IsProfileBlank(char c);

// The profile reader strips blanks at both ends of a value and then one pair
// of enclosing quotes (double or single). A scrambled value can begin or end
// with a blank or a quote, so such a value is written inside one more pair of
// double quotes, which the reader removes again.
std::string ProtectProfileValue(std::string_view value);

// A value as the profile reader gives it from its raw text in the file:
// blanks off both ends, then one pair of enclosing quotes of one kind.
std::string ProfileValueAsRead(std::string_view raw);

}  // namespace ordalis
