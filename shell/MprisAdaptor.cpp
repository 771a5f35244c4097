#include "shell/MprisAdaptor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <array>
#include <cmath>

#include "lyrics/LyricLibrary.h"
#include "playback/ChannelLevels.h"
#include "playback/MelodeckDoc.h"

namespace {

constexpr const char* kPlayerInterface = "org.mpris.MediaPlayer2.Player";
constexpr const char* kNoTrack = "/org/mpris/MediaPlayer2/TrackList/NoTrack";
// Volume set from the window or the keyboard reaches the bus within this time.
constexpr int kPollMs = 1000;
constexpr int kFullLevel = 65535;

// The properties whose changes are announced.
constexpr std::array kAnnounced = {"PlaybackStatus", "Metadata",      "Volume",
                                   "CanGoNext",      "CanGoPrevious", "CanSeek"};

}  // namespace

namespace Mpris {

bool Publish(CMelodeckDoc& doc, const AppCommands& app) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    auto* host = new QObject(&doc);
    new MprisRootAdaptor(host, app);
    new MprisPlayerAdaptor(host, doc, app);
    if (!bus.registerObject(QString::fromUtf8(kObjectPath), host)) {
        delete host;
        return false;
    }
    const QString name = QString::fromUtf8(kServicePrefix);
    return bus.registerService(name) ||
           bus.registerService(name + QStringLiteral(".instance") +
                               QString::number(QCoreApplication::applicationPid()));
}

}  // namespace Mpris

MprisRootAdaptor::MprisRootAdaptor(QObject* host, Mpris::AppCommands app)
    : QDBusAbstractAdaptor(host), m_app(std::move(app)) {}

QString MprisRootAdaptor::Identity() const {
    return QStringLiteral("Vocalia");
}

QString MprisRootAdaptor::DesktopEntry() const {
    return QStringLiteral("org.example.vocalia");
}

QStringList MprisRootAdaptor::SupportedUriSchemes() const {
    return {QStringLiteral("file")};
}

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
    return {QStringLiteral("audio/mpeg"),     QStringLiteral("audio/x-ms-wma"),
            QStringLiteral("audio/x-wav"),    QStringLiteral("audio/midi"),
            QStringLiteral("video/mpeg"),     QStringLiteral("video/x-msvideo"),
            QStringLiteral("video/x-ms-asf"), QStringLiteral("audio/x-mpegurl")};
}

void MprisRootAdaptor::Raise() {
    m_app.raise();
}

void MprisRootAdaptor::Quit() {
    m_app.quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* host, CMelodeckDoc& doc, Mpris::AppCommands app)
    : QDBusAbstractAdaptor(host), m_doc(doc), m_app(std::move(app)) {
    for (const char* name : kAnnounced) {
        m_announced.insert(QString::fromUtf8(name), property(name));
    }
    connect(&m_doc, &CMelodeckDoc::playbackStateChanged, this,
            &MprisPlayerAdaptor::announceChanges);
    connect(&m_doc, &CMelodeckDoc::songRenamed, this, &MprisPlayerAdaptor::announceChanges);
    connect(&m_poll, &QTimer::timeout, this, &MprisPlayerAdaptor::announceChanges);
    m_poll.start(kPollMs);
}

QString MprisPlayerAdaptor::PlaybackStatus() const {
    switch (m_doc.m_playState) {
        case kPlaying:
            return QStringLiteral("Playing");
        case kPaused:
            return QStringLiteral("Paused");
        default:
            return QStringLiteral("Stopped");
    }
}

QDBusObjectPath MprisPlayerAdaptor::trackId() const {
    const std::string& path = m_doc.PlayingPath();
    if (m_doc.m_playState == kStopped || path.empty()) {
        return QDBusObjectPath(QString::fromUtf8(kNoTrack));
    }
    // One id per file, as D-Bus object paths allow it.
    return QDBusObjectPath(QStringLiteral("/org/example/vocalia/track/") +
                           QString::number(qHash(QString::fromStdString(path)), 16));
}

