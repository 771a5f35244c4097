#pragma once

#include <string>

#include "shell/ConfigKeys.h"
#include "shell/IniFile.h"

// The one settings store of the player, pointed at the configuration file at start-up.
extern CIniFile theSettings;

// Reads and writes of the keys of shell/ConfigKeys.h with their table defaults.
inline std::string readSetting(const StringKey& k) {
    return theSettings.ReadString(k.section, k.key, k.def);
}
inline int readSetting(const IntKey& k) {
    return theSettings.ReadInt(k.section, k.key, k.def);
}
inline double readSetting(const DoubleKey& k) {
    return theSettings.ReadDouble(k.section, k.key, k.def);
}
inline int writeSetting(const StringKey& k, const std::string& value) {
    return theSettings.WriteString(k.section, k.key, value.c_str());
}
inline int writeSetting(const IntKey& k, int value) {
    return theSettings.WriteInt(k.section, k.key, value);
}
// Every writer of a double setting stores six decimals.
inline int writeSetting(const DoubleKey& k, double value) {
    return theSettings.WriteDouble(k.section, k.key, value, -1);
}
