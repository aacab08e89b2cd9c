#pragma once
// Info: the about box with the product's name and version, a few words on
// it, the maker's contact and legal notice, and buttons for a mail to the
// maker and the maker's web site. It does not hold up the main window.
#include <windows.h>

namespace ordalis {

// Opens the about box beside `owner`, or brings the open one to the front:
// there is never more than one. Gives the box.
HWND ShowAbout(HWND owner);

// Control ids, for the tests that look at them. "&Abbrechen" is the box's
// cancel button, so Esc presses it.
enum AboutControl : int {
  IDC_PICTURE1 = 6301,
  IDC_RNAME,
  IDC_RWERBUNG,
  IDC_RCONTACT,
  IDC_RLEGAL,
  IDC_BMAIL,
  IDC_BWEBSEITE,
};

}  // namespace ordalis
