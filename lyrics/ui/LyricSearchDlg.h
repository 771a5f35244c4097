#pragma once

#include <QDialog>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "lyrics/LyricSearch.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// "搜索歌词": finds lyric files by a keyword in the library and, when asked, the user's own
// folder, on a worker thread. Choosing a row takes the lyric into the library, tags the song
// with its singer and title and closes the dialog with the row as its result; any other way of
// closing gives no result. A running search is ended before the dialog closes or goes.
class CLyricSearchDlg : public QDialog {
    Q_OBJECT

public:
    // `keyword` and `songPath` preset the keyword and the song to associate.
    CLyricSearchDlg(const std::string& keyword, const std::string& songPath,
                    QWidget* parent = nullptr);
    ~CLyricSearchDlg() override;
    CLyricSearchDlg(const CLyricSearchDlg&) = delete;
    CLyricSearchDlg& operator=(const CLyricSearchDlg&) = delete;

    // The chosen row (after the dialog closed with Accepted).
    const LyricSearchRow& Result() const { return m_result; }
    bool IsSearching() const { return m_worker.joinable() && !m_finished; }

    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

signals:
    // From the worker: a row of search number `search`, and its end.
    void rowFound(int search, const LyricSearchRow& row);
    void searchEnded(int search);

private:
    void buildControls(const std::string& keyword, const std::string& songPath);
    void OnCustomFolderClicked();
    void OnStart();
    void OnChoose();
    void OnRowFound(int search, const LyricSearchRow& row);
    void OnSearchEnded(int search);
    // Asks the worker to stop and waits for it.
    void EndSearch();

    QLineEdit* m_keyword = nullptr;
    QPushButton* m_start = nullptr;
    QCheckBox* m_custom = nullptr;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_choose = nullptr;
    QLineEdit* m_song = nullptr;
    std::string m_songPath;
    // The rows as found (their bytes, which the list's texts may not keep exactly).
    std::vector<LyricSearchRow> m_rows;
    LyricSearchRow m_result;
    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    bool m_finished = true;
    // Counts the searches (user-interface thread only).
    int m_search = 0;
};
