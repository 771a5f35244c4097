#include "shell/MelodeckApp.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "library/ui/LeftForm.h"
#include "lyrics/ui/LyricCommands.h"
#include "lyrics/ui/LyricsView.h"
#include "media/MediaProbe.h"
#include "media/ServerLoopback.h"
#include "mixer/ui/OptionsCommand.h"
#include "playback/EnginePorts.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "shell/DemoSong.h"
#include "shell/FrameIcons.h"
#include "shell/MainFrame.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"
#include "shell/SplashWindow.h"
#include "shell/TipDialog.h"

CMelodeckApp::CMelodeckApp() = default;

// The window goes before the document it shows, the document before the media it uses.
CMelodeckApp::~CMelodeckApp() {
    m_frame.reset();
    m_doc.reset();
    m_recorder.reset();
    m_player.reset();
    m_monitor.reset();
}

StartOptions CMelodeckApp::ParseOptions(const QStringList& arguments) {
    StartOptions options;
    const qsizetype at = arguments.indexOf(QStringLiteral("--home"));
    if (at >= 0 && at + 1 < arguments.size()) {
        options.home = arguments.at(at + 1).toStdString();
    }
    options.splash = !arguments.contains(QStringLiteral("--no-splash"));
    options.quitWhenShown = arguments.contains(QStringLiteral("--quit-when-shown"));
    options.files = OpenedFiles::FromArguments(arguments, QDir::currentPath());
    return options;
}

bool CMelodeckApp::InitInstance(const StartOptions& options, std::string& error) {
    std::string folder;
    if (!ProgramFolder::start(options.home, folder, &error)) {
        return false;
    }
    m_playDemo =
        DemoSong::InstallIfFresh(folder) && !options.quitWhenShown && options.files.empty();
    m_startFiles = options.files;
    if (options.splash) {
        m_splash = std::make_unique<CSplashWindow>(FrameIcons::splashPicture());
        m_splash->show();
    }
    createMediaObjects();
    createDocument();
    if (!m_splash) {
        showMainWindow(options.quitWhenShown);
        return true;
    }
    connect(m_splash.get(), &CSplashWindow::finished, this, [this, quit = options.quitWhenShown] {
        m_splash.release()->deleteLater();
        showMainWindow(quit);
    });
    return true;
}

// Recorder, player, monitor, in this order.
void CMelodeckApp::createMediaObjects() {
    m_recorder = std::make_unique<VoiceRecorderPort>();
    m_player = std::make_unique<MusicPlayerPort>();
    m_monitor = std::make_unique<MicMonitorPort>();
    // The live monitor runs on the sound server and outlives a run that died while singing:
    // stop it now rather than at the next song sung, once the window is up.
    QTimer::singleShot(0, this, [] { ServerLoopback::UnloadLeftovers(); });
}

void CMelodeckApp::createDocument() {
    m_doc = std::make_unique<CMelodeckDoc>(
        MediaObjects{m_player.get(), m_recorder.get(), m_monitor.get(), &m_lyricOffset});
    m_frame = std::make_unique<CMainFrame>(m_doc.get());
    auto* songList = new CLeftForm(m_doc.get(), MakeDurationProbe([](const std::string& path) {
                                       return probeDurationSeconds(path).value_or(0);
                                   }));
    m_songList = songList;
    auto* lyricsView = new CLyricsView;
    lyricsView->AttachDocument(m_doc.get());
    m_doc->AttachViews(songList, lyricsView);
    m_frame->SetViews(songList, lyricsView);
    connectViews(songList, lyricsView);
    songList->OnInitialUpdate();
}

// The menu commands that the two views carry out, and the document's list life cycle.
void CMelodeckApp::connectViews(CLeftForm* songList, CLyricsView* lyricsView) {
    const auto route = [this](int id, QObject* receiver, auto slot) {
        connect(m_frame->Action(id), &QAction::triggered, receiver, slot);
    };
    route(kCmdAddMusicFiles, songList, [songList] { songList->OnAddMusicFiles(); });
    route(kCmdAddFolder, songList, [songList] { songList->OnAddFolder(); });
    route(kCmdOpenM3u, songList, [songList] { songList->OnOpenM3u(); });
    for (const int id : {kCmdAddLyricToLibrary, kCmdEditLyric}) {
        route(id, lyricsView, [lyricsView, id] { lyricsView->OnCommand(id); });
    }
    route(kCmdSearchLyric, m_frame.get(), [this] { LyricCommands::Search(*m_doc, m_frame.get()); });
    route(kCmdManualMatch, m_frame.get(),
          [this] { LyricCommands::Jukebox(*m_doc, m_frame.get(), true); });
    route(kCmdLyricJukebox, m_frame.get(),
          [this] { LyricCommands::Jukebox(*m_doc, m_frame.get(), false); });
    connect(m_doc.get(), &CMelodeckDoc::addMusicFilesRequested, songList,
            &CLeftForm::OnAddMusicFiles);
    connect(m_frame.get(), &CMainFrame::closing, songList, &CLeftForm::OnCloseDocument);
    OptionsCommand::connect(m_frame->Action(kCmdOptions), m_frame->Action(kCmdOptionsButton),
                            *m_doc, m_frame.get());
    // The lyric dialogs are the frame's commands; the view's menus only offer them.
    connect(lyricsView, &CLyricsView::commandRequested, m_frame.get(), [this](int id) {
        if (QAction* action = m_frame->Action(id)) {
            action->trigger();
        }
    });
}

void CMelodeckApp::OpenFiles(const OpenedFiles& files) {
    files.Open(*m_doc, *m_songList);
}

void CMelodeckApp::RaiseMainWindow() {
    if (!m_splash) {
        m_frame->OnShowMainWindow();
    }
}

void CMelodeckApp::showMainWindow(bool quitWhenShown) {
    m_frame->show();
    emit mainWindowShown();
    if (quitWhenShown) {
        QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection);
        return;
    }
    OpenFiles(m_startFiles);
    // A newcomer hears the demo at once.
    if (m_playDemo) {
        m_doc->OnPlay();
    }
    if (readSetting(ConfigKey::EverydayTip) == 1) {
        auto* tip = new CTipDialog(m_frame.get());
        tip->setAttribute(Qt::WA_DeleteOnClose);
        tip->open();
        // Over the middle of the window, also where the window manager has not placed it yet.
        tip->move(m_frame->geometry().center() - tip->rect().center());
    }
}
