#pragma once
// What the tests read of a task file the way the program reads it: through
// the text, as the store does.
#include <string>
#include <string_view>

#include "storage/task_file.h"
#include "storage/task_store.h"

namespace ordalis {

inline std::string FileText(ProfileFile& data) {
  return data.ReadText().value_or(std::string());
}
inline CategoryLoad LoadCategory(ProfileFile& data, Category category) {
  return LoadCategoryText(FileText(data), category);
}
// The unscrambled reminder flag of a key; empty when there is none.
inline std::string StoredFlag(ProfileFile& data, std::string_view key) {
  const ReminderFlags flags = ReminderFlagsOf(FileText(data));
  const auto flag = flags.find(key);
  return flag != flags.end() ? flag->second : std::string();
}
inline ReminderFlags FlagsIn(ProfileFile& data) {
  return ReminderFlagsOf(FileText(data));
}
inline std::string PasswordIn(ProfileFile& data) {
  return StoredPasswordOf(FileText(data));
}
// Sets the password as the options do: one change through the store.
inline SaveResult StorePassword(TaskFiles& files, std::string_view password) {
  TaskStore store(files);
  return store.SetPassword(password);
}
// The key of the task at a position: 0 -> "100".
inline std::string KeyAt(int position) {
  return std::to_string(kFirstTaskKey + position);
}

}  // namespace ordalis
