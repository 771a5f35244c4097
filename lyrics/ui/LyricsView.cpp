#include "lyrics/ui/LyricsView.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <array>
#include <limits>

#include "lyrics/LyricFile.h"
#include "lyrics/LyricLibrary.h"
#include "lyrics/ui/ColorRef.h"
#include "lyrics/ui/LyricTools.h"
#include "lyrics/ui/LyricsLayout.h"
#include "lyrics/ui/LyricsMenus.h"
#include "lyrics/ui/VideoSurface.h"
#include "media/video/VideoPlayer.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "resources/StringTable.h"
#include "shell/ConfigKeys.h"
#include "shell/Settings.h"
#include "shell/ShellStarts.h"

namespace {

// String numbers of the no-lyrics hint.
constexpr int kStrNoLyricsHint = 17;
constexpr int kStrNoLyricsHint2 = 18;

// Widest a laid-out line may be; longer lines end in an ellipsis.
constexpr int kMaxLineWidth = 4096;

constexpr std::array<IntKey, 4> kColorKeys = {
    ConfigKey::LyricsTeColor, ConfigKey::LyricsHighTeColor, ConfigKey::LyricsBkColor,
    ConfigKey::LyricsHighBkColor};

struct Theme {
    int command;
    int text;
    int back;
    int highText;
    int highBack;
};

constexpr std::array<Theme, 3> kThemes = {{
    {kCmdThemeMatrix, 38400, 0, 65280, 1973790},
    {kCmdThemeSunshine, 33023, 0, 65535, 16744448},
    {kCmdThemeMint, 16744576, 0, 16744703, 8421440},
}};

// The font that the configuration describes. A face that is not installed (the stored default
// is a Windows face) falls back to an installed CJK font through Qt's font matching.
QFont configuredFont() {
    QFont font(QString::fromStdString(readSetting(ConfigKey::LyricsFontName)));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, std::abs(readSetting(ConfigKey::LyricsFontHeight))));
    font.setWeight(
        static_cast<QFont::Weight>(std::clamp(readSetting(ConfigKey::LyricsBold), 1, 1000)));
    font.setItalic(readSetting(ConfigKey::LyricsItalic) != 0);
    return font;
}

// A line's words on one row: line ends do not break it.
QString rowText(const std::string& utf8) {
    QString text = QString::fromStdString(utf8);
    text.remove(QLatin1Char('\r'));
    text.remove(QLatin1Char('\n'));
    return text;
}

}  // namespace

CLyricsView::CLyricsView(QWidget* parent) : QWidget(parent), m_font(configuredFont()) {
    m_mode = readSetting(ConfigKey::LyricsMode) == TwoLine ? TwoLine : MultiLine;
    for (size_t role = 0; role < kColorKeys.size(); ++role) {
        m_colors[role] = readSetting(kColorKeys[role]);
    }
    // Every pixel is painted each time, so nothing needs erasing first (no flicker).
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, [this] {
        if (m_doc != nullptr) {
            UpdatePosition(m_doc->PositionMs());
        }
    });
    m_graphicsTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_graphicsTimer, &QTimer::timeout, this, &CLyricsView::FollowGraphics);
}

CLyricsView::~CLyricsView() = default;

void CLyricsView::AttachDocument(CMelodeckDoc* doc) {
    m_doc = doc;
    connect(doc, &CMelodeckDoc::lyricTick, this, &CLyricsView::UpdatePosition);
}

int CLyricsView::TextHeight() const {
    return QFontMetrics(m_font).height();
}

QColor CLyricsView::Color(ColorRole role) const {
    return colorFromRef(m_colors[role]);
}

bool CLyricsView::LoadLyrics(const std::string& path) {
    m_lyric = std::make_unique<LrcLyric>();
    std::string error;
    if (!LoadLyricFile(path, *m_lyric, error)) {
        m_lyric.reset();
        m_lineTexts.clear();
        m_plainTexts.clear();
        m_state = ShowNoLyrics;
        UpdateFrameTimer();
        update();
        return false;
    }
    m_state = ShowLyrics;
    m_curLine = 0;
    m_wiped = 0;
    m_plainTexts.clear();
    for (const LyricLine& line : m_lyric->Lines()) {
        m_plainTexts.push_back(rowText(line.ShownText()));
    }
    BuildLinesImage();
    UpdateFrameTimer();
    update();
    return true;
}

