// The sound commands' own rules, checked against the mixer's state in this process (SDL's dummy driver plays
// in real time into nothing): handles, volumes to the bit, sound numbers, bad files, the music volume.
#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "files/pack_source.h"
#include "frame/finish.h"
#include "sound/movie.h"
#include "sound/music.h"
#include "sound/sound_device.h"
#include "sound/sound_effects.h"
#include "sound_test_support.h"

namespace {

// Files shared by every test here: made once, read only.
class SoundFiles {
public:
    SoundFiles() {
        tone = MakeTone(directory, "tone.wav", "-r 22050 -b 16 -c 1", 2.0, 440);
        other_tone = MakeTone(directory, "other.wav", "-r 11025 -b 8 -c 1 -e unsigned", 2.0, 660);
        piece = MakeTone(directory, "piece.ogg", "-r 22050 -c 1", 2.0, 330);
        const std::string tone_bytes = ReadWholeFile(tone);
        const std::string piece_bytes = ReadWholeFile(piece);
        WriteWholeFile(directory.File("empty.wav"), "");
        WriteWholeFile(directory.File("header_cut.wav"), tone_bytes.substr(0, 30));
        WriteWholeFile(directory.File("data_cut.wav"), tone_bytes.substr(0, tone_bytes.size() / 3));
        std::string noise(4096, '\0');
        for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 2654435761u) >> 13);
        WriteWholeFile(directory.File("noise.wav"), noise);
        WriteWholeFile(directory.File("riff_noise.wav"), "RIFF\x10\0\0\0WAVEfmt " + noise);
        WriteWholeFile(directory.File("noise.ogg"), noise);
        WriteWholeFile(directory.File("piece_cut.ogg"), piece_bytes.substr(0, 100));
    }
    TemporaryDirectory directory;
    std::string tone, other_tone, piece;
};

const SoundFiles& Files() {
    static const SoundFiles* files = new SoundFiles();
    return *files;
}

BasicString Text(const std::string& text) { return BasicString(text.c_str()); }

class SoundCommands : public ::testing::Test {
protected:
    void SetUp() override {
        Files();
        sound_ = std::make_unique<OpenedSound>();
    }
    void TearDown() override { sound_.reset(); }

    std::unique_ptr<OpenedSound> sound_;
};

TEST_F(SoundCommands, DeviceOpensAtTheRuntimesFormatWithFullChannelsAndHalfMusic) {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_EQ(Mix_QuerySpec(&rate, &format, &channels), 1);
    EXPECT_EQ(rate, 22050);
    EXPECT_EQ(format, 0x8010);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(Mix_Volume(-1, -1), 128);
    EXPECT_EQ(Mix_VolumeMusic(-1), 64);
    ASSERT_NE(g_sound_table, nullptr);
    for (int32_t i = 0; i < kSoundTableSize; ++i) ASSERT_EQ(g_sound_table[i], nullptr) << i;
    EXPECT_EQ(g_music, nullptr);
    EXPECT_EQ(g_music_volume, -1.0f);
}

TEST_F(SoundCommands, PlayVolumeBecomesTheChunkVolumeInWholeHundredths) {
    struct Case {
        float volume;
        int chunk_volume;
    };
    const float infinity = std::numeric_limits<float>::infinity();
    const Case cases[] = {
        {0.5f, 64},   {1.0f, 128},       {2.0f, 128},       {-0.5f, 0},       {0.0f, 0},
        {0.3f, 38},   {0.7f, 88},        {0.01f, 0},        {0.999f, 126},    {0.02f, 1},
        {infinity, 128}, {-infinity, 0}, {std::nanf(""), 0},
    };
    LoadSound(Text(Files().tone), 3, 0);
    ASSERT_NE(g_sound_table[3], nullptr);
    for (const Case& c : cases) {
        const int32_t handle = PlaySound(3, 0.0f, c.volume);
        ASSERT_GE(handle, 3 * 256) << c.volume;
        const int channel = handle - 3 * 256;
        EXPECT_LT(channel, MIX_CHANNELS) << c.volume;
        EXPECT_EQ(Mix_GetChunk(channel), g_sound_table[3]) << c.volume;
        EXPECT_EQ(g_sound_table[3]->volume, c.chunk_volume) << c.volume;
        StopAllSounds();
    }
}

