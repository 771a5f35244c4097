#include "resources/StringTable.h"

#include <algorithm>
#include <iterator>

namespace {

struct Entry {
    int id;
    const char* text;
};

// Sorted by number.
constexpr Entry kStrings[] = {
    {15, "Vocalia V2.4 简体中文版"},
    {17, "未找到本歌歌词,请使用右键菜单在歌词库中搜索"},
    {18, "若仍无法找到,可尝试从搜索网络下载并添加至歌词库"},
    {24, "打开文件失败"},
    {25, "Vocalia"},
    {26, "歌词缺乏歌手和歌曲的信息,添加失败"},
    {27, "恭喜,歌词已经成功添加至歌词库!"},
    {45, "音乐"},
    {46, "时间"},
    {51, "提示：选择你的MP3，点消原唱按钮，即获得伴奏MP3"},
    {52, "正在解压缩MP3文件,不要关闭窗口,请耐心等待..."},
    {53, "正在处理声音数据,不要关闭窗口,请耐心等待..."},
    {54, "正在输出伴奏MP3,不要关闭窗口,请耐心等待..."},
    {55, "正在写入MP3信息,不要关闭窗口,请耐心等待..."},
    {56, "全部工作结束!"},
    {66, "正在压缩保存为MP3,请耐心等待..."},
    {67, "将你的歌声和背景音乐合成有ID信息的MP3"},
    {68, "Vocalia，打造个人专辑"},
    {69, "欢迎使用Vocalia"},
    {70, ">>>>"},
    {71, "<<<<"},
    {74, "鼠标左键单击快退,右键单击减小音量"},
    {75, "鼠标左键单击快进,右键单击增大音量"},
    {76, "左键单击提前歌词，右键单击滞后歌词"},
    {77, "状态提示,鼠标左键单击可滚动"},
    {78, "创建音频采集设备失败，操作无法进行。"},
    {79, "创建LAME编码组件失败，操作无法进行。"},
    {80, "创建WavDest组件失败，操作无法进行"},
    {81, "创建FileWriter组件失败，操作无法进行。"},
    {84, "歌手名"},
    {85, "歌曲名"},
    {86, "路径"},
    {4301, "复制歌词文件到歌词库失败,添加失败"},
};

}  // namespace

const char* loadString(int id) {
    const auto* it = std::lower_bound(std::begin(kStrings), std::end(kStrings), id,
                                      [](const Entry& e, int value) { return e.id < value; });
    return (it != std::end(kStrings) && it->id == id) ? it->text : "";
}
