// The objects of the stand-in's Outlook object model.
#include "object_model_win.h"

#include <utility>

#include "foundation/exception.h"
#include "foundation/text.h"
#include "host/outlook_dispatch.h"
#include "model_object_win.h"

namespace standin {
namespace {

using outlook::Ref;

// Lets Move find the folder behind its argument; never leaves this process.
constexpr IID IID_StandinFolder = {0x5b1e7d2a, 0x3c4f, 0x4e8a, {0x9d, 0x61, 0x2f, 0x7a, 0x0c, 0x3e, 0x91, 0x55}};

// The properties the Object Model Guard protects, by the names UserProperties.Find takes.
bool IsGuardedProperty(std::u16string_view Name) {
  static constexpr std::u16string_view kGuarded[] = {u"SenderEmailAddress", u"SenderName", u"SentOnBehalfOfName",
                                                     u"ReceivedByName",     u"To",         u"CC",
                                                     u"BCC",                u"Body",       u"HTMLBody"};
  for (const auto guarded : kGuarded)
    if (brv::SameText(Name, guarded)) return true;
  return false;
}

class TUserPropertyObject final : public TModelObject {
 public:
  TUserPropertyObject(const brv::TbrvComControl& Control, const TModelContext& Context,
                      Ref<outlook::UserProperty> Property, bool Guarded)
      : TModelObject(Control, Context, u"UserProperty", kMembers), FProperty(std::move(Property)), FGuarded(Guarded) {}

 protected:
  // The store renders the value as text; a null value fails to.
  void Run(size_t Member, const TArgs& Args, brv::TVariant& Result) override {
    Args.Expect(0, 0);
    if (FGuarded) Guarded(Member);
    SetText(Result, FProperty->ValueText());
  }

 private:
  static constexpr std::u16string_view kMembers[] = {u"Value"};
  Ref<outlook::UserProperty> FProperty;
  bool FGuarded;
};

class TUserPropertiesObject final : public TModelObject {
 public:
  TUserPropertiesObject(const brv::TbrvComControl& Control, const TModelContext& Context,
                        Ref<outlook::UserProperties> Properties)
      : TModelObject(Control, Context, u"UserProperties", kMembers), FProperties(std::move(Properties)) {}

 protected:
  // Find(Name, Custom = True).
  void Run(size_t, const TArgs& Args, brv::TVariant& Result) override {
    Args.Expect(1, 2);
    const std::u16string name = Args.Text(0);
    auto property = FProperties->Find(name, Args.Bool(1, true));
    SetObject(Result, property ? MakeModel<TUserPropertyObject>(Context(), std::move(property), IsGuardedProperty(name)).get()
                               : nullptr);
  }

 private:
  static constexpr std::u16string_view kMembers[] = {u"Find"};
  Ref<outlook::UserProperties> FProperties;
};

class TExchangeUserObject final : public TModelObject {
 public:
  TExchangeUserObject(const brv::TbrvComControl& Control, const TModelContext& Context, Ref<outlook::ExchangeUser> User)
      : TModelObject(Control, Context, u"ExchangeUser", kMembers), FUser(std::move(User)) {}

 protected:
  void Run(size_t Member, const TArgs& Args, brv::TVariant& Result) override {
    Args.Expect(0, 0);
    Guarded(Member);
    SetText(Result, FUser->PrimarySmtpAddress());
  }

 private:
  static constexpr std::u16string_view kMembers[] = {u"PrimarySmtpAddress"};
  Ref<outlook::ExchangeUser> FUser;
};

class TAddressEntryObject final : public TModelObject {
 public:
  TAddressEntryObject(const brv::TbrvComControl& Control, const TModelContext& Context, Ref<outlook::AddressEntry> Entry)
      : TModelObject(Control, Context, u"AddressEntry", kMembers), FEntry(std::move(Entry)) {}

 protected:
  void Run(size_t Member, const TArgs& Args, brv::TVariant& Result) override {
    Args.Expect(0, 0);
    Guarded(Member);
    auto user = FEntry->GetExchangeUser();
    SetObject(Result, user ? MakeModel<TExchangeUserObject>(Context(), std::move(user)).get() : nullptr);
  }

 private:
  static constexpr std::u16string_view kMembers[] = {u"GetExchangeUser"};
  Ref<outlook::AddressEntry> FEntry;
};

class TFolderObject;

// An item of any kind. The query for _MailItem asks the store whether it is a mail; the mail
// members then use what the store answered.
class TItemObject final : public TModelObject {
 public:
  TItemObject(const brv::TbrvComControl& Control, const TModelContext& Context, Ref<outlook::ItemObject> Item)
      : TModelObject(Control, Context, u"MailItem", kMembers), FItem(std::move(Item)) {}

