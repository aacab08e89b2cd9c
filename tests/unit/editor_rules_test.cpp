#include <gtest/gtest.h>

#include "editor/days_in_month.h"
#include "editor/editor_rules.h"
#include "storage/scrambler.h"

namespace ordalis {
namespace {

constexpr CalendarDate kToday{2026, 12, 8};

TEST(DaysInMonth, FollowsTheGregorianLeapYears) {
  EXPECT_EQ(DaysInMonth(2, 2008, std::nullopt, kToday), 29);
  EXPECT_EQ(DaysInMonth(2, 2007, std::nullopt, kToday), 28);
  EXPECT_EQ(DaysInMonth(2, 2000, std::nullopt, kToday), 29);  // every 400 years
  EXPECT_EQ(DaysInMonth(2, 1900, std::nullopt, kToday), 28);  // but not every 100
  EXPECT_EQ(DaysInMonth(2, 2100, std::nullopt, kToday), 28);
  EXPECT_EQ(DaysInMonth(1, 2007, std::nullopt, kToday), 31);
  EXPECT_EQ(DaysInMonth(4, 2007, std::nullopt, kToday), 30);
  EXPECT_EQ(DaysInMonth(11, 2007, std::nullopt, kToday), 30);
  EXPECT_EQ(DaysInMonth(12, 2007, std::nullopt, kToday), 31);
}

TEST(DaysInMonth, MonthZeroAndMissingYearsMeanToday) {
  EXPECT_EQ(DaysInMonth(0, 2026, std::nullopt, {2026, 4, 8}), 30);
  EXPECT_EQ(DaysInMonth(0, 2028, std::nullopt, {2026, 2, 8}), 29);  // today's month in 2028
  EXPECT_EQ(DaysInMonth(2, 0, std::nullopt, {2028, 7, 1}), 29);
  EXPECT_EQ(DaysInMonth(2, -5, std::nullopt, {2027, 7, 1}), 28);
  EXPECT_EQ(DaysInMonth(0, 0, std::nullopt, {2028, 2, 1}), 29);
}

TEST(DaysInMonth, AnInvalidMonthHasNoDays) {
  EXPECT_EQ(DaysInMonth(13, 2026, std::nullopt, kToday), 0);
  EXPECT_EQ(DaysInMonth(-1, 2026, std::nullopt, kToday), 0);
}

TEST(DaysInMonth, AGivenDateDecidesOverMonthAndYear) {
  EXPECT_EQ(DaysInMonth(4, 2007, CalendarDate{2008, 2, 10}, kToday), 29);
  EXPECT_EQ(DaysInMonth(13, 0, CalendarDate{2026, 9, 30}, kToday), 30);
}

TEST(EditorDayList, ListsTwoDigitDaysAndKeepsTheSelectionInsideTheMonth) {
  const std::vector<std::string> days = DayEntries(31);
  ASSERT_EQ(days.size(), 31u);
  EXPECT_EQ(days.front(), "01");
  EXPECT_EQ(days[8], "09");
  EXPECT_EQ(days[9], "10");
  EXPECT_EQ(days.back(), "31");
  EXPECT_EQ(DayEntries(28).back(), "28");
  EXPECT_TRUE(DayEntries(0).empty());

  EXPECT_EQ(DayToSelect(8, 30), 8);
  EXPECT_EQ(DayToSelect(30, 30), 30);
  EXPECT_EQ(DayToSelect(31, 30), 30);  // the 31st in April: the last day
  EXPECT_EQ(DayToSelect(30, 28), 28);
}

TEST(EditorFieldNumber, ReadsWholeNumbersAndRoundsFractions) {
  EXPECT_EQ(FieldNumber("2026"), 2026);
  EXPECT_EQ(FieldNumber("07"), 7);
  EXPECT_EQ(FieldNumber(" 12 "), 12);
  EXPECT_EQ(FieldNumber("-3"), -3);
  EXPECT_EQ(FieldNumber("+4"), 4);
  EXPECT_EQ(FieldNumber("5.6"), 6);
  EXPECT_EQ(FieldNumber("5.4"), 5);
  EXPECT_EQ(FieldNumber("5,5"), 6);
  EXPECT_EQ(FieldNumber("-2.5"), -3);  // half away from zero
}

TEST(EditorFieldNumber, RefusesWhatIsNoNumber) {
  for (const char* text :
       {"", " ", "ab", "1a", "a1", "1 2", ".", "-", "1.2.3", "12:30", "99999999999999999999999"}) {
    EXPECT_EQ(FieldNumber(text), std::nullopt) << text;
  }
}

TEST(EditorLeaveTimeField, GivesTwoDigitsOrAsksForAReset) {
  EXPECT_EQ(LeaveTimeField("7", "60"), "07");
  EXPECT_EQ(LeaveTimeField("07", "60"), "07");
  EXPECT_EQ(LeaveTimeField("59", "60"), "59");
  EXPECT_EQ(LeaveTimeField("0", "24"), "00");
  EXPECT_EQ(LeaveTimeField("23", "24"), "23");
  EXPECT_EQ(LeaveTimeField("5.6", "24"), "06");
  EXPECT_EQ(LeaveTimeField(" 9", "24"), "09");

  EXPECT_EQ(LeaveTimeField("75", "60"), std::nullopt);
  EXPECT_EQ(LeaveTimeField("60", "60"), std::nullopt);
  EXPECT_EQ(LeaveTimeField("24", "24"), std::nullopt);
  EXPECT_EQ(LeaveTimeField("23.5", "24"), std::nullopt);  // rounds to 24
  EXPECT_EQ(LeaveTimeField("ab", "24"), std::nullopt);
  EXPECT_EQ(LeaveTimeField("", "24"), std::nullopt);
}

TEST(EditorAcceptChecks, YearsHoursAndMinutesHaveTheirBounds) {
  EXPECT_FALSE(YearAccepted("1999"));
  EXPECT_TRUE(YearAccepted("2000"));
  EXPECT_TRUE(YearAccepted("2026"));
  EXPECT_TRUE(YearAccepted("2099"));
  EXPECT_FALSE(YearAccepted("2100"));
  EXPECT_FALSE(YearAccepted("20a6"));
  EXPECT_FALSE(YearAccepted(""));

  EXPECT_FALSE(HourAccepted("-1"));
  EXPECT_TRUE(HourAccepted("0"));
  EXPECT_TRUE(HourAccepted("23"));
  EXPECT_FALSE(HourAccepted("24"));
  EXPECT_FALSE(HourAccepted("ab"));

  EXPECT_FALSE(MinuteAccepted("-1"));
  EXPECT_TRUE(MinuteAccepted("00"));
  EXPECT_TRUE(MinuteAccepted("59"));
  EXPECT_FALSE(MinuteAccepted("60"));
  EXPECT_FALSE(MinuteAccepted(""));

  EXPECT_EQ(TwoDigits("7"), "07");
  EXPECT_EQ(TwoDigits("12"), "12");
}

TEST(EditorTypedCharacterFits, OnlyWithRoomOrTheWholeLimitSelected) {
  // The year field holds four characters.
  EXPECT_TRUE(TypedCharacterFits(3, 0, 4));
  EXPECT_FALSE(TypedCharacterFits(4, 0, 4));
  EXPECT_FALSE(TypedCharacterFits(4, 3, 4));
  EXPECT_TRUE(TypedCharacterFits(4, 4, 4));
  EXPECT_TRUE(TypedCharacterFits(5, 4, 4));
  EXPECT_FALSE(TypedCharacterFits(5, 5, 4));
  // Hours and minutes hold two.
  EXPECT_TRUE(TypedCharacterFits(1, 0, 2));
  EXPECT_FALSE(TypedCharacterFits(2, 1, 2));
  EXPECT_TRUE(TypedCharacterFits(2, 2, 2));
}

TEST(EditorDescriptionRefusal, RefusesWhatTheTaskFileCannotHoldWithTheReason) {
  struct Case {
    const char* description;
    const char* refusal;
  };
  const Case cases[] = {
      {"Zahnarzt um 9 (Praxis Dr. Weber) 100% & mehr!", nullptr},
      {"M\xFCller, Stra\xDF"
       "e, \xC4rger, 20\xB0",
       nullptr},
      {"20 \x80", nullptr},  // the euro sign is stored as "^"
      {"\xA0\xFF\x7F", nullptr},
      // Typographic quotes, dashes and the ellipsis lie in 128..159.
      {"\x84Zitat\x93", kScrambleRefusedText},
      {"a \x96 b", kScrambleRefusedText},
      {"mehr\x85", kScrambleRefusedText},
      {"\x9F", kScrambleRefusedText},
      // Control characters scramble into codes the file cannot read back.
      {"a\tb", kScrambleRefusedText},
      {"Zeile\r\nZeile", kScrambleRefusedText},
      // "^" would come back as "\x80".
      {"2^10", kCaretRefusedText},
      {"^", kCaretRefusedText},
      {"^\t", kScrambleRefusedText},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DescriptionRefusal(c.description), c.refusal) << c.description;
  }
  EXPECT_NE(std::string_view(kCaretRefusedText).find("\"^\""), std::string_view::npos);
}

TEST(EditorSplitForEditor, SplitsTheDateAtItsFirstDashesAndTheTimeAtItsColon) {
  EXPECT_EQ(SplitForEditor("03-07-2007", "09:05", "Zahnarzt"),
            (EditorFields{"03", "07", "2007", "09", "05", "Zahnarzt"}));
  // Other tasks carry no time.
  EXPECT_EQ(SplitForEditor("12-31-2026", "", "Sekt"),
            (EditorFields{"12", "31", "2026", "", "", "Sekt"}));
  // Whatever follows the second dash or the colon stays together.
  EXPECT_EQ(SplitForEditor("1-2-3-4", "12:30:45", "x"),
            (EditorFields{"1", "2", "3-4", "12", "30:45", "x"}));
  EXPECT_EQ(SplitForEditor("0307", "0905", "y"), (EditorFields{"0307", "", "", "0905", "", "y"}));
}

}  // namespace
}  // namespace ordalis

