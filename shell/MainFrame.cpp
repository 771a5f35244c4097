#include "shell/MainFrame.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QToolBar>
#include <QWindowStateChangeEvent>

#include "audiotools/ui/AudioToolCommands.h"
#include "playback/ChannelLevels.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "resources/PlayerStrings.h"
#include "resources/StringTable.h"
#include "shell/AboutDialog.h"
#include "shell/FrameIcons.h"
#include "shell/IniFile.h"
#include "shell/Settings.h"
#include "shell/ShellStarts.h"
#include "shell/TipDialog.h"
#include "shell/ToneCommands.h"
#include "shell/TransportSliders.h"
#include "widgets/PaneStatusBar.h"
#include "widgets/ProfileSplitter.h"

namespace {

QString text(int id) {
    return QString::fromUtf8(loadString(id));
}

// Toolbar buttons in order; 0 is a separator. Texts and tooltips follow in the string table.
constexpr int kToolBarCommands[] = {
    kCmdPlay,   kCmdStop,   kCmdPause,      0, kCmdSing,       kCmdOptionsButton,
    kCmdRecord, kCmdReplay, kCmdSynthesize, 0, kCmdHelpButton, kCmdHomePageButton};

bool isCheckButton(int id) {
    return id == kCmdSing || id == kCmdRecord || id == kCmdReplay;
}

constexpr int kPaneWidths[] = {50, 50, 80, 200, 80};

}  // namespace

CMainFrame::CMainFrame(CMelodeckDoc* doc, QWidget* parent) : QMainWindow(parent), m_doc(doc) {
    setWindowTitle(text(kStrTitle));
    setWindowIcon(FrameIcons::appIcon());
    buildStatusBar();
    buildMenus();
    buildToolBar();
    m_splitter = new ProfileSplitter(this);
    setCentralWidget(m_splitter);
    connectDocument();
    resize(800, 600);
}

CMainFrame::~CMainFrame() {
    removeTrayIcon();
}

std::string CMainFrame::ProfilePath() {
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/Vocalia";
    QDir().mkpath(folder);
    return (folder + "/Vocalia.ini").toStdString();
}

void CMainFrame::SetViews(QWidget* songList, QWidget* lyricsView) {
    m_splitter->SetPanes(songList, lyricsView, CIniFile(ProfilePath().c_str()));
    Action(kCmdViewSongList)->setChecked(!m_splitter->IsColumnHidden(0));
}

QAction* CMainFrame::Action(int commandId) const {
    const auto it = m_actions.find(commandId);
    return it != m_actions.end() ? it->second : nullptr;
}

QAction* CMainFrame::addCommand(QMenu* menu, int id, const QString& label) {
    QAction* action = Action(id);
    if (action == nullptr) {
        action = new QAction(label, this);
        action->setIcon(FrameIcons::commandIcon(id));
        m_actions[id] = action;
    }
    if (menu != nullptr) {
        menu->addAction(action);
    }
    return action;
}

