#pragma once

// The options dialog stores its sample-rate choice ten times too large (110250, 220500,
// 441000 for 11, 22 and 44 kHz); the sing command's own default is the rate itself (22050).
// Both become the rate the capture graphs ask for.
inline int captureSampleRate(int storedChoice) {
    return storedChoice > 100000 ? storedChoice / 10 : storedChoice;
}
