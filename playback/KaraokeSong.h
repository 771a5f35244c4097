#pragma once

#include <memory>
#include <string>

#include "media/cdg/CdgDecoder.h"

// A song as the player opens it: the audio file to play and, for an MP3+G song, its CD+G
// graphics. The audio of a zip pair is copied to a private file of this process (the player
// reads files by name), never into the song's folder; the copy goes with this object.
class KaraokeSong {
public:
    ~KaraokeSong();
    KaraokeSong(const KaraokeSong&) = delete;
    KaraokeSong& operator=(const KaraokeSong&) = delete;

    // A plain audio file, one with a .cdg beside it, or a zip pair. Null with a user text in
    // `error` when a zip pair cannot be read; graphics that cannot be read leave the song
    // without them.
    static std::unique_ptr<KaraokeSong> Open(const std::string& path, std::string& error);

    const std::string& AudioPath() const { return m_audioPath; }
    bool HasGraphics() const { return m_graphics != nullptr; }
    // The graphics, handed to the view that shows them; null after the first call.
    std::unique_ptr<CdgDecoder> TakeGraphics() { return std::move(m_graphics); }

    // The folder of the private copies.
    static std::string PrivateFolder();
    // Removes the copies of processes that ended without removing them.
    static void RemoveStaleCopies();

private:
    KaraokeSong() = default;
    bool openZip(const std::string& path, std::string& error);

    std::string m_audioPath;
    bool m_ownsAudio = false;
    std::unique_ptr<CdgDecoder> m_graphics;
};
