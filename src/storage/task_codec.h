#pragma once
// The stored form of one task: date "|" time "|" description, scrambled.
#include <optional>
#include <string>
#include <string_view>

#include "storage/task.h"

namespace ordalis {

// The scrambled value, or nullopt when the scrambler refuses a character of
// the task. Every "€" of the description is stored as "^".
std::optional<std::string> EncodeTask(const Task& task);

enum class DecodeStatus { kTask, kEmpty, kRefused };
struct DecodedTask {
  DecodeStatus status = DecodeStatus::kEmpty;
  Task task;
};

// Unscrambles and splits at the first two "|"; missing fields stay empty.
// Every "^" of the description becomes "€".
DecodedTask DecodeTask(std::string_view stored);

}  // namespace ordalis
