#include "storage/settings_win32.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "storage/text_case.h"
#include "win32/handles.h"

namespace ordalis {

namespace {

// Reading needs no more than query, enumerate and notify; the writers take
// every right short of deleting the key itself. Nothing asks for READ_CONTROL
// or WRITE_DAC, which a restricted user may lack.
constexpr REGSAM kReadAccess = KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
constexpr REGSAM kWriteAccess = kReadAccess | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK;
static_assert(kReadAccess == 0x19 && kWriteAccess == 0x3F);

win32::UniqueKey OpenKey(HKEY root, std::wstring_view path, REGSAM access) {
  win32::UniqueKey key;
  if (RegOpenKeyExW(root, std::wstring(path).c_str(), 0, access, key.put()) != ERROR_SUCCESS) {
    key.release();  // a failed open leaves no key to close, whatever it wrote there
  }
  return key;
}

// A value of `type` with these bytes as the program takes it: a text cut
// at its first NUL, a REG_DWORD of up to four bytes as a number, a
// REG_BINARY as its bytes; nothing for any other type.
std::optional<SettingValue> ValueOf(DWORD type, const std::vector<BYTE>& data) {
  if (type == REG_SZ) {
    std::wstring text(data.size() / sizeof(wchar_t), L'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    text.resize(std::min(text.find(L'\0'), text.size()));
    return text;
  }
  if (type == REG_DWORD && data.size() <= sizeof(DWORD)) {
    DWORD number = 0;
    if (!data.empty()) std::memcpy(&number, data.data(), data.size());
    return static_cast<std::uint32_t>(number);
  }
  if (type == REG_BINARY) return SettingBytes(data.begin(), data.end());
  return std::nullopt;
}

}  // namespace

HKEY RootKey(SettingsRoot root) {
  return root == SettingsRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool SettingsKeyExists(HKEY root, std::wstring_view path) {
  return static_cast<bool>(OpenKey(root, path, kReadAccess));
}

bool SettingsCreateKey(HKEY root, std::wstring_view path, std::wstring_view keyClass) {
  // An existing key stays as it is. Windows ignores the class when it opens
  // an existing key, but Wine puts the new class text in place of the old,
  // so an existing key is not handed to the create call at all.
  if (OpenKey(root, path, kWriteAccess)) return false;
  std::wstring classText(keyClass);  // the API wants a writable class buffer
  win32::UniqueKey key;
  DWORD disposition = 0;
  if (RegCreateKeyExW(root, std::wstring(path).c_str(), 0, classText.data(),
                      REG_OPTION_NON_VOLATILE, kWriteAccess, nullptr, key.put(),
                      &disposition) != ERROR_SUCCESS) {
    key.release();
    return false;
  }
  RegFlushKey(key.get());
  return disposition == REG_CREATED_NEW_KEY;
}

bool SettingsSetValue(HKEY root, std::wstring_view path, std::wstring_view name,
                      const SettingValue& value) {
  const win32::UniqueKey key = OpenKey(root, path, kWriteAccess);
  if (!key) return false;
  const std::wstring valueName(name);
  if (const auto* number = std::get_if<std::uint32_t>(&value)) {
    const DWORD data = *number;
    return RegSetValueExW(key.get(), valueName.c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
  }
  if (const auto* text = std::get_if<std::wstring>(&value)) {
    // The stored text keeps its terminating NUL.
    const DWORD bytes = static_cast<DWORD>((text->size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), valueName.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text->c_str()), bytes) == ERROR_SUCCESS;
  }
  if (const auto* bytes = std::get_if<SettingBytes>(&value)) {
    return RegSetValueExW(key.get(), valueName.c_str(), 0, REG_BINARY, bytes->data(),
                          static_cast<DWORD>(bytes->size())) == ERROR_SUCCESS;
  }
  return true;  // nothing to write
}

bool SettingsGetValue(HKEY root, std::wstring_view path, std::wstring_view name,
                      SettingValue& value) {
  const win32::UniqueKey key = OpenKey(root, path, kReadAccess);
  if (!key) return false;
  const std::wstring valueName(name);
  DWORD type = REG_NONE;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, nullptr, &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  // The value may grow between the size query and the read: a read that
  // finds too little room tries again with the new size.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::vector<BYTE> data(size);
    DWORD got = size;
    const LSTATUS status =
        RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, data.data(), &got);
    if (status == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    data.resize(std::min(got, size));
    if (status != ERROR_SUCCESS) break;
    if (auto read = ValueOf(type, data)) value = std::move(*read);
    break;
  }
  // Another type is there but means nothing to the program: present, and
  // the caller's value stays.
  return true;
}

std::map<std::wstring, SettingValue> SettingsValues(HKEY root, std::wstring_view path) {
  std::map<std::wstring, SettingValue> values;
  const win32::UniqueKey key = OpenKey(root, path, kReadAccess);
  DWORD longestName = 0, largestData = 0;
  if (!key ||
      RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &longestName, &largestData, nullptr, nullptr) != ERROR_SUCCESS) {
    return values;
  }
  std::wstring name(longestName + 1, L'\0');
  // Never empty: with no buffer at all the system gives only the size.
  std::vector<BYTE> data(std::max<DWORD>(largestData, 1));
  for (DWORD index = 0, attempt = 0;;) {
    DWORD nameLength = static_cast<DWORD>(name.size()), type = REG_NONE;
    DWORD size = static_cast<DWORD>(data.size());
    const LSTATUS status = RegEnumValueW(key.get(), index, name.data(), &nameLength, nullptr, &type,
                                         data.data(), &size);
    if (status == ERROR_MORE_DATA && ++attempt < 4) {
      // A value came or grew since the key was asked: the same again, with
      // room for the longest name and the data.
      name.resize(16384);
      data.resize(std::max<size_t>(size, data.size() * 2 + 64));
      continue;
    }
    attempt = 0;
    if (status == ERROR_MORE_DATA) {
      ++index;  // one that keeps growing is left out, as if read a moment before it came
      continue;
    }
    if (status != ERROR_SUCCESS) break;
    const std::vector<BYTE> read(data.begin(), data.begin() + std::min<size_t>(size, data.size()));
    values[Lowercase(std::wstring_view(name.data(), nameLength))] =
        ValueOf(type, read).value_or(SettingValue{});
    ++index;
  }
  return values;
}

bool SettingsDeleteValue(HKEY root, std::wstring_view path, std::wstring_view name) {
  const win32::UniqueKey key = OpenKey(root, path, kWriteAccess);
  if (!key) return false;
  return RegDeleteValueW(key.get(), std::wstring(name).c_str()) == ERROR_SUCCESS;
}

bool FileExists(std::wstring_view path) {
  if (path.empty()) return false;
  WIN32_FIND_DATAW found;
  const win32::UniqueFind find(FindFirstFileW(std::wstring(path).c_str(), &found));
  return static_cast<bool>(find);
}

bool RegistrySettings::KeyExists(SettingsRoot root, std::wstring_view path) {
  return SettingsKeyExists(RootKey(root), path);
}

bool RegistrySettings::CreateKey(SettingsRoot root, std::wstring_view path,
                                 std::wstring_view keyClass) {
  return SettingsCreateKey(RootKey(root), path, keyClass);
}

bool RegistrySettings::SetValue(SettingsRoot root, std::wstring_view path, std::wstring_view name,
                                const SettingValue& value) {
  return SettingsSetValue(RootKey(root), path, name, value);
}

bool RegistrySettings::GetValue(SettingsRoot root, std::wstring_view path, std::wstring_view name,
                                SettingValue& value) {
  return SettingsGetValue(RootKey(root), path, name, value);
}

std::map<std::wstring, SettingValue> RegistrySettings::Values(SettingsRoot root,
                                                              std::wstring_view path) {
  return SettingsValues(RootKey(root), path);
}

bool RegistrySettings::DeleteValue(SettingsRoot root, std::wstring_view path,
                                   std::wstring_view name) {
  return SettingsDeleteValue(RootKey(root), path, name);
}

bool RegistrySettings::FileExists(std::wstring_view path) {
  return ordalis::FileExists(path);
}

}  // namespace ordalis
