#include "session/quick_add_key.h"

#include <cstdio>

namespace ordalis {

unsigned QuickAddModifiers(unsigned key) {
  const unsigned flags = key >> 8;
  return ((flags & 4u) ? 1u : 0u) | ((flags & 2u) ? 2u : 0u) | ((flags & 1u) ? 4u : 0u);
}

std::string QuickAddKeyText(unsigned key) {
  const unsigned code = key & 0xFFu, flags = key >> 8;
  std::string name;
  if ((code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9')) {
    name = std::string(1, static_cast<char>(code));
  } else if (code >= 0x70 && code <= 0x87) {  // F1 to F24
    char key[8];                              // not "F" + ...: MinGW's GCC 12 warns falsely on that
    std::snprintf(key, sizeof key, "F%u", code - 0x6F);
    name = key;
  } else {
    return {};
  }
  std::string text;
  if (flags & 2u) text += "Strg+";
  if (flags & 4u) text += "Alt+";
  if (flags & 1u) text += "Umschalt+";
  return text + name;
}

}  // namespace ordalis
