// The IDispatch adapter of outlook.h: conversions, Nothing, failures, argument order, member
// ids and kind checks against strict fakes; and, over the stand-in's object model, that each
// adapter call is exactly one call of the store behind it.
#include <gtest/gtest.h>

#include <functional>

#include <span>

#include "cleanup_test_support.h"
#include "dispatch_fakes.h"
#include "host/memory_store_file.h"
#include "host/outlook_dispatch.h"
#include "object_model_win.h"
#include "sorting/run_observer.h"

namespace outlook::test {
namespace {

using brv::TComPtr;
using brv::TVariant;

// Application > Session > inbox > Items > Item(1) > UserProperties > Find > property, all fakes.
class DispatchTest : public ::testing::Test {
 protected:
  DispatchTest() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    App->Kinds = {IID__Application};
    App->Returns(u"Session", Ns.get());
    Ns->Returns(u"GetDefaultFolder", Inbox.get());
    Inbox->Returns(u"Items", Items.get());
    Items->Returns(u"Item", Item.get());
    Item->Kinds = {IID__MailItem};
    Item->Returns(u"UserProperties", Props.get());
    Props->Returns(u"Find", Prop.get());
  }
  ~DispatchTest() override { CoUninitialize(); }

  Ref<_Application> Application() { return WrapApplication(App.get()); }
  Ref<MAPIFolder> InboxFolder() { return Application()->Session()->GetDefaultFolder(olFolderInbox); }
  Ref<_MailItem> Mail() { return InboxFolder()->Items()->Item(1)->QueryMailItem(); }

  // Prop's Value answers Slot.
  void ValueAnswers(TVariant& Slot) {
    Prop->On(u"Value", [&Slot](TVariant& Result, EXCEPINFO&) {
      Result = TVariant::CopyOf(Slot.get());
      return S_OK;
    });
  }

  TComPtr<TFakeObject> App = TFakeObject::Make(), Ns = TFakeObject::Make(), Inbox = TFakeObject::Make(),
                       Items = TFakeObject::Make(), Item = TFakeObject::Make(), Props = TFakeObject::Make(),
                       Prop = TFakeObject::Make();
};

TEST_F(DispatchTest, ValuesOfAnyTypeBecomeTextBooleansAndNumbers) {
  TVariant value;
  ValueAnswers(value);
  Item->On(u"UnRead", [&value](TVariant& Result, EXCEPINFO&) {
    Result = TVariant::CopyOf(value.get());
    return S_OK;
  });
  struct Case {
    const char* what;
    TVariant given;
    std::u16string text;
  };
  Case cases[] = {
      {"text", Text(u"Apollo"), u"Apollo"},
      {"integer", Scalar<VT_I4>(42), u"42"},
      {"short", Scalar<VT_I2>(-7), u"-7"},
      {"true", Scalar<VT_BOOL>(true), u"True"},
      {"false", Scalar<VT_BOOL>(false), u"False"},
      {"empty", OfType(VT_EMPTY), u""},
  };
  const auto mail = Mail();
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    value = std::move(c.given);
    EXPECT_EQ(mail->UserProperties()->Find(u"Project", true)->ValueText(), c.text);
  }
  const std::pair<TVariant, bool> booleans[] = {{Scalar<VT_BOOL>(true), true}, {Scalar<VT_BOOL>(false), false},
                                                {Scalar<VT_I4>(1), true},      {Scalar<VT_I4>(0), false},
                                                {Scalar<VT_R8>(-1.0), true}};
  for (const auto& [given, expected] : booleans) {
    value = TVariant::CopyOf(given.get());
    EXPECT_EQ(mail->UnRead(), expected) << V_VT(&given.get());
  }
}

