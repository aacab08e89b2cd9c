// The resources of vemra.rc, linked into this test program as into Vemra.exe
// and looked up the way the program and the shell look them up.
#include <windows.h>
#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <string_view>

#include "ordalis_version.h"
#include "resources/resource.h"
#include "support.h"
#include "win32/handles.h"
#include "win32/icons.h"
#include "win32/text.h"

namespace ordalis {
namespace {

std::string_view ResourceBytes(const wchar_t* name, const wchar_t* type) {
  const HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceW(module, name, type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return {};
  return {static_cast<const char*>(bytes), SizeofResource(module, found)};
}

uint16_t Word(std::string_view bytes, size_t at) {
  uint16_t value = 0;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}
uint32_t Dword(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

// The parts of a RIFF/WAVE file the sound player relies on.
struct Wave {
  uint16_t format = 0;
  uint16_t channels = 0;
  uint32_t rate = 0;
  uint32_t byteRate = 0;
  uint16_t blockAlign = 0;
  uint16_t bits = 0;
  std::string_view data;
  double Seconds() const { return double(data.size()) / byteRate; }
};

// Walks the chunks as a strict reader would: every chunk, with its pad byte
// after an odd size, has to lie within the RIFF size, and that within the
// resource.
void ParseWave(std::string_view bytes, Wave& wave) {
  ASSERT_GE(bytes.size(), 12u);
  ASSERT_EQ(bytes.substr(0, 4), "RIFF");
  ASSERT_EQ(bytes.substr(8, 4), "WAVE");
  const size_t end = size_t{Dword(bytes, 4)} + 8;
  ASSERT_LE(end, bytes.size());
  bool haveFormat = false;
  bool haveData = false;
  for (size_t at = 12; at < end;) {
    ASSERT_LE(at + 8, end) << "chunk header past the end at " << at;
    const std::string_view id = bytes.substr(at, 4);
    const size_t size = Dword(bytes, at + 4);
    ASSERT_LE(at + 8 + size + size % 2, end) << "chunk '" << id << "' past the end";
    if (id == "fmt ") {
      ASSERT_GE(size, 16u);
      wave.format = Word(bytes, at + 8);
      wave.channels = Word(bytes, at + 10);
      wave.rate = Dword(bytes, at + 12);
      wave.byteRate = Dword(bytes, at + 16);
      wave.blockAlign = Word(bytes, at + 20);
      wave.bits = Word(bytes, at + 22);
      haveFormat = true;
    } else if (id == "data") {
      ASSERT_TRUE(haveFormat) << "data before fmt";
      wave.data = bytes.substr(at + 8, size);
      haveData = true;
    }
    at += 8 + size + size % 2;
  }
  ASSERT_TRUE(haveFormat);
  ASSERT_TRUE(haveData);
  // The header's arithmetic has to agree with itself, or players disagree
  // about the length.
  EXPECT_EQ(wave.blockAlign, wave.channels * wave.bits / 8);
  EXPECT_EQ(wave.byteRate, wave.rate * wave.blockAlign);
  EXPECT_EQ(wave.data.size() % wave.blockAlign, 0u);
}

// Samples as -1..1, from 16-bit signed or 8-bit unsigned PCM.
double Sample(const Wave& wave, size_t index) {
  if (wave.bits == 16) return static_cast<int16_t>(Word(wave.data, index * 2)) / 32768.0;
  return (static_cast<uint8_t>(wave.data[index]) - 128) / 128.0;
}

// Loudest sample, and the loudest of the first and last few milliseconds:
// a sound that starts or stops away from silence clicks.
struct Levels {
  double peak = 0;
  double start = 0;
  double end = 0;
};
Levels Measure(const Wave& wave) {
  Levels levels;
  const size_t count = wave.data.size() / wave.blockAlign;
  const size_t edge = wave.rate / 1000;  // 1 ms
  for (size_t i = 0; i < count; ++i) {
    const double level = std::abs(Sample(wave, i));
    levels.peak = std::max(levels.peak, level);
    if (i < edge) levels.start = std::max(levels.start, level);
    if (i + edge >= count) levels.end = std::max(levels.end, level);
  }
  return levels;
}

TEST(Sounds, ChimeIsAboutOneSecondOfMono16Bit) {
  Wave wave;
  ASSERT_NO_FATAL_FAILURE(ParseWave(ResourceBytes(L"KONTAKT", L"WAVE"), wave));
  EXPECT_EQ(wave.format, WAVE_FORMAT_PCM);
  EXPECT_EQ(wave.channels, 1);
  EXPECT_EQ(wave.rate, 22050u);
  EXPECT_EQ(wave.bits, 16);
  EXPECT_GT(wave.Seconds(), 0.8);
  EXPECT_LT(wave.Seconds(), 1.5);

  const Levels levels = Measure(wave);
  EXPECT_GT(levels.peak, 0.25) << "too quiet to notice";
  EXPECT_LT(levels.peak, 0.99) << "clipped";
  EXPECT_LT(levels.start, 0.05);
  EXPECT_LT(levels.end, 0.01);
}

TEST(Sounds, ErrorIsATenthOfASecondOfMono8Bit) {
  Wave wave;
  ASSERT_NO_FATAL_FAILURE(ParseWave(ResourceBytes(L"ERROR", L"WAVE"), wave));
  EXPECT_EQ(wave.format, WAVE_FORMAT_PCM);
  EXPECT_EQ(wave.channels, 1);
  EXPECT_EQ(wave.rate, 22050u);
  EXPECT_EQ(wave.bits, 8);
  EXPECT_GT(wave.Seconds(), 0.05);
  EXPECT_LT(wave.Seconds(), 0.2);

  const Levels levels = Measure(wave);
  EXPECT_GT(levels.peak, 0.25);
  EXPECT_LT(levels.end, 0.02);
}

// One image for every size the shell asks for from 100 % to 200 %; the
// largest is PNG, the others bitmaps with the AND mask.
TEST(ProgramIcon, GroupHoldsEverySizeWithAlpha) {
  const std::string_view group = ResourceBytes(MAKEINTRESOURCEW(IDI_VEMRA), RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u);
  ASSERT_EQ(Word(group, 2), 1) << "not an icon group";
  const size_t count = Word(group, 4);
  ASSERT_EQ(group.size(), 6 + 14 * count);

  std::set<int> sizes;
  for (size_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 14 * i;
    const int size = static_cast<uint8_t>(group[entry]) ? static_cast<uint8_t>(group[entry]) : 256;
    const uint32_t length = Dword(group, entry + 8);
    const uint16_t id = Word(group, entry + 12);
    SCOPED_TRACE(size);
    sizes.insert(size);
    EXPECT_EQ(Word(group, entry + 6), 32) << "bits per pixel";

    const std::string_view image = ResourceBytes(MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_EQ(image.size(), length) << "group and image disagree";
    if (size == 256) {
      // PNG: signature, then IHDR with width, height, 8 bits, RGBA (6).
      ASSERT_GE(image.size(), 33u);
      EXPECT_EQ(image.substr(0, 8), std::string_view("\x89PNG\r\n\x1a\n", 8));
      EXPECT_EQ(image.substr(12, 4), "IHDR");
      EXPECT_EQ(image[24], 8);
      EXPECT_EQ(image[25], 6) << "colour with alpha";
      continue;
    }
    ASSERT_GE(image.size(), 40u + 4u * size * size);
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biWidth, size);
    EXPECT_EQ(header.biHeight, 2 * size) << "colour and mask";
    ASSERT_EQ(header.biBitCount, 32);
    // Rows run bottom up. The corners lie outside the rounded page and must
    // be see-through; the middle is the page and the check mark.
    auto alpha = [&](int x, int y) {
      return static_cast<uint8_t>(image[40 + 4 * ((size - 1 - y) * size + x) + 3]);
    };
    EXPECT_EQ(alpha(0, 0), 0);
    EXPECT_EQ(alpha(size - 1, size - 1), 0);
    EXPECT_EQ(alpha(size / 2, size / 2), 255);
  }
  EXPECT_EQ(sizes, (std::set<int>{16, 20, 24, 32, 40, 48, 64, 256}));
}

// LoadImageW scales whatever image it chose, so the size of the loaded icon
// alone proves nothing: ask which image the system picks for each size too.
TEST(ProgramIcon, SystemPicksTheMatchingImageForEachSize) {
  const std::string_view group = ResourceBytes(MAKEINTRESOURCEW(IDI_VEMRA), RT_GROUP_ICON);
  ASSERT_FALSE(group.empty());
  for (int size : {16, 20, 24, 32, 40, 48, 64}) {
    SCOPED_TRACE(size);
    const int id =
        LookupIconIdFromDirectoryEx(reinterpret_cast<BYTE*>(const_cast<char*>(group.data())), TRUE,
                                    size, size, LR_DEFAULTCOLOR);
    const std::string_view image = ResourceBytes(MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biWidth, size);

    win32::UniqueIcon icon(
        static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VEMRA),
                                      IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    win32::UniqueBitmap colour(info.hbmColor);
    win32::UniqueBitmap mask(info.hbmMask);
    ASSERT_TRUE(colour) << "a monochrome icon";
    BITMAP bitmap{};
    ASSERT_TRUE(GetObjectW(colour.get(), sizeof bitmap, &bitmap));
    EXPECT_EQ(bitmap.bmWidth, size);
    EXPECT_EQ(bitmap.bmHeight, size);
  }
}

// A window's icons follow its DPI: the title bar's and Alt+Tab's; the
// notification area's is the shell's small size.
TEST(ProgramIcon, TheWindowsIconsFollowTheDpi) {
  win32::UniqueWindow window(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                             nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(window);
  win32::WindowIcons icons;
  for (const UINT dpi : {96u, 120u, 144u, 192u}) {
    SCOPED_TRACE(dpi);
    icons.Apply(window.get(), IDI_VEMRA, dpi);
    const auto shown = [&](WPARAM kind) {
      return test::IconWidth(
          reinterpret_cast<HICON>(SendMessageW(window.get(), WM_GETICON, kind, 0)));
    };
    EXPECT_EQ(shown(ICON_SMALL), MulDiv(16, static_cast<int>(dpi), 96));
    EXPECT_EQ(shown(ICON_BIG), MulDiv(32, static_cast<int>(dpi), 96));
  }
  const win32::UniqueIcon tray = win32::LoadNotificationIcon(GetModuleHandleW(nullptr), IDI_VEMRA);
  EXPECT_EQ(test::IconWidth(tray.get()), GetSystemMetrics(SM_CXSMICON));
}

TEST(Manifest, GivesCommonControls6PerMonitorDpiAndTheAnsiCodePage) {
  // The manifest is resource 1, the id the loader reads at process start.
  const std::string_view manifest = ResourceBytes(CREATEPROCESS_MANIFEST_RESOURCE_ID, RT_MANIFEST);
  ASSERT_FALSE(manifest.empty());

  // What the loader made of it: version 6 of the common controls...
  // (this program imports nothing from comctl32, so it loads it here, in the
  // process's activation context as the program's first window would).
  const win32::Unique<win32::NullIsInvalid<HMODULE, FreeLibrary>> comctl(
      LoadLibraryW(L"comctl32.dll"));
  ASSERT_TRUE(comctl);
  // Wine's DllGetVersion says 5.81 for both, so go by where the library came
  // from: version 6 is only ever loaded from its side-by-side assembly.
  wchar_t path[MAX_PATH] = L"";
  ASSERT_GT(GetModuleFileNameW(comctl.get(), path, MAX_PATH), 0u);
  CharLowerW(path);
  EXPECT_NE(std::wstring_view(path).find(L"_microsoft.windows.common-controls_6595b64144ccf1df_6."),
            std::wstring_view::npos)
      << win32::Narrow(path).value_or("?");

  // ...per-monitor DPI awareness for the process...
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
            DPI_AWARENESS_PER_MONITOR_AWARE);

  // ...and the system's ANSI code page left alone: the data file and the
  // registry texts are Windows-1252, not UTF-8.
  EXPECT_NE(GetACP(), static_cast<UINT>(CP_UTF8));
}

std::wstring VersionText(const void* block, const std::wstring& path) {
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block, path.c_str(), &value, &length) || !value) return L"(missing)";
  return std::wstring(static_cast<const wchar_t*>(value)).substr(0, length);
}

TEST(VersionRecord, NamesTheProductInGerman) {
  wchar_t exe[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH), 0u);
  const DWORD size = GetFileVersionInfoSizeW(exe, nullptr);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoW(exe, 0, size, block.data()));

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GE(length, sizeof *fixed);
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  // The project's one version number, in both records.
  EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(ORDALIS_VERSION_MINOR, ORDALIS_VERSION_MAJOR));
  EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(ORDALIS_VERSION_BUILD, ORDALIS_VERSION_PATCH));
  EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
  EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);

  // Explorer finds the strings through the translation table, so the table
  // has to name the block the strings are in.
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_GE(length, 4u);
  EXPECT_EQ(translation[0], 0x0407);
  EXPECT_EQ(translation[1], 1200);
  wchar_t language[16];
  wsprintfW(language, L"%04X%04X", translation[0], translation[1]);
  const std::wstring strings = L"\\StringFileInfo\\" + std::wstring(language) + L"\\";

  EXPECT_EQ(VersionText(block.data(), strings + L"ProductName"), L"Ordalis");
  EXPECT_EQ(VersionText(block.data(), strings + L"OriginalFilename"), L"Vemra.exe");
  EXPECT_EQ(VersionText(block.data(), strings + L"FileVersion"), L"" ORDALIS_VERSION_TEXT);
  EXPECT_EQ(VersionText(block.data(), strings + L"ProductVersion"), L"" ORDALIS_VERSION_TEXT);
  // The dash and the copyright sign come through only if the resource
  // compiler read the file as UTF-8.
  EXPECT_EQ(VersionText(block.data(), strings + L"FileDescription"),
            L"Ordalis \u2013 Aufgaben und Erinnerungen");
  EXPECT_EQ(VersionText(block.data(), strings + L"LegalCopyright"), L"\u00A9 2026 Brenvik");
}

}  // namespace
}  // namespace ordalis