  HRESULT ComQueryInterface(REFIID IID, void** Obj) override {
    if (!IsEqualGUID(IID, outlook::IID__MailItem)) return TModelObject::ComQueryInterface(IID, Obj);
    if (Obj == nullptr) return E_POINTER;
    *Obj = nullptr;
    try {
      RefuseWhenMoved();
      FMail = FItem->QueryMailItem();
    } catch (...) {
      return brv::HandleSafeCallException();
    }
    AddRef();
    *Obj = static_cast<IDispatch*>(this);
    return S_OK;
  }

 protected:
  void Run(size_t Member, const TArgs& Args, brv::TVariant& Result) override;

 private:
  enum : size_t { Subject, IsMarkedAsTask, UnRead, TaskCompletedDate, ReceivedTime, SenderEmailType,
                  SenderEmailAddress, Sender, UserProperties, Move, Class, EntryID, Parent };
  static constexpr std::u16string_view kMembers[] = {
      u"Subject",         u"IsMarkedAsTask",     u"UnRead", u"TaskCompletedDate", u"ReceivedTime",
      u"SenderEmailType", u"SenderEmailAddress", u"Sender", u"UserProperties",    u"Move",
      u"Class",           u"EntryID",            u"Parent"};

  outlook::_MailItem& Mail() {
    if (!FMail) FMail = FItem->QueryMailItem();
    return *FMail;
  }
  // The object a mail was moved through stands for the mail where it was: only the object that
  // Move answered reaches the mail in its new folder. Code that goes on with the old one must
  // fail here rather than in a real Outlook.
  void RefuseWhenMoved() const {
    if (FMoved) throw brv::EbrvObject(kMAPI_E_OBJECT_DELETED, u"The item has been moved or deleted.");
  }

  // MAPI_E_OBJECT_DELETED.
  static constexpr HRESULT kMAPI_E_OBJECT_DELETED = static_cast<HRESULT>(0x8004010A);
  Ref<outlook::ItemObject> FItem;
  Ref<outlook::_MailItem> FMail;
  bool FMoved = false;
};

class TItemsObject final : public TModelObject {
 public:
  TItemsObject(const brv::TbrvComControl& Control, const TModelContext& Context, Ref<outlook::_Items> Items)
      : TModelObject(Control, Context, u"Items", kMembers), FItems(std::move(Items)) {}

 protected:
  void Run(size_t Member, const TArgs& Args, brv::TVariant& Result) override {
    if (Member == 0) {
      Args.Expect(0, 0);
      return SetInt(Result, FItems->Count());
    }
    Args.Expect(1, 1);
    auto item = FItems->Item(Args.Int(0));
    SetObject(Result, item ? MakeModel<TItemObject>(Context(), std::move(item)).get() : nullptr);
  }

 private:
  static constexpr std::u16string_view kMembers[] = {u"Count", u"Item"};
  Ref<outlook::_Items> FItems;
};

class TFolderObject final : public TModelObject {
 public:
  TFolderObject(const brv::TbrvComControl& Control, const TModelContext& Context, Ref<outlook::MAPIFolder> Folder)
      : TModelObject(Control, Context, u"MAPIFolder", kMembers), FFolder(std::move(Folder)) {}

  outlook::MAPIFolder& Folder() const { return *FFolder; }

  // The folder behind Object when it is one of this process's folders, else null.
  static TFolderObject* From(IDispatch* Object) {
    brv::TComPtr<IDispatch> folder;
    if (Object == nullptr || FAILED(Object->QueryInterface(IID_StandinFolder, folder.put_void()))) return nullptr;
    return static_cast<TFolderObject*>(folder.get());
  }

  void* GetInterface(REFIID IID) override {
    if (IsEqualGUID(IID, IID_StandinFolder)) return static_cast<IDispatch*>(this);
    return TModelObject::GetInterface(IID);
  }

 protected:
  void Run(size_t Member, const TArgs& Args, brv::TVariant& Result) override {
    Args.Expect(0, 0);
    switch (Member) {
      case 0:
        return SetText(Result, FFolder->StoreID());
      case 1:
        return SetText(Result, FFolder->EntryID());
      case 2:
        return SetText(Result, FFolder->Name());
      case 3:
        return SetText(Result, FFolder->FolderPath());
    }
    SetObject(Result, MakeModel<TItemsObject>(Context(), FFolder->Items()).get());
  }

