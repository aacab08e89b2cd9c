#include "storage/profile_file_win32.h"

#include <windows.h>

#include <algorithm>

#include "storage/backup_history.h"
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

// The cause behind a system error code; `denied` says what a refused access
// means at the step that failed.
WriteFailure FailureOf(DWORD error, WriteFailure denied) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return WriteFailure::kDiskFull;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return denied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return WriteFailure::kDataFileInUse;
    default: return WriteFailure::kOther;
  }
}

// Runs a file step again while another program holds the file, for up to a
// second; the step's own error stays for the caller.
template <typename Step>
auto WhileHeld(Step&& step) {
  const ULONGLONG until = GetTickCount64() + 1000;
  for (;;) {
    auto result = step();
    if (result) return result;
    const DWORD error = GetLastError();
    if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
         error != ERROR_LOCK_VIOLATION) ||
        GetTickCount64() >= until) {
      SetLastError(error);
      return result;
    }
    Sleep(20);
  }
}

win32::UniqueFile OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD creation) {
  return WhileHeld([&] {
    return win32::UniqueFile(CreateFileW(path.c_str(), access, share, nullptr, creation,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  });
}

bool CopyWhileHeld(const std::wstring& from, const std::wstring& to, BOOL failIfExists) {
  return WhileHeld([&] { return CopyFileW(from.c_str(), to.c_str(), failIfExists) != FALSE; });
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

std::optional<std::string> Win32ProfileFile::ReadText() {
  // Whatever the profile functions still hold goes to the disk first.
  FlushCache();
  lossy_ = false;
  win32::UniqueFile file = OpenFile(
      path_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
    return Unreadable();
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (64 << 20)) return Unreadable();
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size())) {
    return Unreadable();
  }
  // A file an editor saved as Unicode: the profile functions read it as
  // such, and so does the program, in the bytes of the ANSI code page. The
  // next change writes it back in the program's own form.
  std::wstring wide;
  if (bytes.starts_with("\xEF\xBB\xBF")) {
    const std::string_view rest = std::string_view(bytes).substr(3);
    wide.resize(rest.size());
    wide.resize(static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, rest.data(),
                                                        static_cast<int>(rest.size()), wide.data(),
                                                        static_cast<int>(wide.size()))));
  } else if (bytes.starts_with("\xFF\xFE")) {
    wide.assign(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
  } else {
    return bytes;
  }
  if (wide.empty()) return std::string();
  BOOL defaulted = FALSE;
  const int length = static_cast<int>(wide.size());
  std::string text(
      WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, text.data(),
                      static_cast<int>(text.size()), nullptr, &defaulted);
  lossy_ = defaulted != FALSE;
  return text;
}

std::nullopt_t Win32ProfileFile::Unreadable() {
  failure_ = WriteFailure::kDataFileUnreadable;
  return std::nullopt;
}

bool Win32ProfileFile::ReplaceText(std::string_view text) {
  // Writing back what the last read could not hold would lose characters.
  if (lossy_) {
    failure_ = WriteFailure::kForeignCharacters;
    return false;
  }
  FlushCache();
  win32::UniqueFile file = OpenFile(path_, GENERIC_WRITE, 0, CREATE_ALWAYS);
  DWORD written = 0;
  if (!file || (!text.empty() && (!WriteFile(file.get(), text.data(),
                                             static_cast<DWORD>(text.size()), &written, nullptr) ||
                                  written != text.size()))) {
    failure_ = FailureOf(GetLastError(), WriteFailure::kFolderNotWritable);
    return false;
  }
  return true;
}

void Win32ProfileFile::FlushCache() {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
}

Win32TaskFiles::Win32TaskFiles(const std::wstring& folder)
    : folder_(folder),
      data_(folder + L"\\Vemra.dat"),
      backupPath_(folder + L"\\Vemra.bak"),
      staging_(folder + L"\\Vemra.new"),
      lockPath_(folder + L"\\Vemra.lck") {}

bool Win32TaskFiles::Fail(WriteFailure failure) {
  failure_ = failure;
  return false;
}

std::wstring Win32TaskFiles::HistoryPath(std::string_view name) const {
  return HistoryFolder() + L"\\" + Wide(name);
}

