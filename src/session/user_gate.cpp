#include "session/user_gate.h"

namespace ordalis {

namespace {
constexpr HeldEvent kOrder[] = {HeldEvent::kDueCheck, HeldEvent::kHour, HeldEvent::kOutsideChange,
                                HeldEvent::kTells, HeldEvent::kTrayPress};
constexpr unsigned Bit(HeldEvent event) {
  return 1u << static_cast<unsigned>(event);
}
}  // namespace

void UserGate::Hold(HeldEvent event) {
  held_ |= Bit(event);
}

void UserGate::HoldTrayPress(unsigned mouseMessage) {
  trayPress_ = mouseMessage;
  Hold(HeldEvent::kTrayPress);
}

UserGate::Released UserGate::Release() {
  Released released;
  if (Asking()) return released;
  for (const HeldEvent event : kOrder) {
    if (held_ & Bit(event)) released.events.push_back(event);
  }
  held_ = 0;
  released.trayPress = std::exchange(trayPress_, std::nullopt);
  return released;
}

void UserGate::Close() {
  if (--open_ == 0 && onLastClosed_) onLastClosed_();
}

}  // namespace ordalis
