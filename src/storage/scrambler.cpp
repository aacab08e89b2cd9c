#include "storage/scrambler.h"

namespace ordalis {

const char kScrambleRefusedTitle[] = " Datenbankfehler";
const char kScrambleRefusedText[] =
    "Der Datensatz wurde nicht gespeichert, weil unerlaubte Zeichen eingef\xFCgt wurden. \n"
    "Bitte entfernen Sie die Zeichen (Sonderzeichen) und speichern sie noch einmal. ";

std::optional<std::string> ScrambleText(std::string_view text, std::string_view key) {
  std::string result(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned a = static_cast<unsigned char>(text[i]);
    const unsigned k = static_cast<unsigned char>(key[i % key.size()]);
    const unsigned d = a ^ (k + 96);
    if (d < 32 || d > 255) return std::nullopt;
    result[i] = static_cast<char>(d);
  }
  return result;
}

}  // namespace ordalis
