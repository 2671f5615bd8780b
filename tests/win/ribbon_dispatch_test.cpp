// TbrvOfficeAddIn2's ribbon interface as the host calls it: markup, names and callbacks.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>
#include <windows.h>

#include <vector>

#include "com/bstr.h"
#include "com/variant.h"
#include "com_fakes.h"
#include "foundation/exception.h"
#include "office/office_addin2.h"
#include "office_fakes.h"
#include "os/error_info.h"

namespace brv {
namespace {

using test::TFakeRibbonControl;
using test::TFakeRibbonUI;

class TRibbonAddIn : public TbrvOfficeAddIn2 {
 public:
  using TbrvOfficeAddIn2::TbrvOfficeAddIn2;
};

class RibbonDispatchTest : public testing::Test {
 protected:
  void SetUp() override {
    AddIn = TbrvComObject::Create<TRibbonAddIn>();
    ASSERT_EQ(AddIn->QueryInterface(__uuidof(IRibbonExtensibility), Ribbon.put_void()), S_OK);
  }
  TbrvOfficeCommand* AddButton() {
    TbrvOfficeCommandBar* group = AddIn->CommandBars().Add(u"brvG");
    group->SetCaption(u"Group");
    TbrvOfficeCommand* button = group->Add(u"brvG.7");
    button->SetCaption(u"Label");
    button->SetHint(u"Tip");
    return button;
  }
  std::u16string CustomUI(std::u16string_view RibbonId) {
    TBstr markup;
    EXPECT_EQ(Ribbon->GetCustomUI(TBstr(RibbonId).get(), markup.put()), S_OK);
    EXPECT_NE(markup.get(), nullptr);
    return markup.Text();
  }
  DISPID IdOf(const wchar_t* Name) {
    LPOLESTR name = const_cast<LPOLESTR>(Name);
    DISPID id = 0;
    EXPECT_EQ(Ribbon->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    return id;
  }
  // Invokes Name with the arguments as a caller lists them, first declared argument first.
  HRESULT Call(const wchar_t* Name, std::vector<IDispatch*> Arguments, VARIANT* Result) {
    std::vector<VARIANT> reversed(Arguments.size());
    for (size_t k = 0; k < Arguments.size(); ++k) {
      VARIANT& v = reversed[Arguments.size() - 1 - k];
      VariantInit(&v);
      v.vt = VT_DISPATCH;
      v.pdispVal = Arguments[k];
    }
    DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return Ribbon->Invoke(IdOf(Name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, Result,
                          nullptr, nullptr);
  }

  test::TApartment Apartment;
  TRibbonAddIn* AddIn = nullptr;
  TComPtr<IRibbonExtensibility> Ribbon;
  TFakeRibbonControl Control{u"brvG.7"};
};

TEST_F(RibbonDispatchTest, MarkupOnlyForTheExplorerRibbonOnceAGroupExists) {
  EXPECT_EQ(CustomUI(u"Microsoft.Outlook.Explorer"), u"");
  AddIn->CommandBars();
  EXPECT_EQ(CustomUI(u"Microsoft.Outlook.Explorer"), u"");
  AddButton();
  const std::u16string markup = AddIn->CommandBars().ToString();
  struct TCase {
    std::u16string_view RibbonId;
    bool Markup;
  };
  for (const TCase c :
       {TCase{u"Microsoft.Outlook.Explorer", true}, TCase{u"microsoft.outlook.explorer", true},
        TCase{u"Microsoft.Outlook.Mail.Read", false}, TCase{u"", false}}) {
    EXPECT_EQ(CustomUI(c.RibbonId), c.Markup ? markup : u"");
  }
}

TEST_F(RibbonDispatchTest, NamesGetTheirHashesWhateverTheCase) {
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"RibbonOnLoad"), const_cast<LPOLESTR>(L"RIBBONONLOAD"),
                      const_cast<LPOLESTR>(L"no.such.callback")};
  DISPID ids[3] = {};
  ASSERT_EQ(Ribbon->GetIDsOfNames(IID_NULL, names, 3, 0, ids), S_OK);
  EXPECT_EQ(ids[0], 854275087);
  EXPECT_EQ(ids[1], 854275087);
  EXPECT_NE(ids[2], 0);
}

TEST_F(RibbonDispatchTest, CallbacksAnswerWithVariantsOfTheirKind) {
  TbrvOfficeCommand* button = AddButton();
  TVariant result;
  ASSERT_EQ(Call(L"brvG.7.getLabel", {&Control}, result.put()), S_OK);
  ASSERT_EQ(result.get().vt, VT_BSTR);
  EXPECT_EQ(TBstr::Text(result.get().bstrVal), u"Label");
  ASSERT_EQ(Call(L"brvG.7.getHint", {&Control}, result.put()), S_OK);
  EXPECT_EQ(TBstr::Text(result.get().bstrVal), u"Tip");
  ASSERT_EQ(Call(L"brvG.7.getEnabled", {&Control}, result.put()), S_OK);
  ASSERT_EQ(result.get().vt, VT_BOOL);
  EXPECT_EQ(result.get().boolVal, VARIANT_TRUE);
  button->SetVisible(false);
  ASSERT_EQ(Call(L"brvG.7.getVisible", {&Control}, result.put()), S_OK);
  EXPECT_EQ(result.get().boolVal, VARIANT_FALSE);
  ASSERT_EQ(Call(L"brvG.7.unknown", {&Control}, result.put()), S_OK);
  EXPECT_EQ(result.get().vt, VT_EMPTY);
  EXPECT_EQ(Control.Refs, 1);
}

TEST_F(RibbonDispatchTest, ImageCallbackGivesANewPictureEachTime) {
  AddButton();
  TVariant first, second;
  ASSERT_EQ(Call(L"brvG.7.getImage", {&Control}, first.put()), S_OK);
  ASSERT_EQ(Call(L"brvG.7.getImage", {&Control}, second.put()), S_OK);
  ASSERT_EQ(first.get().vt, VT_DISPATCH);
  ASSERT_NE(first.get().pdispVal, nullptr);
  EXPECT_NE(first.get().pdispVal, second.get().pdispVal);
  TComPtr<IPictureDisp> picture;
  EXPECT_EQ(first.get().pdispVal->QueryInterface(IID_IPictureDisp, picture.put_void()), S_OK);
  TComPtr<IPicture> icon;
  ASSERT_EQ(first.get().pdispVal->QueryInterface(IID_IPicture, icon.put_void()), S_OK);
  SHORT type = 0;
  EXPECT_EQ(icon->get_Type(&type), S_OK);
  EXPECT_EQ(type, PICTYPE_ICON);
}

TEST_F(RibbonDispatchTest, ArgumentsArriveInDeclarationOrder) {
  AddButton();
  TFakeRibbonControl other(u"other");
  TVariant result;
  // The control is the first declared argument; a second one follows it.
  ASSERT_EQ(Call(L"brvG.7.getLabel", {&Control, &other}, result.put()), S_OK);
  EXPECT_EQ(TBstr::Text(result.get().bstrVal), u"Label");
  ASSERT_EQ(Call(L"brvG.7.getLabel", {&other, &Control}, result.put()), S_OK);
  EXPECT_EQ(result.get().vt, VT_EMPTY);
}

TEST_F(RibbonDispatchTest, LoadCallbackHandsTheRibbonToTheModelForRefreshes) {
  TbrvOfficeCommand* button = AddButton();
  TFakeRibbonUI ribbon;
  TVariant result;
  ASSERT_EQ(Call(L"RibbonOnLoad", {&ribbon}, result.put()), S_OK);
  EXPECT_EQ(result.get().vt, VT_EMPTY);
  EXPECT_EQ(ribbon.Refs, 2);
  button->SetCaption(u"New label");
  EXPECT_EQ(ribbon.Invalidations, 1);
  ASSERT_EQ(Call(L"brvG.7.getLabel", {&Control}, result.put()), S_OK);
  EXPECT_EQ(TBstr::Text(result.get().bstrVal), u"New label");
  // The model holds the ribbon until the add-in's last reference goes.
  Ribbon.reset();
  EXPECT_EQ(ribbon.Refs, 1);
}

TEST_F(RibbonDispatchTest, FailuresLeaveTheResultAsItWas) {
  TVariant result;
  // Before the model exists a call without arguments is harmless.
  ASSERT_EQ(Call(L"brvG.7.getLabel", {}, result.put()), S_OK);
  EXPECT_EQ(result.get().vt, VT_EMPTY);

  TbrvOfficeCommand* button = AddButton();
  button->SetOnClick(
      [](TbrvObject*) { throw EbrvObject(static_cast<TbrvResult>(0x80070005), u"no access"); });
  test::TFakeApplication notAControl;
  struct TCase {
    const char* Name;
    const wchar_t* Callback;
    std::vector<IDispatch*> Arguments;
    HRESULT Expected;
  };
  const TCase cases[] = {
      {"no arguments", L"brvG.7.getLabel", {}, kDISP_E_BADPARAMCOUNT},
      {"not a control", L"brvG.7.getLabel", {&notAControl}, E_NOINTERFACE},
      {"not a ribbon", L"RibbonOnLoad", {&notAControl}, E_NOINTERFACE},
      {"failing click handler", L"brvG.7.onAction", {&Control}, static_cast<HRESULT>(0x80070005)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    VARIANT* v = result.put();
    v->vt = VT_I4;
    v->lVal = 42;
    const HRESULT hr = Call(c.Callback, c.Arguments, v);
    EXPECT_EQ(hr, c.Expected);
    EXPECT_EQ(result.get().vt, VT_I4);
    EXPECT_EQ(result.get().lVal, 42);
  }
  EXPECT_EQ(os::TakeThreadErrorDescription(), std::optional<std::u16string>(u"no access"));
  EXPECT_EQ(notAControl.Refs, 1);
}

TEST_F(RibbonDispatchTest, ActionRunsTheClickHandlerWithoutAResult) {
  TbrvOfficeCommand* button = AddButton();
  std::vector<TbrvObject*> senders;
  button->SetOnClick([&](TbrvObject* Sender) { senders.push_back(Sender); });
  ASSERT_EQ(Call(L"brvG.7.onAction", {&Control}, nullptr), S_OK);
  EXPECT_EQ(senders, std::vector<TbrvObject*>{button});
}

}  // namespace
}  // namespace brv
