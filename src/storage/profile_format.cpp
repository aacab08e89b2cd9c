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

bool IsProfileBlank(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r') || c == '\x1A';
}

std::string ProtectProfileValue(std::string_view value) {
  if (value.empty() || (!IsFragileEnd(value.front()) && !IsFragileEnd(value.back()))) {
    return std::string(value);
  }
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted.append(1, '"').append(value).append(1, '"');
  return quoted;
}

std::string ProfileValueAsRead(std::string_view raw) {
  while (!raw.empty() && IsProfileBlank(raw.front())) raw.remove_prefix(1);
  while (!raw.empty() && IsProfileBlank(raw.back())) raw.remove_suffix(1);
  if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front()) {
    raw = raw.substr(1, raw.size() - 2);
  }
  return std::string(raw);
}

}  // namespace ordalis