 private:
  static constexpr std::u16string_view kMembers[] = {u"StoreID", u"EntryID", u"Name", u"FolderPath", u"Items"};
  Ref<outlook::MAPIFolder> FFolder;
};

void TItemObject::Run(size_t Member, const TArgs& Args, brv::TVariant& Result) {
  RefuseWhenMoved();
  Args.Expect(0, Member == Move ? 1 : 0);
  switch (Member) {
    case Subject:
      return SetText(Result, FItem->Subject());
    case IsMarkedAsTask:
      return SetBool(Result, Mail().IsMarkedAsTask());
    case UnRead:
      return SetBool(Result, Mail().UnRead());
    case TaskCompletedDate:
      return SetDate(Result, Mail().TaskCompletedDate());
    case ReceivedTime:
      return SetDate(Result, Mail().ReceivedTime());
    case SenderEmailType:
      return SetText(Result, Mail().SenderEmailType());
    case SenderEmailAddress:
      Guarded(Member);
      return SetText(Result, Mail().SenderEmailAddress());
    case Sender: {
      auto entry = Mail().Sender();
      return SetObject(Result, entry ? MakeModel<TAddressEntryObject>(Context(), std::move(entry)).get() : nullptr);
    }
    case UserProperties:
      return SetObject(Result, MakeModel<TUserPropertiesObject>(Context(), Mail().UserProperties()).get());
    case Class:
      return SetInt(Result, FItem->Class());
    case EntryID:
      return SetText(Result, FItem->EntryID());
    case Parent: {
      auto folder = FItem->Parent();
      return SetObject(Result, folder ? MakeModel<TFolderObject>(Context(), std::move(folder)).get() : nullptr);
    }
  }
  // Move(Folder) answers the mail in its new folder, as Outlook does.
  Args.Expect(1, 1);
  TFolderObject* target = TFolderObject::From(Args.Object(0).get());
  if (target == nullptr) throw brv::EbrvObject(E_INVALIDARG, u"The target is not a folder of this Outlook");
  auto moved = Mail().Move(target->Folder());
  FMoved = true;
  SetObject(Result, moved ? MakeModel<TItemObject>(Context(), std::move(moved)).get() : nullptr);
}

class TNameSpaceObject final : public TModelObject {
 public:
  TNameSpaceObject(const brv::TbrvComControl& Control, const TModelContext& Context, Ref<outlook::_NameSpace> NameSpace)
      : TModelObject(Control, Context, u"NameSpace", kMembers), FNameSpace(std::move(NameSpace)) {}

 protected:
  void Run(size_t Member, const TArgs& Args, brv::TVariant& Result) override {
    Ref<outlook::MAPIFolder> folder;
    switch (Member) {
      case 0:
        Args.Expect(0, 0);
        return SetText(Result, FNameSpace->CurrentProfileName());
      case 1:
        Args.Expect(1, 1);
        folder = FNameSpace->GetDefaultFolder(Args.Int(0));
        break;
      case 2:
        Args.Expect(2, 2);
        folder = FNameSpace->GetFolderFromID(Args.Text(0), Args.Text(1));
        break;
      case 3:
        Args.Expect(0, 0);
        folder = FNameSpace->PickFolder();
        break;
      default: {
        // GetItemFromID(EntryIDItem, [EntryIDStore]).
        Args.Expect(1, 2);
        auto item = FNameSpace->GetItemFromID(Args.Text(0), Args.Count() > 1 ? Args.Text(1) : std::u16string());
        return SetObject(Result, MakeModel<TItemObject>(Context(), std::move(item)).get());
      }
    }
    SetObject(Result, folder ? MakeModel<TFolderObject>(Context(), std::move(folder)).get() : nullptr);
  }

 private:
  static constexpr std::u16string_view kMembers[] = {u"CurrentProfileName", u"GetDefaultFolder",
                                                     u"GetFolderFromID", u"PickFolder", u"GetItemFromID"};
  Ref<outlook::_NameSpace> FNameSpace;
};

class TApplicationObject final : public TModelObject {
 public:
  TApplicationObject(const brv::TbrvComControl& Control, const TModelContext& Context, Ref<outlook::_Application> Application)
      : TModelObject(Control, Context, u"Application", kMembers), FApplication(std::move(Application)) {}

  void* GetInterface(REFIID IID) override {
    if (IsEqualGUID(IID, outlook::IID__Application)) return static_cast<IDispatch*>(this);
    return TModelObject::GetInterface(IID);
  }

 protected:
  void Run(size_t, const TArgs& Args, brv::TVariant& Result) override {
    Args.Expect(0, 0);
    auto session = FApplication->Session();
    SetObject(Result, session ? MakeModel<TNameSpaceObject>(Context(), std::move(session)).get() : nullptr);
  }

 private:
  static constexpr std::u16string_view kMembers[] = {u"Session"};
  Ref<outlook::_Application> FApplication;
};

}  // namespace

brv::TComPtr<IDispatch> CreateOutlookApplication(outlook::Ref<outlook::_Application> Application, bool Trusted) {
  TModelContext context;
  context.Trusted = Trusted;
  brv::TComPtr<TApplicationObject> application = MakeModel<TApplicationObject>(context, std::move(Application));
  return brv::TComPtr<IDispatch>::Copy(application.get());
}

}  // namespace standin
