#include "sources.h"

#include "platform/file.h"
#include "sorting/rules_file.h"

namespace sortwise_tool {

std::u16string ProfileRulesFile(const std::u16string& Profile) {
  return swo::RulesFileToRead(Profile, brv::platform::FileExists);
}

void CheckSources(const TArguments& Args, bool WithRules) {
  const std::u16string mailbox = Args.Value(u"--mailbox"), config = Args.Value(u"--config"),
                       profile = Args.Value(u"--profile");
  const bool outlook = Args.Has(u"--outlook");
  if (outlook && !mailbox.empty()) throw TUsageError{u"give --mailbox FILE or --outlook, not both"};
  if (!outlook && mailbox.empty()) throw TUsageError{u"--mailbox FILE (or --outlook) is required"};
  if (outlook && !Args.Value(u"--save").empty())
    throw TUsageError{u"--save FILE goes with --mailbox: Outlook keeps its mail itself"};
  if (!profile.empty() && !outlook) throw TUsageError{u"--profile NAME goes with --outlook"};
  if (!profile.empty() && !config.empty()) throw TUsageError{u"give --config FILE or --profile NAME, not both"};
  if (WithRules && !outlook && config.empty()) throw TUsageError{u"--config FILE is required"};
}

TSources OpenSources(const TArguments& Args, bool WithRules) {
  CheckSources(Args, WithRules);
  const std::u16string config = Args.Value(u"--config"), profile = Args.Value(u"--profile");
  const bool outlook = Args.Has(u"--outlook");
  TSources sources;
  sources.Mail = outlook ? ConnectOutlook() : OpenMailbox(Args.Value(u"--mailbox"));
  sources.Profile = sources.Mail->Application()->Session()->CurrentProfileName();
  if (WithRules) sources.Rules = !config.empty() ? config : ProfileRulesFile(!profile.empty() ? profile : sources.Profile);
  return sources;
}

}  // namespace sortwise_tool
