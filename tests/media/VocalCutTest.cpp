#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "media/VocalCut.h"

namespace {

constexpr int kRate = 44100;

struct Mix {
    double centre = 0;    // Hz of a tone in both channels, 0 for none
    double leftOnly = 0;  // Hz of a tone in the left channel only
};

std::vector<float> render(const Mix& mix, size_t frames) {
    std::vector<float> samples(2 * frames);
    for (size_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double centre = mix.centre > 0 ? 0.3 * std::sin(2 * M_PI * mix.centre * t) : 0.0;
        const double left = mix.leftOnly > 0 ? 0.3 * std::sin(2 * M_PI * mix.leftOnly * t) : 0.0;
        samples[2 * i] = static_cast<float>(centre + left);
        samples[2 * i + 1] = static_cast<float>(centre);
    }
    return samples;
}

// Energy of both channels after the first half second (the filters settle meanwhile).
double energy(const std::vector<float>& samples) {
    double sum = 0;
    for (size_t i = kRate; i < samples.size(); ++i) {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return sum;
}

// Level change in dB of a mix through the cut, processed in blocks as a pipeline does.
double changeDb(const Mix& mix) {
    std::vector<float> samples = render(mix, size_t{2} * kRate);
    const double before = energy(samples);
    VocalCut cut(kRate);
    constexpr size_t kBlock = 1024;
    for (size_t frame = 0; frame < samples.size() / 2; frame += kBlock) {
        cut.Process(samples.data() + 2 * frame, std::min(kBlock, samples.size() / 2 - frame), true);
    }
    return 10 * std::log10(energy(samples) / before);
}

TEST(VocalCutTest, TakesTheCentreOutOfTheVoiceBandOnly) {
    for (const double voice : {250.0, 1000.0, 3000.0}) {
        EXPECT_LT(changeDb({voice, 0}), -20.0) << voice << " Hz";
    }
    for (const double bass : {50.0, 90.0}) {
        EXPECT_NEAR(changeDb({bass, 0}), 0.0, 1.0) << bass << " Hz";
    }
    EXPECT_NEAR(changeDb({12000.0, 0}), 0.0, 1.0);
    // A voice-band instrument on one side loses only what it shares with the centre.
    EXPECT_GT(changeDb({0, 1000.0}), -6.0);
}

TEST(VocalCutTest, SwitchedOffLeavesTheSamplesUntouched) {
    std::vector<float> samples = render({1000.0, 440.0}, 4096);
    const std::vector<float> original = samples;
    VocalCut cut(kRate);
    cut.Process(samples.data(), samples.size() / 2, false);
    EXPECT_EQ(samples, original);
    cut.SetRate(48000);
    EXPECT_EQ(cut.Rate(), 48000);
    cut.SetRate(0);
    EXPECT_EQ(cut.Rate(), 48000);
}

}  // namespace
