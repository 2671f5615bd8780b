// The interfaces of outlook.h over Outlook's IDispatch objects.
#include "host/outlook_dispatch.h"

#include <memory>
#include <utility>

#include "foundation/exception.h"
#include "host/outlook_dispatch_call.h"

namespace outlook {
namespace {

using dispatch::TKind;
using dispatch::TMemberIds;

// What every adapter object holds: the object, its kind and its application's member ids.
class TBound {
 public:
  TBound(brv::TComPtr<IDispatch> Object, TKind Kind, std::shared_ptr<TMemberIds> Ids)
      : FObject(std::move(Object)), FKind(Kind), FIds(std::move(Ids)) {}

  IDispatch* Object() const { return FObject.get(); }

 protected:
  // A property read or a method call that gives a value.
  brv::TVariant Get(std::u16string_view Name, std::span<brv::TVariant> Args = {}) {
    return dispatch::Invoke(FObject.get(), FIds->Get(FObject.get(), FKind, Name),
                            DISPATCH_PROPERTYGET | DISPATCH_METHOD, Args);
  }
  void Call(std::u16string_view Name, std::span<brv::TVariant> Args) {
    dispatch::Invoke(FObject.get(), FIds->Get(FObject.get(), FKind, Name), DISPATCH_METHOD, Args);
  }
  std::u16string GetText(std::u16string_view Name) { return dispatch::ToText(Get(Name).get()); }
  bool GetBool(std::u16string_view Name) { return dispatch::ToBool(Get(Name).get()); }
  TOleDate GetDate(std::u16string_view Name) { return dispatch::ToDate(Get(Name).get()); }

  // The object that Name gives, wrapped as T; Nothing gives null.
  template <class T>
  Ref<T> GetObject(std::u16string_view Name, std::span<brv::TVariant> Args = {}) {
    brv::TComPtr<IDispatch> object = dispatch::ToObject(Get(Name, Args).get());
    if (!object) return nullptr;
    return std::make_shared<T>(std::move(object), FIds);
  }

  const std::shared_ptr<TMemberIds>& Ids() const { return FIds; }

