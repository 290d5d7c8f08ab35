#include "tests/tools/ToolHarness.h"

#include "tests/support/TestHost.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sndfile.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
std::string quoted(const std::string& argument)
{
    std::string result = "'";
    for (char c : argument)
    {
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return result + "'";
}
} // namespace

ToolRun runTool(const std::vector<std::string>& arguments, long fileSizeLimit)
{
    ScratchFolder capture;
    std::string command = quoted(THR_TOOL_FILE);
    for (const std::string& argument : arguments)
    {
        command += " " + quoted(argument);
    }
    command += " >" + quoted(capture.path("out")) + " 2>" + quoted(capture.path("err")) + " </dev/null";
    // The limit is lowered for this process only while the shell starts, which passes it
    // on; the hard limit stays, so that the old value can be restored.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    if (fileSizeLimit >= 0)
    {
        rlimit lowered = saved;
        lowered.rlim_cur = static_cast<rlim_t>(fileSizeLimit);
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &lowered), 0);
    }
    const int status = std::system(command.c_str());
    if (fileSizeLimit >= 0)
    {
        setrlimit(RLIMIT_FSIZE, &saved);
    }
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = fileBytes(capture.path("out"));
    run.err = fileBytes(capture.path("err"));
    return run;
}

std::string toolFixture(const std::string& name)
{
    return std::string(THR_FIXTURE_DIR) + "/thr_fixture_" + name + ".so";
}

ScratchFolder::ScratchFolder()
{
    static std::atomic<int> counter{0};
    folder = (std::filesystem::temp_directory_path() /
              ("thrummel-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++)))
                 .string();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::vector<std::string> ScratchFolder::entries() const
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
    {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

Channels makeSignal(int channelCount, int frames, unsigned seed)
{
    Channels channels(static_cast<std::size_t>(channelCount),
                      std::vector<float>(static_cast<std::size_t>(frames)));
    unsigned state = seed;
    for (int channel = 0; channel < channelCount; ++channel)
    {
        const double frequency = 0.013 * (channel + 1);
        for (int n = 0; n < frames; ++n)
        {
            state = state * 1103515245u + 12345u;
            const double noise = static_cast<double>(state >> 9) / 4194304.0 - 1.0;
            const double tone = std::sin(6.283185307179586 * frequency * n) * std::exp(-n / 2000.0);
            channels[static_cast<std::size_t>(channel)][static_cast<std::size_t>(n)] =
                static_cast<float>(0.8 * tone + 0.1 * noise);
        }
    }
    return channels;
}

void writeSound(const std::string& path, const Channels& channels, int sampleRate, int format)
{
    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = static_cast<int>(channels.size());
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << sf_strerror(nullptr);
    const std::size_t frames = channels.front().size();
    std::vector<float> interleaved;
    for (std::size_t n = 0; n < frames; ++n)
    {
        for (const auto& channel : channels)
        {
            interleaved.push_back(channel[n]);
        }
    }
    EXPECT_EQ(sf_writef_float(file, interleaved.data(), static_cast<sf_count_t>(frames)),
              static_cast<sf_count_t>(frames));
    sf_close(file);
}

SoundFile readSound(const std::string& path)
{
    SoundFile sound;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    if (!file)
    {
        return sound;
    }
    sound.sampleRate = info.samplerate;
    sound.format = info.format;
    std::vector<float> interleaved(static_cast<std::size_t>(info.frames * info.channels));
    sf_readf_float(file, interleaved.data(), info.frames);
    sf_close(file);
    sound.channels.assign(static_cast<std::size_t>(info.channels), {});
    for (std::size_t i = 0; i < interleaved.size(); ++i)
    {
        sound.channels[i % static_cast<std::size_t>(info.channels)].push_back(interleaved[i]);
    }
    return sound;
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Channels processInProcess(const Channels& input, int sampleRate, int blockSize,
                          const std::vector<std::pair<int, float>>& settings, int tailFrames)
{
    TestHost host;
    PluginInstance instance(entryFor(EntrySource::Library));
    EXPECT_TRUE(instance);
    if (!instance)
    {
        return {};
    }
    instance.dispatch(effOpen);
    instance.dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
    instance.dispatch(effSetBlockSize, 0, blockSize);
    for (const auto& [index, value] : settings)
    {
        instance->setParameter(instance.get(), index, value);
    }
    instance.dispatch(effMainsChanged, 0, 1);

    const std::size_t inputFrames = input.front().size();
    const std::size_t total = inputFrames + static_cast<std::size_t>(tailFrames);
    Channels output(2, std::vector<float>(total));
    std::thread worker(
        [&]
        {
            std::vector<float> left(static_cast<std::size_t>(blockSize));
            std::vector<float> right(static_cast<std::size_t>(blockSize));
            std::vector<float> outLeft(static_cast<std::size_t>(blockSize));
            std::vector<float> outRight(static_cast<std::size_t>(blockSize));
            float* inputs[2] = {left.data(), right.data()};
            float* outputs[2] = {outLeft.data(), outRight.data()};
            for (std::size_t start = 0; start < total; start += static_cast<std::size_t>(blockSize))
            {
                const std::size_t count = std::min(static_cast<std::size_t>(blockSize), total - start);
                for (std::size_t n = 0; n < count; ++n)
                {
                    const std::size_t frame = start + n;
                    left[n] = frame < inputFrames ? input.front()[frame] : 0.0f;
                    right[n] = frame < inputFrames ? input.back()[frame] : 0.0f;
                }
                instance->processReplacing(instance.get(), inputs, outputs, static_cast<VstInt32>(count));
                std::copy_n(outLeft.begin(), count, output[0].begin() + static_cast<std::ptrdiff_t>(start));
                std::copy_n(outRight.begin(), count, output[1].begin() + static_cast<std::ptrdiff_t>(start));
            }
        });
    worker.join();
    instance.dispatch(effMainsChanged, 0, 0);
    return output;
}
