#include "tests/effect/ChainRig.h"
#include "tests/effect/ReferenceLadders.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
// Deterministic input in -amplitude..amplitude.
std::vector<float> randomSignal(int frames, std::uint32_t seed, float amplitude)
{
    std::vector<float> signal(frames);
    std::uint32_t state = seed;
    for (float& sample : signal)
    {
        state = state * 1664525u + 1013904223u;
        sample = amplitude * (static_cast<float>(state >> 8) / 8388608.0f - 1.0f);
    }
    return signal;
}

bool allFinite(const std::vector<float>& samples)
{
    for (float s : samples)
    {
        if (!std::isfinite(s))
        {
            return false;
        }
    }
    return true;
}

float peak(const std::vector<float>& samples, size_t from = 0)
{
    float result = 0.0f;
    for (size_t i = from; i < samples.size(); ++i)
    {
        result = std::fmax(result, std::fabs(samples[i]));
    }
    return result;
}

double rms(const std::vector<float>& samples, size_t from)
{
    double sum = 0.0;
    for (size_t i = from; i < samples.size(); ++i)
    {
        sum += static_cast<double>(samples[i]) * samples[i];
    }
    return std::sqrt(sum / static_cast<double>(samples.size() - from));
}

// The filter modes with the editor's switch values.
struct ModeCase
{
    const char* label;
    float filterType;
    bool isClassic;
    ReferenceOutput output;
};

const std::vector<ModeCase> kModes = {
    {"classic", 0.0f, true, ReferenceOutput::Lowpass},
    {"multimode lowpass", 1.0f / 3.0f, false, ReferenceOutput::Lowpass},
    {"multimode bandpass", 2.0f / 3.0f, false, ReferenceOutput::Bandpass},
    {"multimode highpass", 1.0f, false, ReferenceOutput::Highpass},
};

const std::vector<ModeCase> kMultimodeOutputs(kModes.begin() + 1, kModes.end());

class FilterTest : public ::testing::TestWithParam<EntrySource>
{
protected:
    TestHost host;
};

// The filters within their range give exactly the plain recurrences, also with the
// parameters changing from frame to frame.
TEST_P(FilterTest, ModesMatchTheRecurrencesBitForBit)
{
    const std::vector<float> left = randomSignal(6000, 11, 1.0f);
    const std::vector<float> right = randomSignal(6000, 12, 1.0f);
    for (const ModeCase& mode : kModes)
    {
        SCOPED_TRACE(mode.label);
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kFilterType, mode.filterType);
        ReferenceClassic classic[2];
        ReferenceMultimode multimode[2];
        for (int i = 0; i < 6000; ++i)
        {
            // Sweeps that reach resonance 0.9 and cutoffs from 0.02 to 1.
            const float cutoff = 0.02f + 0.98f * static_cast<float>(i % 1500) / 1500.0f;
            const float resonance = 0.9f * static_cast<float>(i % 700) / 700.0f;
            rig.set(kCutoff, cutoff);
            rig.set(kResonance, resonance);
            const auto [outLeft, outRight] = rig.runFrame(left[i], right[i]);
            const float expectedLeft = mode.isClassic
                                           ? classic[0].step(left[i], cutoff, resonance)
                                           : multimode[0].step(left[i], cutoff, resonance, mode.output);
            const float expectedRight = mode.isClassic
                                            ? classic[1].step(right[i], cutoff, resonance)
                                            : multimode[1].step(right[i], cutoff, resonance, mode.output);
            ASSERT_EQ(outLeft, expectedLeft) << "frame " << i;
            ASSERT_EQ(outRight, expectedRight) << "frame " << i;
        }
    }
}

struct ThresholdCase
{
    float filterType;
    const char* model;
};

