#pragma once

#include <QObject>
#include <cstdint>
#include <functional>
#include <string>

#include "mixer/PulseClient.h"

// Carries a level read on the sound server's loop thread to the thread the receiver lives on.
class LevelNotice : public QObject {
    Q_OBJECT

signals:
    void levelChanged(int level);
};

// The volume and mute of the sound server's default sink (the speakers), in the server's own
// units: 0 to PA_VOLUME_NORM. Changes made elsewhere reach the change handler on the thread
// that created the object, as long as it is the current instance (the last one that found its
// sink and still lives).
//
// Without a server, or without a default sink, the object is not usable: the getters give -1
// and the setters do nothing.
class MasterVolumeControl {
public:
    using ChangeHandler = std::function<void(int volume, int userValue)>;

    MasterVolumeControl();
    virtual ~MasterVolumeControl();
    MasterVolumeControl(const MasterVolumeControl&) = delete;
    MasterVolumeControl& operator=(const MasterVolumeControl&) = delete;

    virtual bool IsUsable() const;
    virtual void Unmute();
    virtual void Mute();
    virtual int GetStepCount() const;
    virtual int GetMinimum() const;
    virtual int GetMaximum() const;
    // The first channel's volume; -1 when not usable or the server does not answer.
    virtual int GetLevel();
    // Every channel gets `value`; values outside minimum..maximum are ignored.
    virtual void SetLevel(int value);
    virtual void SetChangeHandler(ChangeHandler handler, int userValue);

    // The sink's mute switch; false when unknown.
    bool IsMuted();
    // The sink's description, as the server shows it.
    const std::string& SinkDescription() const { return m_description; }

    static MasterVolumeControl* current() { return s_current; }

private:
    struct SinkState {
        bool found = false;
        uint32_t index = PA_INVALID_INDEX;
        std::string description;
        pa_cvolume volume{};
        bool muted = false;
        uint32_t steps = 0;
    };

    bool lookUp();
    bool readSink(SinkState& state);
    void setMute(bool muted);
    void subscribe();
    void onLevelChanged(int level);

    static MasterVolumeControl* s_current;

    // Receives the loop thread's notices on the creating thread; declared before the client so
    // that the loop stops before the receiver goes.
    LevelNotice m_receiver;
    PulseClient m_client;
    bool m_usable = false;
    uint32_t m_sinkIndex = PA_INVALID_INDEX;
    uint8_t m_channels = 0;
    int m_steps = 0;
    std::string m_description;
    ChangeHandler m_handler;
    int m_userValue = 0;
};
