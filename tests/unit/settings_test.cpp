#include <gtest/gtest.h>

#include <limits>
#include <map>
#include <tuple>

#include "session/program_settings.h"
#include "storage/settings.h"
#include "storage/text_case.h"

using namespace std::string_literals;
using ordalis::NumericValue;
using ordalis::ReadsAsOne;
using ordalis::SettingsRoot;
using ordalis::SettingValue;
using ordalis::TextValue;

namespace {

SettingValue Text(std::wstring text) {
  return SettingValue(std::move(text));
}
SettingValue Number(std::uint32_t number) {
  return SettingValue(number);
}

}  // namespace

// A switch is written as REG_DWORD, but a hand-edited registry may hold it as
// text; both forms of 1 must switch it on, and nothing else may.
TEST(SettingsValue, OneInEitherForm) {
  EXPECT_TRUE(ReadsAsOne(Number(1)));
  EXPECT_TRUE(ReadsAsOne(Text(L"1")));
  EXPECT_TRUE(ReadsAsOne(Text(L" 1 ")));
  EXPECT_TRUE(ReadsAsOne(Text(L"01")));
  // The raw form of a registry text: the stored NUL and a blank after it.
  EXPECT_TRUE(ReadsAsOne(Text(L"1\0 "s)));

  EXPECT_FALSE(ReadsAsOne(Number(0)));
  EXPECT_FALSE(ReadsAsOne(Number(2)));
  EXPECT_FALSE(ReadsAsOne(Text(L"0")));
  EXPECT_FALSE(ReadsAsOne(Text(L"")));
  EXPECT_FALSE(ReadsAsOne(Text(L"true")));
  EXPECT_FALSE(ReadsAsOne(Text(L"1x")));
  EXPECT_FALSE(ReadsAsOne(Text(L"11")));
  EXPECT_FALSE(ReadsAsOne(SettingValue{}));
  // Past the 32 bits of a DWORD, and past 64 bits: no wrap-around to 1.
  EXPECT_FALSE(ReadsAsOne(Text(L"4294967297")));
  EXPECT_FALSE(ReadsAsOne(Text(L"18446744073709551617")));
  // The part after the NUL is not part of the text.
  EXPECT_FALSE(
      ReadsAsOne(Text(L"\0"
                      L"1"s)));
}

// Window positions and column widths are stored as text and applied only
// when they are numbers.
TEST(SettingsValue, NumberFromText) {
  EXPECT_EQ(NumericValue(Text(L"3910")), 3910);
  EXPECT_EQ(NumericValue(Text(L"  -600\t")), -600);
  EXPECT_EQ(NumericValue(Text(L"+12")), 12);
  EXPECT_EQ(NumericValue(Text(L"0")), 0);
  EXPECT_EQ(NumericValue(Text(L"1200\0 "s)), 1200);
  EXPECT_EQ(NumericValue(Text(L"9223372036854775807")), 9223372036854775807LL);
  EXPECT_EQ(NumericValue(Text(L"-9223372036854775808")), std::numeric_limits<long long>::min());

  for (const std::wstring& text :
       {L""s, L"   "s, L"-"s, L"+"s, L"12 34"s, L"1.5"s, L"1,5"s, L"12px"s, L"x12"s, L"--1"s,
        L"&H10"s, L"9223372036854775808"s, L"-9223372036854775809"s, L"99999999999999999999999"s,
        L"\x0661\x0662"s /* Arabic-Indic digits */}) {
    EXPECT_EQ(NumericValue(Text(text)), std::nullopt) << testing::PrintToString(text);
  }
}

TEST(SettingsValue, NumberFromDwordAndNothing) {
  EXPECT_EQ(NumericValue(Number(0)), 0);
  // A DWORD is unsigned: all bits set is not -1.
  EXPECT_EQ(NumericValue(Number(0xFFFFFFFFu)), 4294967295LL);
  EXPECT_EQ(NumericValue(SettingValue{}), std::nullopt);
}

