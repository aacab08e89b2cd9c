#include "storage/task_codec.h"

#include <algorithm>

#include "storage/scrambler.h"

namespace ordalis {

namespace {
constexpr char kEuro = '\x80';  // "€" in Windows-1252
}

std::string_view SectionOf(Category category) {
  switch (category) {
    case Category::Important: return "Important";
    case Category::Others: return "Others";
    case Category::Done: return "Done";
    case Category::All: break;
  }
  return {};
}

std::optional<std::string> EncodeTask(const Task& task) {
  std::string description = task.description;
  std::replace(description.begin(), description.end(), kEuro, '^');
  return ScrambleText(task.date + "|" + task.time + "|" + description);
}

DecodedTask DecodeTask(std::string_view stored) {
  DecodedTask result;
  if (stored.empty()) return result;
  const auto plain = ScrambleText(stored);
  if (!plain) {
    result.status = DecodeStatus::kRefused;
    return result;
  }
  result.status = DecodeStatus::kTask;
  std::string_view rest = *plain;
  const auto take = [&rest]() {
    const size_t bar = rest.find('|');
    std::string field(rest.substr(0, bar));
    rest = bar == std::string_view::npos ? std::string_view{} : rest.substr(bar + 1);
    return field;
  };
  result.task.date = take();
  result.task.time = take();
  result.task.description = std::string(rest);
  std::replace(result.task.description.begin(), result.task.description.end(), '^', kEuro);
  return result;
}

}  // namespace ordalis
