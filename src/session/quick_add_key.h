#pragma once
// The system-wide key of "Neue Aufgabe von überall", as the hot-key field
// of the options gives it and the settings keep it: the virtual key in the
// low byte, the field's modifier flags (Shift 1, Ctrl 2, Alt 4) in the high
// one; 0 for none.
#include <string>

namespace ordalis {

inline constexpr unsigned kDefaultQuickAddKey = 'N' | ((2u | 4u) << 8);  // Strg+Alt+N

// The modifiers as the system's registration takes them (Alt 1, Ctrl 2,
// Shift 4).
unsigned QuickAddModifiers(unsigned key);
// "Strg+Alt+N" as a menu shows it (Windows-1252); empty for none or a key
// without a name of ours.
std::string QuickAddKeyText(unsigned key);

}  // namespace ordalis
