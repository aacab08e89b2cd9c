#pragma once
// Windows laid down from a table: each control's class, text, id, style and
// place in twips. The same table places the controls again when the DPI
// changes.
#include <windows.h>

#include <span>
#include <string>
#include <utility>
#include <vector>

#include "win32/handles.h"

namespace ordalis::win32 {

struct ControlSpec {
  const wchar_t* windowClass;
  const wchar_t* text;
  int id;
  DWORD style;              // WS_CHILD is added
  int x, y, width, height;  // twips
  DWORD exStyle = 0;
};

// The controls a window made, by their ids. Finding a control by its id
// (GetDlgItem) looks through all of the window's children, under Wine with
// a call to its server each time.
class ControlHandles {
 public:
  void Add(int id, HWND control) { controls_.emplace_back(id, control); }
  // The control of this id, or nullptr while there is none.
  HWND operator()(int id) const;

 private:
  std::vector<std::pair<int, HWND>> controls_;
};

// Creates every control of the table as a child of `parent`, placed for
// this DPI and with the font; `made`, if given, keeps each by its id.
void CreateControls(HWND parent, std::span<const ControlSpec> controls, UINT dpi, HFONT font,
                    ControlHandles* made = nullptr);
// Places every control of the table for this DPI and gives it the font.
void PlaceControls(HWND parent, std::span<const ControlSpec> controls, UINT dpi, HFONT font);
// The control's place in pixels at this DPI.
RECT PlaceOf(const ControlSpec& control, UINT dpi);
// Creates one control of a table at a place in pixels, with the font.
HWND CreateControl(HWND parent, const ControlSpec& control, const RECT& place, HFONT font);

// Widths of texts in a font (by default the window's), all measured in one
// device context.
class TextWidths {
 public:
  explicit TextWidths(HWND window, HFONT font = nullptr);
  ~TextWidths();
  TextWidths(const TextWidths&) = delete;
  TextWidths& operator=(const TextWidths&) = delete;

  int Of(const std::wstring& text) const;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// The system's message font at this DPI, or a named font of a point size.
UniqueFont MessageFont(UINT dpi);
UniqueFont PointFont(const wchar_t* face, int points, UINT dpi, int weight = FW_NORMAL);

// The whole text of a window or control.
std::wstring WindowText(HWND window);

// Takes the close command and the separator above it out of the window's
// menu, so neither the close box nor Alt+F4 closes it.
void RemoveCloseCommand(HWND window);

// The outer size of a window whose client area is width x height pixels.
SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi);

}  // namespace ordalis::win32
