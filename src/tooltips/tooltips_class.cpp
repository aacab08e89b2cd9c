#include "tooltips/tooltips_class.h"

namespace ordalis {

namespace {

// The tool record up to its lParam member, the size every version of the
// common controls understands.
const UINT kToolInfoSize = TTTOOLINFOW_V2_SIZE;

TTTOOLINFOW EmptyToolInfo() {
  TTTOOLINFOW info{};
  info.cbSize = kToolInfoSize;
  return info;
}

LPARAM Record(const void* record) {
  return reinterpret_cast<LPARAM>(record);
}

// The control copies the text; it only takes it through a non-const pointer.
wchar_t* TextOrNone(std::wstring& text) {
  return text.empty() ? nullptr : text.data();
}

}  // namespace

Tooltips_Class::~Tooltips_Class() {
  if (HWND window = Handle()) DestroyWindow(window);
}

HWND Tooltips_Class::Handle() const {
  // The form destroys the window with itself; what is left is no window.
  return window_ && IsWindow(window_) ? window_ : nullptr;
}

LRESULT Tooltips_Class::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND window = Handle();
  return window ? SendMessageW(window, message, wParam, lParam) : 0;
}

void Tooltips_Class::Create(HWND form, DWORD style) {
  if (HWND old = Handle()) DestroyWindow(old);
  window_ = nullptr;
  title_.clear();
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&classes);
  window_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, L"", style | WS_POPUP, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (window_) {
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  }
}

// ---------------------------------------------------------------------------
// Tools

bool Tooltips_Class::AddTool(HWND control, DWORD flags, std::wstring_view text) {
  if (!Handle()) return false;
  std::wstring copy(text);
  TTTOOLINFOW info = EmptyToolInfo();
  info.uFlags = flags | TTF_SUBCLASS | TTF_IDISHWND;
  info.hwnd = GetParent(control);
  info.uId = reinterpret_cast<UINT_PTR>(control);
  info.hinst = GetModuleHandleW(nullptr);
  info.lpszText = TextOrNone(copy);
  return Send(TTM_ADDTOOLW, 0, Record(&info)) != 0;
}

// ---------------------------------------------------------------------------
// Settings

std::wstring Tooltips_Class::Title() const {
  return Handle() ? title_ : std::wstring();
}

void Tooltips_Class::Title(std::wstring_view title) {
  if (!Handle()) return;
  title_ = title;
  Send(TTM_SETTITLEW, TTI_NONE, Record(title_.c_str()));
}

void Tooltips_Class::SetDelayTime(int which, int milliseconds) {
  Send(TTM_SETDELAYTIME, which, milliseconds);
}

void Tooltips_Class::MaxTipWidth(int width) {
  Send(TTM_SETMAXTIPWIDTH, 0, width);
}

RECT Tooltips_Class::Margins() const {
  RECT margins{};
  Send(TTM_GETMARGIN, 0, Record(&margins));
  return margins;
}

void Tooltips_Class::SetMargins(const RECT& margins) {
  Send(TTM_SETMARGIN, 0, Record(&margins));
}

int Tooltips_Class::MarginLeft() const {
  return Margins().left;
}
int Tooltips_Class::MarginTop() const {
  return Margins().top;
}
int Tooltips_Class::MarginRight() const {
  return Margins().right;
}
int Tooltips_Class::MarginBottom() const {
  return Margins().bottom;
}

void Tooltips_Class::MarginLeft(int margin) {
  if (Handle()) SetMargins({margin, MarginTop(), MarginRight(), MarginBottom()});
}
void Tooltips_Class::MarginTop(int margin) {
  if (Handle()) SetMargins({MarginLeft(), margin, MarginRight(), MarginBottom()});
}
void Tooltips_Class::MarginRight(int margin) {
  if (Handle()) SetMargins({MarginLeft(), MarginTop(), margin, MarginBottom()});
}
void Tooltips_Class::MarginBottom(int margin) {
  if (Handle()) SetMargins({MarginLeft(), MarginTop(), MarginRight(), margin});
}

}  // namespace ordalis
