#pragma once

#include <sys/types.h>

#include <string>

class FileHandle;

// What the rest of the player needs to know about an MP3 file without playing it: the MPEG
// audio frame headers (version, layer, rates, duration, counted frame by frame so variable
// bitrates average out and each frame is timed by its samples) and the ID3v1 tag, which it can
// also write or remove in place.
// Text fields are the stored bytes; callers decode them with TextCodec::decodeStoredText.
class Mp3Info {
public:
    static constexpr unsigned kFlagTag = 1;     // an ID3v1 tag was found
    static constexpr unsigned kFlagFrames = 2;  // at least one frame header was found

    // Reads `path` when it is not empty.
    explicit Mp3Info(const std::string& path = {});

    // Empty texts, no flags, track 0, genre 255, every count and header field 0.
    void Reset();
    // Reset, then scan the frames and read the tag. False when the file cannot be opened.
    bool Read(const std::string& path);
    // Writes the tag fields as an ID3v1 tag at the end of the file (an empty path means Path()),
    // replacing a tag that is there; the file is created when missing. With `remove` the file is
    // cut before its tag instead (an untagged file stays as it is). True when all went well.
    bool WriteTag(const std::string& path, bool remove) const;

    const std::string& Path() const { return m_path; }
    unsigned Flags() const { return m_flags; }
    const std::string& Artist() const { return m_artist; }
    const std::string& Title() const { return m_title; }
    const std::string& Album() const { return m_album; }
    const std::string& Comment() const { return m_comment; }
    const std::string& Year() const { return m_year; }
    int Track() const { return m_track; }
    int Genre() const { return m_genre; }
    int FrameCount() const { return m_frameCount; }
    int Duration() const { return m_duration; }      // whole seconds
    double PlayTime() const { return m_playTime; }   // seconds
    int Version() const { return m_version; }        // 3 MPEG-1, 2 MPEG-2, 1 MPEG-2.5, 0 reserved
    int Layer() const { return m_layer; }            // 1, 2, 3; 0 reserved
    int Protection() const { return m_protection; }  // the header bit as stored
    int Bitrate() const { return m_bitrate; }        // kbit/s, averaged over the frames
    int SampleRate() const { return m_sampleRate; }  // Hz
    int ChannelMode() const { return m_channelMode; }
    int Emphasis() const { return m_emphasis; }
    int Copyright() const { return m_copyright; }
    int Original() const { return m_original; }

    // Tag texts in UTF-8; the tag block converts them to GBK when written (see Id3v1Tag).
    void SetArtist(const std::string& text) { m_artist = text; }
    void SetTitle(const std::string& text) { m_title = text; }
    void SetAlbum(const std::string& text) { m_album = text; }
    void SetComment(const std::string& text) { m_comment = text; }
    void SetYear(const std::string& text) { m_year = text; }
    void SetTrack(int track) { m_track = track; }
    void SetGenre(int genre) { m_genre = genre; }

private:
    struct FrameScan;

    void scanFrames(const FileHandle& file);
    void takeHeader(unsigned header, bool first, FrameScan& scan);
    static bool takeHeaderFrame(const FileHandle& file, off_t pos, long long length,
                                FrameScan& scan);

    std::string m_path;
    unsigned m_flags = 0;
    std::string m_artist;
    std::string m_title;
    std::string m_album;
    std::string m_comment;
    std::string m_year;
    int m_track = 0;
    int m_genre = 255;
    int m_frameCount = 0;
    int m_duration = 0;
    double m_playTime = 0;
    int m_version = 0;
    int m_layer = 0;
    int m_protection = 0;
    int m_bitrate = 0;
    int m_sampleRate = 0;
    int m_channelMode = 0;
    int m_emphasis = 0;
    int m_copyright = 0;
    int m_original = 0;
};
