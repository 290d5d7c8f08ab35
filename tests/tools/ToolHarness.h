#pragma once

#include <string>
#include <utility>
#include <vector>

// What one run of the thrummel binary did.
struct ToolRun
{
    int exitCode = -1;
    std::string out; // stdout
    std::string err; // stderr
};

// Runs the built thrummel with these arguments (no shell interpretation of them). A
// fileSizeLimit of 0 or more caps, in bytes, every file the run writes, its captured stdout
// and stderr included, the way a full disk would stop it.
ToolRun runTool(const std::vector<std::string>& arguments, long fileSizeLimit = -1);

std::string toolFixture(const std::string& name); // a fixture plug-in library by kind

// A fresh folder for one test's files, removed with everything in it when the test ends.
class ScratchFolder
{
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path(const std::string& name) const { return folder + "/" + name; }
    std::vector<std::string> entries() const; // file names, sorted

private:
    std::string folder;
};

// Samples one vector per channel.
using Channels = std::vector<std::vector<float>>;

// A deterministic test signal: decaying tones with a little seeded noise, different per
// channel, within ±0.9.
Channels makeSignal(int channelCount, int frames, unsigned seed);

// Writes with libsndfile; format is a libsndfile major|subtype combination.
void writeSound(const std::string& path, const Channels& channels, int sampleRate, int format);

struct SoundFile
{
    Channels channels;
    int sampleRate = 0;
    int format = 0;
};
SoundFile readSound(const std::string& path);

std::string fileBytes(const std::string& path);

// The same processing as thrummel's, done here: the built plug-in library loaded into this
// process, opened with the given rate and block size, the settings applied by index, then
// the input fed block by block on a fresh thread (a mono input feeds both inputs), followed
// by tailFrames of silence.
Channels processInProcess(const Channels& input, int sampleRate, int blockSize,
                          const std::vector<std::pair<int, float>>& settings, int tailFrames);
