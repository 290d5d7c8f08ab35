#pragma once

#include "host/VstAbi.h"

// The short texts hosts show for parameter values. Each writes at most 8 characters and a
// terminating zero, so a 9-byte buffer always suffices.

// Exactly 8 characters: sign if negative, integer digits, a point and as many fraction
// digits as fill the 8; digits are cut off, never rounded. "Huge!" beyond 99,999,999 (or
// below -9,999,999), "NaN" for a value that is not a number.
void formatFixedWidth(float value, char* text);

// "%7d" cut to its first 8 characters; "Huge!" from 100,000,000 up.
void formatInteger(VstInt32 value, char* text);
