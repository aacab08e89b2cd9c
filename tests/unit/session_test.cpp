// The session decides what waits for the user, what the reminders say and
// what the lock lets through; the window only carries it out.
#include <gtest/gtest.h>

#include "common/task_file_reads.h"
#include "fake_task_files.h"
#include "german_date.h"
#include "session/session.h"

namespace ordalis {
namespace {

class ScriptedAttention : public UserAttention {
 public:
  bool occupied = false;
  int asked = 0;
  bool Occupied() override {
    ++asked;
    return occupied;
  }
};

TaskRow Due(std::string key, std::string time) {
  TaskRow row;
  row.task = {"12-08-2026", std::move(time), "Aufgabe " + key};
  row.category = Category::Important;
  row.stored = "value " + key;
  row.key = std::move(key);
  return row;
}

class SessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gate.OnLastClosed([this] { ++resumes; });
    schedule.SetMode(ReminderMode::kRelevant);
  }
  ReminderAnswer Tick(ReminderCheck check, int hour, int minute) {
    return schedule.Tick(check, {2026, 12, 8, hour, minute, 0, 0}, gate, attention,
                         [this]() -> std::optional<ReminderTasks> { return tasks; });
  }
  std::vector<std::string> Keys(const ReminderAnswer& answer) {
    std::vector<std::string> keys;
    for (const TaskRow& row : answer.due) keys.push_back(row.key);
    return keys;
  }

  UserGate gate;
  ReminderSchedule schedule;
  ScriptedAttention attention;
  std::optional<ReminderTasks> tasks = ReminderTasks{{Due("100", "09:00")}, {}, true};
  int resumes = 0;
};

using Action = ReminderAnswer::Action;

TEST_F(SessionTest, WhatArrivesUnderAQuestionRunsOnceEachInOrderAfterTheLastCloses) {
  schedule.SetChecks({true, true}, {2026, 12, 8, 8, 30, 0, 0});
  {
    const auto outer = gate.Ask();
    {
      const auto inner = gate.Ask();
      gate.Hold(HeldEvent::kOutsideChange);
      EXPECT_EQ(Tick(ReminderCheck::kHour, 9, 0).action, Action::kWaitForUser);
      EXPECT_EQ(Tick(ReminderCheck::kDue, 9, 0).action, Action::kWaitForUser);
      EXPECT_EQ(Tick(ReminderCheck::kDue, 9, 1).action, Action::kWaitForUser);
      gate.HoldTrayPress(0x204);
      gate.HoldTrayPress(0x201);  // the last press counts
    }
    // A resume while a dialog is still open waits for it.
    EXPECT_EQ(resumes, 0);
    EXPECT_TRUE(gate.Release().events.empty());
  }
  EXPECT_EQ(resumes, 1);
  const UserGate::Released released = gate.Release();
  EXPECT_EQ(released.events,
            (std::vector<HeldEvent>{HeldEvent::kDueCheck, HeldEvent::kHour,
                                    HeldEvent::kOutsideChange, HeldEvent::kTrayPress}));
  EXPECT_EQ(released.trayPress, 0x201u);
  EXPECT_TRUE(gate.Release().events.empty());  // once each
  // Carried out now: the owed hour and the due task, with nothing asked
  // of Windows while the user was being asked.
  EXPECT_EQ(attention.asked, 0);
  EXPECT_EQ(Tick(ReminderCheck::kHour, 9, 2).action, Action::kRemind);
  const ReminderAnswer due = Tick(ReminderCheck::kDue, 9, 2);
  EXPECT_EQ(due.action, Action::kRemind);
  EXPECT_EQ(Keys(due), std::vector<std::string>{"100"});
}

TEST_F(SessionTest, AFullScreenProgramHoldsTheReminderAndLetsItComeAfter) {
  schedule.SetChecks({true, true}, {2026, 12, 8, 8, 30, 0, 0});
  // Nothing due: Windows is not asked.
  tasks->important = {Due("100", "23:00")};
  EXPECT_EQ(Tick(ReminderCheck::kDue, 9, 0).action, Action::kNothing);
  EXPECT_EQ(attention.asked, 0);
  tasks->important = {Due("100", "09:00")};
  attention.occupied = true;
  EXPECT_EQ(Tick(ReminderCheck::kHour, 9, 0).action, Action::kWaitForScreen);
  EXPECT_EQ(Tick(ReminderCheck::kDue, 9, 0).action, Action::kWaitForScreen);
  EXPECT_EQ(Tick(ReminderCheck::kHour, 9, 5).action, Action::kWaitForScreen);  // still owed
  attention.occupied = false;
  EXPECT_EQ(Tick(ReminderCheck::kHour, 9, 10).action, Action::kRemind);
  EXPECT_EQ(Tick(ReminderCheck::kHour, 9, 11).action, Action::kNothing);  // once an hour
  EXPECT_EQ(Tick(ReminderCheck::kDue, 9, 10).action, Action::kRemind);
}