// The file's own offset tag shifts the lines the same way as the global offset: a positive
// value shows them earlier.
int CLyricsView::LyricShift() const {
    const long long global = m_doc != nullptr ? m_doc->LyricOffset() : 0;
    const long long sum = global + (m_lyric ? m_lyric->Offset() : 0);
    // An absurd offset tag must not overflow the sum.
    return static_cast<int>(std::clamp<long long>(sum, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

void CLyricsView::UpdatePosition(long long positionMs) {
    // The song list plays no part: a song from the lyric search or the jukebox, or one whose
    // list was cleared while it plays, moves its lyric like any other.
    if (!m_lyric || m_state != ShowLyrics || m_lyric->Lines().empty()) {
        m_frameTimer.stop();
        return;
    }
    const std::vector<LyricLine>& lines = m_lyric->Lines();
    const int previousLine = m_curLine;
    const double previousWiped = m_wiped;
    m_previousScrollY = m_scrollY;
    const int p = static_cast<int>(std::clamp<long long>(positionMs, INT32_MIN, INT32_MAX));
    m_curLine = m_lyric->FindCurrentLine(p, LyricShift(), m_curLine);
    const LyricLine& line = lines[static_cast<size_t>(m_curLine)];
    m_shiftedPosition = static_cast<long long>(p) + LyricShift();
    m_wiped = WipedWords(line.Words, m_shiftedPosition);
    UpdateFrameTimer();
    const bool wipeMoved = m_wiped != previousWiped;
    if (m_mode == MultiLine) {
        m_scrollY = LyricsLayout::multiLineScrollY(height(), TextHeight(), m_curLine, line.Start,
                                                   line.End, p);
        if (m_scrollY != m_previousScrollY || wipeMoved) {
            update();
        }
        return;
    }
    if (m_curLine != previousLine || wipeMoved) {
        update();
    }
}

bool CLyricsView::LineHasWords(int index) const {
    const std::vector<LyricLine>& lines = m_lyric->Lines();
    return index >= 0 && index < static_cast<int>(lines.size()) &&
           !lines[static_cast<size_t>(index)].Words.empty();
}

// The lyric timer's period is too coarse for a wipe: while the current or the next line has
// timed words and the song plays, the screen's refresh drives the position.
void CLyricsView::UpdateFrameTimer() {
    const bool wanted = m_lyric && m_state == ShowLyrics && m_doc != nullptr &&
                        m_doc->m_playState == kPlaying &&
                        (LineHasWords(m_curLine) || LineHasWords(m_curLine + 1));
    if (!wanted) {
        m_frameTimer.stop();
        return;
    }
    if (!m_frameTimer.isActive()) {
        const qreal rate = screen() != nullptr ? screen()->refreshRate() : 60;
        m_frameTimer.start(std::clamp(static_cast<int>(1000 / std::max<qreal>(rate, 1)), 4, 40));
    }
}

void CLyricsView::BuildLinesImage() {
    const QFontMetrics metrics(m_font);
    const int byteWidth = (m_lyric ? m_lyric->MaxTextBytes() : 0) * metrics.maxWidth();
    // Lines wider than the view are elided rather than cut off at both edges.
    m_imageWidth = std::min({byteWidth, kMaxLineWidth, std::max(width(), 1)});
    m_lineTexts.clear();
    m_edgesLine = -1;
    m_lineTexts.reserve(m_plainTexts.size());
    for (const QString& text : m_plainTexts) {
        QStaticText laidOut(metrics.elidedText(text, Qt::ElideRight, m_imageWidth));
        laidOut.setTextFormat(Qt::PlainText);
        laidOut.prepare(QTransform(), m_font);
        m_lineTexts.push_back(std::move(laidOut));
    }
}

void CLyricsView::RebuildIfShowingLyrics() {
    if (m_state == ShowLyrics) {
        BuildLinesImage();
    }
}

void CLyricsView::paintEvent(QPaintEvent*) {
    if (m_state == ShowVideo) {
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), Color(BackRole));
    painter.setFont(m_font);
    if (m_state == ShowLyrics) {
        PaintLyrics(painter);
    } else if (m_state == ShowNoLyrics) {
        PaintNoLyrics(painter);
    }
}

void CLyricsView::PaintLyrics(QPainter& painter) {
    if (!m_lyric || m_lyric->Lines().empty() || m_curLine < 0) {
        return;
    }
    if (m_mode == MultiLine) {
        PaintMultiLine(painter);
    } else {
        PaintTwoLine(painter);
    }
}

void CLyricsView::PaintMultiLine(QPainter& painter) {
    const int th = TextHeight();
    const int pitch = LyricsLayout::linePitch(th);
    const int count = static_cast<int>(m_lineTexts.size());
    // Only the lines that reach into the client area are placed.
    const int first = std::max(0, (-m_scrollY) / pitch - 1);
    const int last = std::min(count - 1, (height() - m_scrollY) / pitch + 1);
    painter.setPen(Color(TextRole));
    for (int i = first; i <= last; ++i) {
        const QStaticText& text = m_lineTexts[static_cast<size_t>(i)];
        const QSizeF size = text.size();
        const int x = static_cast<int>((width() - size.width()) / 2);
        const int y = m_scrollY + i * pitch + static_cast<int>((th - size.height()) / 2);
        painter.drawStaticText(x, y, text);
    }
    const int bandY = m_scrollY + m_curLine * pitch;
    painter.fillRect(0, bandY, width(), th, Color(HighBackRole));
    DrawCurrentRow(painter, bandY);
}

void CLyricsView::PaintTwoLine(QPainter& painter) {
    const int th = TextHeight();
    const int h = height();
    DrawCurrentRow(painter, LyricsLayout::twoLineRowY(h, th, m_curLine));
    const int next = m_curLine + 1;
    if (next < static_cast<int>(m_plainTexts.size())) {
        DrawRow(painter, LyricsLayout::twoLineRowY(h, th, next),
                m_plainTexts[static_cast<size_t>(next)], Color(TextRole));
    }
}

void CLyricsView::PaintNoLyrics(QPainter& painter) {
    const int th = TextHeight();
    const int middle = height() / 2;
    const QColor color = Color(TextRole);
    DrawRow(painter, middle - 2 * th, QString::fromUtf8(loadString(kStrNoLyricsHint)), color);
    DrawRow(painter, middle - th + LyricsLayout::kLineGap,
            QString::fromUtf8(loadString(kStrNoLyricsHint2)), color);
}

void CLyricsView::DrawRow(QPainter& painter, int y, const QString& text, const QColor& color) {
    painter.setPen(color);
    const QString fitted = painter.fontMetrics().elidedText(text, Qt::ElideRight, width());
    painter.drawText(QRect(0, y, width(), TextHeight()),
                     Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, fitted);
}

void CLyricsView::DrawCurrentRow(QPainter& painter, int y) {
    const QString& text = m_plainTexts[static_cast<size_t>(m_curLine)];
    if (!LineHasWords(m_curLine)) {
        DrawRow(painter, y, text, Color(HighTextRole));
        return;
    }
    // Unsung words in the normal colour, the sung part in the highlight colour over them.
    DrawRow(painter, y, text, Color(TextRole));
    const qreal shownWidth = painter.fontMetrics().horizontalAdvance(
        painter.fontMetrics().elidedText(text, Qt::ElideRight, width()));
    const qreal left = (width() - shownWidth) / 2;
    const qreal lit = std::min(WipeWidth(), shownWidth);
    if (lit <= 0) {
        return;
    }
    painter.save();
    painter.setClipRect(QRectF(0, y, left + lit, TextHeight()));
    DrawRow(painter, y, text, Color(HighTextRole));
    painter.restore();
}

qreal CLyricsView::WipeWidth() {
    const LyricLine& line = m_lyric->Lines()[static_cast<size_t>(m_curLine)];
    if (m_edgesLine != m_curLine) {
        const QFontMetricsF metrics(m_font);
        const std::string& shown = line.ShownText();
        const auto advance = [&](int bytes) {
            return metrics.horizontalAdvance(
                QString::fromUtf8(shown.data(), static_cast<qsizetype>(bytes)));
        };
        m_wordEdges.clear();
        for (const LyricWord& word : line.Words) {
            m_wordEdges.emplace_back(advance(word.Begin), advance(word.Begin + word.Length));
        }
        m_edgesLine = m_curLine;
    }
    if (m_wiped <= 0 || m_wordEdges.empty()) {
        return 0;
    }
    const size_t word = std::min(static_cast<size_t>(m_wiped), m_wordEdges.size() - 1);
    const double fraction = std::min(m_wiped - static_cast<double>(word), 1.0);
    const auto [begin, end] = m_wordEdges[word];
    return begin + fraction * (end - begin);
}

void CLyricsView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ResizeVideo();
    RebuildIfShowingLyrics();
}

void CLyricsView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    ShowContextMenu(event->globalPosition().toPoint());
}

