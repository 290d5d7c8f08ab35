#include "tools/thrummel/Arguments.h"
#include "tools/thrummel/AudioFile.h"
#include "tools/thrummel/Commands.h"
#include "tools/thrummel/DrumLoop.h"
#include "tools/thrummel/HostedPlugin.h"
#include "tools/thrummel/ParameterLookup.h"
#include "tools/thrummel/ProgressBar.h"
#include "tools/thrummel/ToolError.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <thread>

namespace
{
constexpr double kLoopSampleRate = 44100.0;

// Feeds the source through the plug-in block by block and collects the two output channels.
// A mono source feeds every input; a stereo source feeding a one-input effect is mixed down.
// Past the source's end (the tail) the inputs are silent.
AudioData processThrough(HostedPlugin& plugin, const AudioData& source, std::size_t totalFrames,
                         int blockSize, ProgressBar& progress)
{
    const auto block = static_cast<std::size_t>(blockSize);
    const int inputCount = plugin.numInputs();
    std::vector<std::vector<float>> inputBuffers(static_cast<std::size_t>(inputCount),
                                                 std::vector<float>(block));
    std::vector<std::vector<float>> outputBuffers(2, std::vector<float>(block));
    float* inputs[2] = {inputBuffers[0].data(), inputBuffers.back().data()};
    float* outputs[2] = {outputBuffers[0].data(), outputBuffers[1].data()};

    AudioData result;
    result.sampleRate = source.sampleRate;
    result.channels.assign(2, std::vector<float>(totalFrames));
    const std::size_t sourceFrames = source.frameCount();
    const bool isStereoSource = source.channels.size() == 2;

    for (std::size_t start = 0; start < totalFrames; start += block)
    {
        const std::size_t count = std::min(block, totalFrames - start);
        for (std::size_t n = 0; n < count; ++n)
        {
            const std::size_t frame = start + n;
            const float left = frame < sourceFrames ? source.channels.front()[frame] : 0.0f;
            const float right = frame < sourceFrames ? source.channels.back()[frame] : 0.0f;
            if (inputCount == 2)
            {
                inputBuffers[0][n] = left;
                inputBuffers[1][n] = right;
            }
            else
            {
                inputBuffers[0][n] = isStereoSource ? 0.5f * (left + right) : left;
            }
        }
        plugin.process(inputs, outputs, static_cast<int>(count));
        for (std::size_t channel = 0; channel < 2; ++channel)
        {
            std::copy_n(outputBuffers[channel].begin(), count, result.channels[channel].begin() + start);
        }
        progress.update(start + count);
    }
    return result;
}

std::string formatSeconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f s", seconds);
    return text;
}
} // namespace

int runRender(const Options& options)
{
    // Everything that can be refused is checked before any processing, and OUT is only
    // touched by the final rename.
    AudioFile input;
    if (options.inputPath.empty())
    {
        input.audio = synthesiseDrumLoop(options.sampleRate > 0.0 ? options.sampleRate : kLoopSampleRate);
    }
    else
    {
        input = readAudioFile(options.inputPath);
        if (options.sampleRate > 0.0 && options.sampleRate != input.audio.sampleRate)
        {
            throw ToolError(ExitCode::kUsage, "--rate " +
                                                  std::to_string(static_cast<long>(options.sampleRate)) +
                                                  " differs from the input's " +
                                                  std::to_string(static_cast<long>(input.audio.sampleRate)) +
                                                  " Hz; thrummel does not resample");
        }
    }
    const Container container = containerForPath(options.outputPath).value_or(input.container);
    const Encoding encoding = resolveEncoding(container, options.encoding);
    if (container == Container::kFlac && encoding == Encoding::kFloat32)
    {
        throw ToolError(ExitCode::kFormat, "FLAC holds integer samples only; use --encoding pcm16 or pcm24");
    }

    HostSettings settings;
    settings.sampleRate = input.audio.sampleRate;
    settings.blockSize = options.blockSize;
    settings.isVerbose = options.isVerbose;
    const std::string pluginPath = options.pluginPath.empty() ? defaultPluginPath() : options.pluginPath;
    HostedPlugin plugin(pluginPath, settings);
    applySettings(plugin, options.settings);

    const auto tailFrames =
        static_cast<std::size_t>(std::llround(options.tailSeconds * input.audio.sampleRate));
    const std::size_t totalFrames = input.audio.frameCount() + tailFrames;

    // Processing runs on a thread of its own: state a plug-in keeps per thread (a noise
    // generator, say) then starts afresh for every render, so the same input and settings
    // give the same output.
    // The bar's first half is processing, its second half writing, which for long renders
    // takes as long.
    ProgressBar progress(2 * totalFrames);
    AudioData output;
    std::exception_ptr failure;
    plugin.switchOn();
    std::thread worker(
        [&]
        {
            try
            {
                output = processThrough(plugin, input.audio, totalFrames, options.blockSize, progress);
            }
            catch (...)
            {
                failure = std::current_exception();
            }
        });
    worker.join();
    plugin.switchOff();
    if (failure)
    {
        std::rethrow_exception(failure);
    }

    writeAudioFile(options.outputPath, output, container, encoding,
                   [&](std::size_t written) { progress.update(totalFrames + written); });
    progress.finish();
    std::printf("thrummel: wrote %s (%s, %ld Hz, stereo, %s) from %s through %s\n",
                options.outputPath.c_str(),
                formatSeconds(static_cast<double>(totalFrames) / input.audio.sampleRate).c_str(),
                static_cast<long>(input.audio.sampleRate), describe(container, encoding).c_str(),
                options.inputPath.empty() ? "the built-in drum loop" : options.inputPath.c_str(),
                plugin.identity().effectName.c_str());
    return static_cast<int>(ExitCode::kSuccess);
}
