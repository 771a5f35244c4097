#include "lyrics/ui/LyricJukeboxDlg.h"

#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "lyrics/LyricLibrary.h"
#include "lyrics/LyricLibraryListing.h"
#include "shell/ProgramFolder.h"

namespace {

void fill(QComboBox* box, const std::vector<std::string>& names) {
    box->clear();
    for (const std::string& name : names) {
        box->addItem(QString::fromStdString(name));
    }
    box->setCurrentIndex(-1);
}

}  // namespace

CLyricJukeboxDlg::CLyricJukeboxDlg(const std::string& songPath, QWidget* parent)
    : QDialog(parent), m_songPath(songPath) {
    setWindowTitle(QStringLiteral("点唱机"));
    buildControls(songPath);
    m_singerNames = LibrarySingers(ProgramFolder::current());
    fill(m_singers, m_singerNames);
    m_titles->setEnabled(false);
    connect(m_singers, &QComboBox::currentIndexChanged, this, &CLyricJukeboxDlg::OnSingerChanged);
    connect(m_choosePath, &QPushButton::clicked, this, &CLyricJukeboxDlg::OnChoosePath);
    connect(m_ok, &QPushButton::clicked, this, &CLyricJukeboxDlg::OnOk);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CLyricJukeboxDlg::buildControls(const std::string& songPath) {
    m_singers = new QComboBox;
    m_singers->setObjectName(QStringLiteral("singerCombo"));
    m_titles = new QComboBox;
    m_titles->setObjectName(QStringLiteral("titleCombo"));
    m_song = new QLineEdit(QString::fromStdString(songPath));
    m_song->setObjectName(QStringLiteral("songPathEdit"));
    m_song->setReadOnly(true);
    m_choosePath = new QPushButton(QStringLiteral("选择路径"));
    m_choosePath->setObjectName(QStringLiteral("choosePathButton"));
    m_choosePath->setAutoDefault(false);
    m_ok = new QPushButton(QStringLiteral("确定"));
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("取消"));
    m_cancel->setObjectName(QStringLiteral("cancelButton"));
    m_cancel->setAutoDefault(false);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("歌手名（按字母顺序）：")), 0, 0);
    grid->addWidget(m_singers, 0, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("歌曲名（按字母顺序）：")), 1, 0);
    grid->addWidget(m_titles, 1, 1, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("歌曲：")), 2, 0);
    grid->addWidget(m_song, 2, 1);
    grid->addWidget(m_choosePath, 2, 2);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(new QLabel(QStringLiteral("提示：所选歌词会自动关联到歌曲。")), 1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(420, layout->sizeHint().height());
}

void CLyricJukeboxDlg::OnSingerChanged(int index) {
    m_titleNames.clear();
    if (index < 0 || index >= static_cast<int>(m_singerNames.size())) {
        fill(m_titles, m_titleNames);
        m_titles->setEnabled(false);
        return;
    }
    m_titleNames =
        LibraryTitles(ProgramFolder::current(), m_singerNames[static_cast<size_t>(index)]);
    fill(m_titles, m_titleNames);
    m_titles->setEnabled(true);
}

void CLyricJukeboxDlg::OnChoosePath() {
    QFileDialog chooser(this, {}, {}, QStringLiteral("MP3音乐文件(*.mp3)"));
    chooser.setObjectName(QStringLiteral("songChooser"));
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setOptions(QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        return;
    }
    m_songPath = QFile::encodeName(chooser.selectedFiles().constFirst()).toStdString();
    m_song->setText(chooser.selectedFiles().constFirst());
}

void CLyricJukeboxDlg::OnOk() {
    const int singer = m_singers->currentIndex();
    const int title = m_titles->currentIndex();
    if (singer < 0 || title < 0 || title >= static_cast<int>(m_titleNames.size()) ||
        m_songPath.empty()) {
        return;
    }
    SingerTitle names{m_singerNames[static_cast<size_t>(singer)],
                      m_titleNames[static_cast<size_t>(title)]};
    m_result = {names, LyricLibraryPath(ProgramFolder::current(), names), m_songPath};
    accept();
}
