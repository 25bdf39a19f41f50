// Sound files, the dummy-driver sound table, and the disk-driver probe with its measures.
#include "sound_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <sstream>

#include "files/pack_source.h"
#include "sound/sound_device.h"

namespace {

constexpr int kBytesPerFrame = 4;
// What a mark may lag behind the sound already mixed: the disk driver's file buffer and one mixer chunk.
constexpr long kSettleBytes = 8192;
// Lets the disk driver run about twice as fast as real time (a 256-sample chunk lasts 11.6 ms).
constexpr const char* kDiskDelayMs = "5";

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

std::string MakeTone(const TemporaryDirectory& directory, const std::string& name, const std::string& format,
                     double seconds, int frequency, double amplitude) {
    const std::string path = directory.File(name);
    std::ostringstream command;
    command << "sox -n " << format << " " << Quoted(path) << " synth " << seconds << " sine " << frequency
            << " vol " << amplitude << " 2>&1";
    const int status = system(command.str().c_str());
    EXPECT_EQ(status, 0) << command.str();
    return path;
}

OpenedSound::OpenedSound() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    CreatePackSources();
    CreateSoundDevice();
    CreateSoundTable();
}

OpenedSound::~OpenedSound() {
    ReleaseMusic();
    ReleaseSoundTable();
    ReleaseSoundDevice();
    ReleasePackSources();
}

std::vector<std::string> ProbeRun::Results(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.compare(0, prefix.size() + 1, prefix + " ") == 0) found.push_back(line.substr(prefix.size() + 1));
    }
    return found;
}

Loudness ProbeRun::Measure(const std::string& label) const {
    Loudness loudness;
    const auto from = marks.find(label + ".from");
    const auto to = marks.find(label + ".to");
    if (from == marks.end() || to == marks.end()) {
        ADD_FAILURE() << "no marks for " << label;
        return loudness;
    }
    const long first = (from->second + kSettleBytes) / kBytesPerFrame;
    const long last = std::min<long>(to->second, static_cast<long>(audio.size())) / kBytesPerFrame;
    if (last - first < 1000) {
        ADD_FAILURE() << "stretch " << label << " too short: frames " << first << " to " << last;
        return loudness;
    }
    double left_sum = 0, right_sum = 0;
    int crossings = 0;
    int side = 0;  // sign of the last sample that cleared the hysteresis band
    for (long frame = first; frame < last; ++frame) {
        int16_t left, right;
        memcpy(&left, audio.data() + frame * kBytesPerFrame, 2);
        memcpy(&right, audio.data() + frame * kBytesPerFrame + 2, 2);
        left_sum += static_cast<double>(left) * left;
        right_sum += static_cast<double>(right) * right;
        // A band around zero keeps coding noise on a quiet signal from counting as crossings.
        const int now = left > 512 ? 1 : left < -512 ? -1 : 0;
        if (now != 0 && side != 0 && now != side) ++crossings;
        if (now != 0) side = now;
    }
    loudness.frames = static_cast<size_t>(last - first);
    loudness.left_rms = std::sqrt(left_sum / loudness.frames);
    loudness.right_rms = std::sqrt(right_sum / loudness.frames);
    loudness.frequency = crossings / 2.0 / (static_cast<double>(loudness.frames) / kAudioRate);
    return loudness;
}

std::vector<std::string> Stretch(const std::string& label, int milliseconds) {
    return {"mark " + label + ".from", "wait " + std::to_string(milliseconds), "mark " + label + ".to"};
}

ProbeRun RunSoundProbe(const TemporaryDirectory& directory, const std::vector<std::string>& script,
                       const std::string& driver, const std::string& program,
                       const std::vector<std::string>& environment) {
    const std::string script_path = directory.File("probe_script.txt");
    const std::string audio_path = directory.File("probe_audio.raw");
    std::string text;
    for (const std::string& line : script) text += line + "\n";
    WriteWholeFile(script_path, text);
    remove(audio_path.c_str());
    ProbeRun run;
    std::vector<std::string> full_environment = {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=" + driver,
                                                 "SDL_DISKAUDIOFILE=" + audio_path,
                                                 std::string("SDL_DISKAUDIODELAY=") + kDiskDelayMs};
    full_environment.insert(full_environment.end(), environment.begin(), environment.end());
    run.process = RunProgram({program.empty() ? TestProgramPath("sound_probe") : program, script_path},
                             full_environment);
    run.lines = SplitLines(run.process.output);
    for (const std::string& line : run.lines) {
        std::istringstream words(line);
        std::string word, label;
        long bytes = 0;
        if (words >> word >> label >> bytes && word == "mark") run.marks[label] = bytes;
    }
    run.audio = ReadWholeFile(audio_path);
    return run;
}

double SineRms(double amplitude) { return amplitude * 32767.0 / std::sqrt(2.0); }
