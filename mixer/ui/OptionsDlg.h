#pragma once

#include <QDialog>
#include <vector>

class CAudioPage;
class CCapturePage;
class CInterfacePage;
class QTreeWidget;

// The options: four pages chosen from a tree. On OK every page takes its values from its
// controls; the caller writes them. The audio page acts on the sound server at once.
class COptionsDlg : public QDialog {
    Q_OBJECT

public:
    explicit COptionsDlg(QWidget* parent = nullptr);

    const CCapturePage& MicrophonePage() const { return *m_microphone; }
    const CCapturePage& RecordPage() const { return *m_record; }
    const CInterfacePage& InterfacePage() const { return *m_interface; }

    void accept() override;

private:
    void buildTree();
    void showPageOf(const QString& itemText);

    QTreeWidget* m_tree = nullptr;
    CCapturePage* m_microphone = nullptr;
    CAudioPage* m_audio = nullptr;
    CCapturePage* m_record = nullptr;
    CInterfacePage* m_interface = nullptr;
    // By page number, in creation order.
    std::vector<QWidget*> m_pages;
};
