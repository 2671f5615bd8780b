#include "mail_source.h"

#include "host/memory_store_file.h"

namespace sortwise_tool {
namespace {

class TMailboxSource final : public TMailSource {
 public:
  explicit TMailboxSource(const std::u16string& File) : FFile(File), FMailbox(outlook::LoadMailbox(File)) {}

  outlook::Ref<outlook::_Application> Application() override { return FMailbox->Application(); }
  std::u16string Kind() const override { return u"mailbox"; }
  std::u16string MailboxFile() const override { return FFile; }
  void Save(const std::u16string& File) override { outlook::SaveMailbox(*FMailbox, File); }

 private:
  std::u16string FFile;
  outlook::Ref<outlook::TMemoryOutlook> FMailbox;
};

}  // namespace

std::unique_ptr<TMailSource> OpenMailbox(const std::u16string& File) {
  return std::make_unique<TMailboxSource>(File);
}

}  // namespace sortwise_tool
