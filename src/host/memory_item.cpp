// Items of the substitute store and the small objects they hand out (sender, Exchange user,
// user properties).
#include "foundation/text.h"
#include "host/memory_shared.h"
#include "host/memory_store.h"

namespace outlook {
namespace {

constexpr std::u16string_view kFixedNames[] = {
    u"Subject",    u"SenderEmailType", u"SenderEmailAddress", u"SenderName",
    u"UnRead",     u"IsMarkedAsTask",  u"TaskCompletedDate",  u"ReceivedTime",
    u"Categories", u"EntryID",         u"MessageClass"};

// The fixed field of that name as a value.
std::optional<TMemoryValue> FixedProperty(const TMemoryItemData& Data, std::u16string_view Name) {
  const auto is = [&](std::u16string_view Fixed) { return brv::SameText(Name, Fixed); };
  if (is(u"Subject")) return TMemoryValue::Text(Data.Subject);
  if (is(u"SenderEmailType")) return TMemoryValue::Text(Data.Sender.Type);
  if (is(u"SenderEmailAddress")) return TMemoryValue::Text(Data.Sender.Address);
  if (is(u"SenderName")) return TMemoryValue::Text(Data.Sender.Name);
  if (is(u"UnRead")) return TMemoryValue::Boolean(Data.UnRead);
  if (is(u"IsMarkedAsTask")) return TMemoryValue::Boolean(Data.IsMarkedAsTask);
  if (is(u"TaskCompletedDate")) return TMemoryValue::Date(Data.TaskCompletedDate);
  if (is(u"ReceivedTime")) return TMemoryValue::Date(Data.ReceivedTime);
  if (is(u"Categories")) return TMemoryValue::Text(Data.Categories);
  if (is(u"EntryID")) return TMemoryValue::Text(Data.EntryID);
  if (is(u"MessageClass")) return TMemoryValue::Text(std::u16string(MessageClassOf(Data.Kind)));
  return std::nullopt;
}

const TMemoryProperty* FindIn(const std::vector<TMemoryProperty>& List, std::u16string_view Name) {
  for (const auto& property : List)
    if (brv::SameText(property.Name, Name)) return &property;
  return nullptr;
}

class TMemoryExchangeUser final : public ExchangeUser {
 public:
  explicit TMemoryExchangeUser(Ref<TMemoryItem> Item) : FItem(std::move(Item)) {}
  std::u16string PrimarySmtpAddress() override {
    FItem->Enter(TMemoryCall::ExchangeUserPrimarySmtpAddress);
    return FItem->Data().Sender.ExchangeUser.value_or(std::u16string());
  }

 private:
  Ref<TMemoryItem> FItem;
};

class TMemoryAddressEntry final : public AddressEntry {
 public:
  explicit TMemoryAddressEntry(Ref<TMemoryItem> Item) : FItem(std::move(Item)) {}
  Ref<ExchangeUser> GetExchangeUser() override {
    FItem->Enter(TMemoryCall::AddressEntryGetExchangeUser);
    if (!FItem->Data().Sender.ExchangeUser) return nullptr;
    return std::make_shared<TMemoryExchangeUser>(FItem);
  }

 private:
  Ref<TMemoryItem> FItem;
};

class TMemoryUserProperty final : public UserProperty {
 public:
  TMemoryUserProperty(Ref<TMemoryItem> Item, std::u16string Name, TMemoryValue Value)
      : FItem(std::move(Item)), FName(std::move(Name)), FValue(std::move(Value)) {}
  std::u16string ValueText() override {
    FItem->Enter(TMemoryCall::UserPropertyValueText);
    return FValue.ToText(FName);
  }

 private:
  Ref<TMemoryItem> FItem;
  std::u16string FName;
  TMemoryValue FValue;
};

class TMemoryUserProperties final : public UserProperties {
 public:
  explicit TMemoryUserProperties(Ref<TMemoryItem> Item) : FItem(std::move(Item)) {}
  Ref<UserProperty> Find(std::u16string_view Name, bool Custom) override {
    FItem->Enter(TMemoryCall::UserPropertiesFind);
    auto value = FItem->FindProperty(Name, Custom);
    if (!value) return nullptr;
    return std::make_shared<TMemoryUserProperty>(FItem, std::u16string(Name), std::move(*value));
  }

