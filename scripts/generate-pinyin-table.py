#!/usr/bin/env python3
"""Generates library/PinyinTable.cpp: the syllable list and the GBK-to-syllable index table.

Readings come from two packaged sources:
  - Debian's rime-data-pinyin-simp: /usr/share/rime-data/pinyin_simp.dict.yaml
    (character, toneless reading, weight; the heaviest reading of a character wins);
  - the npm package pinyin-data (npm pack pinyin-data): 全拼数据.js, toned readings with the
    most common first; used for characters the first source does not cover.
OVERRIDES settles common characters where the sources disagree with everyday use.

Usage: scripts/generate-pinyin-table.py PINYIN_DATA_JS [RIME_DICT] > library/PinyinTable.cpp
"""
import json
import re
import sys
import unicodedata

# Syllables 1-393 in alphabetical order, except that ji, qiao and yao stand at 92, 127 and 220.
ALPHABETICAL = """
a ai an ang ao ba bai ban bang bao bei ben beng bi bian biao bie bin bing bo bu ca cai can cang
cao ce ceng cha chai chan chang chao che chen cheng chi chong chou chu chuai chuan chuang chui
chun chuo ci cong cou cu cuan cui cun cuo da dai dan dang dao de deng di dian diao die ding diu
dong dou du duan dui dun duo e en er fa fan fang fei fen feng fou fu ga gai gan gang gao ge gen
geng gong gou gu gua guai guan guang gui gun guo ha hai han hang hao he hei hen heng hong hou hu
hua huai huan huang hui hun huo jia jian jiang jiao jie jin jing jiong jiu ju juan jue jun ka
kai kan kang kao ke ken keng kong kou ku kua kuai kuan kuang kui kun kuo la lai lan lang lao le
lei leng li lia lian liang liao lie lin ling liu long lou lu luan lue lun luo ma mai man mang
mao me mei men meng mi mian miao mie min ming miu mo mou mu na nai nan nang nao ne nei nen neng
ni nian niang niao nie nin ning niu nong nu nuan nue nuo o ou pa pai pan pang pao pei pen peng
pi pian piao pie pin ping po pou pu qi qia qian qiang qie qin qing qiong qiu qu quan que qun ran
rang rao re ren reng ri rong rou ru ruan rui run ruo sa sai san sang sao se sen seng sha shai
shan shang shao she shen sheng shi shou shu shua shuai shuan shuang shui shun shuo si song sou
su suan sui sun suo ta tai tan tang tao te teng ti tian tiao tie ting tong tou tu tuan tui tun
tuo wa wai wan wang wei wen weng wo wu xi xia xian xiang xiao xie xin xing xiong xiu xu xuan xue
xun ya yan yang ye yi yin ying yo yong you yu yuan yue yun za zai zan zang zao ze zei zen zeng
zha zhai zhan zhang zhao zhe zhen zheng zhi zhong zhou zhu zhua zhuai zhuan zhuang zhui zhun
zhuo zi zong zou zu zuan zui zun zuo
""".split()
OUT_OF_ORDER = [(92, "ji"), (127, "qiao"), (220, "yao")]
# 394 is the empty syllable; 395-405 as the list has them. 406 and 407 give 给 and 佛 their
# readings, which the list otherwise lacks.
EXTRA = ["", "ei", "m", "n", "dia", "cen", "nou", "jv", "qv", "xv", "lv", "nv", "gei", "fo"]

# Readings that everyday use gives these characters where a source prefers a rarer one.
OVERRIDES = {
    "乐": "le", "给": "gei", "佛": "fo", "行": "xing", "长": "chang", "重": "zhong",
    "还": "hai", "都": "dou", "得": "de", "着": "zhe", "了": "le", "的": "de", "地": "di",
    "和": "he", "会": "hui", "没": "mei", "说": "shuo", "谁": "shui", "这": "zhe", "那": "na",
    "哪": "na", "么": "me", "血": "xue", "薄": "bao", "曾": "ceng", "单": "dan", "朝": "chao",
    "解": "jie", "弹": "tan", "觉": "jue", "落": "luo", "蔓": "man", "省": "sheng", "率": "lv",
    "绿": "lv", "律": "lv", "女": "nv", "吕": "lv", "旅": "lv", "驴": "lv", "略": "lue",
    "辟": "pi", "绰": "chuo", "咀": "ju", "咖": "ka", "咳": "ke", "肋": "lei", "碌": "lu",
    "茄": "qie", "尾": "wei", "挝": "wo", "厦": "sha", "纤": "xian", "俞": "yu", "栅": "zha",
    "琢": "zhuo", "仔": "zi", "综": "zong",
}

