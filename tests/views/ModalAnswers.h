#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// Answers the modal windows a dialog opens (file choosers, message boxes) from the event loop,
// as a user would, once each shows. An answer whose window never showed is dropped with the
// application.
class ModalAnswers {
public:
    // The next modal window of type `Window` gets `act`.
    template <typename Window>
    static void whenShown(std::function<void(Window*)> act) {
        auto* timer = new QTimer(QCoreApplication::instance());
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

    // The next file chooser picks `path`, typed into its name box as a user would:
    // QFileDialog::selectFile leaves the box alone once it has the focus, which a shown chooser
    // may or may not have given it yet. The pick is repeated until the chooser closes, in case
    // the folder's listing lands in between.
    static void chooseFile(const QString& path) {
        struct Pick {
            QPointer<QFileDialog> chooser;
            bool made = false;
        };
        auto* timer = new QTimer(QCoreApplication::instance());
        QObject::connect(timer, &QTimer::timeout, [timer, path, pick = std::make_shared<Pick>()] {
            if (pick->made && (pick->chooser.isNull() || !pick->chooser->isVisible())) {
                timer->stop();
                timer->deleteLater();
                return;
            }
            auto* chooser = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (chooser == nullptr || !chooser->isVisible()) {
                return;  // not shown yet, or a question of its own is up
            }
            *pick = {chooser, true};
            typeFileName(chooser, path);
            static_cast<QDialog*>(chooser)->accept();  // as the chooser's own button does
        });
        timer->start(10);
    }

    static void typeFileName(QFileDialog* chooser, const QString& path) {
        const QFileInfo file(path);
        chooser->setDirectory(file.absolutePath());
        auto* name = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name != nullptr) {
            name->setText(file.fileName());
        }
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
