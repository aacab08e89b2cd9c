#include <gtest/gtest.h>

#include "helpviewer/help_request.h"

namespace ordalis {
namespace {

TEST(HelpArguments, SplitsThePathFromTheTopic) {
  struct Case {
    std::wstring_view arguments;
    HelpRequest request;
  };
  const Case cases[] = {
      {L"C:\\Tools\\Vemra.lhf,12", {L"C:\\Tools\\Vemra.lhf", 12}},
      {L"C:\\Program Files\\Ordalis\\Vemra.lhf,3", {L"C:\\Program Files\\Ordalis\\Vemra.lhf", 3}},
      {L"C:\\A,B\\Neu, alt\\Vemra.lhf,7", {L"C:\\A,B\\Neu, alt\\Vemra.lhf", 7}},
      {L"  C:\\Tools\\Vemra.lhf , 5 ", {L"C:\\Tools\\Vemra.lhf", 5}},
      {L"\"C:\\Mit Blank, Komma\\Vemra.lhf\",9", {L"C:\\Mit Blank, Komma\\Vemra.lhf", 9}},
      {L"\"C:\\x\\Vemra.lhf\" ,10", {L"C:\\x\\Vemra.lhf", 10}},
      {L"\"C:\\x\\Vemra.lhf\"", {L"C:\\x\\Vemra.lhf", 1}},
      {L"\"C:\\Mein Ordner\\Vemra.lhf,12\"", {L"C:\\Mein Ordner\\Vemra.lhf", 12}},
      {L"\"C:\\Mit, Komma\\Vemra.lhf\"", {L"C:\\Mit, Komma\\Vemra.lhf", 1}},
      {L"\"C:\\offen\\Vemra.lhf", {L"C:\\offen\\Vemra.lhf", 1}},
      // Without a topic; a comma inside the path is no topic.
      {L"C:\\Tools\\Vemra.lhf", {L"C:\\Tools\\Vemra.lhf", 1}},
      {L"C:\\A,B\\Vemra.lhf", {L"C:\\A,B\\Vemra.lhf", 1}},
      {L"Vemra.lhf,", {L"Vemra.lhf", 1}},
      {L"", {L"", 1}},
      {L",4", {L"", 4}},
      // Topics that are none: 0, negative, not a number, too large.
      {L"Vemra.lhf,0", {L"Vemra.lhf", 1}},
      {L"Vemra.lhf,-3", {L"Vemra.lhf", 1}},
      {L"Vemra.lhf,zwölf", {L"Vemra.lhf", 1}},
      {L"Vemra.lhf,1 2", {L"Vemra.lhf", 1}},
      {L"Vemra.lhf,99999", {L"Vemra.lhf", 99999}},
      {L"Vemra.lhf,100000", {L"Vemra.lhf", 1}},
      {L"Vemra.lhf,99999999999999999999", {L"Vemra.lhf", 1}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseHelpArguments(c.arguments), c.request)
        << std::string(c.arguments.begin(), c.arguments.end());
  }
}

TEST(HelpArguments, FollowTheProgramEvenWhenItsPathHasBlanks) {
  constexpr std::wstring_view kModule = L"C:\\Program Files\\Ordalis\\Lotse32.exe";
  struct Case {
    std::wstring_view commandLine, arguments;
  };
  const Case cases[] = {
      // As Ordalis starts the viewer: both paths unquoted.
      {L"C:\\Program Files\\Ordalis\\Lotse32.exe C:\\Program Files\\Ordalis\\Vemra.lhf,3",
       L"C:\\Program Files\\Ordalis\\Vemra.lhf,3"},
      {L"c:\\program files\\ordalis\\LOTSE32.EXE  x.lhf,1", L"x.lhf,1"},
      {L"\"C:\\Program Files\\Ordalis\\Lotse32.exe\" \"C:\\A B\\Vemra.lhf\",2",
       L"\"C:\\A B\\Vemra.lhf\",2"},
      // Another spelling of the folder: found by the program's name.
      {L"C:\\PROGRA~1\\Ordalis\\Lotse32.exe D:\\Vemra.lhf,4", L"D:\\Vemra.lhf,4"},
      {L"Lotse32.exe Vemra.lhf,5", L"Vemra.lhf,5"},
      {L"Lotse32 Vemra.lhf,6", L"Vemra.lhf,6"},
      {L"C:\\Program Files\\Ordalis\\Lotse32.exe", L""},
      {L"", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ArgumentsOf(c.commandLine, kModule), c.arguments)
        << std::string(c.commandLine.begin(), c.commandLine.end());
  }
}

TEST(HelpArguments, AHandedOverRequestReadsBackTheSame) {
  const HelpRequest request{L"C:\\A,B\\Hilfe 2\\Vemra.lhf", 13};
  EXPECT_EQ(ParseHelpArguments(HelpArguments(request)), request);
}

TEST(TopicHistory, GoesBackAndForwardAndDropsWhatLayAheadOnANewTopic) {
  TopicHistory history;
  EXPECT_FALSE(history.Back());
  history.Visit(3);
  history.Visit(3);  // the same topic again is no step
  EXPECT_FALSE(history.CanGoBack());
  history.Visit(5);
  history.Visit(7);
  EXPECT_EQ(history.Back(), 5);
  EXPECT_EQ(history.Back(), 3);
  EXPECT_FALSE(history.Back());
  EXPECT_EQ(history.Current(), 3);
  EXPECT_EQ(history.Forward(), 5);
  EXPECT_TRUE(history.CanGoForward());
  history.Visit(9);
  EXPECT_FALSE(history.CanGoForward());
  EXPECT_EQ(history.Back(), 5);
  EXPECT_EQ(history.Forward(), 9);
  EXPECT_FALSE(history.Forward());
}

}  // namespace
}  // namespace ordalis
