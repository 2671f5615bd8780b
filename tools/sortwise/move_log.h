// The move log: what runs of the tool moved, one JSON object per line (JSON Lines), appended to
// by every run and read back by undo.
//
//   {"type":"run","run":ID,"time":"2026-12-11T07:15:30.123Z","source":"mailbox"|"outlook",
//    "mailbox":FILE (source "mailbox" only),"rules":FILE,"profile":NAME,"dry_run":false,
//    "undoes":ID (undo runs only),"inbox":PLACE}
//   {"type":"move","run":ID,"subject":S,"sender":S,"from":PLACE,"to":PLACE,"entry_id":ID,
//    "undoes":ID (undo runs only)}
//
// where PLACE is {"path":"\\\\Store\\Inbox","entry_id":ID,"store_id":ID}. A move line's
// "entry_id" is the EntryID of the item that Move answered (empty when it answered nothing);
// an undo's move line names in "undoes" the "entry_id" of the move it took back. Lines of
// other types are skipped when read, so that later versions may add some.
#pragma once

#include <string>
#include <vector>

#include "platform/file.h"

namespace sortwise_tool {

// A folder as the log names it.
struct TLogPlace {
  std::u16string Path, EntryID, StoreID;
  bool operator==(const TLogPlace&) const = default;
};

struct TLogRun {
  std::u16string Run, Time, Source, Mailbox, Rules, Profile;
  bool DryRun = false;
  // The run this one undoes; empty for a clean-up run.
  std::u16string Undoes;
  TLogPlace Inbox;
};

struct TLogMove {
  std::u16string Run, Subject, Sender;
  TLogPlace From, To;
  std::u16string EntryID;
  // The EntryID of the move this one took back; empty in a clean-up run.
  std::u16string Undoes;
};

// A new run's identifier and time: the current time in UTC (ISO 8601, milliseconds), and that
// time with the process id, unique among the runs of one log.
struct TRunStamp {
  std::u16string Run, Time;
};
TRunStamp NewRunStamp();

// Appends lines to the log file. Every line is written at once, so that what was moved is on
// disk when the next mail is handled. Open and each write raise brv::Exception naming the file
// and the system's reason.
class TMoveLogWriter {
 public:
  explicit TMoveLogWriter(std::u16string Filename);
  void Write(const TLogRun& Run);
  void Write(const TLogMove& Move);

 private:
  void WriteLine(const std::string& Line);

  std::u16string FFilename;
  brv::platform::TbrvAppendFile FFile;
};

// The runs and moves of a log, in the order written.
struct TMoveLog {
  std::vector<TLogRun> Runs;
  std::vector<TLogMove> Moves;
  // The last line is cut short: a write failed (a full disk) or the writer was killed during it.
  bool CutShort = false;
};

// Reads the whole log; raises brv::Exception for a file that cannot be read and for a line that
// is not JSON or lacks what its type needs ("FILE:LINE: reason"). A last line without its line
// break that does not read is the one a failed write left: it is skipped and CutShort set.
TMoveLog ReadMoveLog(const std::u16string& Filename);

}  // namespace sortwise_tool
