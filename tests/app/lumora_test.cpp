// Lumora end to end, headless, with the button stand-in file: every watched control ends it normally, the
// buttons on bits 10, 11, 16 and 17 alone do not.
#include <gtest/gtest.h>

#include <signal.h>

#include <string>
#include <thread>

#include "support/process_runner.h"

namespace {

std::string Word(uint32_t word) {
    const char bytes[4] = {static_cast<char>(word), static_cast<char>(word >> 8), static_cast<char>(word >> 16),
                           static_cast<char>(word >> 24)};
    return std::string(bytes, 4);
}

struct LumoraCopy {
    TemporaryDirectory folder;
    std::string program = folder.File("lumora");
    std::string buttons = folder.File("gpio");
    LumoraCopy() { CopyFileTo(LumoraPath(), program); }
    ProcessResult Run(int timeout_seconds) {
        return RunProgram({program},
                          {"KORVANE_GPIO=" + buttons, "TERM=", "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"},
                          folder.path(), timeout_seconds);
    }
};

TEST(Lumora, EveryWatchedControlEndsItNormally) {
    // Pad up, left, down, right (and a diagonal), then the buttons on bits 18, 9, 8, 12, 13, 14 and 15.
    const int bits[] = {0, 1, 2, 4, 6, 18, 9, 8, 12, 13, 14, 15};
    for (int bit : bits) {
        LumoraCopy lumora;
        WriteWholeFile(lumora.buttons, Word(1u << bit));
        const ProcessResult result = lumora.Run(30);
        EXPECT_EQ(result.exit_status, 0) << "bit " << bit << "\n" << result.output << result.errors;
        EXPECT_NE(result.output.find("Init Finalized"), std::string::npos) << "bit " << bit;
    }
}

TEST(Lumora, UnwatchedButtonsLeaveItRunningUntilAWatchedOneIsPressed) {
    for (int bit : {10, 11, 16, 17}) {
        LumoraCopy lumora;
        WriteWholeFile(lumora.buttons, Word(1u << bit));
        std::thread press([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(1500));
            // Rewritten in place, as the device would change under a reader.
            FILE* file = fopen(lumora.buttons.c_str(), "r+b");
            if (file == nullptr) return;
            const std::string word = Word((1u << bit) | (1u << 8));
            fwrite(word.data(), 1, 4, file);
            fclose(file);
        });
        const ProcessResult result = lumora.Run(30);
        press.join();
        EXPECT_EQ(result.exit_status, 0) << "bit " << bit;
        EXPECT_EQ(result.signal, 0) << "bit " << bit;
        EXPECT_NE(result.output.find("Init Finalized"), std::string::npos) << "bit " << bit;
    }
}

TEST(Lumora, StillRunningWhileOnlyUnwatchedButtonsAreHeld) {
    LumoraCopy lumora;
    WriteWholeFile(lumora.buttons, Word((1u << 10) | (1u << 11)));
    const ProcessResult result = lumora.Run(2);
    EXPECT_EQ(result.signal, SIGKILL) << result.output;
}

TEST(Lumora, WithoutADisplaySdlsMessageAndStatusOne) {
    LumoraCopy lumora;
    const ProcessResult result =
        RunProgram({lumora.program}, {"SDL_VIDEODRIVER=no_such_driver", "TERM=", "SDL_AUDIODRIVER=dummy"},
                   lumora.folder.path(), 30);
    EXPECT_EQ(result.exit_status, 1);
    EXPECT_NE(result.errors.find("Couldn't initialize SDL: "), std::string::npos) << result.errors;
    EXPECT_EQ(result.output, "Init GFX\n");
}

}  // namespace
