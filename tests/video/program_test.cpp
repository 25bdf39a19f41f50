// Whole programs, headless: Lumora showing its picture, start-up's text and font, text entry from the
// button stand-in. The display is checked through the snapshot that shutdown writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "support/process_runner.h"
#include "video/decoded_image.h"
#include "video/image_files.h"

namespace {

void SetButtons(const std::string& path, uint32_t word) {
    const std::string bytes = {static_cast<char>(word), static_cast<char>(word >> 8), static_cast<char>(word >> 16),
                               static_cast<char>(word >> 24)};
    WriteWholeFile(path, bytes);
}

std::string Directory(const std::string& path) { return path.substr(0, path.rfind('/')); }

// A PNG snapshot of the whole 320 x 240 screen, white on every pixel as RGB565 shows it (248, 252, 248).
void ExpectWhiteScreen(const std::string& snapshot, const std::string& output) {
    DecodedImage frame;
    ASSERT_EQ(ReadPngImage(frame, snapshot.c_str(), kNoColourKey), 1) << output;
    ASSERT_EQ(frame.width, 320);
    ASSERT_EQ(frame.height, 240);
    for (int i = 0; i < 320 * 240; ++i) {
        ASSERT_EQ(frame.rgba[i * 4], 248) << i;
        ASSERT_EQ(frame.rgba[i * 4 + 1], 252) << i;
        ASSERT_EQ(frame.rgba[i * 4 + 2], 248) << i;
    }
}

// Presses a button (rewrites the stand-in file) once `ready` exists, after `delay`.
std::thread PressLater(const std::string& gpio, const std::string& ready, std::vector<uint32_t> words,
                       std::chrono::milliseconds hold) {
    return std::thread([=] {
        for (int i = 0; i < 400 && access(ready.c_str(), F_OK) != 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(25));
        for (uint32_t word : words) {
            std::this_thread::sleep_for(hold);
            SetButtons(gpio, word);
        }
    });
}

}  // namespace

TEST(Programs, LumoraShowsItsWhitePictureUntilAButtonIsPressed) {
    TemporaryDirectory directory;
    const std::string gpio = directory.File("gpio");
    const std::string snapshot = directory.File("frame.png");
    SetButtons(gpio, 0);
    // The picture beside lumora is the one the build wrote; pressing the button on bit 12 (scan code 44).
    std::thread press([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        SetButtons(gpio, 1u << 12);
    });
    const ProcessResult result =
        RunProgram({LumoraPath()}, {"KORVANE_GPIO=" + gpio, "KORVANE_SNAPSHOT=" + snapshot}, Directory(LumoraPath()));
    press.join();
    EXPECT_EQ(result.exit_status, 0) << result.output << result.errors;
    EXPECT_NE(result.output.find("Init Finalized"), std::string::npos);
    ExpectWhiteScreen(snapshot, result.output);
}

// The picture only in the pack appended to a copy of Lumora: the frame shown is white all over.
TEST(Programs, LumoraShowsItsPictureFromItsOwnPack) {
    TemporaryDirectory directory;
    const std::string lumora = directory.File("lumora");
    CopyFileTo(LumoraPath(), lumora);
    const ProcessResult packed = RunProgram({std::string(KORVANE_TOOLS_DIR) + "/korvane-pack", "add", lumora,
                                             Directory(LumoraPath()) + "/white_background.bmp"});
    ASSERT_EQ(packed.exit_status, 0) << packed.output << packed.errors;
    ASSERT_NE(access(directory.File("white_background.bmp").c_str(), F_OK), 0);
    const std::string gpio = directory.File("gpio");
    SetButtons(gpio, 1u << 12);
    const std::string snapshot = directory.File("frame.png");
    const ProcessResult result = RunProgram({lumora}, {"KORVANE_GPIO=" + gpio, "KORVANE_SNAPSHOT=" + snapshot}, "/");
    ASSERT_EQ(result.exit_status, 0) << result.output << result.errors;
    ExpectWhiteScreen(snapshot, result.output);
}

TEST(Programs, LumoraWithoutItsPictureShowsBlack) {
    TemporaryDirectory directory;
    const std::string lumora = directory.File("lumora");
    CopyFileTo(LumoraPath(), lumora);
    const std::string gpio = directory.File("gpio");
    const std::string snapshot = directory.File("frame.bmp");
    SetButtons(gpio, 1u << 18);  // the button on bit 18 (scan code 57) is held from the start
    const ProcessResult result =
        RunProgram({lumora}, {"KORVANE_GPIO=" + gpio, "KORVANE_SNAPSHOT=" + snapshot}, directory.path());
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_NE(result.output.find("white_background.bmp"), std::string::npos) << result.output;
    DecodedImage frame;
    ASSERT_EQ(ReadBmpImage(frame, snapshot.c_str(), kNoColourKey), 1);
    for (int i = 0; i < 320 * 240 * 4; i += 4) ASSERT_EQ(frame.rgba[i] | frame.rgba[i + 1] | frame.rgba[i + 2], 0);
}

