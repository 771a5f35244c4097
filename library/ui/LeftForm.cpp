#include "library/ui/LeftForm.h"

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>
#include <QVBoxLayout>
#include <array>

#include "library/M3uPlaylist.h"
#include "library/ui/PinyinInitial.h"
#include "library/ui/RenamableTabBar.h"
#include "library/ui/SongListCtrl.h"
#include "library/ui/SongListRules.h"
#include "lyrics/ui/ColorRef.h"
#include "playback/MelodeckDoc.h"
#include "resources/CommandIds.h"
#include "resources/PlayerStrings.h"
#include "resources/StringTable.h"
#include "shell/ConfigKeys.h"
#include "shell/Settings.h"

namespace {

// Column titles "音乐" and "时间".
constexpr int kStrMusicColumn = 45;
constexpr int kStrTimeColumn = 46;
constexpr int kNameColumnWidth = 140;
constexpr int kTimeColumnWidth = 50;

constexpr std::array<IntKey, 2> kColorKeys = {ConfigKey::MusicListBkColor,
                                              ConfigKey::MusicListTeColor};

QString text(int id) {
    return QString::fromUtf8(loadString(id));
}

}  // namespace

CLeftForm::CLeftForm(CMelodeckDoc* doc, DurationProbe probe, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_songLists(*doc, std::move(probe)),
      m_list(new SongListCtrl(this)),
      m_tabs(new RenamableTabBar(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_tabs);

    m_list->setColumnCount(2);
    m_list->setHeaderLabels({text(kStrMusicColumn), text(kStrTimeColumn)});
    // The name column takes what the time column leaves, so the time always shows whole.
    m_list->header()->setStretchLastSection(false);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->header()->setSectionResizeMode(1, QHeaderView::Fixed);
    m_list->header()->resizeSection(0, kNameColumnWidth);
    m_list->header()->resizeSection(1, kTimeColumnWidth);
    for (size_t role = 0; role < kColorKeys.size(); ++role) {
        m_colors[role] = readSetting(kColorKeys[role]);
    }
    ApplyColors();

    connect(&m_songLists, &SongListDocument::listReset, this, &CLeftForm::RebuildRows);
    connect(&m_songLists, &SongListDocument::rowAppended, this, &CLeftForm::AppendRow);
    connect(&m_songLists, &SongListDocument::saveFailed, this, &CLeftForm::OnSaveFailed);
    connect(m_list, &SongListCtrl::listClicked, this, &CLeftForm::OnListClicked);
    connect(m_list, &SongListCtrl::itemDoubleClicked, this, [this] { m_doc->OnPlay(); });
    connect(m_list, &SongListCtrl::rowsSwapped, this, &CLeftForm::OnRowsSwapped);
    connect(m_list, &SongListCtrl::filesDropped, &m_songLists, &SongListDocument::AddDroppedFiles);
    connect(m_list, &SongListCtrl::letterPressed, this, &CLeftForm::JumpByInitial);
    connect(m_list, &SongListCtrl::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == 0) {
            OnItemEdited(m_list->indexOfTopLevelItem(item), item->text(0));
        }
    });
    connect(doc, &CMelodeckDoc::songRenamed, this, [this](int row) {
        if (QTreeWidgetItem* item = m_list->topLevelItem(row)) {
            const QSignalBlocker blocker(m_list);
            item->setText(
                0, QString::fromStdString(m_doc->m_songs[static_cast<size_t>(row)].DisplayName));
        }
    });
    connect(m_tabs, &RenamableTabBar::currentChanged, this, &CLeftForm::OnTabChanged);
    connect(m_tabs, &RenamableTabBar::tabRenamed, this, [this](int index, const QString& name) {
        m_songLists.RenameCategory(index, name.toStdString());
    });
}

CLeftForm::~CLeftForm() = default;

void CLeftForm::OnInitialUpdate() {
    m_songLists.OnNewDocument();
    const QSignalBlocker blocker(m_tabs);
    while (m_tabs->count() > 0) {
        m_tabs->removeTab(0);
    }
    for (const std::string& name : m_songLists.Categories().Names()) {
        m_tabs->addTab(QString::fromStdString(name));
    }
    m_tabs->setCurrentIndex(m_doc->m_curCategory);
}

void CLeftForm::OnCloseDocument() {
    m_closing = true;
    m_songLists.OnCloseDocument();
}