TEST_P(FilterTest, FilterTypeThresholdsSelectTheModel)
{
    const std::vector<ThresholdCase> cases = {
        {-1.0f, "classic"}, {0.0f, "classic"},        {0.25f, "classic"},  {0.2500001f, "lowpass"},
        {0.5f, "lowpass"},  {0.5000001f, "bandpass"}, {0.75f, "bandpass"}, {0.7500001f, "highpass"},
        {1.0f, "highpass"}, {7.0f, "highpass"},
    };
    const std::vector<float> signal = randomSignal(200, 5, 1.0f);
    for (const ThresholdCase& c : cases)
    {
        SCOPED_TRACE("filter type " + std::to_string(c.filterType));
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kFilterType, c.filterType);
        rig.set(kCutoff, 0.4f);
        rig.set(kResonance, 0.5f);
        const StereoBlock out = rig.run(StereoBlock{signal, signal});
        ReferenceClassic classic;
        ReferenceMultimode multimode;
        const std::string model = c.model;
        const ReferenceOutput output = model == "lowpass"    ? ReferenceOutput::Lowpass
                                       : model == "bandpass" ? ReferenceOutput::Bandpass
                                                             : ReferenceOutput::Highpass;
        for (size_t i = 0; i < signal.size(); ++i)
        {
            const float expected = model == "classic" ? classic.step(signal[i], 0.4f, 0.5f)
                                                      : multimode.step(signal[i], 0.4f, 0.5f, output);
            ASSERT_EQ(out.left[i], expected) << "frame " << i;
        }
    }
}

// The classic ladder has unity gain at zero frequency at every cutoff; the multimode
// lowpass settles where the cubic clip inside its loop balances the input.
TEST_P(FilterTest, ConstantInputSettles)
{
    for (const float cutoff : {0.02f, 0.1f, 0.5f, 0.9f, 1.0f})
    {
        SCOPED_TRACE("classic, cutoff " + std::to_string(cutoff));
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kCutoff, cutoff);
        const StereoBlock out = rig.run(constantBlock(60000, 0.5f, 0.5f));
        EXPECT_NEAR(out.left.back(), 0.5f, 1e-5f);
        EXPECT_NEAR(out.right.back(), 0.5f, 1e-5f);
    }
    for (const float cutoff : {0.1f, 0.5f, 0.9f})
    {
        SCOPED_TRACE("multimode lowpass, cutoff " + std::to_string(cutoff));
        // At rest every stage before the last holds the input s, and the last stage's clipped
        // value y solves y = c(2p s - (2p - 1) y) with c(x) = x - x^3 / 6.
        const double k = 1.0 - cutoff;
        const double p = (0.8 * k + 1.0) * cutoff;
        const double s = 0.5;
        double low = 0.0, high = s;
        for (int i = 0; i < 100; ++i)
        {
            const double y = 0.5 * (low + high);
            const double x = 2.0 * p * s - (2.0 * p - 1.0) * y;
            (x - x * x * x / 6.0 > y ? low : high) = y;
        }
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kCutoff, cutoff);
        rig.set(kFilterType, 0.4f);
        const StereoBlock out = rig.run(constantBlock(60000, 0.5f, 0.5f));
        EXPECT_NEAR(out.left.back(), low, 1e-5);
        if (cutoff == 0.5f)
        {
            EXPECT_NEAR(out.left.back(), 0.4846, 1e-4);
        }
    }
}

TEST_P(FilterTest, ClassicLadderRaisesALowCutoffToItsFloor)
{
    struct FloorCase
    {
        float filterType;
        float cutoff;
        float expectedAfter;
    };
    const std::vector<FloorCase> cases = {
        {0.0f, 0.01f, 0.02f}, {0.25f, 0.001f, 0.02f}, {0.0f, 0.0199f, 0.02f}, {0.0f, 0.02f, 0.02f},
        {0.0f, 0.3f, 0.3f},   {0.4f, 0.01f, 0.01f},   {1.0f, 0.001f, 0.001f},
    };
    for (const FloorCase& c : cases)
    {
        SCOPED_TRACE("type " + std::to_string(c.filterType) + " cutoff " + std::to_string(c.cutoff));
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kFilterType, c.filterType);
        rig.set(kCutoff, c.cutoff);
        EXPECT_EQ(rig.get(kCutoff), c.cutoff);
        rig.runFrame(0.1f, 0.1f);
        EXPECT_EQ(rig.get(kCutoff), c.expectedAfter);
    }
}