TEST(Programs, FadeEndsOnTheNewBackground) {
    TemporaryDirectory directory;
    const std::string program = directory.File("fade");
    CopyFileTo(TestProgramPath("video_fade"), program);
    const std::string snapshot = directory.File("frame.png");
    const ProcessResult result =
        RunProgram({program}, {"KORVANE_SNAPSHOT=" + snapshot, "KORVANE_GPIO=/dev/null"}, directory.path());
    int milliseconds = -1;
    const size_t at = result.output.find("fade ");
    ASSERT_NE(at, std::string::npos) << result.output;
    milliseconds = std::stoi(result.output.substr(at + 5));
    // 1.5 seconds of fading (started at 0.9 of the way, so a little less), then one more frame.
    EXPECT_GE(milliseconds, 1300);
    EXPECT_LT(milliseconds, 5000);
    DecodedImage frame;
    ASSERT_EQ(ReadPngImage(frame, snapshot.c_str(), kNoColourKey), 1);
    for (int i = 0; i < 320 * 240 * 4; i += 4) ASSERT_EQ(frame.rgba[i + 1], 252) << i / 4;
}

TEST(Programs, StartupShowsLoadingInTheBuiltInFontAndLoadsTheSmallFont) {
    // The built-in glyphs of "Loading...": their set bits are the white pixels of the frame.
    const uint32_t glyph_words[] = {0x00E10842, 0x00E53800, 0x00E53000, 0x00E53908, 0x00421004,
                                    0x00A51800, 0x08873800, 0x08000000, 0x08000000, 0x08000000};
    int white_expected = 0;
    for (uint32_t word : glyph_words) white_expected += __builtin_popcount(word);

    struct Case {
        const char* font_file;  // made beside the program; empty: none
        const char* expected_output;
    };
    for (const Case& c : {Case{"", "font 8 8\n"}, Case{"smalfont.png", "font 16 16\n"},
                          Case{"smalfont.bmp", "font 16 16\n"}}) {
        TemporaryDirectory directory;
        const std::string program = directory.File("probe");
        CopyFileTo(TestProgramPath("video_font_probe"), program);
        if (c.font_file[0] != 0) {
            std::vector<uint8_t> grey(256 * 128 * 3, 200);
            ASSERT_EQ(WriteImageFileExact(directory.File(c.font_file).c_str(), grey.data(), 256, 128, 256, 128), 1);
        }
        const std::string snapshot = directory.File("frame.png");
        const ProcessResult result = RunProgram({program}, {"KORVANE_SNAPSHOT=" + snapshot, "KORVANE_GPIO=/dev/null"},
                                                directory.path());
        EXPECT_NE(result.output.find(c.expected_output), std::string::npos) << c.font_file << result.output;
        DecodedImage frame;
        ASSERT_EQ(ReadPngImage(frame, snapshot.c_str(), kNoColourKey), 1);
        int white = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const uint8_t* p = frame.rgba + (y * 320 + x) * 4;
                if (p[0] == 248 && p[1] == 252 && p[2] == 248) {
                    ++white;
                    // Centred: (320 - 10 x 8) / 2 = 120, (240 - 8) / 2 = 116.
                    EXPECT_TRUE(x >= 120 && x < 200 && y >= 116 && y < 124) << x << "," << y;
                }
            }
        EXPECT_EQ(white, white_expected) << c.font_file;
    }
}

TEST(Programs, TextEntryFromButtons) {
    // Bit 18 types '9', bit 12 types ',' (scan code 44), bit 8 is return. Each press is held and released
    // for several frames, as a character is reported once until its button is released.
    struct Case {
        const char* mode;
        std::vector<uint32_t> presses;
        const char* expected;
    };
    const uint32_t nine = 1u << 18, comma = 1u << 12, enter = 1u << 8;
    for (const Case& c : {Case{"int", {nine, 0, comma, 0, nine, 0, enter}, "int 9\n"},
                          Case{"int", {nine, 0, nine, 0, enter}, "int 99\n"},
                          Case{"name", {nine, 0, comma, 0, enter}, "name [File:9,] [File:9,]\n"}}) {
        TemporaryDirectory directory;
        const std::string program = directory.File("entry");
        CopyFileTo(TestProgramPath("video_text_entry"), program);
        const std::string gpio = directory.File("gpio");
        SetButtons(gpio, 0);
        std::thread press = PressLater(gpio, directory.File("ready"), c.presses, std::chrono::milliseconds(150));
        const ProcessResult result =
            RunProgram({program, c.mode}, {"KORVANE_GPIO=" + gpio}, directory.path(), 30);
        press.join();
        EXPECT_NE(result.output.find(c.expected), std::string::npos) << c.mode << result.output;
    }
}
