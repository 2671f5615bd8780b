// sortwise undo: moves the mail of the newest logged run back where it came from.
#include <algorithm>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/outlook_busy.h"
#include "move_log.h"
#include "sources.h"

namespace sortwise_tool {

const char16_t kUndoHelp[] =
    u"usage: sortwise undo --log FILE --mailbox FILE [--save FILE] [--dry-run]\n"
    u"       sortwise undo --log FILE --outlook [--dry-run]\n"
    u"\n"
    u"Moves each mail of the newest run in the log (the newest that moved mail and is not itself\n"
    u"an undo) back to the folder it came from, the last moved first, and prints a line per mail\n"
    u"and a summary. A mail that is no longer where the run put it (moved on, deleted, its folder\n"
    u"gone) is reported and left alone. The undo is logged as a run of its own, so a second undo\n"
    u"moves nothing twice: it takes back only what the first left alone.\n"
    u"\n"
    u"  --log FILE      the move log that \"sortwise run --log\" wrote\n"
    u"  --mailbox FILE  the mailbox as the run left it (its --save FILE)\n"
    u"  --outlook       the running Outlook (Windows)\n"
    u"  --save FILE     write the mailbox as it is after the undo\n"
    u"  --dry-run       move nothing; print what would move back\n"
    u"\n"
    u"Exit codes: 0 every mail is back, 1 some were left alone, 2 bad usage, an unreadable log,\n"
    u"or a log of another mailbox.";

namespace {

// The newest run that moved mail for real and is not an undo; null when there is none.
const TLogRun* NewestRun(const TMoveLog& Log) {
  for (auto run = Log.Runs.rbegin(); run != Log.Runs.rend(); ++run)
    if (!run->DryRun && run->Undoes.empty()) return &*run;
  return nullptr;
}

// The moves of Run that no earlier undo took back, the last moved first.
std::vector<const TLogMove*> MovesToTakeBack(const TMoveLog& Log, const TLogRun& Run, size_t& AllMoves) {
  std::set<std::u16string> undoRuns;
  for (const TLogRun& run : Log.Runs)
    if (!run.DryRun && run.Undoes == Run.Run) undoRuns.insert(run.Run);
  std::set<std::u16string> takenBack;
  for (const TLogMove& move : Log.Moves)
    if (undoRuns.contains(move.Run)) takenBack.insert(move.Undoes);
  std::vector<const TLogMove*> moves;
  AllMoves = 0;
  for (const TLogMove& move : Log.Moves) {
    if (move.Run != Run.Run) continue;
    ++AllMoves;
    if (!takenBack.contains(move.EntryID)) moves.push_back(&move);
  }
  std::reverse(moves.begin(), moves.end());
  return moves;
}

// Null when the namespace raises: the object is not there (any more).
template <class T, class F>
outlook::Ref<T> Lookup(F&& Find) {
  try {
    return Find();
  } catch (const outlook::EOutlookBusy&) {
    throw;
  } catch (const brv::EbrvObject&) {
    return nullptr;
  }
}

// Takes back the moves of a run one at a time: a line for each, and a log line for each mail
// moved back.
class TUndo {
 public:
  TUndo(outlook::_NameSpace& NameSpace, bool DryRun, TMoveLogWriter& Log, std::u16string UndoRun)
      : FNameSpace(NameSpace), FDryRun(DryRun), FLog(Log), FUndoRun(std::move(UndoRun)) {}

  int32_t Back = 0, LeftAlone = 0, Failed = 0;
  // Why the log could not be written; the undo stops there.
  std::optional<brv::EbrvObject> LogFailure;

  void TakeBack(const TLogMove& Move) {
    const std::u16string mail = Move.Sender + u" \"" + Move.Subject + u"\"";
    try {
      outlook::Ref<outlook::ItemObject> item;
      outlook::Ref<outlook::MAPIFolder> source;
      if (const std::u16string why = WhyNot(Move, item, source); !why.empty()) {
        ++LeftAlone;
        PrintLine(u"left alone " + mail + u": " + why);
        return;
      }
      const std::u16string way = mail + u" " + Move.To.Path + u" -> " + Move.From.Path;
      if (FDryRun) {
        ++Back;
        PrintLine(u"would move back " + way);
        return;
      }
      const auto moved = item->QueryMailItem()->Move(*source);
      ++Back;
      PrintLine(u"moved back " + way);
      Logging([&] {
        FLog.Write(TLogMove{FUndoRun, Move.Subject, Move.Sender, Move.To, Move.From,
                            moved ? moved->EntryID() : std::u16string(), Move.EntryID});
      });
    } catch (const outlook::EOutlookBusy&) {
      // Not this mail's fault: every other would meet the same Outlook.
      throw;
    } catch (const brv::Exception& e) {
      ++Failed;
      PrintLine(u"ERROR: could not move back " + mail + u": " + e.Message());
    }
  }

  // Writes what the log still holds back.
  void Finish() {
    Logging([&] { FLog.Flush(); });
  }

