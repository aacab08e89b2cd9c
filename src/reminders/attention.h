#pragma once
// Whether a reminder may interrupt the user now. The program asks Windows;
// tests say it themselves.
namespace ordalis {

class UserAttention {
 public:
  virtual ~UserAttention() = default;
  // The user runs a full-screen program, a game or a presentation: a
  // reminder waits until that ends.
  virtual bool Occupied() = 0;
};

// Windows' own answer (SHQueryUserNotificationState).
class SystemAttention : public UserAttention {
 public:
  bool Occupied() override;
};

}  // namespace ordalis
