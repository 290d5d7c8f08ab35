#pragma once

// Length of each filter-state array: the classic ladder uses four entries of its two arrays,
// the multimode ladder all five of its stage values and two of its scratch values.
constexpr int kFilterStateLength = 5;