namespace ordalis {
namespace {

TEST(EditorStoredFields, DamagedDatesAndTimesAreFoundAsTheEditorWouldMisreadThem) {
  const struct {
    const char* date;
    const char* time;
    bool dateValid, timeValid;
  } cases[] = {
      {"02-29-2028", "23:59", true, true},
      {"02-29-2027", "00:00", false, true},
      {"13-45-2026", "99:99", false, false},
      {"04-31-2026", "24:00", false, false},
      {"1-05-2026", "9:05", false, false},
      {"01-05-1999", "09:60", false, false},
      {"", "", false, false},
      {"01-05-2O26", "09:5x", false, false},
  };
  for (const auto& c : cases) {
    const EditorFields fields = SplitForEditor(c.date, c.time, "x");
    EXPECT_EQ(StoredDateIsValid(fields), c.dateValid) << c.date;
    EXPECT_EQ(StoredTimeIsValid(fields), c.timeValid) << c.time;
  }
}

TEST(EditorRules, DigitsTypedIntoADayOrMonthListSelectTheirNumber) {
  const struct {
    const char* typed;
    char digit;
    int entries;
    const char* after;
    int select;  // 0: nothing
  } cases[] = {
      {"", '3', 31, "3", 3},    {"3", '1', 31, "31", 31}, {"3", '1', 30, "1", 1},
      {"1", '2', 12, "12", 12}, {"1", '3', 12, "3", 3},   {"12", '3', 31, "3", 3},
      {"", '0', 31, "0", 0},    {"0", '5', 31, "05", 5},  {"0", '0', 12, "00", 0},
      {"", '9', 12, "9", 9},
  };
  for (const auto& c : cases) {
    const TypedEntry entry = TypeIntoList(c.typed, c.digit, c.entries);
    EXPECT_EQ(entry.typed, c.after) << c.typed << c.digit;
    EXPECT_EQ(entry.select.value_or(0), c.select) << c.typed << c.digit;
  }
}

}  // namespace
}  // namespace ordalis
