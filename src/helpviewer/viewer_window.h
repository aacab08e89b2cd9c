#pragma once
// Lotse32's window: the topics on the left, the text of one on the right,
// "Zurück" and "Vorwärts" above. One window per user session: a viewer
// started while one is open hands its request over (WM_COPYDATA).
#include <windows.h>

#include <optional>
#include <string>

#include "helpviewer/help_file.h"
#include "helpviewer/help_request.h"
#include "helpviewer/topic_view.h"
#include "win32/handles.h"
#include "win32/icons.h"
#include "win32/window.h"

namespace ordalis {

inline constexpr wchar_t kViewerClass[] = L"Ordalis.Lotse32";
inline constexpr wchar_t kViewerCaption[] = L"Ordalis-Hilfe";
inline constexpr ULONG_PTR kHandOverTag = 0x4C545345;  // WM_COPYDATA's dwData of a hand-over

enum ViewerControl : int {
  IDC_BACK = 100,
  IDC_FORWARD,
  IDC_TOPICS_LABEL,
  IDC_TOPICS,
  IDC_TITLE,
  IDC_TEXT,
};

// The help file's bytes, or nothing when it cannot be read.
std::optional<std::string> ReadHelpFile(const std::wstring& path);

class ViewerWindow : public win32::Window {
 public:
  // `endsProgram`: closing the window ends the thread's message loop.
  explicit ViewerWindow(bool endsProgram = true) : endsProgram_(endsProgram) {}
  bool Create(int showCommand);

  // Reads the request's file (an empty path keeps the file open now) and
  // shows its topic; a topic the file lacks shows the first one.
  void Open(const HelpRequest& request);
  // A topic chosen in the window: a link, the list.
  void Navigate(int topic);
  void GoBack();
  void GoForward();

  // The keys of the window: Esc, Alt+Left/Right, Enter and Tab on links.
  bool PreTranslate(const MSG& msg);

  int CurrentTopic() const { return shown_; }  // 0 while a message is shown
  const TopicView& Text() const { return view_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Load();
  void FillTopics();  // the next titles into the list
  void SelectInList(int number);
  void UpdateListExtent();
  void ShowTopic(int topic);
  void ShowMessage(std::wstring_view title, std::wstring_view text);
  void Render();
  void UpdateButtons();
  void SetFonts();
  void Layout();
  void MoveFocus(HWND from, bool back);
  void HandOver(const COPYDATASTRUCT& data);

  const bool endsProgram_;
  std::string bytes_;  // the help file, for the topics' texts
  HelpFile file_;
  size_t filled_ = 0;        // titles in the list so far
  bool fillPosted_ = false;  // the next ones are on their way
  std::wstring path_;
  TopicHistory history_;
  int shown_ = 0;
  HelpTopic message_;  // shown while shown_ is 0
  TopicView view_;
  UINT dpi_ = 96;
  win32::WindowIcons icons_;  // the title bar's and Alt+Tab's, for dpi_
  HWND lastFocus_ = nullptr;
  win32::UniqueFont font_, titleFont_;
};

}  // namespace ordalis
