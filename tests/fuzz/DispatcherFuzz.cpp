// Drives the effect the way a careless host would: the fuzzer's bytes become a sequence of
// dispatcher requests, parameter reads and writes and processing calls on one instance made
// through pluginMain, with any opcode (negative, beyond the table, any 32-bit number), any
// index and value, text buffers of the sizes hosts pass or a null pointer, and floats that
// include NaN, the infinities, the largest finite values and denormals. A crash, a sanitizer
// report or a broken promise checked below is a finding.
//
// Pointers that must be records are passed as a host passes them: effEditGetRect and
// effGetChunk get the address of a pointer, the speaker-arrangement requests get real
// arrangements, the other record requests a zeroed block larger than their record.
// effEditOpen is never sent: the editor on Linux opens a child of the host's window, and no
// window exists here. effClose ends the instance, after which the rest of the input drives a
// new one, since the record is gone.

#include "effect/CrusherParam.h"
#include "host/PluginModule.h"
#include "host/VstAbi.h"
#include "tests/fuzz/FuzzInput.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace
{
// A broken promise is reported like a crash, with what was asked.
[[noreturn]] void fail(const char* what, VstInt32 opcode, VstInt32 index)
{
    std::fprintf(stderr, "dispatcher fuzz: %s (opcode %ld, index %ld)\n", what, static_cast<long>(opcode),
                 static_cast<long>(index));
    std::abort();
}

// What this harness's host answers: its version (0 refuses every instance) and 0 to
// everything else.
VstIntPtr gVersionAnswer = 2400;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterVersion ? gVersionAnswer : 0;
}

// Buffer sizes hosts pass for text: the interface's nominal lengths and the larger buffers
// most hosts allocate.
constexpr std::size_t kHostTextSizes[] = {8, 24, 64, 256};

// Requests that write text into the host's buffer, with the size the plug-in relies on:
// the program name is kept in 32 bytes, the longest parameter name needs 16, a value text
// 9, and the identity texts follow the interface's lengths. A host passing less is outside
// what the plug-in promises to handle, so the harness never does.
struct TextRequest
{
    VstInt32 opcode;
    std::size_t needs;
    std::size_t longestText; // the most characters the answer may have
};

constexpr TextRequest kTextRequests[] = {
    {effGetProgramName, 32, 31},     {effGetParamLabel, 8, 7},           {effGetParamDisplay, 9, 8},
    {effGetParamName, 16, 15},       {effGetProgramNameIndexed, 32, 31}, {effGetEffectName, 32, 31},
    {effGetErrorText, 256, 255},     {effGetVendorString, 64, 63},       {effGetProductString, 64, 63},
    {effShellGetNextPlugin, 64, 63},
};

const TextRequest* textRequest(VstInt32 opcode)
{
    for (const TextRequest& request : kTextRequests)
    {
        if (request.opcode == opcode)
        {
            return &request;
        }
    }
    return nullptr;
}

// Requests that read a zero-terminated text from the host's buffer.
bool readsText(VstInt32 opcode)
{
    return opcode == effSetProgramName || opcode == effCanDo || opcode == effString2Parameter;
}

// Requests whose pointer is a record the plug-in may read or fill: a zeroed block larger
// than any of them stands in.
bool takesRecord(VstInt32 opcode)
{
    switch (opcode)
    {
    case effEditDraw:
    case effProcessEvents:
    case effGetInputProperties:
    case effGetOutputProperties:
    case effOfflineNotify:
    case effOfflinePrepare:
    case effOfflineRun:
    case effProcessVarIo:
    case effVendorSpecific:
    case effGetParameterProperties:
    case effGetMidiProgramName:
    case effGetCurrentMidiProgram:
    case effGetMidiProgramCategory:
    case effGetMidiKeyName:
    case effBeginLoadBank:
    case effBeginLoadProgram:
        return true;
    default:
        return false;
    }
}
constexpr std::size_t kRecordBlockSize = 512;

// A heap block of exactly the size asked, so that AddressSanitizer sees every byte beyond it.
std::unique_ptr<char[]> block(std::size_t size, char fill)
{
    std::unique_ptr<char[]> memory(new char[size]);
    std::memset(memory.get(), fill, size);
    return memory;
}

class Session
{
public:
    explicit Session(AEffect* effect)
        : effect(effect)
    {
    }

