#include <gtest/gtest.h>

#include "fake_task_files.h"  // printers
#include "storage/scrambler.h"
#include "storage/task_codec.h"

using ordalis::DecodeStatus;
using ordalis::DecodeTask;
using ordalis::EncodeTask;
using ordalis::ScrambleText;
using ordalis::Task;

namespace {

// What a stored value says once unscrambled.
std::string Plain(const std::optional<std::string>& stored) {
  EXPECT_TRUE(stored);
  return stored ? ScrambleText(*stored).value_or("<refused>") : std::string();
}

DecodeStatus StatusOf(std::string_view stored) {
  return DecodeTask(stored).status;
}

}  // namespace

TEST(TaskCodec, StoresDateTimeAndDescriptionJoinedByBars) {
  const Task task{"03-15-2024", "09:30", "Zahnarzt"};
  EXPECT_EQ(Plain(EncodeTask(task)), "03-15-2024|09:30|Zahnarzt");
  const auto decoded = DecodeTask(*EncodeTask(task));
  EXPECT_EQ(decoded.status, DecodeStatus::kTask);
  EXPECT_EQ(decoded.task, task);
}

TEST(TaskCodec, EuroSignIsStoredAsCaret) {
  const Task task{"03-15-2024", "09:30",
                  "\x80"
                  "5 Miete \x80"};
  EXPECT_EQ(Plain(EncodeTask(task)), "03-15-2024|09:30|^5 Miete ^");
  EXPECT_EQ(DecodeTask(*EncodeTask(task)).task, task);
  // A caret typed by the user is indistinguishable and comes back as "€".
  const auto caret = DecodeTask(*EncodeTask({"03-15-2024", "09:30", "2^10"}));
  EXPECT_EQ(caret.task.description,
            "2\x80"
            "10");
}

TEST(TaskCodec, OnlyTheFirstTwoBarsSeparateFields) {
  const Task task{"03-15-2024", "09:30", "A|B||C|"};
  const auto decoded = DecodeTask(*EncodeTask(task));
  EXPECT_EQ(decoded.task, task);
}

TEST(TaskCodec, FieldsMissingFromTheStoredTextStayEmpty) {
  const auto dateOnly = DecodeTask(*ScrambleText("03-15-2024"));
  EXPECT_EQ(dateOnly.status, DecodeStatus::kTask);
  EXPECT_EQ(dateOnly.task, (Task{"03-15-2024", "", ""}));

  const auto noDescription = DecodeTask(*ScrambleText("03-15-2024|09:30"));
  EXPECT_EQ(noDescription.status, DecodeStatus::kTask);
  EXPECT_EQ(noDescription.task, (Task{"03-15-2024", "09:30", ""}));

  const auto emptyFields = DecodeTask(*ScrambleText("||"));
  EXPECT_EQ(emptyFields.status, DecodeStatus::kTask);
  EXPECT_EQ(emptyFields.task, Task{});
}

TEST(TaskCodec, EmptyStoredValueIsNoTask) {
  EXPECT_EQ(StatusOf(""), DecodeStatus::kEmpty);
}

TEST(TaskCodec, StoredCharacterThatCannotBeUnscrambledIsReported) {
  // A tab in the task scrambles into the refused range; so does any code
  // 128..159 found in the file.
  const auto storedTab = EncodeTask({"03-15-2024", "09:30", "a\tb"});
  ASSERT_TRUE(storedTab);
  EXPECT_EQ(StatusOf(*storedTab), DecodeStatus::kRefused);
  EXPECT_EQ(StatusOf(*ScrambleText("03-15-2024") + "\x85"), DecodeStatus::kRefused);
}

TEST(TaskCodec, TaskWithACharacterTheFileCannotHoldIsNotEncoded) {
  EXPECT_EQ(EncodeTask({"03-15-2024", "09:30", "Caf\x81"}), std::nullopt);
  // The euro sign is only mapped in the description.
  EXPECT_EQ(EncodeTask({"03-15-2024", "\x80", "x"}), std::nullopt);
}
