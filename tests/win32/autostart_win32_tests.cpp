// The options' box of the automatic start against the Run value and the
// value Windows' start-up manager keeps beside it, on a scratch registry.
// The registry is set and read with the plain API, not through the store
// under test.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "options/options_rules.h"
#include "options_fixture.h"

namespace ordalis {
namespace {

using namespace test;
using Bytes = std::vector<BYTE>;

constexpr wchar_t kApprovedKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const Bytes kOn = {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kOffInWindows = {0x03, 0, 0, 0, 0x5C, 0x1F, 0x6A, 0x3E, 0x2B, 0x8D, 0xD9, 0x01};

class AutostartTest : public OptionsTest {
 protected:
  std::wstring Ours() { return AutostartCommand(host_.folder, L"Vemra"); }
  // Writes both values, each key made when missing, or deletes the one
  // given as nullopt.
  static void Put(const std::optional<std::wstring>& run, const std::optional<Bytes>& approved) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Ordalis");
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Ordalis");
    if (run) {
      ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Ordalis", REG_SZ, run->c_str(),
                                static_cast<DWORD>((run->size() + 1) * sizeof(wchar_t))),
                ERROR_SUCCESS);
    }
    if (approved) {
      ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kApprovedKey, L"Ordalis", REG_BINARY,
                                approved->data(), static_cast<DWORD>(approved->size())),
                ERROR_SUCCESS);
    }
  }
  // The start-up manager's value, nullopt when absent or not REG_BINARY.
  static std::optional<Bytes> StoredApproved() {
    Bytes data(64);
    DWORD size = 64;
    if (RegGetValueW(HKEY_CURRENT_USER, kApprovedKey, L"Ordalis", RRF_RT_REG_BINARY, nullptr,
                     data.data(), &size) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    data.resize(size);
    return data;
  }
};

// Checked only for this copy's Run value that Windows has not switched off;
// switched off, or pointing at another folder, a line under the box says so,
// and fits beside every other control.
TEST_F(AutostartTest, TheBoxShowsWhetherWindowsWillStartThisCopy) {
  struct Case {
    bool ours;  // the Run value names this copy; false: a copy in another folder
    std::optional<Bytes> approved;
    bool checked;
    const wchar_t* line;  // none: no line
  };
  constexpr wchar_t kOffLine[] = L"In Windows deaktiviert (Task-Manager \u203A Autostart)";
  const Case cases[] = {
      {true, std::nullopt, true, nullptr},
      {true, kOffInWindows, false, kOffLine},
      {true, kOn, true, nullptr},
      {false, std::nullopt, false, L"Der Autostart zeigt auf einen anderen Ordner"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ours << " " << (c.approved ? (*c.approved)[0] : -1));
    Put(c.ours ? Ours() : AutostartCommand(L"C:\\Anderswo", L"Vemra"), c.approved);
    DialogScript script(kOptionsCaption);
    script
        .Do([&](HWND dialog) {
          EXPECT_EQ(Checked(dialog, IDC_OPT_CAUTOSTART), c.checked);
          EXPECT_EQ(Shown(dialog, IDC_OPT_LAUTOSTART), c.line != nullptr);
          if (!c.line) return;
          EXPECT_EQ(Text(dialog, IDC_OPT_LAUTOSTART), c.line);
          HWND line = GetDlgItem(dialog, IDC_OPT_LAUTOSTART);
          RECT rect{}, other{}, common{};
          GetWindowRect(line, &rect);
          for (HWND child = GetWindow(dialog, GW_CHILD); child;
               child = GetWindow(child, GW_HWNDNEXT)) {
            GetWindowRect(child, &other);
            EXPECT_FALSE(child != line && IsWindowVisible(child) &&
                         IntersectRect(&common, &rect, &other))
                << GetDlgCtrlID(child);
          }
          HDC dc = GetDC(line);
          const HGDIOBJ old =
              SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(line, WM_GETFONT, 0, 0)));
          const std::wstring text = Text(dialog, IDC_OPT_LAUTOSTART);
          SIZE extent{};
          GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
          SelectObject(dc, old);
          ReleaseDC(line, dc);
          EXPECT_LE(extent.cx, rect.right - rect.left);
          EXPECT_LE(extent.cy, rect.bottom - rect.top);
        })
        .Click(IDC_OPT_BABBRECHEN);
    Run();
  }
}

// Checking writes the Run value and switches the start-up manager's value
// on, also where Windows had switched it off; unchecking removes both. A box
// the user left alone changes nothing of a start switched off in Windows.
TEST_F(AutostartTest, OkWritesOrRemovesBothValues) {
  struct Case {
    std::optional<Bytes> approved;  // before; the Run value is this copy's unless none
    bool run;
    bool toggled;
    std::optional<Bytes> after;  // this copy's command and these bytes; none: neither value
  };
  const Case cases[] = {
      {std::nullopt, false, true, kOn},  // the start-up manager's key is not there yet
      {kOffInWindows, true, true, kOn},
      {kOn, true, true, std::nullopt},
      {kOffInWindows, true, false, kOffInWindows},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.run << c.toggled << " " << (c.approved ? (*c.approved)[0] : -1));
    Put(c.run ? std::optional(Ours()) : std::nullopt, c.approved);
    DialogScript script(kOptionsCaption);
    if (c.toggled) script.Do(Toggle(IDC_OPT_CAUTOSTART));
    script.Click(IDC_OPT_BREADY);
    Run();
    EXPECT_EQ(StoredRun(), c.after ? "text " + Cp1252(Ours()) : "absent");
    EXPECT_EQ(StoredApproved(), c.after);
  }
}

}  // namespace
}  // namespace ordalis