TEST(SettingsValue, TextOfEachKind) {
  EXPECT_EQ(TextValue(Text(L"Tahoma")), L"Tahoma");
  EXPECT_EQ(TextValue(Text(L" 9 ")), L" 9 ");  // blanks are the text's own
  EXPECT_EQ(TextValue(Text(L"Schließen\0 "s)), L"Schließen");
  EXPECT_EQ(TextValue(Number(1)), L"1");
  EXPECT_EQ(TextValue(Number(0xFFFFFFFFu)), L"4294967295");
  EXPECT_EQ(TextValue(SettingValue{}), L"");
}

namespace {

// The registry in a map: (root, key, value name) -> value. Keys exist once
// created; values can only be set under an existing key.
class FakeSettings : public ordalis::SettingsStore {
 public:
  using Place = std::tuple<SettingsRoot, std::wstring, std::wstring>;
  std::map<std::pair<SettingsRoot, std::wstring>, std::wstring> keys;  // key -> class
  std::map<Place, SettingValue> values;

  bool KeyExists(SettingsRoot root, std::wstring_view path) override {
    return keys.contains({root, std::wstring(path)});
  }
  bool CreateKey(SettingsRoot root, std::wstring_view path, std::wstring_view keyClass) override {
    return keys.emplace(std::pair(root, std::wstring(path)), std::wstring(keyClass)).second;
  }
  bool SetValue(SettingsRoot root, std::wstring_view path, std::wstring_view name,
                const SettingValue& value) override {
    if (!KeyExists(root, path)) return false;
    if (!std::holds_alternative<std::monostate>(value)) {
      values[{root, std::wstring(path), std::wstring(name)}] = value;
    }
    return true;
  }
  bool GetValue(SettingsRoot root, std::wstring_view path, std::wstring_view name,
                SettingValue& value) override {
    const auto found = values.find({root, std::wstring(path), std::wstring(name)});
    if (found == values.end()) return false;
    // A stored monostate stands for a value of a type the program cannot
    // read: present, and the output left alone.
    if (!std::holds_alternative<std::monostate>(found->second)) value = found->second;
    return true;
  }
  std::map<std::wstring, SettingValue> Values(SettingsRoot root, std::wstring_view path) override {
    std::map<std::wstring, SettingValue> found;
    for (const auto& [place, value] : values) {
      const auto& [valueRoot, valuePath, name] = place;
      if (valueRoot == root && valuePath == path) found[ordalis::Lowercase(name)] = value;
    }
    return found;
  }
  bool DeleteValue(SettingsRoot root, std::wstring_view path, std::wstring_view name) override {
    return values.erase({root, std::wstring(path), std::wstring(name)}) > 0;
  }
  bool FileExists(std::wstring_view) override { return false; }
};

}  // namespace

TEST(SettingsReadWrite, GoesToTheProgramKeyOfTheUser) {
  FakeSettings store;
  store.CreateKey(SettingsRoot::kCurrentUser, ordalis::kSettingsKey, L"1");
  // A value of the same name elsewhere must not be what is read.
  store.CreateKey(SettingsRoot::kLocalMachine, ordalis::kSettingsKey, L"1");
  store.values[{SettingsRoot::kLocalMachine, std::wstring(ordalis::kSettingsKey), L"Left"}] =
      Text(L"999");

  EXPECT_TRUE(ordalis::WriteSetting(store, L"Left", Text(L"120")));
  EXPECT_TRUE(ordalis::WriteSetting(store, L"Startup", Number(1)));

  const FakeSettings::Place left{SettingsRoot::kCurrentUser, std::wstring(ordalis::kSettingsKey),
                                 L"Left"};
  ASSERT_TRUE(store.values.contains(left));
  EXPECT_EQ(store.values[left], Text(L"120"));
  EXPECT_EQ(ordalis::ReadSetting(store, L"Left"), Text(L"120"));
  EXPECT_EQ(ordalis::ReadSetting(store, L"Startup"), Number(1));
}

