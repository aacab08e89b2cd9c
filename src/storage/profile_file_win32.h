#pragma once
// The task file on Windows: the platform's profile functions on the data
// file, the backup copy, and the staging copy with its one-rename commit.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/backup_history.h"
#include "storage/task_file.h"
#include "win32/handles.h"

namespace ordalis {

// The profile functions on one file. Values pass as the bytes of the system's
// ANSI code page, so the file holds exactly the bytes the program means.
class Win32ProfileFile : public ProfileFile {
 public:
  explicit Win32ProfileFile(std::wstring path) : path_(std::move(path)) {}
  const std::wstring& Path() const { return path_; }
  void SetPath(std::wstring path) { path_ = std::move(path); }

  std::string Read(std::string_view section, std::string_view key) override;
  std::vector<ProfileEntry> ReadSection(std::string_view section) override;
  std::optional<std::string> ReadText() override;
  bool ReplaceText(std::string_view text) override;
  // The key names of a section as the platform lists them (a second way in,
  // which the tests use to check what the section reads give).
  std::vector<std::string> KeyNames(std::string_view section);
  // Writes out and drops the platform's cached copy of the file.
  void FlushCache();
  // Why the last ReadText or ReplaceText failed.
  WriteFailure Failure() const { return failure_; }
  void ClearFailure() { failure_ = WriteFailure::kNone; }

 private:
  std::nullopt_t Unreadable();  // notes the cause of a failed read

  std::wstring path_;
  bool lossy_ = false;  // the last read met a character with no ANSI code
  WriteFailure failure_ = WriteFailure::kNone;
};

// "Vemra.dat", "Vemra.bak", the history of backups in "Sicherungen" and the
// staging copy "Vemra.new" in one folder. A change holds the lock
// "Vemra.lck" from its read to its swap: a file no other program can open
// meanwhile, and gone when the change lets go of it (also when the program
// dies); another program that writes the data file takes it the same way. A step that finds a file
// held by another program (a virus scanner, a sync client) tries again for a second. A folder that
// stands where the staging copy belongs and cannot be removed is stepped around: the copy is then
// named "Vemra.new1" .. "Vemra.new9".
class Win32TaskFiles : public TaskFiles {
 public:
  explicit Win32TaskFiles(const std::wstring& folder);
  const std::wstring& DataPath() const { return data_.Path(); }

  ProfileFile& Data() override { return data_; }
  bool Backup(bool toHistory) override;
  ProfileFile* BeginChange() override;
  Commit CommitChange(std::string_view wasRead) override;
  void AbandonChange() override;
  WriteFailure LastFailure() const override;
  bool DataExists() override;
  std::vector<std::string> BackupNames() override;
  std::optional<std::string> ReadBackup(std::string_view name) override;
  std::wstring HistoryFolder() const { return folder_ + L"\\" + kBackupFolder; }
  std::wstring HistoryPath(std::string_view name) const;

 private:
  bool Fail(WriteFailure failure);
  // Opens the lock, waiting up to two seconds for another writer.
  bool TakeLock();
  // Puts the data file as it is into the history and lets the oldest go.
  bool AddToHistory();

  std::wstring folder_;
  Win32ProfileFile data_;
  std::wstring backupPath_;
  Win32ProfileFile staging_;
  std::wstring lockPath_;
  win32::UniqueFile lock_;  // held from BeginChange to the commit's end
  WriteFailure failure_ = WriteFailure::kNone;
};

// The folder that holds the running executable, without a trailing "\".
std::wstring ProgramFolder();

}  // namespace ordalis
