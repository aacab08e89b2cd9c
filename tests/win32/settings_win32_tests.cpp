// The settings store against the real registry of the Wine prefix, with
// both roots redirected to scratch keys for every test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "storage/settings_win32.h"
#include "storage/text_case.h"
#include "support.h"
#include "win32/handles.h"

using namespace std::string_literals;
using ordalis::FileExists;
using ordalis::kSettingsKey;
using ordalis::SettingsCreateKey;
using ordalis::SettingsDeleteValue;
using ordalis::SettingsGetValue;
using ordalis::SettingsKeyExists;
using ordalis::SettingsRoot;
using ordalis::SettingsSetValue;
using ordalis::SettingValue;
namespace win32 = ordalis::win32;

namespace {

const std::wstring kKey(kSettingsKey);
const std::wstring kMissingKey = L"Software\\Brenvik\\Nirgends";

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};

class SettingsWin32 : public testing::Test {
 protected:
  void SetUp() override {
    // Made with the plain API, so the tests of one operation do not rest on
    // another operation under test.
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }

  static void PutRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kKey.c_str(), name.c_str(), type, data, size),
              ERROR_SUCCESS);
  }
  static void PutRawText(const std::wstring& name, std::wstring_view bytesOfText, DWORD type) {
    PutRaw(name, type, bytesOfText.data(),
           static_cast<DWORD>(bytesOfText.size() * sizeof(wchar_t)));
  }

  // The value as the registry holds it; nullopt when it is not there.
  static std::optional<RawValue> Raw(const std::wstring& name, HKEY root = HKEY_CURRENT_USER,
                                     const std::wstring& path = kKey) {
    RawValue raw;
    DWORD size = 0;
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &raw.type,
                     nullptr, &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    raw.bytes.resize(size);
    if (RegGetValueW(root, path.c_str(), name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &raw.type,
                     raw.bytes.data(), &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    raw.bytes.resize(size);
    return raw;
  }

  static std::vector<BYTE> BytesOf(std::wstring_view text) {
    std::vector<BYTE> bytes(text.size() * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.data(), bytes.size());
    return bytes;
  }

  static SettingValue Get(const std::wstring& name, SettingValue start, bool* found = nullptr) {
    const bool ok = SettingsGetValue(HKEY_CURRENT_USER, kKey, name, start);
    if (found) *found = ok;
    return start;
  }

  ordalis::test::ScratchRegistry registry_;
};

TEST_F(SettingsWin32, TextOneReadsAsTextAndAsNumber) {
  ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Reminder", L"1"s));
  const auto raw = Raw(L"Reminder");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(raw->bytes, BytesOf(L"1\0"s));

  bool found = false;
  const SettingValue value = Get(L"Reminder", L"3"s, &found);
  EXPECT_TRUE(found);
  EXPECT_EQ(value, SettingValue(L"1"s));
  EXPECT_EQ(ordalis::NumericValue(value), 1);
  EXPECT_TRUE(ordalis::ReadsAsOne(value));
}

TEST_F(SettingsWin32, DwordOneReadsAsNumberAndAsText) {
  ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Startup", std::uint32_t{1}));
  const auto raw = Raw(L"Startup");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(raw->bytes, (std::vector<BYTE>{1, 0, 0, 0}));

  const SettingValue value = Get(L"Startup", {});
  EXPECT_EQ(value, SettingValue(std::uint32_t{1}));
  EXPECT_TRUE(ordalis::ReadsAsOne(value));
  EXPECT_EQ(ordalis::TextValue(value), L"1");

  // All 32 bits survive the trip.
  ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Startup", std::uint32_t{0xFFFFFFFF}));
  EXPECT_EQ(Get(L"Startup", {}), SettingValue(std::uint32_t{0xFFFFFFFF}));
}

TEST_F(SettingsWin32, EmptyTextIsStoredAsItsNulAlone) {
  ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Reminder", L""s));
  const auto raw = Raw(L"Reminder");
  ASSERT_TRUE(raw);
  EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(raw->bytes.size(), sizeof(wchar_t));  // one character: the NUL

  bool found = false;
  EXPECT_EQ(Get(L"Reminder", L"3"s, &found), SettingValue(L""s));
  EXPECT_TRUE(found);
}

// Texts written by other programs need not end the way ours do.
TEST_F(SettingsWin32, TextsAreCutAtTheirFirstNul) {
  PutRawText(L"NoNul", L"12", REG_SZ);
  PutRawText(L"Inner", L"1\0 x\0"s, REG_SZ);
  PutRaw(L"Nothing", REG_SZ, nullptr, 0);
  const char odd[] = {'7', 0, '8'};  // half a character at the end
  PutRaw(L"Odd", REG_SZ, odd, 3);

  EXPECT_EQ(Get(L"NoNul", {}), SettingValue(L"12"s));
  EXPECT_EQ(Get(L"Inner", {}), SettingValue(L"1"s));
  EXPECT_EQ(Get(L"Nothing", L"x"s), SettingValue(L""s));
  EXPECT_EQ(Get(L"Odd", {}), SettingValue(L"7"s));
}

TEST_F(SettingsWin32, TextsRoundTripWhateverTheirLetters) {
  const std::wstring long_(20000, L'x');
  for (const std::wstring& text : {L"Schließen"s, L"Tahoma"s, L"C:\\Programme\\Grüße\\Wecker.wav"s,
                                   L"Ä Ö Ü ä ö ü €"s, long_}) {
    ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Sounddatei", text));
    const auto raw = Raw(L"Sounddatei");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->bytes.size(), (text.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(Get(L"Sounddatei", {}), SettingValue(text)) << text.size();
  }
}

// Bytes as Windows' start-up manager keeps them: REG_BINARY both ways,
// empty too, with nothing added or cut.
TEST_F(SettingsWin32, BytesRoundTripAsBinary) {
  for (const ordalis::SettingBytes& bytes :
       {ordalis::SettingBytes{0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
        ordalis::SettingBytes{0x03, 0x00, 0xFF}, ordalis::SettingBytes{}}) {
    ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Ordalis", bytes));
    const auto raw = Raw(L"Ordalis");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(raw->bytes, bytes);
    EXPECT_EQ(Get(L"Ordalis", L"x"s), SettingValue(bytes)) << bytes.size();
  }
}

TEST_F(SettingsWin32, OtherTypesArePresentButLeaveTheOutput) {
  PutRawText(L"Expand", L"%TEMP%\\a.wav\0"s, REG_EXPAND_SZ);
  PutRawText(L"Multi", L"a\0b\0\0"s, REG_MULTI_SZ);
  const ULONGLONG qword = 1;
  PutRaw(L"Qword", REG_QWORD, &qword, sizeof qword);

  for (const wchar_t* name : {L"Expand", L"Multi", L"Qword"}) {
    bool found = false;
    EXPECT_EQ(Get(name, {}, &found), SettingValue{}) << name;
    EXPECT_TRUE(found) << name;
    EXPECT_EQ(Get(name, L"Tahoma"s, &found), SettingValue(L"Tahoma"s)) << name;
    EXPECT_TRUE(found) << name;
  }
}

// The start reads every value in one pass: each comes as it does alone,
// whatever its type, its size or the case of its name.
TEST_F(SettingsWin32, OnePassGivesWhatEachReadGives) {
  PutRawText(L"NoNul", L"12", REG_SZ);
  PutRawText(L"Inner", L"1\0 x\0"s, REG_SZ);
  PutRaw(L"Nothing", REG_SZ, nullptr, 0);
  const char odd[] = {'7', 0, '8'};
  PutRaw(L"Odd", REG_SZ, odd, 3);
  const DWORD one = 1;
  PutRaw(L"Startup", REG_DWORD, &one, sizeof one);
  PutRaw(L"Short", REG_DWORD, &one, 2);
  const ULONGLONG qword = 1;
  PutRaw(L"LongDword", REG_DWORD, &qword, sizeof qword);
  PutRaw(L"Qword", REG_QWORD, &qword, sizeof qword);
  PutRawText(L"Expand", L"%TEMP%\\a.wav\0"s, REG_EXPAND_SZ);
  const std::wstring long_(20000, L'x');
  ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Sounddatei", long_));
  ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Ordalis", ordalis::SettingBytes{3, 0}));

  const auto values = ordalis::SettingsValues(HKEY_CURRENT_USER, kKey);
  EXPECT_EQ(values.size(), 11u);
  for (const wchar_t* name : {L"NoNul", L"Inner", L"Nothing", L"Odd", L"Startup", L"Short",
                              L"LongDword", L"Qword", L"Expand", L"Sounddatei", L"Ordalis"}) {
    const auto found = values.find(ordalis::Lowercase(name));
    ASSERT_NE(found, values.end()) << name;
    EXPECT_EQ(found->second, Get(name, {})) << name;
  }
  EXPECT_TRUE(ordalis::SettingsValues(HKEY_CURRENT_USER, kMissingKey).empty());
}

TEST_F(SettingsWin32, MissingValuesAndKeysKeepTheDefault) {
  bool found = true;
  EXPECT_EQ(Get(L"Left", L"default"s, &found), SettingValue(L"default"s));
  EXPECT_FALSE(found);

  SettingValue value = std::uint32_t{7};
  EXPECT_FALSE(SettingsGetValue(HKEY_CURRENT_USER, kMissingKey, L"Left", value));
  EXPECT_EQ(value, SettingValue(std::uint32_t{7}));
  EXPECT_FALSE(SettingsKeyExists(HKEY_CURRENT_USER, kMissingKey));
  EXPECT_TRUE(SettingsKeyExists(HKEY_CURRENT_USER, kKey));
}

TEST_F(SettingsWin32, SettingNeverCreatesTheKey) {
  EXPECT_FALSE(SettingsSetValue(HKEY_CURRENT_USER, kMissingKey, L"Left", L"120"s));
  EXPECT_FALSE(SettingsSetValue(HKEY_CURRENT_USER, kMissingKey, L"Startup", std::uint32_t{1}));
  EXPECT_FALSE(SettingsSetValue(HKEY_CURRENT_USER, kMissingKey, L"Startup", SettingValue{}));
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kMissingKey.c_str(), 0, KEY_READ, &key),
            ERROR_FILE_NOT_FOUND);
  if (key) RegCloseKey(key);

  // Nothing to write: a success that writes nothing.
  EXPECT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Startup", SettingValue{}));
  EXPECT_FALSE(Raw(L"Startup"));
}

TEST_F(SettingsWin32, CreatingTellsNewFromExisting) {
  const std::wstring path = L"Software\\Brenvik\\Neu";
  ASSERT_TRUE(SettingsCreateKey(HKEY_CURRENT_USER, path, L"1"));
  HKEY key = nullptr;
  // Not RegSetKeyValueW: on Wine it goes through a create call, and that
  // clears the class of an existing key.
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const LSTATUS set = RegSetValueExW(key, L"Left", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"5"),
                                     2 * sizeof(wchar_t));
  RegCloseKey(key);
  ASSERT_EQ(set, ERROR_SUCCESS);

  EXPECT_FALSE(SettingsCreateKey(HKEY_CURRENT_USER, path, L"2"));

  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  wchar_t keyClass[16] = {};
  DWORD classLength = 16;
  DWORD values = 0;
  const LSTATUS info = RegQueryInfoKeyW(key, keyClass, &classLength, nullptr, nullptr, nullptr,
                                        nullptr, &values, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  ASSERT_EQ(info, ERROR_SUCCESS);
  EXPECT_EQ(std::wstring(keyClass, classLength), L"1");
  EXPECT_EQ(values, 1u);
  const auto left = Raw(L"Left", HKEY_CURRENT_USER, path);
  ASSERT_TRUE(left);
  EXPECT_EQ(left->bytes, BytesOf(L"5\0"s));
}

TEST_F(SettingsWin32, DeletingSaysWhetherThereWasAValue) {
  ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"FontName", L"Arial"s));
  EXPECT_TRUE(SettingsDeleteValue(HKEY_CURRENT_USER, kKey, L"FontName"));
  EXPECT_FALSE(Raw(L"FontName"));
  EXPECT_FALSE(SettingsDeleteValue(HKEY_CURRENT_USER, kKey, L"FontName"));
  EXPECT_FALSE(SettingsDeleteValue(HKEY_CURRENT_USER, kMissingKey, L"FontName"));
  EXPECT_TRUE(SettingsKeyExists(HKEY_CURRENT_USER, kKey));  // the key stays
}

