#include <gtest/gtest.h>

#include "dialogs/about_text.h"

namespace ordalis {
namespace {

TEST(VersionText, PadsMinorInFrontAndRevisionBehind) {
  struct Case {
    unsigned major, minor, revision;
    const wchar_t* text;
  };
  const Case cases[] = {
      {3, 10, 45, L"Ordalis 3.10 Build 450"},   {3, 5, 4, L"Ordalis 3.05 Build 400"},
      {3, 5, 0, L"Ordalis 3.05 Build 100"},     {3, 5, 1, L"Ordalis 3.05 Build 100"},
      {1, 0, 12, L"Ordalis 1.00 Build 120"},    {12, 123, 999, L"Ordalis 12.123 Build 999"},
      {2, 7, 1234, L"Ordalis 2.07 Build 1234"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VersionText(L"Ordalis", c.major, c.minor, c.revision), c.text)
        << c.major << "." << c.minor << "." << c.revision;
  }
}

TEST(AboutTexts, CaptionAndMailLinkTakeTheNameAsItIs) {
  EXPECT_EQ(AboutCaption(L"Ordalis"), L" Info über Ordalis");
  EXPECT_EQ(MailLink(L"hilfe@example.org", L"Ordalis Pro"),
            L"mailto:hilfe@example.org?Subject=Ordalis Pro&Body= ");
}

TEST(AboutPlacement, BesideTheMainWindowUnlessAScreenEdgeIsNear) {
  constexpr long long kRight = 19200, kBottom = 15360;  // 1280 x 1024 pixels at 96 dpi
  struct Case {
    TwipsPoint mainWindow, expected;
  };
  const Case cases[] = {
      {{1000, 1000}, {1800, 1800}},
      // The limits themselves count as too near.
      {{kRight - 7000, 1000}, {kRight - 8200, 1800}},
      {{kRight - 7001, 1000}, {kRight - 6201, 1800}},
      {{1000, kBottom - 6300}, {1800, kBottom - 7100}},
      {{1000, kBottom - 6301}, {1800, kBottom - 5501}},
      {{kRight - 3000, kBottom - 2000}, {kRight - 4200, kBottom - 2800}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AboutPlacement(c.mainWindow, kRight, kBottom), c.expected)
        << c.mainWindow.left << ", " << c.mainWindow.top;
  }
}

}  // namespace
}  // namespace ordalis
