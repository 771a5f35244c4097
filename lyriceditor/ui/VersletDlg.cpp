#include "lyriceditor/ui/VersletDlg.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "library/Id3TitleReader.h"
#include "lyriceditor/LrcSaveRun.h"
#include "lyriceditor/VersletStrings.h"
#include "lyriceditor/ui/TapPane.h"
#include "shell/TextCodec.h"

namespace {

constexpr int kPositionPeriodMs = 10;
constexpr int kWordsColumnWidth = 200;
constexpr int kTimeColumnWidth = 150;
constexpr const char* kMaker = "Vocalia";
constexpr const char* kUsageHint =
    "选择歌曲播放后,每听完一句,按暂停,加入该句歌词,再继续.\n"
    "这样听完一首歌,也就做完了一个歌词,记得最后要保存哦!";

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QPushButton* button(const char* label, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text(label), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QLineEdit* edit(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    return e;
}

// Shows the save run's steps in the position field.
class PositionFieldObserver : public RunObserver {
public:
    explicit PositionFieldObserver(QLabel* field) : m_field(field) {}
    void onProgress(int /*stringId*/, const std::string& progress) override {
        m_field->setText(QString::fromStdString(progress));
    }

private:
    QLabel* m_field;
};

}  // namespace

VersletFileChoosers VersletFileChoosers::desktop() {
    return {
        [](QWidget* parent) {
            return QFileDialog::getOpenFileName(parent, {}, {}, text(VersletStrings::kSongFilter));
        },
        [](QWidget* parent) {
            QFileDialog dialog(parent, {}, {}, text(VersletStrings::kLyricFilter));
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setDefaultSuffix(QStringLiteral("lrc"));
            return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
        },
    };
}

CVersletDlg::CVersletDlg(VersletFileChoosers choosers, QWidget* parent)
    : QDialog(parent), m_choosers(std::move(choosers)) {
    setWindowTitle(text(VersletStrings::kDialogTitle));
    buildGroups();
    m_positionTimer.setInterval(kPositionPeriodMs);
    m_positionTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_positionTimer, &QTimer::timeout, this, &CVersletDlg::ShowPosition);
    connect(m_chooseButton, &QPushButton::clicked, this, &CVersletDlg::OnChoose);
    connect(m_playButton, &QPushButton::clicked, this, &CVersletDlg::OnPlay);
    connect(m_stopButton, &QPushButton::clicked, this, &CVersletDlg::OnStop);
    connect(m_pauseButton, &QPushButton::clicked, this, &CVersletDlg::OnPause);
    connect(m_addButton, &QPushButton::clicked, this, &CVersletDlg::OnAdd);
    // Enter adds the line from the words field only, not from the header fields.
    connect(m_wordsEdit, &QLineEdit::returnPressed, this, &CVersletDlg::OnAdd);
    connect(m_saveButton, &QPushButton::clicked, this, &CVersletDlg::OnSave);
    connect(m_aboutButton, &QPushButton::clicked, this, &CVersletDlg::OnAbout);
    connect(m_list, &QTreeWidget::itemChanged, this, &CVersletDlg::OnRenamed);
    // Only the words are edited in place; the times come from the adds.
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { m_list->editItem(item, 0); });
}

CVersletDlg::~CVersletDlg() = default;

