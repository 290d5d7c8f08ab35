#pragma once

// Length of each filter-state array: the classic ladder uses four entries of its two arrays,
// the multimode ladder all five of its stage values.
constexpr int kFilterStateLength = 5;

// One channel's state of both filter models, carried from block to block and cleared by
// resume. Only the model that the filter type selects advances; the other keeps its values
// until it is selected again.
struct FilterState
{
    // Classic ladder: the inputs each stage received on the previous frame, and the stages'
    // outputs. Entry 4 of both takes no part.
    float stageIn[kFilterStateLength] = {};
    float stageOut[kFilterStateLength] = {};
    // Multimode ladder: b0, the previous frame's fed-back input, and b1 to b4, the stages'
    // outputs.
    float b[kFilterStateLength] = {};
};
