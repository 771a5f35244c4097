#pragma once

#include <QWidget>

#include "mixer/OptionsValues.h"

class QLineEdit;

// The user interface's timings and the user's own lyric folder.
class CInterfacePage : public QWidget {
    Q_OBJECT

public:
    explicit CInterfacePage(QWidget* parent);

    // Takes the values from the controls; a field whose check fails keeps its previous value.
    void SaveValues();
    const InterfaceOptions& Values() const { return m_values; }

    // The folder as the field keeps it: with a trailing "/".
    static QString folderField(const QString& chosen);

private:
    void chooseFolder();

    InterfaceOptions m_values;
    QLineEdit* m_lyricPeriod = nullptr;
    QLineEdit* m_seekStep = nullptr;
    QLineEdit* m_lyricStep = nullptr;
    QLineEdit* m_folder = nullptr;
};
