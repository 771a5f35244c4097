#pragma once

#include <QStringList>
#include <QWidget>

#include "mixer/OptionsValues.h"

class QButtonGroup;
class QLineEdit;

// A page with a capture format: delay and buffer count, sample width, sample rate and
// channels, and "恢复默认值". The microphone page adds the live monitor's restart period.
class CCapturePage : public QWidget {
    Q_OBJECT

public:
    struct Setup {
        QString heading;
        QStringList hintLines;
        bool restartPeriod = false;
        CaptureOptions defaults;
    };

    CCapturePage(const Setup& setup, const CaptureOptions& values, QWidget* parent);

    // Takes the values from the controls; a field whose check fails keeps its previous value.
    void SaveValues();
    const CaptureOptions& Values() const { return m_values; }

private:
    void showValues(const CaptureOptions& values);
    QButtonGroup* addChoices(const QString& title, const QStringList& labels,
                             const QStringList& names, QWidget* parent);

    Setup m_setup;
    CaptureOptions m_values;
    QLineEdit* m_delay = nullptr;
    QLineEdit* m_bufferCount = nullptr;
    QLineEdit* m_restartSeconds = nullptr;
    QButtonGroup* m_sampleWidth = nullptr;
    QButtonGroup* m_rate = nullptr;
    QButtonGroup* m_channels = nullptr;
};

// The live monitor's format ("PhoneSet"), used while singing.
class CMicrophonePage : public CCapturePage {
    Q_OBJECT

public:
    explicit CMicrophonePage(QWidget* parent);
};

// The recorder's format ("RecordSet").
class CRecordPage : public CCapturePage {
    Q_OBJECT

public:
    explicit CRecordPage(QWidget* parent);
};