std::unique_ptr<QMenu> CLyricsView::CreateContextMenu() {
    std::unique_ptr<QMenu> menu;
    switch (m_state) {
        case ShowLyrics:
            menu = LyricsMenus::CreateLyricsMenu(m_mode);
            break;
        case ShowNoLyrics:
            menu = LyricsMenus::CreateNoLyricsMenu();
            break;
        case ShowVideo:
            menu = LyricsMenus::CreateVideoMenu(m_fullScreen);
            break;
        default:
            return menu;
    }
    connect(menu.get(), &QMenu::triggered, this,
            [this](QAction* action) { OnCommand(action->data().toInt()); });
    return menu;
}

bool CLyricsView::OnCommand(int id) {
    switch (id) {
        case kCmdModeScroll:
            SetMode(MultiLine);
            return true;
        case kCmdModeAlternate:
            SetMode(TwoLine);
            return true;
        case kCmdTextColor:
            ChooseColor(TextRole);
            return true;
        case kCmdHighTextColor:
            ChooseColor(HighTextRole);
            return true;
        case kCmdBackColor:
            ChooseColor(BackRole);
            return true;
        case kCmdHighBackColor:
            ChooseColor(HighBackRole);
            return true;
        case kCmdThemeMatrix:
        case kCmdThemeSunshine:
        case kCmdThemeMint:
            ApplyTheme(id);
            return true;
        case kCmdLyricFont:
            ChooseFont();
            return true;
        case kCmdFullScreen:
        case kCmdNormalScreen:
            SetFullScreen(id == kCmdFullScreen);
            return true;
        case kCmdAddLyricToLibrary:
            LyricTools::AddLyricToLibraryInteractive(this);
            return true;
        case kCmdEditLyric:
            EditLyricCommand();
            return true;
        case kCmdMakeLyric:  // the frame's Tools command: it knows the current song
        case kCmdSearchLyric:
        case kCmdManualMatch:
            emit commandRequested(id);
            return true;
        default:
            return false;
    }
}

