#pragma once
// Termin: the modal dialog in which a task is entered or changed.
#include <windows.h>

#include <optional>
#include <string>

#include "editor/editor_rules.h"
#include "session/clock.h"
#include "reminders/sound.h"
#include "session/program_settings.h"
#include "storage/repeat_rule.h"
#include "storage/task.h"

namespace ordalis {

inline constexpr wchar_t kNewTaskCaption[] = L" Neue Aufgabe";
inline constexpr wchar_t kEditTaskCaption[] = L" Aufgabe bearbeiten";

struct TaskEditorRequest {
  std::wstring caption;
  bool withTime = true;              // other tasks carry no time
  std::optional<EditorFields> edit;  // the entry to change; none for a new task
};

struct TaskEditorServices {
  Settings& settings;
  SoundPlayer& sound;
  Clock& clock;
};

// Runs the editor; the finished task when the user accepted it. With
// `repeat`, "Wiederholen:" shows the rule given and, on "OK", gives back the
// one chosen; without it (a done task) the field is off.
std::optional<Task> EditTask(HWND owner, const TaskEditorRequest& request,
                             const TaskEditorServices& services, RepeatKind* repeat = nullptr);

// Control ids, for the tests that drive the dialog.
enum TaskEditorControl : int {
  IDC_LBEZEICHNUNG = 4001,
  IDC_CBEZEICHNUNG,
  IDC_LDATUM,
  IDC_CTAGE,
  IDC_CMONATE,
  IDC_CJAHRE,
  IDC_LUHRZEIT,
  IDC_CSTUNDEN,
  IDC_CMINUTEN,
  IDC_CREADY,
  IDC_CABBRECHEN = IDCANCEL,
  IDC_EFRAME = 4012,
  IDC_LPUNKTE,
  // Labels no one sees: the names a screen reader reads for the fields.
  IDC_NTAG,
  IDC_NMONAT,
  IDC_NJAHR,
  IDC_NSTUNDE,
  IDC_NMINUTE,
  IDC_LWIEDERHOLEN,
  IDC_CWIEDERHOLEN,
};

}  // namespace ordalis
