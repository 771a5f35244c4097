#pragma once

#include <QObject>
#include <QStringList>

// One player per session: the first start takes the player's name on the session bus, and a
// later start hands its files to that player and ends, so songs opened from a file manager
// join the running player instead of opening a second one. Without a session bus every start
// is a player of its own.
class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.example.vocalia.Instance")

public:
    static constexpr const char* kService = "org.example.vocalia";
    static constexpr const char* kPath = "/org/example/vocalia";
    static constexpr const char* kInterface = "org.example.vocalia.Instance";

    using QObject::QObject;

    // Takes the player's name on the session bus; false without a bus or when another player
    // holds it.
    bool Register();
    // Hands `files` (absolute paths) to the player that holds the name; true when it took them.
    static bool HandOver(const QStringList& files);

public slots:
    // Called over the bus by a later start.
    Q_SCRIPTABLE void Open(const QStringList& files);

signals:
    // A later start handed over these files (possibly none: it only wants the window shown).
    void openRequested(const QStringList& files);
};
