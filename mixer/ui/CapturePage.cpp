#include "mixer/ui/CapturePage.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "mixer/ui/NumberField.h"
#include "mixer/ui/PageDecor.h"

namespace {

QLineEdit* addField(QFormLayout* form, const QString& label, const QString& name) {
    auto* edit = new QLineEdit;
    edit->setObjectName(name);
    form->addRow(label, edit);
    return edit;
}

void check(QButtonGroup* group, int choice) {
    // A group with no choice shows no button checked.
    group->setExclusive(false);
    for (QAbstractButton* button : group->buttons()) {
        button->setChecked(group->id(button) == choice);
    }
    group->setExclusive(true);
}

}  // namespace

CCapturePage::CCapturePage(const Setup& setup, const CaptureOptions& values, QWidget* parent)
    : QWidget(parent), m_setup(setup), m_values(values) {
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageDecor::heading(setup.heading, this));

    auto* buffers = new QGroupBox(QStringLiteral("输入缓存"), this);
    auto* form = new QFormLayout(buffers);
    m_delay = addField(form, QStringLiteral("延迟时间(秒):"), QStringLiteral("delayEdit"));
    m_bufferCount = addField(form, QStringLiteral("缓存个数:"), QStringLiteral("bufferCountEdit"));
    m_bufferCount->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    layout->addWidget(buffers);
    if (setup.restartPeriod) {
        auto* restart = new QFormLayout;
        m_restartSeconds =
            addField(restart, QStringLiteral("重启时间(秒):"), QStringLiteral("restartEdit"));
        layout->addLayout(restart);
    }

    auto* formatBox = new QWidget(this);
    new QHBoxLayout(formatBox);
    m_sampleWidth =
        addChoices(QStringLiteral("采样精度"), {QStringLiteral("8 位"), QStringLiteral("16 位")},
                   {QStringLiteral("width8"), QStringLiteral("width16")}, formatBox);
    m_rate = addChoices(
        QStringLiteral("采样频率"),
        {QStringLiteral("11 KHz"), QStringLiteral("22 KHz"), QStringLiteral("44 KHz")},
        {QStringLiteral("rate11"), QStringLiteral("rate22"), QStringLiteral("rate44")}, formatBox);
    m_channels =
        addChoices(QStringLiteral("声道"), {QStringLiteral("单声道"), QStringLiteral("立体声")},
                   {QStringLiteral("mono"), QStringLiteral("stereo")}, formatBox);
    layout->addWidget(formatBox);

    auto* restore = new QPushButton(QStringLiteral("恢复默认值"), this);
    restore->setObjectName(QStringLiteral("restoreDefaults"));
    connect(restore, &QPushButton::clicked, this, [this] { showValues(m_setup.defaults); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(restore);
    layout->addLayout(buttons);

    layout->addWidget(PageDecor::hint(setup.hintLines.join('\n'), this));
    layout->addStretch();
    showValues(values);
}

QButtonGroup* CCapturePage::addChoices(const QString& title, const QStringList& labels,
                                       const QStringList& names, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* column = new QVBoxLayout(box);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < labels.size(); ++i) {
        auto* button = new QRadioButton(labels[i], box);
        button->setObjectName(names[i]);
        group->addButton(button, i);
        column->addWidget(button);
    }
    column->addStretch();
    parent->layout()->addWidget(box);
    return group;
}

void CCapturePage::showValues(const CaptureOptions& values) {
    NumberField::show(m_delay, values.delay);
    NumberField::show(m_bufferCount, values.bufferCount);
    if (m_restartSeconds != nullptr) {
        NumberField::show(m_restartSeconds, values.restartSeconds);
    }
    check(m_sampleWidth, values.sampleWidthChoice);
    check(m_rate, values.rateChoice);
    check(m_channels, values.channelChoice);
}

void CCapturePage::SaveValues() {
    NumberField::take(m_delay, m_values.delay);
    NumberField::take(m_bufferCount, m_values.bufferCount);
    if (m_restartSeconds != nullptr) {
        NumberField::take(m_restartSeconds, m_values.restartSeconds);
    }
    m_values.sampleWidthChoice = m_sampleWidth->checkedId();
    m_values.rateChoice = m_rate->checkedId();
    m_values.channelChoice = m_channels->checkedId();
}

CMicrophonePage::CMicrophonePage(QWidget* parent)
    : CCapturePage(
          {QStringLiteral("麦克风设置"),
           {QStringLiteral("提示："), QStringLiteral("这里配置的参数用于同声演唱时的麦克风。"),
            QStringLiteral("对声音的播放速度要求高，采样质量要求低。"),
            QStringLiteral("请调整合适的延迟时间，以便于同声演唱。")},
           true,
           OptionsValues::microphoneDefaults()},
          OptionsValues::loadMicrophone(), parent) {}

CRecordPage::CRecordPage(QWidget* parent)
    : CCapturePage({QStringLiteral("录音设置"),
                    {QStringLiteral("提示："),
                     QStringLiteral("这里配置的参数用于录音时的设备，可以提高对音质要求。"),
                     QStringLiteral("录制后的声音主要用于音频合成，所以延时大些无所谓。")},
                    false,
                    OptionsValues::recordDefaults()},
                   OptionsValues::loadRecord(), parent) {}
