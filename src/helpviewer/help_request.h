#pragma once
// What the viewer is asked to show, from its command line
// "<help file>,<topic>", and the way back and forward between topics.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis {

struct HelpRequest {
  std::wstring file;  // empty when none was given
  int topic = 1;

  bool operator==(const HelpRequest&) const = default;
};

// The arguments of a whole command line. The program's own path may stand
// unquoted with blanks in it (Ordalis starts the viewer so), so it is
// recognised by `modulePath`, the running executable, or by its file name.
std::wstring_view ArgumentsOf(std::wstring_view commandLine, std::wstring_view modulePath);

// The arguments (without the program's own name). The path comes unquoted
// and may hold blanks and commas: the topic is what follows the last comma,
// unless that looks like a piece of the path. A quoted path is taken as it
// stands when the topic follows the quotes; otherwise the quotes may hold
// the whole request ("C:\Mein Ordner\Vemra.lhf,12"). A missing, unreadable, zero or out-of-range
// topic means topic 1.
HelpRequest ParseHelpArguments(std::wstring_view arguments);

// The request as a command line for another viewer: the path, a comma and
// the topic.
std::wstring HelpArguments(const HelpRequest& request);

// The topics seen in this window, for "Zurück" and "Vorwärts".
class TopicHistory {
 public:
  // A newly opened topic: what lay ahead is dropped. Opening the topic
  // shown already changes nothing.
  void Visit(int topic);
  std::optional<int> Back();
  std::optional<int> Forward();
  bool CanGoBack() const { return !back_.empty(); }
  bool CanGoForward() const { return !forward_.empty(); }
  int Current() const { return current_; }  // 0 before the first topic

 private:
  std::vector<int> back_, forward_;
  int current_ = 0;
};

}  // namespace ordalis