// The mode is not written to the configuration: "Mode" is only read at start.
void CLyricsView::SetMode(int mode) {
    m_mode = mode;
    RebuildIfShowingLyrics();
    if (m_state == ShowLyrics) {
        update();
    }
}

void CLyricsView::ChooseColor(ColorRole role) {
    const QColor chosen = QColorDialog::getColor(Color(role), this);
    if (chosen.isValid()) {
        ApplyColor(role, refFromColor(chosen));
    }
}

void CLyricsView::ApplyColor(ColorRole role, int colorRef) {
    m_colors[role] = colorRef;
    writeSetting(kColorKeys[role], colorRef);
    if (role != HighTextRole) {
        RebuildIfShowingLyrics();
    }
    update();
}

void CLyricsView::ApplyTheme(int themeCommand) {
    const auto theme = std::find_if(kThemes.begin(), kThemes.end(), [themeCommand](const Theme& t) {
        return t.command == themeCommand;
    });
    if (theme == kThemes.end()) {
        return;
    }
    m_colors[TextRole] = theme->text;
    m_colors[BackRole] = theme->back;
    m_colors[HighTextRole] = theme->highText;
    m_colors[HighBackRole] = theme->highBack;
    for (ColorRole role : {TextRole, BackRole, HighTextRole, HighBackRole}) {
        writeSetting(kColorKeys[role], m_colors[role]);
    }
    RebuildIfShowingLyrics();
    update();
}

void CLyricsView::ChooseFont() {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, configuredFont(), this);
    if (ok) {
        ApplyFont(chosen);
    }
}

void CLyricsView::ApplyFont(const QFont& font) {
    // The character height in pixels, whether the font was chosen by points or pixels (the line
    // height would make the font grow at every visit of the font chooser).
    const int height = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    writeSetting(ConfigKey::LyricsFontHeight, height);
    writeSetting(ConfigKey::LyricsBold, font.weight());
    writeSetting(ConfigKey::LyricsCharSet, readSetting(ConfigKey::LyricsCharSet));
    writeSetting(ConfigKey::LyricsItalic, font.italic() ? 1 : 0);
    writeSetting(ConfigKey::LyricsFontName, font.family().toStdString());
    m_font = configuredFont();
    RebuildIfShowingLyrics();
    update();
}

