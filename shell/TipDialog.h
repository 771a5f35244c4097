#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QTextEdit;

// The tip of the day: one tip at a time, "下一贴" moves on (after the last comes the first),
// and the check box stores at once whether the tips show at start.
class CTipDialog : public QDialog {
    Q_OBJECT

public:
    explicit CTipDialog(QWidget* parent = nullptr);

    static const QStringList& Tips();
    int CurrentTip() const { return m_tip; }
    void ShowNextTip();
    QCheckBox* ShowAtStartBox() const { return m_showAtStart; }
    QTextEdit* TipText() const { return m_text; }

private:
    void showTip(const QColor& colour);

    QTextEdit* m_text;
    QCheckBox* m_showAtStart;
    int m_tip;
};
