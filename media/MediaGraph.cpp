#include "media/MediaGraph.h"

#include "media/SourcePorts.h"

namespace {

// Bounds every wait for a state change, so that a graph that never settles cannot hang the
// user-interface thread.
constexpr GstClockTime kSettleTimeout = 10 * GST_SECOND;

bool hasSometimesSourcePads(GstElement* element) {
    const GList* templates =
        gst_element_class_get_pad_template_list(GST_ELEMENT_GET_CLASS(element));
    for (const GList* item = templates; item; item = item->next) {
        auto* templ = static_cast<GstPadTemplate*>(item->data);
        if (GST_PAD_TEMPLATE_DIRECTION(templ) == GST_PAD_SRC &&
            GST_PAD_TEMPLATE_PRESENCE(templ) == GST_PAD_SOMETIMES) {
            return true;
        }
    }
    return false;
}

// Links a pad that appeared on a decoder to the waiting element, once: the first pad whose
// format the element accepts wins, later ones (a video stream, say) stay unlinked.
void linkAppearedPad(GstElement*, GstPad* pad, gpointer downstream) {
    if (GST_PAD_DIRECTION(pad) != GST_PAD_SRC) {
        return;
    }
    const GstRef<GstPad> sink(
        MediaGraph::FindFreePin(static_cast<GstElement*>(downstream), GST_PAD_SINK).release());
    if (sink) {
        gst_pad_link(pad, sink.get());
    }
}

}  // namespace

MediaGraph::MediaGraph(std::string topFactory) : m_topFactory(std::move(topFactory)) {
    ensureGstInitialized();
    createPipeline();
}

MediaGraph::~MediaGraph() {
    destroyPipeline();
}

void MediaGraph::createPipeline() {
    if (m_topFactory.empty()) {
        m_pipeline.reset(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new(nullptr))));
    } else {
        m_pipeline = MakeElement(m_topFactory.c_str());
    }
    if (!m_pipeline) {
        m_lastError = "cannot create the media pipeline " + m_topFactory;
        return;
    }
    m_bus.reset(gst_element_get_bus(m_pipeline.get()));
    if (m_watching) {
        addBusWatch();
    }
}

void MediaGraph::destroyPipeline() {
    if (m_bus) {
        gst_bus_remove_watch(m_bus.get());
        gst_bus_set_flushing(m_bus.get(), TRUE);
    }
    if (m_pipeline) {
        gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    }
    m_bus.reset();
    m_pipeline.reset();
    m_state = GraphState::Stopped;
}

void MediaGraph::Reset() {
    destroyPipeline();
    m_lastError.clear();
    createPipeline();
}

int MediaGraph::Build() {
    return 0;
}

int MediaGraph::Play() {
    if (!m_pipeline) {
        return kFailed;
    }
    settle();
    if (m_state != GraphState::Stopped) {
        return 0;
    }
    const int result = ChangeState(GST_STATE_PLAYING, 0);
    if (result == 0) {
        m_state = GraphState::Running;
    }
    return result;
}

int MediaGraph::Stop() {
    if (!m_pipeline) {
        return kFailed;
    }
    m_state = GraphState::Stopped;
    return ChangeState(GST_STATE_READY);
}

int MediaGraph::TogglePause() {
    if (!m_pipeline) {
        return kFailed;
    }
    settle();
    switch (m_state) {
        case GraphState::Running:
            m_state = GraphState::Paused;
            return ChangeState(GST_STATE_PAUSED, 0);
        case GraphState::Paused:
            m_state = GraphState::Running;
            return ChangeState(GST_STATE_PLAYING, 0);
        case GraphState::Stopped:
            break;
    }
    return 0;
}

void MediaGraph::settle() const {
    if (m_pipeline) {
        gst_element_get_state(m_pipeline.get(), nullptr, nullptr, kSettleTimeout);
    }
}

int MediaGraph::ChangeState(GstState target, GstClockTime timeout) {
    if (!m_pipeline) {
        return kFailed;
    }
    GstStateChangeReturn result = gst_element_set_state(m_pipeline.get(), target);
    if (result == GST_STATE_CHANGE_ASYNC && timeout > 0) {
        result = gst_element_get_state(m_pipeline.get(), nullptr, nullptr, timeout);
        if (result == GST_STATE_CHANGE_ASYNC) {
            m_lastError = "the media did not start in time";
            return kFailed;
        }
    }
    if (result == GST_STATE_CHANGE_FAILURE) {
        takeBusError();
        return kFailed;
    }
    return 0;
}

