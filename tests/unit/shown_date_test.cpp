// Stored dates as the user reads them.
#include "session/shown_date.h"

#include <gtest/gtest.h>

#include "german_date.h"

namespace ordalis {
namespace {

TEST(ShownDate, AStoredDayInTheUsersFormAnythingElseAsStored) {
  const struct {
    const char* stored;
    const char* shown;
  } cases[] = {
      {"12-08-2026", "08.12.2026"},
      {"02-29-2028", "29.02.2028"},  // a leap day
      {"02-29-2027", "02-29-2027"},  // no such day
      {"04-31-2026", "04-31-2026"},
      {"13-01-2026", "13-01-2026"},
      {"00-10-2026", "00-10-2026"},
      {"12-00-2026", "12-00-2026"},
      {"12-08-0000", "12-08-0000"},
      {"5-10-2027", "5-10-2027"},  // written by hand
      {"12/08/2026", "12/08/2026"},
      {"12-08-2026 ", "12-08-2026 "},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShownDate(c.stored, test::GermanDate), c.shown) << c.stored;
  }
  // A day the system has no text for shows as stored too.
  EXPECT_EQ(ShownDate("12-08-2026", [](const LocalTime&) { return std::string(); }), "12-08-2026");
}

}  // namespace
}  // namespace ordalis
