#include "move_log.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string_view>

#include <nlohmann/json.hpp>

#include "foundation/exception.h"
#include "foundation/text.h"

#ifdef _WIN32
#include <process.h>
#define SORTWISE_PROCESS_ID _getpid
#else
#include <unistd.h>
#define SORTWISE_PROCESS_ID getpid
#endif

namespace sortwise_tool {
namespace {

// Keys in the order written, so that a line reads as its type, its run, then the details.
using json = nlohmann::ordered_json;

std::string Utf8(const std::u16string& Text) { return brv::Utf16ToUtf8(Text); }
std::u16string Utf16(const std::string& Text) { return brv::Utf8ToUtf16(Text); }

std::u16string Reason(brv::TbrvResult Status) {
  std::u16string reason = brv::EbrvObject::ErrorMessage(Status);
  return reason.empty() ? brv::HexCode(static_cast<uint32_t>(Status)) : reason;
}

json PlaceJson(const TLogPlace& Place) {
  return {{"path", Utf8(Place.Path)}, {"entry_id", Utf8(Place.EntryID)}, {"store_id", Utf8(Place.StoreID)}};
}

// A subject may hold what UTF-8 cannot carry (half of a surrogate pair): the conversion writes
// "?" for it, and should anything invalid remain, nlohmann writes U+FFFD rather than failing
// the run's log.
std::string Line(const json& Object) { return Object.dump(-1, ' ', false, json::error_handler_t::replace) + "\n"; }

// Text as a JSON string when it needs escapes (nlohmann writes them); empty when printable
// ASCII other than the quote and the backslash, which a line takes as it is.
std::string EscapedText(const std::u16string& Text) {
  bool escapes = false;
  for (const char16_t c : Text)
    escapes |= (static_cast<unsigned>(c) - 0x20u > 0x7Eu - 0x20u) | (c == u'"') | (c == u'\\');
  if (!escapes) return {};
  return json(Utf8(Text)).dump(-1, ' ', false, json::error_handler_t::replace);
}

// A line made at the end of Out, in room made beforehand: the pieces are copied with memcpy and
// plain loops, and Out takes its final size when the line is done.
class TLinePieces {
 public:
  TLinePieces(std::string& Out, size_t Room) : FOut(Out) {
    const size_t start = Out.size();
    Out.resize(start + Room);
    FAt = Out.data() + start;
  }
  ~TLinePieces() { FOut.resize(static_cast<size_t>(FAt - FOut.data())); }
  TLinePieces(const TLinePieces&) = delete;
  TLinePieces& operator=(const TLinePieces&) = delete;

  void Raw(std::string_view Text) {
    std::memcpy(FAt, Text.data(), Text.size());
    FAt += Text.size();
  }
  // Text as a JSON string: Escaped (EscapedText's) when there is one, else Text as it is.
  void Text(const std::u16string& Text, const std::string& Escaped) {
    if (!Escaped.empty()) return Raw(Escaped);
    *FAt++ = '"';
    for (const char16_t c : Text) *FAt++ = static_cast<char>(c);
    *FAt++ = '"';
  }
  // The room Text takes.
  static size_t Room(const std::u16string& Text, const std::string& Escaped) {
    return Escaped.empty() ? Text.size() + 2 : Escaped.size();
  }

