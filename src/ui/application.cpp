#include "ui/application.h"

#include <utility>

namespace swo {
namespace {

std::u16string& Title() {
  static std::u16string Value;
  return Value;
}

}  // namespace

const std::u16string& ApplicationTitle() { return Title(); }

void SetApplicationTitle(std::u16string NewTitle) { Title() = std::move(NewTitle); }

}  // namespace swo
