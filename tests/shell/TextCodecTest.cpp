#include <gtest/gtest.h>

#include "shell/TextCodec.h"

namespace {

const std::string kChinese = "我的歌声里 - 曲婉婷";

TEST(TextCodecTest, GbkAndUtf8OfTheSameTextDecodeAlike) {
    const std::string gbk = TextCodec::utf8ToGbk(kChinese);
    EXPECT_NE(gbk, kChinese);
    EXPECT_FALSE(TextCodec::isUtf8(gbk));
    EXPECT_EQ(TextCodec::decodeStoredText(gbk), kChinese);
    EXPECT_EQ(TextCodec::decodeStoredText(kChinese), kChinese);
    EXPECT_EQ(TextCodec::decodeStoredText("\xEF\xBB\xBF" + kChinese), kChinese);
}

TEST(TextCodecTest, KnownGbkBytes) {
    EXPECT_EQ(TextCodec::utf8ToGbk("中国"), "\xD6\xD0\xB9\xFA");
    EXPECT_EQ(TextCodec::gbkToUtf8("\xD6\xD0\xB9\xFA"), "中国");
}

TEST(TextCodecTest, Utf8Validation) {
    EXPECT_TRUE(TextCodec::isUtf8(""));
    EXPECT_TRUE(TextCodec::isUtf8("plain ascii"));
    EXPECT_TRUE(TextCodec::isUtf8("\xF0\x9F\x8E\xA4"));   // U+1F3A4
    EXPECT_FALSE(TextCodec::isUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(TextCodec::isUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(TextCodec::isUtf8("\xE4\xB8"));          // cut short
    EXPECT_FALSE(TextCodec::isUtf8("\xF4\x90\x80\x80"));  // past U+10FFFF
}

TEST(TextCodecTest, UndecodableBytesBecomeReplacementCharacters) {
    // A lone lead byte at the end, then valid text before it survives.
    EXPECT_EQ(TextCodec::decodeStoredText("\xD6\xD0\x81"), "中\xEF\xBF\xBD");
    EXPECT_EQ(TextCodec::gbkToUtf8("a\xFF"
                                   "b"),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(TextCodecTest, CharactersOutsideGbkBecomeQuestionMarks) {
    EXPECT_EQ(TextCodec::utf8ToGbk("a\xF0\x9F\x8E\xA4"
                                   "b"),
              "a?b");
    EXPECT_EQ(TextCodec::utf8ToGbk("x\xC0y"), "x?y");
}

}  // namespace

// Short GBK texts that happen to be well-formed UTF-8 read as the Chinese they are, while
// UTF-8 words with accents and other UTF-8 scripts keep their reading.
TEST(TextCodecTest, AmbiguousShortTextsReadAsTheyWereMeant) {
    const std::string kitten = TextCodec::utf8ToGbk("小猫");
    ASSERT_TRUE(TextCodec::isUtf8(kitten)) << "the case needs GBK bytes that are valid UTF-8";
    EXPECT_EQ(TextCodec::decodeStoredText(kitten), "小猫");
    EXPECT_EQ(TextCodec::decodeStoredText("Twins" + kitten), "Twins小猫");
    for (const std::string utf8 : {"Beyoncé", "Café del Mar", "Привет", "Ελλάδα", "小猫"}) {
        EXPECT_EQ(TextCodec::decodeStoredText(utf8), utf8) << utf8;
    }
    // A byte-order mark says UTF-8 whatever the bytes look like.
    EXPECT_EQ(TextCodec::decodeStoredText("\xEF\xBB\xBF" + kitten), "Сè");
}