void MediaGraph::takeBusError() {
    m_lastError = "the media cannot be played";
    if (!m_bus) {
        return;
    }
    const GstMessagePtr message(gst_bus_pop_filtered(m_bus.get(), GST_MESSAGE_ERROR));
    if (message) {
        m_lastError = errorText(message.get());
    }
}

int MediaGraph::WaitForEnd(GstClockTime timeout) {
    if (!m_bus) {
        return kFailed;
    }
    const auto types = static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR);
    const GstMessagePtr message(gst_bus_timed_pop_filtered(m_bus.get(), timeout, types));
    if (!message) {
        m_lastError = "the media did not finish in time";
        return kFailed;
    }
    if (GST_MESSAGE_TYPE(message.get()) == GST_MESSAGE_ERROR) {
        m_lastError = errorText(message.get());
        return kFailed;
    }
    return 0;
}

int MediaGraph::RunToCompletion() {
    if (ChangeState(GST_STATE_PLAYING, 0) < 0) {
        gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
        return kFailed;
    }
    m_state = GraphState::Running;
    const int result = WaitForEnd(GST_CLOCK_TIME_NONE);
    gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    m_state = GraphState::Stopped;
    return result;
}

int MediaGraph::FinishStream(GstClockTime timeout) {
    if (!m_pipeline) {
        return kFailed;
    }
    int result = 0;
    // An empty graph (what a failed build leaves) has no sink to tell of the end.
    const bool empty = GST_BIN_NUMCHILDREN(GST_BIN(m_pipeline.get())) == 0;
    if (m_state != GraphState::Stopped && !empty) {
        gst_element_send_event(m_pipeline.get(), gst_event_new_eos());
        result = WaitForEnd(timeout);
    }
    gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    m_state = GraphState::Stopped;
    return result;
}

void MediaGraph::DiscardBusMessages() {
    if (m_bus) {
        gst_bus_set_flushing(m_bus.get(), TRUE);
        gst_bus_set_flushing(m_bus.get(), FALSE);
    }
}

void MediaGraph::WatchBus() {
    if (m_watching) {
        return;
    }
    m_watching = true;
    addBusWatch();
}

void MediaGraph::GuardOutputStalls() {
    if (!m_stallGuard) {
        m_stallGuard = std::make_unique<OutputStallGuard>([this] { return m_pipeline.get(); });
    }
    // The guard learns of the stream's end and errors from the bus.
    WatchBus();
}

void MediaGraph::addBusWatch() {
    if (m_bus) {
        gst_bus_add_watch(m_bus.get(), &MediaGraph::dispatchBusMessage, this);
    }
}

gboolean MediaGraph::dispatchBusMessage(GstBus* bus, GstMessage* message, gpointer self) {
    auto* graph = static_cast<MediaGraph*>(self);
    // A message that was already on its way when Reset tore its pipeline down.
    if (bus != graph->m_bus.get()) {
        return G_SOURCE_CONTINUE;
    }
    const GstMessageType type = GST_MESSAGE_TYPE(message);
    if (graph->m_stallGuard && (type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR)) {
        graph->m_stallGuard->StreamEnded();
    }
    graph->OnBusMessage(message);
    return G_SOURCE_CONTINUE;
}

void MediaGraph::OnBusMessage(GstMessage*) {}

bool MediaGraph::IsPlaying(GstElement* pipeline) {
    GstState state = GST_STATE_VOID_PENDING;
    GstState pending = GST_STATE_VOID_PENDING;
    return gst_element_get_state(pipeline, &state, &pending, 0) == GST_STATE_CHANGE_SUCCESS &&
           state == GST_STATE_PLAYING && pending == GST_STATE_VOID_PENDING;
}

GstRef<GstElement> MediaGraph::MakeElement(const char* factory, const char* name) {
    ensureGstInitialized();
    GstElement* element = gst_element_factory_make(factory, name);
    if (!element) {
        return nullptr;
    }
    return GstRef<GstElement>(GST_ELEMENT(gst_object_ref_sink(element)));
}