 private:
  // Why the mail cannot go back; empty when it can, with the mail where the run put it in Item
  // and the folder it came from in Source.
  std::u16string WhyNot(const TLogMove& Move, outlook::Ref<outlook::ItemObject>& Item,
                        outlook::Ref<outlook::MAPIFolder>& Source) {
    Item = Lookup<outlook::ItemObject>([&] { return FNameSpace.GetItemFromID(Move.EntryID, Move.To.StoreID); });
    if (!Item) {
      const auto target =
          Lookup<outlook::MAPIFolder>([&] { return FNameSpace.GetFolderFromID(Move.To.EntryID, Move.To.StoreID); });
      if (!target) return u"the folder the run put it in, " + Move.To.Path + u", no longer exists";
      return u"it is no longer in " + Move.To.Path + u" (moved on or deleted)";
    }
    const auto parent = Item->Parent();
    if (!parent) return u"it is no longer in " + Move.To.Path;
    if (parent->EntryID() != Move.To.EntryID || parent->StoreID() != Move.To.StoreID)
      return u"it is no longer in " + Move.To.Path + u" but in " + parent->FolderPath();
    Source = Lookup<outlook::MAPIFolder>([&] { return FNameSpace.GetFolderFromID(Move.From.EntryID, Move.From.StoreID); });
    if (!Source) return u"the folder it came from, " + Move.From.Path + u", no longer exists";
    return {};
  }

  template <class F>
  void Logging(F&& Write) {
    if (LogFailure) return;
    try {
      Write();
    } catch (const brv::EbrvObject& e) {
      LogFailure = e;
    }
  }

  outlook::_NameSpace& FNameSpace;
  bool FDryRun;
  TMoveLogWriter& FLog;
  std::u16string FUndoRun;
};

}  // namespace

int UndoCommand(const std::vector<std::u16string>& Args) {
  const TArguments args(Args, {u"--dry-run", u"--outlook"}, {std::begin(kUndoValueOptions), std::end(kUndoValueOptions)});
  if (!args.Positional().empty())
    throw TUsageError{u"unexpected argument " + Clipped(args.Positional().front())};
  const std::u16string logFile = args.Value(u"--log");
  if (logFile.empty()) throw TUsageError{u"--log FILE is required"};
  CheckSources(args, false);
  const bool dryRun = args.Has(u"--dry-run");

  const TMoveLog log = ReadMoveLog(logFile);
  // The line a failed write left names a mail that moved but cannot be found from here.
  if (log.CutShort)
    PrintLine(u"warning: the last line of the log is cut short (its run stopped while writing it); "
              u"the mail it names is not taken back");
  const TLogRun* run = NewestRun(log);
  if (run == nullptr) throw brv::EbrvObject(brv::kE_FAIL, logFile + u": the log holds no run that moved mail");
  size_t allMoves = 0;
  const std::vector<const TLogMove*> moves = MovesToTakeBack(log, *run, allMoves);
  const int nothingToDo = log.CutShort ? 1 : 0;
  if (allMoves == 0) return PrintLine(u"the newest run in the log, of " + run->Time + u", moved nothing"), nothingToDo;
  if (moves.empty())
    return PrintLine(u"the newest run in the log, of " + run->Time + u", is already undone"), nothingToDo;

  TSources sources = OpenSources(args, false);
  const auto ns = sources.Mail->Application()->Session();
  // The run walked one mailbox's inbox; the mail of another mailbox is not the run's mail.
  const TLogPlace inbox = PlaceOf(*ns->GetDefaultFolder(outlook::olFolderInbox));
  if (inbox.EntryID != run->Inbox.EntryID || inbox.StoreID != run->Inbox.StoreID)
    throw brv::EbrvObject(brv::kE_FAIL, logFile + u": the newest run sorted the inbox " + run->Inbox.Path +
                                            u" of another mailbox, not " + inbox.Path + u" of this one");

  // The undo is logged before anything moves back: a log that cannot be written stops it here.
  const TRunStamp stamp = NewRunStamp();
  TLogRun undo{stamp.Run, stamp.Time, sources.Mail->Kind(), sources.Mail->MailboxFile(), {}, sources.Profile,
               dryRun, run->Run, inbox};
  TMoveLogWriter writer(logFile);
  writer.Write(undo);

  PrintLine(u"undoing the run of " + run->Time + u": " + Decimal(static_cast<int64_t>(moves.size())) + u" of " +
            Decimal(static_cast<int64_t>(allMoves)) + u" moved mails to take back");
  TUndo taking(*ns, dryRun, writer, undo.Run);
  for (const TLogMove* move : moves) {
    if (taking.LogFailure) break;
    taking.TakeBack(*move);
  }
  taking.Finish();
  PrintLine((dryRun ? u"would move back " : u"moved back ") + Decimal(taking.Back) + u", left alone " +
            Decimal(taking.LeftAlone) + u", failed " + Decimal(taking.Failed));
  if (const std::u16string saveFile = args.Value(u"--save"); !saveFile.empty()) sources.Mail->Save(saveFile);
  if (taking.LogFailure)
    throw brv::EbrvObject(taking.LogFailure->ErrorCode(),
                          taking.LogFailure->Message() +
                              u"; the undo stopped, and the mails it moved back last may be missing from the log");
  return taking.LeftAlone + taking.Failed > 0 || log.CutShort ? 1 : 0;
}

}  // namespace sortwise_tool
