#include "shell/TransportSliders.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <algorithm>
#include <climits>

#include "playback/ChannelLevels.h"
#include "playback/MelodeckDoc.h"

namespace {

constexpr int kRefreshMs = 250;
constexpr int kSecondMs = 1000;
constexpr int kPositionPageMs = 10000;
constexpr int kVolumeStep = 0x0800;

QSlider* makeSlider(const char* name, const QString& tip, QWidget* parent) {
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setObjectName(QString::fromUtf8(name));
    slider->setToolTip(tip);
    slider->setFocusPolicy(Qt::ClickFocus);
    return slider;
}

// Whether the slider's own move comes from the user (a drag ends in sliderReleased instead).
bool userStep(int action) {
    return action != QAbstractSlider::SliderNoAction && action != QAbstractSlider::SliderMove;
}

}  // namespace

CTransportSliders::CTransportSliders(CMelodeckDoc* doc, QWidget* parent)
    : QWidget(parent),
      m_doc(doc),
      m_position(makeSlider("PositionSlider", QStringLiteral("播放进度"), this)),
      m_volume(makeSlider("VolumeSlider", QStringLiteral("音量"), this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->addWidget(m_position, 4);
    layout->addSpacing(12);
    layout->addWidget(new QLabel(QStringLiteral("音量"), this));
    layout->addWidget(m_volume, 1);
    m_position->setMinimumWidth(160);
    m_position->setSingleStep(kSecondMs);
    m_position->setPageStep(kPositionPageMs);
    m_volume->setRange(0, 0xFFFF);
    m_volume->setSingleStep(kVolumeStep);
    m_volume->setPageStep(4 * kVolumeStep);
    m_volume->setMinimumWidth(70);

    // Steps (keys, clicks on the groove) act at once; a drag acts where it is let go.
    connect(m_position, &QSlider::actionTriggered, this, [this](int action) {
        if (userStep(action)) {
            QMetaObject::invokeMethod(this, &CTransportSliders::seekToSlider, Qt::QueuedConnection);
        }
    });
    connect(m_position, &QSlider::sliderReleased, this, &CTransportSliders::seekToSlider);
    connect(m_volume, &QSlider::actionTriggered, this, [this](int action) {
        if (action != QAbstractSlider::SliderNoAction) {
            QMetaObject::invokeMethod(this, &CTransportSliders::applyVolume, Qt::QueuedConnection);
        }
    });
    connect(&m_refresh, &QTimer::timeout, this, &CTransportSliders::Refresh);
    m_refresh.start(kRefreshMs);
    Refresh();
}

void CTransportSliders::Refresh() {
    SongPlayer* player = m_doc->Player();
    const long long duration = std::min<long long>(m_doc->DurationMs(), INT_MAX);
    m_position->setEnabled(player != nullptr && duration > 0);
    m_volume->setEnabled(player != nullptr);
    if (!m_position->isSliderDown()) {
        const QSignalBlocker blocker(m_position);
        m_position->setRange(0, static_cast<int>(std::max(0LL, duration)));
        m_position->setValue(static_cast<int>(std::clamp(m_doc->PositionMs(), 0LL, duration)));
    }
    if (player != nullptr && !m_volume->isSliderDown()) {
        const QSignalBlocker blocker(m_volume);
        m_volume->setValue(ChannelLevels::volume(player->ChannelLevels()));
    }
}

void CTransportSliders::seekToSlider() {
    if (SongPlayer* player = m_doc->Player(); player != nullptr && m_position->isEnabled()) {
        player->SeekMs(m_position->value());
    }
}

void CTransportSliders::applyVolume() {
    if (SongPlayer* player = m_doc->Player()) {
        player->SetChannelLevels(
            ChannelLevels::withVolume(player->ChannelLevels(), m_volume->value()));
    }
}