void CMainFrame::buildMenus() {
    QMenu* play = menuBar()->addMenu(QStringLiteral("播放(&P)"));
    addCommand(play, kCmdAddMusicFiles, QStringLiteral("音乐文件(&A)"));
    addCommand(play, kCmdAddFolder, QStringLiteral("添文件夹(&D)"));
    addCommand(play, kCmdOpenM3u, QStringLiteral("M3U 清单(&U)"));
    addCommand(play, kCmdVideoFile, QStringLiteral("视频文件(&V)"));
    play->addSeparator();
    for (const auto& [id, label, button, tip] :
         {std::tuple{kCmdPreviousSong, "上一首(&B)", "上一首", "播放列表中的上一首歌曲"},
          std::tuple{kCmdNextSong, "下一首(&N)", "下一首", "播放列表中的下一首歌曲"}}) {
        QAction* action = addCommand(play, id, QString::fromUtf8(label));
        action->setIconText(QString::fromUtf8(button));
        action->setToolTip(QString::fromUtf8(tip));
    }
    play->addSeparator();
    ToneCommands::Build(this, m_doc, play);
    play->addSeparator();
    addCommand(play, kCmdExit, QStringLiteral("退出(&Q)"));

    QMenu* vocals = menuBar()->addMenu(QStringLiteral("消原唱(&R)"));
    addCommand(vocals, kCmdAccompanimentMaker, QStringLiteral("MP3消原唱"));
    buildChannelMenu(vocals->addMenu(QStringLiteral("VCD消原唱")));
    ToneCommands::AddLiveVocalCut(vocals);

    QMenu* lyrics = menuBar()->addMenu(QStringLiteral("歌词(&L)"));
    addCommand(lyrics, kCmdAddLyricToLibrary, QStringLiteral("添加歌词入库"));
    addCommand(lyrics, kCmdEditLyric, QStringLiteral("编辑该歌词"));
    addCommand(lyrics, kCmdLyricJukebox, QStringLiteral("歌词点唱机"));
    // Offered by the lyrics view's menu only.
    addCommand(nullptr, kCmdSearchLyric, QStringLiteral("在库中搜索歌词"));
    addCommand(nullptr, kCmdManualMatch, QStringLiteral("手工匹配歌词"));

    QMenu* view = menuBar()->addMenu(QStringLiteral("视图(&V)"));
    for (const auto& [id, label] :
         {std::pair{kCmdViewToolbar, "工具栏(&T)"}, std::pair{kCmdViewStatusBar, "状态栏(&S)"},
          std::pair{kCmdViewSongList, "清单栏(&L)"}}) {
        QAction* action = addCommand(view, id, QString::fromUtf8(label));
        action->setCheckable(true);
        action->setChecked(true);
    }

    QMenu* tools = menuBar()->addMenu(QStringLiteral("工具(&T)"));
    addCommand(tools, kCmdOptions, QStringLiteral("选项(&P)"));
    tools->addSeparator();
    addCommand(tools, kCmdToolVerslet, QStringLiteral("Verslet"));
    addCommand(tools, kCmdToolVersario, QStringLiteral("Versario"));
    addCommand(tools, kCmdToolNomina, QStringLiteral("Nomina"));
    addCommand(tools, kCmdToolWandel, QStringLiteral("Wandel"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    addCommand(help, kCmdHelp, QStringLiteral("帮助文件(&H)"));
    addCommand(help, kCmdTipOfTheDay, QStringLiteral("每日一贴(&E)"));
    addCommand(help, kCmdAbout, QStringLiteral("关于 Vocalia(&A)"));
    addCommand(help, kCmdHomePage, QStringLiteral("主页(&W)"));

    connect(Action(kCmdExit), &QAction::triggered, this, &CMainFrame::OnExit);
    connect(Action(kCmdAbout), &QAction::triggered, this, &CMainFrame::OnAbout);
    connect(Action(kCmdTipOfTheDay), &QAction::triggered, this, &CMainFrame::OnTipOfTheDay);
    connect(Action(kCmdViewSongList), &QAction::triggered, this, &CMainFrame::OnToggleSongList);
    connect(Action(kCmdHelp), &QAction::triggered, this, &CMainFrame::OnHelp);
    connect(Action(kCmdHomePage), &QAction::triggered, this, [] { ShellStarts::openHomePage(); });
    // The lyric editor opens on the current song, ready to time its lyric.
    connect(Action(kCmdToolVerslet), &QAction::triggered, this, [this] {
        const std::string song = m_doc->CurrentSongPath();
        StartTool("Verslet",
                  song.empty() ? QStringList() : QStringList{QString::fromStdString(song)});
    });
    for (const auto& [id, tool] :
         {std::pair{kCmdToolVersario, "Versario"}, std::pair{kCmdToolNomina, "Nomina"},
          std::pair{kCmdToolWandel, "Wandel"}}) {
        connect(Action(id), &QAction::triggered, this,
                [this, name = std::string(tool)] { StartTool(name); });
    }
    connect(Action(kCmdViewStatusBar), &QAction::toggled, m_statusBar, &QWidget::setVisible);
}

void CMainFrame::StartTool(const std::string& name, const QStringList& arguments) {
    if (!ShellStarts::startTool(name, arguments)) {
        ShowNotice(text(kStrToolMissing).arg(QString::fromStdString(name)));
    }
}

void CMainFrame::OnHelp() {
    if (!ShellStarts::openHelp()) {
        ShowNotice(text(kStrHelpMissing));
    }
}

void CMainFrame::ShowNotice(const QString& message) {
    m_statusBar->SetPaneText(kPaneSong, message);
    m_noticeShown.start();
}

void CMainFrame::buildChannelMenu(QMenu* menu) {
    m_channelGroup = new QActionGroup(this);
    for (const auto& [id, label, channelMode] :
         {std::tuple{kCmdChannelLeft, "左声道", ChannelLevels::Mode::Left},
          std::tuple{kCmdChannelStereo, "立体声", ChannelLevels::Mode::Stereo},
          std::tuple{kCmdChannelRight, "右声道", ChannelLevels::Mode::Right}}) {
        QAction* action = addCommand(menu, id, QString::fromUtf8(label));
        action->setCheckable(true);
        m_channelGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, mode = channelMode] {
            if (m_doc->Player() != nullptr) {
                m_doc->Player()->SetChannelLevels(ChannelLevels::levelsFor(mode));
            }
            updateChannelChecks();
        });
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::updateChannelChecks);
}

