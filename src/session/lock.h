#pragma once
// The password that locks the task view. While it is pending no task text
// reaches any window, tip or notification; there is only ever one prompt.

namespace ordalis {

class Lock {
 public:
  // A stored password locks the view from the start until it is typed.
  void Engage(bool passwordStored) { pending_ = passwordStored; }
  bool Pending() const { return pending_; }

  // The prompt opens; false when one is open already (a second request
  // never opens a second prompt: the right password in one would leave the
  // other to decide).
  bool BeginPrompt() {
    if (prompting_) return false;
    prompting_ = true;
    return true;
  }
  // The prompt closed; the right password opens the view.
  void EndPrompt(bool accepted) {
    prompting_ = false;
    if (accepted) pending_ = false;
  }

 private:
  bool pending_ = false;
  bool prompting_ = false;
};

}  // namespace ordalis
