// sortwise check: loads a configuration file and reports what its user should know about it,
// and with --outlook what the running Outlook no longer has of it.
#include <memory>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/outlook_busy.h"
#include "platform/locale.h"
#include "platform/number_format.h"
#include "platform/xml.h"
#include "sorting/entry_index.h"
#include "sorting/number.h"
#include "sorting/sortwise.h"
#include "sorting/strings.h"
#include "sources.h"
#include "ui/main_presenter.h"

namespace sortwise_tool {

const char16_t kCheckHelp[] =
    u"usage: sortwise check FILE [--normalize OUT]\n"
    u"       sortwise check --outlook [FILE | --config FILE | --profile NAME] [--normalize OUT]\n"
    u"\n"
    u"Loads a configuration file and reports, one per line: wildcard entries without filters,\n"
    u"the same address twice in one folder, entries that can never be reached, folders without\n"
    u"entries, stores without folders, settings Sortwise does not know, switches whose text reads\n"
    u"as False without being \"False\" (such as \"yes\"), an \"Auto.Filter\" that is not a\n"
    u"whole number the add-in reads (-2147483648 to 2147483647), and entries that the rule editor\n"
    u"would change when one edits them (deletes the entry and adds its line back): a value holding\n"
    u"a double quote, an address holding a blank, a filter name holding \":\" or blanks at either end.\n"
    u"With --outlook it also reports target folders that the running Outlook no longer has (the\n"
    u"rule editor can neither show nor remove those); without a FILE it checks the rules the\n"
    u"add-in keeps for Outlook's current profile, or for --profile NAME.\n"
    u"\n"
    u"  --outlook        also check the target folders against the running Outlook (Windows)\n"
    u"  --config FILE    the configuration file, as FILE\n"
    u"  --profile NAME   with --outlook and no FILE: the rules the add-in keeps for that profile\n"
    u"  --normalize OUT  write what was loaded to OUT, as the add-in would save it\n"
    u"\n"
    u"Exit codes: 0 nothing to report, 1 problems found, 2 bad usage or unreadable input.";

namespace {

const std::u16string_view kKnownSettings[] = {swo::kIgnoreUnmarked, swo::kDoOnlyRead, swo::kDoOnlyComplete,
                                              swo::kAutoEnabled, swo::kAutoFilter};
const std::u16string_view kSwitches[] = {swo::kIgnoreUnmarked, swo::kDoOnlyRead, swo::kDoOnlyComplete,
                                         swo::kAutoEnabled};

// One report per line, however long or odd the text: cut, with line breaks shown as \n.
std::u16string Quoted(std::u16string_view Text) { return brv::platform::QuotedForMessage(Text); }

bool IsSwitch(std::u16string_view Name) {
  for (const std::u16string_view key : kSwitches)
    if (brv::platform::LocaleCompareText(Name, key) == 0) return true;
  return false;
}

// What a switch's text reads as besides a number (true when not zero) and "True" or "False" in
// any case: False, whatever the writer meant by "yes", "on" or " True".
bool ReadsAsFalseUnasked(std::u16string_view Text) {
  return !swo::TextToNumber(Text, brv::platform::LocaleDecimalSeparator()) && !brv::SameText(Text, u"True") &&
         !brv::SameText(Text, u"False");
}

std::u16string FolderName(const swo::TSwoFolder& Folder) { return u"folder " + Quoted(Folder.Name()); }

void CheckSettings(const swo::TSwoConfig& Config, std::vector<std::u16string>& Problems) {
  for (int32_t i = 0; i < Config.Count(); ++i) {
    const std::u16string name = Config.Lines().GetName(i);
    bool known = false;
    for (const std::u16string_view key : kKnownSettings) known = known || brv::platform::LocaleCompareText(name, key) == 0;
    if (!known) Problems.push_back(u"setting " + Quoted(name) + u" is not one Sortwise uses");
    const std::u16string value = Config.Lines().GetValueFromIndex(i);
    if (IsSwitch(name) && ReadsAsFalseUnasked(value))
      Problems.push_back(u"setting " + Quoted(name) + u" is " + Quoted(value) +
                         u", which Sortwise reads as False");
  }
  // Read as the automatic clean-up reads it: a number beyond its range fails that run as text does.
  const std::u16string filter = Config.GetValue(swo::kAutoFilter);
  if (!filter.empty() && !swo::TextToInteger(filter))
    Problems.push_back(u"setting \"Auto.Filter\" is " + Quoted(filter) + u", not a whole number of days");
}

void CheckFolders(const swo::TSortwise& Sorter, std::vector<std::u16string>& Problems) {
  for (int32_t s = 0; s < Sorter.Count(); ++s) {
    const swo::TSwoStore& store = *Sorter.GetItem(s);
    if (store.Count() == 0) Problems.push_back(u"store " + Quoted(store.Id()) + u" has no target folders");
    for (int32_t f = 0; f < store.Count(); ++f) {
      const swo::TSwoFolder& folder = *store.GetItem(f);
      if (folder.Count() == 0) Problems.push_back(FolderName(folder) + u" has no address entries");
      for (int32_t e = 0; e < folder.Count(); ++e) {
        const swo::TSwoEntry& entry = *folder.GetItem(e);
        if (entry.Address() == u"*" && entry.Count() == 0)
          Problems.push_back(FolderName(folder) + u": the wildcard entry \"*\" has no filters and takes every mail no other entry accepts");
        // The list is sorted by address ignoring the case of A-Z: repeats stand together.
        if (e > 0 && brv::platform::LocaleCompareText(folder.GetItem(e - 1)->Address(), entry.Address()) == 0 &&
            (e < 2 || brv::platform::LocaleCompareText(folder.GetItem(e - 2)->Address(), entry.Address()) != 0))
          Problems.push_back(FolderName(folder) + u": the address " + Quoted(entry.Address()) + u" appears more than once");
      }
    }
  }
}

// The run tries the entries of one address in index order and stops at the first that accepts:
// behind an entry without filters, the entries of the same address are never asked.
void CheckReachability(const swo::TSortwise& Sorter, std::vector<std::u16string>& Problems) {
  swo::TSwoEntryIndex index;
  Sorter.GetEntryList(index);
  const swo::TSwoEntry* catchAll = nullptr;
  for (int32_t i = 0; i < index.Count(); ++i) {
    if (i > 0 && !brv::SameText(index.Strings(i - 1), index.Strings(i))) catchAll = nullptr;
    const swo::TSwoEntry& entry = *index.Objects(i);
    if (catchAll != nullptr) {
      const auto* folder = dynamic_cast<const swo::TSwoFolder*>(entry.Owner());
      const auto* first = dynamic_cast<const swo::TSwoFolder*>(catchAll->Owner());
      Problems.push_back(FolderName(*folder) + u": the entry " + Quoted(entry.Address()) +
                         u" is never reached; the entry " + Quoted(catchAll->Address()) + u" of " +
                         FolderName(*first) + u" has no filters and is tried first");
    } else if (entry.Count() == 0) {
      catchAll = &entry;
    }
  }
}

// Why an entry's line does not carry the entry, as far as the line's rules tell.
std::u16string WhyTheLineFails(const swo::TSwoEntry& Entry) {
  std::vector<std::u16string> reasons;
  if (Entry.Address().find(u' ') != std::u16string::npos) reasons.push_back(u"the address holds a blank");
  for (int32_t i = 0; i < Entry.Count(); ++i) {
    const std::u16string name = Entry.GetName(i);
    if (name.find(u':') != std::u16string::npos) reasons.push_back(u"the filter name " + Quoted(name) + u" holds \":\"");
    if (!name.empty() && (name.front() == u' ' || name.back() == u' '))
      reasons.push_back(u"the filter name " + Quoted(name) + u" begins or ends with a blank");
    if (Entry.GetValue(std::u16string_view(name)).find(u'"') != std::u16string::npos)
      reasons.push_back(u"the value of " + Quoted(name) + u" holds a double quote");
  }
  if (reasons.empty()) return u"its line does not carry it";
  std::u16string text = reasons.front();
  for (size_t i = 1; i < reasons.size(); ++i) text += u", " + reasons[i];
  return text;
}

// The entry line of an address and its pairs, as the editor would show the entry it made.
std::u16string LineOf(const std::u16string& Address, const swo::TStrings& Pairs) {
  std::u16string line = Address;
  for (int32_t i = 0; i < Pairs.Count(); ++i) {
    line += u' ';
    line += Pairs.GetName(i);
    line += u":\"";
    line += Pairs.GetValueFromIndex(i);
    line += u'"';
  }
  return line;
}

bool Carries(const swo::TSwoEntry& Entry, const std::u16string& Address, const swo::TStrings& Pairs) {
  if (Address != Entry.Address() || Pairs.Count() != Entry.Count()) return false;
  for (int32_t i = 0; i < Pairs.Count(); ++i)
    if (Pairs.GetName(i) != Entry.GetName(i) || Pairs.GetValueFromIndex(i) != Entry.GetValue(i)) return false;
  return true;
}

// The rule editor edits an entry by deleting it and adding its entry line back: an entry that
// its line cannot carry (only a hand-written file holds one) changes on the way.
void CheckEntryLines(const swo::TSortwise& Sorter, std::vector<std::u16string>& Problems) {
  for (int32_t s = 0; s < Sorter.Count(); ++s) {
    const swo::TSwoStore& store = *Sorter.GetItem(s);
    for (int32_t f = 0; f < store.Count(); ++f) {
      const swo::TSwoFolder& folder = *store.GetItem(f);
      for (int32_t e = 0; e < folder.Count(); ++e) {
        const swo::TSwoEntry& entry = *folder.GetItem(e);
        // A wildcard without filters has its own report; the editor refuses it as it stands.
        if (entry.Address() == u"*" && entry.Count() == 0) continue;
        const std::u16string line = swo::TMainPresenter::FormatEntry(entry);
        std::u16string address;
        swo::TStrings pairs;
        std::u16string outcome;
        try {
          swo::TMainPresenter::ReadEntryLine(line, address, pairs);
          if (Carries(entry, address, pairs)) continue;
          outcome = u"comes back as " + Quoted(LineOf(address, pairs));
        } catch (const brv::Exception& error) {
          outcome = u"is refused: " + Quoted(error.Message());
        }
        Problems.push_back(FolderName(folder) + u": the entry " + Quoted(entry.Address()) +
                           u" changes when edited in the rule editor (" + WhyTheLineFails(entry) + u"): its line " +
                           Quoted(line) + u" " + outcome);
      }
    }
  }
}

// A registered folder that Outlook no longer has stays in the rules: the editor lists only the
// folders it can open, so the user could neither see nor remove it there.
void CheckOutlookFolders(swo::TSortwise& Sorter, std::vector<std::u16string>& Problems) {
  for (int32_t s = 0; s < Sorter.Count(); ++s) {
    swo::TSwoStore& store = *Sorter.GetItem(s);
    for (int32_t f = 0; f < store.Count(); ++f) {
      swo::TSwoFolder& folder = *store.GetItem(f);
      try {
        folder.Object_();
      } catch (const outlook::EOutlookBusy&) {
        throw;
      } catch (const brv::EbrvObject& error) {
        Problems.push_back(FolderName(folder) + u" of store " + Quoted(store.Id()) +
                           u" is not in Outlook any more (" + Quoted(error.Message()) +
                           u"); the rule editor can neither show nor remove it");
      }
    }
  }
}

// The configuration file: FILE or --config FILE; with --outlook and neither, the add-in's file of
// the profile.
std::u16string RulesFile(const TArguments& Args, TMailSource* Outlook) {
  if (Args.Positional().size() > 1) throw TUsageError{u"give exactly one configuration FILE"};
  const std::u16string given = Args.Positional().empty() ? std::u16string() : Args.Positional().front();
  const std::u16string config = Args.Value(u"--config"), profile = Args.Value(u"--profile");
  if (!given.empty() && !config.empty()) throw TUsageError{u"give the configuration FILE or --config FILE, not both"};
  if (!profile.empty() && Outlook == nullptr) throw TUsageError{u"--profile NAME goes with --outlook"};
  if (!profile.empty() && (!given.empty() || !config.empty()))
    throw TUsageError{u"give a configuration FILE or --profile NAME, not both"};
  if (!given.empty() || !config.empty()) return !given.empty() ? given : config;
  if (Outlook == nullptr) throw TUsageError{u"give exactly one configuration FILE"};
  return ProfileRulesFile(!profile.empty() ? profile : Outlook->Application()->Session()->CurrentProfileName());
}

}  // namespace

int CheckCommand(const std::vector<std::u16string>& Args) {
  const TArguments args(Args, {u"--outlook"}, {std::begin(kCheckValueOptions), std::end(kCheckValueOptions)});
  // Usage first: nothing is connected to for a command that cannot run.
  if (!args.Has(u"--outlook")) (void)RulesFile(args, nullptr);
  // The source outlives the sorter and every Outlook object the check reaches.
  const std::unique_ptr<TMailSource> outlook = args.Has(u"--outlook") ? ConnectOutlook() : nullptr;
  const std::u16string rules = RulesFile(args, outlook.get());
  const std::unique_ptr<swo::TSortwise> sorter(swo::TSortwise::Create());
  sorter->Load(rules);
  if (outlook) {
    PrintLine(u"rules file: " + rules);
    sorter->SetApplication_(outlook->Application());
  }

  std::vector<std::u16string> problems;
  CheckSettings(sorter->Config(), problems);
  CheckFolders(*sorter, problems);
  CheckReachability(*sorter, problems);
  CheckEntryLines(*sorter, problems);
  if (outlook) CheckOutlookFolders(*sorter, problems);
  for (const std::u16string& problem : problems) PrintLine(problem);
  if (problems.empty()) PrintLine(u"no problems found");

  if (const std::u16string out = args.Value(u"--normalize"); !out.empty()) sorter->Save(out);
  return problems.empty() ? 0 : 1;
}

}  // namespace sortwise_tool