 private:
  brv::TComPtr<IDispatch> FObject;
  TKind FKind;
  std::shared_ptr<TMemberIds> FIds;
};

class TDispExchangeUser final : public ExchangeUser, public TBound {
 public:
  TDispExchangeUser(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : TBound(std::move(Object), TKind::ExchangeUser, std::move(Ids)) {}
  std::u16string PrimarySmtpAddress() override { return GetText(u"PrimarySmtpAddress"); }
};

class TDispAddressEntry final : public AddressEntry, public TBound {
 public:
  TDispAddressEntry(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : TBound(std::move(Object), TKind::AddressEntry, std::move(Ids)) {}
  Ref<ExchangeUser> GetExchangeUser() override { return GetObject<TDispExchangeUser>(u"GetExchangeUser"); }
};

class TDispUserProperty final : public UserProperty, public TBound {
 public:
  TDispUserProperty(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : TBound(std::move(Object), TKind::UserProperty, std::move(Ids)) {}
  std::u16string ValueText() override { return GetText(u"Value"); }
};

class TDispUserProperties final : public UserProperties, public TBound {
 public:
  TDispUserProperties(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : TBound(std::move(Object), TKind::UserProperties, std::move(Ids)) {}
  Ref<UserProperty> Find(std::u16string_view Name, bool Custom) override {
    brv::TVariant args[] = {dispatch::TextArg(Name), dispatch::BoolArg(Custom)};
    return GetObject<TDispUserProperty>(u"Find", args);
  }
};

// The subject of an item of any kind: read by name, its member id not remembered.
std::u16string SubjectOf(IDispatch* Item) {
  return dispatch::ToText(dispatch::Invoke(Item, dispatch::LookUpMember(Item, u"Subject"),
                                           DISPATCH_PROPERTYGET | DISPATCH_METHOD)
                              .get());
}

class TDispMailItem final : public _MailItem, public TBound, public std::enable_shared_from_this<TDispMailItem> {
 public:
  TDispMailItem(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : TBound(std::move(Object), TKind::MailItem, std::move(Ids)) {}

  Ref<_MailItem> QueryMailItem() override { return shared_from_this(); }
  std::u16string Subject() override { return GetText(u"Subject"); }
  bool IsMarkedAsTask() override { return GetBool(u"IsMarkedAsTask"); }
  bool UnRead() override { return GetBool(u"UnRead"); }
  TOleDate TaskCompletedDate() override { return GetDate(u"TaskCompletedDate"); }
  TOleDate ReceivedTime() override { return GetDate(u"ReceivedTime"); }
  std::u16string SenderEmailType() override { return GetText(u"SenderEmailType"); }
  std::u16string SenderEmailAddress() override { return GetText(u"SenderEmailAddress"); }
  Ref<AddressEntry> Sender() override { return GetObject<TDispAddressEntry>(u"Sender"); }
  Ref<outlook::UserProperties> UserProperties() override {
    return GetObject<TDispUserProperties>(u"UserProperties");
  }
  void Move(MAPIFolder& Folder) override {
    IDispatch* target = DispatchOf(Folder);
    if (target == nullptr) throw brv::EbrvObject(brv::kE_INVALIDARG, u"The target is not a folder of this Outlook");
    brv::TVariant args[] = {dispatch::ObjectArg(target)};
    Call(u"Move", args);
  }
};

class TDispItem final : public ItemObject {
 public:
  TDispItem(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : FObject(std::move(Object)), FIds(std::move(Ids)) {}

  Ref<_MailItem> QueryMailItem() override {
    brv::TComPtr<IDispatch> mail;
    const HRESULT hr = FObject->QueryInterface(IID__MailItem, mail.put_void());
    if (FAILED(hr)) throw brv::EbrvObject(hr);
    return std::make_shared<TDispMailItem>(std::move(mail), FIds);
  }
  std::u16string Subject() override { return SubjectOf(FObject.get()); }

 private:
  brv::TComPtr<IDispatch> FObject;
  std::shared_ptr<TMemberIds> FIds;
};

class TDispItems final : public _Items, public TBound {
 public:
  TDispItems(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : TBound(std::move(Object), TKind::Items, std::move(Ids)) {}
  int32_t Count() override { return dispatch::ToInt(Get(u"Count").get()); }
  Ref<ItemObject> Item(int32_t Index) override {
    brv::TVariant args[] = {dispatch::IntArg(Index)};
    return GetObject<TDispItem>(u"Item", args);
  }
};

class TDispFolder final : public MAPIFolder, public TBound {
 public:
  TDispFolder(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : TBound(std::move(Object), TKind::Folder, std::move(Ids)) {}
  std::u16string StoreID() override { return GetText(u"StoreID"); }
  std::u16string EntryID() override { return GetText(u"EntryID"); }
  std::u16string Name() override { return GetText(u"Name"); }
  std::u16string FolderPath() override { return GetText(u"FolderPath"); }
  Ref<_Items> Items() override { return GetObject<TDispItems>(u"Items"); }
};

class TDispNameSpace final : public _NameSpace, public TBound {
 public:
  TDispNameSpace(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : TBound(std::move(Object), TKind::NameSpace, std::move(Ids)) {}
  std::u16string CurrentProfileName() override { return GetText(u"CurrentProfileName"); }
  Ref<MAPIFolder> GetDefaultFolder(int32_t FolderType) override {
    brv::TVariant args[] = {dispatch::IntArg(FolderType)};
    return GetObject<TDispFolder>(u"GetDefaultFolder", args);
  }
  Ref<MAPIFolder> GetFolderFromID(const std::u16string& EntryID, const std::u16string& StoreID) override {
    brv::TVariant args[] = {dispatch::TextArg(EntryID), dispatch::TextArg(StoreID)};
    return GetObject<TDispFolder>(u"GetFolderFromID", args);
  }
  Ref<MAPIFolder> PickFolder() override { return GetObject<TDispFolder>(u"PickFolder"); }
};

class TDispApplication final : public _Application, public TBound {
 public:
  TDispApplication(brv::TComPtr<IDispatch> Object, std::shared_ptr<TMemberIds> Ids)
      : TBound(std::move(Object), TKind::Application, std::move(Ids)) {}
  Ref<_NameSpace> Session() override { return GetObject<TDispNameSpace>(u"Session"); }
};

}  // namespace

Ref<_Application> WrapApplication(IDispatch* Application) {
  if (Application == nullptr) return nullptr;
  return std::make_shared<TDispApplication>(brv::TComPtr<IDispatch>::Copy(Application),
                                            std::make_shared<TMemberIds>());
}

IDispatch* DispatchOf(MAPIFolder& Folder) {
  auto* folder = dynamic_cast<TDispFolder*>(&Folder);
  return folder != nullptr ? folder->Object() : nullptr;
}

}  // namespace outlook
