#include "storage/profile_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ordalis {
namespace {

using Kind = ProfileLine::Kind;

TEST(ProfileText, LinesAreReadAsTheProfileFunctionsReadThem) {
  struct Case {
    std::string line;
    Kind kind;
    std::string name, value;
  };
  const Case cases[] = {
      {"100=abc\r\n", Kind::kEntry, "100", "abc"},
      {"  100 \t=  a b  \r\n", Kind::kEntry, "100", "a b"},
      {"100=\"  quoted  \"", Kind::kEntry, "100", "\"  quoted  \""},
      {"a=b=c\n", Kind::kEntry, "a", "b=c"},
      {"=lonely\r\n", Kind::kEntry, "", "lonely"},
      {"[Important]\r\n", Kind::kSection, "Important", ""},
      {"  [Done] trailing\r\n", Kind::kSection, "Done", ""},
      {"[ Done\t]\r\n", Kind::kSection, "Done", ""},
      {"[a]b]\r\n", Kind::kSection, "a]b", ""},
      {"[open=1\r\n", Kind::kEntry, "[open", "1"},
      {"no equals here\r\n", Kind::kNoEquals, "no equals here", ""},
      {"; a note\r\n", Kind::kNoEquals, "; a note", ""},
      {" \t\x1A\r\n", Kind::kBlank, "", ""},
      {"\x1C"
       "100=\x01v\xA0\r\n",
       Kind::kEntry,
       "\x1C"
       "100",
       "\x01v\xA0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const auto lines = SplitProfileText(c.line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].kind, c.kind);
    EXPECT_EQ(lines[0].name, c.name);
    EXPECT_EQ(lines[0].value, c.value);
    EXPECT_EQ(lines[0].text, c.line);
  }
  // "\r\n", "\n" and a lone "\r" end a line; the last one may have no end.
  const auto lines = SplitProfileText("[s]\ra=1\n\r\nb=2\r\r\nc");
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0].text, "[s]\r");
  EXPECT_EQ(lines[1].text, "a=1\n");
  EXPECT_EQ(lines[2].kind, Kind::kBlank);
  EXPECT_EQ(lines[3].text, "b=2\r");
  EXPECT_EQ(lines[4].text, "\r\n");
  EXPECT_EQ(lines[5].text, "c");
}

TEST(ProfileText, FindSectionGivesTheFirstSectionAndWhatLaterOnesOfTheNameHold) {
  const std::string text = "x=0\r\n[Others]\r\na=1\r\n[done]\r\nb=2\r\n[OTHERS]\r\nc=3\r\n\r\n";
  const SectionLines others = FindSection(text, "others");
  ASSERT_TRUE(others.found);
  ASSERT_EQ(others.first.size(), 1u);
  EXPECT_EQ(others.first[0].name, "a");
  ASSERT_EQ(others.others.size(), 2u);
  EXPECT_EQ(others.others[0].name, "c");
  EXPECT_FALSE(FindSection(text, "Important").found);
}

TEST(ProfileText, ASingleValueChangesOnlyItsOwnLine) {
  struct Case {
    const char* name;
    std::string before;
    std::optional<std::string> value;
    std::string after;
  };
  const Case cases[] = {
      {"in place", "[S]\r\na=1\r\n k =old\n; n\r\n", "new", "[S]\r\na=1\r\nk=new\r\n; n\r\n"},
      {"taken out", "[S]\r\na=1\r\nk=old\r\nb=2", std::nullopt, "[S]\r\na=1\r\nb=2"},
      {"only the first entry of the first section", "[S]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n", " v",
       "[S]\r\nk=\" v\"\r\nk=2\r\n[s]\r\nk=3\r\n"},
      {"a new key after the section's last line", "[S]\r\na=1\r\n\r\n[T]\r\n", "v",
       "[S]\r\na=1\r\nk=v\r\n\r\n[T]\r\n"},
      {"after a last line without an end", "[S]\r\na=1", "v", "[S]\r\na=1\r\nk=v\r\n"},
      {"under a header at the very end", "x=1\r\n[S]", "v", "x=1\r\n[S]\r\nk=v\r\n"},
      {"a new section", "[T]\r\nk=1", "v", "[T]\r\nk=1\r\n[S]\r\nk=v\r\n"},
      {"nothing to take out", "[T]\r\nk=1\r\n", std::nullopt, "[T]\r\nk=1\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReplaceProfileValue(c.before, "S", "k", c.value), c.after);
  }
}

}  // namespace
}  // namespace ordalis
