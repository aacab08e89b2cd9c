// What the task file costs on the real profile functions: loading a full
// category, rewriting it, and how a rewrite (backup, staging copy, section
// write, flushes, rename) compares with writing the same bytes once.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "storage/profile_file_win32.h"
#include "storage/task_file.h"
#include "support.h"

namespace {

using ordalis::Category;

constexpr int kRuns = 21;

double NowMs() {
  LARGE_INTEGER counter, frequency;
  QueryPerformanceCounter(&counter);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

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

// A full category of tasks with descriptions of a typical length.
std::vector<ordalis::TaskRow> FullCategory(Category category) {
  std::vector<ordalis::TaskRow> rows;
  for (int i = 0; i < ordalis::kMaxTasks; ++i) {
    ordalis::Task task{TwoDigits(i % 12 + 1) + "-" + TwoDigits(i % 28 + 1) + "-2025",
                       TwoDigits(i % 24) + ":" + TwoDigits(i % 60),
                       "Termin bei Dr. M\xFCller, Unterlagen und Versichertenkarte mitbringen (" +
                           std::to_string(i) + ")"};
    rows.push_back({task, category, ""});
  }
  return rows;
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
  // A realistic file: both task categories full, flags and a password.
  auto important = FullCategory(Category::Important);
  auto others = FullCategory(Category::Others);
  if (ordalis::WriteCategory(files, Category::Important, important) !=
          ordalis::SaveResult::kSaved ||
      ordalis::WriteCategory(files, Category::Others, others) != ordalis::SaveResult::kSaved ||
      ordalis::WritePassword(files, "geheim") != ordalis::SaveResult::kSaved) {
    std::printf("could not write the task file in %ls\n", folder.c_str());
    return 1;
  }
  const std::string bytes = ordalis::test::ReadFileBytes(files.DataPath());

  size_t loaded = 0;
  // As after a start or another program's change: nothing in the profile cache.
  const double loadCold = MedianMs([&] {
    ordalis::Win32ProfileFile(files.DataPath()).FlushCache();
    loaded = ordalis::LoadCategory(files.Data(), Category::Important).rows.size();
  });
  const double loadCached = MedianMs(
      [&] { loaded = ordalis::LoadCategory(files.Data(), Category::Important).rows.size(); });
  // Rewrite and plain write take turns, so both see the same load on the
  // machine; the ratio is taken run by run.
  bool written = true;
  std::vector<double> rewrites, plains, ratios;
  for (int run = 0; run < kRuns; ++run) {
    double start = NowMs();
    written = ordalis::WriteCategory(files, Category::Important, important) ==
                  ordalis::SaveResult::kSaved &&
              written;
    rewrites.push_back(NowMs() - start);
    start = NowMs();
    written = WritePlain(plainPath, bytes) && written;
    plains.push_back(NowMs() - start);
    ratios.push_back(rewrites.back() / plains.back());
  }
  const double rewrite = Median(rewrites);
  const double plain = Median(plains);
  const double ratio = Median(ratios);

  std::printf("task file of %zu bytes, %d runs each, median\n", bytes.size(), kRuns);
  std::printf("  load 100 tasks (cold cache)    %8.3f ms\n", loadCold);
  std::printf("  load 100 tasks (cached)        %8.3f ms\n", loadCached);
  std::printf("  rewrite 100 tasks              %8.3f ms\n", rewrite);
  std::printf("  plain write of the same bytes  %8.3f ms\n", plain);
  std::printf("  rewrite / plain write          %8.1f\n", ratio);
  if (loaded != 100 || !written) std::printf("  (a run failed: figures void)\n");

  return 0;
}
