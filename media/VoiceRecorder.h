#pragma once

#include <string>

#include "media/CaptureFormat.h"
#include "media/GaplessMp3.h"
#include "media/MediaGraph.h"

// Records the microphone into a plain MP3 file (CBR MPEG audio frames behind an Info header
// that states the exact length and, in its LAME tag, the encoder's lead-in and padding).
//
// Use (on the UI thread): Reset, SetFormat, Build(path, error), Play; Stop ends the recording.
// The file is written beside the target under a temporary name and takes the target's name
// (replacing an older recording) when Stop has closed it, so the target is never half-written.
class VoiceRecorder : public MediaGraph {
public:
    ~VoiceRecorder() override;

    void SetFormat(int channels, int bytesPerSample, int sampleRate, int bufferCount,
                   float bufferSeconds) {
        m_format.SetFormat(channels, bytesPerSample, sampleRate, bufferCount, bufferSeconds);
    }
    const CaptureFormat& Format() const { return m_format; }

    using MediaGraph::Build;
    // Builds capture -> MP3 encoder -> length header -> file. 0 on success; negative with
    // `errorText` set to the message for the user (strings 78 to 81, or the linking failure).
    // Switches on the capture line named by "Record"/"DeviceName" when the device has it.
    int Build(const std::string& outputPath, std::string& errorText);

    // Starts recording and returns once the capture source runs (at most a few seconds), so a
    // short take that is stopped right away still holds what was sung.
    int Play() override;
    // Ends the recording: the encoder flushes, the file is closed and renamed into place.
    int Stop() override;
    void Reset() override;

private:
    int fail(std::string& errorText, int stringId);

    CaptureFormat m_format;
    GaplessMp3 m_gapless;
    std::string m_outputPath;
};
