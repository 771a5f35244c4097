// The editing services' headers come before Qt's, whose "signals" keyword they would trip over.
#include "media/MixTimeline.h"

#include "audiotools/ui/SynthesizerDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "audiotools/ui/ToolDialogSupport.h"
#include "audiotools/ui/ToolWorker.h"
#include "resources/StringTable.h"
#include "shell/AtomicFile.h"

namespace {

constexpr int kHintText = 67;
constexpr int kShortFieldLength = 20;
constexpr int kCommentLength = 40;

QLineEdit* edit(QWidget* parent, const char* name, int maxLength = 0) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    if (maxLength > 0) {
        box->setMaxLength(maxLength);
    }
    return box;
}

QLineEdit* pathBox(QWidget* parent, const char* name) {
    QLineEdit* box = edit(parent, name);
    box->setReadOnly(true);
    return box;
}

// Copies the file whole; the destination is replaced only once the copy is complete.
bool copyFile(const std::string& source, const std::string& destination, std::string& error) {
    std::string bytes;
    return readWholeFile(source, bytes, &error) && writeFileAtomically(destination, bytes, &error);
}

}  // namespace

CSynthesizerDlg::CSynthesizerDlg(QWidget* parent, const QString& music, const QString& title)
    : QDialog(parent),
      m_job(synthesisDefaults(music.toStdString(), title.toStdString())),
      m_voice(pathBox(this, "voicePath")),
      m_offsetBox(edit(this, "offset")),
      m_music(pathBox(this, "musicPath")),
      m_output(pathBox(this, "outputPath")),
      m_title(edit(this, "title", kShortFieldLength)),
      m_artist(edit(this, "artist", kShortFieldLength)),
      m_album(edit(this, "album", kShortFieldLength)),
      m_year(edit(this, "year", kShortFieldLength)),
      m_comment(edit(this, "comment", kCommentLength)),
      m_status(new QLabel(QString::fromUtf8(loadString(kHintText)), this)),
      m_preview(ToolDialogSupport::button(this, QStringLiteral("预览播放"), "preview")),
      m_stop(ToolDialogSupport::button(this, QStringLiteral("停止播放"), "stop")),
      m_save(ToolDialogSupport::button(this, QStringLiteral("合成保存"), "save")),
      m_timeline(std::make_unique<MixTimeline>()),
      m_worker(new ToolWorker(this)) {
    setWindowTitle(QStringLiteral("Vocalia --  MP3 合成器"));
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_offset = static_cast<int>(m_job.offsetMs);
    buildControls();
    connect(m_worker, &ToolWorker::progress, m_status, &QLabel::setText);
    connect(m_worker, &ToolWorker::finished, this, &CSynthesizerDlg::onFinished);
    showControls();
}

CSynthesizerDlg::~CSynthesizerDlg() {
    m_worker->Wait();
}

int64_t CSynthesizerDlg::PreviewLengthMs() const {
    return m_timeline->DurationMs();
}

bool CSynthesizerDlg::IsSaving() const {
    return m_worker->IsRunning();
}

QLayout* CSynthesizerDlg::pathRow(QLineEdit* box, QPushButton* chooser, QPushButton* extra) {
    auto* row = new QHBoxLayout;
    row->addWidget(box, 1);
    row->addWidget(chooser);
    if (extra != nullptr) {
        row->addWidget(extra);
    }
    return row;
}

void CSynthesizerDlg::buildControls() {
    auto* chooseVoice = ToolDialogSupport::button(this, QStringLiteral("选择路径"), "chooseVoice");
    auto* saveVoice = ToolDialogSupport::button(this, QStringLiteral("另存歌声"), "saveVoice");
    auto* chooseMusic = ToolDialogSupport::button(this, QStringLiteral("选择路径"), "chooseMusic");
    auto* chooseOutput =
        ToolDialogSupport::button(this, QStringLiteral("保存路径"), "chooseOutput");
    connect(chooseVoice, &QPushButton::clicked, this, &CSynthesizerDlg::onChooseVoice);
    connect(saveVoice, &QPushButton::clicked, this, &CSynthesizerDlg::onSaveVoice);
    connect(chooseMusic, &QPushButton::clicked, this, &CSynthesizerDlg::onChooseMusic);
    connect(chooseOutput, &QPushButton::clicked, this, &CSynthesizerDlg::onChooseOutput);
    connect(m_preview, &QPushButton::clicked, this, &CSynthesizerDlg::onPreview);
    connect(m_stop, &QPushButton::clicked, this, &CSynthesizerDlg::onStop);
    connect(m_save, &QPushButton::clicked, this, &CSynthesizerDlg::onSave);
    connect(m_offsetBox, &QLineEdit::textEdited, this, &CSynthesizerDlg::onOffsetEdited);

    auto* voice = new QGroupBox(QStringLiteral("你的歌声文件"), this);
    auto* voiceLayout = new QVBoxLayout(voice);
    voiceLayout->addLayout(pathRow(m_voice, chooseVoice, saveVoice));
    auto* offsetRow = new QHBoxLayout;
    offsetRow->addWidget(new QLabel(QStringLiteral("背景音乐开始")));
    offsetRow->addWidget(m_offsetBox);
    offsetRow->addWidget(new QLabel(QStringLiteral("毫秒后，开始播放(参考值)")));
    offsetRow->addStretch();
    voiceLayout->addLayout(offsetRow);

    auto* music = new QGroupBox(QStringLiteral("背景音乐文件"), this);
    auto* musicLayout = new QVBoxLayout(music);
    musicLayout->addLayout(pathRow(m_music, chooseMusic));

    auto* output = new QGroupBox(QStringLiteral("输出路径及MP3文件ID信息"), this);
    auto* grid = new QGridLayout(output);
    grid->addLayout(pathRow(m_output, chooseOutput), 0, 0, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("标题：")), 1, 0);
    grid->addWidget(m_title, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("艺术家：")), 1, 2);
    grid->addWidget(m_artist, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("专辑：")), 2, 0);
    grid->addWidget(m_album, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("年代：")), 2, 2);
    grid->addWidget(m_year, 2, 3);
    grid->addWidget(new QLabel(QStringLiteral("注释：")), 3, 0);
    grid->addWidget(m_comment, 3, 1, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_status, 1);
    buttons->addWidget(m_preview);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(voice);
    layout->addWidget(music);
    layout->addWidget(output);
    layout->addLayout(buttons);
    resize(520, 0);
}

