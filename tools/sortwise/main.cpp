// sortwise: the sorting core on the command line, against a mailbox file or the running Outlook.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "platform/file.h"

namespace sortwise_tool {
namespace {

constexpr char16_t kHelp[] =
    u"usage: sortwise COMMAND [OPTIONS]\n"
    u"\n"
    u"  run    one clean-up run on a mailbox file or the running Outlook, logged if asked\n"
    u"  check  report what a configuration file's user should know\n"
    u"  undo   move the mail of the newest logged run back where it came from\n"
    u"\n"
    u"\"sortwise COMMAND --help\" describes a command.";

// "--help" in the place of an option's value is no request for help but a value forgotten:
// the command reports it as bad usage.
template <size_t N>
bool WantsHelp(const std::vector<std::u16string>& Args, const std::u16string_view (&ValueOptions)[N]) {
  for (size_t i = 0; i < Args.size(); ++i) {
    if (Args[i] == u"--help" || Args[i] == u"-h") return true;
    if (std::find(std::begin(ValueOptions), std::end(ValueOptions), Args[i]) != std::end(ValueOptions)) ++i;
  }
  return false;
}

int Dispatch(std::vector<std::u16string> Args) {
  if (Args.empty()) throw TUsageError{u"no command given"};
  const std::u16string command = Args.front();
  Args.erase(Args.begin());
  if (command == u"--help" || command == u"-h" || command == u"help") return PrintLine(kHelp), 0;
  if (command == u"run")
    return WantsHelp(Args, kRunValueOptions) ? (PrintLine(kRunHelp), 0) : RunCommand(Args);
  if (command == u"check")
    return WantsHelp(Args, kCheckValueOptions) ? (PrintLine(kCheckHelp), 0) : CheckCommand(Args);
  if (command == u"undo")
    return WantsHelp(Args, kUndoValueOptions) ? (PrintLine(kUndoHelp), 0) : UndoCommand(Args);
  throw TUsageError{u"unknown command " + Clipped(command)};
}

// A message as one line of about 300 characters: whatever raised it, a line break in a quoted
// value must not split it, nor a huge value bury it. A message begins with what it is about (a
// file's path) and ends with why: a long one loses its middle, so that a deep path never hides
// the reason.
std::u16string OneLine(std::u16string_view Message) {
  constexpr size_t kLimit = 300, kHead = 100;
  if (Message.size() <= kLimit) return Shortened(Message, kLimit, u' ');
  std::u16string_view head = Message.substr(0, kHead),
                      tail = Message.substr(Message.size() - (kLimit - kHead));
  // Neither part keeps half of a surrogate pair.
  if (head.back() >= 0xD800 && head.back() <= 0xDBFF) head.remove_suffix(1);
  if (tail.front() >= 0xDC00 && tail.front() <= 0xDFFF) tail.remove_prefix(1);
  return Shortened(head, kHead, u' ') + u"\u2026" + Shortened(tail, kLimit, u' ');
}

int Guarded(std::vector<std::u16string> Args) {
  try {
    return Dispatch(std::move(Args));
  } catch (const TUsageError& e) {
    PrintErrorLine(u"sortwise: " + OneLine(e.Message) + u" (see sortwise --help)");
  } catch (const brv::Exception& e) {
    PrintErrorLine(u"sortwise: " + OneLine(e.Message()));
  } catch (const std::exception& e) {
    PrintErrorLine(u"sortwise: " + OneLine(brv::Utf8ToUtf16(e.what())));
  }
  return 2;
}

}  // namespace

// Every failure is one line on standard error, never a stack dump. A report that did not reach
// standard output is a failure too: its reader would take a cut report for the whole.
int Main(std::vector<std::u16string> Args) {
  const int code = Guarded(std::move(Args));
  if (const std::u16string reason = FinishOutput(); !reason.empty()) {
    PrintErrorLine(u"sortwise: cannot write the output: " + reason);
    return 2;
  }
  return code;
}

}  // namespace sortwise_tool

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(reinterpret_cast<const char16_t*>(argv[i]));
  return sortwise_tool::Main(std::move(args));
}
#else
int main(int argc, char** argv) {
  std::vector<std::u16string> args;
  // Arguments are file names more often than not: they keep bytes that are not UTF-8.
  for (int i = 1; i < argc; ++i) args.push_back(brv::platform::FileNameFromNative(argv[i]));
  return sortwise_tool::Main(std::move(args));
}
#endif