 private:
  Ref<TMemoryItem> FItem;
};

}  // namespace

std::u16string_view MessageClassOf(TMemoryItemKind Kind) {
  switch (Kind) {
    case TMemoryItemKind::Mail:
      return u"IPM.Note";
    case TMemoryItemKind::MeetingRequest:
      return u"IPM.Schedule.Meeting.Request";
    case TMemoryItemKind::Report:
      return u"REPORT.IPM.Note.NDR";
  }
  return {};
}

int32_t ObjectClassOf(TMemoryItemKind Kind) {
  switch (Kind) {
    case TMemoryItemKind::Mail:
      return olMail;
    case TMemoryItemKind::MeetingRequest:
      return 53;
    case TMemoryItemKind::Report:
      return 46;
  }
  return 0;
}

bool IsFixedPropertyName(std::u16string_view Name) {
  for (const auto fixed : kFixedNames)
    if (brv::SameText(Name, fixed)) return true;
  return false;
}

TMemoryItem::TMemoryItem(std::shared_ptr<TMemoryShared> Shared, TMemoryItemData Data)
    : FShared(std::move(Shared)), FData(std::move(Data)) {}

std::optional<TMemoryValue> TMemoryItem::FindProperty(std::u16string_view Name, bool Custom) const {
  if (const auto* custom = FindIn(FData.Custom, Name)) return custom->Value;
  if (Custom) return std::nullopt;
  if (auto fixed = FixedProperty(FData, Name)) return fixed;
  if (const auto* builtIn = FindIn(FData.BuiltIn, Name)) return builtIn->Value;
  return std::nullopt;
}

void TMemoryItem::Enter(TMemoryCall Call) const { FShared->Probe.Enter(Call, this); }

void TMemoryItem::EnterMail(TMemoryCall Call) const {
  Enter(Call);
  if (FData.Kind != TMemoryItemKind::Mail)
    RaiseMemoryError(brv::kE_NOINTERFACE, u"No such interface supported: the item is a " +
                                              std::u16string(MessageClassOf(FData.Kind)) +
                                              u", not a mail item");
}

Ref<_MailItem> TMemoryItem::QueryMailItem() {
  EnterMail(TMemoryCall::ItemQueryMailItem);
  return shared_from_this();
}

std::u16string TMemoryItem::Subject() {
  Enter(TMemoryCall::ItemSubject);
  return FData.Subject;
}

int32_t TMemoryItem::Class() {
  Enter(TMemoryCall::ItemClass);
  return ObjectClassOf(FData.Kind);
}

bool TMemoryItem::IsMarkedAsTask() {
  EnterMail(TMemoryCall::MailItemIsMarkedAsTask);
  return FData.IsMarkedAsTask;
}

bool TMemoryItem::UnRead() {
  EnterMail(TMemoryCall::MailItemUnRead);
  return FData.UnRead;
}

TOleDate TMemoryItem::TaskCompletedDate() {
  EnterMail(TMemoryCall::MailItemTaskCompletedDate);
  return FData.TaskCompletedDate;
}

TOleDate TMemoryItem::ReceivedTime() {
  EnterMail(TMemoryCall::MailItemReceivedTime);
  return FData.ReceivedTime;
}

std::u16string TMemoryItem::SenderEmailType() {
  EnterMail(TMemoryCall::MailItemSenderEmailType);
  return FData.Sender.Type;
}

std::u16string TMemoryItem::SenderEmailAddress() {
  EnterMail(TMemoryCall::MailItemSenderEmailAddress);
  return FData.Sender.Address;
}

Ref<AddressEntry> TMemoryItem::Sender() {
  EnterMail(TMemoryCall::MailItemSender);
  if (FData.Sender.Type.empty()) return nullptr;
  return std::make_shared<TMemoryAddressEntry>(shared_from_this());
}

Ref<outlook::UserProperties> TMemoryItem::UserProperties() {
  EnterMail(TMemoryCall::MailItemUserProperties);
  return std::make_shared<TMemoryUserProperties>(shared_from_this());
}

std::u16string TMemoryItem::EntryID() {
  Enter(TMemoryCall::ItemEntryID);
  return FData.EntryID;
}

Ref<MAPIFolder> TMemoryItem::Parent() {
  Enter(TMemoryCall::ItemParent);
  return FFolder.lock();
}

Ref<_MailItem> TMemoryItem::Move(MAPIFolder& Folder) {
  EnterMail(TMemoryCall::MailItemMove);
  auto* target = dynamic_cast<TMemoryFolder*>(&Folder);
  if (target == nullptr)
    RaiseMemoryError(brv::kE_INVALIDARG, u"The target is not a folder of the substitute store");
  if (target->Removed())
    RaiseMemoryError(kMAPI_E_NOT_FOUND, u"The target folder " + target->DisplayName() + u" no longer exists");
  const auto source = FFolder.lock();
  auto self = shared_from_this();
  if (source.get() == target) return self;
  if (source) source->ReleaseItem(*this);
  target->TakeItem(self);
  // As strict as the strictest store: the mail in its new folder has a new EntryID, and the
  // old one finds nothing any more.
  FShared->Items.erase(FData.EntryID);
  FData.EntryID = FShared->ClaimId({}, u"00000000AB0E0000");
  FShared->Items[FData.EntryID] = self;
  return self;
}

}  // namespace outlook
