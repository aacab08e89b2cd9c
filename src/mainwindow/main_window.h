#pragma once
// The main window: the category tabs over the task list, the task buttons,
// the reminder modes and the close button. It is the program. Its parts live
// by concern:
//   main_window.cpp       creation, layout, tabs and list, keys, help
//   window_messages.cpp   message dispatch: commands, timers, notifications
//   life_cycle.cpp        start-up, closing, quitting, the end of a session
//   task_commands.cpp     add, edit, delete, move to done
//   tray_handling.cpp     the icon's presses and menu, showing the window,
//                         and what runs when the user has answered
//   reminders.cpp         the reminder modes, their timers, and carrying
//                         out what the schedule says
// What the program knows and decides lives in the session (session/); the
// window shows it and forwards the user's input.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "dialogs/about_dialog.h"
#include "mainwindow/category_list.h"
#include "mainwindow/control_tips.h"
#include "mainwindow/folder_watch.h"
#include "mainwindow/monitors.h"
#include "mainwindow/tray_icon.h"
#include "options/options_dialog.h"
#include "reminders/attention.h"
#include "reminders/sound.h"
#include "session/clock.h"
#include "session/session.h"
#include "win32/controls.h"
#include "win32/handles.h"
#include "win32/icons.h"
#include "win32/window.h"

namespace ordalis {

// Control ids of the main window. "Schließen" is the window's cancel
// button, so Esc presses it.
enum MainWindowControl : int {
  IDC_TABSTRIP = 1001,
  IDC_LDATEN,
  IDC_BHINZUFUEGEN,
  IDC_BBEARBEITEN,
  IDC_BLOESCHEN,
  IDC_FRAME1,
  IDC_OWECKER1,
  IDC_OWECKER2,
  IDC_OWECKER3,
  IDC_BOPTIONEN,
  // The reminder bar above the list.
  IDC_BAR_TEXT,
  IDC_BAR_DONE,
  IDC_BAR_LATER,
  IDC_BAR_CLOSE,
  IDC_BBEENDEN = IDCANCEL,
};

// The items of the tray menu.
enum MainWindowMenu : int {
  IDM_VISIBLE = 1101,
  IDM_NEU,
  IDM_ERINNERUNG1,
  IDM_ERINNERUNG2,
  IDM_ERINNERUNG3,
  IDM_OPTIONEN,
  IDM_HILFE,
  IDM_INFO,
  IDM_BEENDEN,
  IDM_SICHERUNG,
  IDM_ERLEDIGT,  // the list's menu: the selected task to "Erledigtes"
  // "Später erinnern": the first of the choices, one id each.
  IDM_SNOOZE = 1200,
};

inline constexpr wchar_t kMainWindowCaption[] = L"Ordalis ";
// Another program (the installer, the uninstaller) sends the message of this
// name to end Ordalis through its quit sequence. The answer is 1 when it
// quits, 0 when a dialog or a sequence waits for the user.
inline constexpr wchar_t kQuitMessageName[] = L"Ordalis.Beenden";
inline constexpr UINT_PTR kTimerStunde = 1;
inline constexpr UINT_PTR kTimerRelevantes = 2;
inline constexpr UINT_PTR kTimerRetryRead = 3;      // the data file could not be read
inline constexpr UINT_PTR kTimerOutsideChange = 4;  // the folder changed a moment ago
inline constexpr UINT_PTR kTimerOccupied = 5;       // a reminder waits for a full-screen program
inline constexpr UINT_PTR kTimerStartIcon = 6;      // the icon comes after the first paint
inline constexpr UINT_PTR kTimerStartWatch = 7;     // so does the watch on the program folder
inline constexpr UINT_PTR kTimerSnooze = 8;         // the next snoozed task comes again
inline constexpr UINT_PTR kTimerTip = 9;            // the icon's tip says something else
// The longest a timer of the window waits for its moment: a clock change or
// a wake from sleep looks again anyway, and this keeps a lost message
// harmless.
inline constexpr long long kLongestWaitMinutes = 6 * 60;
// The id of the quick add's system-wide key.
inline constexpr int kQuickAddHotKey = 1;
// Posted when the last dialog or sequence that waits for the user ends: the
// reminders and tray presses that waited for it run now.
inline constexpr UINT kWmResume = WM_APP + 1;
// Posted when something in the program folder changed.
inline constexpr UINT kWmFolderChanged = WM_APP + 2;
// Posted when the window was shown, moved or activated while the password
// is pending: if it is on screen now, the prompt comes in front of it.
inline constexpr UINT kWmAskPassword = WM_APP + 3;
// Posted when the window was activated: messages about the file that came
// while nobody looked at it are told now.
inline constexpr UINT kWmTellWaiting = WM_APP + 4;
// Posted when the window came on screen: it shows the file as it is now.
inline constexpr UINT kWmShown = WM_APP + 5;

// What the main window works with; the program gives the real ones, tests
// their own.
struct MainWindowServices {
  TaskFiles& files;
  SettingsStore& settings;
  Clock& clock;
  SoundPlayer& sound;
  std::wstring programFolder;
  std::wstring dataPath;        // named in messages to the user
  bool automaticStart = false;  // the command line was exactly "/a"
  // Called once when the program ends (the program leaves its message loop).
  std::function<void()> onEnd;
  // The monitors of the desktop; the system's when none is given.
  MonitorLayout* monitors = nullptr;
  // The pauses of the program (the splash, the second before the balloon at
  // a close into the tray), with the messages going on; a real wait when
  // none is given.
  std::function<void(double seconds)> wait;
  // Whether the user runs a full-screen program or a presentation; the
  // system's answer when none is given.
  UserAttention* attention = nullptr;
  // The system's temporary folder, where a program started from a zip runs;
  // the system's when empty.
  std::wstring temporaryFolder;
};

class MainWindow : public win32::Window {
 public:
  using Mode = ::ordalis::ReminderMode;

