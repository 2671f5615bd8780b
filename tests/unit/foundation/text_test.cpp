#include <gtest/gtest.h>

#include "foundation/text.h"
#include "platform/locale.h"

namespace brv {
namespace {

int Sign(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

TEST(Text, CompareTextFoldsOnlyAsciiLetters) {
  struct Case {
    std::u16string l, r;
    int sign;
  };
  const Case cases[] = {
      {u"abc", u"ABC", 0},       {u"abc", u"abd", -1},        {u"ab", u"abc", -1},
      {u"", u"", 0},             {u"\u00E9", u"\u00C9", 1},  // é and É differ
      {u"a_", u"A_", 0},         {u"[", u"a", 1},            // folds to upper case: [ after A
      {u"Zeta", u"alpha", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareText(c.l, c.r)), c.sign) << Utf16ToUtf8(c.l) << " vs " << Utf16ToUtf8(c.r);
    EXPECT_EQ(SameText(c.l, c.r), c.sign == 0);
  }
}

TEST(Text, UpperCaseChangesOnlyAToZ) {
  EXPECT_EQ(UpperCase(u"mixed Case \u00E9\u00DF z"), u"MIXED CASE \u00E9\u00DF Z");
}

TEST(Text, TrimRemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trim(u" \t\r\n Light Blue \x01 "), u"Light Blue");
  EXPECT_EQ(Trim(u"   "), u"");
  EXPECT_EQ(Trim(u"Red"), u"Red");
  EXPECT_EQ(Trim(u"\u00A0Red"), u"\u00A0Red");  // only code units up to the blank
}

TEST(Text, HexCodeHasEightUpperCaseDigits) {
  EXPECT_EQ(HexCode(0x80070057), u"0x80070057");
  EXPECT_EQ(HexCode(0xabc), u"0x00000ABC");
}

TEST(Text, Utf8AndUtf16ConvertBothWaysAndReplaceInvalidInput) {
  const std::u16string text = u"Gr\u00FC\u00DFe \u20AC \U0001F4E7";
  EXPECT_EQ(Utf16ToUtf8(text), "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x93\xA7");
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
  EXPECT_EQ(Utf8ToUtf16("\xE2\x82"), u"\uFFFD\uFFFD");  // cut off
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong
  EXPECT_EQ(Utf16ToUtf8(u"x\xD800y"), "x?y");           // lone surrogate
}

TEST(LocaleText, CompareIgnoresCaseBeyondAscii) {
  struct Case {
    std::u16string l, r;
    int sign;
  };
  const Case cases[] = {
      {u"m\u00FCller@example.com", u"M\u00DCLLER@EXAMPLE.COM", 0},
      {u"\u00E9t\u00E9", u"\u00C9T\u00C9", 0},
      {u"anna", u"Bert", -1},
      {u"Bert", u"anna", 1},
      {u"ann", u"Anna", -1},
      {u"", u"", 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Sign(platform::LocaleCompareText(c.l, c.r)), c.sign) << Utf16ToUtf8(c.l) << " vs " << Utf16ToUtf8(c.r);
}

TEST(LocaleText, SortKeysOrderAsTheComparisonDoes) {
  const std::u16string texts[] = {u"",          u"a",         u"B",           u"anna@example.com",
                                  u"ANNA@example.com",        u"anne@example.com",
                                  u"m\u00FCller@x.de",       u"M\u00DCLLER@X.DE",
                                  u"zoe@x.de",  u"*",         u"bob.smith@contoso.example"};
  for (const auto& l : texts)
    for (const auto& r : texts) {
      const std::string kl = platform::LocaleSortKey(l), kr = platform::LocaleSortKey(r);
      EXPECT_EQ(Sign(kl.compare(kr)), Sign(platform::LocaleCompareText(l, r))) << Utf16ToUtf8(l) << " vs " << Utf16ToUtf8(r);
    }
}

TEST(LocaleText, UpperCaseMapsLettersBeyondAscii) {
  EXPECT_EQ(platform::LocaleUpperCase(u"ribbonOnLoad"), u"RIBBONONLOAD");
  EXPECT_EQ(platform::LocaleUpperCase(u"m\u00FCller \u00E9t\u00E9 \u03B1"), u"M\u00DCLLER \u00C9T\u00C9 \u0391");
  EXPECT_EQ(platform::LocaleUpperCase(u""), u"");
}

}  // namespace
}  // namespace brv
