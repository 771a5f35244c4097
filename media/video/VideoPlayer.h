#pragma once

#include <QImage>
#include <QObject>
#include <QRect>

#include <memory>
#include <string>

#include "media/MediaGraph.h"
#include "media/ToneStage.h"

#include <gst/app/gstappsink.h>

// Plays a video file for a window that the caller owns (the lyrics view): its sound goes to
// the default output through the per-channel output level, the key shift and the vocal
// reduction (the tempo stays, so that the pictures keep with the sound), its pictures arrive as
// QImage frames, scaled to the rectangle the owner gives, on the owner's thread (frameReady). The
// owner paints the latest frame at VideoRect() while the video is Visible().
//
// Use: Create, RenderFile(path), SetOwner(owner size), Run; SetRect when the owner's size
// changes; SetFullScreen to ask the owner to show the video on the whole screen; Stop and
// Close on the way out. All calls on the owner's thread, which runs a Qt event loop.
class VideoPlayer : public QObject {
    Q_OBJECT

public:
    explicit VideoPlayer(QObject* parent = nullptr);
    ~VideoPlayer() override;

    // Makes a new, empty graph. False when one is held already (it is kept).
    bool Create();
    // Stops and drops the graph and the last frame; safe on an empty player.
    void Close();
    // False when no graph is held or the file cannot be played.
    bool RenderFile(const std::string& path);

    // Shows the video over the owner's whole area (0, 0, width, height); an empty size hides
    // it. False when no graph is held.
    bool SetOwner(int width, int height);
    // Places the video at this rectangle of the owner; the frames follow its size.
    void SetRect(int left, int top, int width, int height);
    QRect VideoRect() const { return m_rect; }
    bool Visible() const { return m_visible; }

    // True when already running / stopped / paused, else the result of the change.
    bool Run();
    bool Stop();
    bool Pause();

    // Asks the owner (fullScreenChanged) to show the video on the whole screen or not.
    void SetFullScreen(bool on);
    bool IsFullScreen() const { return m_fullScreen; }

    // Seconds, as doubles.
    double GetPosition() const;
    double GetDuration() const;
    void Seek(double seconds);

    // The latest frame (null before the first).
    QImage CurrentFrame() const { return m_frame; }
    // Writes the latest frame as a BMP file; false when there is none or it cannot be written.
    bool SaveFrame(const std::string& path) const;

Q_SIGNALS:
    void frameReady(const QImage& frame);
    void fullScreenChanged(bool on);
    // Internal: a decoded frame on its way from the streaming thread.
    void frameArrived(const QImage& frame);

private:
    void applyFrameSize();
    void takeFrame(const QImage& frame);
    static GstFlowReturn onNewSample(GstAppSink* sink, gpointer self);

    std::unique_ptr<MediaGraph> m_graph;
    std::unique_ptr<ToneStage> m_tone;
    GstElement* m_sizeFilter = nullptr;  // inside the graph's video sink

    QRect m_rect;
    bool m_visible = false;
    bool m_fullScreen = false;
    QImage m_frame;
};