  explicit MainWindow(MainWindowServices services)
      : s_(std::move(services)), session_(s_.files, s_.settings) {}

  // Creates the window and runs the start-up.
  bool Create();
  // Marks a tab as selected and loads its category, as a click on it does.
  void SelectTab(Category category);
  // The category the list shows.
  Category SelectedCategory() const;
  CategoryList& List() { return list_; }
  Session& State() { return session_; }

  // The main window's own keys before the dialog manager sees them: the
  // access keys of the tabs and of "&Bearbeiten", Ctrl+Tab and F1. True when
  // the key was used.
  bool PreTranslate(const MSG& msg);

  // What tests look at: the reminder mode (1..3, 0 for none), whether a
  // check runs, the icon, the help menu and the program's end.
  int ReminderMode() const { return static_cast<int>(session_.schedule.Mode()); }
  // Whether the check of the timer runs (its timer waits for its moment).
  bool CheckRuns(UINT_PTR timer) const;
  bool TrayIconShown() const { return tray_.Shown(); }
  int BalloonsShown() const { return tray_.BalloonsShown(); }
  HWND TrayHost() { return tray_.Host(); }
  TrayIcon& Tray() { return tray_; }
  bool HelpAvailable() const { return helpAvailable_; }
  bool Ended() const { return session_.ended; }
  HMENU TrayMenu() const { return menu_.get(); }
  ControlTips& Tips() { return controlTips_; }
  bool AuthenticationPending() const { return session_.lock.Pending(); }
  // A dialog or a sequence waits for the user.
  bool Busy() const { return session_.gate.Asking(); }

