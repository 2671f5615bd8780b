#include "office/name_hash.h"

#include <gtest/gtest.h>

namespace brv {
namespace {

TEST(NameHash, KnownValuesInEveryLetterCase) {
  struct TCase {
    std::u16string_view Name;
    int32_t Expected;
  };
  const TCase cases[] = {
      {u"RibbonOnLoad", 854275087},
      {u"ribbononload", 854275087},
      {u"RIBBONONLOAD", 854275087},
      {u"rIbBoNoNlOaD", 854275087},
      {u"", 0},
      {u"A", 0x41},
      {u"ab", (0x41 << 5) ^ 0x42},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(NameHash(c.Name), c.Expected) << std::string(c.Name.begin(), c.Name.end());
}

TEST(NameHash, RotatesWithinThirtyTwoBitsAndReadsTheResultSigned) {
  // Seven letters push the first one past bit 31; the rotation brings its high bits back.
  uint32_t h = 0;
  for (char16_t c : std::u16string_view(u"ZZZZZZZZ")) h = ((h << 5) | (h >> 27)) ^ c;
  EXPECT_EQ(NameHash(u"zzzzzzzz"), static_cast<int32_t>(h));
  EXPECT_NE(NameHash(u"brv1F3A.40211.getLabel"), NameHash(u"brv1F3A.40211.getHint"));
  EXPECT_EQ(NameHash(u"brv1F3A.40211.GETLABEL"), NameHash(u"BRV1f3a.40211.getlabel"));
}

}  // namespace
}  // namespace brv
