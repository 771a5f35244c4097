#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "lyrics/SingerTitle.h"

class QComboBox;
class QLineEdit;
class QPushButton;

// A lyric of the library paired with the song file to play it with.
struct LyricPick {
    SingerTitle names;
    std::string lyricPath;
    std::string songPath;
};

// "点唱机": picks a lyric of the library by singer and title and pairs it with an MP3 file. It
// serves the jukebox (no song preset) and manual matching (the current song preset). OK does
// nothing until singer, title and song are all given.
class CLyricJukeboxDlg : public QDialog {
    Q_OBJECT

public:
    explicit CLyricJukeboxDlg(const std::string& songPath, QWidget* parent = nullptr);

    // The pick (after the dialog closed with Accepted).
    const LyricPick& Result() const { return m_result; }

private:
    void buildControls(const std::string& songPath);
    void OnSingerChanged(int index);
    void OnChoosePath();
    void OnOk();

    QComboBox* m_singers = nullptr;
    QComboBox* m_titles = nullptr;
    QLineEdit* m_song = nullptr;
    QPushButton* m_choosePath = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    // The names as listed (their bytes, which the combo boxes' texts may not keep exactly).
    std::vector<std::string> m_singerNames;
    std::vector<std::string> m_titleNames;
    std::string m_songPath;
    LyricPick m_result;
};
