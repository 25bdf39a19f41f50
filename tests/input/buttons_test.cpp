// The button word read through the stand-in file, and what is derived from it: the joystick record with its
// diagonal rule, the scan-code table, characters with repeat suppression, and the joystick commands.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <set>
#include <string>
#include <thread>

#include "input/input_device.h"
#include "input/joystick.h"
#include "input/waiting.h"
#include "input/window_events.h"
#include "support/process_runner.h"

namespace {

// An input device reading a stand-in button file that the test rewrites to press buttons.
class ButtonFile : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = folder_.File("gpio");
        Press(0);
        setenv("KORVANE_GPIO", path_.c_str(), 1);
        CreateInputDevice();
        testing::internal::CaptureStdout();
        OpenButtonDevice();
        opened_output_ = testing::internal::GetCapturedStdout();
    }
    void TearDown() override {
        ReleaseInputDevice();
        unsetenv("KORVANE_GPIO");
    }
    void Press(uint32_t word) {
        const char bytes[4] = {static_cast<char>(word), static_cast<char>(word >> 8), static_cast<char>(word >> 16),
                               static_cast<char>(word >> 24)};
        WriteWholeFile(path_, std::string(bytes, 4));
    }
    static uint32_t Bits(std::initializer_list<int> bits) {
        uint32_t word = 0;
        for (int bit : bits) word |= 1u << bit;
        return word;
    }

    TemporaryDirectory folder_;
    std::string path_;
    std::string opened_output_;
};

TEST_F(ButtonFile, TheFileStandsInForTheDeviceWithoutMessages) {
    EXPECT_EQ(opened_output_, "");
    EXPECT_EQ(g_input_device->source, ButtonSourceKind::kFile);
    EXPECT_EQ(g_input_device->joystick_count, 1);
    EXPECT_EQ(g_input_device->pointer_availability, 1);
    Press(0x12345678);
    ReadButtonWord();
    EXPECT_EQ(g_input_device->button_word, 0x12345678u);
    // Fewer than four bytes is a failed read: the word is 0.
    WriteWholeFile(path_, "ab");
    testing::internal::CaptureStdout();
    ReadButtonWord();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "GPIO READ ERROR\n");
    EXPECT_EQ(g_input_device->button_word, 0u);
}

TEST_F(ButtonFile, JoystickAxesFollowTheDiagonalRule) {
    struct Case {
        uint32_t word;
        int32_t x, y;
    };
    const Case cases[] = {
        {0, 0, 0},
        {Bits({0}), 0, -1},         // up
        {Bits({0, 7}), 0, -1},      // up and up-right: the straight direction wins
        {Bits({7}), 1, -1},         // only up-right
        {Bits({1}), -1, -1},        // up-left
        {Bits({2}), -1, 0},         // left
        {Bits({2, 3}), -1, 0},      // left and down-left
        {Bits({4}), 0, 1},          // down
        {Bits({5}), 1, 1},          // down-right
        {Bits({6, 5}), 1, 0},       // right and down-right
        {Bits({0, 4}), 0, 0},       // up and down cancel
        {Bits({0, 6}), 1, -1},      // up and right: both straight, the diagonal stays
        {Bits({2, 6}), 0, 0},
    };
    for (const Case& c : cases) {
        Press(c.word);
        ReadButtonWord();
        JoystickState state;
        ReadJoystickState(state);
        EXPECT_EQ(state.x, c.x) << std::hex << c.word;
        EXPECT_EQ(state.y, c.y) << std::hex << c.word;
    }
}

TEST_F(ButtonFile, JoystickButtonsAndRotationsComeFromTheirBits) {
    const int button_bits[11] = {12, 13, 14, 15, 18, 8, 9, 17, 16, 10, 11};
    for (int button = 0; button < 11; ++button) {
        Press(1u << button_bits[button]);
        ReadButtonWord();
        JoystickState state;
        ReadJoystickState(state);
        for (int other = 0; other < 32; ++other) EXPECT_EQ(state.buttons[other], other == button ? 1 : 0);
        EXPECT_EQ(state.rotation_x, button_bits[button] == 11 ? 1 : (button_bits[button] == 10 ? -1 : 0));
        EXPECT_EQ(state.rotation_z, button_bits[button] == 17 ? 1 : (button_bits[button] == 16 ? -1 : 0));
        EXPECT_EQ(state.hats[0], 0xFFFFFFFFu);
    }
}

