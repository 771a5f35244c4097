#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "playback/MediaPorts.h"
#include "shell/OpenedFiles.h"

class CLeftForm;
class CLyricsView;
class CMainFrame;
class CMelodeckDoc;
class CSplashWindow;

// How the player starts.
struct StartOptions {
    std::string home;            // --home DIR: the program folder
    bool splash = true;          // --no-splash skips the splash picture
    bool quitWhenShown = false;  // --quit-when-shown: ends once the main window shows (timing)
    OpenedFiles files = {};      // the files given: they play instead of the demo song
};

// The application object: finds the program folder, shows the splash picture, owns the three
// long-lived media objects and the lyric offset, and builds the document with its main window.
class CMelodeckApp : public QObject {
    Q_OBJECT

public:
    CMelodeckApp();
    ~CMelodeckApp() override;
    CMelodeckApp(const CMelodeckApp&) = delete;
    CMelodeckApp& operator=(const CMelodeckApp&) = delete;

    static StartOptions ParseOptions(const QStringList& arguments);

    // Start-up up to the main window, which shows when the splash closes. False, with a
    // message, when the program folder cannot be made.
    bool InitInstance(const StartOptions& options, std::string& error);

    // Opens files as a start with them does; a later start hands its files over to this.
    void OpenFiles(const OpenedFiles& files);
    // Brings the main window forward, also from the tray; nothing while the splash shows.
    void RaiseMainWindow();

    CMainFrame* MainFrame() const { return m_frame.get(); }
    CMelodeckDoc* Document() const { return m_doc.get(); }

    std::unique_ptr<CaptureGraph> m_recorder;
    std::unique_ptr<SongPlayer> m_player;
    std::unique_ptr<CaptureGraph> m_monitor;
    int m_lyricOffset = 0;

signals:
    // The main window is on the screen (after the splash, before the tip of the day).
    void mainWindowShown();

private:
    void createMediaObjects();
    void createDocument();
    void connectViews(CLeftForm* songList, CLyricsView* lyricsView);
    void showMainWindow(bool quitWhenShown);

    std::unique_ptr<CSplashWindow> m_splash;
    std::unique_ptr<CMelodeckDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    CLeftForm* m_songList = nullptr;
    OpenedFiles m_startFiles;
    bool m_playDemo = false;
};