TEST_F(DispatchTest, CountsAndDatesConvertFromWhateverTypeComes) {
  TVariant count, date;
  Items->On(u"Count", [&count](TVariant& Result, EXCEPINFO&) {
    Result = TVariant::CopyOf(count.get());
    return S_OK;
  });
  Item->On(u"TaskCompletedDate", [&date](TVariant& Result, EXCEPINFO&) {
    Result = TVariant::CopyOf(date.get());
    return S_OK;
  });
  const auto items = InboxFolder()->Items();
  count = Scalar<VT_I4>(3);
  EXPECT_EQ(items->Count(), 3);
  count = Scalar<VT_I2>(5);
  EXPECT_EQ(items->Count(), 5);
  count = Scalar<VT_R8>(9.0);
  EXPECT_EQ(items->Count(), 9);
  const auto mail = Mail();
  date = Scalar<VT_DATE>(kNoDate);
  EXPECT_EQ(mail->TaskCompletedDate(), kNoDate);
  date = Scalar<VT_R8>(45000.5);
  EXPECT_EQ(mail->TaskCompletedDate(), 45000.5);
}

TEST_F(DispatchTest, ANullValueIsAConversionError) {
  TVariant value = OfType(VT_NULL);
  ValueAnswers(value);
  try {
    Mail()->UserProperties()->Find(u"Reviewed", true)->ValueText();
    ADD_FAILURE() << "a null value became text";
  } catch (const brv::EbrvObject& e) {
    EXPECT_EQ(e.ErrorCode(), static_cast<brv::TbrvResult>(DISP_E_TYPEMISMATCH));
  }
}

TEST_F(DispatchTest, NothingComesAsEmptyOrNullObjectAndIsNull) {
  TVariant sender;
  Item->On(u"Sender", [&sender](TVariant& Result, EXCEPINFO&) {
    Result = TVariant::CopyOf(sender.get());
    return S_OK;
  });
  Ns->Returns(u"PickFolder", OfType(VT_EMPTY).get());
  const auto mail = Mail();
  sender = OfType(VT_EMPTY);
  EXPECT_EQ(mail->Sender(), nullptr);
  sender = NullObject();
  EXPECT_EQ(mail->Sender(), nullptr);
  const auto entry = TFakeObject::Make();
  entry->Returns(u"GetExchangeUser", NullObject().get());
  V_VT(sender.put()) = VT_DISPATCH;
  V_DISPATCH(sender.addressof()) = entry.get();
  entry->AddRef();
  const auto address = mail->Sender();
  ASSERT_NE(address, nullptr);
  EXPECT_EQ(address->GetExchangeUser(), nullptr);
  EXPECT_EQ(Application()->Session()->PickFolder(), nullptr);
}