void CVersletDlg::buildGroups() {
    auto* controls = new QGroupBox(text("操作区"), this);
    m_chooseButton = button("选择MP3 歌曲", "chooseButton", controls);
    m_pathEdit = edit("songPathEdit", controls);
    m_pathEdit->setReadOnly(true);
    m_playButton = button("播放", "playButton", controls);
    m_stopButton = button("停止", "stopButton", controls);
    m_saveButton = button("保存歌词", "saveButton", controls);
    m_aboutButton = button(VersletStrings::kAboutEntry, "aboutButton", controls);
    m_positionLabel = new QLabel(text(VersletStrings::kPositionIdle), controls);
    m_positionLabel->setObjectName(QStringLiteral("positionLabel"));
    auto* controlGrid = new QGridLayout(controls);
    controlGrid->addWidget(m_chooseButton, 0, 0);
    controlGrid->addWidget(m_pathEdit, 0, 1, 1, 4);
    controlGrid->addWidget(m_playButton, 1, 0);
    controlGrid->addWidget(m_stopButton, 1, 1);
    controlGrid->addWidget(m_saveButton, 1, 2);
    controlGrid->addWidget(m_positionLabel, 1, 3);
    controlGrid->addWidget(m_aboutButton, 1, 4);
    controlGrid->setColumnStretch(3, 1);

    auto* info = new QGroupBox(text("歌词信息"), this);
    m_artistEdit = edit("artistEdit", info);
    m_titleEdit = edit("titleEdit", info);
    m_makerEdit = edit("makerEdit", info);
    auto* infoRow = new QHBoxLayout(info);
    infoRow->addWidget(new QLabel(text("歌手:"), info));
    infoRow->addWidget(m_artistEdit);
    infoRow->addWidget(new QLabel(text("歌名:"), info));
    infoRow->addWidget(m_titleEdit);
    infoRow->addWidget(new QLabel(text("歌词制作人:"), info));
    infoRow->addWidget(m_makerEdit);

    auto* lines = new QGroupBox(text("歌词区"), this);
    m_typeRadio = new QRadioButton(text("边听边输入"), lines);
    m_typeRadio->setObjectName(QStringLiteral("typeModeRadio"));
    m_typeRadio->setChecked(true);
    m_lineTapRadio = new QRadioButton(text("逐句标记"), lines);
    m_lineTapRadio->setObjectName(QStringLiteral("lineTapRadio"));
    m_wordTapRadio = new QRadioButton(text("逐字标记"), lines);
    m_wordTapRadio->setObjectName(QStringLiteral("wordTapRadio"));
    auto* modeRow = new QHBoxLayout;
    for (QRadioButton* radio : {m_typeRadio, m_lineTapRadio, m_wordTapRadio}) {
        modeRow->addWidget(radio);
        connect(radio, &QRadioButton::toggled, this, &CVersletDlg::OnModeChosen);
    }
    modeRow->addStretch(1);
    m_pages = new QStackedWidget(lines);
    m_pages->addWidget(buildTypePage(m_pages));
    m_tapPane = new TapPane(m_player, m_pages);
    m_tapPane->setObjectName(QStringLiteral("tapPane"));
    m_pages->addWidget(m_tapPane);
    // The mode stays while stamps exist: they were tapped for the text as it was cut then.
    connect(m_tapPane, &TapPane::stampsChanged, this, [this] {
        const bool free = m_tapPane->Draft().Stamps() == 0;
        for (QRadioButton* radio : {m_typeRadio, m_lineTapRadio, m_wordTapRadio}) {
            radio->setEnabled(free);
        }
    });
    auto* linesColumn = new QVBoxLayout(lines);
    linesColumn->addLayout(modeRow);
    linesColumn->addWidget(m_pages, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(controls);
    layout->addWidget(info);
    layout->addWidget(lines, 1);
    resize(560, 520);
}

QWidget* CVersletDlg::buildTypePage(QWidget* parent) {
    auto* page = new QWidget(parent);
    m_wordsEdit = edit("wordsEdit", page);
    m_addButton = button("加入", "addButton", page);
    m_pauseButton = button(VersletStrings::kPause, "pauseButton", page);
    m_list = new QTreeWidget(page);
    m_list->setObjectName(QStringLiteral("lyricList"));
    m_list->setRootIsDecorated(false);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setHeaderLabels(
        {text(VersletStrings::kWordsColumn), text(VersletStrings::kTimeColumn)});
    m_list->setColumnWidth(0, kWordsColumnWidth);
    m_list->setColumnWidth(1, kTimeColumnWidth);
    auto* hint = new QLabel(text(kUsageHint), page);
    hint->setObjectName(QStringLiteral("hintLabel"));
    auto* addRow = new QHBoxLayout;
    addRow->addWidget(m_wordsEdit, 1);
    addRow->addWidget(m_addButton);
    addRow->addWidget(m_pauseButton);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(addRow);
    column->addWidget(m_list, 1);
    column->addWidget(hint);
    return page;
}

void CVersletDlg::OnModeChosen() {
    m_pages->setCurrentIndex(Tapping() ? 1 : 0);
    m_tapPane->SetMode(m_wordTapRadio->isChecked() ? TapDraft::Mode::Words : TapDraft::Mode::Lines);
    m_tapPane->SongStateChanged();
}

bool CVersletDlg::Tapping() const {
    return !m_typeRadio->isChecked();
}

void CVersletDlg::ChooseSong(const QString& path) {
    m_pathEdit->setText(path);
    const Id3TitleReader tag(localPath(path));
    m_artistEdit->setText(QString::fromStdString(TextCodec::decodeStoredText(tag.Artist())));
    m_titleEdit->setText(QString::fromStdString(TextCodec::decodeStoredText(tag.Title())));
    m_makerEdit->setText(text(kMaker));
}

void CVersletDlg::OnChoose() {
    const QString path = m_choosers.openSong(this);
    if (!path.isEmpty()) {
        ChooseSong(path);
    }
}

void CVersletDlg::OnPlay() {
    m_player.Reset();
    const bool started = m_player.Open(localPath(m_pathEdit->text())) == 0 && m_player.Play() == 0;
    m_playing = started;
    ShowPlaying(started);
    if (!started) {
        m_positionLabel->setText(text(VersletStrings::kCannotPlay));
        m_positionLabel->setToolTip(QString::fromStdString(m_player.LastError()));
    }
}

void CVersletDlg::OnStop() {
    m_player.Stop();
    m_playing = false;
    ShowPlaying(false);
}

void CVersletDlg::OnPause() {
    m_playing = !m_playing;
    m_player.TogglePause();
    ShowPlaying(m_playing);
    // The field shows where the song stands now, not where the last tick saw it.
    ShowPosition();
}

void CVersletDlg::ShowPlaying(bool playing) {
    if (playing) {
        m_positionLabel->setToolTip({});
        m_positionTimer.start();
    } else {
        m_positionTimer.stop();
    }
    const bool paused = m_player.State() == GraphState::Paused;
    m_pauseButton->setText(text(paused ? VersletStrings::kContinue : VersletStrings::kPause));
    m_tapPane->SongStateChanged();
}

void CVersletDlg::ShowPosition() {
    m_positionLabel->setText(QString::fromStdString(lrcTimeTag(m_player.GetPositionMs())));
}

void CVersletDlg::OnAdd() {
    const auto added = m_draft.AddLine(m_wordsEdit->text().toStdString(), m_player.GetPositionMs());
    if (added == LrcDraft::AddResult::SameTime) {
        ShowMessage(text(VersletStrings::kSameTime));
        return;
    }
    m_wordsEdit->clear();
    ShowRows();
}

void CVersletDlg::ShowRows() {
    const QSignalBlocker quiet(m_list);
    m_list->clear();
    for (const LrcRow& row : m_draft.Rows()) {
        auto* item = new QTreeWidgetItem(
            m_list, {QString::fromStdString(row.words), QString::fromStdString(row.TagText())});
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
    m_list->scrollToBottom();
}

void CVersletDlg::OnRenamed(QTreeWidgetItem* item, int column) {
    const auto row = static_cast<size_t>(m_list->indexOfTopLevelItem(item));
    if (column != 0 || row >= m_draft.Rows().size()) {
        return;
    }
    m_draft.Rename(row, item->text(0).toStdString());
    // An empty edit leaves the row as it was.
    const QSignalBlocker quiet(m_list);
    item->setText(0, QString::fromStdString(m_draft.Rows()[row].words));
}

void CVersletDlg::OnSave() {
    LrcSaveJob job;
    job.header = {m_titleEdit->text().toStdString(), m_artistEdit->text().toStdString(),
                  m_makerEdit->text().toStdString()};
    if (!job.header.Complete()) {
        ShowMessage(text(VersletStrings::kIncompleteInfo));
        return;
    }
    const QString path = m_choosers.saveLyric(this);
    if (path.isEmpty()) {
        return;
    }
    job.path = localPath(path);
    job.rows = Tapping() ? m_tapPane->Rows() : m_draft.Rows();
    // A few lines of text: the run is over long before a worker thread would pay off.
    PositionFieldObserver observer(m_positionLabel);
    const RunOutcome outcome = LrcSaveRun(observer).Run(job);
    if (!outcome.ok()) {
        ShowMessage(QString::fromStdString(outcome.error));
        return;
    }
    if (Tapping()) {
        m_tapPane->MarkSaved();
        m_tapPane->FocusTaps();
    } else {
        m_draft.MarkSaved();
    }
}

void CVersletDlg::OnAbout() {
    auto* about = new QDialog(this);
    about->setObjectName(QStringLiteral("aboutDialog"));
    about->setAttribute(Qt::WA_DeleteOnClose);
    about->setWindowTitle(text(VersletStrings::kAboutTitle));
    auto* layout = new QVBoxLayout(about);
    layout->addWidget(new QLabel(text(VersletStrings::kAboutText), about));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, about);
    connect(buttons, &QDialogButtonBox::accepted, about, &QDialog::accept);
    layout->addWidget(buttons);
    about->open();
}

void CVersletDlg::reject() {
    if (!(m_draft.Modified() || m_tapPane->Modified()) || m_leaveConfirmed) {
        m_positionTimer.stop();
        QDialog::reject();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Question, text(VersletStrings::kCaption),
                                text(VersletStrings::kUnsavedLines),
                                QMessageBox::Yes | QMessageBox::No, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::buttonClicked, this, [this, box](QAbstractButton* clicked) {
        if (clicked == box->button(QMessageBox::Yes)) {
            m_leaveConfirmed = true;
            close();
        }
    });
    box->open();
}

void CVersletDlg::keyPressEvent(QKeyEvent* event) {
    // Enter belongs to the words field; the dialog's own handling would press whatever default
    // button it finds, the OK of a message box just opened by that Enter included.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CVersletDlg::ShowMessage(const QString& message) {
    // Shown without blocking, so the song and the position go on behind the box.
    auto* box = new QMessageBox(QMessageBox::Warning, text(VersletStrings::kCaption), message,
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
