#pragma once
// The help file Vemra.lhf: numbered topics of headings, paragraphs and
// bullets, with bold text and links to other topics. The format is
// described at the top of the file itself; the texts stay UTF-8 here.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ordalis {

enum class SpanKind { kText, kBold, kLink };

struct HelpSpan {
  SpanKind kind = SpanKind::kText;
  std::string text;
  int target = 0;  // the topic a link opens; 0 for text

  bool operator==(const HelpSpan&) const = default;
};

enum class BlockKind { kHeading, kParagraph, kBullet };

struct HelpBlock {
  BlockKind kind = BlockKind::kParagraph;
  std::vector<HelpSpan> spans;

  bool operator==(const HelpBlock&) const = default;
};

struct HelpTopic {
  int number = 0;
  std::string title;
  std::vector<HelpBlock> blocks;
  // Where the topic's lines stand in the file, for a text read when shown.
  size_t textBegin = 0, textEnd = 0;
  bool textRead = true;
};

inline constexpr int kMaxTopicNumber = 99999;

struct HelpFile {
  std::vector<HelpTopic> topics;  // in the order of the file
  // Where each number stands in `topics`, kept by the parser: a file of
  // thousands of topics is looked up once per topic and link.
  std::unordered_map<int, size_t> index;

  const HelpTopic* Find(int number) const;
};

// Never fails: what is not understood is kept as text or left out. A link
// to a topic the file does not hold becomes plain text; a link without a
// text of its own shows its topic's title.
HelpFile ParseHelpFile(std::string_view utf8);

// The topics' numbers and titles only, and where each one's lines stand: a
// file of thousands of topics opens at once. ReadTopicText reads a topic's
// text from the same bytes when it is shown; both together give what
// ParseHelpFile gives.
HelpFile ScanHelpFile(std::string_view utf8);
void ReadTopicText(std::string_view utf8, HelpFile& file, size_t topic);

}  // namespace ordalis
