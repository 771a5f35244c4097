#pragma once

#include <QDialog>

// The about box: the program's name and version, a mail address and the home page.
class CAboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDialog(QWidget* parent = nullptr);
};
