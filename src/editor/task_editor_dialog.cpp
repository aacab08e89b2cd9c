#include "editor/task_editor_dialog.h"

#include <commctrl.h>

#include <cstdio>

#include "editor/days_in_month.h"
#include "storage/scrambler.h"
#include "win32/dialog.h"
#include "win32/text.h"

namespace ordalis {

namespace {

using win32::ControlSpec;
using win32::Narrow;
using win32::Widen;

constexpr DWORD kLabel = WS_VISIBLE | SS_RIGHT;
constexpr DWORD kField = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

// Tab order is the order of this table. The labels keep their right edges
// and reach further left, so their texts never clip.
constexpr ControlSpec kControls[] = {
    {L"STATIC", L"Auf&gabe:", IDC_LBEZEICHNUNG, kLabel, 240, 405, 1620, 210},
    {L"EDIT", L"", IDC_CBEZEICHNUNG, kField, 2070, 360, 3030, 315},
    {L"STATIC", L"Sitzungs&datum:", IDC_LDATUM, kLabel, 240, 855, 1680, 210},
    // Each field of the date and the time has a label of its own right
    // before it, which screen readers read as its name; it is never shown.
    {L"STATIC", L"Tag", IDC_NTAG, SS_NOPREFIX, 0, 0, 0, 0},
    {L"COMBOBOX", L"", IDC_CTAGE, kList, 2070, 810, 650, 3000},
    {L"STATIC", L"Monat", IDC_NMONAT, SS_NOPREFIX, 0, 0, 0, 0},
    {L"COMBOBOX", L"", IDC_CMONATE, kList, 2880, 810, 650, 3000},
    {L"STATIC", L"Jahr", IDC_NJAHR, SS_NOPREFIX, 0, 0, 0, 0},
    {L"EDIT", L"2000", IDC_CJAHRE, kField, 3645, 810, 825, 315},
    {L"STATIC", L"&Uhrzeit:", IDC_LUHRZEIT, kLabel, 240, 1305, 1650, 210},
    {L"STATIC", L"Stunde", IDC_NSTUNDE, SS_NOPREFIX, 0, 0, 0, 0},
    {L"EDIT", L"12", IDC_CSTUNDEN, kField, 2070, 1260, 645, 315},
    {L"STATIC", L"Minute", IDC_NMINUTE, SS_NOPREFIX, 0, 0, 0, 0},
    {L"EDIT", L"30", IDC_CMINUTEN, kField, 2835, 1260, 650, 315},
    {L"STATIC", L"&Wiederholen:", IDC_LWIEDERHOLEN, kLabel, 240, 1755, 1650, 210},
    {L"COMBOBOX", L"", IDC_CWIEDERHOLEN, kList, 2070, 1710, 2400, 3000},
    {L"BUTTON", L"OK", IDC_CREADY, kButton, 3060, 2700, 1095, 395},
    {L"BUTTON", L"&Abbrechen", IDC_CABBRECHEN, kButton, 4230, 2700, 1095, 395},
    {L"STATIC", L"", IDC_EFRAME, WS_VISIBLE | SS_ETCHEDHORZ, 135, 2535, 5145, 30},
    {L"STATIC", L":", IDC_LPUNKTE, WS_VISIBLE | SS_CENTER | SS_NOPREFIX, 2715, 1305, 120, 210},
};

constexpr UINT kFocusBack = WM_APP + 1;  // wParam: the field to focus again

std::string Text(HWND control) {
  return Narrow(win32::WindowText(control)).value_or(std::string());
}

void SetText(HWND control, std::string_view text) {
  SetWindowTextW(control, Widen(text).c_str());
}

std::string Number(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

class TaskEditorDialog : public win32::Dialog {
 public:
  TaskEditorDialog(const TaskEditorRequest& request, const TaskEditorServices& services,
                   RepeatKind* repeat)
      : request_(request), s_(services), repeat_(repeat) {}
  const std::optional<Task>& Result() const { return result_; }

 protected:
  std::span<const ControlSpec> Controls() const override { return kControls; }
  std::wstring Caption() const override { return request_.caption; }
  int HelpTopic() const override { return request_.caption == kNewTaskCaption ? 5 : 6; }
  SIZE ClientTwips() const override { return {5430, 3210}; }
  win32::UniqueFont MakeFont(UINT dpi) const override {
    return win32::PointFont(L"Tahoma", 9, dpi);
  }

  HWND OnInit() override;
  bool OnCommand(int id, int code) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM, INT_PTR&) override {
    if (message == kFocusBack) {
      HWND field = reinterpret_cast<HWND>(wParam);
      SendMessageW(field, EM_SETSEL, 0, -1);
      SetFocus(field);
      return true;
    }
    return false;
  }

 private:
  static LRESULT CALLBACK FieldProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  bool OnFieldChar(HWND field, int id, wchar_t key);
  void FocusSelected(HWND field);
  void FillDays(int wantedDay);
  int SelectedMonth() const;
  void LeaveTimeField(int id);
  void Accept();

  const TaskEditorRequest& request_;
  TaskEditorServices s_;
  RepeatKind* repeat_;
  LocalTime now_;
  int dayChosen_ = 1;         // the day the user chose, kept through year changes
  bool confirmDate_ = false;  // the entry's date was damaged and shows empty
  bool confirmTime_ = false;  // the same for its time
  std::string typed_;         // digits typed into a list just now
  ULONGLONG typedAt_ = 0;
  int typedIn_ = 0;
  std::optional<Task> result_;
};

HWND TaskEditorDialog::OnInit() {
  HWND hwnd = Handle();
  now_ = s_.clock.Now();
  // No close box: the dialog ends with "OK" or "&Abbrechen" (Esc).
  win32::RemoveCloseCommand(hwnd);
  if (!request_.withTime) {
    for (int id : {IDC_LUHRZEIT, IDC_LPUNKTE, IDC_CSTUNDEN, IDC_CMINUTEN}) {
      ShowWindow(Item(id), SW_HIDE);
    }
  }
  for (int id : {IDC_CBEZEICHNUNG, IDC_CTAGE, IDC_CMONATE, IDC_CJAHRE, IDC_CSTUNDEN, IDC_CMINUTEN,
                 IDC_CWIEDERHOLEN}) {
    SetWindowSubclass(Item(id), FieldProcedure, static_cast<UINT_PTR>(id),
                      reinterpret_cast<DWORD_PTR>(this));
  }
  SendMessageW(Item(IDC_CJAHRE), EM_SETLIMITTEXT, 0, 0);
  HWND rules = Item(IDC_CWIEDERHOLEN);
  for (int kind = 0; kind < kRepeatKinds; ++kind) {
    SendMessageW(
        rules, CB_ADDSTRING, 0,
        reinterpret_cast<LPARAM>(Widen(RepeatKindText(static_cast<RepeatKind>(kind))).c_str()));
  }
  SendMessageW(rules, CB_SETCURSEL, repeat_ ? static_cast<WPARAM>(*repeat_) : 0, 0);
  EnableWindow(rules, repeat_ != nullptr);
  EnableWindow(Item(IDC_LWIEDERHOLEN), repeat_ != nullptr);
  HWND months = Item(IDC_CMONATE);
  for (int month = 1; month <= 12; ++month) {
    SendMessageW(months, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(Widen(Number(month, 2)).c_str()));
  }
  // The year first, so that the first day list is the current year's.
  SetText(Item(IDC_CJAHRE), Number(now_.year, 4));
  SendMessageW(months, CB_SETCURSEL, now_.month - 1, 0);
  FillDays(now_.day);
  SetText(Item(IDC_CSTUNDEN), Number(now_.hour, 2));
  SetText(Item(IDC_CMINUTEN), Number(now_.minute, 2));

  if (const auto& edit = request_.edit) {
    const auto month = FieldNumber(edit->month);
    if (month && *month >= 1 && *month <= 12) {
      SendMessageW(months, CB_SETCURSEL, static_cast<WPARAM>(*month - 1), 0);
      FillDays(now_.day);
    }
    SetText(Item(IDC_CJAHRE), edit->year);
    const auto day = FieldNumber(edit->day);
    const auto days = SendMessageW(Item(IDC_CTAGE), CB_GETCOUNT, 0, 0);
    if (day && *day >= 1 && *day <= days) {
      SendMessageW(Item(IDC_CTAGE), CB_SETCURSEL, static_cast<WPARAM>(*day - 1), 0);
      dayChosen_ = static_cast<int>(*day);
    }
    SetText(Item(IDC_CSTUNDEN), edit->hour);
    SetText(Item(IDC_CMINUTEN), edit->minute);
    SetText(Item(IDC_CBEZEICHNUNG), edit->description);
    // A damaged date or time shows empty: "OK" then waits until the user
    // has filled it, instead of storing today's date or the current time.
    if (!StoredDateIsValid(*edit)) {
      SetText(Item(IDC_CJAHRE), "");  // first: a new year refills the days
      SendMessageW(months, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      SendMessageW(Item(IDC_CTAGE), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
      confirmDate_ = true;
    }
    if (request_.withTime && !StoredTimeIsValid(*edit)) {
      SetText(Item(IDC_CSTUNDEN), "");
      SetText(Item(IDC_CMINUTEN), "");
      confirmTime_ = true;
    }
  }
  return Item(IDC_CBEZEICHNUNG);
}

int TaskEditorDialog::SelectedMonth() const {
  return static_cast<int>(SendMessageW(Item(IDC_CMONATE), CB_GETCURSEL, 0, 0)) + 1;
}

void TaskEditorDialog::FillDays(int wantedDay) {
  dayChosen_ = wantedDay;
  // A year field without a number counts as the current year.
  const auto year = FieldNumber(Text(Item(IDC_CJAHRE)));
  const int inYear = year && *year > 0 && *year < 10000 ? static_cast<int>(*year) : now_.year;
  const int days =
      DaysInMonth(SelectedMonth(), inYear, std::nullopt, {now_.year, now_.month, now_.day});
  HWND list = Item(IDC_CTAGE);
  SendMessageW(list, CB_RESETCONTENT, 0, 0);
  for (const std::string& entry : DayEntries(days)) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(entry).c_str()));
  }
  SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(DayToSelect(wantedDay, days) - 1), 0);
}

