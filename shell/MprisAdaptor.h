#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <functional>

class CMelodeckDoc;

// The player as an MPRIS 2 media player on the session bus, so the desktop's media controls
// and the keyboard's media keys drive it: both interfaces sit on one object at
// /org/mpris/MediaPlayer2 and carry out the document's own playback commands.
namespace Mpris {

inline constexpr const char* kServicePrefix = "org.mpris.MediaPlayer2.vocalia";
inline constexpr const char* kObjectPath = "/org/mpris/MediaPlayer2";

// What the bus asks of the application rather than the document.
struct AppCommands {
    std::function<void()> raise;
    std::function<void()> quit;
    // Opens files as a start with them does.
    std::function<void(const QStringList&)> open;
};

// Registers the object (owned by `doc`) and takes the service name, with ".instance<pid>"
// appended when another player holds it. False without a session bus.
bool Publish(CMelodeckDoc& doc, const AppCommands& app);

}  // namespace Mpris

// org.mpris.MediaPlayer2: the player's identity, raising the window and quitting.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

public:
    MprisRootAdaptor(QObject* host, Mpris::AppCommands app);

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const;
    QString DesktopEntry() const;
    QStringList SupportedUriSchemes() const;
    QStringList SupportedMimeTypes() const;

public slots:
    void Raise();
    void Quit();

private:
    Mpris::AppCommands m_app;
};

// org.mpris.MediaPlayer2.Player: playback, the playing song's metadata, position and volume.
// Changes are announced with PropertiesChanged, whichever way they came about (this
// interface, the window, the keyboard, a song ending).
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoNext)
    Q_PROPERTY(bool CanPlay READ CanControl)
    Q_PROPERTY(bool CanPause READ CanControl)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)

public:
    MprisPlayerAdaptor(QObject* host, CMelodeckDoc& doc, Mpris::AppCommands app);

    QString PlaybackStatus() const;
    double Rate() const { return 1.0; }
    QVariantMap Metadata() const;
    // The song player's volume, 0 to 1: the louder channel's level, as the volume slider
    // shows it. Setting it keeps the balance of the channels.
    double Volume() const;
    void SetVolume(double volume);
    // Microseconds into the song; 0 when stopped.
    qlonglong Position() const;
    bool CanGoNext() const;
    bool CanSeek() const;
    bool CanControl() const { return true; }

public slots:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    // Moves by `offset` microseconds; past the end it goes to the next song.
    void Seek(qlonglong offset);
    // Goes to `position` of the song `trackId`; ignored for another song or outside it.
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
    // A file URL: opened as a start with that file opens it.
    void OpenUri(const QString& uri);

signals:
    void Seeked(qlonglong position);

private:
    // Sends PropertiesChanged with the properties that differ from the last ones sent.
    void announceChanges();
    QDBusObjectPath trackId() const;
    void seekTo(long long positionMs);

    CMelodeckDoc& m_doc;
    Mpris::AppCommands m_app;
    QVariantMap m_announced;
    QTimer m_poll;
};