  // The commands behind the buttons and menu items.
  void bBeenden_Click();
  void mBeenden_Click();
  void mErinnerung_Click(int mode);
  void mVisible_Click();
  void TStunde_Timer();
  void TRelevantes_Timer();
  // The PC woke up, the clock was changed or the session unlocked: the
  // running reminder checks at once instead of at its next tick.
  void CheckRemindersNow();
  void OnTrayMouse(UINT mouseMessage);
  // The options dialog switches the icon on ("Einfügen") and off ("Löschen").
  // On is always the one icon, also when it is there already.
  void CSymbol_Click() {
    KillTimer(Handle(), kTimerStartIcon);
    tray_.Add();
  }
  void BSymbol_Click() {
    KillTimer(Handle(), kTimerStartIcon);
    tray_.Remove();
  }
  // The task commands.
  void BHinzufuegen_Click();
  void BBearbeiten_Click();
  void BLoeschen_Click();
  void LDaten_DblClick();  // opens the selected task, in "Alles" in its own tab
  void MoveSelectedToDone();
  // The list's menu of what the selected task allows, at the pointer or,
  // from the keyboard (`at` of -1, -1), at the selected row.
  void ShowListMenu(POINT at);
  // A tab the user chose shows its first row focused and selected, when
  // none is.
  void FocusFirstRow();
  // The tasks of the last reminder stand out in bold.
  LRESULT LDaten_CustomDraw(NMLVCUSTOMDRAW& draw);
  // The reminder bar (reminder_bar.cpp): shown as the schedule holds it,
  // without a word while the password is pending; its "Erledigt" puts its
  // tasks into "Erledigtes", "Später erinnern" snoozes them (the hourly
  // reminder: the next full hour passes), "Schließen" hides it.
  void UpdateBar();
  // One of the window's controls; nullptr for "Einstellungen…" and the
  // parts of the reminder bar before they first show.
  HWND Item(int id) const { return items_(id); }
  // The options of the reminder modes, in the modes' order.
  static constexpr std::array<int, 3> kModeOptions = {IDC_OWECKER1, IDC_OWECKER2, IDC_OWECKER3};
  // "Einstellungen…", made when it is first asked for.
  HWND OptionsButton();
  // By its own style: the bar stays shown while the window is hidden.
  bool BarShown() const {
    return (GetWindowLongW(Item(IDC_BAR_TEXT), GWL_STYLE) & WS_VISIBLE) != 0;
  }
  void BarDone();
  void BarLater();
  void BarClose();
  // Snoozes the tasks with the choice, which is remembered.
  void SnoozeTasks(const std::vector<TaskRow>& rows, SnoozeChoice choice);
  // The icon's tip and the timer of the next snooze follow the file as it
  // is now.
  void FollowFile();
  // The quick add (quick_add.cpp): registers the stored key (after the
  // first paint, and again when the options change it); false when another
  // program holds it. The key's press opens the editor in front of the
  // program the user works in, without the main window, and gives the
  // keyboard back to that program afterwards.
  bool RegisterQuickAdd();
  void QuickAdd();
  // Lists the backups and puts the one the user picks in place.
  // The list and the question belong to `owner` (the options), else to
  // the main window.
  void mSicherung_Click(HWND owner = nullptr);
  // Opens a help topic in the help viewer; topic 0 is topic 1.
  void CallHilfe(int topic);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Form_Load();
  void Form_QueryUnload();
  void Form_EndSession();
  LRESULT QuitOnRequest();
  void TabStrip_Click();
  // The category of the tab the tab strip has selected.
  Category ChosenTab() const;
  void LDaten_ColumnClick(int column);
  void OWecker_Click(Mode mode);
  void mHilfe_Click();

  void CreateControlsAndMenu();
  // Sizes the window and fits the tab row for the DPI; the controls, made
  // in place, are placed again (and the list given its font) only at a new
  // DPI.
  void Layout(bool placeControls);
  void SetViewButtons(Category view);
  // Edit and delete follow the selection, the focus and the view.
  void UpdateEditButtons();
  bool HasRoom(Category category, size_t tasks);
  // The editor for a new task of the category, and the task with its rule
  // when the user accepted it.
  struct NewTask {
    Task task;
    RepeatRule rule;
  };
  std::optional<NewTask> AskNewTask(Category category);
  // The rule of the task's series as the file holds it now; none for a
  // task of no series.
  std::optional<RepeatRule> RuleOf(const TaskRow& row);
  // Tells why an action was not stored; `typed` is what the user entered,
  // named so that it is not lost. Over `owner` (a dialog), else the window.
  void ReportSaveFailure(SaveResult result, const Task* typed = nullptr, HWND owner = nullptr);
  // Shows the file as it is after an action: the task the store just stored
  // selected, else the row now at `fallbackRow`.
  void ShowStored(SaveResult result, Category stored, size_t fallbackRow,
                  const Task* typed = nullptr);
  // Reads the view's rows again, keeping the order and the selected task;
  // false when the file cannot be read now.
  bool ReloadView();
  void ShowUnreadable();
  void OnFolderChanged();
  // At start: an empty or unreadable data file with a backup that holds
  // tasks leads to the question whether to restore it.
  void OfferRestore();
  // A restore keeps the reminders given: the restored tasks whose time has
  // passed keep their flag.
  TaskStore::RemindedRows RemindedAtRestore();
  void CheckOutsideChange();
  LRESULT OnNotify(const NMHDR& header);
  // Every message box of the main window: the program waits while it is open.
  int Ask(const std::wstring& text, const wchar_t* caption, UINT style);