 private:
  std::string& FOut;
  char* FAt = nullptr;
};

// Reading: a line names what is wrong with it by the key it lacks.
struct TBadLine {
  std::string Reason;
};

std::u16string Text(const json& Object, const char* Key, bool Required = true) {
  const auto found = Object.find(Key);
  if (found == Object.end()) {
    if (Required) throw TBadLine{std::string("it has no \"") + Key + "\""};
    return {};
  }
  if (!found->is_string()) throw TBadLine{std::string("its \"") + Key + "\" is not text"};
  return Utf16(found->get<std::string>());
}

TLogPlace Place(const json& Object, const char* Key) {
  const auto found = Object.find(Key);
  if (found == Object.end() || !found->is_object())
    throw TBadLine{std::string("its \"") + Key + "\" is not a folder"};
  return {Text(*found, "path"), Text(*found, "entry_id"), Text(*found, "store_id")};
}

TLogRun RunOf(const json& Object) {
  TLogRun run;
  run.Run = Text(Object, "run");
  run.Time = Text(Object, "time");
  run.Source = Text(Object, "source");
  run.Mailbox = Text(Object, "mailbox", false);
  run.Rules = Text(Object, "rules", false);
  run.Profile = Text(Object, "profile", false);
  const auto dryRun = Object.find("dry_run");
  if (dryRun == Object.end() || !dryRun->is_boolean()) throw TBadLine{"its \"dry_run\" is not true or false"};
  run.DryRun = dryRun->get<bool>();
  run.Undoes = Text(Object, "undoes", false);
  run.Inbox = Place(Object, "inbox");
  return run;
}

TLogMove MoveOf(const json& Object) {
  TLogMove move;
  move.Run = Text(Object, "run");
  move.Subject = Text(Object, "subject");
  move.Sender = Text(Object, "sender");
  move.From = Place(Object, "from");
  move.To = Place(Object, "to");
  move.EntryID = Text(Object, "entry_id");
  move.Undoes = Text(Object, "undoes", false);
  return move;
}

}  // namespace

TLogPlace PlaceOf(outlook::MAPIFolder& Folder) { return {Folder.FolderPath(), Folder.EntryID(), Folder.StoreID()}; }

TRunStamp NewRunStamp() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
#ifdef _WIN32
  gmtime_s(&utc, &seconds);
#else
  gmtime_r(&seconds, &utc);
#endif
  char time[64];
  std::snprintf(time, sizeof time, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, static_cast<int>(millis));
  const std::u16string stamp = Utf16(time);
  return {stamp + u"/" + Utf16(std::to_string(SORTWISE_PROCESS_ID())), stamp};
}

TMoveLogWriter::TMoveLogWriter(std::u16string Filename) : FFilename(std::move(Filename)) {
  const brv::platform::TbrvFileResult opened = FFile.Open(FFilename);
  if (opened.Failed())
    throw brv::EbrvObject(opened.Status, FFilename + u": cannot write the log: " + Reason(opened.Status));
}

TMoveLogWriter::~TMoveLogWriter() {
  try {
    Flush();
  } catch (const brv::Exception&) {
    // Reported to whoever called Flush before; nobody is left to hear of it now.
  }
}

void TMoveLogWriter::Write(const TLogRun& Run) {
  json line = {{"type", "run"},           {"run", Utf8(Run.Run)},         {"time", Utf8(Run.Time)},
               {"source", Utf8(Run.Source)}};
  if (!Run.Mailbox.empty()) line["mailbox"] = Utf8(Run.Mailbox);
  line["rules"] = Utf8(Run.Rules);
  line["profile"] = Utf8(Run.Profile);
  line["dry_run"] = Run.DryRun;
  if (!Run.Undoes.empty()) line["undoes"] = Utf8(Run.Undoes);
  line["inbox"] = PlaceJson(Run.Inbox);
  FPending += Line(line);
  Flush();
}

// A move line is made of pieces, not of a json object: building and writing a whole object per
// mail cost a run on the substitute store more than the run itself. nlohmann still writes
// every text that needs escapes, and the folders, few and repeated, are written once each.
void TMoveLogWriter::Write(const TLogMove& Move) {
  using namespace std::string_view_literals;
  const auto now = std::chrono::steady_clock::now();
  if (FPending.empty()) FPendingSince = now;
  if (Move.Run != FRun) {
    FRun = Move.Run;
    FRunText = EscapedText(Move.Run);
    if (FRunText.empty()) {
      FRunText += '"';
      FRunText += Utf8(Move.Run);
      FRunText += '"';
    }
  }
  const std::string& from = PlaceText(Move.From, FLastFrom);
  const std::string& to = PlaceText(Move.To, FLastTo);
  const std::string subject = EscapedText(Move.Subject), sender = EscapedText(Move.Sender),
                    entry = EscapedText(Move.EntryID), undoes = EscapedText(Move.Undoes);
  constexpr std::string_view kKeys[] = {R"({"type":"move","run":)"sv, R"(,"subject":)"sv, R"(,"sender":)"sv,
                                        R"(,"from":)"sv, R"(,"to":)"sv, R"(,"entry_id":)"sv, R"(,"undoes":)"sv,
                                        "}\n"sv};
  size_t room = FRunText.size() + from.size() + to.size() + TLinePieces::Room(Move.Subject, subject) +
                TLinePieces::Room(Move.Sender, sender) + TLinePieces::Room(Move.EntryID, entry) +
                TLinePieces::Room(Move.Undoes, undoes);
  for (const std::string_view key : kKeys) room += key.size();
  {
    TLinePieces line(FPending, room);
    line.Raw(kKeys[0]);
    line.Raw(FRunText);
    line.Raw(kKeys[1]);
    line.Text(Move.Subject, subject);
    line.Raw(kKeys[2]);
    line.Text(Move.Sender, sender);
    line.Raw(kKeys[3]);
    line.Raw(from);
    line.Raw(kKeys[4]);
    line.Raw(to);
    line.Raw(kKeys[5]);
    line.Text(Move.EntryID, entry);
    if (!Move.Undoes.empty()) {
      line.Raw(kKeys[6]);
      line.Text(Move.Undoes, undoes);
    }
    line.Raw(kKeys[7]);
  }
  if (FPending.size() >= kFlushBytes || now - FPendingSince >= kFlushAfter) Flush();
}

