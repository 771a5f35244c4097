#pragma once

#include <string>

// What the options dialog shows and its caller writes back: the capture format of the live
// monitor ("PhoneSet") and of the recorder ("RecordSet"), and the user-interface timings.

// Choices of the capture pages. Rate: 0 "11 KHz", 1 "22 KHz", 2 "44 KHz", kNoChoice when the
// stored value is none of them.
struct CaptureOptions {
    static constexpr int kNoChoice = -1;

    double delay = 0;  // seconds of one capture buffer
    int bufferCount = 0;
    int restartSeconds = 0;     // the live monitor only
    int sampleWidthChoice = 0;  // 0 8-bit, 1 16-bit
    int rateChoice = kNoChoice;
    int channelChoice = 0;  // 0 mono, 1 stereo

    bool operator==(const CaptureOptions&) const = default;
};

struct InterfaceOptions {
    int lyricPeriodMs = 0;
    int seekStepMs = 0;
    int lyricStepMs = 0;
    std::string customLyricFolder;

    bool operator==(const InterfaceOptions&) const = default;
};

namespace OptionsValues {

// The pages' values as the configuration holds them, with the pages' defaults.
CaptureOptions loadMicrophone();
CaptureOptions loadRecord();
InterfaceOptions loadInterface();

// "恢复默认值" of the two capture pages.
CaptureOptions microphoneDefaults();
CaptureOptions recordDefaults();

// Writes the values back: choices as "Channel" 1/2, "Byte" 1/2 and "Fren" 110250/220500/441000.
// A rate without a choice leaves the stored "Fren" as it is.
void writeMicrophone(const CaptureOptions& values);
void writeRecord(const CaptureOptions& values);
void writeInterface(const InterfaceOptions& values);

// The stored "Fren" of a rate choice and back.
int storedRate(int rateChoice);
int rateChoiceOf(int stored);

}  // namespace OptionsValues