void TaskEditorDialog::FocusSelected(HWND field) {
  SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
  SendMessageW(field, EM_SETSEL, 0, -1);
}

bool TaskEditorDialog::OnCommand(int id, int code) {
  switch (id) {
    case IDC_CREADY:
      if (code == BN_CLICKED) Accept();
      return true;
    case IDOK: return true;  // Enter alone never accepts; "OK" is no default button
    case IDC_CTAGE:
      if (code == CBN_SELCHANGE) {
        dayChosen_ = static_cast<int>(SendMessageW(Item(id), CB_GETCURSEL, 0, 0)) + 1;
      }
      return true;
    case IDC_CMONATE:
      if (code == CBN_SELCHANGE) {
        now_ = s_.clock.Now();
        FillDays(now_.day);
      }
      return true;
    case IDC_CJAHRE:
      // A new year can change February: the list follows, and the day chosen
      // comes back when the year has it again (the year is typed digit by
      // digit, through years that may not).
      if (code == EN_CHANGE && Item(IDC_CTAGE) &&
          SendMessageW(Item(IDC_CTAGE), CB_GETCOUNT, 0, 0) > 0) {
        now_ = s_.clock.Now();
        FillDays(dayChosen_);
      }
      if (code == EN_SETFOCUS) SendMessageW(Item(id), EM_SETSEL, 0, -1);
      return true;
    case IDC_CSTUNDEN:
    case IDC_CMINUTEN:
      if (code == EN_KILLFOCUS) LeaveTimeField(id);
      if (code == EN_SETFOCUS) SendMessageW(Item(id), EM_SETSEL, 0, -1);
      return true;
    case IDC_CBEZEICHNUNG:
      if (code == EN_SETFOCUS) SendMessageW(Item(id), EM_SETSEL, 0, -1);
      return true;
    default: return false;
  }
}

