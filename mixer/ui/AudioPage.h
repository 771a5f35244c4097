#pragma once

#include <QWidget>
#include <memory>

class CaptureDevice;
class MasterVolumeControl;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSlider;

// The system volume and the recording input. Its controls act on the sound server at once;
// there is nothing to take on OK. Without a server the page says so in its hint line and its
// controls stay unusable.
class CAudioPage : public QWidget {
    Q_OBJECT

public:
    explicit CAudioPage(QWidget* parent);
    ~CAudioPage() override;

private:
    void startServerControls();
    void onSourceSelected();
    void onSelectClicked(bool checked);
    void applySourceLevel();
    QString selectedSource() const;

    std::unique_ptr<MasterVolumeControl> m_volume;
    std::unique_ptr<CaptureDevice> m_device;
    QSlider* m_volumeSlider = nullptr;
    QCheckBox* m_mute = nullptr;
    QListWidget* m_sources = nullptr;
    QLineEdit* m_deviceName = nullptr;
    QCheckBox* m_select = nullptr;
    QSlider* m_levelSlider = nullptr;
    QLabel* m_hint = nullptr;
};
