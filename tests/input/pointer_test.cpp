// The pointer filter, fed with scripted mouse samples and a scripted wall clock.
#include <gtest/gtest.h>

#include <SDL.h>

#include <vector>

#include "input/input_device.h"
#include "input/pointer.h"

namespace {

struct ScriptedSample {
    int x, y;
    uint8_t buttons;
};

std::vector<ScriptedSample> g_script;
size_t g_next = 0;
int64_t g_wall = 0;

uint8_t ScriptedMouse(int* x, int* y) {
    const ScriptedSample& sample = g_script[g_next < g_script.size() ? g_next : g_script.size() - 1];
    ++g_next;
    *x = sample.x;
    *y = sample.y;
    return sample.buttons;
}

int64_t ScriptedWall() { return g_wall; }

class PointerFilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateInputDevice();
        g_input_device->pointer_availability = 1;
        ResetPointerFilter();
        PointerSampling().mouse_state = ScriptedMouse;
        PointerSampling().wall_ms = ScriptedWall;
        g_script.clear();
        g_next = 0;
        g_wall = 1000;
    }
    void TearDown() override {
        ResetPointerSampling();
        ReleaseInputDevice();
    }
    // The next call comes late enough to sample.
    void Later() { g_wall += 10; }
};

const uint8_t kHeld = SDL_BUTTON(1);

TEST_F(PointerFilterTest, AHeldPointerSettlesOnTheWeightedAverage) {
    SetPointerPosition(100, 100);
    // Thirteen samples x = 90..102 near the pointer: weights 1 for the oldest five, then 1..8.
    for (int i = 0; i < 13; ++i) g_script.push_back({90 + i, 100, kHeld});
    PointerState state;
    ASSERT_EQ(ReadPointer(state), 1);
    int64_t weighted = 0, weights = 0;
    for (int i = 0; i < 13; ++i) {
        const int weight = i >= 5 ? i - 4 : 1;
        weighted += weight * (90 + i);
        weights += weight;
    }
    const int expected_x = static_cast<int>((weighted * 256 / weights) >> 8);
    EXPECT_EQ(g_next, 13u);
    EXPECT_EQ(state[0], 1);
    EXPECT_EQ(state[3], expected_x);  // movement from the last reported position (0, 0)
    EXPECT_EQ(state[4], 100);
    EXPECT_EQ(g_input_device->pointer_x, expected_x);

    // The samples persist: the next call takes one more and reports the movement since the last report.
    Later();
    g_script.push_back({120, 100, kHeld});
    ASSERT_EQ(ReadPointer(state), 1);
    EXPECT_EQ(g_next, 14u);
    EXPECT_GT(state[3], 0);
    EXPECT_EQ(state[4], 0);
}

TEST_F(PointerFilterTest, AJumpIsAcceptedOnlyAfterNineFarSamples) {
    SetPointerPosition(10, 10);
    for (int i = 0; i < 20; ++i) g_script.push_back({200, 150, kHeld});
    PointerState state;
    ASSERT_EQ(ReadPointer(state), 1);
    // After nine far samples the collected samples become those nine and the pointer moves there; four more
    // reach the thirteen the average needs.
    EXPECT_EQ(g_next, 13u);
    EXPECT_EQ(g_input_device->pointer_x, 200);
    EXPECT_EQ(g_input_device->pointer_y, 150);
    EXPECT_EQ(state[3], 200);
    EXPECT_EQ(state[4], 150);
}

TEST_F(PointerFilterTest, ReleaseOffScreenAndRateLimit) {
    PointerState state;
    g_script = {{50, 50, 0}};
    ASSERT_EQ(ReadPointer(state), 1);
    EXPECT_EQ(state[0], 0);
    EXPECT_EQ(g_next, 1u);

    // A sample outside the 320 x 240 screen ends the call with the previous values.
    Later();
    g_script = {{400, 50, kHeld}};
    g_next = 0;
    ASSERT_EQ(ReadPointer(state), 1);
    EXPECT_EQ(state[0], 0);

    // A second call within 6 ms does not sample.
    g_next = 0;
    ASSERT_EQ(ReadPointer(state), 1);
    EXPECT_EQ(g_next, 0u);

    g_input_device->pointer_availability = -1;
    state[3] = 9;
    EXPECT_EQ(ReadPointer(state), 0);
    for (int16_t value : state) EXPECT_EQ(value, 0);
    EXPECT_EQ(PointerAxis(0), 0);
}

}  // namespace
