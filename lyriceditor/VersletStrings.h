#pragma once

// The lyric editor's own user texts, under the numbers of its string table.
namespace VersletStrings {

inline constexpr const char* kDialogTitle = "Vocalia - Verslet  为自己喜爱的歌制作LRC歌词";
inline constexpr const char* kAboutEntry = "&About Verslet...";               // 101
inline constexpr const char* kTimeColumn = "时间";                            // 102
inline constexpr const char* kWordsColumn = "歌词";                           // 103
inline constexpr const char* kPositionIdle = "这里显示的是播放时间";          // 104
inline constexpr const char* kCaption = "Vocalia";                            // 105
inline constexpr const char* kSameTime = "同一时间只能添加一句歌词!";         // 106
inline constexpr const char* kPause = "暂停";                                 // 107
inline constexpr const char* kContinue = "继续";                              // 108
inline constexpr const char* kSongFilter = "MP3 音乐文件(*.mp3)";             // 109
inline constexpr const char* kLyricFilter = "LRC 歌词文件(*.lrc)";            // 110
inline constexpr const char* kIncompleteInfo = "请填写完整的歌词信息!";       // 111
inline constexpr const char* kSaving = "正在保存歌词...";                     // 112
inline constexpr const char* kSaved = "歌词已保存";                           // 113
inline constexpr const char* kSaveFailed = "保存歌词失败";                    // 114
inline constexpr const char* kCannotPlay = "无法播放这首歌曲";                // 115
inline constexpr const char* kUnsavedLines = "歌词还没有保存,确定要退出吗?";  // 116
inline constexpr const char* kAboutTitle = "关于 Verslet";
inline constexpr const char* kAboutText = "Verslet V1.0";

}  // namespace VersletStrings
