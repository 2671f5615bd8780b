// The editor mode of the test add-in: the rule editor, modal on the host's thread, over the
// host's application, as a click on the product's button opens it; the rules are saved back
// when it closes.
#include <memory>

#include "com/com_ptr.h"
#include "foundation/text.h"
#include "host/outlook_dispatch.h"
#include "sorting/sortwise.h"
#include "test_addin.h"
#include "ui/application.h"
#include "ui/form_win.h"
#include "ui/handles_win.h"
#include "ui/main_window_win.h"
#include "ui/visual_styles_win.h"

namespace brv::test {

void TTestAddIn::OpenEditor() {
  swo::SetApplicationTitle(u"Brevanta Outlook Sortwise");
  static const swo::TUniqueIcon icon(
      static_cast<HICON>(LoadImageW(swo::ThisModule(), L"APPICON", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
  swo::SetApplicationIcon(icon.get());
  const std::unique_ptr<swo::TSortwise> sorter(swo::TSortwise::Create());
  const std::u16string rules = EnvironmentValue(L"SORTWISE_TEST_ADDIN_RULES");
  if (!rules.empty()) sorter->Load(rules);
  TComPtr<IDispatch> application;
  EbrvObject::Check(Application()->QueryInterface(IID_IDispatch, application.put_void()));
  sorter->SetApplication_(outlook::WrapApplication(application.get()));
  swo::TfrmMain window(*sorter);
  try {
    Report("editor result " + std::to_string(window.ShowModal(nullptr)));
  } catch (const Exception& e) {
    Report("editor error " + Utf16ToUtf8(e.Message()));
    throw;
  }
  if (!rules.empty()) sorter->Save(rules);
}

}  // namespace brv::test