TEST_F(SettingsWin32, TheDefaultValueHasTheEmptyName) {
  ASSERT_TRUE(SettingsSetValue(HKEY_CURRENT_USER, kKey, L"", L"C:\\Vemra\\Vemra.exe"s));
  wchar_t text[64] = {};
  LONG size = sizeof text;
  ASSERT_EQ(RegQueryValueW(HKEY_CURRENT_USER, kKey.c_str(), text, &size), ERROR_SUCCESS);
  EXPECT_STREQ(text, L"C:\\Vemra\\Vemra.exe");
  EXPECT_EQ(Get(L"", {}), SettingValue(L"C:\\Vemra\\Vemra.exe"s));
}

TEST_F(SettingsWin32, StoreReachesBothRoots) {
  ordalis::RegistrySettings store;
  ASSERT_TRUE(ordalis::WriteSetting(store, L"Left", L"120"s));
  const auto left = Raw(L"Left");
  ASSERT_TRUE(left);
  EXPECT_EQ(left->bytes, BytesOf(L"120\0"s));
  EXPECT_EQ(ordalis::ReadSetting(store, L"Left"), SettingValue(L"120"s));
  EXPECT_EQ(ordalis::ReadSetting(store, L"Top"), std::nullopt);

  const std::wstring appPath =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Vemra.exe";
  EXPECT_FALSE(store.KeyExists(SettingsRoot::kLocalMachine, appPath));
  ASSERT_TRUE(store.CreateKey(SettingsRoot::kLocalMachine, appPath, L"1"));
  EXPECT_TRUE(store.SetValue(SettingsRoot::kLocalMachine, appPath, L"Path", L"C:\\Vemra"s));
  const auto path = Raw(L"Path", HKEY_LOCAL_MACHINE, appPath);
  ASSERT_TRUE(path);
  EXPECT_EQ(path->bytes, BytesOf(L"C:\\Vemra\0"s));
  EXPECT_FALSE(Raw(L"Path", HKEY_CURRENT_USER, appPath));
}

