#include "host/NumberText.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
constexpr int kTextWidth = 8;

char digitOf(double value)
{
    return static_cast<char>('0' + static_cast<int>(std::trunc(std::fmod(value, 10.0))));
}
} // namespace

void formatFixedWidth(float value, char* text)
{
    double v = value;
    if (std::isnan(v))
    {
        std::strcpy(text, "NaN");
        return;
    }
    const bool isNegative = v < 0.0;
    int count = 0;
    if (isNegative)
    {
        v = -v;
        count = 1;
    }
    if ((isNegative && v > 9999999.0) || (!isNegative && v > 99999999.0))
    {
        std::strcpy(text, "Huge!");
        return;
    }

    // Integer part, built from the right in front of the decimal point. The loop divides
    // without flooring again, so the fractional digits it carries never reach a digit.
    char scratch[kTextWidth + 2];
    char* start = scratch + sizeof(scratch) - 1;
    *start = 0;
    *--start = '.';
    double integer = std::floor(v);
    *--start = digitOf(integer);
    integer /= 10.0;
    count += 2;
    while (integer >= 1.0 && count < kTextWidth)
    {
        *--start = digitOf(integer);
        integer /= 10.0;
        ++count;
    }
    if (isNegative)
    {
        *--start = '-';
    }
    std::strcpy(text, start);
    if (count >= kTextWidth)
    {
        return;
    }

    // Fraction digits, also from the right; a digit is cut, not rounded.
    const int fractionDigits = kTextWidth - count;
    double fraction = std::fmod(v, 1.0) * std::pow(10.0, fractionDigits);
    char* end = text + std::strlen(text);
    for (int i = fractionDigits - 1; i >= 0; --i)
    {
        if (fraction <= 0.0)
        {
            end[i] = '0';
        }
        else
        {
            end[i] = digitOf(fraction);
            fraction /= 10.0;
        }
    }
    end[fractionDigits] = 0;
}

void formatInteger(VstInt32 value, char* text)
{
    if (value >= 100000000)
    {
        std::strcpy(text, "Huge!");
        return;
    }
    char scratch[16];
    std::snprintf(scratch, sizeof(scratch), "%7d", static_cast<int>(value));
    std::memcpy(text, scratch, kTextWidth);
    text[kTextWidth] = 0;
}
