#include "helpviewer/help_file.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace ordalis {

const HelpTopic* HelpFile::Find(int number) const {
  if (index.size() == topics.size()) {
    const auto at = index.find(number);
    return at == index.end() ? nullptr : &topics[at->second];
  }
  for (const HelpTopic& topic : topics) {
    if (topic.number == number) return &topic;
  }
  return nullptr;
}

namespace {

bool IsBlank(char c) {
  return c == ' ';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Tabs count as blanks; other control characters are dropped, so that no
// text reaches the screen cut short or garbled.
std::string Clean(std::string_view line) {
  std::string clean;
  clean.reserve(line.size());
  for (const char c : line) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\t') {
      clean += ' ';
    } else if (byte >= 0x20 && byte != 0x7F) {
      clean += c;
    }
  }
  return clean;
}

// A topic number of one to five digits, 1 to kMaxTopicNumber, at the start
// of `text`; `length` gets the digits' count.
std::optional<int> LeadingNumber(std::string_view text, size_t& length) {
  length = 0;
  int value = 0;
  while (length < text.size() && text[length] >= '0' && text[length] <= '9') {
    if (length == 5) return std::nullopt;
    value = value * 10 + (text[length] - '0');
    ++length;
  }
  if (length == 0 || value < 1 || value > kMaxTopicNumber) return std::nullopt;
  return value;
}

// "#12 Title" or "#12".
std::optional<int> TopicHeader(std::string_view line, std::string& title) {
  if (line.empty() || line.front() != '#') return std::nullopt;
  size_t length = 0;
  const std::optional<int> number = LeadingNumber(line.substr(1), length);
  if (!number) return std::nullopt;
  const std::string_view rest = line.substr(1 + length);
  if (!rest.empty() && !IsBlank(rest.front())) return std::nullopt;
  title = std::string(Trim(rest));
  if (title.empty()) title = "Thema " + std::to_string(*number);
  return number;
}

bool HasClosingStar(std::string_view text, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\\') {
      ++i;
    } else if (text[i] == '*') {
      return true;
    }
  }
  return false;
}

// "[5]" or "[5: text]" at `at`; `end` gets the position after the "]".
std::optional<HelpSpan> LinkAt(std::string_view text, size_t at, size_t& end) {
  size_t length = 0;
  const std::optional<int> target = LeadingNumber(text.substr(at + 1), length);
  if (!target) return std::nullopt;
  size_t i = at + 1 + length;
  if (i < text.size() && text[i] == ']') {
    end = i + 1;
    return HelpSpan{SpanKind::kLink, {}, *target};
  }
  if (i >= text.size() || text[i] != ':') return std::nullopt;
  const size_t close = text.find(']', i);
  if (close == std::string_view::npos) return std::nullopt;
  end = close + 1;
  return HelpSpan{SpanKind::kLink, std::string(Trim(text.substr(i + 1, close - i - 1))), *target};
}

std::vector<HelpSpan> ParseSpans(std::string_view text) {
  std::vector<HelpSpan> spans;
  std::string current;
  bool bold = false;
  const auto flush = [&] {
    if (current.empty()) return;
    spans.push_back({bold ? SpanKind::kBold : SpanKind::kText, std::move(current)});
    current.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\\' && i + 1 < text.size()) {
      current += text[++i];
    } else if (c == '*' && (bold || HasClosingStar(text, i + 1))) {
      flush();
      bold = !bold;
    } else if (size_t end = 0; c == '[') {
      if (std::optional<HelpSpan> link = LinkAt(text, i, end)) {
        flush();
        spans.push_back(std::move(*link));
        i = end - 1;
      } else {
        current += c;
      }
    } else {
      current += c;
    }
  }
  flush();
  return spans;
}

class Parser {
 public:
  void Line(std::string_view raw) {
    const std::string line = Clean(raw);
    if (!line.empty() && line.front() == ';') return;  // a comment
    std::string title;
    if (const std::optional<int> number = TopicHeader(line, title)) {
      EndBlock();
      if (file_.Find(*number)) {
        topic_ = kNone;  // a second topic of that number is left out
      } else {
        topic_ = file_.topics.size();
        file_.topics.push_back({*number, std::move(title), {}});
        file_.index.emplace(*number, topic_);
      }
      return;
    }
    if (topic_ == kNone) return;
    const std::string_view text = Trim(line);
    if (text.empty()) {
      EndBlock();
    } else if (line.front() == '=') {
      EndBlock();
      StartBlock(BlockKind::kHeading, Trim(text.substr(1)));
      EndBlock();
    } else if (line.size() >= 2 && line[0] == '-' && IsBlank(line[1])) {
      EndBlock();
      StartBlock(BlockKind::kBullet, Trim(text.substr(1)));
    } else if (open_ && (kind_ == BlockKind::kParagraph ||
                         (kind_ == BlockKind::kBullet && IsBlank(line.front())))) {
      raw_ += ' ';
      raw_ += text;
    } else {
      EndBlock();
      StartBlock(BlockKind::kParagraph, text);
    }
  }

