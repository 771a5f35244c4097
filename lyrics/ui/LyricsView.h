#pragma once

#include <QColor>
#include <QFont>
#include <QStaticText>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "lyrics/LrcLyric.h"
#include "playback/PlaybackPanes.h"

class CMelodeckDoc;
class QMenu;
class VideoPlayer;
class VideoSurface;

// The right pane of the main window: the lyric of the playing song, scrolled (multi-line mode)
// or alternating between two rows (two-line mode) in time with the play position; two hint
// lines when no lyric was found; the video when a video file plays.
class CLyricsView : public QWidget, public LyricsPane {
    Q_OBJECT

public:
    enum State { ShowEmpty = 0, ShowLyrics = 1, ShowNoLyrics = 2, ShowVideo = 3 };
    enum Mode { MultiLine = 0, TwoLine = 1 };
    // The four colours, in the order of the configuration keys they are stored under.
    enum ColorRole { TextRole, HighTextRole, BackRole, HighBackRole };

    // Reads font, colours and display mode from the configuration.
    explicit CLyricsView(QWidget* parent = nullptr);
    ~CLyricsView() override;
    CLyricsView(const CLyricsView&) = delete;
    CLyricsView& operator=(const CLyricsView&) = delete;

    // The document whose song list, lyric offset and lyric timer the view follows.
    void AttachDocument(CMelodeckDoc* doc);

    bool LoadLyrics(const std::string& path) override;
    void PlayVideo(const std::string& path) override;
    void StopVideo() override;
    // The graphics show on the video surface, following the document's play position.
    bool ShowGraphics(std::unique_ptr<CdgDecoder> graphics) override;
    void StopGraphics() override;
    bool ShowsGraphics() const { return m_graphics != nullptr; }

    // Timer 1: moves the current line to the play position (ms), and the colour across the
    // words of a word-timed line. While such a line is near and the song plays, the view
    // also follows the position at the screen's frame rate.
    void UpdatePosition(long long positionMs);

    // Carries out one of the view's commands (LyricsCommand ids); false for another id.
    bool OnCommand(int id);
    // The context menu of the present state, null in ShowEmpty. Its actions run OnCommand.
    std::unique_ptr<QMenu> CreateContextMenu();

    // What the colour, theme and font commands do once the choice is made: member,
    // configuration and lines image follow; the view repaints.
    void ApplyColor(ColorRole role, int colorRef);
    void ApplyTheme(int themeCommand);
    void ApplyFont(const QFont& font);

    int CurrentState() const { return m_state; }
    int DisplayMode() const { return m_mode; }
    int ScrollY() const { return m_scrollY; }
    int CurrentLine() const { return m_curLine; }
    bool FollowsFrames() const { return m_frameTimer.isActive(); }
    bool IsFullScreen() const { return m_fullScreen; }
    VideoSurface* Surface() const { return m_surface.get(); }
    int TextHeight() const;
    const QFont& LyricFont() const { return m_font; }
    QColor Color(ColorRole role) const;

signals:
    // A command that the view hands on (lyric search and manual match dialogs).
    void commandRequested(int id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetMode(int mode);
    void ChooseColor(ColorRole role);
    void ChooseFont();
    void SetFullScreen(bool on);
    void ResizeVideo();
    // Shows the graphics at the play position when they changed.
    void FollowGraphics();
    // The surface for a video or graphics, covering the view.
    void CreateSurface();
    // The menu of the present state at a screen point (none in ShowEmpty).
    void ShowContextMenu(const QPoint& globalPoint);
    void EditLyricCommand();

    void BuildLinesImage();
    void RebuildIfShowingLyrics();
    int LyricShift() const;
    void PaintLyrics(QPainter& painter);
    void PaintMultiLine(QPainter& painter);
    void PaintTwoLine(QPainter& painter);
    void PaintNoLyrics(QPainter& painter);
    void DrawRow(QPainter& painter, int y, const QString& text, const QColor& color);
    // The current line: lit whole, or lit up to the wipe when its words are timed.
    void DrawCurrentRow(QPainter& painter, int y);
    // Pixels of the current line's shown text lit at the last position.
    qreal WipeWidth();
    bool LineHasWords(int index) const;
    void UpdateFrameTimer();

    std::unique_ptr<VideoPlayer> m_video;
    // Where the video's frames show: a child covering the view, or a window in full screen.
    std::unique_ptr<VideoSurface> m_surface;
    // MP3+G graphics shown on the surface instead of a video, polled faster than their
    // packet groups (75 a second) so the picture is never a group late.
    std::unique_ptr<CdgDecoder> m_graphics;
    QTimer m_graphicsTimer;
    unsigned long long m_shownGraphics = 0;
    int m_mode = MultiLine;
    QFont m_font;
    int m_colors[4] = {};
    std::unique_ptr<LrcLyric> m_lyric;
    int m_state = ShowEmpty;
    bool m_fullScreen = false;
    int m_scrollY = 0;
    int m_previousScrollY = 0;
    int m_curLine = -1;
    // The last position with the offsets applied, and how far it lights the current line's
    // words (WipedWords).
    long long m_shiftedPosition = 0;
    double m_wiped = 0;
    // Left and right pixel edges of the current line's words (m_edgesLine), in its shown text.
    std::vector<std::pair<qreal, qreal>> m_wordEdges;
    int m_edgesLine = -1;
    QTimer m_frameTimer;
    // The lines image: every line laid out once, elided to m_imageWidth, so a repaint only
    // places the lines in view.
    std::vector<QStaticText> m_lineTexts;
    std::vector<QString> m_plainTexts;
    int m_imageWidth = 0;
    CMelodeckDoc* m_doc = nullptr;
};