// The checks follow the output level as it is now, whoever changed it.
void CMainFrame::updateChannelChecks() {
    const std::uint32_t levels = m_doc->Player() != nullptr ? m_doc->Player()->ChannelLevels() : 0;
    const ChannelLevels::Mode mode = ChannelLevels::checkedMode(levels);
    Action(kCmdChannelLeft)->setChecked(mode == ChannelLevels::Mode::Left);
    Action(kCmdChannelStereo)->setChecked(mode == ChannelLevels::Mode::Stereo);
    Action(kCmdChannelRight)->setChecked(mode == ChannelLevels::Mode::Right);
}

void CMainFrame::buildToolBar() {
    m_toolBar = addToolBar(QStringLiteral("Toolbar"));
    m_toolBar->setObjectName(QStringLiteral("MainToolBar"));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    int button = 0;
    for (const int id : kToolBarCommands) {
        if (id == 0) {
            m_toolBar->addSeparator();
            continue;
        }
        QAction* action = addCommand(nullptr, id, text(kStrFirstButtonText + button));
        action->setText(text(kStrFirstButtonText + button));
        action->setToolTip(text(kStrFirstToolTip + button));
        action->setCheckable(isCheckButton(id));
        m_toolBar->addAction(action);
        ++button;
        if (id == kCmdPause) {
            m_toolBar->addAction(Action(kCmdPreviousSong));
            m_toolBar->addAction(Action(kCmdNextSong));
        }
    }
    // The sliders get a bar of their own along the bottom, where they have the whole width.
    auto* transport = new QToolBar(QStringLiteral("Transport"), this);
    transport->setObjectName(QStringLiteral("TransportToolBar"));
    transport->setMovable(false);
    m_sliders = new CTransportSliders(m_doc, transport);
    m_sliders->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    transport->addWidget(m_sliders);
    addToolBar(Qt::BottomToolBarArea, transport);
    connect(Action(kCmdHelpButton), &QAction::triggered, this, &CMainFrame::OnHelp);
    connect(Action(kCmdHomePageButton), &QAction::triggered, this,
            [] { ShellStarts::openHomePage(); });
    connect(Action(kCmdViewToolbar), &QAction::toggled, m_toolBar, &QToolBar::setVisible);
    connect(m_toolBar, &QToolBar::visibilityChanged, Action(kCmdViewToolbar), &QAction::setChecked);
}

void CMainFrame::buildStatusBar() {
    std::vector<PaneStatusBar::PaneSpec> panes = {
        {kPaneWidths[0], text(kStrBackPane), text(kStrFirstPaneTip)},
        {kPaneWidths[1], text(kStrForwardPane), text(kStrFirstPaneTip + 1)},
        {kPaneWidths[2], QStringLiteral("00:00/00:00"), text(kStrFirstPaneTip + 2)},
        {kPaneWidths[3], text(kStrWelcome), text(kStrFirstPaneTip + 3), true},
        {kPaneWidths[4], QString(), QString()},
    };
    m_statusBar = new PaneStatusBar(panes, this);
    setStatusBar(m_statusBar);
    connect(m_statusBar, &PaneStatusBar::paneClicked, this, &CMainFrame::OnPaneClicked);
}

