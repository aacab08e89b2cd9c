#pragma once
// The controls of the options dialog, and filling its font boxes.
#include <windows.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "win32/controls.h"

namespace ordalis {

std::span<const win32::ControlSpec> OptionsControls();

// Selects the entry of a combo box that is exactly `text` (without regard to
// case); false, and no entry selected, when there is none.
bool SelectEntry(HWND combo, std::wstring_view text);

// The installed font families of the screen, as the font box lists them.
std::vector<std::wstring> ScreenFontFamilies();

}  // namespace ordalis
