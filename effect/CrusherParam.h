#pragma once

// The fifteen parameter indices. Indices 0 to 11 are normalised (0..1) values the host and
// the editor set; 12 to 14 are read-only scale values that the editor's readouts use. The
// editor's control tags are these indices.
enum CrusherParam
{
    kInputGain = 0,
    kPreQuantization,
    kCutoff,
    kResonance,
    kDistortion,
    kCrackThreshold,
    kNoiseLevel,
    kQuantization,
    kPreInversion,
    kPostInversion,
    kOutputGain,
    kFilterType,
    kDistortionRange,
    kPreQuantSteps,
    kQuantSteps,
    kNumParams
};

// Parameters a host or the editor may set; the scale values above them are constants.
constexpr int kNumWritableParams = kDistortionRange;
constexpr int kNumPrograms = 16;