bool TMoveLogWriter::TSameText::operator()(const std::u16string& L, const std::u16string& R) const {
  return L.size() == R.size() && std::memcmp(L.data(), R.data(), L.size() * sizeof(char16_t)) == 0;
}

const std::string& TMoveLogWriter::PlaceText(const TLogPlace& Place, const TPlaceEntry*& Last) {
  const TSameText same;
  const auto isPlace = [&](const TPlaceEntry& Entry) {
    return same(Entry.first.EntryID, Place.EntryID) && same(Entry.first.Path, Place.Path) &&
           same(Entry.first.StoreID, Place.StoreID);
  };
  // A run's mail all comes from one folder, and often goes to the folder the last one went to.
  if (Last != nullptr && isPlace(*Last)) return Last->second;
  TPlaceEntry& entry = FPlaces[Place.EntryID];
  if (entry.second.empty() || !isPlace(entry)) {
    if (FPlaces.size() > kPlacesKept) {
      // Some other Outlook's folders by the thousand: start afresh rather than grow.
      FPlaces.clear();
      FLastFrom = FLastTo = nullptr;
      return PlaceText(Place, Last);
    }
    entry.first = Place;
    entry.second = Line(PlaceJson(Place));
    // Line ends in a line break, which a folder inside a line does without.
    entry.second.pop_back();
  }
  Last = &entry;
  return entry.second;
}

void TMoveLogWriter::Flush() {
  if (FPending.empty()) return;
  const brv::platform::TbrvFileResult written = FFile.Append(FPending);
  FPending.clear();
  if (written.Failed())
    throw brv::EbrvObject(written.Status, FFilename + u": cannot write the log: " + Reason(written.Status));
}

TMoveLog ReadMoveLog(const std::u16string& Filename) {
  std::string bytes;
  const brv::platform::TbrvFileResult read = brv::platform::ReadFileBytes(Filename, bytes);
  if (read.Failed()) throw brv::EbrvObject(read.Status, Filename + u": cannot read the log: " + Reason(read.Status));
  TMoveLog log;
  size_t number = 0;
  for (size_t start = 0; start < bytes.size();) {
    size_t end = bytes.find('\n', start);
    const bool unfinished = end == std::string::npos;
    if (unfinished) end = bytes.size();
    std::string_view text(bytes.data() + start, end - start);
    start = end + 1;
    ++number;
    if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
    if (text.find_first_not_of(" \t") == std::string_view::npos) continue;
    const std::u16string where = Filename + u":" + Utf16(std::to_string(number)) + u": ";
    try {
      const json object = json::parse(text);
      if (!object.is_object()) throw TBadLine{"it is not a JSON object"};
      const std::u16string type = Text(object, "type");
      if (type == u"run") log.Runs.push_back(RunOf(object));
      if (type == u"move") log.Moves.push_back(MoveOf(object));
    } catch (const json::exception& e) {
      if (unfinished) {
        log.CutShort = true;
        break;
      }
      throw brv::EbrvObject(brv::kE_FAIL, where + u"not a line of a move log: " + Utf16(e.what()));
    } catch (const TBadLine& bad) {
      if (unfinished) {
        log.CutShort = true;
        break;
      }
      throw brv::EbrvObject(brv::kE_FAIL, where + u"not a line of a move log: " + Utf16(bad.Reason));
    }
  }
  return log;
}

}  // namespace sortwise_tool
