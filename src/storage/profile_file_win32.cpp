#include "storage/profile_file_win32.h"

#include <windows.h>

#include <algorithm>

#include "storage/profile_format.h"
#include "win32/handles.h"
#include "win32/text.h"

namespace ordalis {

using win32::FromAnsi;
using win32::ToAnsi;

namespace {

// Reads a profile text that the platform hands over with a double NUL at its
// end, growing the buffer until it fits.
template <typename Get>
std::wstring ReadGrowing(Get&& get) {
  std::wstring buffer(1024, L'\0');
  for (;;) {
    const DWORD copied = get(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (copied + 2 < buffer.size()) {
      buffer.resize(copied);
      return buffer;
    }
    buffer.assign(buffer.size() * 4, L'\0');
  }
}

std::wstring Wide(std::string_view text) {
  return FromAnsi(text);
}

}  // namespace

std::vector<std::string> Win32ProfileFile::KeyNames(std::string_view section) {
  const std::wstring wideSection = Wide(section);
  const std::wstring names = ReadGrowing([&](wchar_t* buffer, DWORD size) {
    return GetPrivateProfileStringW(wideSection.c_str(), nullptr, L"", buffer, size, path_.c_str());
  });
  std::vector<std::string> result;
  for (size_t start = 0; start < names.size();) {
    const size_t end = names.find(L'\0', start);
    const size_t stop = end == std::wstring::npos ? names.size() : end;
    if (stop > start)
      result.push_back(ToAnsi(std::wstring_view(names).substr(start, stop - start)));
    start = stop + 1;
  }
  return result;
}

std::string Win32ProfileFile::Read(std::string_view section, std::string_view key) {
  const std::wstring wideSection = Wide(section);
  const std::wstring wideKey = Wide(key);
  // A larger buffer than any stored value needs: a long value is never cut.
  const std::wstring value = ReadGrowing([&](wchar_t* buffer, DWORD size) {
    return GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), L"", buffer, size,
                                    path_.c_str());
  });
  return ToAnsi(value);
}

std::vector<ProfileEntry> Win32ProfileFile::ReadSection(std::string_view section) {
  const std::wstring wideSection = Wide(section);
  const std::wstring lines = ReadGrowing([&](wchar_t* buffer, DWORD size) {
    return GetPrivateProfileSectionW(wideSection.c_str(), buffer, size, path_.c_str());
  });
  // "key=value" lines, each ended by a NUL; the values still as in the file.
  std::vector<ProfileEntry> entries;
  for (size_t start = 0; start < lines.size();) {
    const size_t end = std::min(lines.find(L'\0', start), lines.size());
    const std::string line = ToAnsi(std::wstring_view(lines).substr(start, end - start));
    if (!line.empty()) {
      const size_t equals = line.find('=');
      if (equals == std::string::npos) {
        entries.push_back({line, {}});
      } else {
        entries.push_back({line.substr(0, equals), ProfileValueAsRead(line.substr(equals + 1))});
      }
    }
    start = end + 1;
  }
  return entries;
}

bool Win32ProfileFile::Write(std::string_view section, std::string_view key,
                             std::optional<std::string_view> value) {
  const std::wstring wideValue = value ? Wide(ProtectProfileValue(*value)) : std::wstring();
  return WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                    value ? wideValue.c_str() : nullptr, path_.c_str()) != FALSE;
}

bool Win32ProfileFile::WriteSection(std::string_view section,
                                    const std::vector<ProfileEntry>& entries) {
  const std::wstring wideSection = Wide(section);
  if (entries.empty()) {
    return WritePrivateProfileStringW(wideSection.c_str(), nullptr, nullptr, path_.c_str()) !=
           FALSE;
  }
  // "key=value" lines, each ended by a NUL, the whole ended by one more.
  std::wstring lines;
  for (const ProfileEntry& entry : entries) {
    lines += Wide(entry.key) + L'=' + Wide(ProtectProfileValue(entry.value));
    lines += L'\0';
  }
  lines += L'\0';
  return WritePrivateProfileSectionW(wideSection.c_str(), lines.c_str(), path_.c_str()) != FALSE;
}

void Win32ProfileFile::FlushCache() {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
}

Win32TaskFiles::Win32TaskFiles(const std::wstring& folder)
    : data_(folder + L"\\Vemra.dat"),
      backupPath_(folder + L"\\Vemra.bak"),
      staging_(folder + L"\\Vemra.new") {}

bool Win32TaskFiles::Backup() {
  return CopyFileW(data_.Path().c_str(), backupPath_.c_str(), FALSE) != FALSE;
}

ProfileFile* Win32TaskFiles::BeginChange() {
  AbandonChange();
  if (GetFileAttributesW(staging_.Path().c_str()) != INVALID_FILE_ATTRIBUTES) return nullptr;
  if (CopyFileW(data_.Path().c_str(), staging_.Path().c_str(), FALSE)) return &staging_;
  if (GetLastError() != ERROR_FILE_NOT_FOUND) return nullptr;
  // No data file yet: start from an empty one. A change that only removes
  // something writes nothing, and the profile functions would then leave no
  // file to put in place.
  win32::UniqueFile file(CreateFileW(staging_.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  return file ? &staging_ : nullptr;
}

bool Win32TaskFiles::CommitChange() {
  // The profile functions may hold the file in a cache; out with it, then
  // onto the disk, then in place of the data file in one rename. (Wine
  // reports the flush as a failure whatever it did, so its result is no
  // guide; the flush of the file buffers is.)
  staging_.FlushCache();
  {
    win32::UniqueFile file(CreateFileW(staging_.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !FlushFileBuffers(file.get())) return false;
  }
  const bool replaced = MoveFileExW(staging_.Path().c_str(), data_.Path().c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  // The next read sees the new file, not a cached copy of the old one.
  data_.FlushCache();
  return replaced;
}

void Win32TaskFiles::AbandonChange() {
  staging_.FlushCache();
  // The copy takes the data file's attributes: a read-only one would refuse
  // to go and block every later change.
  SetFileAttributesW(staging_.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(staging_.Path().c_str());
}

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L".";
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

}  // namespace ordalis
