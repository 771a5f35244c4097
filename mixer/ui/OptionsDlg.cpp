#include "mixer/ui/OptionsDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "mixer/ui/AudioPage.h"
#include "mixer/ui/CapturePage.h"
#include "mixer/ui/InterfacePage.h"
#include "resources/StringTable.h"

namespace {

constexpr int kStrMicrophone = 60;
constexpr int kStrAudio = 61;
constexpr int kStrRecord = 62;
constexpr int kStrInterface = 63;

QString text(int id) {
    return QString::fromUtf8(loadString(id));
}

}  // namespace

COptionsDlg::COptionsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Vocalia  选项"));
    auto* layout = new QVBoxLayout(this);
    auto* body = new QHBoxLayout;
    layout->addLayout(body);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("pageTree"));
    m_tree->header()->hide();
    m_tree->setFixedWidth(140);
    m_tree->setIconSize(QSize(16, 16));
    m_tree->setStyleSheet(QStringLiteral("QTreeView::item { height: 20px; }"));
    body->addWidget(m_tree);

    // The pages share the frame; only the chosen one shows.
    auto* frame = new QWidget(this);
    frame->setObjectName(QStringLiteral("pageFrame"));
    auto* stack = new QVBoxLayout(frame);
    stack->setContentsMargins(0, 0, 0, 0);
    m_microphone = new CMicrophonePage(frame);
    m_audio = new CAudioPage(frame);
    m_record = new CRecordPage(frame);
    m_interface = new CInterfacePage(frame);
    m_pages = {m_microphone, m_audio, m_record, m_interface};
    for (QWidget* page : m_pages) {
        page->hide();
        stack->addWidget(page);
    }
    body->addWidget(frame, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &COptionsDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &COptionsDlg::reject);

    buildTree();
    resize(560, 440);
}

void COptionsDlg::buildTree() {
    QStyle* look = style();
    const auto item = [look](QTreeWidgetItem* parent, int stringId, QStyle::StandardPixmap icon) {
        auto* entry = new QTreeWidgetItem(parent, {text(stringId)});
        entry->setIcon(0, look->standardIcon(icon));
        return entry;
    };
    auto* microphone = new QTreeWidgetItem(m_tree, {text(kStrMicrophone)});
    microphone->setIcon(0, look->standardIcon(QStyle::SP_MediaVolume));
    item(microphone, kStrAudio, QStyle::SP_MediaPlay);
    item(microphone, kStrRecord, QStyle::SP_DialogSaveButton);
    auto* interface = new QTreeWidgetItem(m_tree, {text(kStrInterface)});
    interface->setIcon(0, look->standardIcon(QStyle::SP_DesktopIcon));
    microphone->setExpanded(true);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
        if (current != nullptr) {
            showPageOf(current->text(0));
        }
    });
    m_tree->setCurrentItem(microphone);
    m_tree->setFocus();
}

void COptionsDlg::showPageOf(const QString& itemText) {
    const std::pair<int, QWidget*> byText[] = {{kStrAudio, m_audio},
                                               {kStrMicrophone, m_microphone},
                                               {kStrRecord, m_record},
                                               {kStrInterface, m_interface}};
    for (const auto& [stringId, page] : byText) {
        if (itemText != text(stringId)) {
            continue;
        }
        for (QWidget* each : m_pages) {
            each->hide();
        }
        page->show();
        return;
    }
}

void COptionsDlg::accept() {
    m_microphone->SaveValues();
    m_record->SaveValues();
    m_interface->SaveValues();
    QDialog::accept();
}
