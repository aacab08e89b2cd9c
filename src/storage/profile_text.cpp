#include "storage/profile_text.h"

#include <algorithm>
#include <cctype>

#include "storage/profile_format.h"

namespace ordalis {

namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsProfileBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsProfileBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Whether text ends with a line end, or is empty.
bool EndsLine(std::string_view text) {
  return text.empty() || text.back() == '\n' || text.back() == '\r';
}

std::string Folded(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

}  // namespace

bool SameProfileName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && Folded(a) == Folded(b);
}

std::vector<ProfileLine> SplitProfileText(std::string_view text) {
  std::vector<ProfileLine> lines;
  while (!text.empty()) {
    // A line ends at "\r\n", "\n" or a lone "\r"; what follows the end is
    // the next line, if only a blank one.
    size_t end = std::min(text.find_first_of("\r\n"), text.size());
    if (end < text.size()) end += text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
    ProfileLine line;
    line.text = text.substr(0, end);
    text.remove_prefix(line.text.size());
    const std::string_view content = TrimBlanks(line.text);
    const size_t bracket = content.rfind(']');
    if (content.empty()) {
      line.kind = ProfileLine::Kind::kBlank;
    } else if (content.front() == '[' && bracket != std::string_view::npos && bracket > 0) {
      line.kind = ProfileLine::Kind::kSection;
      line.name = TrimBlanks(content.substr(1, bracket - 1));
    } else if (const size_t equals = content.find('='); equals != std::string_view::npos) {
      line.kind = ProfileLine::Kind::kEntry;
      line.name = TrimBlanks(content.substr(0, equals));
      line.value = TrimBlanks(content.substr(equals + 1));
    } else {
      line.kind = ProfileLine::Kind::kNoEquals;
      line.name = content;
    }
    lines.push_back(line);
  }
  return lines;
}

SectionLines FindSection(std::string_view text, std::string_view section) {
  SectionLines result;
  std::vector<ProfileLine>* into = nullptr;
  for (const ProfileLine& line : SplitProfileText(text)) {
    if (line.kind == ProfileLine::Kind::kSection) {
      into = nullptr;
      if (SameProfileName(line.name, section)) {
        into = result.found ? &result.others : &result.first;
        result.found = true;
      }
    } else if (into) {
      into->push_back(line);
    }
  }
  return result;
}

std::string ReplaceProfileValue(std::string_view text, std::string_view section,
                                std::string_view key, const std::optional<std::string>& value) {
  const std::string line =
      value ? std::string(key) + "=" + ProtectProfileValue(*value) + "\r\n" : std::string();
  const std::vector<ProfileLine> lines = SplitProfileText(text);
  size_t header = 0;
  while (header < lines.size() && !(lines[header].kind == ProfileLine::Kind::kSection &&
                                    SameProfileName(lines[header].name, section))) {
    ++header;
  }
  // Where the entry stands, or where a new one goes: after the last
  // non-blank line of the section.
  size_t at = lines.size(), after = header;
  bool found = false;
  for (size_t i = header + 1; header < lines.size() && i < lines.size(); ++i) {
    if (lines[i].kind == ProfileLine::Kind::kSection) break;
    if (lines[i].kind == ProfileLine::Kind::kEntry && SameProfileName(lines[i].name, key)) {
      at = i;
      found = true;
      break;
    }
    if (lines[i].kind != ProfileLine::Kind::kBlank) after = i;
  }
  std::string result;
  if (header == lines.size()) {
    result = text;
    if (!value) return result;
    if (!EndsLine(result)) result += "\r\n";
    return result.append(1, '[').append(section).append("]\r\n").append(line);
  }
  for (size_t i = 0; i < lines.size(); ++i) {
    if (found && i == at) {
      result += line;
      continue;
    }
    result.append(lines[i].text);
    if (!found && value && i == after) {
      if (!EndsLine(result)) result += "\r\n";
      result += line;
    }
  }
  return result;
}

}  // namespace ordalis
