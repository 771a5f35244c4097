#include "media/VoiceRecorder.h"

#include <cstdio>

#include "resources/StringTable.h"
#include "shell/Settings.h"

namespace {

constexpr int kNoCaptureDevice = 78;
constexpr int kNoEncoder = 79;
constexpr int kNoLengthHeader = 80;
constexpr int kNoFileWriter = 81;
constexpr int kCannotLink = 82;

constexpr int kBitrateKbps = 128;

std::string partialPath(const std::string& path) {
    return path + ".part";
}

}  // namespace

VoiceRecorder::~VoiceRecorder() {
    VoiceRecorder::Stop();
}

int VoiceRecorder::fail(std::string& errorText, int stringId) {
    errorText = loadString(stringId);
    MediaGraph::Reset();  // nothing half-built stays behind
    m_outputPath.clear();
    return kFailed;
}

int VoiceRecorder::Build(const std::string& outputPath, std::string& errorText) {
    GstRef<GstElement> device = FirstAudioCaptureDevice();
    if (!device) {
        return fail(errorText, kNoCaptureDevice);
    }
    GstElement* capture = AddElement(std::move(device), "Capture");
    EnableInputLine(capture, readSetting(ConfigKey::RecordDeviceName));
    GstElement* captured = m_format.AddCaptureChain(*this, capture);

    GstElement* encoder = AddFilter("lamemp3enc", "LAME");
    if (!encoder) {
        return fail(errorText, kNoEncoder);
    }
    // Constant bit rate: every reader judges the length of the file alike.
    g_object_set(encoder, "target", 1, "cbr", TRUE, "bitrate", kBitrateKbps, nullptr);
    if (ConnectFilters(captured, encoder) < 0) {
        return fail(errorText, kCannotLink);
    }
    m_gapless = GaplessMp3();
    m_gapless.countInto(encoder);
    GstElement* header = AddFilter("xingmux", "Info");
    if (!header) {
        return fail(errorText, kNoLengthHeader);
    }
    if (ConnectFilters(encoder, header) < 0) {
        return fail(errorText, kCannotLink);
    }
    GstElement* writer = AddFilter("filesink", "File Writer");
    if (!writer) {
        return fail(errorText, kNoFileWriter);
    }
    g_object_set(writer, "location", partialPath(outputPath).c_str(), nullptr);
    if (ConnectFilters(header, writer) < 0) {
        return fail(errorText, kCannotLink);
    }
    m_outputPath = outputPath;
    errorText.clear();
    return 0;
}

int VoiceRecorder::Play() {
    const int result = MediaGraph::Play();
    if (result != 0) {
        return result;
    }
    constexpr GstClockTime kStartWait = 5 * GST_SECOND;
    if (gst_element_get_state(Pipeline(), nullptr, nullptr, kStartWait) ==
        GST_STATE_CHANGE_FAILURE) {
        MediaGraph::Stop();
        SetLastError("cannot write the recording: " + partialPath(m_outputPath));
        return kFailed;
    }
    return 0;
}

int VoiceRecorder::Stop() {
    const bool recording = State() != GraphState::Stopped;
    const int result = FinishStream();
    if (!recording || m_outputPath.empty()) {
        return result;
    }
    // A take whose tag cannot be written still plays, only with the encoder's lead-in.
    std::string tagError;
    m_gapless.tag(partialPath(m_outputPath), tagError);
    if (std::rename(partialPath(m_outputPath).c_str(), m_outputPath.c_str()) != 0) {
        SetLastError("cannot put the recording in place: " + m_outputPath);
        return kFailed;
    }
    return result;
}

void VoiceRecorder::Reset() {
    Stop();
    m_outputPath.clear();
    MediaGraph::Reset();
}
