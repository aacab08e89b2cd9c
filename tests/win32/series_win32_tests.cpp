// A task of a series put into "Erledigtes" from the window: one change of
// the file leaves the done copy and the next task with the rule, and a
// restart shows both, the next one with the series' sign.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "common/task_file_reads.h"
#include "dialog_script.h"
#include "fixtures.h"
#include "storage/task_store.h"

namespace ordalis {
namespace {

using test::DialogScript;

class SeriesTest : public test::MainWindowFixture {
 protected:
  size_t Backups() const {
    const std::filesystem::path history = folder_.File(L"Sicherungen");
    if (!std::filesystem::exists(history)) return 0;
    size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(history)) {
      count += entry.path().extension() == L".dat";
    }
    return count;
  }
};

TEST_F(SeriesTest, AWeeklyTaskDoneLeavesTheNextWeeksInOneChange) {
  const RepeatRule weekly{RepeatKind::kWeekly, 12, 7};
  {
    Win32TaskFiles files(folder_.Path());
    TaskStore store(files);
    ASSERT_EQ(store.Add(Category::Important, {"12-07-2026", "07:00", "M\xFCll"}, weekly),
              SaveResult::kSaved);
  }
  ASSERT_NO_FATAL_FAILURE(Open());  // the clock says 8 December 2026
  window_->SelectTab(Category::Important);
  ListView_SetItemState(List(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  const size_t backups = Backups();
  {
    DialogScript script(L" Als erledigt ablegen");
    script.Answer(L" Als erledigt ablegen", IDYES);
    window_->MoveSelectedToDone();
    ASSERT_TRUE(script.Finished());
  }
  EXPECT_EQ(Backups(), backups + 1);

  window_.reset();
  ASSERT_NO_FATAL_FAILURE(Open());
  Win32TaskFiles files(folder_.Path());
  const std::vector<TaskRow> done = LoadCategory(files.Data(), Category::Done).rows;
  const std::vector<TaskRow> open = LoadCategory(files.Data(), Category::Important).rows;
  ASSERT_EQ(done.size(), 1u);
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(done[0].task, (Task{"12-07-2026", "07:00", "M\xFCll"}));
  EXPECT_EQ(done[0].repeat, RepeatKind::kNever);
  EXPECT_EQ(open[0].task, (Task{"12-14-2026", "07:00", "M\xFCll"}));
  EXPECT_EQ(RepeatRulesOf(FileText(files.Data())),
            (RepeatRules{{"Important." + open[0].key, weekly}}));
  window_->SelectTab(Category::Important);
  EXPECT_EQ(test::ListCell(List(), 0, L"Uhrzeit"), L"07:00, wiederholt sich");
}

}  // namespace
}  // namespace ordalis
