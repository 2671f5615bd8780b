#include "test_addin.h"

#include <cstdio>
#include <string>

#include "foundation/text.h"
#include "platform/wide_win.h"

namespace brv::test {

void Report(const std::string& Line) {
  std::printf("testaddin: %s\n", Line.c_str());
  std::fflush(stdout);
}

std::u16string EnvironmentValue(const wchar_t* Name) {
  wchar_t value[1024] = L"";
  const DWORD length = GetEnvironmentVariableW(Name, value, 1024);
  return length == 0 || length >= 1024 ? std::u16string() : platform::FromWide(value, length);
}

TTestAddIn::TTestAddIn(const TbrvComControl& Control) : TbrvOfficeAddIn2(Control) { Report("created"); }

TTestAddIn::~TTestAddIn() { Report("destroyed"); }

void TTestAddIn::Initialize() {
  Report("Initialize");
  const std::u16string mode = EnvironmentValue(L"SORTWISE_TEST_ADDIN");
  FMode = mode == u"worker"   ? TMode::Worker
          : mode == u"direct" ? TMode::Direct
          : mode == u"marshal" ? TMode::Marshal
          : mode == u"editor" ? TMode::Editor
                              : TMode::Plain;
  if (!mode.empty()) Report("mode " + Utf16ToUtf8(mode));
  TbrvOfficeCommandBar* group = CommandBars().Add(u"brvTest");
  group->SetCaption(u"Test Group");
  FButton = group->Add(u"brvTest.1");
  FButton->SetCaption(u"Press me");
  FButton->SetHint(u"Presses the test button");
  FButton->SetSize(ocsLarge);
  FButton->SetOnClick([this](TbrvObject* Sender) { ButtonClick(Sender); });
}

void TTestAddIn::Shutdown() {
  Report("Shutdown " + std::to_string(++FShutdowns));
  StopWorker();
  FButton = nullptr;
  CommandBars().Clear();
}

void TTestAddIn::ButtonClick(TbrvObject* Sender) {
  auto* button = static_cast<TbrvOfficeCommand*>(Sender);
  Report("click " + std::to_string(++FClicks));
  // The host sees the new caption only through the refresh that the setter requests.
  button->SetCaption(u"Pressed " + std::u16string(1, static_cast<char16_t>(u'0' + FClicks % 10)));
  switch (FMode) {
    case TMode::Worker:
    case TMode::Direct:
    case TMode::Marshal:
      StartWorker();
      break;
    case TMode::Editor:
      OpenEditor();
      break;
    case TMode::Plain:
      break;
  }
}

}  // namespace brv::test