TEST_F(DispatchTest, ArgumentsArriveInOutlooksOrderWithTheRightFlags) {
  const auto target = TFakeObject::Make(), moved = TFakeObject::Make(), found = TFakeObject::Make();
  Ns->Returns(u"GetFolderFromID", target.get());
  Ns->Returns(u"GetItemFromID", found.get());
  Item->Returns(u"Move", moved.get());
  moved->Returns(u"EntryID", Text(u"entry-of-the-moved-mail").get());
  const auto session = Application()->Session();
  const auto folder = session->GetFolderFromID(u"entry-1", u"store-1");
  const auto mail = Mail();
  mail->UserProperties()->Find(u"Project", true);
  // Move answers the mail in its new folder, which may carry a new EntryID.
  const auto result = mail->Move(*folder);
  ASSERT_NE(result, nullptr);
  EXPECT_EQ(result->EntryID(), u"entry-of-the-moved-mail");
  // GetItemFromID leaves out the store it is not given.
  session->GetItemFromID(u"item-1", u"store-1");
  session->GetItemFromID(u"item-2", u"");

  ASSERT_EQ(Ns->Calls.size(), 4u);
  const auto& withStore = Ns->Calls[2];
  EXPECT_EQ(withStore.Member, u"GetItemFromID");
  ASSERT_EQ(withStore.Args.size(), 2u);
  EXPECT_EQ(brv::TBstr::Text(V_BSTR(&withStore.Args[1].get())), u"item-1");
  EXPECT_EQ(brv::TBstr::Text(V_BSTR(&withStore.Args[0].get())), u"store-1");
  ASSERT_EQ(Ns->Calls[3].Args.size(), 1u);
  EXPECT_EQ(brv::TBstr::Text(V_BSTR(&Ns->Calls[3].Args[0].get())), u"item-2");
  const auto& fromId = Ns->Calls[0];
  EXPECT_EQ(fromId.Member, u"GetFolderFromID");
  ASSERT_EQ(fromId.Args.size(), 2u);  // rgvarg: the last argument first
  EXPECT_EQ(brv::TBstr::Text(V_BSTR(&fromId.Args[1].get())), u"entry-1");
  EXPECT_EQ(brv::TBstr::Text(V_BSTR(&fromId.Args[0].get())), u"store-1");
  EXPECT_EQ(fromId.Flags, DISPATCH_PROPERTYGET | DISPATCH_METHOD);
  const auto& defaultFolder = Ns->Calls[1];
  ASSERT_EQ(defaultFolder.Args.size(), 1u);
  EXPECT_EQ(V_VT(&defaultFolder.Args[0].get()), VT_I4);
  EXPECT_EQ(V_I4(&defaultFolder.Args[0].get()), 6);

  ASSERT_EQ(Items->Calls.size(), 1u);
  EXPECT_EQ(V_I4(&Items->Calls[0].Args[0].get()), 1);

  ASSERT_EQ(Props->Calls.size(), 1u);
  ASSERT_EQ(Props->Calls[0].Args.size(), 2u);
  EXPECT_EQ(brv::TBstr::Text(V_BSTR(&Props->Calls[0].Args[1].get())), u"Project");
  EXPECT_EQ(V_VT(&Props->Calls[0].Args[0].get()), VT_BOOL);
  EXPECT_EQ(V_BOOL(&Props->Calls[0].Args[0].get()), VARIANT_TRUE);

  const auto& move = Item->Calls.back();
  EXPECT_EQ(move.Member, u"Move");
  EXPECT_EQ(move.Flags, DISPATCH_METHOD);
  ASSERT_EQ(move.Args.size(), 1u);
  EXPECT_EQ(V_VT(&move.Args[0].get()), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(&move.Args[0].get()), static_cast<IDispatch*>(target.get()));
}

TEST_F(DispatchTest, MemberIdsAreLookedUpOncePerKindButSubjectsOnEveryItem) {
  Inbox->Returns(u"Name", Text(u"Inbox").get());
  Item->Returns(u"Subject", Text(u"hello").get());
  const auto app = Application();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(app->Session()->GetDefaultFolder(olFolderInbox)->Name(), u"Inbox");
    EXPECT_EQ(app->Session()->GetDefaultFolder(olFolderInbox)->Items()->Item(1)->Subject(), u"hello");
  }
  EXPECT_EQ(Inbox->LookUps[u"Name"], 1);
  EXPECT_EQ(Ns->LookUps[u"GetDefaultFolder"], 1);
  // An item of unknown kind may number its members differently from the last one.
  EXPECT_EQ(Item->LookUps[u"Subject"], 3);
  // A new application starts afresh.
  EXPECT_EQ(Application()->Session()->GetDefaultFolder(olFolderInbox)->Name(), u"Inbox");
  EXPECT_EQ(Inbox->LookUps[u"Name"], 2);
}

