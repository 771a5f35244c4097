#include "media/VocalCut.h"

#include <algorithm>
#include <cmath>

namespace {

// Quality factors of the sections of Butterworth filters of order 6 and 4.
constexpr double kLowQ[] = {0.51763809, 0.70710678, 1.93185165};
constexpr double kHighQ[] = {0.54119610, 1.30656296};

struct Coefficients {
    double b0, b1, b2, a1, a2;
};

// Bilinear-transform biquads of the usual audio cookbook forms.
Coefficients design(double frequency, double q, int rate, bool highPass) {
    const double w = 2.0 * M_PI * frequency / rate;
    const double alpha = std::sin(w) / (2.0 * q);
    const double cosw = std::cos(w);
    const double a0 = 1.0 + alpha;
    const double edge = highPass ? (1.0 + cosw) / 2.0 : (1.0 - cosw) / 2.0;
    const double middle = highPass ? -(1.0 + cosw) : 1.0 - cosw;
    return {edge / a0, middle / a0, edge / a0, -2.0 * cosw / a0, (1.0 - alpha) / a0};
}

}  // namespace

double VocalCut::Section::Run(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
}

VocalCut::VocalCut(int sampleRate) {
    SetRate(sampleRate);
}

void VocalCut::SetRate(int sampleRate) {
    if (sampleRate == m_rate || sampleRate <= 0) {
        return;
    }
    m_rate = sampleRate;
    // Above a third of the rate the treble band is empty; keep the high pass below Nyquist.
    const double treble = std::min(kTrebleEdge, sampleRate / 3.0);
    const auto set = [](Section& section, const Coefficients& c) {
        section = Section{c.b0, c.b1, c.b2, c.a1, c.a2, 0, 0};
    };
    for (int i = 0; i < kLowSections; ++i) {
        set(m_low[i], design(kBassEdge, kLowQ[i], sampleRate, false));
    }
    for (int i = 0; i < kHighSections; ++i) {
        set(m_high[i], design(treble, kHighQ[i], sampleRate, true));
    }
}

void VocalCut::Process(float* samples, size_t frames, bool cut) {
    for (size_t i = 0; i < frames; ++i) {
        const double left = samples[2 * i];
        const double right = samples[2 * i + 1];
        const double centre = (left + right) / 2.0;
        double low = centre;
        for (Section& section : m_low) {
            low = section.Run(low);
        }
        double high = centre;
        for (Section& section : m_high) {
            high = section.Run(high);
        }
        if (!cut) {
            continue;
        }
        // The sides stay whole; of the centre only what lies outside the voice band stays.
        const double side = (left - right) / 2.0;
        samples[2 * i] = static_cast<float>(side + low + high);
        samples[2 * i + 1] = static_cast<float>(-side + low + high);
    }
}
