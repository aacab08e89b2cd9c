#pragma once
// The settings store on Windows: the registry and the file search. Every
// key and search handle is closed before an operation returns, so nothing
// is held between calls and every read sees the registry as it is now.
#include <windows.h>

#include <map>
#include <string>
#include <string_view>

#include "storage/settings.h"

namespace ordalis {

// HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE.
HKEY RootKey(SettingsRoot root);

// True if the key opens for reading.
bool SettingsKeyExists(HKEY root, std::wstring_view path);
// Creates a non-volatile key with the given class text; true only when it
// was new. An existing key is left as it is and gives false.
bool SettingsCreateKey(HKEY root, std::wstring_view path, std::wstring_view keyClass);
// A number as REG_DWORD, a text as REG_SZ with its NUL, bytes as REG_BINARY;
// nothing (monostate)
// writes nothing and gives true. The key must exist already.
bool SettingsSetValue(HKEY root, std::wstring_view path, std::wstring_view name,
                      const SettingValue& value);
// True when the key opened and the value's type and size could be queried.
// A text comes back cut at its first NUL, a REG_DWORD as a number, a
// REG_BINARY as its bytes; any other type leaves `value` as it was. A missing key or value gives
// false and leaves `value` too.
bool SettingsGetValue(HKEY root, std::wstring_view path, std::wstring_view name,
                      SettingValue& value);
// Every value of the key in one pass, each under its name in lower case and
// as SettingsGetValue gives it (another type as nothing); none when the key
// does not open.
std::map<std::wstring, SettingValue> SettingsValues(HKEY root, std::wstring_view path);
bool SettingsDeleteValue(HKEY root, std::wstring_view path, std::wstring_view name);
// True if a file system entry matches the path: a file, a folder, or a
// pattern with wildcards. The empty path matches nothing.
bool FileExists(std::wstring_view path);

class RegistrySettings : public SettingsStore {
 public:
  bool KeyExists(SettingsRoot root, std::wstring_view path) override;
  bool CreateKey(SettingsRoot root, std::wstring_view path, std::wstring_view keyClass) override;
  bool SetValue(SettingsRoot root, std::wstring_view path, std::wstring_view name,
                const SettingValue& value) override;
  bool GetValue(SettingsRoot root, std::wstring_view path, std::wstring_view name,
                SettingValue& value) override;
  std::map<std::wstring, SettingValue> Values(SettingsRoot root, std::wstring_view path) override;
  bool DeleteValue(SettingsRoot root, std::wstring_view path, std::wstring_view name) override;
  bool FileExists(std::wstring_view path) override;
};

}  // namespace ordalis
