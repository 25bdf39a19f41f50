// What the runtime really plays: the probe program runs the sound commands on SDL's disk audio driver, and
// the tests measure the sound written between marks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "sound/sound_device.h"
#include "sound_test_support.h"

namespace {

constexpr double kFullLevel = 11585.0;  // RMS of a sine at half of full scale, the tones' amplitude
constexpr double kSilence = 1.0;

void Append(std::vector<std::string>& script, const std::vector<std::string>& lines) {
    script.insert(script.end(), lines.begin(), lines.end());
}

void ExpectLevel(const Loudness& loudness, double expected_rms, const std::string& what) {
    EXPECT_NEAR(loudness.left_rms, expected_rms, expected_rms * 0.1 + kSilence) << what;
    EXPECT_NEAR(loudness.right_rms, loudness.left_rms, loudness.left_rms * 0.02 + kSilence) << what;
}

void ExpectSilence(const Loudness& loudness, const std::string& what) {
    EXPECT_LT(loudness.left_rms, kSilence) << what;
    EXPECT_LT(loudness.right_rms, kSilence) << what;
}

TEST(SoundOutput, EffectsOfEveryFormatSoundAtTheirPitchUntilStopped) {
    ASSERT_NEAR(SineRms(0.5), kFullLevel, 1.0);
    struct Format {
        const char* name;
        const char* sox_format;
    };
    // The device runs at 22050 Hz stereo: every other rate, width and coding is converted at load time. The
    // mixer converts rates only by factors of two (an 8000 Hz effect plays too high), so the rates here are
    // the ones effects should use.
    const std::vector<Format> formats = {
        {"u8_11025.wav", "-r 11025 -b 8 -c 1 -e unsigned"}, {"s16_11025.wav", "-r 11025 -b 16 -c 1"},
        {"s16_22050_stereo.wav", "-r 22050 -b 16 -c 2"},    {"s16_44100_stereo.wav", "-r 44100 -b 16 -c 2"},
        {"ima_22050.wav", "-r 22050 -c 1 -e ima-adpcm"},     {"ms_22050.wav", "-r 22050 -c 1 -e ms-adpcm"},
        {"vorbis_22050.ogg", "-r 22050 -c 1"},
    };
    TemporaryDirectory directory;
    std::vector<std::string> script;
    for (size_t i = 0; i < formats.size(); ++i) {
        const std::string path = MakeTone(directory, formats[i].name, formats[i].sox_format, 1.5, 440);
        const std::string number = std::to_string(i + 1);
        script.push_back("load " + path + " " + number);
        Append(script, Stretch("before" + number, 300));
        script.push_back("play " + number + " 0 1");
        Append(script, Stretch("playing" + number, 400));
        script.push_back("playing");
        script.push_back("stopall");
        script.push_back("playing");
        Append(script, Stretch("stopped" + number, 300));
    }
    const ProbeRun run = RunSoundProbe(directory, script);
    ASSERT_EQ(run.process.exit_status, 0) << run.process.output << run.process.errors;
    const std::vector<std::string> entries = run.Results("entry");
    const std::vector<std::string> handles = run.Results("handle");
    const std::vector<std::string> playing = run.Results("playing");
    ASSERT_EQ(entries.size(), formats.size());
    ASSERT_EQ(handles.size(), formats.size());
    ASSERT_EQ(playing.size(), 2 * formats.size());
    for (size_t i = 0; i < formats.size(); ++i) {
        const std::string number = std::to_string(i + 1);
        const std::string what = formats[i].name;
        EXPECT_EQ(entries[i], number + " loaded") << what;
        // Nothing else plays, so the effect takes channel 0.
        EXPECT_EQ(handles[i], std::to_string((i + 1) * 256)) << what;
        EXPECT_EQ(playing[2 * i], "1") << what;
        EXPECT_EQ(playing[2 * i + 1], "0") << what;
        ExpectSilence(run.Measure("before" + number), what + " before playing");
        const Loudness sounding = run.Measure("playing" + number);
        ExpectLevel(sounding, kFullLevel, what + " playing");
        EXPECT_NEAR(sounding.frequency, 440.0, 440.0 * 0.03) << what;
        ExpectSilence(run.Measure("stopped" + number), what + " after StopAllSounds");
    }
}

TEST(SoundOutput, VolumeScalesTheEffectAndPanChangesNothing) {
    struct Play {
        const char* pan;
        const char* volume;
        double level;  // fraction of full level
    };
    const std::vector<Play> plays = {
        {"0", "1", 1.0},    {"-1", "1", 1.0},  {"1", "1", 1.0},   {"7.5", "1", 1.0},
        {"0", "0.5", 0.5},  {"0", "0.25", 0.25}, {"0", "2", 1.0}, {"0", "-1", 0.0},
    };
    TemporaryDirectory directory;
    const std::string tone = MakeTone(directory, "tone.wav", "-r 22050 -b 16 -c 1", 1.5, 440);
    std::vector<std::string> script = {"load " + tone + " 9"};
    for (size_t i = 0; i < plays.size(); ++i) {
        script.push_back(std::string("play 9 ") + plays[i].pan + " " + plays[i].volume);
        Append(script, Stretch("play" + std::to_string(i), 350));
        script.push_back("playing");
        script.push_back("stopall");
    }
    const ProbeRun run = RunSoundProbe(directory, script);
    ASSERT_EQ(run.process.exit_status, 0) << run.process.output << run.process.errors;
    const std::vector<std::string> playing = run.Results("playing");
    ASSERT_EQ(playing.size(), plays.size());
    for (size_t i = 0; i < plays.size(); ++i) {
        const std::string what = std::string("pan ") + plays[i].pan + " volume " + plays[i].volume;
        // A silent play still occupies its channel.
        EXPECT_EQ(playing[i], "1") << what;
        const Loudness loudness = run.Measure("play" + std::to_string(i));
        if (plays[i].level == 0.0) {
            ExpectSilence(loudness, what);
        } else {
            ExpectLevel(loudness, kFullLevel * plays[i].level, what);
        }
    }
}

// Music of 0.6 s: heard once, then silent; heard again and again when looping; at the volume last set.
struct MusicFormat {
    const char* name;
    const char* sox_format;
};

void PrintTo(const MusicFormat& format, std::ostream* out) { *out << format.name; }

class MusicOutput : public ::testing::TestWithParam<MusicFormat> {};

TEST_P(MusicOutput, PlaysOnceOrLoopingAtTheVolumeSet) {
    TemporaryDirectory directory;
    const std::string piece = MakeTone(directory, GetParam().name, GetParam().sox_format, 0.6, 330);
    std::vector<std::string> script;
    Append(script, Stretch("quiet", 300));
    script.push_back("music " + piece + " 0");
    // PLAYMUSIC plays at full volume although start-up set music to half.
    Append(script, Stretch("once", 350));
    script.push_back("wait 500");
    script.push_back("musicplaying");
    Append(script, Stretch("ended", 300));
    script.push_back("music " + piece + " 1");
    script.push_back("wait 1300");
    script.push_back("musicplaying");
    Append(script, Stretch("looping", 300));
    script.push_back("volume 0.5");
    Append(script, Stretch("half", 300));
    script.push_back("volume 0.25");
    Append(script, Stretch("quarter", 300));
    script.push_back("volume 0");
    Append(script, Stretch("muted", 300));
    script.push_back("volume 1");
    script.push_back("stopmusic");
    script.push_back("musicplaying");
    Append(script, Stretch("stopped", 300));
    const ProbeRun run = RunSoundProbe(directory, script);
    ASSERT_EQ(run.process.exit_status, 0) << run.process.output << run.process.errors;
    EXPECT_EQ(run.process.output.find("PLAYMUSIC:"), std::string::npos) << run.process.output;
    EXPECT_EQ(run.Results("musicplaying"), (std::vector<std::string>{"0", "1", "0"}));
    ExpectSilence(run.Measure("quiet"), "before PLAYMUSIC");
    const Loudness once = run.Measure("once");
    ExpectLevel(once, kFullLevel, "played once");
    EXPECT_NEAR(once.frequency, 330.0, 330.0 * 0.03);
    ExpectSilence(run.Measure("ended"), "after the piece ended");
    ExpectLevel(run.Measure("looping"), kFullLevel, "looping, after two rounds");
    ExpectLevel(run.Measure("half"), kFullLevel / 2, "MusicVolume(0.5)");
    ExpectLevel(run.Measure("quarter"), kFullLevel / 4, "MusicVolume(0.25)");
    ExpectSilence(run.Measure("muted"), "MusicVolume(0)");
    ExpectSilence(run.Measure("stopped"), "after StopMusic");
}

INSTANTIATE_TEST_SUITE_P(OggAndWav, MusicOutput,
                         ::testing::Values(MusicFormat{"piece.ogg", "-r 22050 -c 1"},
                                           MusicFormat{"piece.wav", "-r 44100 -b 16 -c 2"}),
                         [](const ::testing::TestParamInfo<MusicFormat>& info) {
                             return std::string(info.param.name).substr(6);
                         });

TEST(SoundOutput, WithoutAnAudioDeviceStartUpGoesOnAndEverySoundCommandFailsQuietly) {
    TemporaryDirectory directory;
    const std::string tone = MakeTone(directory, "tone.wav", "-r 22050 -b 16 -c 1", 0.5, 440);
    const std::string piece = MakeTone(directory, "piece.ogg", "-r 22050 -c 1", 0.5, 330);
    const std::string wav_piece = MakeTone(directory, "piece.wav", "-r 22050 -b 16 -c 1", 0.5, 330);
    const ProbeRun run = RunSoundProbe(directory,
                                       {"load " + tone + " 1", "play 1 0 1", "playing", "stopall", "music " + piece + " 1",
                                        "musicplaying", "volume 0.5", "stopmusic", "musicplaying",
                                        "mark wav", "music " + wav_piece + " 0"},
                                       "no_such_audio_driver");
    ASSERT_EQ(run.process.exit_status, 0) << run.process.output << run.process.errors;
    // The message comes right after start-up announces the sound stage, and start-up carries on.
    const std::vector<std::string>& lines = run.lines;
    const auto sound_stage = std::find(lines.begin(), lines.end(), "Init Sound");
    ASSERT_NE(sound_stage, lines.end()) << run.process.output;
    ASSERT_LT(sound_stage + 2, lines.end());
    EXPECT_EQ(*(sound_stage + 1), "Can't init audio");
    EXPECT_EQ(*(sound_stage + 2), "Init Window");
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Init Finalized"), lines.end());
    EXPECT_EQ(run.Results("entry"), std::vector<std::string>{"1 empty"});
    EXPECT_EQ(run.Results("handle"), std::vector<std::string>{"-1"});
    EXPECT_EQ(run.Results("playing"), std::vector<std::string>{"0"});
    EXPECT_EQ(run.Results("musicplaying"), (std::vector<std::string>{"0", "0"}));
    // Ogg music loads and stays silent; WAV music cannot be loaded without a device, which the mixer says.
    const auto wav_mark = std::find(lines.begin(), lines.end(), "mark wav -1");
    ASSERT_NE(wav_mark, lines.end()) << run.process.output;
    EXPECT_EQ(std::find(lines.begin(), wav_mark, "PLAYMUSIC:"), wav_mark) << run.process.output;
    EXPECT_EQ(std::vector<std::string>(wav_mark + 1, lines.end()),
              (std::vector<std::string>{"PLAYMUSIC:", "WAV music output not started"}));
}

TEST(SoundOutput, WithAnAudioDeviceStartUpOpensItSilently) {
    TemporaryDirectory directory;
    const ProbeRun run = RunSoundProbe(directory, Stretch("idle", 300));
    ASSERT_EQ(run.process.exit_status, 0) << run.process.output << run.process.errors;
    EXPECT_EQ(run.process.output.find("Can't init audio"), std::string::npos) << run.process.output;
    ExpectSilence(run.Measure("idle"), "nothing played");
    // Shutdown closed the device, so the driver's file holds whole stereo frames.
    EXPECT_EQ(run.audio.size() % 4, 0u);
    EXPECT_GE(run.audio.size(), static_cast<size_t>(run.marks.at("idle.to")));
}

}  // namespace