// A bypassed classic ladder passes samples unchanged and keeps its state; a multimode
// ladder that is not selected keeps its state too. Either continues where it stopped.
TEST_P(FilterTest, BypassedOrUnselectedModelsKeepTheirState)
{
    struct FreezeCase
    {
        const char* label;
        float activeType;
        int pauseIndex;
        float pauseValue;
        float resumeValue;
    };
    const std::vector<FreezeCase> cases = {
        {"classic bypassed by cutoff 1.5", 0.0f, kCutoff, 1.5f, 0.3f},
        {"classic bypassed by cutoff 1.1", 0.0f, kCutoff, 1.1f, 0.3f},
        {"classic while the multimode runs", 0.0f, kFilterType, 0.4f, 0.0f},
        {"multimode while the classic runs", 0.6f, kFilterType, 0.0f, 0.6f},
    };
    const std::vector<float> signal = randomSignal(300, 9, 0.8f);
    for (const FreezeCase& c : cases)
    {
        SCOPED_TRACE(c.label);
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kFilterType, c.activeType);
        rig.set(kCutoff, 0.3f);
        rig.set(kResonance, 0.6f);
        ReferenceClassic classic;
        ReferenceMultimode multimode;
        auto expected = [&](float s)
        {
            return c.activeType <= 0.25f ? classic.step(s, 0.3f, 0.6f)
                                         : multimode.step(s, 0.3f, 0.6f, ReferenceOutput::Bandpass);
        };
        for (int i = 0; i < 100; ++i)
        {
            ASSERT_EQ(rig.runFrame(signal[i], signal[i]).first, expected(signal[i]));
        }
        rig.set(c.pauseIndex, c.pauseValue);
        const StereoBlock paused = rig.run(StereoBlock{{signal.begin() + 100, signal.begin() + 200},
                                                       {signal.begin() + 100, signal.begin() + 200}});
        if (c.pauseIndex == kCutoff)
        {
            EXPECT_EQ(paused.left, std::vector<float>(signal.begin() + 100, signal.begin() + 200));
        }
        rig.set(c.pauseIndex, c.resumeValue);
        for (int i = 200; i < 300; ++i)
        {
            ASSERT_EQ(rig.runFrame(signal[i], signal[i]).first, expected(signal[i])) << "frame " << i;
        }
    }
}

TEST_P(FilterTest, ResumeClearsBothModels)
{
    for (const ModeCase& mode : kModes)
    {
        SCOPED_TRACE(mode.label);
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kResonance, 0.8f);
        rig.set(kCutoff, 0.3f);
        // Excite both models, then switch off and on again.
        rig.set(kFilterType, 0.0f);
        rig.run(constantBlock(50, 0.7f, -0.7f));
        rig.set(kFilterType, 0.9f);
        rig.run(constantBlock(50, 0.7f, -0.7f));
        rig.set(kFilterType, mode.filterType);
        rig.effect()->dispatcher(rig.effect(), effMainsChanged, 0, 0, nullptr, 0.0f);
        rig.effect()->dispatcher(rig.effect(), effMainsChanged, 0, 1, nullptr, 0.0f);
        const StereoBlock out = rig.run(constantBlock(20, 0.0f, 0.0f));
        EXPECT_EQ(out.left, std::vector<float>(20, 0.0f));
        EXPECT_EQ(out.right, std::vector<float>(20, 0.0f));
    }
}

// At full resonance the multimode ladder sustains its own oscillation after one impulse,
// held below full scale by its clip; the classic ladder's ring dies away.
TEST_P(FilterTest, FullResonanceRingsOnOnlyInTheMultimodeLadder)
{
    for (const ModeCase& mode : {kModes[0], kModes[1]})
    {
        SCOPED_TRACE(mode.label);
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kFilterType, mode.filterType);
        rig.set(kCutoff, 0.3f);
        rig.set(kResonance, 1.0f);
        StereoBlock input = constantBlock(40000, 0.0f, 0.0f);
        input.left[0] = 1.0f;
        input.right[0] = 1.0f;
        const StereoBlock out = rig.run(input);
        ASSERT_TRUE(allFinite(out.left));
        if (mode.isClassic)
        {
            EXPECT_LT(rms(out.left, 39000), 1e-6);
        }
        else
        {
            EXPECT_GT(rms(out.left, 39000), 0.1);
            EXPECT_LT(peak(out.left, 39000), 1.0f);
        }
    }
}

