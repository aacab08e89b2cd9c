#include "mainwindow/question_text.h"

#include <gtest/gtest.h>

#include <string>

namespace ordalis {
namespace {

TEST(QuestionText, LongDescriptionsAreCutToAboutTwoHundredCharactersWithAnEllipsis) {
  const std::wstring word(9, L'x');  // words of nine letters and a blank
  std::wstring words;
  while (words.size() < 5000) words += word + L' ';
  const std::wstring solid(5000, L'y');
  std::wstring surrogate(199, L'z');
  // A character outside the BMP as UTF-16 holds it, in two halves.
  surrogate += std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)} + L" and more text after the cut";
  struct Case {
    const char* name;
    std::wstring description, shortened;
    size_t length = kQuestionDescriptionLength;
  };
  const Case cases[] = {
      {"short", L"Zahnarzt", L"Zahnarzt"},
      {"exactly at the limit", std::wstring(200, L'a'), std::wstring(200, L'a')},
      {"cut after a word", words, words.substr(0, 199) + L'\u2026'},
      {"one long word", solid, solid.substr(0, 200) + L'\u2026'},
      {"a pair kept whole", surrogate, std::wstring(199, L'z') + L'\u2026'},
      {"a longer limit", words, words.substr(0, 999) + L'\u2026', 1000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ShortenedDescription(c.description, c.length), c.shortened);
  }
}

}  // namespace
}  // namespace ordalis
