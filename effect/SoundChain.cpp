#include "effect/SoundChain.h"

void SoundChain::reset()
{
    channels[0] = FilterState();
    channels[1] = FilterState();
}

SoundChain::Quantiser SoundChain::Quantiser::forLevel(float level, float fullScaleSteps)
{
    if (level >= 1.0f)
    {
        return {false, false, 0.0f};
    }
    if (static_cast<double>(level) < 0.01)
    {
        return {false, true, 0.0f};
    }
    return {true, false, fullScaleSteps * level};
}

bool SoundChain::prepare(SoundSettings& settings)
{
    if (isPrepared && settings.hasSameBits(setup.settings))
    {
        return false;
    }
    bool raisedCutoff = false;
    Setup next{};
    next.invertsBefore = settings.preInversion > 0.5f;
    next.preQuantiser = Quantiser::forLevel(settings.preQuantization, kPreQuantSteps);

    const double filterType = settings.filterType;
    if (filterType <= kMultimodeLowpassAbove)
    {
        if (static_cast<double>(settings.cutoff) >= ClassicLadder::kBypassCutoff)
        {
            next.filter = FilterModel::Bypass;
        }
        else
        {
            if (settings.cutoff < ClassicLadder::kCutoffFloor)
            {
                settings.cutoff = ClassicLadder::kCutoffFloor;
                raisedCutoff = true;
            }
            next.filter = FilterModel::Classic;
            next.classic =
                ClassicLadder::coefficients(settings.cutoff, settings.resonance, ladderFeedbackScale);
        }
    }
    else
    {
        next.filter = FilterModel::Multimode;
        next.multimodeOutput = filterType <= kMultimodeBandpassAbove   ? MultimodeOutput::Lowpass
                               : filterType <= kMultimodeHighpassAbove ? MultimodeOutput::Bandpass
                                                                       : MultimodeOutput::Highpass;
        next.multimode = MultimodeLadder::coefficients(settings.cutoff, settings.resonance);
    }

    next.distortionGain = kDistortionRange * settings.distortion;
    next.crack = {settings.crackThreshold > 0.0f, settings.crackThreshold < 0.0f};
    next.postQuantiser = Quantiser::forLevel(settings.quantization, kQuantSteps);
    next.invertsAfter = settings.postInversion > 0.5f;

    // Kept with the raised cutoff: a later frame that reads a cutoff below the floor again
    // (another thread set it) differs from these settings and raises it again.
    next.settings = settings;
    setup = next;
    isPrepared = true;
    return raisedCutoff;
}
