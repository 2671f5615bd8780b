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

#include <chrono>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/outlook.h"
#include "platform/file.h"

namespace sortwise_tool {

// A folder as the log names it.
struct TLogPlace {
  std::u16string Path, EntryID, StoreID;
  bool operator==(const TLogPlace&) const = default;
};
// Folder as the log names it, read from Outlook.
TLogPlace PlaceOf(outlook::MAPIFolder& Folder);

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

// Appends lines to the log file. A run's line is written at once, so that a log that cannot be
// written stops a run before anything moves. Move lines are gathered and written together, in
// one system call, once kFlushBytes are waiting or kFlushAfter has passed since the first of
// them, and at Flush: a line per mail cost a run on the substitute store more than the run
// itself. Opening, Write and Flush raise brv::EbrvObject naming the file and the system's
// reason; the lines of a failed write are dropped.
class TMoveLogWriter {
 public:
  static constexpr size_t kFlushBytes = 64 * 1024;
  static constexpr std::chrono::milliseconds kFlushAfter{100};

  explicit TMoveLogWriter(std::u16string Filename);
  // Flushes; a failure then goes unreported (call Flush first to hear of it).
  ~TMoveLogWriter();
  TMoveLogWriter(const TMoveLogWriter&) = delete;
  TMoveLogWriter& operator=(const TMoveLogWriter&) = delete;

  void Write(const TLogRun& Run);
  void Write(const TLogMove& Move);
  void Flush();

 private:
  static constexpr size_t kPlacesKept = 4096;
  using TPlaceEntry = std::pair<TLogPlace, std::string>;
  // Place as a JSON object, written once per folder; Last remembers the one found last for
  // the same part of a line.
  const std::string& PlaceText(const TLogPlace& Place, const TPlaceEntry*& Last);

  std::u16string FFilename;
  // Equal identifiers have equal bytes: memcmp tells that sooner than a compare of char16_t.
  struct TSameText {
    bool operator()(const std::u16string& L, const std::u16string& R) const;
  };
  // The folders written so far, by EntryID, with their JSON.
  std::unordered_map<std::u16string, TPlaceEntry, std::hash<std::u16string>, TSameText> FPlaces;
  const TPlaceEntry* FLastFrom = nullptr;
  const TPlaceEntry* FLastTo = nullptr;
  // The run of the last move line, and its JSON.
  std::u16string FRun;
  std::string FRunText;
  brv::platform::TbrvAppendFile FFile;
  std::string FPending;
  std::chrono::steady_clock::time_point FPendingSince;
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
