#pragma once
// The text of one help topic in a read-only rich edit control: headings,
// paragraphs, bullets, bold text and links to other topics. The view knows
// where its links are, for the mouse (EN_LINK) and for the keyboard.
#include <windows.h>
#include <richedit.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "helpviewer/help_file.h"

namespace ordalis {

// The help file's UTF-8 as window text; broken sequences show as U+FFFD.
std::wstring FromUtf8(std::string_view text);

struct TopicLink {
  CHARRANGE range;
  int target;
};

class TopicView {
 public:
  // Loads the rich edit library once; false when it is missing.
  static bool LoadRichEdit();

  bool Create(HWND parent, int id);
  HWND Handle() const { return edit_; }

  // Fills the view with the topic's blocks; `dpi` is the window's.
  void Show(const HelpTopic& topic, UINT dpi);

  const std::vector<TopicLink>& Links() const { return links_; }
  // The topic of the link at this character position.
  std::optional<int> LinkAt(LONG position) const;
  // Selects the next (or previous) link after (before) the selection;
  // false when there is none.
  bool SelectNextLink(bool forward);
  // The link under the selection's start, as Enter follows it.
  std::optional<int> SelectedLink() const;

 private:
  void Append(const std::wstring& text, DWORD effects, int points, COLORREF color);
  void StartParagraph(BlockKind kind, bool first);

  HWND edit_ = nullptr;
  std::vector<TopicLink> links_;
};

}  // namespace ordalis