void TaskEditorDialog::LeaveTimeField(int id) {
  HWND field = Item(id);
  // Leaving for "&Abbrechen" or another window is no reason to object.
  HWND next = GetFocus();
  if (!next || next == Item(IDC_CABBRECHEN) || !IsChild(Handle(), next)) return;
  const bool hour = id == IDC_CSTUNDEN;
  now_ = s_.clock.Now();  // the dialog may have been open for a while
  if (const auto value = ordalis::LeaveTimeField(Text(field), hour ? "24" : "60")) {
    SetText(field, *value);
    return;
  }
  SetText(field, Number(hour ? now_.hour : now_.minute, 2));
  PostMessageW(Handle(), kFocusBack, reinterpret_cast<WPARAM>(field), 0);
  PlayNotificationSound(s_.settings, s_.sound, L"ERROR", Play::kWait);
}

void TaskEditorDialog::Accept() {
  HWND year = Item(IDC_CJAHRE), hour = Item(IDC_CSTUNDEN), minute = Item(IDC_CMINUTEN);
  now_ = s_.clock.Now();
  // A field left empty from a damaged entry is the user's to fill.
  for (const auto& [id, waits] : {std::pair{IDC_CTAGE, confirmDate_},
                                  {IDC_CMONATE, confirmDate_},
                                  {IDC_CJAHRE, confirmDate_},
                                  {IDC_CSTUNDEN, confirmTime_},
                                  {IDC_CMINUTEN, confirmTime_}}) {
    HWND field = Item(id);
    const bool empty = id == IDC_CTAGE || id == IDC_CMONATE
                           ? SendMessageW(field, CB_GETCURSEL, 0, 0) < 0
                           : GetWindowTextLengthW(field) == 0;
    if (waits && empty) {
      FocusSelected(field);
      PlayNotificationSound(s_.settings, s_.sound, L"ERROR", Play::kWait);
      return;
    }
  }
  // A field out of range becomes the current value, shown with the error
  // sound and the first of them selected; the next "OK" takes what the user
  // has then seen.
  HWND corrected = nullptr;
  const auto correct = [&](HWND field, bool accepted, const std::string& now) {
    if (accepted) return;
    SetText(field, now);
    if (!corrected) corrected = field;
  };
  correct(year, YearAccepted(Text(year)), Number(now_.year, 4));
  if (request_.withTime) {
    correct(hour, HourAccepted(Text(hour)), Number(now_.hour, 2));
    correct(minute, MinuteAccepted(Text(minute)), Number(now_.minute, 2));
  }
  if (corrected) {
    FocusSelected(corrected);
    PlayNotificationSound(s_.settings, s_.sound, L"ERROR", Play::kWait);
    return;
  }
  SetText(hour, TwoDigits(Text(hour)));
  SetText(minute, TwoDigits(Text(minute)));
  if (!request_.withTime) {
    SetText(hour, "00");
    SetText(minute, "00");
  }
  HWND description = Item(IDC_CBEZEICHNUNG);
  if (GetWindowTextLengthW(description) == 0) {
    SetFocus(description);
    return;
  }
  // A description the task file cannot hold is refused here, before the
  // list or the file sees it.
  const std::optional<std::string> text = Narrow(win32::WindowText(description));
  if (const char* refusal = text ? DescriptionRefusal(*text) : kScrambleRefusedText) {
    MessageBoxW(Handle(), Widen(refusal).c_str(), Widen(kScrambleRefusedTitle).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    FocusSelected(description);
    return;
  }
  const HWND days = Item(IDC_CTAGE), months = Item(IDC_CMONATE);
  const auto entry = [](HWND list) {
    const auto at = SendMessageW(list, CB_GETCURSEL, 0, 0);
    wchar_t item[8] = {};
    if (at >= 0 && SendMessageW(list, CB_GETLBTEXTLEN, at, 0) < 8) {
      SendMessageW(list, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(item));
    }
    return Narrow(item).value_or(std::string());
  };
  const std::string yearText = Number(static_cast<int>(*FieldNumber(Text(year))), 4);
  result_ = Task{entry(months) + "-" + entry(days) + "-" + yearText,
                 Text(hour) + ":" + Text(minute), *text};
  if (repeat_) {
    const auto chosen = SendMessageW(Item(IDC_CWIEDERHOLEN), CB_GETCURSEL, 0, 0);
    *repeat_ =
        chosen > 0 && chosen < kRepeatKinds ? static_cast<RepeatKind>(chosen) : RepeatKind::kNever;
  }
  End(IDOK);
}

bool TaskEditorDialog::OnFieldChar(HWND field, int id, wchar_t key) {
  // true: the key is swallowed.
  constexpr wchar_t kCtrlA = 1, kCtrlC = 3, kCtrlX = 24, kBackspace = 8, kEnter = 13;
  if (key == kEnter) {
    switch (id) {
      case IDC_CBEZEICHNUNG: FocusSelected(Item(IDC_CTAGE)); break;
      case IDC_CTAGE: FocusSelected(Item(IDC_CMONATE)); break;
      case IDC_CMONATE: FocusSelected(Item(IDC_CJAHRE)); break;
      case IDC_CJAHRE:
        FocusSelected(request_.withTime ? Item(IDC_CSTUNDEN) : Item(IDC_CREADY));
        break;
      // What every task needs ends with the time: Enter goes on to "OK";
      // "Wiederholen:" is a Tab (or Alt+W) away.
      case IDC_CMINUTEN:
      case IDC_CWIEDERHOLEN: FocusSelected(Item(IDC_CREADY)); break;
      default: SendMessageW(Handle(), WM_NEXTDLGCTL, 0, FALSE); break;  // as Tab does
    }
    return true;
  }
  if (id == IDC_CWIEDERHOLEN) return false;  // the list's own keys
  if (id == IDC_CBEZEICHNUNG || key == kCtrlA || key == kCtrlC || key == kCtrlX) return false;
  if (id == IDC_CTAGE || id == IDC_CMONATE) {
    // Digits typed within a second of each other make one number: "3",
    // "1" selects the 31st.
    if (key < L'0' || key > L'9') return true;
    const ULONGLONG now = GetTickCount64();
    if (now - typedAt_ > 1000 || typedIn_ != id) typed_.clear();
    typedAt_ = now;
    typedIn_ = id;
    const int entries = static_cast<int>(SendMessageW(field, CB_GETCOUNT, 0, 0));
    TypedEntry entry = TypeIntoList(typed_, static_cast<char>(key), entries);
    typed_ = std::move(entry.typed);
    if (entry.select && *entry.select - 1 != SendMessageW(field, CB_GETCURSEL, 0, 0)) {
      SendMessageW(field, CB_SETCURSEL, static_cast<WPARAM>(*entry.select - 1), 0);
      SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(field));
    }
    return true;
  }
  if (key == kBackspace) return false;
  DWORD start = 0, end = 0;
  SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const int limit = id == IDC_CJAHRE ? 4 : 2;
  if (!TypedCharacterFits(GetWindowTextLengthW(field), static_cast<int>(end - start), limit)) {
    MessageBeep(MB_OK);
    return true;
  }
  return false;
}

LRESULT CALLBACK TaskEditorDialog::FieldProcedure(HWND field, UINT message, WPARAM wParam,
                                                  LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
  auto* self = reinterpret_cast<TaskEditorDialog*>(data);
  switch (message) {
    case WM_GETDLGCODE:
      // Enter belongs to the field: it walks on to the next one.
      if (lParam && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
          wParam == VK_RETURN) {
        return DefSubclassProc(field, message, wParam, lParam) | DLGC_WANTALLKEYS;
      }
      break;
    case WM_CHAR:
      if (self->OnFieldChar(field, static_cast<int>(id), static_cast<wchar_t>(wParam))) return 0;
      break;
    case WM_NCDESTROY: RemoveWindowSubclass(field, FieldProcedure, id); break;
    default: break;
  }
  return DefSubclassProc(field, message, wParam, lParam);
}

}  // namespace

std::optional<Task> EditTask(HWND owner, const TaskEditorRequest& request,
                             const TaskEditorServices& services, RepeatKind* repeat) {
  TaskEditorDialog dialog(request, services, repeat);
  dialog.RunModal(owner);
  return dialog.Result();
}

}  // namespace ordalis
