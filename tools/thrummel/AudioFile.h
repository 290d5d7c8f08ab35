#pragma once

#include "tools/thrummel/Arguments.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class Container
{
    kWav,
    kAiff,
    kFlac,
};

// Samples held one vector per channel, all of the same length.
struct AudioData
{
    double sampleRate = 44100.0;
    std::vector<std::vector<float>> channels;

    std::size_t frameCount() const { return channels.empty() ? 0 : channels.front().size(); }
};

struct AudioFile
{
    AudioData audio;
    Container container = Container::kWav;
};

// Reads a WAV, AIFF or FLAC file of one or two channels. Throws ToolError: kInput when the
// file is missing or cannot be read, kFormat when its format is not one of these or it has
// more than two channels.
AudioFile readAudioFile(const std::string& path);

// The container that a file name's extension asks for, if it names one.
std::optional<Container> containerForPath(const std::string& path);

std::string describe(Container container, Encoding encoding);

// The encoding a container gets when none was asked for.
Encoding resolveEncoding(Container container, Encoding requested);

// Writes the samples to a temporary file next to path and renames it to path when it is
// complete, so that path is either replaced whole or left as it was. Throws ToolError
// (kOutput, or kFormat for an encoding the container cannot hold). progress, if given, hears
// the number of frames written so far.
void writeAudioFile(const std::string& path, const AudioData& audio, Container container, Encoding encoding,
                    const std::function<void(std::size_t)>& progress = {});
