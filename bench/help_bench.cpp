// What a very large help file costs the viewer: 20,000 topics (about 6 MB)
// parsed whole, the titles alone (what the viewer reads at first), and the
// window from its creation to the first topic on screen.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "helpviewer/help_file.h"
#include "helpviewer/viewer_window.h"
#include "bench_clock.h"
#include "support.h"

namespace {

int kTopics = 20000;  // or the first argument
constexpr int kRuns = 5;

// Each topic with a heading, a paragraph with bold text and two links, and
// a bullet: about 300 bytes, as the topics of Vemra.lhf.
std::string BigHelpFile() {
  std::string text = "; generated\n";
  for (int n = 1; n <= kTopics; ++n) {
    const std::string number = std::to_string(n);
    text += "#" + number + " Thema Nummer " + number + " mit einem längeren Titel\n";
    text += "= Überschrift\n";
    text += "Ein Absatz mit *fetter Schrift*, einem Verweis auf [" +
            std::to_string(n % kTopics + 1) +
            "] und auf [1: den Anfang]. Dazu etwas Text, damit "
            "das Thema so lang wird wie eines der echten Hilfe.\n";
    text += "- Ein Punkt der Liste, der ebenfalls etwas länger ist als nötig.\n\n";
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ordalis;
  if (argc > 1) kTopics = std::max(1, std::atoi(argv[1]));
  const std::string text = BigHelpFile();
  test::TempFolder folder;
  const std::wstring path = folder.File(L"Gross.lhf");
  HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(out);
  std::printf("help file: %d topics, %.1f MB\n", kTopics, static_cast<double>(text.size()) / 1e6);

  std::vector<double> parse, scan, open;
  for (int run = 0; run < kRuns; ++run) {
    double start = NowMs();
    const HelpFile file = ParseHelpFile(*ReadHelpFile(path));
    parse.push_back(NowMs() - start);
    if (file.topics.size() != static_cast<size_t>(kTopics)) std::printf("topics lost\n");

    start = NowMs();
    const HelpFile titles = ScanHelpFile(*ReadHelpFile(path));
    scan.push_back(NowMs() - start);
    if (titles.topics.size() != static_cast<size_t>(kTopics)) std::printf("titles lost\n");

    start = NowMs();
    ViewerWindow window(false);
    window.Create(SW_SHOWNOACTIVATE);
    window.Open({path, 1});
    open.push_back(NowMs() - start);
    if (window.CurrentTopic() != 1) std::printf("first topic not shown\n");
    DestroyWindow(window.Handle());
  }
  std::sort(parse.begin(), parse.end());
  std::sort(open.begin(), open.end());
  std::sort(scan.begin(), scan.end());
  std::printf("read and parse:           median %7.1f ms (min %.1f, max %.1f)\n", parse[kRuns / 2],
              parse.front(), parse.back());
  std::printf("read, titles only:         median %7.1f ms (min %.1f, max %.1f)\n", scan[kRuns / 2],
              scan.front(), scan.back());
  std::printf("window to the first topic: median %7.1f ms (min %.1f, max %.1f)\n", open[kRuns / 2],
              open.front(), open.back());
  return 0;
}
