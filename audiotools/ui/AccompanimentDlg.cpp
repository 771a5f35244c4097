#include "audiotools/ui/AccompanimentDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "audiotools/ui/ToolDialogSupport.h"
#include "audiotools/ui/ToolWorker.h"
#include "resources/StringTable.h"

namespace {

constexpr int kHintText = 51;

QLineEdit* edit(QWidget* parent, const char* name, bool readOnly = false) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(readOnly);
    return box;
}

}  // namespace

CAccompanimentDlg::CAccompanimentDlg(QWidget* parent)
    : QDialog(parent),
      m_input(edit(this, "inputPath", true)),
      m_output(edit(this, "outputPath", true)),
      m_title(edit(this, "title")),
      m_artist(edit(this, "artist")),
      m_album(edit(this, "album")),
      m_year(edit(this, "year")),
      m_comment(edit(this, "comment")),
      m_passes(edit(this, "passes")),
      m_status(new QLabel(this)),
      m_start(ToolDialogSupport::button(this, QStringLiteral("开始消原唱"), "start")),
      m_worker(new ToolWorker(this)) {
    setWindowTitle(QStringLiteral("Vocalia - 制作MP3伴奏"));
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    buildControls();
    connect(m_worker, &ToolWorker::progress, m_status, &QLabel::setText);
    connect(m_worker, &ToolWorker::finished, this, &CAccompanimentDlg::onFinished);
    m_status->setText(QString::fromUtf8(loadString(kHintText)));
    showTexts();
    m_passes->setText(QString::number(m_job.passes));
}

CAccompanimentDlg::~CAccompanimentDlg() {
    if (IsRunning()) {
        m_run->Cancel();
    }
    m_worker->Wait();
}

bool CAccompanimentDlg::IsRunning() const {
    return m_worker->IsRunning();
}

void CAccompanimentDlg::buildControls() {
    auto* chooseInput = ToolDialogSupport::button(this, QStringLiteral("输入路径"), "chooseInput");
    auto* chooseOutput =
        ToolDialogSupport::button(this, QStringLiteral("输出路径"), "chooseOutput");
    connect(chooseInput, &QPushButton::clicked, this, &CAccompanimentDlg::onChooseInput);
    connect(chooseOutput, &QPushButton::clicked, this, &CAccompanimentDlg::onChooseOutput);
    connect(m_start, &QPushButton::clicked, this, &CAccompanimentDlg::onStart);

    auto* song = new QGroupBox(QStringLiteral("选择MP3歌曲"), this);
    auto* songGrid = new QGridLayout(song);
    songGrid->addWidget(m_input, 0, 0);
    songGrid->addWidget(chooseInput, 0, 1);
    songGrid->addWidget(
        new QLabel(QStringLiteral("提示：请不要选择正在播放的MP3。确保MP3文件能够打开。")), 1, 0, 1,
        2);

    auto* settings = new QGroupBox(QStringLiteral("设置区"), this);
    auto* grid = new QGridLayout(settings);
    grid->addWidget(m_output, 0, 0, 1, 3);
    grid->addWidget(chooseOutput, 0, 3);
    int row = 1;
    for (const auto& [label, box] : {std::pair{"标题：", m_title}, std::pair{"艺术家：", m_artist},
                                     std::pair{"专辑：", m_album}, std::pair{"年代：", m_year},
                                     std::pair{"注释：", m_comment}}) {
        grid->addWidget(new QLabel(QString::fromUtf8(label)), row, 0);
        grid->addWidget(box, row, 1, 1, 3);
        ++row;
    }
    grid->addWidget(new QLabel(QStringLiteral("平滑处理次数：")), row, 0);
    grid->addWidget(m_passes, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("该参数用于除去伴奏中的刺耳噪音\n"
                                              "但同时会减弱一些消原音的效果")),
                    row, 2, 1, 2);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_status, 1);
    bottom->addWidget(m_start);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(song);
    layout->addWidget(settings);
    layout->addLayout(bottom);
    resize(460, 0);
}

// Paths and tag texts; the passes box keeps what the user typed.
void CAccompanimentDlg::showTexts() {
    m_input->setText(QString::fromStdString(m_job.input));
    m_output->setText(QString::fromStdString(m_job.output));
    ToolDialogSupport::showTag({m_title, m_artist, m_album, m_year, m_comment}, m_job.tag);
}

// The text fields are taken in any case; passes that are no integer keep their number.
void CAccompanimentDlg::takeControls() {
    m_job.tag = ToolDialogSupport::takeTag({m_title, m_artist, m_album, m_year, m_comment});
    ToolDialogSupport::takeInteger(m_passes, m_job.passes);
}

void CAccompanimentDlg::onChooseInput() {
    const QString path = ToolDialogSupport::chooseMp3ToOpen(this);
    if (path.isEmpty()) {
        return;
    }
    const int passes = m_job.passes;
    m_job = accompanimentJobFor(path.toStdString());
    m_job.passes = passes;
    showTexts();
}

void CAccompanimentDlg::onChooseOutput() {
    const QString path = ToolDialogSupport::chooseMp3ToSave(this);
    if (path.isEmpty()) {
        return;
    }
    m_job.output = path.toStdString();
    m_output->setText(path);
}

void CAccompanimentDlg::onStart() {
    if (IsRunning()) {
        return;
    }
    takeControls();
    m_run = std::make_unique<AccompanimentRun>(m_worker->Observer());
    m_worker->Start([run = m_run.get(), job = m_job] { return run->Run(job); });
    m_start->setEnabled(false);
}

void CAccompanimentDlg::onFinished(const QString& error) {
    m_start->setEnabled(true);
    if (m_closeWhenDone) {
        QDialog::reject();
        return;
    }
    if (!error.isEmpty()) {
        m_status->setText(error);
    }
}

void CAccompanimentDlg::reject() {
    if (!IsRunning()) {
        QDialog::reject();
        return;
    }
    if (m_closeWhenDone) {
        return;
    }
    const auto answer =
        QMessageBox::question(this, QString::fromUtf8(loadString(kStrCaption)),
                              QStringLiteral("伴奏还在制作中。要停止制作并关闭窗口吗？"));
    if (answer != QMessageBox::Yes) {
        return;
    }
    if (!IsRunning()) {
        QDialog::reject();
        return;
    }
    m_closeWhenDone = true;
    m_run->Cancel();
}
