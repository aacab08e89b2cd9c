#pragma once
// A dialog as a small class: its controls come from a table in twips, the
// dialog manager does the keyboard work (Tab order, default button, Esc as
// cancel), and the static procedure forwards to the object through
// DWLP_USER. No exception leaves the procedure.
#include <windows.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

#include "win32/controls.h"
#include "win32/handles.h"

namespace ordalis::win32 {

class Dialog {
 public:
  Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;
  virtual ~Dialog();

  // Runs the dialog modally; the result is the id that ended it.
  INT_PTR RunModal(HWND owner);
  // Creates the dialog without waiting; the message loop must pass its
  // messages through IsDialogMessageW.
  HWND CreateModeless(HWND owner);
  HWND Handle() const { return hwnd_; }
  // Another program has the keyboard: the dialog comes in front of it
  // without taking the keyboard; its first control gets the focus when the
  // user activates it.
  void OpenQuietly() { quietly_ = true; }
  bool Quietly() const { return quietly_; }
  // How the program opens a topic of its help: F1 anywhere in a dialog of
  // this thread opens the dialog's topic there.
  static void SetHelpOpener(std::function<void(int topic)> open) { HelpOpener() = std::move(open); }

 protected:
  virtual std::span<const ControlSpec> Controls() const = 0;
  virtual std::wstring Caption() const = 0;
  virtual SIZE ClientTwips() const = 0;
  // After the controls exist; return the control to focus first.
  virtual HWND OnInit() { return nullptr; }
  // A command of a control; true when handled. IDOK and IDCANCEL end the
  // dialog unless handled here.
  virtual bool OnCommand(int /*id*/, int /*code*/) { return false; }
  // The font of the controls; the system's message font unless a dialog
  // names its own.
  virtual UniqueFont MakeFont(UINT dpi) const { return MessageFont(dpi); }
  // After the dialog has laid itself out for a new DPI (Dpi() tells it).
  virtual void OnDpiChanged() {}
  // The topic of the help F1 opens in this dialog; 0 for none.
  virtual int HelpTopic() const { return 0; }
  // F1 in the dialog; true when it did something.
  virtual bool OnHelpKey() {
    if (HelpTopic() == 0 || !HelpOpener()) return false;
    HelpOpener()(HelpTopic());
    return true;
  }
  // Any other message; true when handled, with the result in `result`.
  virtual bool OnMessage(UINT /*message*/, WPARAM, LPARAM, INT_PTR& /*result*/) { return false; }

  void End(INT_PTR result);
  HWND Item(int id) const { return GetDlgItem(hwnd_, id); }
  UINT Dpi() const { return dpi_; }
  HFONT Font() const { return font_.get(); }

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // F1 is taken where the dialog's message loop (modal, quiet, or the
  // program's for a modeless dialog) hands it to the dialog filter, before
  // a control can keep it; the innermost dialog answers.
  static LRESULT CALLBACK HelpFilter(int code, WPARAM wParam, LPARAM lParam);
  static std::function<void(int)>& HelpOpener();
  static inline std::vector<Dialog*> open_;  // the dialogs that exist, oldest first
  static inline HHOOK helpFilter_ = nullptr;
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // Sizes the dialog for its DPI; the controls, made in place, are placed
  // again only at a new DPI.
  void Layout(bool placeControls);
  void CenterOverOwner();

  HWND hwnd_ = nullptr;
  bool modal_ = false;
  bool quietly_ = false;
  HWND focusOnActivation_ = nullptr;
  bool ended_ = false;  // the quiet dialog's own loop ends
  INT_PTR result_ = 0;
  UINT dpi_ = 96;
  UniqueFont font_;
};

}  // namespace ordalis::win32