// The query tells a mail; where it fails, the item's Class decides. A registration that carries
// _Application but not _MailItem fails the query for every mail: Class makes them mail all the
// same, through IDispatch, and items that are not mail still raise.
TEST_F(DispatchTest, TheMailKindIsAnInterfaceQueryAndWhereItFailsTheClass) {
  Item->Kinds = {IID__MailItem};
  Item->Returns(u"UnRead", Scalar<VT_BOOL>(true).get());
  Item->Returns(u"Class", Scalar<VT_I4>(olMail).get());
  EXPECT_TRUE(Mail()->UnRead());
  EXPECT_EQ(Item->Calls.size(), 1u) << "a mail that answers the query needs no Class";

  const struct {
    const char* What;
    std::vector<IID> AppKinds;
  } offices[] = {{"_Application registered, _MailItem not", {IID__Application}},
                 {"no type library at all", {}}};
  for (const auto& office : offices) {
    App->Kinds = office.AppKinds;
    Item->Kinds.clear();
    const auto items = InboxFolder()->Items();
    Item->Returns(u"Class", Scalar<VT_I4>(53).get());  // a meeting request
    try {
      items->Item(1)->QueryMailItem();
      ADD_FAILURE() << office.What << ": a meeting request became a mail item";
    } catch (const brv::EbrvObject& e) {
      EXPECT_EQ(e.ErrorCode(), brv::kE_NOINTERFACE) << office.What;
    }
    Item->Returns(u"Class", Scalar<VT_I4>(olMail).get());
    EXPECT_TRUE(items->Item(1)->QueryMailItem()->UnRead()) << office.What;
  }
}

