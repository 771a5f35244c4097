#include "media/MicMonitor.h"

int MicMonitor::Build() {
    GstRef<GstElement> device = FirstAudioCaptureDevice();
    if (!device) {
        return kFailed;
    }
    GstElement* capture = AddElement(std::move(device), "Capture");
    if (EnableInputLine(capture, "Microphone") != 0) {
        EnableInputLine(capture, "麦克风");
    }
    GstElement* captured = m_format.AddCaptureChain(*this, capture);
    GstElement* renderer = AddFilter("pulsesink", "Render");
    if (!captured || !renderer) {
        return kFailed;
    }
    // A live source into a clocked sink carries nothing on the sound server: the sink plays
    // what arrives as it arrives.
    g_object_set(renderer, "sync", FALSE, nullptr);
    m_format.ApplyBufferTimes(renderer);
    return ConnectFilters(captured, renderer);
}
