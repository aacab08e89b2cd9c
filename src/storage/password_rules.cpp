#include "storage/password_rules.h"

#include <array>
#include <cstdio>

#include "storage/scrambler.h"

namespace ordalis {

const wchar_t kDamagedPasswordText[] =
    L"Das gespeicherte Kennwort ist beschädigt und kann nicht gelesen werden; die Aufgaben "
    L"bleiben gesperrt. Um wieder an sie zu gelangen, beenden Sie Ordalis und löschen in der "
    L"Datei Vemra.dat im Abschnitt [Others] die Zeile, die mit \u201E200=\u201C beginnt "
    L"(Hilfethema \u201EDas Kennwort\u201C).";
const wchar_t kReminderWaitingText[] =
    L"Eine Erinnerung wartet: Nach dem Kennwort zeigt Ordalis die fällige Aufgabe. "
    L"\u201EAbbrechen\u201C lässt Ordalis im Infobereich weiterlaufen; die Aufgabe wartet, "
    L"bis Sie das Fenster öffnen.";

namespace {

// The Unicode characters of the Windows-1252 codes 0x80..0x9F; 0 where the
// code page has none.
constexpr std::array<char16_t, 32> kHighCodes = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool IsControl(wchar_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// The Windows-1252 code of a character; nullopt when it has none.
std::optional<unsigned char> Windows1252(wchar_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (size_t i = 0; i < kHighCodes.size(); ++i) {
    if (kHighCodes[i] != 0 && static_cast<wchar_t>(kHighCodes[i]) == c) {
      return static_cast<unsigned char>(0x80 + i);
    }
  }
  return std::nullopt;
}

// Whether the byte at this place of the password comes back from the file
// as it was typed: scrambled with its key digit and unscrambled again.
bool ReadsBackAt(unsigned char byte, size_t place) {
  const char key = kScrambleKey[place % kScrambleKey.size()];
  const std::string_view digit(&key, 1);
  const std::string typed(1, static_cast<char>(byte));
  const std::optional<std::string> stored = ScrambleText(typed, digit);
  return stored && ScrambleText(*stored, digit) == typed;
}

bool IsHighSurrogate(wchar_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

}  // namespace

PasswordCheck CheckPassword(std::string_view stored, const std::optional<std::string>& typed) {
  if (stored.empty()) return PasswordCheck::kNoneStored;
  const std::optional<std::string> password = ScrambleText(stored);
  if (!password) return PasswordCheck::kDamaged;
  for (const char c : *password) {
    // No field gives a control character; such a password was stored from
    // a text the file could not hold, and nothing typed can match it.
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return PasswordCheck::kDamaged;
  }
  return typed && *typed == *password ? PasswordCheck::kMatch : PasswordCheck::kWrong;
}

std::wstring RefusedPasswordCharacters(std::wstring_view typed) {
  std::wstring refused;
  const auto note = [&refused](std::wstring_view character) {
    if (refused.find(character) == std::wstring::npos) refused += character;
  };
  size_t place = 0;  // in Windows-1252 bytes, the scrambler's unit
  for (size_t i = 0; i < typed.size(); ++i) {
    const wchar_t c = typed[i];
    if (IsHighSurrogate(c) && i + 1 < typed.size()) {
      note(typed.substr(i, 2));  // one character in two code units
      ++i;
      ++place;
      continue;
    }
    const std::optional<unsigned char> byte = Windows1252(c);
    if (IsControl(c) || !byte || !ReadsBackAt(*byte, place)) note(std::wstring(1, c));
    ++place;
  }
  return refused;
}

std::wstring PasswordRefusalText(std::wstring_view refused) {
  std::wstring names;
  for (size_t i = 0; i < refused.size(); ++i) {
    if (!names.empty()) names += L", ";
    const wchar_t c = refused[i];
    if (c == L'\t') {
      names += L"Tabulator";
    } else if (IsControl(c)) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
      names += L"Steuerzeichen ";
      for (const char* p = code; *p; ++p) names += static_cast<wchar_t>(*p);
    } else {
      const size_t length = IsHighSurrogate(c) && i + 1 < refused.size() ? 2 : 1;
      names += L"\u201E" + std::wstring(refused.substr(i, length)) + L"\u201C";
      i += length - 1;
    }
  }
  return L"Das Kennwort wurde nicht gespeichert, weil die Aufgabendatei diese Zeichen darin "
         L"nicht aufnehmen kann: " +
         names + L". \nBitte geben Sie ein Kennwort ohne diese Zeichen ein. ";
}

}  // namespace ordalis