TEST(SettingsReadWrite, AbsentUnreadableAndFailedWrites) {
  FakeSettings store;
  // No key yet: the write fails and says so, the read finds nothing.
  EXPECT_FALSE(ordalis::WriteSetting(store, L"Reminder", Text(L"2")));
  EXPECT_EQ(ordalis::ReadSetting(store, L"Reminder"), std::nullopt);

  store.CreateKey(SettingsRoot::kCurrentUser, ordalis::kSettingsKey, L"1");
  EXPECT_EQ(ordalis::ReadSetting(store, L"Reminder"), std::nullopt);

  // Present but of a type the program does not read: there, and empty.
  store.values[{SettingsRoot::kCurrentUser, std::wstring(ordalis::kSettingsKey), L"FontName"}] =
      SettingValue{};
  const auto unreadable = ordalis::ReadSetting(store, L"FontName");
  ASSERT_TRUE(unreadable.has_value());
  EXPECT_TRUE(std::holds_alternative<std::monostate>(*unreadable));
  EXPECT_EQ(TextValue(*unreadable), L"");
}

// The program's preferences: read once with their defaults, and written in
// the forms the registry has always held them in.
TEST(ProgramSettings, DefaultsStoredFormsAndWhatAValueNamesNot) {
  using ordalis::Settings;
  FakeSettings store;
  store.CreateKey(SettingsRoot::kCurrentUser, ordalis::kSettingsKey, L"1");
  Settings settings(store);
  settings.Read();
  // Nothing stored: the icon on, the rest off, the list's own font.
  EXPECT_TRUE(settings.On(Settings::Switch::kTrayIcon));
  EXPECT_FALSE(settings.StoredOn(Settings::Switch::kTrayIcon));
  EXPECT_FALSE(settings.On(Settings::Switch::kKeepRunning));
  EXPECT_FALSE(settings.TabStored());
  EXPECT_EQ(settings.ListFontName(), L"Tahoma");
  EXPECT_EQ(settings.ListFontPoints(), 9);

  const auto put = [&](const wchar_t* name, SettingValue value) {
    store.values[{SettingsRoot::kCurrentUser, std::wstring(ordalis::kSettingsKey), name}] = value;
  };
  put(L"Symbol", Number(0));
  put(L"Beenden", Text(L" 1 "));
  put(L"Reminder", Text(L"4"));  // no mode
  put(L"TabStrip", Text(L"4"));  // stored, but names no tab
  put(L"FontName", Text(L"Arial"));
  put(L"FontSize", Text(L"100"));  // too large: the list's own size
  settings.Read();
  EXPECT_FALSE(settings.On(Settings::Switch::kTrayIcon));
  EXPECT_TRUE(settings.On(Settings::Switch::kKeepRunning));
  EXPECT_EQ(settings.Reminder(), std::nullopt);
  EXPECT_TRUE(settings.TabStored());
  EXPECT_EQ(settings.Tab(), std::nullopt);
  EXPECT_EQ(settings.ListFontName(), L"Arial");
  EXPECT_EQ(settings.ListFontPoints(), 9);

  settings.Store(Settings::Switch::kTrayIcon, true);
  settings.Store({std::nullopt, ordalis::Category::Others, ordalis::TwipsPoint{-600, 120}, 900, 0});
  settings.StoreFont(std::nullopt, L"");
  EXPECT_EQ(ordalis::ReadSetting(store, L"Symbol"), Number(1));
  EXPECT_EQ(ordalis::ReadSetting(store, L"Reminder"), Text(L""));
  EXPECT_EQ(ordalis::ReadSetting(store, L"TabStrip"), Text(L"3"));
  EXPECT_EQ(ordalis::ReadSetting(store, L"Left"), Text(L"-600"));
  EXPECT_EQ(ordalis::ReadSetting(store, L"Tab_A"), Text(L"900"));
  EXPECT_EQ(ordalis::ReadSetting(store, L"FontName"), std::nullopt);
  // What was written is what the program holds, without reading again.
  EXPECT_TRUE(settings.StoredOn(Settings::Switch::kTrayIcon));
  EXPECT_EQ(settings.Tab(), ordalis::Category::Others);
  EXPECT_EQ(settings.ListFontName(), L"Tahoma");
}
