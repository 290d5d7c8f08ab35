#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

// Reads the fuzzer's bytes front to back as the numbers a harness needs. Past the end every
// read answers zero, so any input, however short, describes a complete run.
class FuzzInput
{
public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : data(data)
        , size(size)
    {
    }

    bool isEmpty() const { return position >= size; }
    std::size_t remaining() const { return size - position; }

    std::uint8_t byte() { return position < size ? data[position++] : 0; }

    std::uint16_t u16()
    {
        const std::uint16_t low = byte();
        return static_cast<std::uint16_t>(low | (byte() << 8));
    }

    std::uint32_t u32()
    {
        const std::uint32_t low = u16();
        return low | (static_cast<std::uint32_t>(u16()) << 16);
    }

    std::int32_t i32()
    {
        const std::uint32_t bits = u32();
        std::int32_t value;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }

    // An integer as hosts send them: mostly small (-2..29), sometimes an extreme or any
    // 32-bit pattern.
    std::int32_t smallOrAny()
    {
        const std::uint8_t selector = byte();
        if (selector < 224)
        {
            return static_cast<std::int32_t>(selector % 32) - 2;
        }
        switch (selector % 4)
        {
        case 0:
            return std::numeric_limits<std::int32_t>::min();
        case 1:
            return std::numeric_limits<std::int32_t>::max();
        default:
            return i32();
        }
    }

    // A float from the ranges that break arithmetic: NaN, the infinities, the largest
    // finite values, denormals, negative zero; a value where audio code tends to switch
    // (0, 0.001, 0.01, 0.02, the quarters, 1) or the float just either side of it; and
    // otherwise a value in 0..1 or -1..1 or any 32-bit pattern. The fuzzer cannot see float
    // comparisons, so without these edges it would hit them only by chance.
    float floatValue()
    {
        const std::uint8_t selector = byte();
        switch (selector % 16)
        {
        case 0:
            return std::numeric_limits<float>::quiet_NaN();
        case 1:
            return std::numeric_limits<float>::infinity();
        case 2:
            return -std::numeric_limits<float>::infinity();
        case 3:
            return std::numeric_limits<float>::max();
        case 4:
            return -std::numeric_limits<float>::max();
        case 5:
            return std::numeric_limits<float>::denorm_min() * static_cast<float>(1 + byte());
        case 6:
            return -0.0f;
        case 7:
            return 1e30f;
        case 8:
        {
            const std::uint32_t bits = u32();
            float value;
            std::memcpy(&value, &bits, sizeof(value));
            return value;
        }
        case 9:
        case 10:
            return static_cast<float>(u16()) / 32768.0f - 1.0f;
        case 12:
        {
            static constexpr float kEdges[] = {0.0f, 0.001f, 0.01f, 0.02f, 0.25f, 0.5f, 0.75f, 1.0f};
            const std::uint8_t pick = byte();
            const float edge = kEdges[pick % 8];
            switch ((pick / 8) % 3)
            {
            case 0:
                return edge;
            case 1:
                return std::nextafter(edge, -1.0f);
            default:
                return std::nextafter(edge, 2.0f);
            }
        }
        default:
            return static_cast<float>(u16()) / 65535.0f;
        }
    }

    // Up to maxLength bytes of text, without zero bytes.
    std::string text(std::size_t maxLength)
    {
        const std::size_t length = byte() % (maxLength + 1);
        std::string result;
        for (std::size_t i = 0; i < length && !isEmpty(); ++i)
        {
            const char c = static_cast<char>(byte());
            result += c != 0 ? c : ' ';
        }
        return result;
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};
