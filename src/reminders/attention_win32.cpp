#include "reminders/attention.h"

#include "win32/shell.h"

namespace ordalis {

bool SystemAttention::Occupied() {
  QUERY_USER_NOTIFICATION_STATE state{};
  if (FAILED(win32::QueryUserNotificationState(&state))) return false;
  return state == QUNS_BUSY || state == QUNS_RUNNING_D3D_FULL_SCREEN ||
         state == QUNS_PRESENTATION_MODE;
}

}  // namespace ordalis
