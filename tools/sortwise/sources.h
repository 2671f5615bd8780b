// The options that choose what a command works on: the mail (--mailbox FILE or --outlook) and
// the rules (--config FILE, or with --outlook the add-in's rules file of --profile NAME or of
// Outlook's current profile).
#pragma once

#include <memory>
#include <string>

#include "command_line.h"
#include "mail_source.h"

namespace sortwise_tool {

struct TSources {
  std::unique_ptr<TMailSource> Mail;
  // The rules file; empty when the command asked for none.
  std::u16string Rules;
  // The profile the mail belongs to (the mailbox's, or Outlook's current one).
  std::u16string Profile;
};

// Raises TUsageError for --mailbox and --outlook together or neither, --save with --outlook,
// --profile without --outlook or with --config, and (when WithRules) --mailbox without --config.
void CheckSources(const TArguments& Args, bool WithRules);
// CheckSources, then opens the mailbox or connects to Outlook.
TSources OpenSources(const TArguments& Args, bool WithRules);

// Where the add-in keeps the rules of Profile: its file, or where only the name an earlier
// version gave it is there, that one.
std::u16string ProfileRulesFile(const std::u16string& Profile);

}  // namespace sortwise_tool
