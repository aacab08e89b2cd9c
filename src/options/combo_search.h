#pragma once
// The search in a combo box's list, as the options dialog uses it to show a
// stored font name and size. The box itself is reached through the few
// messages the search sends, so the rule stands apart from the control.
#include <string_view>

namespace ordalis {

// The messages of a combo box that the search sends. Matching is the
// control's own (without regard to case); -1 means nothing was found.
class ComboControl {
 public:
  virtual ~ComboControl() = default;
  virtual int FindExact(int start, std::wstring_view text) = 0;     // CB_FINDSTRINGEXACT
  virtual int FindPrefix(int start, std::wstring_view text) = 0;    // CB_FINDSTRING
  virtual int SelectPrefix(int start, std::wstring_view text) = 0;  // CB_SELECTSTRING
  virtual void Select(int index) = 0;                               // CB_SETCURSEL; -1: none
};

inline constexpr int kComboExact = -1;
inline constexpr int kComboPrefix = 0;

// Exact mode finds the whole text from `start` (-1: from the first entry)
// and, when `select` is not 0, selects what it found, so a miss leaves no
// entry selected. Prefix mode selects the first entry beginning with the
// text when `select` is -1, only finds it when `select` is 0, and does
// nothing for any other `select`. Any other mode does nothing. The result
// is the index found, -1 for none, 0 when nothing was done.
int FindComboEntry(ComboControl& combo, std::wstring_view text, int start, int select, int mode);

}  // namespace ordalis
