#include "mixer/ui/InterfacePage.h"

#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "mixer/ui/NumberField.h"
#include "mixer/ui/PageDecor.h"
#include "resources/StringTable.h"

namespace {

constexpr int kFolderTitle = 88;

QLineEdit* addPeriodRow(QGridLayout* grid, const QString& label, const QString& name) {
    const int row = grid->rowCount();
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    grid->addWidget(new QLabel(label), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(new QLabel(QStringLiteral("毫秒")), row, 2);
    return edit;
}

}  // namespace

CInterfacePage::CInterfacePage(QWidget* parent)
    : QWidget(parent), m_values(OptionsValues::loadInterface()) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageDecor::heading(QStringLiteral("用户界面"), this));
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    m_lyricPeriod =
        addPeriodRow(grid, QStringLiteral("歌词刷新时间："), QStringLiteral("lyricPeriodEdit"));
    m_seekStep =
        addPeriodRow(grid, QStringLiteral("快进快退间隔："), QStringLiteral("seekStepEdit"));
    m_lyricStep =
        addPeriodRow(grid, QStringLiteral("歌词同步间隔："), QStringLiteral("lyricStepEdit"));

    layout->addWidget(new QLabel(QStringLiteral("自定义歌词目录："), this));
    auto* folderRow = new QHBoxLayout;
    m_folder = new QLineEdit(QString::fromStdString(m_values.customLyricFolder), this);
    m_folder->setObjectName(QStringLiteral("folderEdit"));
    m_folder->setReadOnly(true);
    auto* browse = new QPushButton(QStringLiteral("浏览"), this);
    browse->setObjectName(QStringLiteral("browseButton"));
    connect(browse, &QPushButton::clicked, this, &CInterfacePage::chooseFolder);
    folderRow->addWidget(m_folder);
    folderRow->addWidget(browse);
    layout->addLayout(folderRow);
    layout->addStretch();

    NumberField::show(m_lyricPeriod, m_values.lyricPeriodMs);
    NumberField::show(m_seekStep, m_values.seekStepMs);
    NumberField::show(m_lyricStep, m_values.lyricStepMs);
}

QString CInterfacePage::folderField(const QString& chosen) {
    return chosen.endsWith('/') ? chosen : chosen + '/';
}

void CInterfacePage::chooseFolder() {
    const QString start = m_folder->text().isEmpty() ? QDir::homePath() : m_folder->text();
    QFileDialog dialog(this, QString::fromUtf8(loadString(kFolderTitle)), start);
    dialog.setObjectName(QStringLiteral("folderChooser"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const QString chosen = dialog.selectedFiles().constFirst();
    if (!chosen.isEmpty()) {
        m_folder->setText(folderField(QDir::cleanPath(chosen)));
    }
}

void CInterfacePage::SaveValues() {
    NumberField::take(m_lyricPeriod, m_values.lyricPeriodMs);
    NumberField::take(m_seekStep, m_values.seekStepMs);
    NumberField::take(m_lyricStep, m_values.lyricStepMs);
    m_values.customLyricFolder = m_folder->text().toStdString();
}
