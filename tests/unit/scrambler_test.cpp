#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/scrambler.h"

using ordalis::ScrambleText;

namespace {

// The code the key digit at a (0-based) position XORs with.
unsigned Mask(size_t position) {
  return static_cast<unsigned char>(ordalis::kScrambleKey[position % 4]) + 96;
}

std::string Chars(std::initializer_list<unsigned> codes) {
  std::string text;
  for (const unsigned code : codes) text.push_back(static_cast<char>(code));
  return text;
}

}  // namespace

TEST(Scrambler, KnownVector) {
  // "A" (65) XOR ("7" + 96 = 151) = 214.
  EXPECT_EQ(ScrambleText("A"), Chars({214}));
  EXPECT_EQ(ScrambleText("AAAAA"), Chars({214, 210, 208, 217, 214}));
}

TEST(Scrambler, WalksTheKeyCyclically) {
  // Every position of a text of nine characters takes the key digit at its
  // position modulo four: the fifth and ninth reuse the first digit.
  const std::string text = "Einkaufen";
  const auto scrambled = ScrambleText(text);
  ASSERT_TRUE(scrambled);
  ASSERT_EQ(scrambled->size(), text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    EXPECT_EQ(static_cast<unsigned char>((*scrambled)[i]),
              static_cast<unsigned char>(text[i]) ^ Mask(i))
        << "position " << i;
  }
  // A different key gives a different text.
  EXPECT_NE(ScrambleText(text, "1234"), scrambled);
}

TEST(Scrambler, ScramblingTwiceGivesTheTextBack) {
  for (const std::string& text : std::vector<std::string>{
           "A", "01-31-2024|23:59|Zahnarzt", "\xE4\xF6\xFC\xDF \xB0", std::string(300, 'x')}) {
    const auto once = ScrambleText(text);
    ASSERT_TRUE(once) << text;
    EXPECT_NE(*once, text);
    EXPECT_EQ(once->size(), text.size());
    EXPECT_EQ(ScrambleText(*once), text);
  }
}

TEST(Scrambler, EmptyTextGivesEmptyText) {
  const auto result = ScrambleText("");
  ASSERT_TRUE(result);
  EXPECT_EQ(*result, "");
}

TEST(Scrambler, RefusesEveryCodeFrom128To159AtAnyPosition) {
  for (unsigned code = 128; code <= 159; ++code) {
    const std::string bad(1, static_cast<char>(code));
    EXPECT_EQ(ScrambleText(bad), std::nullopt) << code;
    EXPECT_EQ(ScrambleText("Miete " + bad), std::nullopt) << code << " last";
    EXPECT_EQ(ScrambleText(bad + "Miete"), std::nullopt) << code << " first";
  }
  // "€" is one of them.
  EXPECT_EQ(ScrambleText("5 \x80"), std::nullopt);
}

TEST(Scrambler, AcceptsEveryOtherCode) {
  for (unsigned code = 0; code <= 255; ++code) {
    if (code >= 128 && code <= 159) continue;
    for (size_t position = 0; position < 4; ++position) {
      std::string text(position + 1, 'a');
      text[position] = static_cast<char>(code);
      EXPECT_TRUE(ScrambleText(text)) << code << " at " << position;
    }
  }
}

TEST(Scrambler, ControlCharacterScramblesButItsStoredFormIsRefused) {
  const auto stored = ScrambleText("a\tb");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->size(), 3u);
  EXPECT_EQ(static_cast<unsigned char>((*stored)[1]), '\t' ^ Mask(1));
  EXPECT_EQ(ScrambleText(*stored), std::nullopt);
}
