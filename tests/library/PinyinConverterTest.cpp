#include <gtest/gtest.h>

#include "library/PinyinConverter.h"
#include "shell/TextCodec.h"

namespace {

std::string pinyin(const std::string& utf8, int options) {
    return PinyinConverter().ConvertUtf8(utf8, options);
}

TEST(PinyinConverterTest, SingleBytesPassInUpperCase) {
    EXPECT_EQ(pinyin("abc", 0), "ABC");
    EXPECT_EQ(pinyin("abc", 7), "ABC");
    EXPECT_EQ(pinyin(" x-1", 4), " X-1");
    EXPECT_EQ(pinyin("", 1), "");
    EXPECT_EQ(pinyin("abc", -1), "");
}

TEST(PinyinConverterTest, CharactersGiveSyllablesOrInitials) {
    EXPECT_EQ(pinyin("中国", 1), "zhongguo");
    EXPECT_EQ(pinyin("中国", 0), "zg");
    EXPECT_EQ(pinyin("中国", 4), "zg");
    EXPECT_EQ(pinyin("乐窗双庄音啊", 1), "lechuanshuanzhuanyina");
    EXPECT_EQ(pinyin("庄", 1), "zhuan");
    EXPECT_EQ(pinyin("女绿略", 1), "nvlvlue");
    // Common characters that older tables lacked.
    EXPECT_EQ(pinyin("给佛", 1), "geifo");
    EXPECT_EQ(pinyin("给", 4), "g");
}

TEST(PinyinConverterTest, CodesWithoutReadingAreDroppedOrMarked) {
    // 0xA1 0xA1 (ideographic space) and 0xFE 0x50 have no reading.
    const std::string none = "\xA1\xA1\xFE\x50";
    EXPECT_EQ(PinyinConverter().Convert(none, 2), "??");
    EXPECT_EQ(PinyinConverter().Convert(none, 4), "");
    // A lead byte at the end or before a low byte stands alone; 0xFF is never part of a code.
    EXPECT_EQ(PinyinConverter().Convert("a\xD6", 1), "A\xD6");
    EXPECT_EQ(PinyinConverter().Convert("\xD6\x20", 1), "\xD6 ");
    EXPECT_EQ(PinyinConverter().Convert("\xFE\xFF", 2), "?");
    EXPECT_EQ(PinyinConverter().Convert("\xFF\x41\xFF\xFE", 2), "??");
}

TEST(PinyinConverterTest, SymbolRowsServeTheLetterJump) {
    EXPECT_EQ(pinyin("ＡｂＣ１（）", 0), "ABC1()");
    EXPECT_EQ(pinyin("ＡｂＣ１（）", 4), "ABC1");
    EXPECT_EQ(pinyin("①⑿Ⅻ", 1), "11212");
    EXPECT_EQ(pinyin("ΑΘω", 1), "ATHO");
    EXPECT_EQ(pinyin("Θ", 0), "T");
    // Unassigned codes of the full-width row give nothing.
    EXPECT_EQ(PinyinConverter().Convert("\xA3\x41", 0), "");
}

}  // namespace
