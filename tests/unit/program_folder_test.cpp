#include "storage/program_folder.h"

#include <gtest/gtest.h>

namespace ordalis {
namespace {

constexpr wchar_t kTemp[] = L"C:\\Users\\Eva\\AppData\\Local\\Temp\\";

TEST(ProgramFolderTest, TellsWhereTheTasksWouldBeLost) {
  struct Row {
    const wchar_t* folder;
    bool writable;
    FolderTrouble expected;
  };
  const Row rows[] = {
      {L"C:\\Users\\Eva\\Documents\\Ordalis", true, FolderTrouble::kNone},
      {L"C:\\Program Files\\Ordalis", false, FolderTrouble::kNotWritable},
      // Windows' own zip folder, 7-Zip's and WinRAR's, in any case.
      {L"C:\\Users\\Eva\\AppData\\Local\\Temp\\Temp1_Ordalis-1.0.0-portable.zip\\Ordalis-1.0.0",
       true, FolderTrouble::kInsideArchive},
      {L"c:\\users\\eva\\appdata\\local\\temp\\7zO4A1B2C3D", true, FolderTrouble::kInsideArchive},
      {L"C:\\Users\\Eva\\AppData\\Local\\Temp\\Rar$EXa1234.5678\\Ordalis", true,
       FolderTrouble::kInsideArchive},
      // The temporary folder itself, and a folder in it, whether it takes
      // files or not.
      {L"C:\\Users\\Eva\\AppData\\Local\\Temp", false, FolderTrouble::kNotWritable},
      {L"C:\\Users\\Eva\\AppData\\Local\\Temp\\Ordalis", true, FolderTrouble::kTemporary},
      {L"C:\\Users\\Eva\\AppData\\Local\\Temp\\Ordalis", false, FolderTrouble::kTemporary},
      // A name that only begins like the temporary folder.
      {L"C:\\Users\\Eva\\AppData\\Local\\Temporär\\Ordalis", true, FolderTrouble::kNone},
      {L"D:\\Archiv.zip\\Ordalis", true, FolderTrouble::kNone},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CheckProgramFolder(row.folder, kTemp, row.writable), row.expected)
        << testing::PrintToString(std::wstring(row.folder));
  }
  // No temporary folder known: only the write counts.
  EXPECT_EQ(CheckProgramFolder(L"C:\\Temp\\x", L"", true), FolderTrouble::kNone);
}

TEST(ProgramFolderTest, EveryTroubleSaysWhatToDo) {
  for (const FolderTrouble trouble :
       {FolderTrouble::kInsideArchive, FolderTrouble::kTemporary, FolderTrouble::kNotWritable}) {
    const std::wstring text = FolderTroubleText(trouble, L"C:\\Programme\\Ordalis");
    EXPECT_NE(text.find(L"\u201EDokumente\u201C"), std::wstring::npos) << static_cast<int>(trouble);
    EXPECT_NE(text.find(L"Setup"), std::wstring::npos);
  }
  EXPECT_NE(FolderTroubleText(FolderTrouble::kNotWritable, L"C:\\Programme\\Ordalis")
                .find(L"\u201EC:\\Programme\\Ordalis\u201C"),
            std::wstring::npos);
  EXPECT_EQ(FolderTroubleText(FolderTrouble::kNone, L"C:\\x"), L"");
}

}  // namespace
}  // namespace ordalis