void CSynthesizerDlg::showControls() {
    m_voice->setText(QString::fromStdString(m_job.voice));
    m_offsetBox->setText(QString::number(m_offset));
    m_music->setText(QString::fromStdString(m_job.music));
    m_output->setText(QString::fromStdString(m_job.output));
    ToolDialogSupport::showTag({m_title, m_artist, m_album, m_year, m_comment}, m_job.tag);
}

// The paths change only through their choosers; an offset that is no integer keeps its number.
void CSynthesizerDlg::takeControls() {
    m_job.tag = ToolDialogSupport::takeTag({m_title, m_artist, m_album, m_year, m_comment});
    ToolDialogSupport::takeInteger(m_offsetBox, m_offset);
    m_job.offsetMs = m_offset;
}

// Every keystroke is checked, and the box shows the number in its plain form ("007" as "7").
void CSynthesizerDlg::onOffsetEdited() {
    if (!ToolDialogSupport::takeInteger(m_offsetBox, m_offset)) {
        return;
    }
    m_job.offsetMs = m_offset;
    const QString plain = QString::number(m_offset);
    if (m_offsetBox->text() != plain) {
        m_offsetBox->setText(plain);
    }
}

void CSynthesizerDlg::onChooseVoice() {
    const QString path = ToolDialogSupport::chooseMp3ToOpen(this);
    if (!path.isEmpty()) {
        m_job.voice = path.toStdString();
        m_voice->setText(path);
    }
}

void CSynthesizerDlg::onChooseMusic() {
    const QString path = ToolDialogSupport::chooseMp3ToOpen(this);
    if (!path.isEmpty()) {
        m_job.music = path.toStdString();
        m_music->setText(path);
    }
}

void CSynthesizerDlg::onChooseOutput() {
    const QString path = ToolDialogSupport::chooseMp3ToSave(this, QStringLiteral("mp3"));
    if (!path.isEmpty()) {
        m_job.output = path.toStdString();
        m_output->setText(path);
    }
}

void CSynthesizerDlg::onSaveVoice() {
    const QString path = ToolDialogSupport::chooseMp3ToSave(this, QStringLiteral("mp3"));
    if (path.isEmpty()) {
        return;
    }
    takeControls();
    std::string error;
    if (!copyFile(m_job.voice, path.toStdString(), error)) {
        ToolDialogSupport::warn(this,
                                QStringLiteral("另存歌声失败：") + QString::fromStdString(error));
    }
}

// Each preview starts from a fresh timeline: pressed twice, the mix plays once, not doubled.
void CSynthesizerDlg::onPreview() {
    if (IsSaving()) {
        return;
    }
    takeControls();
    if (m_job.voice.empty() && m_job.music.empty()) {
        return;
    }
    m_timeline = std::make_unique<MixTimeline>();
    if ((!m_job.voice.empty() && m_timeline->AddVoice(m_job.voice, m_job.offsetMs) < 0) ||
        (!m_job.music.empty() && m_timeline->AddMusic(m_job.music) < 0) ||
        m_timeline->Preview() < 0) {
        m_status->setText(QString::fromStdString(m_timeline->LastError()));
    }
}

void CSynthesizerDlg::onStop() {
    if (IsSaving()) {
        return;
    }
    m_timeline = std::make_unique<MixTimeline>();
}

// The save mixes on a timeline of its own; the preview stops first.
void CSynthesizerDlg::onSave() {
    if (IsSaving()) {
        return;
    }
    takeControls();
    m_timeline = std::make_unique<MixTimeline>();
    RunObserver& observer = m_worker->Observer();
    m_worker->Start([&observer, job = m_job] { return SynthesizerRun(observer).Run(job); });
    setSaving(true);
}

void CSynthesizerDlg::onFinished(const QString& error) {
    setSaving(false);
    if (m_closeWhenDone) {
        QDialog::reject();
        return;
    }
    if (!error.isEmpty()) {
        m_status->setText(error);
    }
}

void CSynthesizerDlg::setSaving(bool saving) {
    m_preview->setEnabled(!saving);
    m_stop->setEnabled(!saving);
    m_save->setEnabled(!saving);
}

// Closing during a save waits for it to end; the window goes then.
void CSynthesizerDlg::reject() {
    if (IsSaving()) {
        m_closeWhenDone = true;
        return;
    }
    QDialog::reject();
}
