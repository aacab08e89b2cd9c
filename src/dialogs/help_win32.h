#pragma once
// Starting the help viewer on a topic.
#include <windows.h>

#include <string>

namespace ordalis {

inline constexpr wchar_t kHelpMissingText[] =
    L"Die Komponente für die Hilfethemen konnte nicht gefunden werden. ";

// Starts the viewer with the command line as a process of its own, with a
// normal, focused window; does not wait for it. False when it could not be
// started. The viewer is named apart from the command line, whose paths are
// not quoted: in a folder with blanks ("C:\Program Files") the system would
// otherwise try "C:\Program.exe" first.
bool StartHelpViewer(const std::wstring& viewer, const std::wstring& commandLine);

}  // namespace ordalis
