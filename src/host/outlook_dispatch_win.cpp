// The interfaces of outlook.h over Outlook's IDispatch objects.
#include "host/outlook_dispatch.h"

#include <memory>
#include <utility>

#include "foundation/exception.h"
#include "host/outlook_dispatch_call.h"
#include "host/outlook_retry_win.h"

namespace outlook {
namespace {

using dispatch::TKind;
using dispatch::TMemberIds;

// What the adapter objects of one application share: the application, the member ids, and
// whether the query for _MailItem was found to fail for mail. Outlook's own interfaces reach
// another apartment only through Office's registered type library; where a damaged Office
// lacks it, or lacks _MailItem in it, the query fails for mail too, and only IDispatch is left.
struct TShared {
  brv::TComPtr<IDispatch> Application;
  TMemberIds Ids;
  bool MailQueryFails = false;
};

// What every adapter object holds: the object, its kind and what its application's objects share.
class TBound {
 public:
  TBound(brv::TComPtr<IDispatch> Object, TKind Kind, std::shared_ptr<TShared> Shared)
      : FObject(std::move(Object)), FKind(Kind), FShared(std::move(Shared)) {}

  IDispatch* Object() const { return FObject.get(); }

 protected:
  // A property read or a method call that gives a value.
  brv::TVariant Get(std::u16string_view Name, std::span<brv::TVariant> Args = {}) {
    return dispatch::Invoke(FObject.get(), FShared->Ids.Get(FObject.get(), FKind, Name),
                            DISPATCH_PROPERTYGET | DISPATCH_METHOD, Args);
  }
  // A method call, with what it answers.
  brv::TVariant Call(std::u16string_view Name, std::span<brv::TVariant> Args) {
    return dispatch::Invoke(FObject.get(), FShared->Ids.Get(FObject.get(), FKind, Name), DISPATCH_METHOD, Args);
  }
  std::u16string GetText(std::u16string_view Name) { return dispatch::ToText(Get(Name).get()); }
  bool GetBool(std::u16string_view Name) { return dispatch::ToBool(Get(Name).get()); }
  TOleDate GetDate(std::u16string_view Name) { return dispatch::ToDate(Get(Name).get()); }
  int32_t GetInt(std::u16string_view Name) { return dispatch::ToInt(Get(Name).get()); }

  // The object that Name gives, wrapped as T; Nothing gives null.
  template <class T>
  Ref<T> GetObject(std::u16string_view Name, std::span<brv::TVariant> Args = {}) {
    return Wrap<T>(Get(Name, Args));
  }
  // The object of Value wrapped as T; Nothing gives null.
  template <class T>
  Ref<T> Wrap(const brv::TVariant& Value) {
    brv::TComPtr<IDispatch> object = dispatch::ToObject(Value.get());
    if (!object) return nullptr;
    return std::make_shared<T>(std::move(object), FShared);
  }

