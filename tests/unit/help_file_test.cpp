#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "helpviewer/help_file.h"

namespace ordalis {
namespace {

using Spans = std::vector<HelpSpan>;

}  // namespace

void PrintTo(const HelpSpan& span, std::ostream* out) {
  *out << "{" << static_cast<int>(span.kind) << " \"" << span.text << "\" " << span.target << "}";
}

namespace {

HelpSpan Text(std::string text) {
  return {SpanKind::kText, std::move(text)};
}
HelpSpan Bold(std::string text) {
  return {SpanKind::kBold, std::move(text)};
}
HelpSpan Link(std::string text, int target) {
  return {SpanKind::kLink, std::move(text), target};
}

constexpr std::string_view kSample =
    "; a comment before the first topic\n"
    "lines before the first topic are no one's\n"
    "#1 Überblick\n"
    "= Erste Schritte\n"
    "Ein Absatz über\n"
    "  zwei Zeilen mit *fettem* Text.\r\n"
    "; comments inside a topic leave the paragraph open\n"
    "und weiter.\n"
    "\n"
    "- ein Punkt, siehe [2]\n"
    "  und seine Fortsetzung\n"
    "- zweiter Punkt mit [2: eigenem Text]\n"
    "Absatz nach der Liste.\n"
    "#2\n"
    "Nur ein Absatz.\n";

TEST(HelpFile, ReadsEveryConstruct) {
  const HelpFile file = ParseHelpFile(kSample);
  ASSERT_EQ(file.topics.size(), 2u);
  const HelpTopic& first = file.topics[0];
  EXPECT_EQ(first.number, 1);
  EXPECT_EQ(first.title, "Überblick");
  const std::vector<HelpBlock> expected = {
      {BlockKind::kHeading, {Text("Erste Schritte")}},
      {BlockKind::kParagraph,
       {Text("Ein Absatz über zwei Zeilen mit "), Bold("fettem"), Text(" Text. und weiter.")}},
      {BlockKind::kBullet,
       {Text("ein Punkt, siehe "), Link("Thema 2", 2), Text(" und seine Fortsetzung")}},
      {BlockKind::kBullet, {Text("zweiter Punkt mit "), Link("eigenem Text", 2)}},
      {BlockKind::kParagraph, {Text("Absatz nach der Liste.")}},
  };
  EXPECT_EQ(first.blocks, expected);
  // A topic without a title is named by its number.
  EXPECT_EQ(file.topics[1].title, "Thema 2");
  EXPECT_EQ(file.Find(2), &file.topics[1]);
  EXPECT_EQ(file.Find(3), nullptr);
}

TEST(HelpFile, MarksThatDoNotCloseStayText) {
  struct Case {
    std::string_view line;
    Spans spans;
  };
  const Case cases[] = {
      {"3 * 4 = 12", {Text("3 * 4 = 12")}},
      {"\\*nicht fett\\* und \\[5] und \\\\", {Text("*nicht fett* und [5] und \\")}},
      {"*a* *b*", {Bold("a"), Text(" "), Bold("b")}},
      {"** leer", {Text(" leer")}},
      {"[7] fehlt", {Text("[7] fehlt")}},  // no topic 7: plain text
      {"[7: Ziel fehlt]", {Text("Ziel fehlt")}},
      {"[x] [1 [1: offen", {Text("[x] [1 [1: offen")}},
      {"[0] [123456]", {Text("[0] [123456]")}},
      {"*[1]*", {Link("Eins", 1)}},
      {"a\tb\x01"
       "c\x7F",
       {Text("a bc")}},  // tabs are blanks, control characters go
  };
  for (const Case& c : cases) {
    const HelpFile file = ParseHelpFile("#1 Eins\n" + std::string(c.line) + "\n");
    ASSERT_EQ(file.topics.size(), 1u) << c.line;
    ASSERT_EQ(file.topics[0].blocks.size(), 1u) << c.line;
    EXPECT_EQ(file.topics[0].blocks[0].spans, c.spans) << c.line;
  }
}

TEST(HelpFile, OnlyWellFormedHeadersStartTopics) {
  const HelpFile file = ParseHelpFile(
      "\xEF\xBB\xBF#3 Drei\n#0 null\n#100000 zu groß\n#4x nein\n#-1\n# 5 nein\n"
      "#3 zweimal drei\nverloren\n#99999   Letztes  \nda\n");
  ASSERT_EQ(file.topics.size(), 2u);
  EXPECT_EQ(file.topics[0].number, 3);
  EXPECT_EQ(file.topics[0].title, "Drei");
  // The lines that are no header are text of topic 3; the second topic 3 is
  // left out with its text.
  ASSERT_EQ(file.topics[0].blocks.size(), 1u);
  EXPECT_EQ(file.topics[0].blocks[0].spans,
            Spans{Text("#0 null #100000 zu groß #4x nein #-1 # 5 nein")});
  EXPECT_EQ(file.topics[1].number, 99999);
  EXPECT_EQ(file.topics[1].title, "Letztes");
}

TEST(HelpFile, EmptyAndHeaderlessInputHoldNoTopics) {
  EXPECT_TRUE(ParseHelpFile("").topics.empty());
  EXPECT_TRUE(ParseHelpFile("Text ohne Thema\n- Punkt\n").topics.empty());
  const HelpFile last = ParseHelpFile("#1 Ohne Zeilenende");
  ASSERT_EQ(last.topics.size(), 1u);
  EXPECT_TRUE(last.topics[0].blocks.empty());
}

// Every text the viewer gets is clean, and every link leads somewhere.
void ExpectWellFormed(const HelpFile& file) {
  std::set<int> numbers;
  for (const HelpTopic& topic : file.topics) {
    ASSERT_TRUE(numbers.insert(topic.number).second) << topic.number;
    ASSERT_GE(topic.number, 1);
    ASSERT_LE(topic.number, kMaxTopicNumber);
    ASSERT_FALSE(topic.title.empty());
    for (const HelpBlock& block : topic.blocks) {
      ASSERT_FALSE(block.spans.empty());
      for (const HelpSpan& span : block.spans) {
        ASSERT_FALSE(span.text.empty());
        for (const char c : span.text) ASSERT_GE(static_cast<unsigned char>(c), 0x20);
        if (span.kind == SpanKind::kLink) {
          ASSERT_NE(file.Find(span.target), nullptr);
        }
      }
    }
  }
}

TEST(HelpFile, DamagedInputNeverBreaksIt) {
  std::mt19937 random(20261208);
  const std::string alphabet = "#=-*[]:;\\ \t\r\n0123456789aäß\xC3\xFF";
  for (int round = 0; round < 3000; ++round) {
    std::string text(kSample);
    const int edits = 1 + static_cast<int>(random() % 12);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const size_t at = random() % text.size();
      switch (random() % 4) {
        case 0: text[at] = alphabet[random() % alphabet.size()]; break;
        case 1: text.insert(at, 1, alphabet[random() % alphabet.size()]); break;
        case 2: text.erase(at, 1 + random() % 8); break;
        default: text.resize(at); break;
      }
    }
    ASSERT_NO_FATAL_FAILURE(ExpectWellFormed(ParseHelpFile(text))) << text;
  }
}

// The help file that ships: a topic for every number the program opens, and
// no emphasis or link left unread.
TEST(ShippedHelpFile, HoldsEveryTopicTheProgramOpens) {
  std::ifstream in(ORDALIS_HELP_FILE, std::ios::binary);
  ASSERT_TRUE(in) << ORDALIS_HELP_FILE;
  std::ostringstream text;
  text << in.rdbuf();
  const HelpFile file = ParseHelpFile(text.str());
  ASSERT_NO_FATAL_FAILURE(ExpectWellFormed(file));
  for (const int topic : {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13}) {
    EXPECT_NE(file.Find(topic), nullptr) << topic;
  }
  ASSERT_FALSE(file.topics.empty());
  EXPECT_EQ(file.topics.front().number, 1);  // the first topic is the overview
  for (const HelpTopic& topic : file.topics) {
    for (const HelpBlock& block : topic.blocks) {
      for (const HelpSpan& span : block.spans) {
        EXPECT_EQ(span.text.find_first_of("*["), std::string::npos)
            << "topic " << topic.number << ": " << span.text;
      }
    }
  }
}

// Titles first and each text when shown give what the whole parse gives,
// also for topics that stand twice, text before the first topic and a
// header after control characters.
TEST(ScanHelpFile, WithTheTextsReadLaterGivesTheWholeFile) {
  std::ifstream in(ORDALIS_HELP_FILE, std::ios::binary);
  std::ostringstream shipped;
  shipped << in.rdbuf();
  const std::string samples[] = {
      shipped.str(),
      std::string(kSample),
      "\xEF\xBB\xBFvorher\r\n#2 Zwei\r\nText [3] und [9]\r\n#3\r\n- a\r\n#2 Doppelt\r\nweg\r\n"
      "\x01#4 Vier\n= H\n*fett*",
      "#1",
      "",
  };
  for (const std::string& text : samples) {
    const HelpFile whole = ParseHelpFile(text);
    HelpFile scanned = ScanHelpFile(text);
    ASSERT_EQ(scanned.topics.size(), whole.topics.size()) << text.substr(0, 40);
    for (size_t i = 0; i < whole.topics.size(); ++i) {
      EXPECT_FALSE(scanned.topics[i].textRead);
      ReadTopicText(text, scanned, i);
      EXPECT_EQ(scanned.topics[i].number, whole.topics[i].number);
      EXPECT_EQ(scanned.topics[i].title, whole.topics[i].title);
      EXPECT_EQ(scanned.topics[i].blocks, whole.topics[i].blocks) << whole.topics[i].number;
      EXPECT_EQ(scanned.Find(whole.topics[i].number), &scanned.topics[i]);
    }
  }
}

}  // namespace
}  // namespace ordalis
