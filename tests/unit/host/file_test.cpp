// The file seam under the mailbox and configuration files: what it refuses to read or replace,
// the temporary files of a save, and file names. The same cases on both sides where they exist
// on both; POSIX-only cases (FIFOs, fork, names that are bytes) natively.
#include "platform/file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "foundation/result.h"
#include "foundation/text.h"
#include "platform/file_temp_name.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace brv::platform {
namespace {

namespace fs = std::filesystem;

const TbrvResult kNotSupported = ResultFromOsError(50);
const TbrvResult kInvalidName = ResultFromOsError(123);

uint64_t OwnPid() {
#ifdef _WIN32
  return GetCurrentProcessId();
#else
  return static_cast<uint64_t>(getpid());
#endif
}

// A process id no process has on either side: above Linux's pid_max, and not a multiple of 4
// as Windows' are.
constexpr uint64_t kNoProcess = 2147483647;

// A fresh folder of its own, removed with its contents afterwards.
class FileTest : public ::testing::Test {
 protected:
  FileTest() {
    static int counter = 0;
    FDir = fs::temp_directory_path() /
           ("sortwise-file-" + std::to_string(OwnPid()) + "-" + std::to_string(++counter));
    fs::remove_all(FDir);
    fs::create_directory(FDir);
  }
  ~FileTest() override {
    std::error_code ignored;
    fs::remove_all(FDir, ignored);
  }

  std::u16string File(std::u16string_view Name) const { return (FDir / fs::path(Name)).u16string(); }

