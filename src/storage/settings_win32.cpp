#include "storage/settings_win32.h"

#include <algorithm>
#include <string>

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

// The data of a REG_SZ value of `size` bytes, cut at its first NUL; nullopt
// when it cannot be read. The value may grow between the size query and the
// read, so a read that finds too little room tries again with the new size.
std::optional<std::wstring> ReadText(HKEY key, const std::wstring& name, DWORD size) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    // One character more than the data needs: a text stored without its NUL
    // still ends inside the buffer.
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = size;
    const LSTATUS status = RegQueryValueExW(key, name.c_str(), nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(text.data()), &got);
    if (status == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (status != ERROR_SUCCESS) return std::nullopt;
    text.resize(std::min(text.find(L'\0'), static_cast<size_t>(got / sizeof(wchar_t))));
    return text;
  }
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
  if (type == REG_SZ) {
    if (auto text = ReadText(key.get(), valueName, size)) value = std::move(*text);
  } else if (type == REG_DWORD) {
    DWORD data = 0;
    DWORD got = sizeof data;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&data), &got) == ERROR_SUCCESS) {
      value = static_cast<std::uint32_t>(data);
    }
  } else if (type == REG_BINARY) {
    SettingBytes bytes(size);
    DWORD got = size;
    if (RegQueryValueExW(key.get(), valueName.c_str(), nullptr, nullptr, bytes.data(), &got) ==
        ERROR_SUCCESS) {
      bytes.resize(got);
      value = std::move(bytes);
    }
  }
  // Another type is there but means nothing to the program: present, and
  // the caller's value stays.
  return true;
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

bool RegistrySettings::DeleteValue(SettingsRoot root, std::wstring_view path,
                                   std::wstring_view name) {
  return SettingsDeleteValue(RootKey(root), path, name);
}

bool RegistrySettings::FileExists(std::wstring_view path) {
  return ordalis::FileExists(path);
}

}  // namespace ordalis