TEST_F(DispatchTest, FailuresRaiseWithTheServersCodeAndDescription) {
  constexpr auto kNotFound = static_cast<brv::TbrvResult>(0x8004010F);
  struct Case {
    const char* what;
    bool publishes;
    TFakeObject::THandler fail;
    brv::TbrvResult code;
    std::u16string message;
  };
  const auto withInfo = [](HRESULT Code, const wchar_t* Description) {
    return [=](TVariant&, EXCEPINFO& Info) {
      Info.scode = Code;
      Info.bstrDescription = SysAllocString(Description);
      Info.bstrSource = SysAllocString(L"Outlook");
      return DISP_E_EXCEPTION;
    };
  };
  const Case cases[] = {
      {"EXCEPINFO", true, withInfo(kNotFound, L"The folder is gone"), kNotFound, u"The folder is gone"},
      {"error object", true,
       [=](TVariant&, EXCEPINFO&) -> HRESULT { throw brv::EbrvObject(kNotFound, u"Not in this store"); }, kNotFound,
       u"Not in this store"},
      {"no error object support", false,
       [=](TVariant&, EXCEPINFO&) -> HRESULT { throw brv::EbrvObject(kNotFound, u"stale words"); }, kNotFound,
       brv::EbrvObject(kNotFound).Message()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto folder = TFakeObject::Make();
    folder->PublishesErrors = c.publishes;
    folder->On(u"Items", c.fail);
    Ns->Returns(u"GetFolderFromID", folder.get());
    const auto found = Application()->Session()->GetFolderFromID(u"e", u"s");
    try {
      found->Items();
      ADD_FAILURE() << "the failure was not raised";
    } catch (const brv::EbrvObject& e) {
      EXPECT_EQ(e.ErrorCode(), c.code);
      EXPECT_EQ(e.Message(), c.message);
    }
  }
  // A description-less EXCEPINFO with only a wCode still fails.
  const auto folder = TFakeObject::Make();
  folder->On(u"Name", [](TVariant&, EXCEPINFO& Info) {
    Info.wCode = 1001;
    return DISP_E_EXCEPTION;
  });
  Ns->Returns(u"GetFolderFromID", folder.get());
  EXPECT_THROW(Application()->Session()->GetFolderFromID(u"e", u"s")->Name(), brv::EbrvObject);
}

// The same run and undo twice over equal stores: once directly, once through the adapter and the
// stand-in's object model. Every store operation must be called equally often.
TEST(ThroughTheObjectModel, EachAdapterCallIsOneStoreCall) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  const auto build = [] {
    auto outlook = TMemoryOutlook::Create(u"profile");
    const auto store = outlook->AddStore(u"Mailbox");
    const auto inbox = store->AddFolder(u"Inbox");
    store->AddFolder(u"Friends");
    store->AddFolder(u"Projects");
    inbox->AddItem(swo::test::Mail(u"unmatched", u"nobody@example.com"));
    inbox->AddItem(swo::test::Mail(u"matched", u"anna@example.com"));
    TMemoryItemData filtered = swo::test::Mail(u"filtered", u"carl@example.com");
    filtered.Custom.push_back(TMemoryProperty{u"Project", TMemoryValue::Text(u"Apollo")});
    inbox->AddItem(filtered);
    TMemoryItemData exchange = swo::test::Mail(u"exchange", u"/O=X/CN=LEA");
    exchange.Sender.Type = u"EX";
    exchange.Sender.ExchangeUser = u"lea@example.com";
    inbox->AddItem(exchange);
    TMemoryItemData meeting = swo::test::Mail(u"meeting", u"anna@example.com");
    meeting.Kind = TMemoryItemKind::MeetingRequest;
    inbox->AddItem(meeting);
    return outlook;
  };
  const auto run = [](const Ref<TMemoryOutlook>& Outlook, Ref<_Application> Application) {
    std::unique_ptr<swo::TSortwise> sorter{swo::TSortwise::Create()};
    sorter->SetApplication_(std::move(Application));
    const auto friends = Outlook->FolderByPath(u"\\\\Mailbox\\Friends");
    const auto projects = Outlook->FolderByPath(u"\\\\Mailbox\\Projects");
    sorter->Add(*friends)->Add(u"anna@example.com");
    sorter->Add(*friends)->Add(u"lea@example.com");
    sorter->Add(*projects)->Add(u"carl@example.com")->SetValue(std::u16string_view(u"Project"), u"apollo");
    Outlook->ResetCalls();
    std::vector<std::u16string> lines;
    brv::platform::SetDebugSink([&](std::u16string_view Line) { lines.emplace_back(Line); });
    // Each moved mail is found again by the EntryID its move answered and taken back, as an
    // undo does.
    struct TMoves : swo::TSwoRunObserver {
      std::vector<std::u16string> Ids;
      void Moved(int32_t, _MailItem* Result) override { Ids.push_back(Result->EntryID()); }
    } moves;
    sorter->Execute(nullptr, moves);
    brv::platform::SetDebugSink({});
    const auto ns = sorter->GetNameSpace();
    const auto inbox = ns->GetDefaultFolder(olFolderInbox);
    for (const std::u16string& id : moves.Ids) {
      const auto item = ns->GetItemFromID(id, inbox->StoreID());
      lines.push_back(item->Subject() + u" in " + item->Parent()->FolderPath());
      lines.push_back(u"back with a new id: " + std::u16string(item->QueryMailItem()->Move(*inbox)->EntryID() != id ? u"yes" : u"no"));
    }
    return lines;
  };
  const auto direct = build(), throughCom = build();
  const auto directLines = run(direct, direct->Application());
  const auto comLines = run(throughCom, WrapApplication(standin::CreateOutlookApplication(throughCom->Application()).get()));
  EXPECT_EQ(comLines, directLines);
  EXPECT_EQ(comLines, (std::vector<std::u16string>{u"ERROR: 5::meeting", u"exchange in \\\\Mailbox\\Friends",
                                                   u"back with a new id: yes", u"filtered in \\\\Mailbox\\Projects",
                                                   u"back with a new id: yes", u"matched in \\\\Mailbox\\Friends",
                                                   u"back with a new id: yes"}));
  EXPECT_EQ(MailboxToBytes(*throughCom), MailboxToBytes(*direct));
  // Through COM a failed query for _MailItem is followed by Class: one call more for the one
  // item that is not mail, the meeting request.
  for (size_t i = 0; i < kMemoryCallCount; ++i) {
    const auto call = static_cast<TMemoryCall>(i);
    EXPECT_EQ(throughCom->Calls(call), direct->Calls(call) + (call == TMemoryCall::ItemClass ? 1 : 0))
        << brv::Utf16ToUtf8(TMemoryCallName(call));
  }
  EXPECT_GT(throughCom->TotalCalls(), 0u);
  CoUninitialize();
}

