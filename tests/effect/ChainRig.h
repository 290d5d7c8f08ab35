#pragma once

#include "effect/CrusherParam.h"
#include "tests/support/TestHost.h"

#include <utility>
#include <vector>

// One switched-on instance and stereo buffers to run it with.
struct StereoBlock
{
    std::vector<float> left;
    std::vector<float> right;
};

class ChainRig
{
public:
    explicit ChainRig(EntrySource source)
        : instance(entryFor(source))
    {
        if (instance)
        {
            instance.dispatch(effMainsChanged, 0, 1);
        }
    }

    bool isOpen() const { return static_cast<bool>(instance); }
    AEffect* effect() const { return instance.get(); }

    void set(int index, float value) { instance->setParameter(instance.get(), index, value); }
    float get(int index) { return instance->getParameter(instance.get(), index); }

    // A chain whose every stage but the ones a test switches on passes samples unchanged
    // to the bit: the classic ladder bypassed by a cutoff of 1.5, the distortion gain
    // 5 x 0.2f which rounds to exactly 1, and no noise, so the noise factor is exactly 1.
    void makeNeutral() { set(kCutoff, 1.5f); }

    StereoBlock run(const StereoBlock& input)
    {
        StereoBlock output{std::vector<float>(input.left.size()), std::vector<float>(input.right.size())};
        float* in[2] = {const_cast<float*>(input.left.data()), const_cast<float*>(input.right.data())};
        float* out[2] = {output.left.data(), output.right.data()};
        instance->processReplacing(instance.get(), in, out, static_cast<VstInt32>(input.left.size()));
        return output;
    }

    std::pair<float, float> runFrame(float left, float right)
    {
        const StereoBlock out = run(StereoBlock{{left}, {right}});
        return {out.left[0], out.right[0]};
    }

private:
    PluginInstance instance;
};

inline StereoBlock constantBlock(int frames, float left, float right)
{
    return StereoBlock{std::vector<float>(frames, left), std::vector<float>(frames, right)};
}