  // Start-up steps.
  void EnsureSettingsKeys();
  // Where the program runs from (the settings, App Paths): after the first
  // paint, which needs none of it.
  void RegisterFolder();
  // A folder that cannot keep the tasks (one that takes no file, a
  // temporary one, the inside of a zip) is named before anything asks the
  // user for input.
  void WarnAboutFolder();
  // Where the window opens: its stored place, kept on a monitor that is there.
  POINT StartPoint(SIZE size, UINT dpi);
  void RestoreListLook();
  bool StartupDueCheck();
  // Selects the stored tab (when the user wants it kept), or `otherwise`
  // for a stored value that names none; true when one was stored.
  bool RestoreLastTab(std::optional<Category> otherwise = std::nullopt);
  void StartFolderWatch();
  // Windows brings the program back after an update restart, and tells it
  // of a session unlock; asked after the first paint.
  void RegisterWithSession();

  // Close steps. `quitting`: for "Beenden", which ends the program
  // afterwards; `noticeShown`: the closing notice was shown for this close
  // already.
  void CloseSequence(bool quitting = false, bool noticeShown = false);
  void StoreWindowState(bool withPlacement);
  bool ShowClosingNotice();
  void EndProgram();

  // Tray, reminders and the window's visibility.
  void AutostartTip(int mode);
  void Pause(double seconds);
  void MenuMarkieren();
  void SelectMode(Mode mode);
  // The schedule's timers, and the window's timers that carry them.
  void SetReminderTimers(ReminderChecks checks);
  // The hourly check's timer waits for the next full hour.
  void ArmHourTimer();
  void ArmResidentTimers();
  // A check of the schedule, carried out: the reminder, or a look again
  // once a full-screen program has ended; then the timers follow the file.
  void RunCheck(ReminderCheck check);
  void RemindIfDue(ReminderCheck check);
  // Flags the reminded tasks; a flag that cannot be stored holds for the
  // run, and the user is told once.
  void FlagReminded(const std::vector<TaskRow>& due);
  void TabRestore();
  void ShowWindowSequence();
  // In front with the list focused; `quietly`, in front of the program
  // that has the keyboard without taking it.
  void BringToFront(bool quietly = false);
  // A reminder: the sound, the notification and the window with the first
  // task due selected; none for the hourly reminder. False when the tasks
  // stay hidden behind the password; when the user cancelled the password,
  // the tasks count as reminded and wait for the window to be opened. `byTheUser`: at a start the
  // user made, the window takes the keyboard as any program the user starts.
  bool Remind(const std::vector<TaskRow>& due, Play play, bool byTheUser = false);
  // A click on the reminder's notification: the window with its task.
  void ShowRemindedTask();
  // What a load found damaged or hidden, or a flag that was not stored, is
  // told when the user looks at the window; until then it waits, and
  // nothing waits for an answer.
  void TellWaitingIfSeen();
  // The user looks at the window: it is on screen and has the keyboard.
  bool Seen() const {
    return IsWindowVisible(Handle()) && !IsIconic(Handle()) && GetForegroundWindow() == Handle();
  }
  void ShowTrayMenu();
  // The choices of "Später erinnern" as a menu, the last one chosen in bold.
  win32::UniqueMenu SnoozeMenu() const;
  // A choice from the menu at `at` (screen), or none.
  std::optional<SnoozeChoice> ChooseSnooze(POINT at);
  // The tasks of the last reminder that may still be snoozed.
  std::vector<TaskRow> SnoozableReminded();
  // The list leaves the bar its room when it shows.
  void PlaceBar();
  // The bar's controls, made when it first shows (main_window.cpp).
  void CreateBar();
  // The dialog the program waits for comes to the front; false when none is
  // on screen.
  bool BringWaitingDialogToFront();
  // Runs the reminders and the tray press that waited for the user.
  void Resume();
  // The list takes the font of the settings, in its DPI.
  void ApplyListFont();
  // The list's font of the settings and its bold form, in the window's DPI.
  void MakeListFonts();
  // Shows the task's category with its row selected; false when it is not
  // there.
  bool SelectTask(const TaskRow& row);
  // After the window was shown, moved or activated: the password prompt and
  // the messages that wait for the user to look.
  void PostLookChecks();
  int HelpTopicFor(HWND control) const;
  bool HelpFilesPresent();
  void OpenHelp(bool available, int topic);

