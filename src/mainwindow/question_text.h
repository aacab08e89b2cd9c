#pragma once
// Texts of the questions that name a task.
#include <string>
#include <string_view>

namespace ordalis {

inline constexpr size_t kQuestionDescriptionLength = 200;

// A description as a question or a tip names it: a long one is cut to about `length`
// characters, after a word where one ends near the cut, and ends with "…",
// so the question still fits the screen.
std::wstring ShortenedDescription(std::wstring_view description,
                                  size_t length = kQuestionDescriptionLength);

}  // namespace ordalis