TEST_F(ButtonFile, ScanCodesAnswerTheirControls) {
    struct Case {
        uint32_t word;
        std::set<int> codes;
    };
    const Case cases[] = {
        {0, {}},
        {Bits({8}), {28}},
        {Bits({9}), {15}},
        {Bits({10}), {42}},
        {Bits({11}), {54}},
        {Bits({12}), {30, 44}},
        {Bits({13}), {32, 45}},
        {Bits({14}), {29, 31}},
        {Bits({15}), {17, 58}},
        {Bits({16}), {201}},
        {Bits({17}), {209}},
        {Bits({16, 17}), {1, 201, 209}},
        {Bits({18}), {57}},
        {Bits({0}), {200}},
        {Bits({2}), {203}},
        {Bits({4}), {208}},
        {Bits({6}), {205}},
        {Bits({1}), {200, 203}},
    };
    for (const Case& c : cases) {
        Press(c.word);
        std::set<int> answering;
        for (int code = 0; code < 256; ++code)
            if (KeyState(code) == 1) answering.insert(code);
        EXPECT_EQ(answering, c.codes) << std::hex << c.word;
        // Only the low 8 bits of a code count.
        for (int code : c.codes) EXPECT_EQ(KeyState(code + 256), 1);
    }
}

TEST_F(ButtonFile, CharactersAreReportedOnceUntilReleased) {
    struct Step {
        uint32_t word;
        int32_t character;
    };
    const Step steps[] = {
        {Bits({8}), 10},  {Bits({8}), 0},  {Bits({8}), 0},  {0, 0},          {Bits({8}), 10},
        {Bits({13}), 32},  // scan code 32 is tried before 45
        {Bits({13}), 0},  {Bits({10}), 0},  // shift alone gives nothing
        {Bits({18}), '9'}, {Bits({18, 13}), ' '}, {Bits({16}), 201}, {Bits({12}), ','}, {0, 0}, {Bits({12}), ','},
    };
    for (const Step& step : steps) {
        Press(step.word);
        EXPECT_EQ(ReadKeyChar(), step.character) << std::hex << step.word;
    }
}

TEST_F(ButtonFile, JoystickCommands) {
    Press(Bits({6, 12, 16}));
    ReadButtonWord();
    EXPECT_EQ(JoystickAxisX(0), 1.0f / 32767.0f);
    EXPECT_EQ(JoystickAxisY(0), 0.0f);
    EXPECT_EQ(JoystickRotationZ(3), -1.0f / 32767.0f);
    EXPECT_EQ(JoystickButton(0, 0), 1);
    EXPECT_EQ(JoystickButton(0, 8), 1);
    EXPECT_EQ(JoystickButton(0, 1), 0);
    EXPECT_EQ(JoystickButton(0, 32), 0);
    EXPECT_EQ(JoystickButton(0, -1), 0);
    EXPECT_EQ(JoystickHatHorizontal(0), 0);
    EXPECT_EQ(JoystickHatVertical(0), 0);
    float x, y, b1, b2;
    JoystickSummary(x, y, b1, b2);
    EXPECT_EQ(x, 0.0f);  // 1 / 30000 has no integer part
    EXPECT_EQ(b1, 1.0f);
    EXPECT_EQ(b2, 0.0f);
    EXPECT_EQ(JoystickCount(), 1);
    EXPECT_STREQ(JoystickName(0).c_str(), "WIZ");
    EXPECT_STREQ(JoystickName(1).c_str(), "");
    EXPECT_STREQ(JoystickName(-1).c_str(), "");
}

TEST(ButtonDevice, WithoutDeviceOrStandInEveryReadFails) {
    const ProcessResult result = RunInChild([] {
        unsetenv("KORVANE_GPIO");
        CreateInputDevice();
        OpenButtonDevice();
        printf("|%d|", KeyState(28));
        ReadButtonWord();
        printf("word=%u cursor=%d\n", g_input_device->button_word, g_input_device->cursor_flag);
        ReleaseInputDevice();
    });
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.output, "GPIO device not presentGPIO READ ERROR\n|0|GPIO READ ERROR\nword=0 cursor=0\n");
}

