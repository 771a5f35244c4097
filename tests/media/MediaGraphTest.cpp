#include <gtest/gtest.h>

#include "media/ChannelLevel.h"
#include "media/MediaGraph.h"
#include "media/MediaProbe.h"
#include "media/MediaTime.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TestSupport.h"

namespace {

// A graph of a test tone into a sink that discards it, recording the messages it is given.
class ToneGraph : public MediaGraph {
public:
    int Build() override {
        GstElement* source = AddFilter("audiotestsrc", "Source");
        GstElement* sink = AddFilter("fakesink", "Sink");
        if (sink) {
            g_object_set(sink, "sync", TRUE, nullptr);
        }
        return ConnectFilters(source, sink);
    }
    void Watch() { WatchBus(); }
    int delivered = 0;

protected:
    void OnBusMessage(GstMessage* message) override {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_APPLICATION) {
            ++delivered;
        }
    }
};

void postApplicationMessage(MediaGraph& graph) {
    GstElement* pipeline = graph.Pipeline();
    gst_element_post_message(pipeline, gst_message_new_application(
                                           GST_OBJECT(pipeline), gst_structure_new_empty("test")));
}

void drainMainContext() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

TEST(MediaTimeTest, ConvertsIn64BitsAndTruncates) {
    // An hour and a half in milliseconds does not fit 32-bit nanoseconds.
    EXPECT_EQ(nsToMs(5'400'000 * kNsPerMs), 5'400'000);
    EXPECT_EQ(msToNs(5'400'000), 5'400'000'000'000);
    EXPECT_EQ(msToNs(300'000), 300'000'000'000);
    // 3 min 59.9 s is 239 whole seconds.
    EXPECT_EQ(nsToWholeSeconds(239'900 * kNsPerMs), 239);
    EXPECT_EQ(nsToMs(999'999), 0);
}

TEST(MediaGraphTest, PlayRunsOnlyAStoppedGraphAndTogglePauseLeavesAStoppedOneStopped) {
    ToneGraph graph;
    ASSERT_EQ(graph.Build(), 0);
    EXPECT_EQ(graph.TogglePause(), 0);
    EXPECT_EQ(graph.State(), GraphState::Stopped);

    ASSERT_EQ(graph.Play(), 0);
    EXPECT_EQ(graph.State(), GraphState::Running);
    ASSERT_EQ(graph.TogglePause(), 0);
    EXPECT_EQ(graph.State(), GraphState::Paused);

    // Play does not resume a paused graph; TogglePause does.
    EXPECT_EQ(graph.Play(), 0);
    EXPECT_EQ(graph.State(), GraphState::Paused);
    GstState state = GST_STATE_NULL;
    gst_element_get_state(graph.Pipeline(), &state, nullptr, GST_SECOND);
    EXPECT_EQ(state, GST_STATE_PAUSED);
    ASSERT_EQ(graph.TogglePause(), 0);
    gst_element_get_state(graph.Pipeline(), &state, nullptr, GST_SECOND);
    EXPECT_EQ(state, GST_STATE_PLAYING);

    EXPECT_EQ(graph.Stop(), 0);
    EXPECT_EQ(graph.State(), GraphState::Stopped);
}

TEST(MediaGraphTest, ResetEmptiesTheGraph) {
    ToneGraph graph;
    ASSERT_EQ(graph.Build(), 0);
    ASSERT_EQ(graph.Play(), 0);
    graph.Reset();
    EXPECT_EQ(graph.State(), GraphState::Stopped);
    EXPECT_EQ(gst_bin_get_by_name(GST_BIN(graph.Pipeline()), "Source"), nullptr);
    // Building again after a reset gives one chain, not two.
    ASSERT_EQ(graph.Build(), 0);
    EXPECT_EQ(GST_BIN_NUMCHILDREN(GST_BIN(graph.Pipeline())), 2);
}

TEST(MediaGraphTest, BusMessagesOfATornDownPipelineAreDropped) {
    ToneGraph graph;
    graph.Watch();
    postApplicationMessage(graph);
    graph.Reset();
    drainMainContext();
    EXPECT_EQ(graph.delivered, 0);

    // The watch follows the graph into its new pipeline.
    postApplicationMessage(graph);
    drainMainContext();
    EXPECT_EQ(graph.delivered, 1);
}

TEST(MediaGraphTest, ConnectFiltersInsertsConvertersAndReportsWhatCannotJoin) {
    MediaGraph graph;
    GstElement* source = graph.AddFilter("audiotestsrc", "Source");
    GstElement* caps = graph.AddFilter("capsfilter", "Caps");
    GstElement* sink = graph.AddFilter("fakesink", "Sink");
    g_object_set(source, "num-buffers", 1, nullptr);
    g_object_set(caps, "caps",
                 GstCapsPtr(gst_caps_from_string("audio/x-raw,format=U8,rate=8000")).get(),
                 nullptr);
    EXPECT_EQ(graph.ConnectFilters(source, caps), 0);
    EXPECT_EQ(graph.ConnectFilters(caps, sink), 0);
    EXPECT_EQ(MediaGraph::FindFreePin(source, GST_PAD_SRC), nullptr);

    GstElement* video = graph.AddFilter("videotestsrc", "Video");
    GstElement* audioSink = graph.AddFilter("pulsesink", "Audio");
    EXPECT_LT(graph.ConnectFilters(video, audioSink), 0);
    EXPECT_NE(graph.LastError().find("Video"), std::string::npos);
    EXPECT_EQ(graph.AddFilter("no-such-element", "Missing"), nullptr);
    EXPECT_LT(graph.ConnectFilters(nullptr, sink), 0);
}

TEST(ChannelLevelTest, ScalesEachChannelByItsHalfOfTheLevel) {
    float samples[] = {1.0F, 1.0F, -0.5F, 0.5F};
    applyChannelLevel(samples, 2, kChannelLevelLeftOnly);
    EXPECT_FLOAT_EQ(samples[0], 1.0F);
    EXPECT_FLOAT_EQ(samples[1], 0.0F);
    EXPECT_FLOAT_EQ(samples[2], -0.5F);
    EXPECT_FLOAT_EQ(samples[3], 0.0F);

    float halves[] = {1.0F, 1.0F};
    applyChannelLevel(halves, 1, 0x80000000U);
    EXPECT_FLOAT_EQ(halves[0], 0.0F);
    EXPECT_NEAR(halves[1], 0.5, 0.001);
}

TEST(MediaProbeTest, MeasuresWholeSecondsAndRefusesWhatItCannotOpen) {
    TempDir dir;
    makeToneWav(dir.file("tone.wav"), 2.99);
    makeToneMp3(dir.file("tone.mp3"), 3.5);
    EXPECT_EQ(probeDurationSeconds(dir.file("tone.wav")), 2);
    EXPECT_EQ(probeDurationSeconds(dir.file("tone.mp3")), 3);

    writeBytes(dir.file("notes.mp3"), "not a song at all");
    EXPECT_EQ(probeDurationSeconds(dir.file("notes.mp3")), std::nullopt);
    EXPECT_EQ(probeDurationSeconds(dir.file("missing.mp3")), std::nullopt);
}

}  // namespace
