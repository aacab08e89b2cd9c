#include "dialogs/help.h"

namespace ordalis {

std::wstring HelpViewerPath(std::wstring_view programFolder) {
  return std::wstring(programFolder) + L"\\Lotse32.exe";
}

std::wstring HelpFilePath(std::wstring_view programFolder) {
  return std::wstring(programFolder) + L"\\Vemra.lhf";
}

std::wstring HelpCommandLine(std::wstring_view programFolder, int topic) {
  if (topic == 0) topic = 1;
  return HelpViewerPath(programFolder) + L" " + HelpFilePath(programFolder) + L"," +
         std::to_wstring(topic);
}

bool DirektHilfen(SettingsStore& settings, std::wstring_view noticeId) {
  const auto off = [&settings](std::wstring_view name) {
    const std::optional<SettingValue> value = ReadSetting(settings, name);
    return value && ReadsAsOne(*value);
  };
  return !off(noticeId) && !off(L"HelpDirekt");
}

void StoreNoticeChoice(SettingsStore& settings, std::wstring_view noticeId, bool hideThis,
                       bool hideAll) {
  WriteSetting(settings, noticeId, SettingValue(std::uint32_t{hideThis}));
  WriteSetting(settings, L"HelpDirekt", SettingValue(std::uint32_t{hideAll}));
}

}  // namespace ordalis
