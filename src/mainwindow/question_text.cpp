#include "mainwindow/question_text.h"

namespace ordalis {

std::wstring ShortenedDescription(std::wstring_view description, size_t length) {
  if (description.size() <= length) return std::wstring(description);
  size_t cut = length;
  // Never between the two halves of a character outside the BMP.
  if (description[cut] >= 0xDC00 && description[cut] <= 0xDFFF) --cut;
  // At the end of a word when one ends in the last tenth.
  const size_t blank = description.find_last_of(L" \t", cut);
  if (blank != std::wstring_view::npos && blank >= cut - length / 10) {
    cut = blank;
  }
  while (cut > 0 && (description[cut - 1] == L' ' || description[cut - 1] == L'\t')) --cut;
  return std::wstring(description.substr(0, cut)) + L'\u2026';
}

}  // namespace ordalis
