#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>

#include "lyriceditor/LrcDraft.h"
#include "media/MusicPlayer.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTreeWidget;
class TapPane;
class QTreeWidgetItem;

// Where the dialog asks the user for files: the song to open and the lyric file to save.
// Each returns the chosen path, or an empty text when the user cancels.
struct VersletFileChoosers {
    std::function<QString(QWidget* parent)> openSong;
    std::function<QString(QWidget* parent)> saveLyric;

    // The desktop's file dialogs.
    static VersletFileChoosers desktop();
};

// The lyric editor: plays a chosen MP3; the user pauses after each sung line, types it and adds
// it, and finally saves the lines as an LRC file. The dialog binds its widgets to an LrcDraft
// (the stamping rules) and saves through LrcSaveRun. In its tap modes the lyric is pasted whole
// and each line or word is stamped with a key as it is sung (TapPane).
class CVersletDlg : public QDialog {
    Q_OBJECT

public:
    explicit CVersletDlg(VersletFileChoosers choosers = VersletFileChoosers::desktop(),
                         QWidget* parent = nullptr);
    ~CVersletDlg() override;

    // Takes `path` as the song: shows it and fills artist and title from its ID3v1 tag.
    void ChooseSong(const QString& path);

    const LrcDraft& Draft() const { return m_draft; }
    MusicPlayer& Player() { return m_player; }

public Q_SLOTS:
    // Asks first when lines have not been saved.
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildGroups();
    QWidget* buildTypePage(QWidget* parent);
    void OnModeChosen();
    bool Tapping() const;
    void OnChoose();
    void OnPlay();
    void OnStop();
    void OnPause();
    void OnAdd();
    void OnSave();
    void OnRenamed(QTreeWidgetItem* item, int column);
    void OnAbout();
    void ShowPosition();
    void ShowPlaying(bool playing);
    void ShowRows();
    void ShowMessage(const QString& text);

    VersletFileChoosers m_choosers;
    MusicPlayer m_player;
    LrcDraft m_draft;
    QTimer m_positionTimer;
    bool m_playing = false;
    bool m_leaveConfirmed = false;

    QPushButton* m_chooseButton = nullptr;
    QLineEdit* m_pathEdit = nullptr;
    QPushButton* m_playButton = nullptr;
    QPushButton* m_stopButton = nullptr;
    QPushButton* m_saveButton = nullptr;
    QPushButton* m_aboutButton = nullptr;
    QLabel* m_positionLabel = nullptr;
    QLineEdit* m_artistEdit = nullptr;
    QLineEdit* m_titleEdit = nullptr;
    QLineEdit* m_makerEdit = nullptr;
    QLineEdit* m_wordsEdit = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_pauseButton = nullptr;
    QTreeWidget* m_list = nullptr;
    QRadioButton* m_typeRadio = nullptr;
    QRadioButton* m_lineTapRadio = nullptr;
    QRadioButton* m_wordTapRadio = nullptr;
    QStackedWidget* m_pages = nullptr;
    TapPane* m_tapPane = nullptr;
};