  // Links resolve against `links`, the whole file, when the parser saw only
  // a part of it.
  HelpFile Finish(const HelpFile* links = nullptr) {
    EndBlock();
    for (HelpTopic& topic : file_.topics) {
      for (HelpBlock& block : topic.blocks) {
        for (HelpSpan& span : block.spans) ResolveLink(span, links ? *links : file_);
        MergeNeighbours(block.spans);
      }
    }
    return std::move(file_);
  }

 private:
  void StartBlock(BlockKind kind, std::string_view text) {
    open_ = true;
    kind_ = kind;
    raw_ = std::string(text);
  }

  void EndBlock() {
    if (!open_) return;
    open_ = false;
    std::vector<HelpSpan> spans = ParseSpans(raw_);
    if (!spans.empty() && topic_ != kNone) {
      file_.topics[topic_].blocks.push_back({kind_, std::move(spans)});
    }
  }

  static void ResolveLink(HelpSpan& span, const HelpFile& links) {
    if (span.kind != SpanKind::kLink) return;
    const HelpTopic* target = links.Find(span.target);
    if (!target) {
      if (span.text.empty()) {
        char shown[16];  // not "[" + ...: MinGW's GCC 12 warns falsely on that
        std::snprintf(shown, sizeof shown, "[%d]", span.target);
        span.text = shown;
      }
      span.kind = SpanKind::kText;
      span.target = 0;
    } else if (span.text.empty()) {
      span.text = target->title;
    }
  }

  static constexpr size_t kNone = static_cast<size_t>(-1);
  // A link that became text joins the text around it.
  static void MergeNeighbours(std::vector<HelpSpan>& spans) {
    std::vector<HelpSpan> merged;
    for (HelpSpan& span : spans) {
      if (!merged.empty() && span.kind != SpanKind::kLink && merged.back().kind == span.kind) {
        merged.back().text += span.text;
      } else {
        merged.push_back(std::move(span));
      }
    }
    spans = std::move(merged);
  }

  HelpFile file_;
  size_t topic_ = kNone;  // the topic lines go to; none before the first
  bool open_ = false;
  BlockKind kind_ = BlockKind::kParagraph;
  std::string raw_;
};

}  // namespace

namespace {

// Each line without its end, and where it starts.
template <typename Visit>
void ForEachLine(std::string_view utf8, size_t from, size_t to, Visit&& visit) {
  size_t at = from;
  while (at < to) {
    size_t end = utf8.find('\n', at);
    if (end == std::string_view::npos || end > to) end = to;
    std::string_view line = utf8.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    visit(line, at);
    at = end + 1;
  }
}

size_t TextStart(std::string_view utf8) {
  return utf8.starts_with("\xEF\xBB\xBF") ? 3 : 0;
}

}  // namespace

HelpFile ParseHelpFile(std::string_view utf8) {
  Parser parser;
  ForEachLine(utf8, TextStart(utf8), utf8.size(),
              [&parser](std::string_view line, size_t) { parser.Line(line); });
  return parser.Finish();
}

HelpFile ScanHelpFile(std::string_view utf8) {
  HelpFile file;
  HelpTopic* open = nullptr;  // the topic the lines go to; none before the first
  ForEachLine(utf8, TextStart(utf8), utf8.size(), [&](std::string_view line, size_t at) {
    // Only a header starts a topic; control characters before it do not count.
    const size_t first = line.find_first_not_of(
        "\x01\x02\x03\x04\x05\x06\x07\x08\x0A\x0B\x0C\x0D\x0E\x0F\x10\x11\x12\x13\x14"
        "\x15\x16\x17\x18\x19\x1A\x1B\x1C\x1D\x1E\x1F\x7F");
    if (first == std::string_view::npos || line[first] != '#') return;
    std::string title;
    const std::optional<int> number = TopicHeader(Clean(line), title);
    if (!number) return;
    if (open) open->textEnd = at;
    open = nullptr;
    if (file.index.contains(*number)) return;  // a second topic of that number is left out
    file.index.emplace(*number, file.topics.size());
    HelpTopic& topic = file.topics.emplace_back();
    topic.number = *number;
    topic.title = std::move(title);
    topic.textBegin = std::min(utf8.size(), at + line.size() + 1);
    topic.textEnd = utf8.size();
    topic.textRead = false;
    open = &topic;
  });
  return file;
}

void ReadTopicText(std::string_view utf8, HelpFile& file, size_t topic) {
  HelpTopic& shown = file.topics[topic];
  if (shown.textRead) return;
  Parser parser;
  char header[16];  // not "#" + ...: MinGW's GCC 12 warns falsely on that
  std::snprintf(header, sizeof header, "#%d", shown.number);
  parser.Line(header);
  ForEachLine(utf8, shown.textBegin, shown.textEnd,
              [&parser](std::string_view line, size_t) { parser.Line(line); });
  HelpFile part = parser.Finish(&file);
  if (!part.topics.empty()) shown.blocks = std::move(part.topics.front().blocks);
  shown.textRead = true;
}

}  // namespace ordalis
