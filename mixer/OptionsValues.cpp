#include "mixer/OptionsValues.h"

#include "shell/Settings.h"

namespace {

constexpr int kStoredRates[] = {110250, 220500, 441000};

struct CaptureKeys {
    DoubleKey delay;
    IntKey bufferCount;
    IntKey sampleWidth;
    IntKey rate;
    IntKey channels;
};

constexpr CaptureKeys kMicrophoneKeys{ConfigKey::PhoneDelay, ConfigKey::PhoneBuffernum,
                                      ConfigKey::PhoneByte, ConfigKey::PhoneFren,
                                      ConfigKey::PhoneChannel};
constexpr CaptureKeys kRecordKeys{ConfigKey::RecordDelay, ConfigKey::RecordBuffernum,
                                  ConfigKey::RecordByte, ConfigKey::RecordFren,
                                  ConfigKey::RecordChannel};

// "Byte" and "Channel" store 1 for the first choice; anything else is the second.
CaptureOptions loadCapture(const CaptureKeys& keys) {
    CaptureOptions values;
    values.delay = readSetting(keys.delay);
    values.bufferCount = readSetting(keys.bufferCount);
    values.sampleWidthChoice = readSetting(keys.sampleWidth) == 1 ? 0 : 1;
    values.rateChoice = OptionsValues::rateChoiceOf(readSetting(keys.rate));
    values.channelChoice = readSetting(keys.channels) == 1 ? 0 : 1;
    return values;
}

// In the order a new section shows them: delay, buffers, restart period, channels, width, rate.
void writeCapture(const CaptureKeys& keys, const CaptureOptions& values,
                  const IntKey* restartPeriod) {
    writeSetting(keys.delay, values.delay);
    writeSetting(keys.bufferCount, values.bufferCount);
    if (restartPeriod != nullptr) {
        writeSetting(*restartPeriod, values.restartSeconds);
    }
    writeSetting(keys.channels, values.channelChoice == 1 ? 2 : 1);
    writeSetting(keys.sampleWidth, values.sampleWidthChoice == 1 ? 2 : 1);
    if (values.rateChoice != CaptureOptions::kNoChoice) {
        writeSetting(keys.rate, OptionsValues::storedRate(values.rateChoice));
    }
}

}  // namespace

namespace OptionsValues {

int storedRate(int rateChoice) {
    return kStoredRates[rateChoice];
}

int rateChoiceOf(int stored) {
    for (int choice = 0; choice < 3; ++choice) {
        if (kStoredRates[choice] == stored) {
            return choice;
        }
    }
    return CaptureOptions::kNoChoice;
}

CaptureOptions loadMicrophone() {
    CaptureOptions values = loadCapture(kMicrophoneKeys);
    values.restartSeconds = readSetting(ConfigKey::PhoneRefreshTimer);
    return values;
}

CaptureOptions loadRecord() {
    return loadCapture(kRecordKeys);
}

InterfaceOptions loadInterface() {
    return {readSetting(ConfigKey::LyricsTimer), readSetting(ConfigKey::UserTimeOffset),
            readSetting(ConfigKey::LyricsTimeOffset), readSetting(ConfigKey::LyricsCustomPath)};
}

CaptureOptions microphoneDefaults() {
    return {0.005, 6, 60, 0, 1, 0};
}

CaptureOptions recordDefaults() {
    return {0.05, 6, 0, 1, 2, 1};
}

void writeMicrophone(const CaptureOptions& values) {
    writeCapture(kMicrophoneKeys, values, &ConfigKey::PhoneRefreshTimer);
}

void writeRecord(const CaptureOptions& values) {
    writeCapture(kRecordKeys, values, nullptr);
}

void writeInterface(const InterfaceOptions& values) {
    writeSetting(ConfigKey::LyricsTimer, values.lyricPeriodMs);
    writeSetting(ConfigKey::UserTimeOffset, values.seekStepMs);
    writeSetting(ConfigKey::LyricsTimeOffset, values.lyricStepMs);
    writeSetting(ConfigKey::LyricsCustomPath, values.customLyricFolder);
}

}  // namespace OptionsValues
