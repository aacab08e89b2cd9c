#include "helpviewer/help_request.h"

#include "helpviewer/help_file.h"

#include <algorithm>

namespace ordalis {

namespace {

bool IsBlank(wchar_t c) {
  return c == L' ' || c == L'\t';
}

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Digits only, within the topic numbers; anything else is topic 1, as is 0.
int TopicNumber(std::wstring_view text) {
  text = Trim(text);
  if (text.empty() || text.size() > 9) return 1;
  int value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') return 1;
    value = value * 10 + (c - L'0');
  }
  return value >= 1 && value <= kMaxTopicNumber ? value : 1;
}

wchar_t Folded(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Where `part` ends in `text`, compared without regard to ASCII case, when it
// is followed by a blank or the end; npos otherwise.
size_t EndOf(std::wstring_view text, std::wstring_view part, size_t from) {
  if (part.empty() || text.size() - from < part.size()) return std::wstring_view::npos;
  for (size_t i = 0; i < part.size(); ++i) {
    if (Folded(text[from + i]) != Folded(part[i])) return std::wstring_view::npos;
  }
  const size_t end = from + part.size();
  return end == text.size() || IsBlank(text[end]) ? end : std::wstring_view::npos;
}

}  // namespace

std::wstring_view ArgumentsOf(std::wstring_view commandLine, std::wstring_view modulePath) {
  size_t end = std::wstring_view::npos;
  if (!commandLine.empty() && commandLine.front() == L'"') {
    const size_t close = commandLine.find(L'"', 1);
    end = close == std::wstring_view::npos ? commandLine.size() : close + 1;
  } else if ((end = EndOf(commandLine, modulePath, 0)) == std::wstring_view::npos) {
    // Another spelling of the path: up to the program's file name.
    const size_t slash = modulePath.find_last_of(L"\\/");
    const std::wstring_view name =
        slash == std::wstring_view::npos ? modulePath : modulePath.substr(slash + 1);
    for (size_t at = 0; at < commandLine.size() && end == std::wstring_view::npos; ++at) {
      const bool starts = at == 0 || commandLine[at - 1] == L'\\' || commandLine[at - 1] == L'/';
      if (starts) end = EndOf(commandLine, name, at);
    }
    if (end == std::wstring_view::npos)
      end = std::min(commandLine.find_first_of(L" \t"), commandLine.size());
  }
  return Trim(commandLine.substr(end));
}

HelpRequest ParseHelpArguments(std::wstring_view arguments) {
  arguments = Trim(arguments);
  HelpRequest request;
  if (!arguments.empty() && arguments.front() == L'"') {
    const size_t close = arguments.find(L'"', 1);
    request.file = std::wstring(arguments.substr(
        1, close == std::wstring_view::npos ? std::wstring_view::npos : close - 1));
    if (close == std::wstring_view::npos) return request;
    std::wstring_view rest = Trim(arguments.substr(close + 1));
    if (!rest.empty() && rest.front() == L',') {
      request.topic = TopicNumber(rest.substr(1));
    } else if (!request.file.empty() && request.file.front() != L'"') {
      // The whole request in quotes, as a shortcut writes it: "path,topic".
      return ParseHelpArguments(request.file);
    }
    return request;
  }
  const size_t comma = arguments.rfind(L',');
  if (comma != std::wstring_view::npos &&
      arguments.find_first_of(L"\\/:.", comma) == std::wstring_view::npos) {
    request.file = std::wstring(Trim(arguments.substr(0, comma)));
    request.topic = TopicNumber(arguments.substr(comma + 1));
  } else {
    request.file = std::wstring(arguments);
  }
  return request;
}

std::wstring HelpArguments(const HelpRequest& request) {
  return request.file + L"," + std::to_wstring(request.topic);
}

void TopicHistory::Visit(int topic) {
  if (topic == current_) return;
  if (current_) back_.push_back(current_);
  forward_.clear();
  current_ = topic;
}

std::optional<int> TopicHistory::Back() {
  if (back_.empty()) return std::nullopt;
  forward_.push_back(current_);
  current_ = back_.back();
  back_.pop_back();
  return current_;
}

std::optional<int> TopicHistory::Forward() {
  if (forward_.empty()) return std::nullopt;
  back_.push_back(current_);
  current_ = forward_.back();
  forward_.pop_back();
  return current_;
}

}  // namespace ordalis