// While the program closes the box waits for the user, or it would vanish unread.
void CLeftForm::OnSaveFailed(const QString& file, const QString& reason) {
    auto* box = new QMessageBox(QMessageBox::Warning, text(kStrCaption),
                                text(kStrListNotSaved).arg(file, reason), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    if (m_closing) {
        box->exec();
        return;
    }
    box->open();
}

void CLeftForm::RebuildRows() {
    const QSignalBlocker blocker(m_list);
    m_filling = true;
    m_list->clear();
    m_markedRow = -1;
    for (int row = 0; row < static_cast<int>(m_doc->m_songs.size()); ++row) {
        AppendRow(row);
    }
    m_filling = false;
    RestorePlayingMark();
}

void CLeftForm::AppendRow(int row) {
    const SongEntry& song = m_doc->m_songs[static_cast<size_t>(row)];
    const bool wasFilling = m_filling;
    m_filling = true;
    auto* item = new QTreeWidgetItem(
        {QString::fromStdString(song.DisplayName), QString::fromStdString(song.DurationText)});
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    m_list->addTopLevelItem(item);
    m_filling = wasFilling;
}

// Only a song that plays (or pauses) marks its row; a stopped one left its number behind.
void CLeftForm::RestorePlayingMark() {
    if (m_doc->m_playState != kStopped && m_songLists.ShowsPlayingRow()) {
        SetRowMark(m_doc->m_playingSong, true);
    }
}

void CLeftForm::SetRowMark(int row, bool marked) {
    QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    const QSignalBlocker blocker(m_list);
    // Bold with a play sign, so the playing row never looks like the selection.
    QFont font = m_list->font();
    font.setBold(marked);
    for (int column = 0; column < 2; ++column) {
        item->setFont(column, font);
    }
    item->setIcon(0, marked ? style()->standardIcon(QStyle::SP_MediaPlay) : QIcon());
    if (marked) {
        if (m_markedRow != row) {
            SetRowMark(m_markedRow, false);
        }
        m_markedRow = row;
    } else if (m_markedRow == row) {
        m_markedRow = -1;
    }
}

void CLeftForm::MarkPlayingRow(int row) {
    SetRowMark(row, true);
}

void CLeftForm::ClearRowMarks(int row) {
    SetRowMark(row, false);
    if (QTreeWidgetItem* item = m_list->topLevelItem(row)) {
        item->setSelected(false);
    }
}

void CLeftForm::SelectRow(int row) {
    if (QTreeWidgetItem* item = m_list->topLevelItem(row)) {
        item->setSelected(true);
    }
}

std::string CLeftForm::SelectedCategoryName() const {
    return m_tabs->tabText(m_tabs->currentIndex()).toStdString();
}

void CLeftForm::OnListClicked() {
    const int first = m_list->FirstSelectedRow();
    if (first >= 0) {
        m_doc->m_curSong = first;
    } else if (!m_doc->m_songs.empty()) {
        m_doc->m_curSong = 0;
    }
}

void CLeftForm::OnRowsSwapped(int dragged, int under) {
    QTreeWidgetItem* a = m_list->topLevelItem(dragged);
    QTreeWidgetItem* b = m_list->topLevelItem(under);
    if (a == nullptr || b == nullptr) {
        return;
    }
    m_songLists.SwapRows(dragged, under);
    {
        const QSignalBlocker blocker(m_list);
        for (int column = 0; column < 2; ++column) {
            const QString held = a->text(column);
            a->setText(column, b->text(column));
            b->setText(column, held);
        }
        a->setSelected(false);
        b->setSelected(true);
    }
    if (m_markedRow == dragged || m_markedRow == under) {
        SetRowMark(m_markedRow, false);
        RestorePlayingMark();
    }
}

void CLeftForm::OnItemEdited(int row, const QString& edited) {
    if (m_filling || row < 0 || row >= static_cast<int>(m_doc->m_songs.size())) {
        return;
    }
    if (!m_songLists.RenameRow(row, edited.toStdString())) {
        const QSignalBlocker blocker(m_list);
        m_list->topLevelItem(row)->setText(
            0, QString::fromStdString(m_doc->m_songs[static_cast<size_t>(row)].DisplayName));
    }
}

void CLeftForm::OnTabChanged(int index) {
    m_songLists.SwitchCategory(index);
}

void CLeftForm::JumpByInitial(char letter) {
    const int selected = m_list->FirstSelectedRow();
    m_list->clearSelection();
    const int found = SongListRules::FindByInitial(
        m_list->topLevelItemCount(), selected, letter, [this](int row) {
            return PinyinInitial(m_list->topLevelItem(row)->text(0).toStdString());
        });
    if (found < 0) {
        return;
    }
    QTreeWidgetItem* item = m_list->topLevelItem(found);
    m_list->scrollToItem(item);
    m_list->setCurrentItem(item);
    item->setSelected(true);
}

void CLeftForm::contextMenuEvent(QContextMenuEvent* event) {
    const std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(event->globalPos());
}

std::unique_ptr<QMenu> CLeftForm::CreateContextMenu() {
    struct Item {
        int id;
        const char* text;
    };
    static constexpr std::array<Item, 8> kItems = {{
        {kCmdEditSongInfo, "编辑歌曲信息..."},
        {kCmdRemoveSelected, "删除所选"},
        {kCmdClearAll, "清空全部"},
        {kCmdNewCategory, "新增分类"},
        {kCmdDeleteCategory, "删除该分类"},
        {kCmdSaveM3u, "保存为m3u清单..."},
        {kCmdListBackColor, "更改背景颜色..."},
        {kCmdListTextColor, "更改文字颜色..."},
    }};
    auto menu = std::make_unique<QMenu>(QString::fromUtf8("歌单编辑"));
    for (const Item& item : kItems) {
        menu->addAction(QString::fromUtf8(item.text))->setData(item.id);
    }
    connect(menu.get(), &QMenu::triggered, this,
            [this](QAction* action) { OnCommand(action->data().toInt()); });
    return menu;
}

bool CLeftForm::OnCommand(int id) {
    switch (id) {
        case kCmdEditSongInfo:
            if (QTreeWidgetItem* item = m_list->topLevelItem(m_list->FirstSelectedRow())) {
                m_list->editItem(item, 0);
            }
            return true;
        case kCmdRemoveSelected:
            RemoveSelected();
            return true;
        case kCmdClearAll:
            m_songLists.ClearSongList();
            return true;
        case kCmdNewCategory:
            NewCategory();
            return true;
        case kCmdDeleteCategory:
            DeleteCategory();
            return true;
        case kCmdSaveM3u:
            ExportM3u();
            return true;
        case kCmdListBackColor:
            ChooseColor(BackRole);
            return true;
        case kCmdListTextColor:
            ChooseColor(TextRole);
            return true;
        default:
            return false;
    }
}

// The current and playing songs keep their marks on the rows that stay.
void CLeftForm::RemoveSelected() {
    m_songLists.RemoveRows(m_list->SelectedRows());
}

void CLeftForm::NewCategory() {
    const int k = m_songLists.NewCategory();
    const QSignalBlocker blocker(m_tabs);
    m_tabs->addTab(QString::fromStdString(m_songLists.Categories().Name(k)));
}

void CLeftForm::DeleteCategory() {
    const int deleted = m_tabs->currentIndex();
    if (!m_songLists.DeleteCategory()) {
        return;
    }
    const QSignalBlocker blocker(m_tabs);
    m_tabs->removeTab(deleted);
    m_tabs->setCurrentIndex(m_doc->m_curCategory);
}

void CLeftForm::ExportM3u() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilter(QString::fromUtf8("M3U音乐清单 (*.m3u)"));
    dialog.setDefaultSuffix(QStringLiteral("m3u"));
    dialog.setObjectName(QStringLiteral("ExportM3uDialog"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString path = dialog.selectedFiles().front();
    std::string error;
    if (!SaveM3u(path.toStdString(), m_doc->m_songs, &error)) {
        QMessageBox::warning(this, text(kStrCaption), QString::fromStdString(error));
    }
}

void CLeftForm::ChooseColor(ColorRole role) {
    const QColor chosen = QColorDialog::getColor(colorFromRef(m_colors[role]), this);
    if (chosen.isValid()) {
        ApplyColor(role, refFromColor(chosen));
    }
}

void CLeftForm::ApplyColor(ColorRole role, int colorRef) {
    m_colors[role] = colorRef;
    writeSetting(kColorKeys[role], colorRef);
    ApplyColors();
}

void CLeftForm::ApplyColors() {
    QPalette palette = m_list->palette();
    palette.setColor(QPalette::Base, colorFromRef(m_colors[BackRole]));
    palette.setColor(QPalette::Text, colorFromRef(m_colors[TextRole]));
    m_list->setPalette(palette);
    m_list->viewport()->update();
}

void CLeftForm::OnAddMusicFiles() {
    const QStringList chosen = QFileDialog::getOpenFileNames(
        this, QString(), QString(),
        QString::fromUtf8("音乐媒体文件 (*.mp3 *.wma *.wav *.mid *.kar *.cdg *.zip)"));
    std::vector<std::string> paths;
    for (const QString& path : chosen) {
        paths.push_back(path.toStdString());
    }
    m_songLists.AddSongFiles(paths);
}

void CLeftForm::OnAddFolder() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QString::fromUtf8("请选择一个有MP3的文件夹:"), QDir::homePath());
    if (!folder.isEmpty()) {
        m_songLists.AddFolder(folder.toStdString());
    }
}

void CLeftForm::OnOpenM3u() {
    const QString path = QFileDialog::getOpenFileName(this, QString(), QString(),
                                                      QString::fromUtf8("M3U音乐清单 (*.m3u)"));
    if (!path.isEmpty()) {
        m_songLists.OpenM3u(path.toStdString());
    }
}
