// TSwoRulesKeeper: a profile's rules file as the add-in keeps it while Outlook runs. The rules
// are read once, from the file's current name or, where only an earlier version's name is
// there, from that one; they are always written under the current name. A file that could not
// be read is never written over, and rules that could not be written can go to a recovery copy
// instead of being lost.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace swo {

class TSortwise;

class TSwoRulesKeeper {
 public:
  // The files of Profile (RulesFileName, RulesFileToRead). Raises what RulesFolder raises.
  explicit TSwoRulesKeeper(const std::u16string& Profile);

  // Where the rules are written.
  const std::u16string& Filename() const { return FFilename; }
  // Where they are read from: Filename, or the earlier name that holds them.
  const std::u16string& Source() const { return FSource; }
  bool FromEarlierName() const { return FSource != FFilename; }

  // A new sorter with the rules of Source, or an empty one when no file is there. A file that
  // cannot be read raises the reader's error (which names the file and the place) and makes
  // every later Save refuse.
  std::unique_ptr<TSortwise> Load();
  // The message of the read that failed; empty while none has.
  const std::u16string& LoadFailure() const { return FLoadFailure; }

  // Writes Sorter to Filename, making the folder when it is missing. Raises the writer's error,
  // or ESortwise when Load failed: whatever that file holds, it is the user's. Remembers
  // whether it worked.
  void Save(const TSortwise& Sorter);
  // Whether the last Save failed (the rules in memory are then newer than every file).
  bool SaveFailed() const { return FSaveFailed; }

  // Writes Sorter to "<stem> (recovered <Time>).xml" in the first of the local application
  // data's "Brevanta\Sortwise" folder and the temporary folder that takes it (the user's rules
  // folder may be the one that cannot be written: a roaming folder out of reach, a full disk).
  // Returns the file's name; raises the last failure when no folder took it.
  std::u16string SaveRecoveryCopy(const TSortwise& Sorter, std::u16string_view Time) const;

  // What SaveOrKeepCopy did: each failure's message, empty where that step did not fail.
  struct TSaveOutcome {
    std::u16string SaveFailure;  // empty: the rules were saved
    std::u16string Copy;         // the recovery copy written after a failed save
    std::u16string CopyFailure;  // why no copy could be written either
  };
  // Save, and where it fails, SaveRecoveryCopy: for the last moments (a shut-down, the end of
  // the session), when the user gets no second chance. Raises only what is no file's failure
  // (out of memory).
  TSaveOutcome SaveOrKeepCopy(const TSortwise& Sorter, std::u16string_view Time);

 private:
  std::u16string FStem;
  std::u16string FFilename;
  std::u16string FSource;
  std::u16string FLoadFailure;
  bool FSaveFailed = false;
};

}  // namespace swo