TEST(SettingsFileExists, FilesFoldersAndPatterns) {
  ordalis::test::TempFolder folder;
  ASSERT_TRUE(ordalis::test::WriteFileBytes(folder.File(L"Wecker.wav"), "RIFF"));
  ASSERT_TRUE(CreateDirectoryW(folder.File(L"Grüße").c_str(), nullptr));
  ASSERT_TRUE(ordalis::test::WriteFileBytes(folder.File(L"Grüße\\Ton.wav"), "RIFF"));

  EXPECT_TRUE(FileExists(folder.Path()));
  EXPECT_TRUE(FileExists(folder.File(L"Wecker.wav")));
  EXPECT_TRUE(FileExists(folder.File(L"Grüße\\Ton.wav")));
  EXPECT_TRUE(FileExists(folder.File(L"*.wav")));
  EXPECT_TRUE(FileExists(folder.File(L"Weck?r.wav")));

  EXPECT_FALSE(FileExists(L""));
  EXPECT_FALSE(FileExists(folder.File(L"Fehlt.wav")));
  EXPECT_FALSE(FileExists(folder.File(L"*.mp3")));
  EXPECT_FALSE(FileExists(folder.File(L"Fehlt\\Wecker.wav")));
}

// Every key and search handle is closed before an operation returns, on the
// way of success and of failure alike.
TEST_F(SettingsWin32, NoHandleIsKept) {
  ordalis::test::TempFolder folder;
  const auto round = [&] {
    SettingValue value;
    SettingsKeyExists(HKEY_CURRENT_USER, kKey);
    SettingsKeyExists(HKEY_CURRENT_USER, kMissingKey);
    SettingsCreateKey(HKEY_CURRENT_USER, kKey, L"1");
    SettingsSetValue(HKEY_CURRENT_USER, kKey, L"Left", L"1"s);
    SettingsSetValue(HKEY_CURRENT_USER, kMissingKey, L"Left", L"1"s);
    SettingsGetValue(HKEY_CURRENT_USER, kKey, L"Left", value);
    SettingsGetValue(HKEY_CURRENT_USER, kKey, L"Fehlt", value);
    SettingsGetValue(HKEY_CURRENT_USER, kMissingKey, L"Left", value);
    ordalis::SettingsValues(HKEY_CURRENT_USER, kKey);
    ordalis::SettingsValues(HKEY_CURRENT_USER, kMissingKey);
    SettingsDeleteValue(HKEY_CURRENT_USER, kKey, L"Left");
    SettingsDeleteValue(HKEY_CURRENT_USER, kKey, L"Left");
    FileExists(folder.Path());
    FileExists(folder.File(L"Fehlt"));
  };
  round();  // the first use may open handles the system keeps for itself
  // Wine counts no handles (GetProcessHandleCount gives 0), but it hands out
  // the lowest free slot: every handle left open pushes the next one up.
  const auto nextHandle = [] {
    const win32::UniqueHandle probe(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    return reinterpret_cast<std::uintptr_t>(probe.get());
  };
  const std::uintptr_t before = nextHandle();
  ASSERT_NE(before, 0u);
  for (int i = 0; i < 100; ++i) round();
  // Leaking even one handle a round would move it by a hundred slots.
  EXPECT_LT(nextHandle(), before + 16 * sizeof(HANDLE));
}

}  // namespace
