#include "effect/SoundChain.h"

#include "tests/effect/ChainRig.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace
{
// The noise factor the chain applies for draw r at a given level.
float noiseFactor(int r, float level)
{
    float n = static_cast<float>(r) / 32767.0f;
    n = n - 0.5f;
    n = n * level;
    return 1.0f + n;
}

// The draws of a fresh thread's generator.
std::vector<int> freshDraws(int count)
{
    std::vector<int> draws;
    std::uint32_t state = 1;
    for (int i = 0; i < count; ++i)
    {
        state = state * 214013u + 2531011u;
        draws.push_back(static_cast<int>((state >> 16) & 0x7FFF));
    }
    return draws;
}

// Runs a test body on a thread of its own, whose noise generator starts at 1.
template <typename Body>
void onFreshThread(Body body)
{
    std::thread thread(body);
    thread.join();
}

class SoundChainTest : public ::testing::TestWithParam<EntrySource>
{
protected:
    TestHost host;
};

struct StageCase
{
    const char* label;
    std::vector<std::pair<int, float>> settings;
    float input;
    float expected;
};

// Single stages with every other stage neutral: each case states the stage's rule.
TEST_P(SoundChainTest, SingleStagesFollowTheirRules)
{
    const float steps64 = 128.0f * 0.5f;
    const float steps16 = 32.0f * 0.5f;
    const std::vector<StageCase> cases = {
        {"pre inversion of 0.25", {{kPreInversion, 1.0f}}, 0.25f, 0.75f},
        {"pre inversion of -0.25", {{kPreInversion, 1.0f}}, -0.25f, -0.75f},
        {"pre inversion of 0", {{kPreInversion, 1.0f}}, 0.0f, -1.0f},
        {"pre inversion at exactly 0.5 is off", {{kPreInversion, 0.5f}}, 0.25f, 0.25f},
        {"pre inversion of 1.5 flips the sign", {{kPreInversion, 1.0f}}, 1.5f, -0.5f},
        {"post inversion of silence", {{kPostInversion, 1.0f}, {kOutputGain, 0.5f}}, 0.0f, -0.5f},
        {"post inversion of -0.25", {{kPostInversion, 0.75f}}, -0.25f, -0.75f},
        {"pre quantiser 64 steps", {{kPreQuantization, 0.5f}}, 0.3f, 19.0f / 64.0f},
        {"pre quantiser 64 steps, negative",
         {{kPreQuantization, 0.5f}},
         -0.3f,
         std::trunc(steps64 * -0.3f) / steps64},
        {"post quantiser truncates toward zero", {{kQuantization, 0.5f}}, -0.3f, -0.25f},
        {"post quantiser, fractional steps",
         {{kQuantization, 0.37f}},
         0.81f,
         std::trunc(32.0f * 0.37f * 0.81f) / (32.0f * 0.37f)},
        {"post quantiser at 1 is off", {{kQuantization, 1.0f}}, 0.123456f, 0.123456f},
        {"post quantiser above 1 is off", {{kQuantization, 3.0f}}, 0.123456f, 0.123456f},
        {"post quantiser below 0.01 mutes", {{kQuantization, 0.005f}}, 0.7f, 0.0f},
        {"a stored 0.01 is below 0.01 in double precision", {{kQuantization, 0.01f}}, 0.7f, 0.0f},
        {"post quantiser just above 0.01",
         {{kQuantization, 0.0101f}},
         0.7f,
         std::trunc(32.0f * 0.0101f * 0.7f) / (32.0f * 0.0101f)},
        {"muted quantiser, then post inversion",
         {{kQuantization, 0.005f}, {kPostInversion, 1.0f}},
         0.7f,
         -1.0f},
        {"quantiser beyond the integer range saturates",
         {{kQuantization, 0.5f}},
         1.0e9f,
         2147483648.0f / steps16},
        {"quantiser beyond the integer range, negative",
         {{kQuantization, 0.5f}},
         -1.0e9f,
         -2147483648.0f / steps16},
        {"quantiser of NaN gives 0", {{kPreQuantization, 0.5f}}, std::nanf(""), 0.0f},
        {"crack lifts a small positive sample", {{kCrackThreshold, 0.5f}}, 0.1f, 0.5f},
        {"crack leaves a large sample", {{kCrackThreshold, 0.5f}}, 0.7f, 0.7f},
        {"crack leaves the threshold itself", {{kCrackThreshold, 0.5f}}, 0.5f, 0.5f},
        {"crack leaves zero", {{kCrackThreshold, 0.5f}}, 0.0f, 0.0f},
        {"crack leaves a small negative sample", {{kCrackThreshold, 0.5f}}, -0.1f, -0.1f},
        {"crack with a negative threshold lowers a small negative sample",
         {{kCrackThreshold, -0.5f}},
         -0.1f,
         -0.5f},
        {"crack with a negative threshold leaves a positive sample", {{kCrackThreshold, -0.5f}}, 0.1f, 0.1f},
        {"distortion at 1 is gain 5", {{kDistortion, 1.0f}}, 0.1f, 5.0f * 0.1f},
        {"distortion unclipped", {{kDistortion, 1.0f}}, 0.9f, 5.0f * 0.9f},
        {"input gain", {{kInputGain, 0.5f}}, 0.3f, 0.3f * 0.5f},
        {"output gain", {{kOutputGain, 0.25f}}, 0.3f, 0.3f * 0.25f},
        {"input gain 0 silences, then pre inversion",
         {{kInputGain, 0.0f}, {kPreInversion, 1.0f}},
         0.3f,
         -1.0f},
    };
    for (const StageCase& c : cases)
    {
        SCOPED_TRACE(c.label);
        ChainRig rig(GetParam());
        ASSERT_TRUE(rig.isOpen());
        rig.makeNeutral();
        for (const auto& [index, value] : c.settings)
        {
            rig.set(index, value);
        }
        const auto [left, right] = rig.runFrame(c.input, c.input);
        EXPECT_EQ(left, c.expected);
        EXPECT_EQ(right, c.expected);
    }
}

TEST_P(SoundChainTest, DefaultsSettleToUnityGain)
{
    ChainRig rig(GetParam());
    ASSERT_TRUE(rig.isOpen());
    const StereoBlock out = rig.run(constantBlock(20000, 0.5f, -0.5f));
    EXPECT_NEAR(out.left.back(), 0.5f, 1e-5f);
    EXPECT_NEAR(out.right.back(), -0.5f, 1e-5f);
}

TEST_P(SoundChainTest, NoiseScalesBothChannelsByOneSharedFactor)
{
    const EntrySource source = GetParam();
    onFreshThread(
        [source]
        {
            ChainRig rig(source);
            ASSERT_TRUE(rig.isOpen());
            rig.makeNeutral();
            rig.set(kNoiseLevel, 1.0f);
            const int frames = 4000;
            const StereoBlock out = rig.run(constantBlock(frames, 0.5f, 0.25f));
            const std::vector<int> draws = freshDraws(frames);
            EXPECT_EQ(draws[0], 41);
            float lowest = 2.0f;
            float highest = 0.0f;
            for (int i = 0; i < frames; ++i)
            {
                const float m = noiseFactor(draws[i], 1.0f);
                ASSERT_EQ(out.left[i], m * 0.5f) << "frame " << i;
                ASSERT_EQ(out.right[i], m * 0.25f) << "frame " << i;
                lowest = std::fmin(lowest, m);
                highest = std::fmax(highest, m);
            }
            EXPECT_GE(lowest, 0.5f);
            EXPECT_LE(highest, 1.5f);
            // Full depth is reached: the factor spans nearly all of 0.5..1.5.
            EXPECT_LT(lowest, 0.51f);
            EXPECT_GT(highest, 1.49f);
        });
}

TEST_P(SoundChainTest, EmptyAndNegativeBlocksDrawNoNoiseAndWriteNothing)
{
    const EntrySource source = GetParam();
    for (const VstInt32 frames : {0, -1, -1000})
    {
        SCOPED_TRACE("frames " + std::to_string(frames));
        onFreshThread(
            [source, frames]
            {
                ChainRig rig(source);
                ASSERT_TRUE(rig.isOpen());
                rig.makeNeutral();
                rig.set(kNoiseLevel, 0.5f);
                float in[1] = {0.5f};
                float out[1] = {7.0f};
                float* ins[2] = {in, in};
                float* outsLeft[2] = {out, out};
                rig.effect()->processReplacing(rig.effect(), ins, outsLeft, frames);
                rig.effect()->process(rig.effect(), ins, outsLeft, frames);
                EXPECT_EQ(out[0], 7.0f);
                const auto [left, right] = rig.runFrame(0.5f, 0.5f);
                EXPECT_EQ(left, noiseFactor(41, 0.5f) * 0.5f);
                EXPECT_EQ(right, left);
            });
    }
}

TEST_P(SoundChainTest, NoiseSequenceIsSharedByInstancesOnOneThread)
{
    const EntrySource source = GetParam();
    onFreshThread(
        [source]
        {
            ChainRig first(source);
            ChainRig second(source);
            ASSERT_TRUE(first.isOpen() && second.isOpen());
            for (ChainRig* rig : {&first, &second})
            {
                rig->makeNeutral();
                rig->set(kNoiseLevel, 1.0f);
            }
            const std::vector<int> draws = freshDraws(3);
            EXPECT_EQ(first.runFrame(1.0f, 1.0f).first, noiseFactor(draws[0], 1.0f));
            EXPECT_EQ(second.runFrame(1.0f, 1.0f).first, noiseFactor(draws[1], 1.0f));
            EXPECT_EQ(first.runFrame(1.0f, 1.0f).first, noiseFactor(draws[2], 1.0f));
        });
}

TEST_P(SoundChainTest, ProcessAddsToTheOutput)
{
    ChainRig rig(GetParam());
    ASSERT_TRUE(rig.isOpen());
    rig.makeNeutral();
    rig.set(kInputGain, 0.5f);
    std::vector<float> inLeft(64, 0.5f), inRight(64, -0.5f);
    std::vector<float> outLeft(64, 0.5f), outRight(64, 0.5f);
    float* ins[2] = {inLeft.data(), inRight.data()};
    float* outs[2] = {outLeft.data(), outRight.data()};
    rig.effect()->process(rig.effect(), ins, outs, 64);
    for (int i = 0; i < 64; ++i)
    {
        ASSERT_EQ(outLeft[i], 0.75f);
        ASSERT_EQ(outRight[i], 0.25f);
    }
}

TEST_P(SoundChainTest, InPlaceAndCrossedBuffersGiveTheSameResult)
{
    const int frames = 300;
    std::vector<float> left(frames), right(frames);
    for (int i = 0; i < frames; ++i)
    {
        left[i] = std::sin(0.05f * static_cast<float>(i));
        right[i] = std::cos(0.031f * static_cast<float>(i));
    }
    auto configure = [](ChainRig& rig)
    {
        rig.set(kCutoff, 0.3f);
        rig.set(kResonance, 0.7f);
        rig.set(kFilterType, 0.6f);
        rig.set(kQuantization, 0.4f);
    };
    ChainRig separate(GetParam());
    ASSERT_TRUE(separate.isOpen());
    configure(separate);
    const StereoBlock expected = separate.run(StereoBlock{left, right});

    ChainRig inPlace(GetParam());
    configure(inPlace);
    std::vector<float> a = left, b = right;
    float* inPlaceBuffers[2] = {a.data(), b.data()};
    inPlace.effect()->processReplacing(inPlace.effect(), inPlaceBuffers, inPlaceBuffers, frames);
    EXPECT_EQ(a, expected.left);
    EXPECT_EQ(b, expected.right);

    ChainRig crossed(GetParam());
    configure(crossed);
    std::vector<float> c = left, d = right;
    float* ins[2] = {c.data(), d.data()};
    float* outs[2] = {d.data(), c.data()};
    crossed.effect()->processReplacing(crossed.effect(), ins, outs, frames);
    EXPECT_EQ(d, expected.left);
    EXPECT_EQ(c, expected.right);
}

TEST_P(SoundChainTest, ParameterChangeTakesEffectAtTheNextFrame)
{
    // A block split anywhere with a parameter change in between equals one block per frame.
    ChainRig whole(GetParam());
    ChainRig framewise(GetParam());
    ASSERT_TRUE(whole.isOpen() && framewise.isOpen());
    for (ChainRig* rig : {&whole, &framewise})
    {
        rig->set(kFilterType, 0.4f);
        rig->set(kResonance, 0.5f);
    }
    const StereoBlock first = whole.run(constantBlock(5, 0.4f, -0.2f));
    whole.set(kCutoff, 0.2f);
    const StereoBlock second = whole.run(constantBlock(5, 0.4f, -0.2f));
    for (int i = 0; i < 10; ++i)
    {
        if (i == 5)
        {
            framewise.set(kCutoff, 0.2f);
        }
        const auto [left, right] = framewise.runFrame(0.4f, -0.2f);
        EXPECT_EQ(left, i < 5 ? first.left[i] : second.left[i - 5]);
        EXPECT_EQ(right, i < 5 ? first.right[i] : second.right[i - 5]);
    }
}

// The chain itself, driven with settings a test scripts frame by frame: a host thread can
// change a parameter in the middle of a block, which a test through the entry points cannot
// time exactly.
class ScriptedBlock
{
public:
    explicit ScriptedBlock(std::uint32_t noiseState) { noise.state = noiseState; }

    // Runs `frames` frames of the signal. The settings are `before` for the first
    // `changeFrame` frames and `after` from then on.
    std::vector<float> run(const std::vector<float>& signal, const SoundSettings& before,
                           const SoundSettings& after, int changeFrame)
    {
        std::vector<float> left(signal.size()), right(signal.size());
        const StereoBuffers buffers{signal.data(), signal.data(), left.data(), right.data()};
        // The chain asks once for every frame, in order.
        int asked = 0;
        auto readSettings = [&] { return asked++ < changeFrame ? before : after; };
        auto raiseCutoff = [this](float cutoff) { raisedCutoffs.push_back(cutoff); };
        chain.process<false>(buffers, static_cast<int>(signal.size()), readSettings, raiseCutoff, noise);
        left.insert(left.end(), right.begin(), right.end());
        return left;
    }

    std::vector<float> raisedCutoffs;

private:
    SoundChain chain{4.0f};
    NoiseGenerator noise;
};

SoundSettings scriptedDefaults()
{
    SoundSettings settings;
    settings.inputGain = 1.0f;
    settings.preQuantization = 0.6f;
    settings.cutoff = 0.3f;
    settings.resonance = 0.4f;
    settings.distortion = 0.2f;
    settings.crackThreshold = 0.1f;
    settings.noiseLevel = 0.3f;
    settings.quantization = 0.7f;
    settings.preInversion = 0.0f;
    settings.postInversion = 0.0f;
    settings.outputGain = 1.0f;
    settings.filterType = 0.0f;
    return settings;
}

struct SettingChange
{
    const char* label;
    float SoundSettings::*field;
    float value;
};

// Whatever setting changes inside a block, and whatever the chain derives from it, the new
// value rules from exactly the frame it is first read: the block equals two blocks split
// there. Every setting has a case, so a derived value that a change fails to renew shows.
TEST(SoundChainBlock, ChangeInsideABlockTakesEffectAtThatFrame)
{
    const std::vector<SettingChange> changes = {
        {"input gain", &SoundSettings::inputGain, 0.5f},
        {"pre-quantiser steps", &SoundSettings::preQuantization, 0.3f},
        {"pre-quantiser off", &SoundSettings::preQuantization, 1.0f},
        {"cutoff", &SoundSettings::cutoff, 0.6f},
        {"cutoff below the classic floor", &SoundSettings::cutoff, 0.01f},
        {"cutoff bypassing the classic ladder", &SoundSettings::cutoff, 1.5f},
        {"resonance", &SoundSettings::resonance, 0.9f},
        {"distortion", &SoundSettings::distortion, 0.5f},
        {"crack threshold", &SoundSettings::crackThreshold, 0.4f},
        {"crack threshold negative", &SoundSettings::crackThreshold, -0.3f},
        {"noise level", &SoundSettings::noiseLevel, 0.9f},
        {"post quantiser steps", &SoundSettings::quantization, 0.3f},
        {"post quantiser mutes", &SoundSettings::quantization, 0.005f},
        {"pre inversion", &SoundSettings::preInversion, 1.0f},
        {"post inversion", &SoundSettings::postInversion, 1.0f},
        {"output gain", &SoundSettings::outputGain, 0.5f},
        {"multimode lowpass", &SoundSettings::filterType, 0.4f},
        {"multimode bandpass", &SoundSettings::filterType, 0.6f},
        {"multimode highpass", &SoundSettings::filterType, 0.9f},
    };
    std::vector<float> signal(96);
    std::uint32_t seed = 5;
    for (float& sample : signal)
    {
        seed = seed * 1664525u + 1013904223u;
        sample = static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
    }
    const int changeFrame = 37;
    const std::vector<float> firstPart(signal.begin(), signal.begin() + changeFrame);
    const std::vector<float> secondPart(signal.begin() + changeFrame, signal.end());
    const SoundSettings before = scriptedDefaults();
    for (const SettingChange& change : changes)
    {
        SCOPED_TRACE(change.label);
        SoundSettings after = before;
        after.*change.field = change.value;

        ScriptedBlock changed(1);
        const std::vector<float> output = changed.run(signal, before, after, changeFrame);
        ScriptedBlock split(1);
        const std::vector<float> first = split.run(firstPart, before, before, 0);
        const std::vector<float> second = split.run(secondPart, after, after, 0);
        ScriptedBlock unchanged(1);
        const std::vector<float> steady = unchanged.run(signal, before, before, 0);

        const int frames = static_cast<int>(signal.size());
        const int rest = frames - changeFrame;
        for (int i = 0; i < frames; ++i)
        {
            const bool isBefore = i < changeFrame;
            const float expectedLeft = isBefore ? first[i] : second[i - changeFrame];
            const float expectedRight = isBefore ? first[changeFrame + i] : second[rest + i - changeFrame];
            ASSERT_EQ(output[i], expectedLeft) << "left, frame " << i;
            ASSERT_EQ(output[frames + i], expectedRight) << "right, frame " << i;
        }
        // The change is heard: without it the same frames sound different.
        EXPECT_NE(output, steady);
        EXPECT_EQ(changed.raisedCutoffs, split.raisedCutoffs);
        EXPECT_EQ(changed.raisedCutoffs.empty(), after.cutoff >= ClassicLadder::kCutoffFloor);
    }
}

INSTANTIATE_TEST_SUITE_P(Entries, SoundChainTest,
                         ::testing::Values(EntrySource::InProcess, EntrySource::Library),
                         [](const ::testing::TestParamInfo<EntrySource>& info)
                         { return toString(info.param); });
} // namespace
