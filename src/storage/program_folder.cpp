#include "storage/program_folder.h"

#include "storage/text_case.h"

namespace ordalis {

namespace {

std::wstring Folded(std::wstring_view path) {
  std::wstring result = Lowercase(path);
  while (!result.empty() && result.back() == L'\\') result.pop_back();
  return result;
}

// The folders the archive programs unpack a started file into: Windows'
// own ("Temp1_Ordalis.zip"), 7-Zip's ("7zO1A2B") and WinRAR's ("Rar$EXa12.345").
bool ArchiveFolder(std::wstring_view name) {
  return name.find(L".zip") != std::wstring_view::npos || name.starts_with(L"7zo") ||
         name.starts_with(L"rar$ex");
}

}  // namespace

FolderTrouble CheckProgramFolder(std::wstring_view folder, std::wstring_view temporary,
                                 bool writable) {
  const std::wstring path = Folded(folder), temp = Folded(temporary);
  if (!temp.empty() && path.size() > temp.size() && path.starts_with(temp) &&
      path[temp.size()] == L'\\') {
    std::wstring_view rest = std::wstring_view(path).substr(temp.size() + 1);
    for (size_t end; !rest.empty(); rest.remove_prefix(end == rest.npos ? rest.size() : end + 1)) {
      end = rest.find(L'\\');
      if (ArchiveFolder(rest.substr(0, end))) return FolderTrouble::kInsideArchive;
    }
    return FolderTrouble::kTemporary;
  }
  return writable ? FolderTrouble::kNone : FolderTrouble::kNotWritable;
}

std::wstring FolderTroubleText(FolderTrouble trouble, std::wstring_view folder) {
  const std::wstring named = L"\u201E" + std::wstring(folder) + L"\u201C";
  constexpr std::wstring_view kWhatToDo =
      L"Ordalis speichert Ihre Aufgaben in seinem eigenen Ordner (Vemra.dat).";
  switch (trouble) {
    case FolderTrouble::kNone: break;
    case FolderTrouble::kInsideArchive:
      return L"Ordalis wurde direkt aus dem ZIP-Archiv gestartet. Windows hat es dafür in einen "
             L"temporären Ordner entpackt, den Windows und Aufräumprogramme leeren: Aufgaben, die "
             L"Sie jetzt eingeben, gingen dort verloren.\r\n\r\n"
             L"Bitte schließen Sie Ordalis und entpacken Sie das Archiv zuerst (rechte Maustaste, "
             L"\u201EAlle extrahieren\u2026\u201C), zum Beispiel in den Ordner "
             L"\u201EDokumente\u201C. "
             L"Starten Sie Ordalis dann von dort. Oder installieren Sie Ordalis mit dem Setup.";
    case FolderTrouble::kTemporary:
      return std::wstring(kWhatToDo) + L" Es läuft aber aus dem temporären Ordner " + named +
             L", den Windows und Aufräumprogramme leeren: Aufgaben, die Sie jetzt eingeben, "
             L"gingen dort verloren.\r\n\r\n"
             L"Bitte schließen Sie Ordalis, kopieren Sie seinen Ordner zum Beispiel in den Ordner "
             L"\u201EDokumente\u201C und starten Sie es von dort. Oder installieren Sie Ordalis "
             L"mit dem Setup.";
    case FolderTrouble::kNotWritable:
      return std::wstring(kWhatToDo) + L" In den Ordner " + named +
             L" kann es aber nicht schreiben: Er ist schreibgeschützt, oder Ihnen fehlt dort das "
             L"Schreibrecht, wie meist unter \u201EC:\\Programme\u201C. Neue Aufgaben könnte "
             L"Ordalis nicht speichern.\r\n\r\n"
             L"Bitte schließen Sie Ordalis, kopieren Sie seinen Ordner an einen Ort, an dem Sie "
             L"schreiben dürfen, zum Beispiel in den Ordner \u201EDokumente\u201C, und starten "
             L"Sie es von dort. Oder installieren Sie Ordalis mit dem Setup: Es schlägt einen "
             L"passenden Ordner vor.";
  }
  return L"";
}

}  // namespace ordalis