TEST_F(SoundCommands, HandlesCarryTheSoundNumberAndTheChannel) {
    LoadSound(Text(Files().tone), 0, 0);
    LoadSound(Text(Files().other_tone), 127, 0);
    // A number above 127 loads and plays sound 127.
    LoadSound(Text(Files().tone), 500, 0);
    ASSERT_NE(g_sound_table[127], nullptr);
    for (int32_t i = 128; i < kSoundTableSize; ++i) ASSERT_EQ(g_sound_table[i], nullptr) << i;
    const int32_t first = PlaySound(0, 0.0f, 1.0f);
    const int32_t second = PlaySound(200, 0.0f, 1.0f);
    const int32_t third = PlaySound(127, 0.0f, 1.0f);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 127 * 256 + 1);
    EXPECT_EQ(third, 127 * 256 + 2);
    EXPECT_EQ(Mix_GetChunk(1), g_sound_table[127]);
    for (int32_t handle : {first, second, third}) EXPECT_EQ(SoundPlaying(handle), 1) << handle;
    // Only the low eight bits name the channel.
    EXPECT_EQ(SoundPlaying(0x7F0000 + 2), 1);
    EXPECT_EQ(SoundPlaying(5), 0);
    StopAllSounds();
    for (int32_t handle : {first, second, third}) EXPECT_EQ(SoundPlaying(handle), 0) << handle;
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(SoundCommands, WhenEveryChannelIsBusyPlayReturnsTheMixersNegativeResult) {
    LoadSound(Text(Files().tone), 4, 0);
    for (int channel = 0; channel < MIX_CHANNELS; ++channel) {
        EXPECT_EQ(PlaySound(4, 0.0f, 1.0f), 4 * 256 + channel);
    }
    EXPECT_EQ(PlaySound(4, 0.0f, 1.0f), -1);
    StopAllSounds();
    EXPECT_EQ(PlaySound(4, 0.0f, 1.0f), 4 * 256);
}

TEST_F(SoundCommands, EmptyEntriesAndNegativeNumbersPlayNothing) {
    EXPECT_EQ(PlaySound(6, 0.0f, 1.0f), -1);
    EXPECT_EQ(PlaySound(300, 0.0f, 1.0f), -1);
    // Negative numbers lie outside the table: they neither load nor play, and touch no entry.
    LoadSound(Text(Files().tone), -1, 0);
    LoadSound(Text(Files().tone), -2048, 0);
    for (int32_t i = 0; i < kSoundTableSize; ++i) ASSERT_EQ(g_sound_table[i], nullptr) << i;
    LoadSound(Text(Files().tone), 0, 0);
    for (int32_t number : {-1, -256, -2147483647 - 1}) EXPECT_EQ(PlaySound(number, 0.0f, 1.0f), -1) << number;
    EXPECT_EQ(Mix_Playing(-1), 0);
    for (int32_t handle : {-1, -256, -2147483647 - 1}) EXPECT_EQ(SoundPlaying(handle), 0) << handle;
}

TEST_F(SoundCommands, BadSoundFilesLeaveTheEntryEmpty) {
    const char* const bad_files[] = {"empty.wav", "header_cut.wav", "data_cut.wav", "noise.wav",
                                     "riff_noise.wav", "noise.ogg", "no_such_file.wav"};
    for (const char* name : bad_files) {
        // Each bad file replaces a good sound, which must go rather than linger.
        LoadSound(Text(Files().tone), 12, 0);
        ASSERT_NE(g_sound_table[12], nullptr) << name;
        LoadSound(Text(Files().directory.File(name)), 12, 0);
        EXPECT_EQ(g_sound_table[12], nullptr) << name;
        EXPECT_EQ(PlaySound(12, 0.0f, 1.0f), -1) << name;
    }
    LoadSound(BasicString(), 12, 0);
    EXPECT_EQ(g_sound_table[12], nullptr);
}

TEST_F(SoundCommands, LoadingOverAPlayingSoundStopsItAndTakesItsPlace) {
    LoadSound(Text(Files().tone), 20, 0);
    const int32_t handle = PlaySound(20, 0.0f, 1.0f);
    ASSERT_EQ(SoundPlaying(handle), 1);
    LoadSound(Text(Files().other_tone), 20, 7);
    EXPECT_EQ(SoundPlaying(handle), 0);
    ASSERT_NE(g_sound_table[20], nullptr);
    // 2 s at 22050 Hz, 16-bit stereo after conversion.
    EXPECT_EQ(g_sound_table[20]->alen, 2u * 22050u * 4u);
}

