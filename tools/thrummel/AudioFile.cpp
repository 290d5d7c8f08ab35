#include "tools/thrummel/AudioFile.h"

#include "tools/thrummel/ToolError.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sndfile.h>
#include <system_error>

namespace
{
constexpr int kMaxChannels = 2;
// Frames moved through libsndfile per call: keeps the interleaved scratch buffer small.
constexpr sf_count_t kChunkFrames = 4096;

int majorFormat(Container container)
{
    switch (container)
    {
    case Container::kAiff:
        return SF_FORMAT_AIFF;
    case Container::kFlac:
        return SF_FORMAT_FLAC;
    case Container::kWav:
    default:
        return SF_FORMAT_WAV;
    }
}

int subFormat(Encoding encoding)
{
    switch (encoding)
    {
    case Encoding::kPcm16:
        return SF_FORMAT_PCM_16;
    case Encoding::kPcm24:
        return SF_FORMAT_PCM_24;
    case Encoding::kFloat32:
    case Encoding::kDefault:
    default:
        return SF_FORMAT_FLOAT;
    }
}

// The first bytes of WAV (little- and big-endian, and the 64-bit form), AIFF and FLAC files,
// and of an ID3 tag, which libsndfile skips to find the container behind it.
bool startsLikeSupportedContainer(const std::string& start)
{
    for (const char* magic : {"RIFF", "RIFX", "RF64", "FORM", "fLaC", "ID3"})
    {
        if (start.compare(0, std::strlen(magic), magic) == 0)
        {
            return true;
        }
    }
    return false;
}

// Bytes one sample takes in the file for the encodings of fixed size; 0 for the compressed
// ones, whose length cannot be checked against the header.
int bytesPerSample(int format)
{
    switch (format & SF_FORMAT_SUBMASK)
    {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
        return 1;
    case SF_FORMAT_PCM_16:
        return 2;
    case SF_FORMAT_PCM_24:
        return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        return 4;
    case SF_FORMAT_DOUBLE:
        return 8;
    default:
        return 0;
    }
}

// The frame count the file's header announces, or 0 where it leaves the length open.
// libsndfile cuts its own count of WAV and AIFF frames to what the file holds, so for those
// the sound chunk's size as written in the header is asked for; FLAC's count is the stream
// header's. Writers that stream leave 0 or all ones in a chunk size: length unknown.
std::uint64_t announcedFrames(SNDFILE* file, const SF_INFO& info, Container container)
{
    std::uint64_t frames = 0;
    if (info.frames > 0 && info.frames != SF_COUNT_MAX)
    {
        frames = static_cast<std::uint64_t>(info.frames);
    }
    const int sampleBytes = bytesPerSample(info.format);
    if (container == Container::kFlac || sampleBytes == 0)
    {
        return frames;
    }
    const bool isAiff = container == Container::kAiff;
    SF_CHUNK_INFO wanted{};
    std::strcpy(wanted.id, isAiff ? "SSND" : "data");
    wanted.id_size = 4;
    SF_CHUNK_ITERATOR* chunk = sf_get_chunk_iterator(file, &wanted);
    SF_CHUNK_INFO found{};
    if (!chunk || sf_get_chunk_size(chunk, &found) != SF_ERR_NO_ERROR || found.datalen == 0 ||
        found.datalen == 0xFFFFFFFFu)
    {
        return frames;
    }
    std::uint64_t soundBytes = found.datalen;
    if (isAiff)
    {
        // The sound chunk starts with two 32-bit big-endian numbers, the offset of the first
        // sample and a block size, and the sound starts that offset after them.
        unsigned char header[8] = {};
        SF_CHUNK_INFO start{};
        start.datalen = sizeof(header);
        start.data = header;
        if (soundBytes < sizeof(header) || sf_get_chunk_data(chunk, &start) != SF_ERR_NO_ERROR)
        {
            return frames;
        }
        const std::uint64_t offset = (std::uint64_t{header[0]} << 24) | (std::uint64_t{header[1]} << 16) |
                                     (std::uint64_t{header[2]} << 8) | std::uint64_t{header[3]};
        soundBytes = soundBytes - sizeof(header) > offset ? soundBytes - sizeof(header) - offset : 0;
    }
    const auto frameBytes =
        static_cast<std::uint64_t>(sampleBytes) * static_cast<std::uint64_t>(info.channels);
    return std::max(frames, soundBytes / frameBytes);
}

// Closes the libsndfile handle however the function that opened it ends.
struct SndfileCloser
{
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndfileHandle = std::unique_ptr<SNDFILE, SndfileCloser>;
} // namespace

AudioFile readAudioFile(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::exists(path, error))
    {
        throw ToolError(ExitCode::kInput, "input file " + path + " does not exist");
    }
    if (fs::is_directory(path, error))
    {
        throw ToolError(ExitCode::kInput, "input " + path + " is a folder, not an audio file");
    }
    if (fs::is_regular_file(path, error) && fs::file_size(path, error) == 0 && !error)
    {
        throw ToolError(ExitCode::kInput, "input file " + path + " is empty");
    }
    std::ifstream stream(path, std::ios::binary);
    if (!stream.good())
    {
        throw ToolError(ExitCode::kInput, "input file " + path + " cannot be read");
    }
    // Only files that start like the three containers go on to libsndfile, which would
    // otherwise try every format it knows on them; its MPEG decoder, for one, prints
    // warnings of its own on stderr for bytes that merely look like a frame.
    char start[4] = {};
    stream.read(start, sizeof(start));
    if (!startsLikeSupportedContainer(std::string(start, static_cast<std::size_t>(stream.gcount()))))
    {
        throw ToolError(ExitCode::kFormat,
                        "input file " + path + " is not in a supported format (WAV, AIFF or FLAC)");
    }

