#include "test_addin.h"

#include <cstdio>
#include <string>

namespace brv::test {

namespace {

void Report(const std::string& Line) {
  std::printf("testaddin: %s\n", Line.c_str());
  std::fflush(stdout);
}

}  // namespace

TTestAddIn::TTestAddIn(const TbrvComControl& Control) : TbrvOfficeAddIn2(Control) { Report("created"); }

TTestAddIn::~TTestAddIn() { Report("destroyed"); }

void TTestAddIn::Initialize() {
  Report("Initialize");
  TbrvOfficeCommandBar* group = CommandBars().Add(u"brvTest");
  group->SetCaption(u"Test Group");
  TbrvOfficeCommand* button = group->Add(u"brvTest.1");
  button->SetCaption(u"Press me");
  button->SetHint(u"Presses the test button");
  button->SetSize(ocsLarge);
  button->SetOnClick([this](TbrvObject* Sender) { ButtonClick(Sender); });
}

void TTestAddIn::Shutdown() {
  Report("Shutdown " + std::to_string(++FShutdowns));
  CommandBars().Clear();
}

void TTestAddIn::ButtonClick(TbrvObject* Sender) {
  auto* button = static_cast<TbrvOfficeCommand*>(Sender);
  Report("click " + std::to_string(++FClicks));
  // The host sees the new caption only through the refresh that the setter requests.
  button->SetCaption(u"Pressed " + std::u16string(1, static_cast<char16_t>(u'0' + FClicks % 10)));
}

}  // namespace brv::test