TEST_F(SoundCommands, MusicVolumeCallsTheMixerOnlyWhenTheVolumeChanges) {
    struct Case {
        float volume;
        int mixer_volume;
    };
    // Volumes whose x 128 is -1 or less, and NaN, leave the mixer's volume as it was (here 77); a volume
    // just below 0 has the integer part 0.
    const float infinity = std::numeric_limits<float>::infinity();
    const Case cases[] = {{0.5f, 64},     {0.3f, 38},  {1.0f, 128},        {2.0f, 128},    {0.0f, 0},
                          {-0.004f, 0},   {-0.5f, 77}, {-1.0f / 128, 77},  {-infinity, 77}, {infinity, 128},
                          {std::nanf(""), 77}, {0.999f, 127}};
    for (const Case& c : cases) {
        Mix_VolumeMusic(77);
        MusicVolume(c.volume);
        EXPECT_EQ(Mix_VolumeMusic(-1), c.mixer_volume) << c.volume;
    }
    MusicVolume(0.5f);
    ASSERT_EQ(Mix_VolumeMusic(-1), 64);
    // A volume set behind the command's back shows whether the second call reached the mixer.
    Mix_VolumeMusic(100);
    MusicVolume(0.5f);
    EXPECT_EQ(Mix_VolumeMusic(-1), 100);
    MusicVolume(0.25f);
    EXPECT_EQ(Mix_VolumeMusic(-1), 32);
}

TEST_F(SoundCommands, PlayMusicPlaysAtFullVolumeRememberedAsFull) {
    MusicVolume(0.5f);
    PLAYMUSIC(Text(Files().piece), 0);
    ASSERT_NE(g_music, nullptr);
    EXPECT_EQ(MusicPlaying(), 1);
    EXPECT_EQ(Mix_VolumeMusic(-1), 128);
    EXPECT_EQ(g_music_volume, 1.0f);
    // Full volume is remembered: asking for it again costs no mixer call.
    Mix_VolumeMusic(90);
    MusicVolume(1.0f);
    EXPECT_EQ(Mix_VolumeMusic(-1), 90);
    StopMusic();
    EXPECT_EQ(g_music, nullptr);
    EXPECT_EQ(MusicPlaying(), 0);
    EXPECT_EQ(g_music_volume, -1.0f);
    // After StopMusic the volume is unset again, so the next change goes through.
    MusicVolume(1.0f);
    EXPECT_EQ(Mix_VolumeMusic(-1), 128);
}

TEST_F(SoundCommands, PlayMusicReplacesThePieceAndLoopsWhenAsked) {
    PLAYMUSIC(Text(Files().piece), 1);
    Mix_Music* const first = g_music;
    ASSERT_NE(first, nullptr);
    PLAYMUSIC(Text(Files().piece), 0);
    ASSERT_NE(g_music, nullptr);
    EXPECT_EQ(MusicPlaying(), 1);
    // A name found nowhere ends the old piece and starts nothing.
    PLAYMUSIC(Text(Files().directory.File("missing.ogg")), 1);
    EXPECT_EQ(g_music, nullptr);
    EXPECT_EQ(MusicPlaying(), 0);
}

TEST_F(SoundCommands, PlayMusicFindsAPieceStoredUnderAnotherCase) {
    TemporaryDirectory directory;
    CopyFileTo(Files().piece, directory.File("Song.OGG"));
    const BasicString wanted = Text(directory.File("song.ogg"));
    PLAYMUSIC(wanted, 0);
    EXPECT_NE(g_music, nullptr);
    EXPECT_EQ(MusicPlaying(), 1);
}

TEST_F(SoundCommands, FindMusicFileCorrectsOnlyTheLastComponentsCase) {
    TemporaryDirectory directory;
    ASSERT_EQ(mkdir(directory.File("Music").c_str(), 0755), 0);
    WriteWholeFile(directory.File("Music/Song.OGG"), "x");
    WriteWholeFile(directory.File("exact.ogg"), "x");
    struct Case {
        std::string requested;
        bool found;
        std::string answer;
    };
    const Case cases[] = {
        {directory.File("exact.ogg"), true, directory.File("exact.ogg")},
        {directory.File("EXACT.ogg"), true, directory.File("exact.ogg")},
        {directory.File("Music/song.ogg"), true, directory.File("Music/Song.OGG")},
        {directory.File("Music/SONG.ogg"), true, directory.File("Music/Song.OGG")},
        {directory.File("music/song.ogg"), false, ""},
        {directory.File("Music/song.wav"), false, ""},
        {"/no_such_directory_here/song.ogg", false, ""},
    };
    for (const Case& c : cases) {
        BasicString found("unchanged");
        EXPECT_EQ(FindMusicFile(c.requested.c_str(), found), c.found) << c.requested;
        if (c.found) {
            EXPECT_EQ(std::string(found.c_str()), c.answer) << c.requested;
        }
    }
}