  std::vector<std::u16string> Names() const {
    std::vector<std::u16string> names;
    for (const auto& entry : fs::directory_iterator(FDir))
      names.push_back(entry.path().filename().u16string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Read(const std::u16string& Name) const {
    std::string bytes;
    EXPECT_EQ(ReadFileBytes(Name, bytes).Status, 0) << Utf16ToUtf8(Name);
    return bytes;
  }

  fs::path FDir;
};

std::u16string Decimal(uint64_t N) { return Utf8ToUtf16(std::to_string(N)); }

TEST(TempFileName, NamesTheTargetAndTheProcessAndIsRecognisedAsSuch) {
  const auto same = [](std::u16string_view A, std::u16string_view B) { return A == B; };
  EXPECT_EQ(file_detail::TempFileName<char16_t>(u"m.xml", 42, 7), u"m.xml.42-7.sortwise-tmp");
  struct Case {
    std::u16string_view Name;
    std::optional<uint64_t> Owner;
  };
  const Case cases[] = {
      {u"m.xml.42-7.sortwise-tmp", 42},
      {u"m.xml.2147483647-123.sortwise-tmp", 2147483647},
      {u"m.xml.42.sortwise-tmp", std::nullopt},                      // no number of the write
      {u"m.xml.-7.sortwise-tmp", std::nullopt},                      // no process
      {u"m.xml.42-7x.sortwise-tmp", std::nullopt},                   //
      {u"m.xml.42-7.sortwise-tmp.bak", std::nullopt},                //
      {u"m.xml.42-7.tmp", std::nullopt},                             //
      {u"n.xml.42-7.sortwise-tmp", std::nullopt},                    // another target
      {u"m.xml.bak.42-7.sortwise-tmp", std::nullopt},                // the temporary file of m.xml.bak
      {u"m.xml42-7.sortwise-tmp", std::nullopt},                     //
      {u"m.xml.99999999999999999999-1.sortwise-tmp", std::nullopt},  // too long a number
      {u"m.xml", std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ((file_detail::TempFileOwner<char16_t>(c.Name, u"m.xml", same)), c.Owner) << Utf16ToUtf8(c.Name);
}

// A name too long for the whole temporary name gives only its start, to the longest file name.
TEST(TempFileName, OfALongNameKeepsItsStartAndIsRecognisedAsItsOwn) {
  const auto same = [](std::u16string_view A, std::u16string_view B) { return A == B; };
  const std::u16string target = u"m-" + std::u16string(240, u'x') + u".xml";  // 246 characters
  const std::u16string temp = file_detail::TempFileName<char16_t>(u"C:\\dir\\" + target, 42, 7);
  const std::u16string_view name = std::u16string_view(temp).substr(7);
  EXPECT_EQ(name.size(), file_detail::kMaxFileNameLength);
  EXPECT_EQ(name, target.substr(0, 237) + u".42-7.sortwise-tmp");
  EXPECT_EQ(file_detail::TempFileOwner<char16_t>(name, target, same), 42u);
  struct Case {
    const char* Why;
    std::u16string Name, Target;
  };
  const Case cases[] = {
      {"another long target", std::u16string(name), u"n-" + std::u16string(240, u'x') + u".xml"},
      {"a target that was not cut", target.substr(0, 100) + u".42-7.sortwise-tmp", target},
      {"a target shorter than the start", std::u16string(name), target.substr(0, 230)},
  };
  for (const Case& c : cases)
    EXPECT_EQ((file_detail::TempFileOwner<char16_t>(c.Name, c.Target, same)), std::nullopt) << c.Why;
  // The cut never leaves half of a surrogate pair.
  const std::u16string emoji = std::u16string(236, u'x') + u"\U0001F600" + std::u16string(9, u'x');
  const std::u16string emojiTemp = file_detail::TempFileName<char16_t>(emoji, 42, 7);
  EXPECT_EQ(emojiTemp, std::u16string(236, u'x') + u".42-7.sortwise-tmp");
  EXPECT_EQ(file_detail::TempFileOwner<char16_t>(emojiTemp, emoji, same), 42u);
}

TEST_F(FileTest, ASaveRemovesTheTemporaryFilesOfTheSameTargetThatNoRunningProcessWrites) {
  const std::u16string target = File(u"mailbox.xml");
  const std::u16string stale = u"mailbox.xml." + Decimal(kNoProcess) + u"-3.sortwise-tmp";
  const std::u16string kept[] = {
      u"mailbox.xml." + Decimal(OwnPid()) + u"-999999.sortwise-tmp",   // a save still in progress
      u"mailbox.xml.bak." + Decimal(kNoProcess) + u"-1.sortwise-tmp",  // another target's
      u"other.xml." + Decimal(kNoProcess) + u"-1.sortwise-tmp",        //
      u"mailbox.xml.~1-1.tmp",                                         // not a name of ours
  };
  for (const auto& name : kept) ASSERT_EQ(WriteFileReplacing(File(name), "kept").Status, 0);
  ASSERT_EQ(WriteFileReplacing(File(stale), "left behind").Status, 0);
  for (const auto& name : kept) EXPECT_EQ(Read(File(name)), "kept") << Utf16ToUtf8(name);

  ASSERT_EQ(WriteFileReplacing(target, "<mailbox/>").Status, 0);
  std::vector<std::u16string> expected(std::begin(kept), std::end(kept));
  expected.push_back(u"mailbox.xml");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(Names(), expected);
  EXPECT_EQ(Read(target), "<mailbox/>");
}

TEST_F(FileTest, AFailedSaveLeavesTheStaleTemporaryFilesAndThePreviousFile) {
  const std::u16string target = File(u"mailbox.xml");
  const std::u16string stale = File(u"mailbox.xml." + Decimal(kNoProcess) + u"-3.sortwise-tmp");
  ASSERT_EQ(WriteFileReplacing(target, "before").Status, 0);
  ASSERT_EQ(WriteFileReplacing(stale, "left behind").Status, 0);
  std::u16string temp;
  SetWriteFaultHook([&](const std::u16string& Name) {
    temp = Name;
    return ResultFromOsError(112);
  });
  const TbrvFileResult result = WriteFileReplacing(target, "after");
  SetWriteFaultHook(nullptr);
  EXPECT_EQ(result.Status, ResultFromOsError(112));
  // The temporary file of the failed save had its recognisable name, and is gone.
  EXPECT_EQ(temp,
            target + u"." + Decimal(OwnPid()) + temp.substr(target.size() + 1 + Decimal(OwnPid()).size()));
  EXPECT_TRUE(temp.ends_with(u".sortwise-tmp")) << Utf16ToUtf8(temp);
  EXPECT_FALSE(FileExists(temp));
  EXPECT_TRUE(FileExists(stale));
  EXPECT_EQ(Read(target), "before");
}

// Every name a file can have is saved, also one too long for the whole temporary name beside it.
TEST_F(FileTest, ANameAsLongAsAFileNameCanBeIsSavedAndItsStaleTemporaryFilesRemoved) {
  const std::u16string name = u"m-" + std::u16string(249, u'x') + u".xml";  // 255 characters
  const std::u16string target = File(name);
  ASSERT_EQ(WriteFileReplacing(target, "first").Status, 0);
  EXPECT_EQ(Read(target), "first");
  const std::u16string stale = file_detail::TempFileName<char16_t>(target, kNoProcess, 3);
  { std::ofstream(fs::path(stale)) << "left behind"; }
  ASSERT_TRUE(FileExists(stale));
  ASSERT_EQ(WriteFileReplacing(target, "second").Status, 0);
  EXPECT_EQ(Read(target), "second");
  EXPECT_EQ(Names(), std::vector<std::u16string>{name});
}

TEST_F(FileTest, OnlyRegularFilesAreReadAndNamesNoFileCanHaveAreRefused) {
#ifdef _WIN32
  const std::u16string device = u"NUL";
#else
  const std::u16string device = u"/dev/null";
#endif
  struct Case {
    const char* Why;
    std::u16string Name;
    TbrvResult Status;
  };
  const Case cases[] = {
      {"a device", device, kNotSupported},
      {"a folder", FDir.u16string(), ResultFromOsError(5)},
      {"an embedded NUL", File(u"a") + std::u16string(1, u'\0') + u"b", kInvalidName},
  };
  ASSERT_EQ(WriteFileReplacing(File(u"a"), "a file in the way").Status, 0);
  for (const Case& c : cases) {
    std::string bytes = "previous";
    EXPECT_EQ(ReadFileBytes(c.Name, bytes).Status, c.Status) << c.Why;
    EXPECT_TRUE(bytes.empty()) << c.Why;
  }
  // Writing to a name with NUL would write the file of the name before it.
  EXPECT_EQ(WriteFileReplacing(cases[2].Name, "x").Status, kInvalidName);
  EXPECT_EQ(Read(File(u"a")), "a file in the way");
  EXPECT_EQ(Names(), std::vector<std::u16string>{u"a"});
}

// The move log: two writers at once (a run and an undo, say) each add whole lines at the end,
// whatever the other wrote since it opened the file.
TEST_F(FileTest, AppendingAddsAtTheEndOfWhatOthersWroteMeanwhile) {
  const std::u16string log = File(u"moves.jsonl");
  ASSERT_EQ(WriteFileReplacing(log, "before\n").Status, 0);
  TbrvAppendFile first, second;
  ASSERT_EQ(first.Open(log).Status, 0);
  ASSERT_EQ(second.Open(log).Status, 0);
  EXPECT_EQ(first.Append("one\n").Status, 0);
  EXPECT_EQ(second.Append("two\n").Status, 0);
  EXPECT_EQ(first.Append("three\n").Status, 0);
  first.Close();
  EXPECT_FALSE(first.IsOpen());
  EXPECT_NE(first.Append("after closing\n").Status, 0);
  second.Close();
  EXPECT_EQ(Read(log), "before\none\ntwo\nthree\n");

  // A new file is made; what is not a file is refused and left as it was.
#ifdef _WIN32
  const std::u16string device = u"NUL";
#else
  const std::u16string device = u"/dev/null";
#endif
  TbrvAppendFile fresh;
  ASSERT_EQ(fresh.Open(File(u"new.jsonl")).Status, 0);
  EXPECT_EQ(fresh.Append("x").Status, 0);
  fresh.Close();
  EXPECT_EQ(Read(File(u"new.jsonl")), "x");
  TbrvAppendFile refused;
  EXPECT_EQ(refused.Open(FDir.u16string()).Status, ResultFromOsError(5));
  EXPECT_EQ(refused.Open(device).Status, kNotSupported);
  EXPECT_EQ(refused.Open(log + std::u16string(1, u'\0') + u"b").Status, kInvalidName);
  EXPECT_FALSE(refused.IsOpen());
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"moves.jsonl", u"new.jsonl"}));
}

#ifdef _WIN32

TEST_F(FileTest, APipeIsNeitherWaitedForNorReplaced) {
  const std::u16string name = u"\\\\.\\pipe\\sortwise-file-test-" + Decimal(OwnPid());
  // Two instances for the two clients; the server never writes, so a read would wait for ever.
  HANDLE pipes[2];
  for (HANDLE& pipe : pipes) {
    pipe = CreateNamedPipeW(reinterpret_cast<const wchar_t*>(name.c_str()), PIPE_ACCESS_OUTBOUND,
                            PIPE_TYPE_BYTE | PIPE_WAIT, 2, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
  }
  std::string bytes;
  EXPECT_EQ(ReadFileBytes(name, bytes).Status, kNotSupported);
  EXPECT_EQ(WriteFileReplacing(name, "x").Status, kNotSupported);
  for (const HANDLE pipe : pipes) CloseHandle(pipe);
}

#else

TEST_F(FileTest, AFifoIsNeitherWaitedForNorReplaced) {
  const std::u16string fifo = File(u"fifo");
  ASSERT_EQ(::mkfifo(Utf16ToUtf8(fifo).c_str(), 0600), 0);
  std::string bytes;
  EXPECT_EQ(ReadFileBytes(fifo, bytes).Status, kNotSupported);  // without a writer: at once
  EXPECT_EQ(WriteFileReplacing(fifo, "x").Status, kNotSupported);
  TbrvAppendFile log;
  EXPECT_EQ(log.Open(fifo).Status, kNotSupported);  // without a reader: at once
  struct stat st {};
  ASSERT_EQ(::stat(Utf16ToUtf8(fifo).c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(Names(), std::vector<std::u16string>{u"fifo"});
}

TEST_F(FileTest, AProcessKilledDuringASaveLeavesItsTemporaryFileForTheNextSaveToRemove) {
  const std::u16string target = File(u"mailbox.xml");
  ASSERT_EQ(WriteFileReplacing(target, "complete").Status, 0);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // Killed after writing the new file, before it replaces the target.
    SetWriteFaultHook([](const std::u16string&) -> TbrvResult { ::_exit(0); });
    WriteFileReplacing(target, "never in place");
    ::_exit(1);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const auto names = Names();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], u"mailbox.xml");
  const auto same = [](std::u16string_view A, std::u16string_view B) { return A == B; };
  EXPECT_EQ(file_detail::TempFileOwner<char16_t>(names[1], u"mailbox.xml", same),
            static_cast<uint64_t>(child))
      << Utf16ToUtf8(names[1]);
  EXPECT_EQ(Read(target), "complete");

  ASSERT_EQ(WriteFileReplacing(target, "saved again").Status, 0);
  EXPECT_EQ(Names(), std::vector<std::u16string>{u"mailbox.xml"});
  EXPECT_EQ(Read(target), "saved again");
}

// A save keeps a symbolic link a link, as an editor does: the file it points to takes the new
// content, with its permissions; a link to nothing creates the file; a loop of links is refused.
TEST_F(FileTest, ASaveThroughASymbolicLinkReplacesTheFileItPointsTo) {
  fs::create_directory(FDir / "real");
  ASSERT_EQ(WriteFileReplacing(File(u"real/rules.xml"), "before").Status, 0);
  ASSERT_EQ(::chmod((FDir / "real/rules.xml").c_str(), 0640), 0);
  fs::create_symlink("real/rules.xml", FDir / "rules.xml");    // relative to the link's folder
  fs::create_symlink(FDir / "rules.xml", FDir / "chain.xml");  // absolute, to another link
  fs::create_symlink("real/new.xml", FDir / "dangling.xml");   // to a file not yet there
  struct Case {
    std::u16string_view Link, File;
  };
  const Case cases[] = {{u"rules.xml", u"real/rules.xml"},
                        {u"chain.xml", u"real/rules.xml"},
                        {u"dangling.xml", u"real/new.xml"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.Link));
    const std::string content = "saved through " + Utf16ToUtf8(c.Link);
    ASSERT_EQ(WriteFileReplacing(File(c.Link), content).Status, 0);
    EXPECT_TRUE(fs::is_symlink(FDir / fs::path(c.Link)));
    EXPECT_EQ(Read(File(c.File)), content);
  }
  struct stat st {};
  ASSERT_EQ(::stat((FDir / "real/rules.xml").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(), (std::vector<std::u16string>{u"chain.xml", u"dangling.xml", u"real", u"rules.xml"}));

  fs::create_symlink("loop.xml", FDir / "loop.xml");
  EXPECT_EQ(WriteFileReplacing(File(u"loop.xml"), "x").Status, ResultFromOsError(1921));
  EXPECT_TRUE(fs::is_symlink(FDir / "loop.xml"));
}

// File names are bytes: every name reaches the file system as it was given, whatever it holds.
TEST_F(FileTest, NamesThatAreNotUtf8AreWrittenAndReadUnderExactlyThoseBytes) {
  const std::string names[] = {
      "plain.xml",
      "M\xC3\xBCller \xE2\x82\xAC \xF0\x9F\x98\x80.xml",  // UTF-8: ü, €, an emoji
      "latin1-\xFC.xml",                                  // ü in Latin-1
      "\xFF\xFE",                                         //
      "truncated-\xE2\x82",                               // a sequence cut short
      "overlong-\xC0\xAF",                                // "/" in two bytes
      "surrogate-\xED\xA0\x80",                           // U+D800 in UTF-8 form
      "replacement-\xEF\xBF\xBD",                         // U+FFFD itself
  };
  const std::string folder = Utf16ToUtf8(FDir.u16string()) + "/";
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const std::u16string text = FileNameFromNative(folder + name);
    ASSERT_EQ(WriteFileReplacing(text, name).Status, 0);
    struct stat st {};
    EXPECT_EQ(::stat((folder + name).c_str(), &st), 0) << "not written under its own bytes";
    EXPECT_EQ(Read(text), name);
  }
  EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(FDir), fs::directory_iterator())),
            std::size(names));
  // Valid UTF-8 is plain text; other bytes are kept as lone surrogates.
  EXPECT_EQ(FileNameFromNative("M\xC3\xBCller"), u"M\u00FCller");
  EXPECT_EQ(FileNameFromNative("a\xFF"), std::u16string(u"a") + char16_t{0xDCFF});
  // A lone surrogate of another kind is no name at all, rather than the name "?".
  const std::u16string lone = File(u"lone-") + char16_t{0xD800};
  EXPECT_EQ(WriteFileReplacing(lone, "x").Status, kInvalidName);
  std::string bytes;
  EXPECT_EQ(ReadFileBytes(lone, bytes).Status, kInvalidName);
}

#endif

}  // namespace
}  // namespace brv::platform
