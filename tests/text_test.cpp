#include "contracts/text.h"

#include <gtest/gtest.h>

#include <string>

namespace vamu {
namespace {

TEST(TextUtf8, JapaneseRoundTrip) {
    const std::u16string text = u"地図の読み込み中… (RDW2010) ｶﾅ";
    const std::string utf8 = toUtf8(text);
    EXPECT_EQ(utf8,
              "\xE5\x9C\xB0\xE5\x9B\xB3\xE3\x81\xAE\xE8\xAA\xAD\xE3\x81\xBF\xE8\xBE\xBC\xE3\x81\xBF"
              "\xE4\xB8\xAD\xE2\x80\xA6 (RDW2010) \xEF\xBD\xB6\xEF\xBE\x85");
    EXPECT_EQ(fromUtf8(utf8), text);
    EXPECT_EQ(toUtf8(u""), "");
    EXPECT_EQ(fromUtf8(""), u"");
}

TEST(TextUtf8, EncodingBoundaries) {
    // The last code point of each length and the first of the next.
    const std::u16string text = {0x0000, 0x007F, 0x0080, 0x07FF, 0x0800, 0xD7FF, 0xE000, 0xFFFD, 0xFFFF};
    const std::string utf8 = toUtf8(text);
    EXPECT_EQ(utf8,
              std::string(
                  "\0\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80\xEF\xBF\xBD\xEF\xBF\xBF", 21));
    EXPECT_EQ(fromUtf8(utf8), text);
}

TEST(TextUtf8, SurrogatePairsBecomeFourBytes) {
    const std::u16string text = u"𠮷野家 😀 \U0010FFFF \U00010000";
    EXPECT_EQ(toUtf8(u"𠮷"), "\xF0\xA0\xAE\xB7");
    EXPECT_EQ(toUtf8(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
    EXPECT_EQ(toUtf8(u"\U00010000"), "\xF0\x90\x80\x80");
    EXPECT_EQ(fromUtf8(toUtf8(text)), text);
}

TEST(TextUtf8, LoneSurrogatesBecomeReplacementCharacters) {
    const char16_t high = 0xD842, low = 0xDFB7;
    EXPECT_EQ(toUtf8(std::u16string{high}), "\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(std::u16string{low}), "\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(std::u16string{u'a', high, u'b'}),
              "a\xEF\xBF\xBD"
              "b");
    // Reversed order is two lone surrogates, not a pair.
    EXPECT_EQ(toUtf8(std::u16string{low, high}), "\xEF\xBF\xBD\xEF\xBF\xBD");
    // A high surrogate followed by another pair: the first stands alone.
    EXPECT_EQ(toUtf8(std::u16string{high, high, low}), "\xEF\xBF\xBD\xF0\xA0\xAE\xB7");
}

TEST(TextUtf8, MalformedBytesBecomeReplacementCharacters) {
    EXPECT_EQ(fromUtf8("a\x80"
                       "b"),
              u"a\uFFFDb");                            // stray continuation byte
    EXPECT_EQ(fromUtf8("\xFF\xFE"), u"\uFFFD\uFFFD");  // bytes that never occur
    EXPECT_EQ(fromUtf8("\xE5\x9C"), u"\uFFFD");        // truncated at the end
    EXPECT_EQ(fromUtf8("\xE5\x9C"
                       "A"),
              u"\uFFFDA");                                     // truncated before ASCII
    EXPECT_EQ(fromUtf8("\xE5\x9C\xE5\x9C\xB0"), u"\uFFFD地");  // truncated before a full one
    EXPECT_EQ(fromUtf8("\xF0\xA0\xAE"), u"\uFFFD");
}

TEST(TextUtf8, IllFormedSequencesAreRejectedNotDecoded) {
    EXPECT_EQ(fromUtf8(std::string("\xC0\x80", 2)), u"\uFFFD\uFFFD");      // overlong NUL
    EXPECT_EQ(fromUtf8("\xC1\xBF"), u"\uFFFD\uFFFD");                      // overlong DEL
    EXPECT_EQ(fromUtf8("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");            // overlong '/'
    EXPECT_EQ(fromUtf8("\xF0\x8F\xBF\xBF"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // overlong U+FFFF
    // An encoded surrogate must not turn into a lone UTF-16 surrogate.
    EXPECT_EQ(fromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(fromUtf8("\xED\xA1\x82\xED\xBE\xB7"), std::u16string(6, u'\uFFFD'));
    // Beyond U+10FFFF
    EXPECT_EQ(fromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(fromUtf8("\xF5\x80\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_EQ(fromUtf8("\xF8\x88\x80\x80\x80"), std::u16string(5, u'\uFFFD'));
    // The highest and lowest legal ones still decode.
    EXPECT_EQ(fromUtf8("\xF4\x8F\xBF\xBF"), u"\U0010FFFF");
    EXPECT_EQ(fromUtf8("\xED\x9F\xBF"), u"\uD7FF");
    EXPECT_EQ(fromUtf8("\xE0\xA0\x80"), u"\u0800");
}

}  // namespace
}  // namespace vamu