// Output and process state: each case runs in a child of its own, with its own device (the audio thread of
// a device open in this process would not survive a fork).
void WithSoundInChild(const std::function<void()>& body, ProcessResult& result) {
    result = RunInChild([&] {
        OpenedSound sound;
        body();
    });
}

TEST(SoundMessages, MusicThatCannotBeLoadedPrintsPlayMusicAndSdlsError) {
    Files();
    struct BadPiece {
        const char* name;
        // SDL_mixer itself abandons its music record and file handle when a file is too short to hold a
        // type mark. That child leaves with _exit, so that the leak checker of sanitized builds does not
        // report the mixer's own leak; the other cases take the same path through the runtime with the check.
        bool mixer_leaks;
    };
    const BadPiece bad_pieces[] = {
        {"noise.ogg", false}, {"piece_cut.ogg", false}, {"noise.wav", false}, {"empty.wav", true}};
    for (const BadPiece& piece : bad_pieces) {
        const char* name = piece.name;
        ProcessResult result;
        WithSoundInChild(
            [&] {
                PLAYMUSIC(Text(Files().directory.File(name)), 1);
                printf("music %s\nerror %s\n", g_music == nullptr ? "none" : "loaded", SDL_GetError());
                if (piece.mixer_leaks) {
                    fflush(stdout);
                    _exit(0);
                }
            },
            result);
        ASSERT_EQ(result.exit_status, 0) << name << result.errors;
        const std::vector<std::string> lines = SplitLines(result.output);
        ASSERT_EQ(lines.size(), 4u) << name << "\n" << result.output;
        EXPECT_EQ(lines[0], "PLAYMUSIC:") << name;
        EXPECT_FALSE(lines[1].empty()) << name;
        EXPECT_EQ(lines[2], "music none") << name;
        EXPECT_EQ(lines[3], "error " + lines[1]) << name;
    }
}

TEST(SoundMessages, MissingMusicAndMissingSoundsPrintOnlyTheFileLayersLine) {
    Files();
    ProcessResult result;
    WithSoundInChild(
        [&] {
            PLAYMUSIC(Text(Files().directory.File("gone.ogg")), 0);
            LoadSound(Text(Files().directory.File("gone.wav")), 1, 0);
            PLAYMUSIC(BasicString(), 0);
            LoadSound(BasicString(), 1, 0);
        },
        result);
    ASSERT_EQ(result.exit_status, 0) << result.errors;
    EXPECT_EQ(result.output.find("PLAYMUSIC"), std::string::npos) << result.output;
    for (const std::string& line : SplitLines(result.output)) {
        EXPECT_EQ(line.rfind("request: fopen(", 0), 0u) << line;
    }
}

TEST(SoundMessages, MovieCommandsSayThereIsNoPlayer) {
    const ProcessResult result = RunInChild([] {
        PLAYMOVIE(BasicString("intro.avi"));
        LOOPMOVIE(BasicString("intro.avi"));
        printf("%d\n", MovieStatus());
    });
    const std::string line = "PLAYMOVIE + LOOPMOVIE only on Win32 so far...";
    EXPECT_EQ(SplitLines(result.output), (std::vector<std::string>{line, line, line, "0"}));
}

TEST(SoundMessages, ShutdownReleasesTheSoundStateOnceAndIsSafeToRepeat) {
    Files();
    const ProcessResult result = RunInChild([] {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        CreatePackSources();
        CreateSoundDevice();
        CreateSoundTable();
        LoadSound(Text(Files().tone), 0, 0);
        LoadSound(Text(Files().other_tone), 127, 0);
        PlaySound(0, 0.0f, 1.0f);
        PLAYMUSIC(Text(Files().piece), 1);
        MusicVolume(0.5f);
        ShutdownRuntime();
        printf("%d %d %d %g\n", g_sound_device != nullptr, g_sound_table != nullptr, g_music != nullptr,
               g_music_volume);
        ShutdownRuntime();
        // The commands after shutdown (from a global object's destructor, say) find no table, device or pack
        // reader and do nothing; the mixer itself would read its freed channels.
        LoadSound(Text(Files().tone), 0, 0);
        PLAYMUSIC(Text(Files().piece), 1);
        MusicVolume(0.3f);
        printf("%d %d %d\n", PlaySound(0, 0.0f, 1.0f), SoundPlaying(0), MusicPlaying());
        StopAllSounds();
        StopMusic();
    });
    EXPECT_EQ(result.exit_status, 0) << "signal " << result.signal << result.errors;
    EXPECT_EQ(SplitLines(result.output), (std::vector<std::string>{"0 0 0 -1", "-1 0 0"})) << result.output;
}

}  // namespace
