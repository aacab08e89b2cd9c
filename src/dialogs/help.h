#pragma once
// Help topics in the separate help viewer, and whether a notice may show.
#include <string>
#include <string_view>

#include "storage/settings.h"

namespace ordalis {

// "<folder>\Lotse32.exe <folder>\Vemra.lhf,<topic>"; topic 0 means 1.
std::wstring HelpCommandLine(std::wstring_view programFolder, int topic);
std::wstring HelpViewerPath(std::wstring_view programFolder);
std::wstring HelpFilePath(std::wstring_view programFolder);

// Whether the notice with this id may be shown: not when it, or all
// notices, were switched off.
bool DirektHilfen(SettingsStore& settings, std::wstring_view noticeId);

// What the notice's "OK" stores: the notice's own switch and the switch
// for all notices, both always written.
void StoreNoticeChoice(SettingsStore& settings, std::wstring_view noticeId, bool hideThis,
                       bool hideAll);

inline constexpr std::wstring_view kClosingNoticeId = L"100";

}  // namespace ordalis
