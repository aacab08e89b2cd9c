#pragma once
// Drives our modal dialogs and message boxes the way a user does. The steps
// of a script run one per tick of a thread timer, which fires inside
// whichever modal loop is running; messages a step posts are handled before
// the next tick comes. Each step names the window it works in by its caption
// and waits until that window is shown and usable (a window under a message
// box of its own is disabled). Keys are posted to the focused control, so
// they pass through the dialog manager as typed keys do.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ordalis::test {

class DialogScript {
 public:
  using Action = std::function<void(HWND window)>;

  // The steps that follow work in the window titled `caption`.
  explicit DialogScript(std::wstring caption) : caption_(std::move(caption)) {
    Active() = this;
    timer_ = SetTimer(nullptr, 0, 20, Tick);
  }
  ~DialogScript() {
    KillTimer(nullptr, timer_);
    Active() = nullptr;
    EXPECT_EQ(next_, steps_.size()) << "the script stopped before its end";
  }
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  DialogScript& In(std::wstring caption) {
    caption_ = std::move(caption);
    return *this;
  }
  DialogScript& Do(Action action) {
    steps_.push_back({caption_, std::move(action)});
    return *this;
  }
  // Characters typed into the focused control.
  DialogScript& Type(std::wstring text) {
    return Do([text](HWND) {
      HWND focus = GetFocus();
      ASSERT_NE(focus, nullptr) << "no control has the focus";
      for (const wchar_t c : text) PostMessageW(focus, WM_CHAR, c, 1);
    });
  }
  // A key pressed and released on the focused control.
  DialogScript& Press(UINT key) {
    return Do([key](HWND) {
      HWND focus = GetFocus();
      ASSERT_NE(focus, nullptr) << "no control has the focus";
      const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
      PostMessageW(focus, WM_KEYDOWN, key, 1 | (scan << 16));
      PostMessageW(focus, WM_KEYUP, key, 1 | (scan << 16) | (3u << 30));
    });
  }
  // A click on a button.
  DialogScript& Click(int id) {
    return Do([id](HWND window) {
      HWND button = GetDlgItem(window, id);
      ASSERT_NE(button, nullptr) << "no button " << id;
      PostMessageW(button, BM_CLICK, 0, 0);
    });
  }
  // A click into a control, which takes the focus.
  DialogScript& Focus(int id) {
    return Do([id](HWND window) {
      PostMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, id)), TRUE);
    });
  }
  // A message box titled `caption`: its text is noted, `button` pressed.
  DialogScript& Answer(std::wstring caption, int button) {
    std::wstring keep = caption_;
    In(std::move(caption)).Do([this, button](HWND box) {
      wchar_t text[2048] = {};
      GetDlgItemTextW(box, 0xFFFF, text, 2048);
      answers_.push_back(text);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    });
    return In(std::move(keep));
  }

  bool Finished() const { return next_ == steps_.size(); }
  // The texts of the message boxes answered so far.
  const std::vector<std::wstring>& Answers() const { return answers_; }

 private:
  struct Step {
    std::wstring caption;
    Action action;
  };
  struct Search {
    const std::wstring* caption;  // any caption when null
    HWND found = nullptr;
  };

  static DialogScript*& Active() {
    static DialogScript* active = nullptr;
    return active;
  }

  static BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    wchar_t className[16] = {}, title[256] = {};
    GetClassNameW(window, className, 16);
    GetWindowTextW(window, title, 256);
    if (IsWindowVisible(window) && std::wstring_view(className) == L"#32770" &&
        (!search->caption || *search->caption == title)) {
      search->found = window;
      return FALSE;
    }
    return TRUE;
  }
  static HWND Find(const std::wstring* caption) {
    Search search{caption};
    EnumThreadWindows(GetCurrentThreadId(), FindWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogScript* self = Active();
    if (!self || self->running_) return;
    self->running_ = true;
    self->Advance();
    self->running_ = false;
  }

  void Advance() {
    if (Finished()) {
      // Nothing may stay open once the script is done; a window that does
      // would hold the test in its modal loop for ever.
      HWND left = Find(nullptr);
      if (!left || !IsWindowEnabled(left)) return;
      if (++idle_ < kPatience) return;
      wchar_t title[256] = {};
      GetWindowTextW(left, title, 256);
      ADD_FAILURE() << "a window stayed open after the script: \"" << testing::PrintToString(title)
                    << "\"";
      PostMessageW(left, WM_COMMAND, IDCANCEL, 0);
      idle_ = 0;
      return;
    }
    const Step& step = steps_[next_];
    HWND window = Find(&step.caption);
    if (!window || !IsWindowEnabled(window)) {
      if (++idle_ < kPatience) return;
      ADD_FAILURE() << "no window " << testing::PrintToString(step.caption) << " for step "
                    << next_ + 1;
      // Leave every modal loop, so the test can end.
      next_ = steps_.size();
      while (HWND left = Find(nullptr)) {
        DestroyWindow(left);
      }
      return;
    }
    idle_ = 0;
    ++next_;
    step.action(window);
  }

  // Ticks to wait for a window before the script gives up.
  static constexpr int kPatience = 500;

  std::wstring caption_;
  std::vector<Step> steps_;
  size_t next_ = 0;
  int idle_ = 0;
  bool running_ = false;
  UINT_PTR timer_ = 0;
  std::vector<std::wstring> answers_;
};

}  // namespace ordalis::test