 private:
  brv::TComPtr<IDispatch> FObject;
  TKind FKind;
  std::shared_ptr<TShared> FShared;
};

class TDispExchangeUser final : public ExchangeUser, public TBound {
 public:
  TDispExchangeUser(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : TBound(std::move(Object), TKind::ExchangeUser, std::move(Shared)) {}
  std::u16string PrimarySmtpAddress() override { return GetText(u"PrimarySmtpAddress"); }
};

class TDispAddressEntry final : public AddressEntry, public TBound {
 public:
  TDispAddressEntry(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : TBound(std::move(Object), TKind::AddressEntry, std::move(Shared)) {}
  Ref<ExchangeUser> GetExchangeUser() override { return GetObject<TDispExchangeUser>(u"GetExchangeUser"); }
};

class TDispUserProperty final : public UserProperty, public TBound {
 public:
  TDispUserProperty(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : TBound(std::move(Object), TKind::UserProperty, std::move(Shared)) {}
  std::u16string ValueText() override { return GetText(u"Value"); }
};

class TDispUserProperties final : public UserProperties, public TBound {
 public:
  TDispUserProperties(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : TBound(std::move(Object), TKind::UserProperties, std::move(Shared)) {}
  Ref<UserProperty> Find(std::u16string_view Name, bool Custom) override {
    brv::TVariant args[] = {dispatch::TextArg(Name), dispatch::BoolArg(Custom)};
    return GetObject<TDispUserProperty>(u"Find", args);
  }
};

// A property of an item of any kind: read by name, its member id not remembered.
brv::TVariant ItemProperty(IDispatch* Item, std::u16string_view Name) {
  return dispatch::Invoke(Item, dispatch::LookUpMember(Item, Name), DISPATCH_PROPERTYGET | DISPATCH_METHOD);
}

class TDispFolder;
Ref<MAPIFolder> WrapFolder(brv::TComPtr<IDispatch> Folder, const std::shared_ptr<TShared>& Shared);

class TDispMailItem final : public _MailItem, public TBound, public std::enable_shared_from_this<TDispMailItem> {
 public:
  TDispMailItem(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : TBound(std::move(Object), TKind::MailItem, std::move(Shared)) {}

  Ref<_MailItem> QueryMailItem() override { return shared_from_this(); }
  std::u16string Subject() override { return GetText(u"Subject"); }
  int32_t Class() override { return GetInt(u"Class"); }
  std::u16string EntryID() override { return GetText(u"EntryID"); }
  Ref<MAPIFolder> Parent() override;
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
  // The moved item is a mail as this one is: it is used as one.
  Ref<_MailItem> Move(MAPIFolder& Folder) override {
    IDispatch* target = DispatchOf(Folder);
    if (target == nullptr) throw brv::EbrvObject(brv::kE_INVALIDARG, u"The target is not a folder of this Outlook");
    brv::TVariant args[] = {dispatch::ObjectArg(target)};
    return Wrap<TDispMailItem>(Call(u"Move", args));
  }
};

class TDispItem final : public ItemObject {
 public:
  TDispItem(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : FObject(std::move(Object)), FShared(std::move(Shared)) {}

  // The query for _MailItem; where it fails, the item's Class decides, and a mail is then used
  // through its IDispatch (and later items are not asked again: the query fails for mail).
  Ref<_MailItem> QueryMailItem() override {
    HRESULT hr = E_NOINTERFACE;
    if (!FShared->MailQueryFails) {
      brv::TComPtr<IDispatch> mail;
      hr = RetryWhileBusy([&] { return FObject->QueryInterface(IID__MailItem, mail.put_void()); });
      if (SUCCEEDED(hr) && mail) return std::make_shared<TDispMailItem>(std::move(mail), FShared);
      if (SUCCEEDED(hr)) hr = E_NOINTERFACE;
    }
    if (Class() != olMail) throw brv::EbrvObject(hr);
    FShared->MailQueryFails = true;
    return std::make_shared<TDispMailItem>(brv::TComPtr<IDispatch>::Copy(FObject.get()), FShared);
  }
  std::u16string Subject() override { return dispatch::ToText(ItemProperty(FObject.get(), u"Subject").get()); }
  int32_t Class() override { return dispatch::ToInt(ItemProperty(FObject.get(), u"Class").get()); }
  std::u16string EntryID() override { return dispatch::ToText(ItemProperty(FObject.get(), u"EntryID").get()); }
  Ref<MAPIFolder> Parent() override {
    return WrapFolder(dispatch::ToObject(ItemProperty(FObject.get(), u"Parent").get()), FShared);
  }

 private:
  brv::TComPtr<IDispatch> FObject;
  std::shared_ptr<TShared> FShared;
};

class TDispItems final : public _Items, public TBound {
 public:
  TDispItems(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : TBound(std::move(Object), TKind::Items, std::move(Shared)) {}
  int32_t Count() override { return dispatch::ToInt(Get(u"Count").get()); }
  Ref<ItemObject> Item(int32_t Index) override {
    brv::TVariant args[] = {dispatch::IntArg(Index)};
    return GetObject<TDispItem>(u"Item", args);
  }
};

class TDispFolder final : public MAPIFolder, public TBound {
 public:
  TDispFolder(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : TBound(std::move(Object), TKind::Folder, std::move(Shared)) {}
  std::u16string StoreID() override { return GetText(u"StoreID"); }
  std::u16string EntryID() override { return GetText(u"EntryID"); }
  std::u16string Name() override { return GetText(u"Name"); }
  std::u16string FolderPath() override { return GetText(u"FolderPath"); }
  Ref<_Items> Items() override { return GetObject<TDispItems>(u"Items"); }
};

Ref<MAPIFolder> WrapFolder(brv::TComPtr<IDispatch> Folder, const std::shared_ptr<TShared>& Shared) {
  if (!Folder) return nullptr;
  return std::make_shared<TDispFolder>(std::move(Folder), Shared);
}

Ref<MAPIFolder> TDispMailItem::Parent() { return GetObject<TDispFolder>(u"Parent"); }

class TDispNameSpace final : public _NameSpace, public TBound {
 public:
  TDispNameSpace(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : TBound(std::move(Object), TKind::NameSpace, std::move(Shared)) {}
  std::u16string CurrentProfileName() override { return GetText(u"CurrentProfileName"); }
  Ref<MAPIFolder> GetDefaultFolder(int32_t FolderType) override {
    brv::TVariant args[] = {dispatch::IntArg(FolderType)};
    return GetObject<TDispFolder>(u"GetDefaultFolder", args);
  }
  Ref<MAPIFolder> GetFolderFromID(const std::u16string& EntryID, const std::u16string& StoreID) override {
    brv::TVariant args[] = {dispatch::TextArg(EntryID), dispatch::TextArg(StoreID)};
    return GetObject<TDispFolder>(u"GetFolderFromID", args);
  }
  // Without a StoreID the optional argument is left out: Outlook then looks in the default store.
  Ref<ItemObject> GetItemFromID(const std::u16string& EntryID, const std::u16string& StoreID) override {
    brv::TVariant args[] = {dispatch::TextArg(EntryID), dispatch::TextArg(StoreID)};
    return GetObject<TDispItem>(u"GetItemFromID", std::span(args, StoreID.empty() ? 1 : 2));
  }
  Ref<MAPIFolder> PickFolder() override { return GetObject<TDispFolder>(u"PickFolder"); }
};

class TDispApplication final : public _Application, public TBound {
 public:
  TDispApplication(brv::TComPtr<IDispatch> Object, std::shared_ptr<TShared> Shared)
      : TBound(std::move(Object), TKind::Application, std::move(Shared)) {}
  Ref<_NameSpace> Session() override { return GetObject<TDispNameSpace>(u"Session"); }
};

}  // namespace

Ref<_Application> WrapApplication(IDispatch* Application) {
  if (Application == nullptr) return nullptr;
  auto shared = std::make_shared<TShared>();
  shared->Application = brv::TComPtr<IDispatch>::Copy(Application);
  return std::make_shared<TDispApplication>(brv::TComPtr<IDispatch>::Copy(Application), std::move(shared));
}

IDispatch* DispatchOf(MAPIFolder& Folder) {
  auto* folder = dynamic_cast<TDispFolder*>(&Folder);
  return folder != nullptr ? folder->Object() : nullptr;
}

}  // namespace outlook