// The library file of the current song (the playing one when no row is current), whether or
// not the shown lyric came from there.
void CLyricsView::EditLyricCommand() {
    if (m_doc == nullptr) {
        return;
    }
    const int current = m_doc->m_curSong;
    const bool valid = current >= 0 && current < static_cast<int>(m_doc->m_songs.size());
    const std::string& name =
        valid ? m_doc->m_songs[static_cast<size_t>(current)].DisplayName : m_doc->m_playingName;
    if (name.empty()) {
        return;
    }
    const std::string path = LyricLibraryPath(SplitDisplayName(name));
    EnsureLyricFile(path);
    ShellStarts::openInTextEditor(path);
}

void CLyricsView::PlayVideo(const std::string& path) {
    StopVideo();
    auto player = std::make_unique<VideoPlayer>();
    // A video that cannot be opened leaves the view as it was.
    if (!player->Create() || !player->RenderFile(path)) {
        return;
    }
    CreateSurface();
    connect(player.get(), &VideoPlayer::frameReady, m_surface.get(), &VideoSurface::SetFrame);
    player->SetOwner(width(), height());
    player->Run();
    m_video = std::move(player);
    m_state = ShowVideo;
}

void CLyricsView::CreateSurface() {
    m_surface = std::make_unique<VideoSurface>(this);
    m_surface->setGeometry(rect());
    m_surface->show();
    connect(m_surface.get(), &VideoSurface::menuRequested, this, &CLyricsView::ShowContextMenu);
    connect(m_surface.get(), &VideoSurface::leaveFullScreenRequested, this,
            [this] { SetFullScreen(false); });
}

bool CLyricsView::ShowGraphics(std::unique_ptr<CdgDecoder> graphics) {
    StopVideo();
    StopGraphics();
    if (!graphics) {
        return false;
    }
    m_graphics = std::move(graphics);
    m_shownGraphics = 0;
    CreateSurface();
    m_state = ShowVideo;
    FollowGraphics();
    m_graphicsTimer.start(10);
    return true;
}

void CLyricsView::FollowGraphics() {
    const CdgPicture& picture = m_graphics->PictureAt(m_doc != nullptr ? m_doc->PositionMs() : 0);
    if (m_graphics->Version() == m_shownGraphics && !m_surface->Frame().isNull()) {
        return;
    }
    m_shownGraphics = m_graphics->Version();
    QImage image(picture.indices.data(), CdgPicture::kWidth, CdgPicture::kHeight,
                 CdgPicture::kWidth, QImage::Format_Indexed8);
    QList<QRgb> colors(picture.palette.begin(), picture.palette.end());
    image.setColorTable(colors);
    // The surface keeps the frame; the decoder's buffer changes under the shallow image.
    m_surface->SetFrame(image.copy());
}

void CLyricsView::StopGraphics() {
    if (!m_graphics) {
        return;
    }
    m_graphicsTimer.stop();
    m_graphics.reset();
    m_surface.reset();
    m_fullScreen = false;
    m_state = ShowEmpty;
    update();
}

void CLyricsView::StopVideo() {
    if (!m_video) {
        return;
    }
    m_video->Stop();
    m_video->Close();
    m_video.reset();
    m_surface.reset();
    m_fullScreen = false;
    m_state = ShowEmpty;
    update();
}

void CLyricsView::SetFullScreen(bool on) {
    if (!m_surface || on == m_fullScreen) {
        return;
    }
    m_fullScreen = on;
    if (m_video) {
        m_video->SetFullScreen(on);
    }
    if (on) {
        m_surface->setParent(nullptr, Qt::Window | Qt::FramelessWindowHint);
        m_surface->showFullScreen();
        if (m_video) {
            m_video->SetRect(0, 0, m_surface->width(), m_surface->height());
        }
    } else {
        m_surface->setParent(this);
        m_surface->show();
        ResizeVideo();
    }
    m_surface->activateWindow();
    m_surface->setFocus();
}

void CLyricsView::ResizeVideo() {
    if (!m_surface || m_fullScreen) {
        return;
    }
    m_surface->setGeometry(rect());
    if (m_video) {
        m_video->SetRect(0, 0, width(), height());
    }
}

void CLyricsView::ShowContextMenu(const QPoint& globalPoint) {
    const std::unique_ptr<QMenu> menu = CreateContextMenu();
    if (menu) {
        menu->exec(globalPoint);
    }
}