// Conditions under which the plain multimode recurrence runs off to infinity and then stays
// NaN: the output stays finite throughout and is back to normal once the cause is gone.
TEST_P(FilterTest, RunAwayStateRecovers)
{
    struct RunAwayCase
    {
        std::string label;
        float filterType;
        float cutoff;
        float resonance;
        float amplitude;
    };
    std::vector<RunAwayCase> cases;
    for (const ModeCase& mode : kMultimodeOutputs)
    {
        cases.push_back(
            {std::string(mode.label) + ", full-scale noise, resonance 1", mode.filterType, 0.5f, 1.0f, 1.0f});
        cases.push_back({std::string(mode.label) + ", full-scale noise, resonance 0.8, cutoff 0.1",
                         mode.filterType, 0.1f, 0.8f, 1.0f});
        cases.push_back({std::string(mode.label) + ", cutoff 1.2", mode.filterType, 1.2f, 0.0f, 0.5f});
        cases.push_back(
            {std::string(mode.label) + ", hot input at resonance 0", mode.filterType, 0.5f, 0.0f, 6.0f});
    }
    cases.push_back({"classic, full-scale noise, resonance 1, lowest cutoff", 0.0f, 0.02f, 1.0f, 1.0f});
    cases.push_back({"classic, full-scale noise, resonance 1, cutoff 1", 0.0f, 1.0f, 1.0f, 1.0f});
    for (const RunAwayCase& c : cases)
    {
        SCOPED_TRACE(c.label);
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kFilterType, c.filterType);
        rig.set(kCutoff, c.cutoff);
        rig.set(kResonance, c.resonance);
        const std::vector<float> noise = randomSignal(20000, 3, c.amplitude);
        const StereoBlock wild = rig.run(StereoBlock{noise, noise});
        ASSERT_TRUE(allFinite(wild.left));
        ASSERT_TRUE(allFinite(wild.right));
        // Within the normal parameter range the clip limit bounds the state, so the output
        // stays within a small multiple of the input's scale. (A cutoff above 1 makes the
        // stages before the clip unstable; there only finiteness is promised.)
        if (c.cutoff <= 1.0f)
        {
            EXPECT_LT(peak(wild.left), 10.0f * (c.amplitude + 4.0f));
        }

        // Back to tame settings: a few frames later the output is what a fresh filter gives.
        rig.set(kCutoff, 0.5f);
        rig.set(kResonance, 0.0f);
        const StereoBlock tame = rig.run(constantBlock(2000, 0.5f, 0.5f));
        ASSERT_TRUE(allFinite(tame.left));
        ChainRig fresh(GetParam());
        fresh.set(kFilterType, c.filterType);
        fresh.set(kCutoff, 0.5f);
        const StereoBlock reference = fresh.run(constantBlock(2000, 0.5f, 0.5f));
        EXPECT_NEAR(tame.left.back(), reference.left.back(), 1e-5f);
        EXPECT_NEAR(tame.right.back(), reference.right.back(), 1e-5f);
    }
}

// A NaN sample would leave either model NaN until the next resume. Instead the channel
// answers silence for that frame and continues from cleared state, exactly like a filter
// just switched on; the other channel is not touched.
TEST_P(FilterTest, NaNInputSampleClearsOnlyItsChannel)
{
    const std::vector<float> signal = randomSignal(400, 21, 0.9f);
    for (const ModeCase& mode : kModes)
    {
        SCOPED_TRACE(mode.label);
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.set(kFilterType, mode.filterType);
        rig.set(kCutoff, 0.4f);
        rig.set(kResonance, 0.7f);
        StereoBlock input{signal, signal};
        input.left[200] = std::nanf("");
        const StereoBlock out = rig.run(input);
        ASSERT_TRUE(allFinite(out.left));
        EXPECT_EQ(out.left[200], 0.0f);

        ReferenceClassic classic[2];
        ReferenceMultimode multimode[2];
        auto step = [&](int channel, float s)
        {
            return mode.isClassic ? classic[channel].step(s, 0.4f, 0.7f)
                                  : multimode[channel].step(s, 0.4f, 0.7f, mode.output);
        };
        for (int i = 0; i < 400; ++i)
        {
            ASSERT_EQ(out.right[i], step(1, signal[i])) << "frame " << i;
            if (i > 200)
            {
                ASSERT_EQ(out.left[i], step(0, signal[i])) << "frame " << i;
            }
            else if (i < 200)
            {
                ASSERT_EQ(out.left[i], step(0, signal[i])) << "frame " << i;
            }
            else
            {
                classic[0] = ReferenceClassic();
                multimode[0] = ReferenceMultimode();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Entries, FilterTest, ::testing::Values(EntrySource::InProcess, EntrySource::Library),
                         [](const ::testing::TestParamInfo<EntrySource>& info)
                         { return toString(info.param); });
} // namespace
