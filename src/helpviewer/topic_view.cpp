#include "helpviewer/topic_view.h"

#include <richedit.h>

namespace ordalis {

namespace {

constexpr int kBodyPoints = 10;
constexpr int kHeadingPoints = 12;
constexpr LONG kSpaceAfterTwips = 120;
constexpr LONG kBulletIndentTwips = 200;
constexpr LONG kBulletTextTwips = 280;

// The face of the system's message font, so the text matches the window.
const wchar_t* TextFace() {
  static wchar_t face[LF_FACESIZE] = L"";
  if (!face[0]) {
    NONCLIENTMETRICSW metrics{sizeof metrics};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0]) {
      lstrcpynW(face, metrics.lfMessageFont.lfFaceName, LF_FACESIZE);
    } else {
      lstrcpynW(face, L"Tahoma", LF_FACESIZE);
    }
  }
  return face;
}

CHARRANGE Selection(HWND edit) {
  CHARRANGE range{};
  SendMessageW(edit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range;
}

}  // namespace

std::wstring FromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

bool TopicView::LoadRichEdit() {
  static const HMODULE library = LoadLibraryW(L"Msftedit.dll");  // kept for the process
  return library != nullptr;
}

bool TopicView::Create(HWND parent, int id) {
  if (!LoadRichEdit()) return false;
  edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE |
                              ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL,
                          0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                          GetModuleHandleW(nullptr), nullptr);
  if (!edit_) return false;
  SendMessageW(edit_, EM_SETEVENTMASK, 0, ENM_LINK);
  SendMessageW(edit_, EM_SETBKGNDCOLOR, FALSE, GetSysColor(COLOR_WINDOW));
  return true;
}

void TopicView::StartParagraph(BlockKind kind, bool first) {
  if (!first) Append(L"\r", 0, kBodyPoints, GetSysColor(COLOR_WINDOWTEXT));
  PARAFORMAT2 format{};
  format.cbSize = sizeof format;
  format.dwMask = PFM_NUMBERING | PFM_STARTINDENT | PFM_OFFSET | PFM_SPACEAFTER | PFM_SPACEBEFORE |
                  PFM_NUMBERINGSTYLE | PFM_NUMBERINGTAB;
  format.dySpaceAfter = kind == BlockKind::kHeading ? kSpaceAfterTwips / 2 : kSpaceAfterTwips;
  format.dySpaceBefore = kind == BlockKind::kHeading && !first ? kSpaceAfterTwips : 0;
  if (kind == BlockKind::kBullet) {
    format.wNumbering = PFN_BULLET;
    format.dxStartIndent = kBulletIndentTwips;
    format.dxOffset = kBulletTextTwips;
    format.wNumberingTab = kBulletTextTwips;
  }
  SendMessageW(edit_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

void TopicView::Append(const std::wstring& text, DWORD effects, int points, COLORREF color) {
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  format.dwMask =
      CFM_BOLD | CFM_UNDERLINE | CFM_LINK | CFM_SIZE | CFM_FACE | CFM_COLOR | CFM_CHARSET;
  format.dwEffects = effects;
  format.yHeight = points * 20;
  format.crTextColor = color;
  format.bCharSet = DEFAULT_CHARSET;
  lstrcpynW(format.szFaceName, TextFace(), LF_FACESIZE);
  SendMessageW(edit_, EM_SETSEL, -1, -1);
  SendMessageW(edit_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void TopicView::Show(const HelpTopic& topic, UINT dpi) {
  links_.clear();
  SendMessageW(edit_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(edit_, EM_SETREADONLY, FALSE, 0);
  SetWindowTextW(edit_, L"");
  // Points are laid out for the system DPI; a window on a screen of
  // another DPI zooms by the ratio.
  HDC screen = GetDC(nullptr);
  const int systemDpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  SendMessageW(edit_, EM_SETZOOM, static_cast<int>(dpi) == systemDpi ? 0 : dpi,
               static_cast<int>(dpi) == systemDpi ? 0 : systemDpi);

  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  const COLORREF link = GetSysColor(COLOR_HOTLIGHT);
  bool first = true;
  for (const HelpBlock& block : topic.blocks) {
    StartParagraph(block.kind, first);
    first = false;
    const bool heading = block.kind == BlockKind::kHeading;
    const int points = heading ? kHeadingPoints : kBodyPoints;
    for (const HelpSpan& span : block.spans) {
      const std::wstring wide = FromUtf8(span.text);
      if (span.kind == SpanKind::kLink) {
        const LONG start = Selection(edit_).cpMax;
        Append(wide, CFE_LINK | CFE_UNDERLINE | (heading ? CFE_BOLD : 0), points, link);
        links_.push_back({{start, Selection(edit_).cpMax}, span.target});
      } else {
        const bool bold = heading || span.kind == SpanKind::kBold;
        Append(wide, bold ? CFE_BOLD : 0, points, text);
      }
    }
  }
  SendMessageW(edit_, EM_SETREADONLY, TRUE, 0);
  SendMessageW(edit_, EM_SETSEL, 0, 0);
  SendMessageW(edit_, WM_VSCROLL, SB_TOP, 0);
  SendMessageW(edit_, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(edit_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

std::optional<int> TopicView::LinkAt(LONG position) const {
  for (const TopicLink& link : links_) {
    if (position >= link.range.cpMin && position < link.range.cpMax) return link.target;
  }
  return std::nullopt;
}

std::optional<int> TopicView::SelectedLink() const {
  return LinkAt(Selection(edit_).cpMin);
}

bool TopicView::SelectNextLink(bool forward) {
  const CHARRANGE selection = Selection(edit_);
  const TopicLink* found = nullptr;
  for (const TopicLink& link : links_) {
    if (forward && link.range.cpMin > selection.cpMin) {
      found = &link;
      break;
    }
    if (!forward && link.range.cpMin < selection.cpMin) found = &link;
  }
  if (!found) return false;
  SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&found->range));
  SendMessageW(edit_, EM_SCROLLCARET, 0, 0);
  return true;
}

}  // namespace ordalis
