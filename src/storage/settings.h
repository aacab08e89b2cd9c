#pragma once
// The settings store: named values of registry keys, and the file-existence
// test that goes with them. Every operation reports success as a flag; a
// read that fails leaves the caller's default untouched.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace ordalis {

enum class SettingsRoot { kCurrentUser, kLocalMachine };

// The program's own key under HKEY_CURRENT_USER, and its parent.
inline constexpr std::wstring_view kMakerKey = L"Software\\Brenvik";
inline constexpr std::wstring_view kSettingsKey = L"Software\\Brenvik\\Ordalis";

// A number is a REG_DWORD, a text a REG_SZ, bytes a REG_BINARY. Nothing
// (monostate) writes nothing; a read of another registry type leaves it so.
using SettingBytes = std::vector<std::uint8_t>;
using SettingValue = std::variant<std::monostate, std::uint32_t, std::wstring, SettingBytes>;

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // True if the key can be opened for reading.
  virtual bool KeyExists(SettingsRoot root, std::wstring_view path) = 0;
  // True only if the key was newly created; false if it existed or failed.
  virtual bool CreateKey(SettingsRoot root, std::wstring_view path, std::wstring_view keyClass) = 0;
  // Writes into an existing key; never creates one. Nothing to write
  // (monostate) succeeds without writing.
  virtual bool SetValue(SettingsRoot root, std::wstring_view path, std::wstring_view name,
                        const SettingValue& value) = 0;
  // True when the key opened and the value's type and size could be queried.
  // A text comes back cut at its first NUL; another type than text, number or
  // bytes leaves `value` as it was and still gives true.
  virtual bool GetValue(SettingsRoot root, std::wstring_view path, std::wstring_view name,
                        SettingValue& value) = 0;
  // Every value of the key at once, by its name in lower case, each as
  // GetValue gives it (a type the program cannot read as nothing); none
  // when the key cannot be opened. One look at the key for many values.
  virtual std::map<std::wstring, SettingValue> Values(SettingsRoot root,
                                                      std::wstring_view path) = 0;
  virtual bool DeleteValue(SettingsRoot root, std::wstring_view path, std::wstring_view name) = 0;
  // True if a file system entry matches the path (folders and wildcards too).
  virtual bool FileExists(std::wstring_view path) = 0;
};

// How readers take a value. A number and a text holding the same number are
// alike: REG_DWORD 1 and REG_SZ "1" both read as 1.
bool ReadsAsOne(const SettingValue& value);
// The value as a number when it is one (a REG_DWORD, or a text that is a
// whole decimal number, blanks around it allowed); nullopt otherwise.
std::optional<long long> NumericValue(const SettingValue& value);
// A text as it is, a number as its decimal text, nothing as the empty text.
std::wstring TextValue(const SettingValue& value);

// Reads a value of the program's settings key; nullopt when absent.
std::optional<SettingValue> ReadSetting(SettingsStore& store, std::wstring_view name);
bool WriteSetting(SettingsStore& store, std::wstring_view name, const SettingValue& value);

}  // namespace ordalis
