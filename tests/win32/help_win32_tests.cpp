// The help viewer Lotse32 with the help file that ships: its window in this
// process, the real Lotse32.exe started as Ordalis starts it, and the
// closing notice's "&Hilfe".
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialog_script.h"
#include "dialogs/help.h"
#include "dialogs/help_win32.h"
#include "dialogs/notice_dialog.h"
#include "helpviewer/help_file.h"
#include "helpviewer/viewer_window.h"
#include "storage/settings_win32.h"
#include "support.h"
#include "win32/text.h"

namespace ordalis {
namespace {

using test::DialogScript;

// Every topic Ordalis opens.
constexpr int kProgramTopics[] = {1, 2, 3, 4, 5, 6, 7, 9, 10, 11, 12, 13};

// The built program's folder: Lotse32.exe and the help file beside Vemra.exe.
std::wstring AppFolder() {
  wchar_t self[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, length);
  path = path.substr(0, path.find_last_of(L'\\')) + L"\\..\\..\\app";
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
  return full;
}

const HelpFile& ShippedHelp() {
  static const HelpFile file =
      ParseHelpFile(ReadHelpFile(AppFolder() + L"\\Vemra.lhf").value_or(std::string()));
  return file;
}

std::wstring TitleOf(int topic) {
  const HelpTopic* found = ShippedHelp().Find(topic);
  return found ? FromUtf8(found->title) : L"(no topic " + std::to_wstring(topic) + L")";
}

std::wstring CaptionFor(int topic) {
  return L"Ordalis-Hilfe \u2013 " + TitleOf(topic);
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Runs messages until `done` holds; false when it did not within 20 s (a
// bound for a failing test, not a measured time).
bool WaitUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 400; ++i) {
    if (done()) return true;
    test::PumpMessages(50);
  }
  return done();
}

std::vector<HWND> ViewerWindows() {
  std::vector<HWND> found;
  EnumWindows(
      [](HWND window, LPARAM list) {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring_view(name) == kViewerClass) {
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Closes every viewer window and waits for its process to end.
void CloseViewers() {
  for (HWND window : ViewerWindows()) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    win32::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process) WaitForSingleObject(process.get(), 20000);
  }
}

TEST(ShippedHelp, IsBesideTheProgram) {
  ASSERT_FALSE(ShippedHelp().topics.empty()) << "no help file in " << win32::ToAnsi(AppFolder());
  for (const int topic : kProgramTopics) EXPECT_NE(ShippedHelp().Find(topic), nullptr) << topic;
}

class ViewerTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(window_.Create(SW_SHOWNORMAL)); }
  void Open(int topic) { window_.Open({AppFolder() + L"\\Vemra.lhf", topic}); }
  HWND Item(int id) const { return GetDlgItem(window_.Handle(), id); }
  std::wstring Caption() const { return TextOf(window_.Handle()); }
  int SelectedInList() const {
    const LRESULT index = SendMessageW(Item(IDC_TOPICS), LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? 0
                           : static_cast<int>(SendMessageW(Item(IDC_TOPICS), LB_GETITEMDATA,
                                                           static_cast<WPARAM>(index), 0));
  }
  bool Key(HWND to, UINT message, UINT key) {
    return window_.PreTranslate(MSG{to, message, key, 0});
  }

  ViewerWindow window_{false};
};

TEST_F(ViewerTest, EveryTopicTheProgramOpensShowsItsTitleAndText) {
  for (const int topic : kProgramTopics) {
    Open(topic);
    EXPECT_EQ(window_.CurrentTopic(), topic);
    EXPECT_EQ(Caption(), CaptionFor(topic));
    EXPECT_EQ(TextOf(Item(IDC_TITLE)), TitleOf(topic));
    EXPECT_EQ(SelectedInList(), topic);
    EXPECT_GT(GetWindowTextLengthW(Item(IDC_TEXT)), 40) << topic;
  }
  // Topics the file lacks show the first one.
  for (const int topic : {8, 99999}) {
    Open(topic);
    EXPECT_EQ(Caption(), CaptionFor(1)) << topic;
  }
}

TEST_F(ViewerTest, AHelpFileThatCannotBeReadIsExplained) {
  const std::wstring missing = L"C:\\nirgends\\Vemra.lhf";
  window_.Open({missing, 3});
  EXPECT_EQ(window_.CurrentTopic(), 0);
  EXPECT_EQ(Caption(), L"Ordalis-Hilfe \u2013 Hilfe nicht verfügbar");
  EXPECT_NE(TextOf(Item(IDC_TEXT)).find(L"„" + missing + L"“"), std::wstring::npos);
  EXPECT_EQ(SendMessageW(Item(IDC_TOPICS), LB_GETCOUNT, 0, 0), 0);
  // The file given later is read.
  Open(5);
  EXPECT_EQ(Caption(), CaptionFor(5));
}

TEST_F(ViewerTest, AHugeFileShowsItsFirstTopicAtOnceAndClosesWhileTheListFills) {
  test::TempFolder folder;
  std::string text;
  for (int topic = 1; topic <= 20000; ++topic) {
    const std::string number = std::to_string(topic);
    text.append("#").append(number).append(" Thema ").append(number).append("\n");
    text.append(250, 'x').append("\n\n");
  }
  ASSERT_TRUE(test::WriteFileBytes(folder.File(L"Gross.lhf"), text));
  window_.Open({folder.File(L"Gross.lhf"), 12});
  EXPECT_EQ(TextOf(Item(IDC_TITLE)), L"Thema 12");
  EXPECT_EQ(SelectedInList(), 12);
  // The list is still filling: a close is answered before it is full.
  HWND list = Item(IDC_TOPICS);
  EXPECT_LT(SendMessageW(list, LB_GETCOUNT, 0, 0), 20000);
  PostMessageW(window_.Handle(), WM_CLOSE, 0, 0);
  LRESULT countAtClose = -1;
  for (int i = 0; i < 1000 && IsWindow(list); ++i) {
    countAtClose = SendMessageW(list, LB_GETCOUNT, 0, 0);
    MSG msg;
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&msg);
    } else {
      Sleep(5);
    }
  }
  EXPECT_FALSE(IsWindow(list));
  EXPECT_LT(countAtClose, 20000);
}

