// The move log: what a run writes is what undo reads back, whatever the mail's texts hold, and
// each folder is written as it is, however many folders share an identifier.
#include "move_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/exception.h"
#include "foundation/text.h"
#include "platform/file.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace sortwise_tool {
namespace {

namespace fs = std::filesystem;

uint64_t ProcessId() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<uint64_t>(getpid());
#endif
}

class MoveLogTest : public ::testing::Test {
 protected:
  // A file of this test and process alone: the cases run as processes side by side.
  MoveLogTest() {
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    FFile = (fs::temp_directory_path() / ("sortwise-" + name + "-" + std::to_string(ProcessId()) + ".jsonl")).u16string();
    fs::remove(fs::path(FFile));
  }
  ~MoveLogTest() override {
    std::error_code ignored;
    fs::remove(fs::path(FFile), ignored);
  }

  static TLogRun Run(std::u16string Id) {
    TLogRun run;
    run.Run = std::move(Id);
    run.Time = u"2026-12-11T07:15:30.123Z";
    run.Source = u"mailbox";
    run.Mailbox = u"after.xml";
    run.Rules = u"rules.xml";
    run.Profile = u"Outlook";
    run.Inbox = {u"\\\\Mailbox\\Inbox", u"INBOX", u"STORE-1"};
    return run;
  }

  std::u16string FFile;
};

TEST_F(MoveLogTest, TextsOfAnyKindComeBackAsTheyWereWritten) {
  const std::u16string texts[] = {
      u"Weekly status: Apollo",
      u"He said \"yes\" \\ no",
      u"tab\there, line\nbreak, bell\x07",
      u"Lea M\u00FCller \u2014 \u6771\u4EAC \U0001F600",
      u"",
  };
  {
    TMoveLogWriter log(FFile);
    log.Write(Run(u"run-1"));
    for (const std::u16string& text : texts) {
      TLogMove move;
      move.Run = u"run-1";
      move.Subject = text;
      move.Sender = text + u"@example.com";
      move.From = {u"\\\\Mailbox\\Inbox", u"INBOX", u"STORE-1"};
      move.To = {u"\\\\Mailbox\\" + text, u"F-" + text, u"STORE-1"};
      move.EntryID = u"ID-" + text;
      log.Write(move);
    }
  }
  const TMoveLog log = ReadMoveLog(FFile);
  ASSERT_EQ(log.Runs.size(), 1u);
  EXPECT_EQ(log.Runs[0].Inbox, (TLogPlace{u"\\\\Mailbox\\Inbox", u"INBOX", u"STORE-1"}));
  EXPECT_FALSE(log.Runs[0].DryRun);
  ASSERT_EQ(log.Moves.size(), std::size(texts));
  for (size_t i = 0; i < std::size(texts); ++i) {
    SCOPED_TRACE(brv::Utf16ToUtf8(texts[i]));
    EXPECT_EQ(log.Moves[i].Subject, texts[i]);
    EXPECT_EQ(log.Moves[i].Sender, texts[i] + u"@example.com");
    EXPECT_EQ(log.Moves[i].To, (TLogPlace{u"\\\\Mailbox\\" + texts[i], u"F-" + texts[i], u"STORE-1"}));
    EXPECT_EQ(log.Moves[i].EntryID, u"ID-" + texts[i]);
  }
  EXPECT_FALSE(log.CutShort);
}

// Half of a surrogate pair cannot be written as UTF-8: the log keeps the line, with "?" for it
// as the tool's output has.
TEST_F(MoveLogTest, AHalfSurrogateInASubjectDoesNotCostTheLine) {
  {
    TMoveLogWriter log(FFile);
    log.Write(Run(u"run-1"));
    TLogMove move;
    move.Run = u"run-1";
    move.Subject = std::u16string(u"odd ") + char16_t(0xD800) + u" mail";
    log.Write(move);
  }
  const TMoveLog log = ReadMoveLog(FFile);
  ASSERT_EQ(log.Moves.size(), 1u);
  EXPECT_EQ(log.Moves[0].Subject, u"odd ? mail");
}

// Two stores may number their folders alike: each folder is written with its own store and path.
TEST_F(MoveLogTest, FoldersSharingAnEntryIdAreEachWrittenAsTheyAre) {
  const TLogPlace places[] = {{u"\\\\Mailbox\\Travel", u"F-1", u"STORE-1"},
                              {u"\\\\Archive\\Travel", u"F-1", u"STORE-2"},
                              {u"\\\\Mailbox\\Travel", u"F-1", u"STORE-1"},
                              {u"\\\\Mailbox\\Renamed", u"F-1", u"STORE-1"}};
  {
    TMoveLogWriter log(FFile);
    log.Write(Run(u"run-1"));
    for (const TLogPlace& place : places) {
      TLogMove move;
      move.Run = u"run-1";
      move.To = place;
      log.Write(move);
    }
  }
  const TMoveLog log = ReadMoveLog(FFile);
  ASSERT_EQ(log.Moves.size(), std::size(places));
  for (size_t i = 0; i < std::size(places); ++i) EXPECT_EQ(log.Moves[i].To, places[i]) << i;
}

// A writer killed or stopped by a full disk leaves its last line unfinished: that line is
// skipped and said to be; a broken line before it is not the writer's and fails the read.
TEST_F(MoveLogTest, OnlyAnUnfinishedLastLineIsForgiven) {
  {
    TMoveLogWriter log(FFile);
    log.Write(Run(u"run-1"));
  }
  std::string bytes;
  ASSERT_EQ(brv::platform::ReadFileBytes(FFile, bytes).Status, 0);
  const std::string run = bytes;
  const std::string cut = R"({"type":"move","run":"run-1","subject":"cut sh)";
  ASSERT_EQ(brv::platform::WriteFileReplacing(FFile, run + cut).Status, 0);
  const TMoveLog log = ReadMoveLog(FFile);
  EXPECT_TRUE(log.CutShort);
  EXPECT_EQ(log.Runs.size(), 1u);
  EXPECT_TRUE(log.Moves.empty());

  ASSERT_EQ(brv::platform::WriteFileReplacing(FFile, run + cut + "\n" + run).Status, 0);
  EXPECT_THROW(ReadMoveLog(FFile), brv::Exception);
  // Lines of a kind this version does not know are left to the versions that do.
  ASSERT_EQ(brv::platform::WriteFileReplacing(FFile, run + "{\"type\":\"note\",\"text\":\"later\"}\n").Status, 0);
  EXPECT_EQ(ReadMoveLog(FFile).Runs.size(), 1u);
}

}  // namespace
}  // namespace sortwise_tool
