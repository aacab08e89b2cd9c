#pragma once
// Whether the program's folder can keep the tasks. The tasks live beside the
// program, so a folder that takes no file, or one that Windows and cleanup
// tools empty, loses what the user types: the start says so before the user
// types anything.
#include <string>
#include <string_view>

namespace ordalis {

enum class FolderTrouble {
  kNone,
  kInsideArchive,  // run straight out of a zip: a temporary copy of it
  kTemporary,      // another temporary folder
  kNotWritable,    // read-only, or no right to write there
};

// `folder` and `temporary` are full paths (a trailing backslash or none);
// `writable` says whether a file could be made and removed in `folder`.
FolderTrouble CheckProgramFolder(std::wstring_view folder, std::wstring_view temporary,
                                 bool writable);

// The message for the trouble, naming the folder and what to do; empty for
// none.
std::wstring FolderTroubleText(FolderTrouble trouble, std::wstring_view folder);

}  // namespace ordalis
