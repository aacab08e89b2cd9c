#include <gtest/gtest.h>

#include <string>

#include "fake_task_files.h"
#include "storage/profile_format.h"

using ordalis::ProtectProfileValue;
using ordalis::test::PlatformStrip;

TEST(ProfileFormat, ValuesWithFragileEndsComeBackWhole) {
  for (const std::string value :
       {" vorne", "hinten ", " beide ", "\"vorne", "hinten\"", "\"beide\"", "'vorne", "hinten'",
        "'beide'", "\"gemischt'", "' \"", "\"", "'", " ", "\"\"", "''", "  \" x \"  ",
        "\xA0"
        "Leerzeichen\xA0"}) {
    SCOPED_TRACE(value);
    EXPECT_EQ(PlatformStrip(ProtectProfileValue(value)), value);
  }
}

TEST(ProfileFormat, SectionReadsStripValuesAsTheReaderDoes) {
  // A whole section comes with the raw values; they must read as the single
  // value read gives them, for what we write and for what others wrote.
  for (const std::string& raw :
       {std::string("  a b  "), std::string("\"x\""), std::string("'x'"), std::string("\"x'"),
        std::string("\""), std::string("\t\"  y \"\r"), std::string("\xA0z\xA0"),
        ProtectProfileValue(" vorne"), ProtectProfileValue("'beide'"), std::string()}) {
    SCOPED_TRACE(raw);
    EXPECT_EQ(ordalis::ProfileValueAsRead(raw), PlatformStrip(raw));
  }
}

TEST(ProfileFormat, BareValuesWithSuchEndsWouldBeDamaged) {
  // The reason for the protection, and a check on the stand-in reader.
  for (const std::string value : {" vorne", "hinten ", "\"beide\"", "'beide'"}) {
    EXPECT_NE(PlatformStrip(value), value) << value;
  }
}

TEST(ProfileFormat, OrdinaryValuesAreWrittenAsTheyAre) {
  // The file stays as any program following the format writes it.
  for (const std::string value : {"x", "\xD6\xA1\xC3", "a \"quoted\" word", "it's", "=|="}) {
    EXPECT_EQ(ProtectProfileValue(value), value);
  }
  EXPECT_EQ(ProtectProfileValue(""), "");
}