    // Runs one dispatcher request made from the input; answers false once effClose was sent.
    bool dispatch(FuzzInput& in)
    {
        const std::uint8_t selector = in.byte();
        VstInt32 opcode;
        if (selector < 240)
        {
            opcode = static_cast<VstInt32>(selector % 106) - 4; // -4..101
        }
        else
        {
            opcode = in.i32();
        }
        if (opcode == effEditOpen)
        {
            return true;
        }
        if (opcode == effClose)
        {
            close();
            return false;
        }
        const VstInt32 index = in.smallOrAny();
        VstIntPtr value = in.smallOrAny();
        const float opt = in.floatValue();
        const bool isNull = (in.byte() % 8) == 0;
        const std::size_t hostSize = kHostTextSizes[in.byte() % 4];

        if (const TextRequest* request = textRequest(opcode))
        {
            const std::size_t size = std::max(hostSize, request->needs);
            auto buffer = block(size, '\xAB');
            effect->dispatcher(effect, opcode, index, value, isNull ? nullptr : buffer.get(), opt);
            checkText(buffer.get(), size, *request, index);
            return true;
        }
        if (readsText(opcode))
        {
            const std::string text = in.text(hostSize - 1);
            auto buffer = block(text.size() + 1, 0);
            std::memcpy(buffer.get(), text.data(), text.size());
            effect->dispatcher(effect, opcode, index, value, isNull ? nullptr : buffer.get(), opt);
            return true;
        }
        switch (opcode)
        {
        case effEditGetRect:
        {
            ERect* rect = nullptr;
            const VstIntPtr answer =
                effect->dispatcher(effect, opcode, index, value, isNull ? nullptr : &rect, opt);
            if (answer != 0 && rect)
            {
                // The host reads the rectangle the plug-in pointed it to.
                volatile VstInt16 width = static_cast<VstInt16>(rect->right - rect->left);
                (void)width;
            }
            return true;
        }
        case effGetChunk:
        {
            void* data = nullptr;
            const VstIntPtr bytes =
                effect->dispatcher(effect, opcode, index, value, isNull ? nullptr : &data, opt);
            if (bytes > 0 && data)
            {
                // The host copies what the plug-in answered.
                std::vector<char> copy(static_cast<const char*>(data),
                                       static_cast<const char*>(data) + bytes);
            }
            return true;
        }
        case effSetChunk:
        {
            const std::size_t size = in.u16() % 1024;
            auto chunk = block(size + 1, 0);
            for (std::size_t i = 0; i < size; ++i)
            {
                chunk[i] = static_cast<char>(in.byte());
            }
            effect->dispatcher(effect, opcode, index, isNull ? 0 : static_cast<VstIntPtr>(size),
                               isNull ? nullptr : chunk.get(), opt);
            return true;
        }
        case effSetSpeakerArrangement:
        {
            auto input = arrangement(in);
            auto output = arrangement(in);
            effect->dispatcher(effect, opcode, index, isNull ? 0 : reinterpret_cast<VstIntPtr>(input.get()),
                               isNull ? nullptr : output.get(), opt);
            return true;
        }
        case effGetSpeakerArrangement:
        {
            VstSpeakerArrangement* input = nullptr;
            VstSpeakerArrangement* output = nullptr;
            effect->dispatcher(effect, opcode, index, isNull ? 0 : reinterpret_cast<VstIntPtr>(&input),
                               isNull ? nullptr : &output, opt);
            // Whatever the plug-in answers there must be readable: the host reads the header.
            for (const VstSpeakerArrangement* answered : {input, output})
            {
                if (answered)
                {
                    volatile VstInt32 channels = answered->numChannels;
                    (void)channels;
                }
            }
            return true;
        }
        default:
            break;
        }
        if (takesRecord(opcode))
        {
            auto record = block(kRecordBlockSize, 0);
            if (opcode == effOfflineNotify || opcode == effOfflinePrepare || opcode == effOfflineRun)
            {
                value = isNull ? 0 : 1; // the count of records at ptr
            }
            effect->dispatcher(effect, opcode, index, value, isNull ? nullptr : record.get(), opt);
            return true;
        }
        // Any other request, known or not: its pointer is a host buffer or null.
        auto buffer = block(hostSize, 0);
        effect->dispatcher(effect, opcode, index, value, isNull ? nullptr : buffer.get(), opt);
        return true;
    }

    void setParameter(FuzzInput& in)
    {
        const VstInt32 index = parameterIndex(in);
        const float value = in.floatValue();
        effect->setParameter(effect, index, value);
        const float stored = effect->getParameter(effect, index);
        if (index < 0 || index >= kNumWritableParams)
        {
            return;
        }
        // A writable parameter keeps the value as sent, but for the cutoff's floor.
        const float expected = (index == kCutoff && value < 0.001f) ? 0.001f : value;
        const bool isSame =
            std::isnan(expected) ? std::isnan(stored) : std::memcmp(&stored, &expected, sizeof(float)) == 0;
        if (!isSame)
        {
            fail("getParameter does not answer the value just set", -1, index);
        }
    }

    void getParameter(FuzzInput& in)
    {
        const VstInt32 index = parameterIndex(in);
        const float value = effect->getParameter(effect, index);
        if ((index < 0 || index >= kNumParams) && value != 0.0f)
        {
            fail("getParameter answers a value for an index the plug-in does not have", -1, index);
        }
    }