  // The password and the options (access.cpp). True when the tasks may be
  // shown: no password prompt waits, or the password was given now; its
  // "&Abbrechen" ends the program, except for a reminder's prompt, which
  // sets `cancelled` and leaves the program running. There is only ever one prompt: asked
  // again while it is open, it comes to the front and the answer is false.
  // `reminderWaiting` adds the line that a reminder waits behind it.
  // `quietly`: another program has the keyboard, and the prompt does not
  // take it.
  bool Unlock(bool reminderWaiting = false, bool quietly = false, bool* cancelled = nullptr);
  // The window came on screen while the password is pending.
  void AskPasswordForShownWindow();
  void ShowOptions(bool modal);
  void ShowAbout() { ordalis::ShowAbout(Handle()); }
  void SetupControlTooltips(DWORD style) { controlTips_.SetupControlTooltips(Handle(), style); }
  void ReleaseControlTooltips() { controlTips_.ReleaseControlTooltips(); }

  bool SettingOn(Settings::Switch which) const { return session_.settings.On(which); }

  // What the options dialog changes of the running window.
  class OptionsBridge : public OptionsHost {
   public:
    explicit OptionsBridge(MainWindow& window) : w_(window) {}
    SettingsStore& Settings() override { return w_.s_.settings; }
    ordalis::Settings& Values() override { return w_.session_.settings; }
    TaskStore& Tasks() override { return w_.session_.store; }
    SoundPlayer& Sound() override { return w_.s_.sound; }
    bool HasSoundDevice() override;
    std::wstring ProgramFolder() override { return w_.s_.programFolder; }
    std::wstring ProgramName() override { return RunningProgramName(); }
    int ReminderMode() override { return w_.ReminderMode(); }
    void SelectNeverRemind() override { w_.SelectMode(Mode::kNever); }
    void EnableTrayModes(bool enable) override;
    void ShowNormal() override { ShowWindow(w_.Handle(), SW_SHOWNORMAL); }
    bool TrayIconShown() override { return w_.tray_.Shown(); }
    void AddTrayIcon() override { w_.CSymbol_Click(); }
    void RemoveTrayIcon() override { w_.BSymbol_Click(); }
    void ApplyListFont() override { w_.ApplyListFont(); }
    void ReportSaveFailure(HWND owner, SaveResult result) override {
      w_.ReportSaveFailure(result, nullptr, owner);
    }
    void RestoreBackup(HWND owner) override { w_.mSicherung_Click(owner); }
    unsigned QuickAddKey() override { return w_.session_.settings.QuickAddKey(); }
    bool QuickAddTaken() override { return w_.session_.quickAddTaken; }
    bool SetQuickAddKey(unsigned key) override {
      w_.session_.settings.StoreQuickAddKey(key);
      return w_.RegisterQuickAdd();
    }

   private:
    MainWindow& w_;
  };

  MainWindowServices s_;
  Session session_;
  FolderWatch folderWatch_;
  OptionsBridge options_{*this};
  CategoryList list_;
  win32::ControlHandles items_;  // the window's controls, as they are made
  TrayIcon tray_;
  SystemAttention systemAttention_;
  ControlTips controlTips_;
  win32::UniqueMenu menu_;  // the icon's menu with its submenu
  UINT dpi_ = 96;
  win32::WindowIcons icons_;  // its own, once its DPI is not the screen's
  win32::UniqueFont font_;
  win32::UniqueFont listFont_;
  win32::UniqueFont remindedFont_;  // the list's font in bold
  UINT quitMessage_ = 0;            // the registered kQuitMessageName
  bool helpAvailable_ = false;      // "Hilfe&themen" is enabled
};

}  // namespace ordalis
