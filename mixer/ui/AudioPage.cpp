#include "mixer/ui/AudioPage.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "mixer/CaptureDevice.h"
#include "mixer/MasterVolumeControl.h"
#include "mixer/ui/PageDecor.h"
#include "resources/StringTable.h"
#include "shell/Settings.h"

namespace {

constexpr int kServerUnreachableHint = 201;
constexpr int kFullLevel = 100;

// A slider's new value counts when the user lets go of it, or at once for keys and clicks on
// the groove; values set by the program do not count.
template <typename Apply>
void onSliderSet(QSlider* slider, QObject* context, Apply apply) {
    QObject::connect(slider, &QSlider::sliderReleased, context, apply);
    QObject::connect(slider, &QSlider::valueChanged, context, [slider, apply] {
        if (!slider->isSliderDown()) {
            apply();
        }
    });
}

}  // namespace

CAudioPage::CAudioPage(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageDecor::heading(QStringLiteral("音频调节"), this));

    auto* system = new QGroupBox(QStringLiteral("系统音量"), this);
    system->setObjectName(QStringLiteral("systemVolumeGroup"));
    auto* volumeRow = new QHBoxLayout(system);
    m_volumeSlider = new QSlider(Qt::Horizontal, system);
    m_volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    m_mute = new QCheckBox(QStringLiteral("静音"), system);
    m_mute->setObjectName(QStringLiteral("muteBox"));
    volumeRow->addWidget(new QLabel(QStringLiteral("小"), system));
    volumeRow->addWidget(m_volumeSlider, 1);
    volumeRow->addWidget(new QLabel(QStringLiteral("大"), system));
    volumeRow->addWidget(m_mute);
    layout->addWidget(system);

    auto* inputs = new QGroupBox(QStringLiteral("录音设备选择"), this);
    inputs->setObjectName(QStringLiteral("inputGroup"));
    auto* grid = new QGridLayout(inputs);
    m_sources = new QListWidget(inputs);
    m_sources->setObjectName(QStringLiteral("sourceList"));
    m_deviceName = new QLineEdit(inputs);
    m_deviceName->setObjectName(QStringLiteral("deviceNameEdit"));
    m_deviceName->setReadOnly(true);
    m_select = new QCheckBox(QStringLiteral("选择"), inputs);
    m_select->setObjectName(QStringLiteral("selectBox"));
    m_levelSlider = new QSlider(Qt::Vertical, inputs);
    m_levelSlider->setObjectName(QStringLiteral("levelSlider"));
    grid->addWidget(m_sources, 0, 0, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("声卡名称："), inputs), 0, 1);
    grid->addWidget(m_deviceName, 1, 1);
    grid->addWidget(m_select, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("音量："), inputs), 0, 2);
    grid->addWidget(m_levelSlider, 1, 2, 3, 1);
    grid->setRowStretch(3, 1);
    layout->addWidget(inputs);

    m_hint = PageDecor::hint(QStringLiteral("提示：\n若要从麦克风录音请选择Microphone。"), this);
    layout->addWidget(m_hint);
    layout->addStretch();

    startServerControls();
    if (!m_volume->IsUsable()) {
        m_hint->setText(QString::fromUtf8(loadString(kServerUnreachableHint)));
        system->setEnabled(false);
        inputs->setEnabled(false);
    }
}

CAudioPage::~CAudioPage() = default;

void CAudioPage::startServerControls() {
    m_volume = std::make_unique<MasterVolumeControl>();
    if (!m_volume->IsUsable()) {
        return;
    }
    m_volumeSlider->setRange(m_volume->GetMinimum(), m_volume->GetMaximum());
    const int steps = m_volume->GetStepCount();
    m_volumeSlider->setPageStep(steps > 1 ? m_volume->GetMaximum() / (steps - 1) : 1);
    m_volumeSlider->setValue(m_volume->GetLevel());
    onSliderSet(m_volumeSlider, this, [this] { m_volume->SetLevel(m_volumeSlider->value()); });
    connect(m_mute, &QCheckBox::clicked, this,
            [this](bool checked) { checked ? m_volume->Mute() : m_volume->Unmute(); });
    // The slider follows changes made elsewhere (another mixer, the keyboard's volume keys).
    m_volume->SetChangeHandler(
        [this](int volume, int) {
            if (!m_volumeSlider->isSliderDown()) {
                const QSignalBlocker quiet(m_volumeSlider);
                m_volumeSlider->setValue(volume);
            }
        },
        0);

    m_device = std::make_unique<CaptureDevice>();
    m_deviceName->setText(QString::fromStdString(m_device->DeviceName()));
    for (const std::string& name : m_device->ListCaptureSources()) {
        m_sources->addItem(QString::fromStdString(name));
    }
    m_levelSlider->setRange(0, kFullLevel);
    connect(m_sources, &QListWidget::itemSelectionChanged, this, &CAudioPage::onSourceSelected);
    connect(m_select, &QCheckBox::clicked, this, &CAudioPage::onSelectClicked);
    onSliderSet(m_levelSlider, this, [this] { applySourceLevel(); });
}

QString CAudioPage::selectedSource() const {
    const QList<QListWidgetItem*> selected = m_sources->selectedItems();
    return selected.isEmpty() ? QString() : selected.constFirst()->text();
}

void CAudioPage::onSourceSelected() {
    const std::string name = selectedSource().toStdString();
    if (name.empty()) {
        return;
    }
    m_select->setChecked(m_device->IsSourceEnabled(name));
    const int level = m_device->GetSourceLevel(name);
    if (level >= 0) {
        const QSignalBlocker quiet(m_levelSlider);
        m_levelSlider->setValue(level);
    }
}

void CAudioPage::onSelectClicked(bool checked) {
    const std::string name = selectedSource().toStdString();
    if (name.empty()) {
        m_select->setChecked(false);
        return;
    }
    m_device->SetSourceEnabled(name, checked);
    if (checked) {
        writeSetting(ConfigKey::RecordDeviceName, name);
    }
    // An input cannot be switched off on the server; the box shows what holds.
    m_select->setChecked(m_device->IsSourceEnabled(name));
}

void CAudioPage::applySourceLevel() {
    const std::string name = selectedSource().toStdString();
    if (!name.empty()) {
        m_device->SetSourceLevel(name, m_levelSlider->value());
    }
}