TEST_F(ViewerTest, LinksOpenByMouseAndByKeyboardAndBackAndForwardReturn) {
  Open(3);
  ASSERT_FALSE(window_.Text().Links().empty());
  const TopicLink link = window_.Text().Links().front();
  ASSERT_NE(link.target, 3);

  // A click into the middle of the link's first character.
  HWND text = Item(IDC_TEXT);
  POINTL at{};
  SendMessageW(text, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), link.range.cpMin);
  const LPARAM point = MAKELPARAM(at.x + 2, at.y + 4);
  SendMessageW(text, WM_LBUTTONDOWN, MK_LBUTTON, point);
  SendMessageW(text, WM_LBUTTONUP, 0, point);
  ASSERT_TRUE(WaitUntil([&] { return window_.CurrentTopic() == link.target; }));
  EXPECT_EQ(Caption(), CaptionFor(link.target));
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_BACK)));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_FORWARD)));

  SendMessageW(Item(IDC_BACK), BM_CLICK, 0, 0);
  EXPECT_EQ(Caption(), CaptionFor(3));
  EXPECT_TRUE(Key(window_.Handle(), WM_SYSKEYDOWN, VK_RIGHT));  // Alt+Right
  EXPECT_EQ(window_.CurrentTopic(), link.target);
  EXPECT_TRUE(Key(Item(IDC_TOPICS), WM_SYSKEYDOWN, VK_LEFT));  // Alt+Left
  EXPECT_EQ(window_.CurrentTopic(), 3);
  EXPECT_TRUE(Key(Item(IDC_TEXT), WM_SYSKEYDOWN, 'V'));  // Alt+V, "&Vorwärts"
  EXPECT_EQ(window_.CurrentTopic(), link.target);
  EXPECT_TRUE(Key(Item(IDC_TEXT), WM_SYSKEYDOWN, 'Z'));  // Alt+Z, "&Zurück"
  EXPECT_EQ(window_.CurrentTopic(), 3);
  EXPECT_TRUE(Key(Item(IDC_TEXT), WM_SYSKEYDOWN, 'T'));  // Alt+T, "&Themen:"
  EXPECT_EQ(GetFocus(), Item(IDC_TOPICS));

  // Tab in the text goes to the first link, Enter opens it.
  SetFocus(text);
  SendMessageW(text, EM_SETSEL, 0, 0);
  EXPECT_TRUE(Key(text, WM_KEYDOWN, VK_TAB));
  EXPECT_TRUE(Key(text, WM_KEYDOWN, VK_RETURN));
  EXPECT_EQ(window_.CurrentTopic(), link.target);

  // Choosing in the list opens a topic too; Esc closes the window.
  SendMessageW(Item(IDC_TOPICS), LB_SETCURSEL, 0, 0);
  SendMessageW(window_.Handle(), WM_COMMAND, MAKEWPARAM(IDC_TOPICS, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(Item(IDC_TOPICS)));
  EXPECT_EQ(window_.CurrentTopic(), ShippedHelp().topics.front().number);
  EXPECT_TRUE(Key(Item(IDC_TOPICS), WM_KEYDOWN, VK_ESCAPE));
  EXPECT_EQ(window_.Handle(), nullptr);
}