GstElement* MediaGraph::AddFilter(const char* factory, const char* name) {
    GstRef<GstElement> element = MakeElement(factory, nullptr);
    if (!element) {
        m_lastError = std::string("the media component ") + factory + " is not installed";
        return nullptr;
    }
    return AddElement(std::move(element), name);
}

GstElement* MediaGraph::AddElement(GstRef<GstElement> element, const char* name) {
    if (!m_pipeline || !element) {
        return nullptr;
    }
    if (name) {
        gst_object_set_name(GST_OBJECT(element.get()), name);
    }
    GstElement* added = element.get();
    if (!gst_bin_add(GST_BIN(m_pipeline.get()), added)) {
        m_lastError = std::string("cannot add ") + (name ? name : "an element") + " to the graph";
        return nullptr;
    }
    return added;  // the bin holds its own reference now
}

namespace {

// The first pad of `element` in `direction` that `accept` takes, with a reference of its own.
template <typename Accept>
GstRef<GstPad> firstPad(GstElement* element, GstPadDirection direction, Accept accept) {
    if (!element) {
        return nullptr;
    }
    GstRef<GstPad> found;
    GstIterator* pads = direction == GST_PAD_SRC ? gst_element_iterate_src_pads(element)
                                                 : gst_element_iterate_sink_pads(element);
    GValue item = G_VALUE_INIT;
    while (!found && gst_iterator_next(pads, &item) == GST_ITERATOR_OK) {
        auto* pad = GST_PAD(g_value_get_object(&item));
        if (accept(pad)) {
            found.reset(GST_PAD(gst_object_ref(pad)));
        }
        g_value_unset(&item);
    }
    gst_iterator_free(pads);
    return found;
}

}  // namespace

GstRef<GstPad> MediaGraph::FindPin(GstElement* element, GstPadDirection direction) {
    return firstPad(element, direction, [](GstPad*) { return true; });
}

GstRef<GstPad> MediaGraph::FindFreePin(GstElement* element, GstPadDirection direction) {
    return firstPad(element, direction, [](GstPad* pad) { return !gst_pad_is_linked(pad); });
}

int MediaGraph::ConnectFilters(GstElement* upstream, GstElement* downstream) {
    if (!upstream || !downstream) {
        m_lastError = "a component of the graph is missing";
        return kFailed;
    }
    if (!FindFreePin(upstream, GST_PAD_SRC) && hasSometimesSourcePads(upstream)) {
        g_signal_connect(upstream, "pad-added", G_CALLBACK(linkAppearedPad), downstream);
        return 0;
    }
    if (gst_element_link(upstream, downstream)) {
        return 0;
    }
    GstElement* convert = AddFilter("audioconvert", nullptr);
    GstElement* resample = AddFilter("audioresample", nullptr);
    if (convert && resample &&
        gst_element_link_many(upstream, convert, resample, downstream, nullptr)) {
        return 0;
    }
    for (GstElement* element : {convert, resample}) {
        if (element) {
            gst_bin_remove(GST_BIN(m_pipeline.get()), element);
        }
    }
    m_lastError = std::string("cannot connect ") + GST_OBJECT_NAME(upstream) + " to " +
                  GST_OBJECT_NAME(downstream);
    return kFailed;
}

GstRef<GstElement> MediaGraph::FirstAudioCaptureDevice() {
    GstRef<GstElement> source = MakeElement("pulsesrc");
    if (!source) {
        source = MakeElement("autoaudiosrc");
    }
    if (!source) {
        m_lastError = "no audio capture source is installed";
        return nullptr;
    }
    // Opening the source is the only way to learn whether the server has a capture device.
    const bool opens =
        gst_element_set_state(source.get(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    gst_element_set_state(source.get(), GST_STATE_NULL);
    if (!opens) {
        m_lastError = "no audio capture device can be opened";
        return nullptr;
    }
    return source;
}

int MediaGraph::EnableInputLine(GstElement* source, const std::string& name) {
    std::string device;
    if (source && g_object_class_find_property(G_OBJECT_GET_CLASS(source), "device")) {
        gchar* raw = nullptr;
        g_object_get(source, "device", &raw, nullptr);
        const GCharPtr value(raw);
        device = value ? value.get() : "";
    }
    return activateSourcePort(device, name) ? 0 : 1;
}