    // The file exists and can be read, so libsndfile refusing it means a format it does not
    // know (or a damaged file).
    SF_INFO info{};
    SndfileHandle file(sf_open(path.c_str(), SFM_READ, &info));
    if (!file)
    {
        throw ToolError(ExitCode::kFormat,
                        "input file " + path +
                            " is not in a supported format (WAV, AIFF or FLAC): " + sf_strerror(nullptr));
    }

    AudioFile result;
    switch (info.format & SF_FORMAT_TYPEMASK)
    {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
        result.container = Container::kWav;
        break;
    case SF_FORMAT_AIFF:
        result.container = Container::kAiff;
        break;
    case SF_FORMAT_FLAC:
        result.container = Container::kFlac;
        break;
    default:
        throw ToolError(ExitCode::kFormat,
                        "input file " + path + " is not in a supported format (WAV, AIFF or FLAC)");
    }
    if (info.channels < 1 || info.channels > kMaxChannels)
    {
        throw ToolError(ExitCode::kFormat, "input file " + path + " has " + std::to_string(info.channels) +
                                               " channels; thrummel takes mono or stereo");
    }

    result.audio.sampleRate = info.samplerate;
    result.audio.channels.assign(static_cast<std::size_t>(info.channels), {});
    std::vector<float> interleaved(static_cast<std::size_t>(kChunkFrames * info.channels));
    for (;;)
    {
        const sf_count_t frames = sf_readf_float(file.get(), interleaved.data(), kChunkFrames);
        if (frames <= 0)
        {
            break;
        }
        for (sf_count_t frame = 0; frame < frames; ++frame)
        {
            for (int channel = 0; channel < info.channels; ++channel)
            {
                result.audio.channels[static_cast<std::size_t>(channel)].push_back(
                    interleaved[static_cast<std::size_t>(frame * info.channels + channel)]);
            }
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR)
    {
        throw ToolError(ExitCode::kInput,
                        "input file " + path + " cannot be read: " + sf_strerror(file.get()));
    }
    // A file cut short (an interrupted copy or download) still opens and reads as far as it
    // goes; rendering it would pass a shortened output off as the whole piece.
    const auto framesRead = static_cast<std::uint64_t>(result.audio.frameCount());
    const std::uint64_t announced = announcedFrames(file.get(), info, result.container);
    if (announced > framesRead)
    {
        throw ToolError(
            ExitCode::kInput,
            "input file " + path + " is truncated or its header is damaged: the header announces " +
                std::to_string(announced) + " frames, the file holds " + std::to_string(framesRead));
    }
    return result;
}

std::optional<Container> containerForPath(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".wav")
    {
        return Container::kWav;
    }
    if (extension == ".aif" || extension == ".aiff")
    {
        return Container::kAiff;
    }
    if (extension == ".flac")
    {
        return Container::kFlac;
    }
    return std::nullopt;
}

