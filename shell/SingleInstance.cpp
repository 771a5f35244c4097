#include "shell/SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace {

// A running player answers at once; one that hangs must not hold the new start for long.
constexpr int kHandOverTimeoutMs = 5000;

}  // namespace

bool SingleInstance::Register() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The object first: a later start that finds the name finds it answering.
    if (!bus.isConnected() || !bus.registerObject(QString::fromUtf8(kPath), this,
                                                  QDBusConnection::ExportScriptableSlots)) {
        return false;
    }
    const auto reply = bus.interface()->registerService(
        QString::fromUtf8(kService), QDBusConnectionInterface::DontQueueService,
        QDBusConnectionInterface::DontAllowReplacement);
    if (reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered) {
        return true;
    }
    bus.unregisterObject(QString::fromUtf8(kPath));
    return false;
}

bool SingleInstance::HandOver(const QStringList& files) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromUtf8(kService), QString::fromUtf8(kPath),
                                       QString::fromUtf8(kInterface), QStringLiteral("Open"));
    call << files;
    const QDBusMessage reply = bus.call(call, QDBus::Block, kHandOverTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

void SingleInstance::Open(const QStringList& files) {
    emit openRequested(files);
}
