#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>

// Answers the modal windows a dialog opens (file choosers, message boxes) from the event loop,
// as a user would, once each shows.
class ModalAnswers {
public:
    // The next modal window of type `Window` gets `act`.
    template <typename Window>
    static void whenShown(std::function<void(Window*)> act) {
        auto* timer = new QTimer;
        QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
            auto* modal = qobject_cast<Window*>(QApplication::activeModalWidget());
            if (modal == nullptr || !modal->isVisible()) {
                return;
            }
            timer->stop();
            timer->deleteLater();
            act(modal);
        });
        timer->start(10);
    }

    // The next file chooser picks `path`.
    static void chooseFile(const QString& path) {
        whenShown<QFileDialog>([path](QFileDialog* chooser) {
            chooser->selectFile(path);
            static_cast<QDialog*>(chooser)->accept();  // as the chooser's own button does
        });
    }

    // The next message box is answered with `button`; its text goes to `texts`.
    static void answerBox(QStringList* texts,
                          QMessageBox::StandardButton button = QMessageBox::Ok) {
        whenShown<QMessageBox>([texts, button](QMessageBox* box) {
            texts->append(box->text());
            QTest::mouseClick(box->button(button), Qt::LeftButton);
        });
    }
};