Encoding resolveEncoding(Container container, Encoding requested)
{
    if (requested != Encoding::kDefault)
    {
        return requested;
    }
    return container == Container::kFlac ? Encoding::kPcm24 : Encoding::kFloat32;
}

std::string describe(Container container, Encoding encoding)
{
    const char* containerName = container == Container::kAiff   ? "AIFF"
                                : container == Container::kFlac ? "FLAC"
                                                                : "WAV";
    const char* encodingName = encoding == Encoding::kPcm16   ? "16-bit integer"
                               : encoding == Encoding::kPcm24 ? "24-bit integer"
                                                              : "32-bit float";
    return std::string(containerName) + " " + encodingName;
}

void writeAudioFile(const std::string& path, const AudioData& audio, Container container, Encoding encoding,
                    const std::function<void(std::size_t)>& progress)
{
    SF_INFO info{};
    info.samplerate = static_cast<int>(audio.sampleRate);
    info.channels = static_cast<int>(audio.channels.size());
    info.format = majorFormat(container) | subFormat(resolveEncoding(container, encoding));
    if (!sf_format_check(&info))
    {
        throw ToolError(ExitCode::kFormat, describe(container, resolveEncoding(container, encoding)) +
                                               " is not a format that can be written");
    }

    // The temporary file sits in the output's folder, so the rename never crosses file systems.
    const std::string temporary = path + ".thrummel-partial";
    auto fail = [&](const std::string& reason)
    {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw ToolError(ExitCode::kOutput, "cannot write " + path + ": " + reason);
    };

    {
        SndfileHandle file(sf_open(temporary.c_str(), SFM_WRITE, &info));
        if (!file)
        {
            fail(sf_strerror(nullptr));
        }
        // Integer encodings clip rather than wrap samples beyond full scale.
        sf_command(file.get(), SFC_SET_CLIPPING, nullptr, SF_TRUE);
        // The peak chunk of float files carries the time of writing, which would make two
        // renders of the same input differ.
        sf_command(file.get(), SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);

        const std::size_t frames = audio.frameCount();
        const std::size_t channels = audio.channels.size();
        std::vector<float> interleaved(static_cast<std::size_t>(kChunkFrames) * channels);
        for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(kChunkFrames))
        {
            const std::size_t count = std::min(frames - start, static_cast<std::size_t>(kChunkFrames));
            for (std::size_t frame = 0; frame < count; ++frame)
            {
                for (std::size_t channel = 0; channel < channels; ++channel)
                {
                    interleaved[frame * channels + channel] = audio.channels[channel][start + frame];
                }
            }
            if (sf_writef_float(file.get(), interleaved.data(), static_cast<sf_count_t>(count)) !=
                static_cast<sf_count_t>(count))
            {
                const std::string reason = sf_strerror(file.get());
                file.reset();
                fail(reason);
            }
            if (progress)
            {
                progress(start + count);
            }
        }
        if (sf_close(file.release()) != 0)
        {
            fail("the file could not be completed");
        }
    }

    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error)
    {
        fail(error.message());
    }
}
