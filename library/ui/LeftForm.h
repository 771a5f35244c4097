#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "library/SongEntry.h"
#include "library/ui/SongListDocument.h"
#include "playback/PlaybackPanes.h"

class CMelodeckDoc;
class QMenu;
class RenamableTabBar;
class SongListCtrl;

// The left pane of the main window: the shown category's songs above a strip of category
// tabs. The user chooses, orders, renames and removes songs here and creates, switches,
// renames and deletes categories; the songs themselves live in the document.
class CLeftForm : public QWidget, public SongListPane {
    Q_OBJECT

public:
    // Configuration colours of the list ("MusicList" section).
    enum ColorRole { BackRole, TextRole };

    CLeftForm(CMelodeckDoc* doc, DurationProbe probe, QWidget* parent = nullptr);
    ~CLeftForm() override;
    CLeftForm(const CLeftForm&) = delete;
    CLeftForm& operator=(const CLeftForm&) = delete;

    // The document is new: its first category's list is loaded and the tabs are created.
    void OnInitialUpdate();
    // The document closes: the shown list and the category names are saved.
    void OnCloseDocument();

    void MarkPlayingRow(int row) override;
    void ClearRowMarks(int row) override;
    void SelectRow(int row) override;
    std::string SelectedCategoryName() const override;

    // The document's list commands.
    void OnAddMusicFiles();
    void OnAddFolder();
    void OnOpenM3u();

    // Carries out a command of the context menu; false for another id.
    bool OnCommand(int id);
    std::unique_ptr<QMenu> CreateContextMenu();
    // Stores a list colour (configuration and window) and repaints.
    void ApplyColor(ColorRole role, int colorRef);
    // Selects the next row whose name's pinyin starts with `letter` ('A' to 'Z').
    void JumpByInitial(char letter);

    SongListDocument& SongLists() { return m_songLists; }
    SongListCtrl* List() const { return m_list; }
    RenamableTabBar* Tabs() const { return m_tabs; }
    // The row that carries the playing mark, -1 when none.
    int MarkedRow() const { return m_markedRow; }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void RebuildRows();
    void OnSaveFailed(const QString& file, const QString& reason);
    void AppendRow(int row);
    void OnListClicked();
    void OnRowsSwapped(int dragged, int under);
    void OnItemEdited(int row, const QString& text);
    void OnTabChanged(int index);
    void RemoveSelected();
    void NewCategory();
    void DeleteCategory();
    void ExportM3u();
    void ChooseColor(ColorRole role);
    void ApplyColors();
    void SetRowMark(int row, bool marked);
    void RestorePlayingMark();

    CMelodeckDoc* m_doc;
    SongListDocument m_songLists;
    SongListCtrl* m_list;
    RenamableTabBar* m_tabs;
    int m_colors[2] = {};
    int m_markedRow = -1;
    // Rows are being filled by the program, not edited by the user.
    bool m_filling = false;
    bool m_closing = false;
};