void CMainFrame::connectDocument() {
    connect(Action(kCmdPlay), &QAction::triggered, m_doc, &CMelodeckDoc::OnPlay);
    connect(Action(kCmdStop), &QAction::triggered, m_doc, &CMelodeckDoc::OnStop);
    connect(Action(kCmdPause), &QAction::triggered, m_doc, &CMelodeckDoc::OnPause);
    connect(Action(kCmdSing), &QAction::triggered, m_doc, &CMelodeckDoc::OnSing);
    connect(Action(kCmdRecord), &QAction::triggered, m_doc, &CMelodeckDoc::OnRecord);
    connect(Action(kCmdReplay), &QAction::triggered, m_doc, &CMelodeckDoc::OnReplay);
    connect(Action(kCmdPreviousSong), &QAction::triggered, m_doc, &CMelodeckDoc::OnPreviousSong);
    connect(Action(kCmdNextSong), &QAction::triggered, m_doc, &CMelodeckDoc::OnNextSong);
    connectMediaKeys();
    connect(m_doc, &CMelodeckDoc::statusTick, this,
            [this](const QString& timeText, const QString& songText) {
                m_statusBar->SetPaneText(kPaneTime, timeText);
                // A notice stays readable for a while before the song's name returns.
                if (!m_noticeShown.isValid() || m_noticeShown.hasExpired(kNoticeMs)) {
                    m_statusBar->SetPaneText(kPaneSong, songText);
                }
            });
    connect(Action(kCmdVideoFile), &QAction::triggered, this, &CMainFrame::OnVideoFile);
    AudioToolCommands::Connect(this, m_doc, Action(kCmdAccompanimentMaker), Action(kCmdSynthesize));
    // Shown without blocking, so playback and timers go on behind the box.
    connect(m_doc, &CMelodeckDoc::errorMessage, this, [this](const QString& message) {
        auto* box = new QMessageBox(QMessageBox::Warning, text(kStrCaption), message,
                                    QMessageBox::Ok, this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
    connect(m_doc, &CMelodeckDoc::statusMessage, this, &CMainFrame::ShowNotice);
    connect(m_doc, &CMelodeckDoc::commandTextChanged, this,
            [this](int id, const QString& label) { Action(id)->setText(label); });
    // The check buttons show the document's toggles, also when a toggle failed to start.
    connect(m_doc, &CMelodeckDoc::playbackStateChanged, this, [this] {
        Action(kCmdSing)->setChecked(m_doc->IsSinging());
        Action(kCmdRecord)->setChecked(m_doc->IsRecording());
        Action(kCmdReplay)->setChecked(m_doc->IsReplaying());
    });
}

// The keyboard's media keys work wherever the focus is in the player.
void CMainFrame::connectMediaKeys() {
    const auto bind = [this](int id, std::initializer_list<Qt::Key> keys) {
        QList<QKeySequence> sequences;
        for (const Qt::Key key : keys) {
            sequences << QKeySequence(key);
        }
        QAction* action = Action(id);
        action->setShortcuts(sequences);
        action->setShortcutContext(Qt::ApplicationShortcut);
        addAction(action);
    };
    bind(kCmdPreviousSong, {Qt::Key_MediaPrevious});
    bind(kCmdNextSong, {Qt::Key_MediaNext});
    bind(kCmdStop, {Qt::Key_MediaStop});
    bind(kCmdPause, {Qt::Key_MediaPause, Qt::Key_MediaTogglePlayPause});
    // The play key starts a stopped song and pauses or resumes a playing one.
    auto* playKey = new QAction(this);
    playKey->setShortcut(QKeySequence(Qt::Key_MediaPlay));
    playKey->setShortcutContext(Qt::ApplicationShortcut);
    addAction(playKey);
    connect(playKey, &QAction::triggered, m_doc,
            [this] { m_doc->m_playState == kStopped ? m_doc->OnPlay() : m_doc->OnPause(); });
}

void CMainFrame::OnPaneClicked(int pane, Qt::MouseButton button) {
    SongPlayer* player = m_doc->Player();
    const int lyricStep = readSetting(ConfigKey::LyricsTimeOffset);
    const bool left = button == Qt::LeftButton;
    if (button != Qt::LeftButton && button != Qt::RightButton) {
        return;
    }
    if (pane == kPaneTime) {
        m_doc->LyricOffset() += left ? lyricStep : -lyricStep;
        return;
    }
    if (pane == kPaneSong) {
        if (left) {
            m_statusBar->ToggleScrolling(kPaneSong);
        }
        return;
    }
    if ((pane != kPaneBack && pane != kPaneForward) || player == nullptr) {
        return;
    }
    const bool forward = pane == kPaneForward;
    if (left) {
        const int step = readSetting(ConfigKey::UserTimeOffset);
        player->SeekMs(player->GetPositionMs() + (forward ? step : -step));
        return;
    }
    const int step = readSetting(ConfigKey::UserVolumeOffset);
    const std::uint32_t levels = player->ChannelLevels();
    player->SetChannelLevels(forward ? ChannelLevels::volumeUp(levels, step)
                                     : ChannelLevels::volumeDown(levels, step));
}

void CMainFrame::OnVideoFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, QString(), QString(),
        QStringLiteral("视频媒体文件(*.dat *.avi *.mpg *.asf) (*.dat *.avi *.mpg *.asf)"));
    if (!path.isEmpty()) {
        m_doc->PlayVideoFile(path.toStdString());
    }
}

void CMainFrame::OnToggleSongList() {
    m_splitter->ToggleLeftPane();
    Action(kCmdViewSongList)->setChecked(!m_splitter->IsColumnHidden(0));
}

void CMainFrame::OnAbout() {
    CAboutDialog dialog(this);
    dialog.exec();
}

void CMainFrame::OnTipOfTheDay() {
    CTipDialog dialog(this);
    dialog.exec();
}

// Quitting closes the window like its close box, so the document saves its list first.
void CMainFrame::OnExit() {
    removeTrayIcon();
    close();
    // From the tray the window is hidden, and closing a hidden window does not end the program.
    QCoreApplication::quit();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_closed) {
        m_closed = true;
        emit closing();
        if (m_splitter->count() == 2) {
            m_splitter->SaveLayout(CIniFile(ProfilePath().c_str()));
        }
    }
    removeTrayIcon();
    QMainWindow::closeEvent(event);
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() &&
        QSystemTrayIcon::isSystemTrayAvailable()) {
        minimiseToTray();
    }
}

