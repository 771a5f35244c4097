#include "shell/MelodeckApp.h"

#include <QApplication>
#include <QStringList>
#include <QWidget>

#include "playback/MelodeckDoc.h"
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
    return options;
}

bool CMelodeckApp::InitInstance(const StartOptions& options, std::string& error) {
    std::string folder;
    if (!ProgramFolder::start(options.home, folder, &error)) {
        return false;
    }
    m_playDemo = DemoSong::InstallIfFresh(folder) && !options.quitWhenShown;
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

void CMelodeckApp::createMediaObjects() {}

void CMelodeckApp::createDocument() {
    m_doc = std::make_unique<CMelodeckDoc>(
        MediaObjects{m_player.get(), m_recorder.get(), m_monitor.get(), &m_lyricOffset});
    m_frame = std::make_unique<CMainFrame>(m_doc.get());
    m_frame->SetViews(new QWidget, new QWidget);
}

void CMelodeckApp::showMainWindow(bool quitWhenShown) {
    m_frame->show();
    emit mainWindowShown();
    if (quitWhenShown) {
        QMetaObject::invokeMethod(qApp, "quit", Qt::QueuedConnection);
        return;
    }
    // A newcomer hears the demo at once.
    if (m_playDemo) {
        m_doc->OnPlay();
    }
    if (readSetting(ConfigKey::EverydayTip) == 1) {
        auto* tip = new CTipDialog(m_frame.get());
        tip->setAttribute(Qt::WA_DeleteOnClose);
        tip->open();
    }
}