# Readings outside the list that map onto one of its spellings.
SPELLINGS = {"lve": "lue", "nve": "nue", "lüe": "lue", "nüe": "nue"}


def syllables():
    ordered = list(ALPHABETICAL)
    for position, syllable in OUT_OF_ORDER:
        ordered.insert(position - 1, syllable)
    assert len(ordered) == 393, len(ordered)
    return ordered + EXTRA


def toneless(reading):
    reading = reading.strip().replace("ü", "v").replace("u:", "v")
    reading = unicodedata.normalize("NFD", reading).replace("u\u0308", "v")
    reading = "".join(c for c in reading if unicodedata.category(c) != "Mn")
    return SPELLINGS.get(reading, reading)


def rime_readings(path):
    best = {}
    for line in open(path, encoding="utf-8"):
        parts = line.rstrip("\n").split("\t")
        if len(parts) < 2 or len(parts[0]) != 1 or not re.fullmatch("[a-z]+", parts[1]):
            continue
        weight = int(parts[2]) if len(parts) > 2 and parts[2].isdigit() else 0
        best.setdefault(parts[0], []).append((weight, toneless(parts[1])))
    return {c: [r for _, r in sorted(rs, key=lambda x: -x[0])] for c, rs in best.items()}


def pinyin_data_readings(path):
    source = open(path, encoding="utf-8").read()
    table = json.loads(re.search(r"带音调拼音=Object\.freeze\((\{.*?\})\)", source, re.S).group(1))
    return {c: [toneless(r) for r in v.split(",")] for c, v in table.items()}


def reading_number(char, numbers, rime, data):
    if char in OVERRIDES:
        return numbers[OVERRIDES[char]]
    for candidates in (rime.get(char, []), data.get(char, [])):
        for reading in candidates:
            if reading in numbers:
                return numbers[reading]
    return 0


def main():
    data = pinyin_data_readings(sys.argv[1])
    rime = rime_readings(sys.argv[2] if len(sys.argv) > 2 else
                         "/usr/share/rime-data/pinyin_simp.dict.yaml")
    names = syllables()
    numbers = {s: i + 1 for i, s in enumerate(names) if s}
    index = []
    for lead in range(0x81, 0xFF):
        for trail in range(0x40, 0xFF):
            value = 0
            if not 0xA1 <= lead <= 0xA9:
                try:
                    char = bytes([lead, trail]).decode("gbk")
                    value = reading_number(char, numbers, rime, data)
                except UnicodeDecodeError:
                    pass
            index.append(value)
    assert len(index) == 24066

    out = sys.stdout
    out.write("// Generated by scripts/generate-pinyin-table.py; do not edit.\n\n")
    out.write('#include "library/PinyinTable.h"\n\n')
    out.write("// clang-format off\n")
    out.write("const char* const kPinyinSyllables[kPinyinSyllableCount + 1] = {\n    \"\",")
    for i, name in enumerate(names):
        out.write(("\n    " if i % 12 == 0 else " ") + '"%s",' % name)
    out.write("\n};\n\n")
    out.write("const unsigned short kPinyinIndex[kPinyinIndexSize] = {")
    for i, value in enumerate(index):
        out.write(("\n    " if i % 20 == 0 else " ") + "%d," % value)
    out.write("\n};\n// clang-format on\n")
    known = sum(1 for v in index if v)
    print("syllables %d, coded characters with a reading %d" % (len(names), known),
          file=sys.stderr)


if __name__ == "__main__":
    main()
