// Which passwords the data file can hold, and how the prompt checks one.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "storage/password_rules.h"
#include "storage/scrambler.h"

namespace ordalis {
namespace {

TEST(CheckPassword, ADamagedStoredPasswordMatchesNothing) {
  const std::string geheim = *ScrambleText("geheim");
  // Stored the way the options once did: scrambling accepts the tab, reading
  // back refuses it.
  const std::string tabbed = *ScrambleText("ab\tcd");
  struct Case {
    std::string stored;
    std::optional<std::string> typed;
    PasswordCheck expected;
  };
  const Case cases[] = {
      {"", "", PasswordCheck::kNoneStored},
      {"", "x", PasswordCheck::kNoneStored},
      {geheim, "geheim", PasswordCheck::kMatch},
      {geheim, "Geheim", PasswordCheck::kWrong},
      {geheim, "", PasswordCheck::kWrong},
      {geheim, std::nullopt, PasswordCheck::kWrong},
      {tabbed, "", PasswordCheck::kDamaged},
      {tabbed, "ab\tcd", PasswordCheck::kDamaged},
      {tabbed, "abcd", PasswordCheck::kDamaged},
      {"\x80", "", PasswordCheck::kDamaged},  // unscrambles below 32
      {*ScrambleText("a\x7F"), "a\x7F", PasswordCheck::kDamaged},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckPassword(c.stored, c.typed), c.expected)
        << testing::PrintToString(c.stored) << " / " << testing::PrintToString(c.typed);
  }
}

TEST(RefusedPasswordCharacters, NamesWhatTheFileCannotGiveBack) {
  struct Case {
    std::wstring typed;
    std::wstring refused;
  };
  const Case cases[] = {
      {L"", L""},
      {L"Passwort ß äöü \"quoted\" 'x' =;[]", L""},
      {L"ab\tcd", L"\t"},
      {L"a\x7F\x85", L"\x7F\x85"},                       // DEL and a C1 control
      {L"Passwort\u20AC\u00DF\u6F22", L"\u20AC\u6F22"},  // "€" and "漢", not "ß"
      {L"\u6F22\u6F22x\u6F22", L"\u6F22"},               // each once
      {L"\u201E\u2122\u0153", L"\u201E\u2122\u0153"},    // Windows-1252, refused at their place
      {L"\u0100", L"\u0100"},                            // outside Windows-1252
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RefusedPasswordCharacters(c.typed), c.refused) << testing::PrintToString(c.typed);
  }
}

TEST(RefusedPasswordCharacters, WhatItAcceptsReadsBackExactly) {
  // Every Windows-1252 character at each place of the key.
  for (wchar_t c = 0x20; c <= 0xFF; ++c) {
    for (size_t place = 0; place < kScrambleKey.size(); ++place) {
      const std::wstring typed = std::wstring(place, L'a') + c;
      if (!RefusedPasswordCharacters(typed).empty()) continue;
      std::string bytes(place, 'a');
      bytes += static_cast<char>(c);
      const std::optional<std::string> stored = ScrambleText(bytes);
      ASSERT_TRUE(stored) << static_cast<int>(c) << " at " << place;
      EXPECT_EQ(CheckPassword(*stored, bytes), PasswordCheck::kMatch)
          << static_cast<int>(c) << " at " << place;
    }
  }
}

TEST(PasswordRefusalText, NamesEachCharacterReadably) {
  EXPECT_EQ(PasswordRefusalText(L"\t\x01\u6F22"),
            L"Das Kennwort wurde nicht gespeichert, weil die Aufgabendatei diese Zeichen darin "
            L"nicht aufnehmen kann: Tabulator, Steuerzeichen U+0001, \u201E\u6F22\u201C. \n"
            L"Bitte geben Sie ein Kennwort ohne diese Zeichen ein. ");
}

}  // namespace
}  // namespace ordalis
