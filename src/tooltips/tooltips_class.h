#pragma once
// One common-controls tooltip window for a form: the form's controls are its
// tools, each known by the control's own window, and its settings are
// properties. Every operation is a message or two to the tooltip window; the
// object keeps only the window and the three values the control cannot give
// back (enabled, title icon, title).
//
// Without a tooltip window every operation does nothing and gives 0, false
// or an empty text; an operation on a control that is not a tool does
// nothing either.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace ordalis {

class Tooltips_Class {
 public:
  Tooltips_Class() = default;
  Tooltips_Class(const Tooltips_Class&) = delete;
  Tooltips_Class& operator=(const Tooltips_Class&) = delete;
  ~Tooltips_Class();

  // Creates the tooltip window for `form`, top-most and owned by it, so it
  // goes when the form goes. A window made earlier is destroyed first.
  void Create(HWND form, DWORD style);
  HWND Handle() const;  // none when it was never made or went with its form

  // The control's container is the tool's window, the control itself its id.
  // An empty text makes a tool without a tip text.
  bool AddTool(HWND control, DWORD flags, std::wstring_view text);
  void DeleteTool(HWND control);
  void SetTipText(HWND control, std::wstring_view text);
  void SetToolRect(HWND control, int left, int top, int right, int bottom);
  void SetTracking(HWND control, bool on);
  void SetTrackPosition(HWND control, int x, int y);
  bool HitTest(HWND control, int x, int y) const;
  int ToolCount() const;
  // The size of the control's tip as it would show now; 0 for a control
  // that is not a tool.
  int GetTooltipWidth(HWND control) const;
  int GetTooltipHeight(HWND control) const;
  void HideTips();

  bool Enabled() const;
  void Enabled(bool enabled);  // kept also without a window
  int Icon() const;
  void Icon(int icon);
  std::wstring Title() const;
  void Title(std::wstring_view title);
  int GetDelayTime(int which) const;  // TTDT_RESHOW, TTDT_AUTOPOP, TTDT_INITIAL
  void SetDelayTime(int which, int milliseconds);
  int MaxTipWidth() const;
  void MaxTipWidth(int width);
  int MarginLeft() const;
  int MarginTop() const;
  int MarginRight() const;
  int MarginBottom() const;
  // Each changes one side and keeps the other three.
  void MarginLeft(int margin);
  void MarginTop(int margin);
  void MarginRight(int margin);
  void MarginBottom(int margin);
  // Colours as set; a system colour (0x80 in the highest byte, the colour
  // index in the lowest) stands for its current value.
  COLORREF BackColor() const;
  void BackColor(std::uint32_t color);
  COLORREF ForeColor() const;
  void ForeColor(std::uint32_t color);
  int GetShellVersion() const { return 0; }

  // Between the size of a text on `dc` and the size of a tip around it.
  int ToolTipWidthFromText(HDC dc, std::wstring_view text) const;
  int ToolTipHeightFromText(HDC dc, std::wstring_view text) const;
  int TextWidthFromToolTipWidth(HDC dc, int width) const;
  int TextHeightFromToolTipHeight(HDC dc, int height) const;

  // The tool record of a control; cbSize 0 when the control is not a tool.
  TTTOOLINFOW FindToolInfo(HWND control) const;

  static std::uint32_t MakeLong(int low, int high);
  static int LoWord(std::uint32_t value) { return value & 0xFFFF; }
  static int HiWord(std::uint32_t value) { return (value >> 16) & 0xFFFF; }
  static COLORREF TranslateColor(std::uint32_t color);

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  RECT Margins() const;
  void SetMargins(const RECT& margins);
  SIZE TextTipSize(HDC dc, std::wstring_view text) const;
  RECT Adjust(RECT rect, bool textToWindow) const;

  HWND window_ = nullptr;
  bool enabled_ = false;
  int icon_ = 0;
  std::wstring title_;
};

}  // namespace ordalis