QVariantMap MprisPlayerAdaptor::Metadata() const {
    const std::string& path = m_doc.PlayingPath();
    if (m_doc.m_playState == kStopped || path.empty()) {
        return {};
    }
    // The list's name of the song when it plays from the list, else its file name.
    const int row = m_doc.m_playingSong;
    const bool fromList = row >= 0 && row < static_cast<int>(m_doc.m_songs.size()) &&
                          m_doc.m_songs[static_cast<size_t>(row)].Path == path;
    const std::string name =
        fromList ? m_doc.m_songs[static_cast<size_t>(row)].DisplayName
                 : QFileInfo(QString::fromStdString(path)).completeBaseName().toStdString();
    const SingerTitle names = SplitDisplayName(name);
    QVariantMap metadata{
        {QStringLiteral("mpris:trackid"), QVariant::fromValue(trackId())},
        {QStringLiteral("xesam:title"), QString::fromStdString(names.title)},
        {QStringLiteral("xesam:url"),
         QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded)},
    };
    if (!names.singer.empty()) {
        metadata.insert(QStringLiteral("xesam:artist"),
                        QStringList{QString::fromStdString(names.singer)});
    }
    if (const long long ms = m_doc.DurationMs(); ms > 0) {
        metadata.insert(QStringLiteral("mpris:length"), static_cast<qlonglong>(ms * 1000));
    }
    return metadata;
}

double MprisPlayerAdaptor::Volume() const {
    const SongPlayer* player = m_doc.Player();
    return player != nullptr ? ChannelLevels::volume(player->ChannelLevels()) / double(kFullLevel)
                             : 0.0;
}

void MprisPlayerAdaptor::SetVolume(double volume) {
    SongPlayer* player = m_doc.Player();
    if (player == nullptr || std::isnan(volume)) {
        return;
    }
    const int level = static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * kFullLevel));
    player->SetChannelLevels(ChannelLevels::withVolume(player->ChannelLevels(), level));
    announceChanges();
}

qlonglong MprisPlayerAdaptor::Position() const {
    return m_doc.m_playState != kStopped ? m_doc.PositionMs() * 1000 : 0;
}

bool MprisPlayerAdaptor::CanGoNext() const {
    return !m_doc.m_songs.empty();
}

bool MprisPlayerAdaptor::CanSeek() const {
    return m_doc.m_playState != kStopped && m_doc.DurationMs() > 0;
}

void MprisPlayerAdaptor::Play() {
    if (m_doc.m_playState == kPaused) {
        m_doc.OnPause();
    } else if (m_doc.m_playState == kStopped) {
        m_doc.OnPlay();
    }
}

void MprisPlayerAdaptor::Pause() {
    if (m_doc.m_playState == kPlaying) {
        m_doc.OnPause();
    }
}

void MprisPlayerAdaptor::PlayPause() {
    if (m_doc.m_playState == kStopped) {
        m_doc.OnPlay();
    } else {
        m_doc.OnPause();
    }
}

void MprisPlayerAdaptor::Stop() {
    m_doc.OnStop();
}

void MprisPlayerAdaptor::Next() {
    m_doc.OnNextSong();
}

void MprisPlayerAdaptor::Previous() {
    m_doc.OnPreviousSong();
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    if (!CanSeek()) {
        return;
    }
    const long long target = std::max(0LL, m_doc.PositionMs() + offset / 1000);
    if (target > m_doc.DurationMs()) {
        m_doc.OnNextSong();
        return;
    }
    seekTo(target);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& track, qlonglong position) {
    const long long target = position / 1000;
    if (!CanSeek() || track != trackId() || position < 0 || target > m_doc.DurationMs()) {
        return;
    }
    seekTo(target);
}

void MprisPlayerAdaptor::seekTo(long long positionMs) {
    m_doc.Player()->SeekMs(positionMs);
    emit Seeked(positionMs * 1000);
}

void MprisPlayerAdaptor::OpenUri(const QString& uri) {
    const QUrl url(uri);
    if (url.isLocalFile()) {
        m_app.open({url.toLocalFile()});
    }
}

void MprisPlayerAdaptor::announceChanges() {
    QVariantMap changed;
    for (const char* name : kAnnounced) {
        const QString key = QString::fromUtf8(name);
        const QVariant now = property(name);
        if (m_announced.value(key) != now) {
            changed.insert(key, now);
            m_announced.insert(key, now);
        }
    }
    if (changed.isEmpty()) {
        return;
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromUtf8(Mpris::kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromUtf8(kPlayerInterface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}
