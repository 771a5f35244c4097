#pragma once

#include <string>

// Every section and key of the configuration file "OrvMelodeck.ini", with the default its read
// sites use. Read and write them through the helpers of shell/Settings.h.

struct StringKey {
    const char* section;
    const char* key;
    const char* def;
};

struct IntKey {
    const char* section;
    const char* key;
    int def;
};

struct DoubleKey {
    const char* section;
    const char* key;
    double def;
};

namespace ConfigKey {

// Program folder, ending with "/"; rewritten at every start.
inline constexpr StringKey AppPath{"App", "AppPath", ""};
// 1: show the tip of the day at start.
inline constexpr IntKey EverydayTip{"App", "EverydayTip", 1};

// Period of the lyric refresh timer, ms.
inline constexpr IntKey LyricsTimer{"Timer", "Lyrics", 500};

// Seek step and volume step of the status bar clicks.
inline constexpr IntKey UserTimeOffset{"User", "TimeOffset", 10000};
inline constexpr IntKey UserVolumeOffset{"User", "VolumeOffset", 10000};

// Lyric shift step of the status bar clicks, ms.
inline constexpr IntKey LyricsTimeOffset{"Lyrics", "TimeOffset", 500};
// The user's own lyric folder.
inline constexpr StringKey LyricsCustomPath{"Lyrics", "CustomPath", ""};
inline constexpr StringKey LyricsFontName{"Lyrics", "FontName", "宋体"};
inline constexpr IntKey LyricsFontHeight{"Lyrics", "FontHeight", 14};
inline constexpr IntKey LyricsBold{"Lyrics", "Bold", 400};
inline constexpr IntKey LyricsItalic{"Lyrics", "Italic", 0};
inline constexpr IntKey LyricsCharSet{"Lyrics", "CharSet", 134};
inline constexpr IntKey LyricsMode{"Lyrics", "Mode", 0};
// Colours are red + 256 * green + 65536 * blue.
inline constexpr IntKey LyricsBkColor{"Lyrics", "BkColor", 0};
inline constexpr IntKey LyricsTeColor{"Lyrics", "TeColor", 38400};
inline constexpr IntKey LyricsHighBkColor{"Lyrics", "HighBkColor", 1973790};
inline constexpr IntKey LyricsHighTeColor{"Lyrics", "HighTeColor", 65280};

// Category shown first, and the song list colours.
inline constexpr IntKey MusicListCurIndex{"MusicList", "CurIndex", 0};
inline constexpr IntKey MusicListBkColor{"MusicList", "BkColor", 0};
inline constexpr IntKey MusicListTeColor{"MusicList", "TeColor", 65280};

// Number of categories; the names are "Tab"/"Cat%d" (see categoryNameKey).
inline constexpr IntKey TabNum{"Tab", "Num", 2};

// Live microphone monitor. Where the sing command and the options page read a key with
// different defaults, both are here.
inline constexpr DoubleKey PhoneDelay{"PhoneSet", "Delay", 0.005};
inline constexpr IntKey PhoneBuffernum{"PhoneSet", "Buffernum", 6};
inline constexpr IntKey PhoneChannel{"PhoneSet", "Channel", 1};
inline constexpr IntKey PhoneByte{"PhoneSet", "Byte", 1};
inline constexpr IntKey PhoneFren{"PhoneSet", "Fren", 220500};
inline constexpr IntKey PhoneFrenSing{"PhoneSet", "Fren", 22050};
inline constexpr IntKey PhoneRefreshTimer{"PhoneSet", "RefreshTimer", 60};
inline constexpr IntKey PhoneRefreshTimerSing{"PhoneSet", "RefreshTimer", 15};

// Voice recorder.
inline constexpr DoubleKey RecordDelay{"RecordSet", "Delay", 0.05};
inline constexpr IntKey RecordBuffernum{"RecordSet", "Buffernum", 10};
inline constexpr IntKey RecordChannel{"RecordSet", "Channel", 2};
inline constexpr IntKey RecordByte{"RecordSet", "Byte", 2};
inline constexpr IntKey RecordFren{"RecordSet", "Fren", 441000};

// Capture input line the recorder switches on, and the music position of the last recording.
inline constexpr StringKey RecordDeviceName{"Record", "DeviceName", "Microphone"};
inline constexpr IntKey RecordBeginTime{"Record", "BeginTime", 0};

// Name of category k (from 0): key "Cat<k>", default "歌曲列表<k+1>".
struct CategoryNameKey {
    std::string key;
    std::string def;
};
inline CategoryNameKey categoryNameKey(int k) {
    return {"Cat" + std::to_string(k), "歌曲列表" + std::to_string(k + 1)};
}
inline constexpr const char* TabSection = "Tab";

}  // namespace ConfigKey
