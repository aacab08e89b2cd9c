#include "win32/controls.h"

#include "win32/dpi.h"

namespace ordalis::win32 {

HWND ControlHandles::operator()(int id) const {
  for (const auto& [controlId, control] : controls_) {
    if (controlId == id) return control;
  }
  return nullptr;
}

void CreateControls(HWND parent, std::span<const ControlSpec> controls, UINT dpi, HFONT font,
                    ControlHandles* made) {
  // Each control is made in its place: one move less per control at every
  // start.
  for (const ControlSpec& entry : controls) {
    HWND control = CreateControl(parent, entry, PlaceOf(entry, dpi), font);
    if (made && control) made->Add(entry.id, control);
  }
}

RECT PlaceOf(const ControlSpec& entry, UINT dpi) {
  const int left = TwipsToPixels(entry.x, dpi), top = TwipsToPixels(entry.y, dpi);
  return {left, top, left + TwipsToPixels(entry.width, dpi),
          top + TwipsToPixels(entry.height, dpi)};
}

HWND CreateControl(HWND parent, const ControlSpec& entry, const RECT& place, HFONT font) {
  HWND control = CreateWindowExW(
      entry.exStyle, entry.windowClass, entry.text, WS_CHILD | entry.style, place.left, place.top,
      place.right - place.left, place.bottom - place.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), GetModuleHandleW(nullptr), nullptr);
  if (control) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return control;
}

void PlaceControls(HWND parent, std::span<const ControlSpec> controls, UINT dpi, HFONT font) {
  for (const ControlSpec& entry : controls) {
    HWND control = GetDlgItem(parent, entry.id);
    if (!control) continue;
    const RECT place = PlaceOf(entry, dpi);
    SetWindowPos(control, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
}

// A memory device context measures as the window's own would: a window's
// context would need its visible region (under Wine, calls to its server).
TextWidths::TextWidths(HWND window, HFONT font)
    : dc_(CreateCompatibleDC(nullptr)),
      old_(SelectObject(
          dc_, font ? font : reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)))) {}

TextWidths::~TextWidths() {
  SelectObject(dc_, old_);
  DeleteDC(dc_);
}

int TextWidths::Of(const std::wstring& text) const {
  SIZE size{};
  GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

UniqueFont MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{sizeof metrics};
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    return PointFont(L"Tahoma", 8, dpi);
  }
  // The system reports the font for the system DPI; scale it to this one.
  HDC screen = GetDC(nullptr);
  const int systemDpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  metrics.lfMessageFont.lfHeight =
      MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), systemDpi > 0 ? systemDpi : 96);
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

UniqueFont PointFont(const wchar_t* face, int points, UINT dpi, int weight) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
  font.lfWeight = weight;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
  return UniqueFont(CreateFontIndirectW(&font));
}

SIZE WindowSizeForClient(int width, int height, DWORD style, DWORD exStyle, UINT dpi) {
  RECT rect{0, 0, width, height};
  using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  if (!adjustForDpi || !adjustForDpi(&rect, style, FALSE, exStyle, dpi)) {
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(length));
  return text;
}

void RemoveCloseCommand(HWND window) {
  // Looked up rather than taken as the last item: Wine adds items after it.
  HMENU system = GetSystemMenu(window, FALSE);
  const int count = system ? GetMenuItemCount(system) : 0;
  for (int at = 0; at < count; ++at) {
    if (GetMenuItemID(system, at) != SC_CLOSE) continue;
    RemoveMenu(system, at, MF_BYPOSITION);
    if (at > 0 && (GetMenuState(system, at - 1, MF_BYPOSITION) & MF_SEPARATOR)) {
      RemoveMenu(system, at - 1, MF_BYPOSITION);
    }
    DrawMenuBar(window);
    return;
  }
}

}  // namespace ordalis::win32
