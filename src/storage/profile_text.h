#pragma once
// The text of a profile file line by line, as the platform's profile
// functions read it, and the change of one value with every other line left
// as it stands.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis {

struct ProfileLine {
  enum class Kind { kBlank, kSection, kEntry, kNoEquals };
  Kind kind = Kind::kBlank;
  std::string_view text;   // the whole line as it stands, with its line end
  std::string_view name;   // a section's name or an entry's key
  std::string_view value;  // an entry's value as it stands after "="
};

// Lines end at "\r\n", "\n" or a lone "\r". A line whose first non-blank character is
// "[" and that holds a "]" starts a section named by what lies between the "[" and the last "]";
// any other non-blank line is an entry "key=value" (the key and the value without blanks around
// them) or a line without "=".
std::vector<ProfileLine> SplitProfileText(std::string_view text);

// Section and key names match without regard to case.
bool SameProfileName(std::string_view a, std::string_view b);

// The lines of every section of a name: the first such section, as the
// profile functions see it, and what later ones hold.
struct SectionLines {
  bool found = false;
  std::vector<ProfileLine> first;   // without its header
  std::vector<ProfileLine> others;  // lines of later sections of the name
};
SectionLines FindSection(std::string_view text, std::string_view section);

// Puts one value in place of the first entry of the key in the first
// section of the name, or takes that entry out (no value); a new key goes
// after the section's last line, a new section at the end. Every other line
// stays byte for byte.
std::string ReplaceProfileValue(std::string_view text, std::string_view section,
                                std::string_view key, const std::optional<std::string>& value);

}  // namespace ordalis
