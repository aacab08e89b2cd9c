#pragma once
// The tips of the main window's reminder modes and of its buttons
// "&Optionen" and "Schließen": one tooltip window for the whole run, made as
// the last step of start-up. A tip of a hidden control never shows.
#include <windows.h>

#include <string_view>

#include "tooltips/tooltips_class.h"

namespace ordalis {

struct ControlTip {
  int controlId;
  std::wstring_view text;
};

// The controls with a tip, by their id in the main window, and their texts.
extern const ControlTip kControlTips[5];

class ControlTips {
 public:
  // Makes the tooltip window of `mainWindow` with this window style (0 for
  // plain tips) and gives the five controls their tips.
  void SetupControlTooltips(HWND mainWindow, DWORD style);
  // A control made after the tips gets its tip, if it has one.
  void Add(HWND control);
  // The main window is going: forget it. Its tooltip window goes with it.
  void ReleaseControlTooltips() { mainWindow_ = nullptr; }
  // The tip width and margins follow the main window's DPI.
  void Rescale(UINT dpi);

  Tooltips_Class& Tips() { return tips_; }
  HWND MainWindow() const { return mainWindow_; }

 private:
  void SetMargins(UINT dpi);

  HWND mainWindow_ = nullptr;
  Tooltips_Class tips_;
};

}  // namespace ordalis