namespace {

// A sound and a piece of music that exist only in the pack appended to the program: they are extracted to
// the temporary folder, played, and their temporary files are gone when the program has ended.
TEST(SoundOutput, EffectAndMusicFromTheAppendedPackPlayAndLeaveNoTemporaryFiles) {
    TemporaryDirectory directory;
    TemporaryDirectory temporary_folder;
    TemporaryDirectory game;
    const std::string effect = MakeTone(directory, "boom.wav", "-r 22050 -b 16 -c 1", 1.5, 440);
    const std::string piece = MakeTone(directory, "song.ogg", "-r 22050 -c 2", 2.0, 660);
    const std::string program = game.File("sound_probe");
    CopyFileTo(TestProgramPath("sound_probe"), program);
    const ProcessResult packed = RunProgram(
        {std::string(KORVANE_TOOLS_DIR) + "/korvane-pack", "add", program, effect, piece});
    ASSERT_EQ(packed.exit_status, 0) << packed.output << packed.errors;

    std::vector<std::string> script = {"load boom.wav 1"};
    Append(script, Stretch("before", 300));
    script.push_back("play 1 0 1");
    Append(script, Stretch("effect", 400));
    script.push_back("stopall");
    script.push_back("music song.ogg 0");
    script.push_back("volume 1");
    Append(script, Stretch("music", 400));
    script.push_back("musicplaying");
    // Relative names are found beside the program: start-up makes its folder the working directory, and
    // the files are not there.
    const ProbeRun run = RunSoundProbe(directory, script, "disk", program, {"TMPDIR=" + temporary_folder.path()});
    ASSERT_EQ(run.process.exit_status, 0) << run.process.output << run.process.errors;
    ASSERT_EQ(run.Results("entry"), std::vector<std::string>{"1 loaded"}) << run.process.output;
    ExpectSilence(run.Measure("before"), "before playing");
    const Loudness effect_sound = run.Measure("effect");
    ExpectLevel(effect_sound, kFullLevel, "effect from the pack");
    EXPECT_NEAR(effect_sound.frequency, 440.0, 440.0 * 0.03);
    EXPECT_EQ(run.Results("musicplaying"), std::vector<std::string>{"1"});
    const Loudness music_sound = run.Measure("music");
    EXPECT_GT(music_sound.left_rms, kFullLevel * 0.5) << "music from the pack";
    EXPECT_NEAR(music_sound.frequency, 660.0, 660.0 * 0.03);
    // Extraction went to the temporary folder, and nothing is left there.
    EXPECT_EQ(RunProgram({"/bin/sh", "-c", "ls -A '" + temporary_folder.path() + "'"}).output, "");
}

}  // namespace
