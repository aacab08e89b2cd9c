#pragma once
// The options dialog on a scratch registry and program folder, with a main
// window that takes notes, and the looks of its controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "fixtures.h"
#include "options/options_controls.h"
#include "options/options_dialog.h"
#include "win32/controls.h"
#include "storage/profile_file_win32.h"
#include "storage/scrambler.h"
#include "storage/settings_win32.h"
#include "support.h"

namespace ordalis::test {

inline constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class NotingHost : public OptionsHost {
  SettingsStore& settings_;
  ordalis::Settings values_{settings_};
  TaskStore store_;

 public:
  NotingHost(SettingsStore& settings, TaskFiles& files, std::wstring folder)
      : settings_(settings), store_(files), folder(std::move(folder)) {}

  RecordingPlayer sound;
  bool soundDevice = true;
  std::wstring folder;
  int mode = 1;
  bool trayShown = false;
  std::vector<std::string> calls;  // what the dialog did to the main window

  SettingsStore& Settings() override { return settings_; }
  // Read at each call: the tests store values before the dialog opens.
  ordalis::Settings& Values() override {
    values_.Read();
    return values_;
  }
  TaskStore& Tasks() override { return store_; }
  SoundPlayer& Sound() override { return sound; }
  bool HasSoundDevice() override { return soundDevice; }
  std::wstring ProgramFolder() override { return folder; }
  std::wstring ProgramName() override { return L"Vemra"; }
  int ReminderMode() override { return mode; }
  void SelectNeverRemind() override {
    mode = 3;
    calls.push_back("never");
  }
  void EnableTrayModes(bool enable) override { calls.push_back(enable ? "modes on" : "modes off"); }
  void ShowNormal() override { calls.push_back("show"); }
  bool TrayIconShown() override { return trayShown; }
  void AddTrayIcon() override {
    trayShown = true;
    calls.push_back("add icon");
  }
  void RemoveTrayIcon() override {
    trayShown = false;
    calls.push_back("remove icon");
  }
  void ApplyListFont() override {
    calls.push_back("font " + *win32::Narrow(values_.ListFontName()) + " " +
                    std::to_string(values_.ListFontPoints()));
  }
  void ReportSaveFailure(HWND, SaveResult) override { calls.push_back("not saved"); }
};

inline bool Checked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}
inline bool Enabled(HWND dialog, int id) {
  return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}
inline bool Shown(HWND dialog, int id) {
  return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}
inline std::wstring Text(HWND dialog, int id) {
  return win32::WindowText(GetDlgItem(dialog, id));
}
inline int Selected(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}
inline std::vector<std::wstring> Entries(HWND dialog, int id) {
  std::vector<std::wstring> entries;
  const auto count = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
  for (int i = 0; i < count; ++i) {
    wchar_t text[LF_FACESIZE + 1] = {};
    SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    entries.push_back(text);
  }
  return entries;
}
inline DialogScript::Action Toggle(int id) {
  return [id](HWND dialog) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); };
}
inline DialogScript::Action SetText(int id, std::wstring text) {
  return [id, text](HWND dialog) { SetDlgItemTextW(dialog, id, text.c_str()); };
}

class OptionsTest : public testing::Test {
 protected:
  void SetUp() override {
    settings_.CreateKey(SettingsRoot::kCurrentUser, kMakerKey, L"1");
    settings_.CreateKey(SettingsRoot::kCurrentUser, kSettingsKey, L"1");
  }
  void Run() { ShowOptions(nullptr, host_, true); }
  void Set(std::wstring_view name, SettingValue value) {
    ASSERT_TRUE(WriteSetting(settings_, name, value));
  }
  // A stored value as "dword 1", "text abc", or "absent".
  std::string Stored(std::wstring_view name, std::wstring_view key = kSettingsKey) {
    SettingValue value;
    if (!settings_.GetValue(SettingsRoot::kCurrentUser, key, name, value)) return "absent";
    if (const auto* number = std::get_if<std::uint32_t>(&value)) {
      return "dword " + std::to_string(*number);
    }
    return "text " + *win32::Narrow(TextValue(value));
  }
  std::string StoredRun() { return Stored(L"Ordalis", kRunKey); }
  std::string StoredPassword() {
    return ScrambleText(PasswordIn(files_.Data())).value_or("(unreadable)");
  }
  void StorePassword(std::string_view password) {
    ASSERT_EQ(ordalis::StorePassword(files_, password), SaveResult::kSaved);
  }

  ScratchRegistry registry_;
  RegistrySettings settings_;
  TempFolder folder_;
  Win32TaskFiles files_{folder_.Path()};
  NotingHost host_{settings_, files_, folder_.Path()};
};

}  // namespace ordalis::test