bool Win32TaskFiles::Backup(bool toHistory) {
  if (!DataExists()) return true;  // a first change has nothing to keep
  // Copied beside the backup, then put in its place: a copy cut short by a
  // full disk never takes the place of a whole backup.
  const std::wstring partial = backupPath_ + L".tmp";
  SetFileAttributesW(partial.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(partial.c_str());
  const bool kept = CopyWhileHeld(data_.Path(), partial, FALSE) &&
                    SetFileAttributesW(partial.c_str(), FILE_ATTRIBUTE_NORMAL) &&
                    MoveFileExW(partial.c_str(), backupPath_.c_str(),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!kept) {
    const DWORD error = GetLastError();
    DeleteFileW(partial.c_str());
    const DWORD attributes = GetFileAttributesW(backupPath_.c_str());
    return Fail(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                    ? WriteFailure::kBackupInTheWay
                    : FailureOf(error, WriteFailure::kFolderNotWritable));
  }
  return !toHistory || AddToHistory();
}

bool Win32TaskFiles::AddToHistory() {
  const std::wstring folder = HistoryFolder();
  if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return Fail(FailureOf(GetLastError(), WriteFailure::kFolderNotWritable));
  }
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Fail(WriteFailure::kBackupInTheWay);
  }
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const LocalTime time{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
  std::vector<std::string> names = BackupNames();
  const std::string name = NextBackupName(time, names);
  const std::wstring path = HistoryPath(name);
  if (!CopyWhileHeld(data_.Path(), path, TRUE)) {
    const DWORD error = GetLastError();
    DeleteFileW(path.c_str());  // never a history entry cut short
    return Fail(FailureOf(error, WriteFailure::kFolderNotWritable));
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  // One look at the folder serves both: the new backup joins the ones found
  // as the newest, whatever the clock named it.
  names.insert(names.begin(), name);
  for (const std::string& old : BackupsToRemove(names, time)) {
    if (DeleteFileW(HistoryPath(old).c_str())) std::erase(names, old);
  }
  // Without the index the order falls back to the names: no reason to
  // refuse the change.
  Win32ProfileFile(folder + L"\\" + kHistoryIndex).ReplaceText(HistoryIndex(names));
  return true;
}

bool Win32TaskFiles::DataExists() {
  return GetFileAttributesW(data_.Path().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> Win32TaskFiles::BackupNames() {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found{};
  win32::UniqueFind find(FindFirstFileW((HistoryFolder() + L"\\Vemra-*.dat").c_str(), &found));
  if (!find) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      names.push_back(ToAnsi(found.cFileName));
    }
  } while (FindNextFileW(find.get(), &found));
  const std::optional<std::string> index =
      Win32ProfileFile(HistoryFolder() + L"\\" + kHistoryIndex).ReadText();
  return HistoryOrder(names, index.value_or(std::string()));
}

std::optional<std::string> Win32TaskFiles::ReadBackup(std::string_view name) {
  const std::wstring path = name == "Vemra.bak" ? backupPath_ : HistoryPath(name);
  if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  Win32ProfileFile backup(path);
  return backup.ReadText();
}

ProfileFile* Win32TaskFiles::BeginChange() {
  AbandonChange();
  failure_ = WriteFailure::kNone;
  staging_.ClearFailure();
  if (!TakeLock()) return nullptr;
  // A staging copy left by an interrupted change goes; so does an empty
  // folder of its name. A folder that holds something is someone's and is
  // stepped around.
  std::wstring path;
  for (int attempt = 0; attempt < 10 && path.empty(); ++attempt) {
    std::wstring candidate = folder_ + L"\\Vemra.new";
    if (attempt > 0) candidate += std::to_wstring(attempt);
    const DWORD attributes = GetFileAttributesW(candidate.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      path = std::move(candidate);
    } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (RemoveDirectoryW(candidate.c_str())) path = std::move(candidate);
    } else {
      // The copy takes the data file's attributes: a read-only one would
      // refuse to go.
      SetFileAttributesW(candidate.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (DeleteFileW(candidate.c_str())) path = std::move(candidate);
    }
  }
  if (path.empty()) {
    Fail(WriteFailure::kOther);
    return nullptr;
  }
  staging_.SetPath(std::move(path));
  if (CopyWhileHeld(data_.Path(), staging_.Path(), FALSE)) {
    SetFileAttributesW(staging_.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
    return &staging_;
  }
  const DWORD error = GetLastError();
  if (error != ERROR_FILE_NOT_FOUND) {
    // Either the data file cannot be read or the copy cannot be made.
    win32::UniqueFile data(CreateFileW(data_.Path().c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    Fail(data ? FailureOf(error, WriteFailure::kFolderNotWritable)
              : WriteFailure::kDataFileUnreadable);
    return nullptr;
  }
  // No data file yet: start from an empty one.
  win32::UniqueFile file(CreateFileW(staging_.Path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    Fail(FailureOf(GetLastError(), WriteFailure::kFolderNotWritable));
    return nullptr;
  }
  return &staging_;
}

TaskFiles::Commit Win32TaskFiles::CommitChange(std::string_view wasRead) {
  // The profile functions may hold the file in a cache; out with it, then
  // onto the disk. (Wine reports the flush as a failure whatever it did, so
  // its result is no guide; the flush of the file buffers is.)
  staging_.FlushCache();
  {
    win32::UniqueFile file =
        OpenFile(staging_.Path(), GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    if (!file || !FlushFileBuffers(file.get())) {
      Fail(FailureOf(GetLastError(), WriteFailure::kFolderNotWritable));
      return Commit::kFailed;
    }
  }
  // A writer that takes the lock cannot have changed the file; the last
  // look before the swap catches one that does not.
  data_.FlushCache();
  if (data_.ReadText() != wasRead) return Commit::kFileChanged;
  const bool replaced = WhileHeld([&] {
    return MoveFileExW(staging_.Path().c_str(), data_.Path().c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
  });
  if (!replaced) Fail(FailureOf(GetLastError(), WriteFailure::kDataFileInUse));
  // The next read sees the new file, not a cached copy of the old one.
  data_.FlushCache();
  lock_.reset();
  return replaced ? Commit::kDone : Commit::kFailed;
}

bool Win32TaskFiles::TakeLock() {
  const ULONGLONG until = GetTickCount64() + 2000;
  for (;;) {
    lock_.reset(CreateFileW(lockPath_.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE,
                            nullptr));
    if (lock_) return true;
    const DWORD error = GetLastError();
    // Held by another writer, or just let go by one: a file on its way out
    // cannot be opened either.
    const bool held = error == ERROR_SHARING_VIOLATION ||
                      (error == ERROR_ACCESS_DENIED &&
                       GetFileAttributesW(lockPath_.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!held || GetTickCount64() >= until) {
      return Fail(
          FailureOf(error, held ? WriteFailure::kDataFileInUse : WriteFailure::kFolderNotWritable));
    }
    Sleep(1);
  }
}

void Win32TaskFiles::AbandonChange() {
  staging_.FlushCache();
  SetFileAttributesW(staging_.Path().c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(staging_.Path().c_str());
  lock_.reset();
}

WriteFailure Win32TaskFiles::LastFailure() const {
  return failure_ != WriteFailure::kNone ? failure_ : staging_.Failure();
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