// Calls Name on Object with Args (in call order) the way late-bound callers do.
HRESULT CallMember(IDispatch* Object, std::u16string Name, std::span<TVariant> Args, EXCEPINFO* Exception,
                   TVariant& Result) {
  LPOLESTR names[] = {reinterpret_cast<LPOLESTR>(Name.data())};
  DISPID id = DISPID_UNKNOWN;
  const HRESULT found = Object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(found)) return found;
  std::vector<VARIANT> reversed;
  for (auto arg = Args.rbegin(); arg != Args.rend(); ++arg) reversed.push_back(*arg->addressof());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  return Object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                        Result.put(), Exception, nullptr);
}

// A member that fails answers as Outlook's do: DISP_E_EXCEPTION with the code, the source and the
// description in the exception information, which reaches a caller in another process also
// where the COM error object does not travel with the call; without it, the code itself.
TEST(ThroughTheObjectModel, AFailedMemberAnswersWithTheExceptionInformation) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    const auto outlook = TMemoryOutlook::Create(u"profile");
    outlook->AddStore(u"Mailbox")->AddFolder(u"Inbox");
    const TComPtr<IDispatch> application = standin::CreateOutlookApplication(outlook->Application());
    TVariant session, folder;
    ASSERT_EQ(CallMember(application.get(), u"Session", {}, nullptr, session), S_OK);
    IDispatch* ns = V_DISPATCH(session.addressof());
    TVariant ids[] = {Text(u"no such folder"), Text(u"no such store")};
    EXCEPINFO info{};
    ASSERT_EQ(CallMember(ns, u"GetFolderFromID", ids, &info, folder),
              DISP_E_EXCEPTION);
    const brv::TBstr source(info.bstrSource), description(info.bstrDescription), help(info.bstrHelpFile);
    EXPECT_EQ(static_cast<uint32_t>(info.scode), 0x8004010Fu);
    EXPECT_EQ(source.Text(), u"Microsoft Outlook");
    EXPECT_EQ(description.Text().rfind(u"The attempted operation failed. An object could not be found", 0), 0u)
        << brv::Utf16ToUtf8(description.Text());
    EXPECT_EQ(CallMember(ns, u"GetFolderFromID", ids, nullptr, folder),
              static_cast<HRESULT>(0x8004010F));
  }
  CoUninitialize();
}

// Only the object that Move answers reaches the moved mail; the one it was moved through fails,
// so code that keeps using it cannot pass here and fail in Outlook.
TEST(ThroughTheObjectModel, TheObjectAMailWasMovedThroughIsStale) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  {
    const auto outlook = TMemoryOutlook::Create(u"profile");
    const auto store = outlook->AddStore(u"Mailbox");
    store->AddFolder(u"Inbox")->AddItem(swo::test::Mail(u"invoice", u"billing@example.com"));
    store->AddFolder(u"Invoices");
    const auto ns = WrapApplication(standin::CreateOutlookApplication(outlook->Application()).get())->Session();
    const auto mail = ns->GetDefaultFolder(olFolderInbox)->Items()->Item(1)->QueryMailItem();
    const auto moved = mail->Move(*ns->GetFolderFromID(outlook->FolderByPath(u"\\\\Mailbox\\Invoices")->Id(), u""));
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->Subject(), u"invoice");
    EXPECT_EQ(moved->Parent()->Name(), u"Invoices");
    for (const auto& call : std::initializer_list<std::function<void()>>{
             [&] { mail->Subject(); }, [&] { mail->UnRead(); }, [&] { mail->EntryID(); }}) {
      try {
        call();
        ADD_FAILURE() << "the object the mail was moved through still answers";
      } catch (const brv::EbrvObject& e) {
        EXPECT_EQ(static_cast<uint32_t>(e.ErrorCode()), 0x8004010Au);
      }
    }
  }
  CoUninitialize();
}

}  // namespace
}  // namespace outlook::test
