#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <map>

class CMelodeckDoc;
class PaneStatusBar;
class ProfileSplitter;
class CTransportSliders;
class QAction;
class QActionGroup;
class QMenu;
class QSystemTrayIcon;
class QToolBar;

// The player's main window: menus, toolbar, the five-pane status bar, the splitter holding the
// song list (column 0) and the lyrics view (column 1), and the tray icon that stands in for
// the window while it is minimised.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // Status bar panes.
    enum Pane { kPaneBack = 0, kPaneForward = 1, kPaneTime = 2, kPaneSong = 3, kPaneSpare = 4 };

    explicit CMainFrame(CMelodeckDoc* doc, QWidget* parent = nullptr);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    // Puts the two views into the splitter and applies the stored layout.
    void SetViews(QWidget* songList, QWidget* lyricsView);

    // The menu or toolbar action of a command id; views connect the commands they carry out.
    QAction* Action(int commandId) const;
    PaneStatusBar* StatusPanes() const { return m_statusBar; }
    ProfileSplitter* Splitter() const { return m_splitter; }
    QToolBar* ToolBar() const { return m_toolBar; }
    CTransportSliders* Sliders() const { return m_sliders; }
    QSystemTrayIcon* TrayIcon() const { return m_tray; }

    // The per-user profile holding the window layout: $XDG_CONFIG_HOME/Vocalia/Vocalia.ini.
    static std::string ProfilePath();

    // Frame commands.
    void OnExit();
    void OnShowMainWindow();
    void OnToggleSongList();
    void OnVideoFile();
    void OnAbout();
    void OnTipOfTheDay();
    void OnHelp();
    // Starts a tool of the Tools folder; one that cannot be started is named in the status bar.
    void StartTool(const std::string& name, const QStringList& arguments = {});
    // A message in the song pane that the status timer leaves standing for a few seconds.
    void ShowNotice(const QString& message);
    // Status bar click on a pane (seek, volume, lyric offset, scrolling).
    void OnPaneClicked(int pane, Qt::MouseButton button);

signals:
    // The window is closing: the document saves the shown category and the names.
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QAction* addCommand(QMenu* menu, int id, const QString& text);
    void buildMenus();
    void buildChannelMenu(QMenu* menu);
    void buildToolBar();
    void buildStatusBar();
    void connectDocument();
    void connectMediaKeys();
    void updateChannelChecks();
    void minimiseToTray();
    void removeTrayIcon();

    CMelodeckDoc* m_doc;
    std::map<int, QAction*> m_actions;
    QToolBar* m_toolBar = nullptr;
    PaneStatusBar* m_statusBar = nullptr;
    ProfileSplitter* m_splitter = nullptr;
    QSystemTrayIcon* m_tray = nullptr;
    QActionGroup* m_channelGroup = nullptr;
    CTransportSliders* m_sliders = nullptr;
    bool m_closed = false;
    QElapsedTimer m_noticeShown;
    static constexpr int kNoticeMs = 5000;
};
