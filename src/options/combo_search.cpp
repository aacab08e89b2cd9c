#include "options/combo_search.h"

namespace ordalis {

int FindComboEntry(ComboControl& combo, std::wstring_view text, int start, int select, int mode) {
  if (mode == kComboExact) {
    const int found = combo.FindExact(start, text);
    if (select != 0) combo.Select(found);
    return found;
  }
  if (mode == kComboPrefix) {
    if (select == -1) return combo.SelectPrefix(start, text);
    if (select == 0) return combo.FindPrefix(start, text);
  }
  return 0;
}

}  // namespace ordalis
