#include "lyrics/ui/LyricSearchDlg.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "lyrics/LyricSearchRun.h"
#include "resources/StringTable.h"
#include "shell/ProgramFolder.h"
#include "shell/Settings.h"

namespace {

constexpr int kStrSingerColumn = 84;
constexpr int kColumnWidths[] = {100, 100, 150};
constexpr int kStrChooseCustomFolder = 87;

QString text(int id) {
    return QString::fromUtf8(loadString(id));
}

// Hands each row of one search to the dialog, whose queued connection brings it to the
// user-interface thread.
class RowPoster : public LyricSearchObserver {
public:
    RowPoster(CLyricSearchDlg& dialog, int search) : m_dialog(dialog), m_search(search) {}

    void onRow(const LyricSearchRow& row) override { emit m_dialog.rowFound(m_search, row); }

private:
    CLyricSearchDlg& m_dialog;
    int m_search;
};

}  // namespace

CLyricSearchDlg::CLyricSearchDlg(const std::string& keyword, const std::string& songPath,
                                 QWidget* parent)
    : QDialog(parent), m_songPath(songPath) {
    setWindowTitle(QStringLiteral("搜索歌词"));
    buildControls(keyword, songPath);
    m_custom->setChecked(!readSetting(ConfigKey::LyricsCustomPath).empty());
    connect(m_custom, &QCheckBox::clicked, this, &CLyricSearchDlg::OnCustomFolderClicked);
    connect(m_start, &QPushButton::clicked, this, &CLyricSearchDlg::OnStart);
    connect(m_choose, &QPushButton::clicked, this, &CLyricSearchDlg::OnChoose);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CLyricSearchDlg::OnChoose);
    connect(this, &CLyricSearchDlg::rowFound, this, &CLyricSearchDlg::OnRowFound,
            Qt::QueuedConnection);
    connect(this, &CLyricSearchDlg::searchEnded, this, &CLyricSearchDlg::OnSearchEnded,
            Qt::QueuedConnection);
}

CLyricSearchDlg::~CLyricSearchDlg() {
    EndSearch();
}

void CLyricSearchDlg::buildControls(const std::string& keyword, const std::string& songPath) {
    m_keyword = new QLineEdit(QString::fromStdString(keyword));
    m_keyword->setObjectName(QStringLiteral("keywordEdit"));
    m_start = new QPushButton(QStringLiteral("开始搜索"));
    m_start->setObjectName(QStringLiteral("startButton"));
    m_start->setAutoDefault(false);
    m_custom = new QCheckBox(QStringLiteral("同时搜索我自己的歌词目录"));
    m_custom->setObjectName(QStringLiteral("customFolderCheck"));
    m_list = new QTreeWidget;
    m_list->setObjectName(QStringLiteral("resultList"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels(
        {text(kStrSingerColumn), text(kStrSingerColumn + 1), text(kStrSingerColumn + 2)});
    m_list->header()->setStretchLastSection(false);
    for (int column = 0; column < 3; ++column) {
        m_list->setColumnWidth(column, kColumnWidths[column]);
    }
    m_choose = new QPushButton(QStringLiteral("确定选择"));
    m_choose->setObjectName(QStringLiteral("chooseButton"));
    m_choose->setAutoDefault(false);
    m_song = new QLineEdit(QString::fromStdString(songPath));
    m_song->setObjectName(QStringLiteral("songPathEdit"));
    m_song->setReadOnly(true);

    auto* keywordRow = new QHBoxLayout;
    keywordRow->addWidget(new QLabel(QStringLiteral("关键字：")));
    keywordRow->addWidget(m_keyword, 1);
    keywordRow->addWidget(m_start);
    auto* songRow = new QHBoxLayout;
    songRow->addWidget(new QLabel(QStringLiteral("关联歌曲：")));
    songRow->addWidget(m_song, 1);
    songRow->addWidget(m_choose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(keywordRow);
    layout->addWidget(m_custom);
    layout->addWidget(m_list, 1);
    layout->addLayout(songRow);
    setTabOrder(m_keyword, m_start);
    setTabOrder(m_start, m_custom);
    setTabOrder(m_custom, m_list);
    setTabOrder(m_list, m_choose);
    setTabOrder(m_choose, m_song);
    resize(420, 360);
}

void CLyricSearchDlg::OnCustomFolderClicked() {
    if (!m_custom->isChecked() || !readSetting(ConfigKey::LyricsCustomPath).empty()) {
        return;
    }
    QFileDialog chooser(this, text(kStrChooseCustomFolder).replace('\n', ' '), QDir::rootPath());
    chooser.setObjectName(QStringLiteral("customFolderChooser"));
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        m_custom->setChecked(false);
        return;
    }
    std::string folder = QFile::encodeName(chooser.selectedFiles().constFirst()).toStdString();
    if (!folder.ends_with('/')) {
        folder += '/';
    }
    writeSetting(ConfigKey::LyricsCustomPath, folder);
}

void CLyricSearchDlg::OnStart() {
    const std::string keyword = m_keyword->text().toStdString();
    if (keyword.empty() || IsSearching()) {
        return;
    }
    EndSearch();
    m_start->setEnabled(false);
    m_list->clear();
    m_rows.clear();
    m_stop = false;
    m_finished = false;
    const LyricSearchJob job = lyricSearchJobFor(keyword, m_custom->isChecked());
    const int search = ++m_search;
    m_worker = std::thread([this, job, search] {
        RowPoster poster(*this, search);
        LyricSearchRun(poster).Run(job, &m_stop);
        emit searchEnded(search);
    });
}

// Rows and the end of an earlier search that are still on their way are dropped.
void CLyricSearchDlg::OnRowFound(int search, const LyricSearchRow& row) {
    if (search != m_search) {
        return;
    }
    m_rows.push_back(row);
    m_list->addTopLevelItem(
        new QTreeWidgetItem({QString::fromStdString(row.singer), QString::fromStdString(row.title),
                             QString::fromStdString(row.path)}));
}

void CLyricSearchDlg::OnSearchEnded(int search) {
    if (search != m_search) {
        return;
    }
    m_finished = true;
    m_start->setEnabled(true);
}

void CLyricSearchDlg::OnChoose() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    const int index = m_list->indexOfTopLevelItem(selected.constFirst());
    if (index < 0 || index >= static_cast<int>(m_rows.size())) {
        return;
    }
    EndSearch();
    m_result = m_rows[static_cast<size_t>(index)];
    TakeFoundLyric(ProgramFolder::current(), m_result, m_songPath);
    accept();
}

// Enter, like Escape and the close box, closes the dialog without a result; only the choose
// button hands one out.
void CLyricSearchDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CLyricSearchDlg::done(int result) {
    EndSearch();
    QDialog::done(result);
}

void CLyricSearchDlg::EndSearch() {
    if (!m_worker.joinable()) {
        return;
    }
    m_stop = true;
    m_worker.join();
    ++m_search;
    m_finished = true;
    m_start->setEnabled(true);
}
