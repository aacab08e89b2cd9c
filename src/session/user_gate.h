#pragma once
// While the user is asked something (a dialog, a message box, the start-up
// or the close sequence), nothing may reload or reorder the list, show or
// hide the window or open another dialog under the question. The gate
// counts the open questions and keeps what arrived meanwhile, once each,
// until the last question closes.
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace ordalis {

// What waits for the user's answer, in the order it runs afterwards: the
// reminders first, then what the list shows, then the icon's press.
enum class HeldEvent { kDueCheck, kHour, kOutsideChange, kTells, kTrayPress };

class UserGate {
 public:
  // One open question, counted while it lives.
  class Question {
   public:
    explicit Question(UserGate& gate) : gate_(&gate) { ++gate.open_; }
    Question(Question&& other) noexcept : gate_(std::exchange(other.gate_, nullptr)) {}
    Question(const Question&) = delete;
    Question& operator=(const Question&) = delete;
    Question& operator=(Question&&) = delete;
    ~Question() {
      if (gate_) gate_->Close();
    }

   private:
    UserGate* gate_;
  };

  [[nodiscard]] Question Ask() { return Question(*this); }
  bool Asking() const { return open_ > 0; }

  // Keeps an event for the moment the last question closes; an event held
  // twice runs once.
  void Hold(HeldEvent event);
  // The icon was pressed while a question is open and no dialog can come to
  // the front for it: the last press follows the answer.
  void HoldTrayPress(unsigned mouseMessage);

  // Told when the last question closes. The window posts itself a message,
  // so that the command that asked goes on to its end first.
  void OnLastClosed(std::function<void()> callback) { onLastClosed_ = std::move(callback); }

  // What waited, in the order of HeldEvent, each once; nothing while a
  // question is still open. A held press comes with kTrayPress.
  struct Released {
    std::vector<HeldEvent> events;
    std::optional<unsigned> trayPress;
  };
  Released Release();

 private:
  void Close();

  int open_ = 0;
  unsigned held_ = 0;  // a bit for each HeldEvent
  std::optional<unsigned> trayPress_;
  std::function<void()> onLastClosed_;
};

}  // namespace ordalis
