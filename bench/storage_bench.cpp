// What the task file costs on the real profile functions: loading a full
// category, changing one task in it, and how a change (backup and history,
// staging copy, flushes, rename) compares with writing the same bytes once.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "common/task_file_reads.h"
#include "storage/profile_file_win32.h"
#include "storage/profile_format.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"
#include "storage/task_file.h"
#include "storage/task_store.h"
#include "bench_clock.h"
#include "support.h"

namespace {

using ordalis::Category;

constexpr int kRuns = 21;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

template <typename Work>
double MedianMs(Work&& work) {
  std::vector<double> times;
  for (int run = 0; run < kRuns; ++run) {
    const double start = NowMs();
    work();
    times.push_back(NowMs() - start);
  }
  return Median(std::move(times));
}

std::string TwoDigits(int n) {
  return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

ordalis::Task Typical(int i) {
  return {TwoDigits(i % 12 + 1) + "-" + TwoDigits(i % 28 + 1) + "-2025",
          TwoDigits(i % 24) + ":" + TwoDigits(i % 60),
          "Termin bei Dr. M\xFCller, Unterlagen und Versichertenkarte mitbringen (" +
              std::to_string(i) + ")"};
}

// A realistic file: both task categories full with descriptions of a
// typical length, their reminder flags and a password.
std::string FullFile() {
  const auto line = [](const std::string& key, const std::string& value) {
    return key + "=" + ordalis::ProtectProfileValue(value) + "\r\n";
  };
  std::string important = "[Important]\r\n", others = "[Others]\r\n", flags = "[Reminder]\r\n";
  for (int i = 0; i < ordalis::kMaxTasks; ++i) {
    const std::string key = ordalis::KeyAt(i);
    important += line(key, *ordalis::EncodeTask(Typical(i)));
    others += line(key, *ordalis::EncodeTask(Typical(i + 1)));
    flags += line(key, *ordalis::ScrambleText(i % 3 ? "A" : "R"));
  }
  return important + others + line("200", *ordalis::ScrambleText("geheim")) + flags;
}

bool WritePlain(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size() && FlushFileBuffers(file);
  CloseHandle(file);
  return ok;
}

}  // namespace

int main() {
  const ordalis::test::TempFolder scratch;
  const std::wstring& folder = scratch.Path();
  const std::wstring plainPath = folder + L"\\plain.dat";

  ordalis::Win32TaskFiles files(folder);
  if (!ordalis::test::WriteFileBytes(files.DataPath(), FullFile())) {
    std::printf("could not write the task file in %ls\n", folder.c_str());
    return 1;
  }
  const std::string bytes = ordalis::test::ReadFileBytes(files.DataPath());
  ordalis::TaskStore store(files);

  size_t loaded = 0;
  // As after a start or another program's change: nothing in the profile cache.
  const double loadCold = MedianMs([&] {
    ordalis::Win32ProfileFile(files.DataPath()).FlushCache();
    loaded = ordalis::LoadCategory(files.Data(), Category::Important).rows.size();
  });
  const double loadCached = MedianMs(
      [&] { loaded = ordalis::LoadCategory(files.Data(), Category::Important).rows.size(); });
  // Change and plain write take turns, so both see the same load on the
  // machine; the ratio is taken run by run. Each change gives the middle
  // task of the important ones another description, as the editor does.
  bool written = true;
  std::vector<double> changes, plains, ratios;
  for (int run = 0; run < kRuns; ++run) {
    const auto load = store.Load(Category::Important);
    if (!load || load->rows.size() != 100) {
      written = false;
      break;
    }
    const ordalis::TaskRow& row = load->rows[50];
    const ordalis::Task task{row.task.date, row.task.time, Typical(run % 2 ? 50 : 150).description};
    double start = NowMs();
    written = store.Edit(row, task) == ordalis::SaveResult::kSaved && written;
    changes.push_back(NowMs() - start);
    start = NowMs();
    written = WritePlain(plainPath, bytes) && written;
    plains.push_back(NowMs() - start);
    ratios.push_back(changes.back() / plains.back());
  }
  if (changes.empty()) changes = plains = ratios = {0};
  const double change = Median(changes);
  const double plain = Median(plains);
  const double ratio = Median(ratios);

  std::printf("task file of %zu bytes, %d runs each, median\n", bytes.size(), kRuns);
  std::printf("  load 100 tasks (cold cache)    %8.3f ms\n", loadCold);
  std::printf("  load 100 tasks (cached)        %8.3f ms\n", loadCached);
  std::printf("  change of one task             %8.3f ms\n", change);
  std::printf("  plain write of the same bytes  %8.3f ms\n", plain);
  std::printf("  change / plain write           %8.1f\n", ratio);
  if (loaded != 100 || !written) std::printf("  (a run failed: figures void)\n");

  return 0;
}
