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
  enabled_ = true;
  icon_ = 0;
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

TTTOOLINFOW Tooltips_Class::FindToolInfo(HWND control) const {
  const int count = ToolCount();
  for (int index = 0; index < count; ++index) {
    TTTOOLINFOW info = EmptyToolInfo();
    if (Send(TTM_ENUMTOOLSW, index, Record(&info)) &&
        info.uId == reinterpret_cast<UINT_PTR>(control)) {
      return info;
    }
  }
  return TTTOOLINFOW{};
}

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

void Tooltips_Class::DeleteTool(HWND control) {
  TTTOOLINFOW info = FindToolInfo(control);
  if (info.cbSize) Send(TTM_DELTOOLW, 0, Record(&info));
}

void Tooltips_Class::SetTipText(HWND control, std::wstring_view text) {
  TTTOOLINFOW info = FindToolInfo(control);
  if (!info.cbSize) return;
  std::wstring copy(text);
  info.lpszText = TextOrNone(copy);
  Send(TTM_UPDATETIPTEXTW, 0, Record(&info));
}

void Tooltips_Class::SetToolRect(HWND control, int left, int top, int right, int bottom) {
  TTTOOLINFOW info = FindToolInfo(control);
  if (!info.cbSize) return;
  info.rect = {left, top, right, bottom};
  Send(TTM_NEWTOOLRECTW, 0, Record(&info));
}

void Tooltips_Class::SetTracking(HWND control, bool on) {
  TTTOOLINFOW info = FindToolInfo(control);
  if (info.cbSize) Send(TTM_TRACKACTIVATE, on, Record(&info));
}

void Tooltips_Class::SetTrackPosition(HWND control, int x, int y) {
  if (FindToolInfo(control).cbSize) Send(TTM_TRACKPOSITION, 0, MakeLong(x, y));
}

bool Tooltips_Class::HitTest(HWND control, int x, int y) const {
  TTHITTESTINFOW test{};
  test.hwnd = control;
  test.pt = {x, y};
  test.ti.cbSize = kToolInfoSize;
  return Send(TTM_HITTESTW, 0, Record(&test)) != 0;
}

int Tooltips_Class::ToolCount() const {
  return static_cast<int>(Send(TTM_GETTOOLCOUNT));
}

int Tooltips_Class::GetTooltipWidth(HWND control) const {
  TTTOOLINFOW info = FindToolInfo(control);
  return info.cbSize ? LoWord(Send(TTM_GETBUBBLESIZE, 0, Record(&info))) : 0;
}

int Tooltips_Class::GetTooltipHeight(HWND control) const {
  TTTOOLINFOW info = FindToolInfo(control);
  return info.cbSize ? HiWord(Send(TTM_GETBUBBLESIZE, 0, Record(&info))) : 0;
}

void Tooltips_Class::HideTips() {
  Send(TTM_POP);
}

// ---------------------------------------------------------------------------
// Settings

bool Tooltips_Class::Enabled() const {
  return Handle() && enabled_;
}

void Tooltips_Class::Enabled(bool enabled) {
  enabled_ = enabled;
  Send(TTM_ACTIVATE, enabled);
}

int Tooltips_Class::Icon() const {
  return Handle() ? icon_ : 0;
}

void Tooltips_Class::Icon(int icon) {
  if (!Handle()) return;
  icon_ = icon;
  Send(TTM_SETTITLEW, icon_, Record(title_.c_str()));
}

std::wstring Tooltips_Class::Title() const {
  return Handle() ? title_ : std::wstring();
}

void Tooltips_Class::Title(std::wstring_view title) {
  if (!Handle()) return;
  title_ = title;
  Send(TTM_SETTITLEW, icon_, Record(title_.c_str()));
}

int Tooltips_Class::GetDelayTime(int which) const {
  return static_cast<int>(Send(TTM_GETDELAYTIME, which));
}

void Tooltips_Class::SetDelayTime(int which, int milliseconds) {
  Send(TTM_SETDELAYTIME, which, milliseconds);
}

int Tooltips_Class::MaxTipWidth() const {
  return static_cast<int>(Send(TTM_GETMAXTIPWIDTH));
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

COLORREF Tooltips_Class::BackColor() const {
  return static_cast<COLORREF>(Send(TTM_GETTIPBKCOLOR));
}

void Tooltips_Class::BackColor(std::uint32_t color) {
  Send(TTM_SETTIPBKCOLOR, TranslateColor(color));
}

COLORREF Tooltips_Class::ForeColor() const {
  return static_cast<COLORREF>(Send(TTM_GETTIPTEXTCOLOR));
}

void Tooltips_Class::ForeColor(std::uint32_t color) {
  Send(TTM_SETTIPTEXTCOLOR, TranslateColor(color));
}

// ---------------------------------------------------------------------------
// Sizes

RECT Tooltips_Class::Adjust(RECT rect, bool textToWindow) const {
  Send(TTM_ADJUSTRECT, textToWindow, Record(&rect));
  return rect;
}

SIZE Tooltips_Class::TextTipSize(HDC dc, std::wstring_view text) const {
  if (!Handle()) return {};
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &extent);
  const RECT tip = Adjust({0, 0, extent.cx, extent.cy}, true);
  return {tip.right - tip.left, tip.bottom - tip.top};
}

int Tooltips_Class::ToolTipWidthFromText(HDC dc, std::wstring_view text) const {
  return TextTipSize(dc, text).cx;
}

int Tooltips_Class::ToolTipHeightFromText(HDC dc, std::wstring_view text) const {
  return TextTipSize(dc, text).cy;
}

int Tooltips_Class::TextWidthFromToolTipWidth(HDC, int width) const {
  if (!Handle()) return 0;
  const RECT text = Adjust({0, 0, width, 0}, false);
  return text.right - text.left;
}

int Tooltips_Class::TextHeightFromToolTipHeight(HDC, int height) const {
  if (!Handle()) return 0;
  const RECT text = Adjust({0, 0, 0, height}, false);
  return text.bottom - text.top;
}

// ---------------------------------------------------------------------------
// Values

std::uint32_t Tooltips_Class::MakeLong(int low, int high) {
  return (static_cast<std::uint32_t>(high) & 0xFFFF) << 16 |
         (static_cast<std::uint32_t>(low) & 0xFFFF);
}

COLORREF Tooltips_Class::TranslateColor(std::uint32_t color) {
  if ((color >> 24) == 0x80) return GetSysColor(static_cast<int>(color & 0xFF));
  return color;
}

}  // namespace ordalis
