#pragma once

#include <cstddef>

// Live removal of the lead voice from a stereo mix: what both channels share (the centre) is
// taken out in the voice band only. The bass below the band and the cymbals above it stay,
// and so does everything panned to one side. Works in place on interleaved stereo floats and
// keeps its filter state from one block to the next, so it must see one stream in order.
class VocalCut {
public:
    // Lowest and highest edges of the removed band, in Hz.
    static constexpr double kBassEdge = 130.0;
    static constexpr double kTrebleEdge = 6000.0;

    explicit VocalCut(int sampleRate = 44100);

    // Designs the filters for a new rate and forgets the old state; nothing when unchanged.
    void SetRate(int sampleRate);
    int Rate() const { return m_rate; }

    // Filters `frames` stereo frames. With `cut` off the samples pass untouched, but the
    // filters still follow the centre, so switching on later starts without a click.
    void Process(float* samples, size_t frames, bool cut);

private:
    // One second-order section (direct form II transposed).
    struct Section {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double z1 = 0, z2 = 0;
        double Run(double x);
    };
    static constexpr int kLowSections = 3;   // 6th-order Butterworth low pass
    static constexpr int kHighSections = 2;  // 4th-order Butterworth high pass

    Section m_low[kLowSections];
    Section m_high[kHighSections];
    int m_rate = 0;
};
