#include <gtest/gtest.h>

#include "fake_task_files.h"
#include "reminders/reminder_check.h"
#include "storage/scrambler.h"
#include "storage/task_codec.h"

namespace ordalis {
namespace {

class ReminderCheck : public testing::Test {
 protected:
  void Store(std::string_view section, std::string_view key, const Task& task) {
    data_.Write(section, key, *EncodeTask(task));
  }
  void Flag(std::string_view key, std::string_view flag) {
    data_.Write(kReminderSection, key, *ScrambleText(flag));
  }
  test::FakeProfileFile data_;
  const LocalTime now_{2026, 12, 8, 10, 30, 0, 0};
};

TEST_F(ReminderCheck, TheFirstDueTaskInDateOrderByTheFlagUnderItsOwnKey) {
  EXPECT_FALSE(FindDueTask(data_, now_));
  Store("Important", "100", {"12-08-2026", "10:00", "Bank"});
  Store("Important", "101", {"12-07-2026", "08:00", "Gestern"});
  Store("Important", "102", {"12-08-2026", "09:00", "Zahnarzt"});
  Store("Others", "100", {"12-08-2026", "00:00", "Sekt"});
  // Same date: key order stands, so "Bank" comes before "Zahnarzt".
  ASSERT_TRUE(FindDueTask(data_, now_));
  EXPECT_EQ(FindDueTask(data_, now_)->task.description, "Bank");
  Flag("100", "R");
  EXPECT_EQ(FindDueTask(data_, now_)->key, "102");
  Flag("102", "R");
  Flag("101", "A");
  EXPECT_FALSE(FindDueTask(data_, now_));
}

TEST_F(ReminderCheck, AnOpenTaskIsOneOfImportantOrOthers) {
  Store("Done", "100", {"12-08-2026", "10:00", "Erledigt"});
  EXPECT_FALSE(AnyOpenTask(data_));
  Store("Others", "100", {"12-31-2026", "00:00", "Sekt"});
  EXPECT_TRUE(AnyOpenTask(data_));
}

TEST(ReminderIntervals, MenuEveryMinuteResidentTheDueCheckEveryHalfMinute) {
  EXPECT_EQ(MenuIntervals(1), (ReminderIntervals{60000, 0}));
  EXPECT_EQ(MenuIntervals(2), (ReminderIntervals{0, 60000}));
  EXPECT_EQ(ResidentIntervals(1), (ReminderIntervals{60000, 0}));
  EXPECT_EQ(ResidentIntervals(2), (ReminderIntervals{0, 30000}));
  for (const int mode : {0, 3, 4}) {
    EXPECT_EQ(MenuIntervals(mode), ReminderIntervals{});
    EXPECT_EQ(ResidentIntervals(mode), ReminderIntervals{});
  }
}

}  // namespace
}  // namespace ordalis