void CMainFrame::minimiseToTray() {
    if (m_tray == nullptr) {
        m_tray = new QSystemTrayIcon(FrameIcons::appIcon(), this);
        m_tray->setToolTip(text(kStrCaption));
        auto* menu = new QMenu(this);
        QAction* show = addCommand(menu, kCmdShowMainWindow, QStringLiteral("显示主界面"));
        menu->setDefaultAction(show);
        connect(show, &QAction::triggered, this, &CMainFrame::OnShowMainWindow,
                Qt::UniqueConnection);
        QAction* about = menu->addAction(QStringLiteral("关于本程序"));
        connect(about, &QAction::triggered, this, &CMainFrame::OnAbout);
        menu->addSeparator();
        QAction* quit = menu->addAction(QStringLiteral("退出程序"));
        connect(quit, &QAction::triggered, this, &CMainFrame::OnExit);
        m_tray->setContextMenu(menu);
        connect(m_tray, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason reason) {
                    if (reason == QSystemTrayIcon::Trigger) {
                        OnShowMainWindow();
                    }
                });
    }
    m_tray->show();
    hide();
}

void CMainFrame::OnShowMainWindow() {
    showNormal();
    raise();
    activateWindow();
    repaint();
    removeTrayIcon();
}

void CMainFrame::removeTrayIcon() {
    if (m_tray != nullptr) {
        m_tray->hide();
    }
}
