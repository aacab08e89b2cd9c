#pragma once
// What the user is told when they look at the window, never over another
// program.
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "storage/task_store.h"

namespace ordalis {

// Damaged entries a load found and tasks whose date or time is not in the
// form the program writes (each once a run, also when moved), lines the list cannot show
// (once a run at all), and a reminder flag that could not be stored (once a
// run).
class Notices {
 public:
  void Add(const std::vector<UnreadableEntry>& entries, bool hidden);
  // Looks at the rows a load gave for dates and times written by hand.
  void AddOddForms(const std::vector<TaskRow>& rows);
  void FlagNotStored(SaveResult result);
  bool Waiting() const;
  struct Tell {
    bool damaged = false;        // one message for every new damaged entry
    std::vector<Task> oddForms;  // not told before
    bool hidden = false;
    std::optional<SaveResult> flagFailure;
  };
  Tell Take();

 private:
  std::vector<UnreadableEntry> waiting_;
  std::set<UnreadableEntry> told_;
  std::vector<TaskRow> oddWaiting_;
  std::set<std::string> oddTold_;  // by the stored value: a task moved is the same
  bool hiddenWaiting_ = false;
  bool hiddenTold_ = false;
  std::optional<SaveResult> flagFailure_;
  bool flagTold_ = false;
};

// Whether the task's date and time stand as the program writes them
// ("mm-dd-yyyy", "hh:nn" or no time), a day and a time of day it can read.
bool InStoredForm(const Task& task);

// The message about tasks whose date or time is written by hand: which
// ones (the first ten), how they show and how they are reminded
// (Windows-1252).
std::string OddFormsText(const std::vector<Task>& tasks);

}  // namespace ordalis