    // One processing call with a block size from the input, on buffers of exactly that size,
    // laid out as hosts do: separate, in place, or with the channels crossed.
    void process(FuzzInput& in, bool isReplacing)
    {
        const std::uint8_t sizeSelector = in.byte();
        VstInt32 frames;
        switch (sizeSelector % 8)
        {
        case 0:
            frames = 0;
            break;
        case 1:
            frames = sizeSelector >= 128 ? -1 : std::numeric_limits<VstInt32>::min();
            break;
        case 2:
            frames = 1 + in.u16() % 4096;
            break;
        default:
            frames = 1 + in.byte();
            break;
        }
        const std::size_t length = static_cast<std::size_t>(std::max<VstInt32>(frames, 1));
        std::unique_ptr<float[]> channels[4];
        for (auto& channel : channels)
        {
            channel.reset(new float[length]);
        }
        fill(in, channels[0].get(), length);
        fill(in, channels[1].get(), length);
        std::fill_n(channels[2].get(), length, 0.0f);
        std::fill_n(channels[3].get(), length, 0.0f);

        float* inputs[2] = {channels[0].get(), channels[1].get()};
        float* outputs[2] = {channels[2].get(), channels[3].get()};
        switch (in.byte() % 4)
        {
        case 1: // in place
            outputs[0] = inputs[0];
            outputs[1] = inputs[1];
            break;
        case 2: // crossed
            outputs[0] = inputs[1];
            outputs[1] = inputs[0];
            break;
        case 3: // one source for both inputs
            inputs[1] = inputs[0];
            break;
        default:
            break;
        }
        (isReplacing ? effect->processReplacing : effect->process)(effect, inputs, outputs, frames);
    }

    void close()
    {
        if (effect)
        {
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
            effect = nullptr;
        }
    }

private:
    static VstInt32 parameterIndex(FuzzInput& in)
    {
        const std::uint8_t selector = in.byte();
        return selector < 200 ? static_cast<VstInt32>(selector % 18) - 1 : in.smallOrAny();
    }

    static void fill(FuzzInput& in, float* samples, std::size_t length)
    {
        switch (in.byte() % 4)
        {
        case 0:
            std::fill_n(samples, length, 0.0f);
            break;
        case 1:
        {
            // A decaying tone at full scale.
            const float step = 0.01f + static_cast<float>(in.byte()) / 256.0f;
            for (std::size_t i = 0; i < length; ++i)
            {
                samples[i] =
                    std::sin(step * static_cast<float>(i)) * std::exp(-0.001f * static_cast<float>(i));
            }
            break;
        }
        case 2:
            std::fill_n(samples, length, in.floatValue());
            break;
        default:
        {
            // Up to 16 values from the input, repeated through the block.
            float pattern[16];
            const std::size_t count = 1 + in.byte() % 16;
            for (std::size_t i = 0; i < count; ++i)
            {
                pattern[i] = in.floatValue();
            }
            for (std::size_t i = 0; i < length; ++i)
            {
                samples[i] = pattern[i % count];
            }
            break;
        }
        }
    }

    // An arrangement record as a host builds it: the header and as many speakers as it says.
    static std::unique_ptr<char[]> arrangement(FuzzInput& in)
    {
        const VstInt32 channels = in.byte() % 9;
        const std::size_t size = offsetof(VstSpeakerArrangement, speakers) +
                                 sizeof(VstSpeakerProperties) * static_cast<std::size_t>(channels);
        auto memory = block(size, 0);
        auto* record = reinterpret_cast<VstSpeakerArrangement*>(memory.get());
        record->type = in.smallOrAny();
        record->numChannels = channels;
        return memory;
    }

    // A text request either wrote a terminated text of at most the promised length into the
    // buffer or left the buffer as the host passed it.
    static void checkText(const char* buffer, std::size_t size, const TextRequest& request, VstInt32 index)
    {
        const void* end = std::memchr(buffer, 0, size);
        if (!end)
        {
            if (std::any_of(buffer, buffer + size, [](char c) { return c != '\xAB'; }))
            {
                fail("text written without its terminating zero", request.opcode, index);
            }
            return;
        }
        if (static_cast<std::size_t>(static_cast<const char*>(end) - buffer) > request.longestText)
        {
            fail("text longer than promised", request.opcode, index);
        }
    }

    AEffect* effect;
};

// At most this many instances per input, so that one input cannot spend its time on
// creation alone.
constexpr int kMostInstances = 4;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput in(data, size);
    // A host that answers 0 to the version query gets no instance.
    gVersionAnswer = in.byte() == 0xFF ? 0 : 2400;
    for (int instance = 0; instance < kMostInstances && (instance == 0 || !in.isEmpty()); ++instance)
    {
        AEffect* effect = pluginMain(hostCallback);
        if (gVersionAnswer == 0)
        {
            if (effect)
            {
                fail("an instance for a host that answered version 0", audioMasterVersion, 0);
            }
            return 0;
        }
        if (!effect || effect->magic != kEffectMagic)
        {
            fail("no instance", 0, 0);
        }
        Session session(effect);
        bool isOpen = true;
        while (isOpen && !in.isEmpty())
        {
            switch (in.byte() % 8)
            {
            case 0:
            case 1:
            case 2:
                isOpen = session.dispatch(in);
                break;
            case 3:
                session.setParameter(in);
                break;
            case 4:
                session.getParameter(in);
                break;
            case 5:
                session.process(in, true);
                break;
            case 6:
                session.process(in, false);
                break;
            default:
                session.close();
                isOpen = false;
                break;
            }
        }
        session.close();
    }
    return 0;
}
