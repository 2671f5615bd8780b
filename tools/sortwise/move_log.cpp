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

// Appends Text as a JSON string. Printable ASCII other than the quote and the backslash stands
// as it is; a text with anything else nlohmann escapes.
void AppendText(std::string& Out, const std::u16string& Text) {
  // Two plain loops without early exits: one to see whether the text needs escapes, one to copy.
  bool escapes = false;
  for (const char16_t c : Text) escapes |= (c < 0x20) | (c > 0x7E) | (c == u'"') | (c == u'\\');
  if (escapes) {
    Out += json(Utf8(Text)).dump(-1, ' ', false, json::error_handler_t::replace);
    return;
  }
  const size_t start = Out.size();
  Out.resize(start + Text.size() + 2);
  char* out = Out.data() + start;
  *out++ = '"';
  for (const char16_t c : Text) *out++ = static_cast<char>(c);
  *out = '"';
}

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
// every text (its escapes), and the folders, few and repeated, are written once each.
void TMoveLogWriter::Write(const TLogMove& Move) {
  const auto now = std::chrono::steady_clock::now();
  if (FPending.empty()) FPendingSince = now;
  if (Move.Run != FRun) {
    FRun = Move.Run;
    FRunText.clear();
    AppendText(FRunText, Move.Run);
  }
  std::string& line = FPending;
  line += "{\"type\":\"move\",\"run\":";
  line += FRunText;
  line += ",\"subject\":";
  AppendText(line, Move.Subject);
  line += ",\"sender\":";
  AppendText(line, Move.Sender);
  line += ",\"from\":";
  line += PlaceText(Move.From);
  line += ",\"to\":";
  line += PlaceText(Move.To);
  line += ",\"entry_id\":";
  AppendText(line, Move.EntryID);
  if (!Move.Undoes.empty()) {
    line += ",\"undoes\":";
    AppendText(line, Move.Undoes);
  }
  line += "}\n";
  if (FPending.size() >= kFlushBytes || now - FPendingSince >= kFlushAfter) Flush();
}

bool TMoveLogWriter::TSameText::operator()(const std::u16string& L, const std::u16string& R) const {
  return L.size() == R.size() && std::memcmp(L.data(), R.data(), L.size() * sizeof(char16_t)) == 0;
}

const std::string& TMoveLogWriter::PlaceText(const TLogPlace& Place) {
  const TSameText same;
  auto& [place, text] = FPlaces[Place.EntryID];
  if (text.empty() || !same(place.Path, Place.Path) || !same(place.StoreID, Place.StoreID)) {
    if (FPlaces.size() > kPlacesKept) {
      // Some other Outlook's folders by the thousand: start afresh rather than grow.
      FPlaces.clear();
      return PlaceText(Place);
    }
    place = Place;
    text = Line(PlaceJson(Place));
    // Line ends in a line break, which a folder inside a line does without.
    text.pop_back();
  }
  return text;
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
