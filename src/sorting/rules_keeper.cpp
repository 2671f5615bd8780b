#include "sorting/rules_keeper.h"

#include <exception>
#include <vector>

#include "foundation/exception.h"
#include "platform/environment.h"
#include "platform/file.h"
#include "platform/path.h"
#include "sorting/rules_file.h"
#include "sorting/sortwise.h"

namespace swo {
namespace {

std::u16string FolderOf(const std::u16string& Filename) {
  const size_t separator = Filename.find_last_of(u"\\/");
  return separator == std::u16string::npos ? std::u16string() : Filename.substr(0, separator);
}

// The folders a recovery copy may go to, best first; a variable that is not set gives none.
std::vector<std::u16string> RecoveryFolders() {
  std::vector<std::u16string> folders;
  for (const std::u16string_view variable : {u"LocalAppData", u"TEMP", u"TMP"}) {
    // Built by appending: "%" + text trips GCC 12's -Wrestrict false alarm in Release builds.
    std::u16string reference(1, u'%');
    reference += variable;
    reference += u'%';
    const std::u16string value = brv::platform::ExpandEnvironmentText(reference);
    if (value.empty() || value == reference) continue;
    folders.push_back(variable == u"LocalAppData" ? value + u"\\Brevanta\\Sortwise" : value);
  }
  return folders;
}

void CreateFolderOf(const std::u16string& Filename) {
  const std::u16string folder = FolderOf(Filename);
  // Whether it worked shows when the file is written, with the reason for that file.
  if (!folder.empty()) brv::platform::CreateFolders(folder);
}

}  // namespace

TSwoRulesKeeper::TSwoRulesKeeper(const std::u16string& Profile)
    : FStem(RulesFileStem(Profile)),
      FFilename(RulesFileName(Profile)),
      FSource(RulesFileToRead(Profile, brv::platform::FileExists)) {}

std::unique_ptr<TSortwise> TSwoRulesKeeper::Load() {
  std::unique_ptr<TSortwise> sorter(TSortwise::Create());
  if (!brv::platform::FileExists(FSource)) return sorter;
  try {
    sorter->Load(FSource);
  } catch (const brv::Exception& E) {
    FLoadFailure = E.Message().empty() ? u"The rules file " + FSource + u" cannot be read" : E.Message();
    throw;
  }
  return sorter;
}

void TSwoRulesKeeper::Save(const TSortwise& Sorter) {
  if (!FLoadFailure.empty())
    throw ESortwise(brv::kE_FAIL, u"The rules are not saved: " + FSource + u" could not be read at start-up, and Sortwise "
                             u"never writes over it");
  FSaveFailed = true;
  CreateFolderOf(FFilename);
  Sorter.Save(FFilename);
  FSaveFailed = false;
}

TSwoRulesKeeper::TSaveOutcome TSwoRulesKeeper::SaveOrKeepCopy(const TSortwise& Sorter, std::u16string_view Time) {
  TSaveOutcome outcome;
  try {
    Save(Sorter);
    return outcome;
  } catch (const brv::Exception& E) {
    outcome.SaveFailure = E.Message();
  }
  try {
    outcome.Copy = SaveRecoveryCopy(Sorter, Time);
  } catch (const brv::Exception& E) {
    outcome.CopyFailure = E.Message();
  }
  return outcome;
}

std::u16string TSwoRulesKeeper::SaveRecoveryCopy(const TSortwise& Sorter, std::u16string_view Time) const {
  std::exception_ptr failure;
  for (const std::u16string& folder : RecoveryFolders()) {
    const std::u16string name = folder + u"\\" + FStem + u" (recovered " + std::u16string(Time) + u").xml";
    try {
      brv::platform::CreateFolders(folder);
      Sorter.Save(name);
      return name;
    } catch (const brv::Exception&) {
      failure = std::current_exception();
    }
  }
  if (failure) std::rethrow_exception(failure);
  throw ESortwise(brv::kE_FAIL, u"There is no folder for a recovery copy (neither %LocalAppData% nor %TEMP% is set)");
}

}  // namespace swo