// The real viewer, copied into a folder whose name has a blank and a comma,
// started as Ordalis starts it.
class ViewerProcessTest : public testing::Test {
 protected:
  void SetUp() override {
    CloseViewers();
    ASSERT_TRUE(CreateDirectoryW(folder_.Path().c_str(), nullptr));
    for (const wchar_t* name : {L"\\Lotse32.exe", L"\\Vemra.lhf"}) {
      ASSERT_TRUE(CopyFileW((AppFolder() + name).c_str(), (folder_.Path() + name).c_str(), FALSE));
    }
  }
  void TearDown() override { CloseViewers(); }

  void Start(int topic) {
    ASSERT_TRUE(
        StartHelpViewer(HelpViewerPath(folder_.Path()), HelpCommandLine(folder_.Path(), topic)));
  }
  // The one viewer window, once it shows `topic`.
  HWND WaitForViewerOn(int topic) {
    HWND shown = nullptr;
    WaitUntil([&] {
      const std::vector<HWND> windows = ViewerWindows();
      shown = windows.size() == 1 && TextOf(windows[0]) == CaptionFor(topic) ? windows[0] : nullptr;
      return shown != nullptr;
    });
    return shown;
  }

  struct Folder {
    test::TempFolder base;
    std::wstring Path() const { return base.Path() + L"\\Hilfe, Test 1"; }
  } folder_;
};

TEST_F(ViewerProcessTest, FurtherStartsHandTheirTopicToTheOpenViewer) {
  Start(3);
  HWND viewer = WaitForViewerOn(3);
  ASSERT_NE(viewer, nullptr) << "no viewer on topic 3";
  for (const int topic : {5, 13}) {
    Start(topic);
    EXPECT_EQ(WaitForViewerOn(topic), viewer) << topic;
  }
  EXPECT_EQ(ViewerWindows().size(), 1u);
}

TEST_F(ViewerProcessTest, TwoStartsAtOnceLeaveOneViewer) {
  Start(2);
  Start(12);
  ASSERT_TRUE(WaitUntil([] {
    const std::vector<HWND> windows = ViewerWindows();
    if (windows.size() != 1) return false;
    const std::wstring caption = TextOf(windows[0]);
    return caption == CaptionFor(2) || caption == CaptionFor(12);
  }));
  // The later of the two is handed over, never shown in a window of its own.
  test::PumpMessages(300);
  EXPECT_EQ(ViewerWindows().size(), 1u);
}

TEST_F(ViewerProcessTest, TheClosingNoticeHelpOpensTheTopicOnClosing) {
  test::ScratchRegistry registry;
  RegistrySettings settings;
  settings.CreateKey(SettingsRoot::kCurrentUser, kMakerKey, L"1");
  settings.CreateKey(SettingsRoot::kCurrentUser, kSettingsKey, L"1");
  {
    DialogScript script(kNoticeCaption);
    script.Click(IDC_BHILFE).Click(IDC_BABBRECHEN);
    EXPECT_TRUE(ShowNotice(nullptr, settings, kClosingNoticeId, kClosingNoticeHeading,
                           kClosingNoticeText, folder_.Path()));
  }
  EXPECT_NE(WaitForViewerOn(kClosingHelpTopic), nullptr);
  CloseViewers();

  // Without the viewer beside the program the notice says so.
  ASSERT_TRUE(DeleteFileW((folder_.Path() + L"\\Lotse32.exe").c_str()));
  DialogScript script(kNoticeCaption);
  script.Click(IDC_BHILFE)
      .Answer(kHelpMissingCaption, IDOK)
      .In(kNoticeCaption)
      .Click(IDC_BABBRECHEN);
  ShowNotice(nullptr, settings, kClosingNoticeId, kClosingNoticeHeading, kClosingNoticeText,
             folder_.Path());
  EXPECT_EQ(script.Answers(), std::vector<std::wstring>{kHelpMissingText});
}

}  // namespace
}  // namespace ordalis