TEST_F(SessionTest, ChecksFollowTheirTimersAndTheTasksRead) {
  EXPECT_EQ(Tick(ReminderCheck::kHour, 9, 0).action, Action::kNothing);  // no timer
  EXPECT_EQ(Tick(ReminderCheck::kDue, 9, 0).action, Action::kNothing);
  schedule.SetChecks({true, true}, {2026, 12, 8, 8, 30, 0, 0});
  // The hour speaks only with an open task, and not for a file not read.
  tasks->anyOpen = false;
  EXPECT_EQ(Tick(ReminderCheck::kHour, 9, 0).action, Action::kNothing);
  tasks.reset();
  EXPECT_EQ(Tick(ReminderCheck::kDue, 9, 0).action, Action::kNothing);
  // Shown, the hour rests until the timers are armed again; stopping the
  // hour drops what it owed.
  tasks = ReminderTasks{{Due("100", "09:00")}, {}, true};
  schedule.HourShown();
  EXPECT_EQ(schedule.Checks(), (ReminderChecks{false, true}));
  EXPECT_EQ(Tick(ReminderCheck::kHour, 10, 0).action, Action::kNothing);
  schedule.SetChecks({true, true}, {2026, 12, 8, 9, 30, 0, 0});
  {
    const auto asking = gate.Ask();
    EXPECT_EQ(Tick(ReminderCheck::kHour, 10, 0).action, Action::kWaitForUser);
  }
  schedule.SetChecks({}, {2026, 12, 8, 10, 0, 0, 0});
  schedule.SetChecks({true, false}, {2026, 12, 8, 10, 0, 30, 0});
  EXPECT_EQ(Tick(ReminderCheck::kHour, 10, 1).action, Action::kNothing);
}

TEST_F(SessionTest, AFlagThatCannotBeStoredRingsOnceForItsTask) {
  schedule.SetChecks({false, true}, {2026, 12, 8, 8, 30, 0, 0});
  tasks->important.push_back(Due("101", "09:00"));
  ASSERT_EQ(Keys(Tick(ReminderCheck::kDue, 9, 0)), (std::vector<std::string>{"100", "101"}));
  schedule.KeepFlagged({Due("100", "09:00")});
  EXPECT_EQ(Keys(Tick(ReminderCheck::kDue, 9, 1)), std::vector<std::string>{"101"});
  // Another task under the same key is not the one reminded.
  tasks->important[0].stored = "changed elsewhere";
  EXPECT_EQ(Keys(Tick(ReminderCheck::kDue, 9, 2)), (std::vector<std::string>{"100", "101"}));
}

TEST(SessionLock, NoTaskTextWhilePendingAndOnePromptAtATime) {
  Lock lock;
  const std::vector<TaskRow> due = {Due("100", "09:00")};
  lock.Engage(true);
  EXPECT_EQ(ReminderNotice(due, lock.Pending(), test::GermanDate).find("Aufgabe 100"),
            std::string::npos);
  ASSERT_TRUE(lock.BeginPrompt());
  EXPECT_FALSE(lock.BeginPrompt());
  lock.EndPrompt(false);
  EXPECT_TRUE(lock.Pending());
  ASSERT_TRUE(lock.BeginPrompt());
  lock.EndPrompt(true);
  EXPECT_FALSE(lock.Pending());
}

TEST(SessionNotices, EachDamagedEntryAndTheHiddenLinesAreToldOnceARun) {
  Notices notices;
  const UnreadableEntry first{"Important", "100", "x"}, second{"Important", "101", "y"};
  notices.Add({first}, true);
  notices.FlagNotStored(SaveResult::kWriteFailed);
  ASSERT_TRUE(notices.Waiting());
  Notices::Tell tell = notices.Take();
  EXPECT_TRUE(tell.damaged && tell.hidden);
  EXPECT_EQ(tell.flagFailure, SaveResult::kWriteFailed);
  notices.Add({first}, true);
  notices.FlagNotStored(SaveResult::kWriteFailed);
  tell = notices.Take();
  EXPECT_FALSE(tell.damaged || tell.hidden || tell.flagFailure);
  notices.Add({first, second}, false);
  EXPECT_TRUE(notices.Take().damaged);
  EXPECT_FALSE(notices.Waiting());
}

TEST(SessionNotices, DatesAndTimesWrittenByHandAreToldOnceEach) {
  const struct {
    const char* date;
    const char* time;
    bool stored;
  } cases[] = {
      {"12-09-2026", "09:30", true},  {"02-29-2028", "00:00", true},
      {"12-31-2026", "23:59", true},  {"12-31-2026", "", true},
      {"5-10-2027", "09:30", false},  {"12-09-2026", "7:05", false},
      {"09.12.2026", "09:30", false}, {"13-01-2026", "09:30", false},
      {"12-09-2026", "24:00", false}, {"12-09-2026", "09:60", false},
      {"12-09-26", "09:30", false},   {"", "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(InStoredForm({c.date, c.time, "x"}), c.stored) << c.date << " " << c.time;
  }
  Notices notices;
  const TaskRow stored{{"12-09-2026", "09:30", "Arzt"}, Category::Important, "100", "a"};
  const TaskRow odd{{"5-10-2027", "9:30", "Bahn"}, Category::Others, "100", "b"};
  notices.AddOddForms({stored, odd});
  EXPECT_EQ(notices.Take().oddForms, std::vector<Task>{odd.task});
  notices.AddOddForms({stored, odd});
  EXPECT_FALSE(notices.Waiting());
  // Moved to "Erledigtes" it is the same task; written anew by hand, another.
  TaskRow moved = odd, changed = odd;
  moved.category = Category::Done;
  changed.stored = "c";
  notices.AddOddForms({moved});
  EXPECT_FALSE(notices.Waiting());
  notices.AddOddForms({changed});
  EXPECT_EQ(notices.Take().oddForms.size(), 1u);
  const std::string text = OddFormsText(std::vector<Task>(12, odd.task));
  EXPECT_NE(text.find("5-10-2027  9:30  Bahn\n"), std::string::npos);
  EXPECT_NE(text.find("und 2 weitere"), std::string::npos);
}

}  // namespace
}  // namespace ordalis
