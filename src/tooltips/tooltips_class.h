#pragma once
// One common-controls tooltip window for a form: the form's controls are its
// tools, each known by the control's own window, and its settings are
// properties. Every operation is a message or two to the tooltip window; the
// object keeps only the window and the one value the control cannot give
// back (the title).
//
// Without a tooltip window every operation does nothing and gives 0, false
// or an empty text.
#include <windows.h>
#include <commctrl.h>

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

  std::wstring Title() const;
  void Title(std::wstring_view title);             // shown without an icon
  void SetDelayTime(int which, int milliseconds);  // TTDT_RESHOW, TTDT_AUTOPOP, TTDT_INITIAL
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

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  RECT Margins() const;
  void SetMargins(const RECT& margins);

  HWND window_ = nullptr;
  std::wstring title_;
};

}  // namespace ordalis
