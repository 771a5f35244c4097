#pragma once

#include <gst/gst.h>

#include <memory>
#include <string>

#include "media/GstHandles.h"
#include "media/OutputStallGuard.h"

// The three states a graph can be in, as its owners see them. A graph that has been built or
// opened but not started is Stopped, even when GStreamer already holds it prerolled in PAUSED.
enum class GraphState { Stopped, Paused, Running };

// Owner of one GStreamer pipeline and its bus: the base of every player, capture and
// conversion graph. Operations return 0 on success and a negative value on failure.
//
// Bus messages reach OnBusMessage only after WatchBus, and only on the thread that runs the
// default GLib main context: the Qt event loop of the programs (Qt on Linux runs GLib's loop),
// or the GMainLoop of vocalia-cli. Never on a streaming thread. Messages of a pipeline that
// Reset has torn down are dropped.
class MediaGraph {
public:
    static constexpr int kFailed = -1;

    // `topFactory` names the element that serves as the pipeline ("playbin"); empty for a
    // plain pipeline that subclasses fill with AddFilter.
    explicit MediaGraph(std::string topFactory = {});
    virtual ~MediaGraph();
    MediaGraph(const MediaGraph&) = delete;
    MediaGraph& operator=(const MediaGraph&) = delete;

    // Tears the pipeline down (every element added before is gone) and starts a fresh one.
    virtual void Reset();
    // Builds the subclass's graph; the base builds nothing.
    virtual int Build();
    // Runs a stopped graph; a paused or running graph is left as it is.
    virtual int Play();
    // Stops the graph: live sources and sinks drop what they hold.
    virtual int Stop();
    // Pauses a running graph and runs a paused one, after waiting for any state change under
    // way to settle; a stopped graph stays stopped.
    virtual int TogglePause();

    // Gives the pipeline a fresh speaker output whenever it stands still while playing (see
    // OutputStallGuard); for players, kept across Reset. Watches the bus.
    void GuardOutputStalls();

    GraphState State() const { return m_state; }
    // The pipeline, or null when it could not be created.
    GstElement* Pipeline() const { return m_pipeline.get(); }
    // Text of the last failure of Build, Open or a state change ("" when none).
    const std::string& LastError() const { return m_lastError; }

    // --- Helpers for the graph builders ---

    // Creates an element by factory name and adds it under `name`; null when the factory is
    // missing or the element cannot be added.
    GstElement* AddFilter(const char* factory, const char* name);
    // Adds an element made elsewhere (FirstAudioCaptureDevice) under `name`.
    GstElement* AddElement(GstRef<GstElement> element, const char* name);
    // First pad of the element with that direction (always or already requested), or null.
    static GstRef<GstPad> FindPin(GstElement* element, GstPadDirection direction);
    // As FindPin, skipping pads that are already linked.
    static GstRef<GstPad> FindFreePin(GstElement* element, GstPadDirection direction);
    // Links upstream to downstream. When their formats do not meet, audio converters are put
    // between them; an upstream whose output pads appear later (a decoder) is linked as soon
    // as its first pad appears. 0, or negative with LastError set.
    int ConnectFilters(GstElement* upstream, GstElement* downstream);
    // The default capture source of the sound server, not yet in the graph; null when there is
    // none (LastError says why).
    GstRef<GstElement> FirstAudioCaptureDevice();
    // Switches on the capture source's port called `name` (exact match of the port's name or
    // description). 0 when such a port exists, 1 when none does.
    static int EnableInputLine(GstElement* source, const std::string& name);

    // Creates an element without adding it; null when the factory is missing.
    static GstRef<GstElement> MakeElement(const char* factory, const char* name = nullptr);
    // Whether `pipeline` is PLAYING with no state change under way; does not wait.
    static bool IsPlaying(GstElement* pipeline);

protected:
    // Starts delivering this pipeline's bus messages to OnBusMessage (kept across Reset).
    void WatchBus();
    virtual void OnBusMessage(GstMessage* message);

    // Moves the pipeline to `target` and waits up to `timeout` for it to get there. 0 when it
    // got there (or is live and needs no preroll), negative with LastError set otherwise.
    int ChangeState(GstState target, GstClockTime timeout = 10 * GST_SECOND);
    // Runs the pipeline until it ends or fails, then stops it. For graphs that convert a file
    // inside one call. 0 at the end of the stream, negative with LastError set on an error.
    int RunToCompletion();
    // Ends the stream from the sources down and waits (up to `timeout`) until every sink has
    // finished, then stops the pipeline. Used where sinks must close their files properly.
    int FinishStream(GstClockTime timeout = 5 * GST_SECOND);
    // Waits for the end of the stream or an error on the bus; 0 at the end, negative on an
    // error (LastError set) or timeout.
    int WaitForEnd(GstClockTime timeout);

    // Drops every message waiting on the bus (those of a failed start, say).
    void DiscardBusMessages();

    void SetGraphState(GraphState state) { m_state = state; }
    void SetLastError(std::string text) { m_lastError = std::move(text); }

private:
    static gboolean dispatchBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    void createPipeline();
    void destroyPipeline();
    void addBusWatch();
    // Waits for a state change under way to finish (bounded, so nothing hangs for ever).
    void settle() const;
    void takeBusError();

    std::string m_topFactory;
    GstRef<GstElement> m_pipeline;
    GstRef<GstBus> m_bus;
    bool m_watching = false;
    GraphState m_state = GraphState::Stopped;
    std::string m_lastError;
    std::unique_ptr<OutputStallGuard> m_stallGuard;
};