TEST(ButtonDevice, KeyboardStandInMapsArrowsAndOneKeyPerButton) {
    uint8_t keys[SDLK_LAST] = {};
    EXPECT_EQ(ButtonWordFromKeys(keys), 0u);
    const struct {
        SDLKey key;
        int scan_code;
    } cases[] = {{SDLK_LEFT, 203}, {SDLK_RIGHT, 205}, {SDLK_UP, 200},     {SDLK_DOWN, 208},
                 {SDLK_SPACE, 57}, {SDLK_TAB, 15},    {SDLK_RETURN, 28},  {SDLK_z, 44},
                 {SDLK_x, 45},     {SDLK_LCTRL, 29},  {SDLK_CAPSLOCK, 58}, {SDLK_PAGEUP, 201},
                 {SDLK_PAGEDOWN, 209}, {SDLK_LSHIFT, 42}, {SDLK_RSHIFT, 54}};
    for (const auto& c : cases) {
        keys[c.key] = 1;
        const uint32_t word = ButtonWordFromKeys(keys);
        EXPECT_EQ(KeyAnswer(word, JoystickFromWord(word), c.scan_code), 1) << c.key;
        keys[c.key] = 0;
    }
}

TEST(WindowEvents, EscapeAndQuitAreQuitRequestsOtherEventsAreDropped) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
    ASSERT_NE(SDL_SetVideoMode(32, 32, 16, 0), nullptr);
    struct Case {
        Uint8 type;
        SDLKey key;
        int result;
    };
    const Case cases[] = {{SDL_KEYDOWN, SDLK_ESCAPE, 0}, {SDL_QUIT, SDLK_UNKNOWN, 0}, {SDL_KEYDOWN, SDLK_a, 1},
                          {SDL_KEYUP, SDLK_ESCAPE, 1},   {SDL_MOUSEMOTION, SDLK_UNKNOWN, 1}};
    for (const Case& c : cases) {
        SDL_Event event = {};
        event.type = c.type;
        event.key.keysym.sym = c.key;
        SDL_PushEvent(&event);
        EXPECT_EQ(PollWindowEvents(), c.result) << static_cast<int>(c.type);
        EXPECT_EQ(PollWindowEvents(), 1);  // the queue was drained (or the rest is harmless)
    }
    SDL_Quit();
}

}  // namespace

namespace {

// WaitKey waits for release, a new character, and for the character to be reported no more; as a held
// character is reported once, it returns right after the new press. A test thread plays the user.
TEST(WaitingCommands, WaitKeyReturnsAfterAPressAndReleaseAndEndsOnQuit) {
    TemporaryDirectory folder;
    const std::string buttons = folder.File("gpio");
    auto write_word = [&](uint32_t word) {
        FILE* file = fopen(buttons.c_str(), "r+b");
        if (file == nullptr) return;
        const char bytes[4] = {static_cast<char>(word), static_cast<char>(word >> 8), 0, 0};
        fwrite(bytes, 1, 4, file);
        fclose(file);
    };
    WriteWholeFile(buttons, std::string("\0\x01\0\0", 4));  // return already held: must be released first
    const ProcessResult waited = RunInChild([&] {
        setenv("KORVANE_GPIO", buttons.c_str(), 1);
        CreateInputDevice();
        OpenButtonDevice();
        std::thread user([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            write_word(0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            puts("pressed");
            fflush(stdout);
            write_word(1u << 13);  // X: the character 32
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            puts("released");
            fflush(stdout);
            write_word(0);
        });
        WaitKey();
        puts("returned");
        user.join();
    });
    EXPECT_EQ(waited.exit_status, 0);
    // The return button held at the start does not count: only the new press ends the wait.
    EXPECT_EQ(waited.output, "pressed\nreturned\nreleased\n");

    WriteWholeFile(buttons, std::string(4, '\0'));
    const ProcessResult quit = RunInChild([&] {
        setenv("KORVANE_GPIO", buttons.c_str(), 1);
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0);
        ASSERT_NE(SDL_SetVideoMode(32, 32, 16, 0), nullptr);
        CreateInputDevice();
        OpenButtonDevice();
        SDL_Event event = {};
        event.type = SDL_QUIT;
        SDL_PushEvent(&event);
        WaitKey();
        puts("returned");
    });
    EXPECT_EQ(quit.exit_status, 0);
    EXPECT_EQ(quit.output.find("returned"), std::string::npos);
}

}  // namespace
