#pragma once
// What the about box says and where it opens.
#include <string>
#include <string_view>

#include "session/placement.h"

namespace ordalis {

// "<product> <major>.<minor> Build <revision>": the minor number with a
// leading "0" when it has one digit, the revision filled up with "0" behind
// it to three digits, and "000" shown as "100".
std::wstring VersionText(std::wstring_view productName, unsigned major, unsigned minor,
                         unsigned revision);

// " Info über <product>"
std::wstring AboutCaption(std::wstring_view productName);

// The link for a mail to the maker, the product name in the subject as it
// is (nothing is encoded).
std::wstring MailLink(std::wstring_view address, std::wstring_view productName);

// The box opens 800 twips right of and below the main window; where less
// than 6200 twips are left to the screen's right edge it opens 1200 twips
// left of the main window, and where less than 5500 are left to the bottom
// edge, 800 twips above it.
TwipsPoint AboutPlacement(TwipsPoint mainWindow, long long screenRight, long long screenBottom);

}  // namespace ordalis
