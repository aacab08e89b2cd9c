#include "storage/profile_format.h"

namespace ordalis {

namespace {
// Blanks as the profile reader sees them (Wine counts the no-break space and
// the next-line code as blanks too), and both quote marks.
bool IsFragileEnd(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code <= 0x20 || code == 0x85 || code == 0xA0 || c == '"' || c == '\'';
}
}  // namespace

std::string ProtectProfileValue(std::string_view value) {
  if (value.empty() || (!IsFragileEnd(value.front()) && !IsFragileEnd(value.back()))) {
    return std::string(value);
  }
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted.append(1, '"').append(value).append(1, '"');
  return quoted;
}

}  // namespace ordalis
