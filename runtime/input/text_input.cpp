// Text entry over the screen.
#include "input/text_input.h"

#include "input/input_device.h"
#include "video/back_buffer.h"
#include "video/font.h"
#include "video/screen.h"
#include "video/sprite.h"
#include "video/video_context.h"

namespace {

// The screen under the input line is kept in background image 3 while the line is edited.
constexpr int32_t kSavedScreen = 3;
constexpr int32_t kCursorBlinkFrames = 20;

void DrawSavedScreen() {
    const SpriteSlot& saved = g_video_context->background[kSavedScreen];
    BlitImage(saved, 0, 0, 0, 0, saved.width, saved.height);
}

}  // namespace

void TextInput(BasicString& text, int32_t x, int32_t y) {
    if (g_video_context == nullptr) return;
    CaptureRect(g_video_context->background[kSavedScreen], 0, 0, g_back_buffer.width, g_back_buffer.height,
                g_video_context->transparent_colour);
    DrawSavedScreen();
    PrintText(text, static_cast<float>(x), static_cast<float>(y));
    PresentFrame();
    bool cursor = false;
    int32_t idle = 0;
    for (;;) {
        const int32_t c = ReadKeyChar();
        if (c == 0) {
            if (++idle > kCursorBlinkFrames) {
                cursor = !cursor;
                idle = 0;
            }
        } else if (c == 10) {
            EmptySlot(g_video_context->background[kSavedScreen]);
            return;
        } else if (c == 8) {
            if (!text.empty()) text.SetLength(static_cast<int32_t>(text.length()) - 1);
        } else {
            const char character[2] = {static_cast<char>(c), 0};
            text.Append(character);
        }
        DrawSavedScreen();
        if (cursor) {
            PrintText(text + "_", static_cast<float>(x), static_cast<float>(y));
        } else {
            PrintText(text, static_cast<float>(x), static_cast<float>(y));
        }
        PresentFrame();
    }
}

void TextInputInt(int32_t& result, int32_t x, int32_t y) {
    BasicString line;
    TextInput(line, x, y);
    result = line.ToInt();
}

void TextInputFloat(float& result, int32_t x, int32_t y) {
    BasicString line;
    TextInput(line, x, y);
    result = line.ToFloat();
}

BasicString FileNamePrompt(BasicString& name) {
    name = "File:";
    TextInput(name, 0, 100);
    return name;
}
