// Frame periods, timers and the pacing grid, on a simulated clock: every read of the clock advances it by a
// small step, and a sleep advances it by the time slept.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>
#include <vector>

#include "frame/system_calls.h"
#include "frame/timing.h"
#include "video/video_context.h"

namespace {

uint32_t g_now = 0;
uint32_t g_step_per_read = 0;
std::vector<uint32_t> g_sleeps;

uint32_t FakeTicks() {
    const uint32_t now = g_now;
    g_now += g_step_per_read;
    return now;
}

void FakeSleep(uint32_t ms) {
    g_sleeps.push_back(ms);
    g_now += ms;
}

class SimulatedClock : public ::testing::Test {
protected:
    void SetUp() override {
        g_now = 1000;
        g_step_per_read = 0;
        g_sleeps.clear();
        System().read_ticks = FakeTicks;
        System().sleep_ms = FakeSleep;
        g_frame_timers = FrameTimers();
    }
    void TearDown() override { ResetSystemCalls(); }
};

TEST(FramePeriod, WholeFramesPerSecondOrTwoMilliseconds) {
    struct Case {
        int32_t rate;
        double period;
    };
    const Case cases[] = {{60, 1000.0 / 60}, {29, 1000.0 / 29}, {1, 1000.0}, {0, 2.0}, {-5, 2.0}};
    for (const Case& c : cases) EXPECT_EQ(FramePeriodFor(c.rate), c.period) << c.rate;
}

TEST(FramePeriod, SetFrameRateTakesTheIntegerPartAndKeepsTheDeadline) {
    RevuDIVavuduri video;
    g_video_context = &video;
    video.next_deadline = 1234.5;
    const struct {
        float rate;
        double period;
    } cases[] = {{29.9f, 1000.0 / 29}, {0.0f, 2.0}, {0.9f, 2.0}, {60.0f, 1000.0 / 60}, {-3.0f, 2.0}};
    for (const auto& c : cases) {
        SetFrameRate(c.rate);
        EXPECT_EQ(video.frame_period, c.period) << c.rate;
        EXPECT_EQ(video.next_deadline, 1234.5);
    }
    g_video_context = nullptr;
}

TEST_F(SimulatedClock, TimersMeasureFramesAndTheProgram) {
    ResetFrameTimers();
    EXPECT_EQ(GetTimer(), 1.0f);  // before any frame
    g_now += 250;
    EXPECT_EQ(GetTimerAll(), 250.0f);
    AdvanceFrameTimers();
    g_now += 17;
    AdvanceFrameTimers();
    EXPECT_EQ(GetTimer(), 17.0f);
    g_step_per_read = 1;
    const float before = GetTimerAll();
    WaitMs(40.0f);
    EXPECT_GE(GetTimerAll(), before + 40.0f);
}

TEST_F(SimulatedClock, PacingSleepsToThreeMillisecondsBeforeTheDeadlineThenPolls) {
    double deadline = 1000.0 + 1000.0 / 60;
    const double period = 1000.0 / 60;
    g_step_per_read = 1;  // polling moves time on
    const double spent = PaceToDeadline(deadline, period);
    ASSERT_EQ(g_sleeps.size(), 1u);
    // 15 whole milliseconds to go at the first look (reading the clock took one): sleep 12, poll the rest.
    EXPECT_EQ(g_sleeps[0], 12u);
    EXPECT_GT(g_now, 1000u + 16u);
    EXPECT_DOUBLE_EQ(deadline, 1000.0 + 2 * period);
    EXPECT_GT(spent, 16.0);
}

TEST_F(SimulatedClock, DeadlinesStayOnTheGridAndMissedOnesAreSkipped) {
    const double start = 1000.0;
    const double period = 1000.0 / 60;
    double deadline = start;
    g_step_per_read = 0;
    std::vector<double> deadlines;
    // Frames of 5 ms work, then one of 50 ms, then 5 ms again.
    const uint32_t work[] = {5, 5, 50, 5, 5};
    for (uint32_t ms : work) {
        g_now += ms;
        g_step_per_read = 1;
        PaceToDeadline(deadline, period);
        g_step_per_read = 0;
        EXPECT_GE(deadline, static_cast<double>(g_now - 1));  // the next deadline is still ahead
        deadlines.push_back(deadline);
    }
    for (double d : deadlines) {
        const double frames = (d - start) / period;
        EXPECT_NEAR(frames, std::round(frames), 1e-9) << d;  // on the grid from the opening of video
    }
    // The 50 ms frame runs past two deadlines; both are skipped rather than shifting the grid.
    EXPECT_NEAR((deadlines[2] - deadlines[1]) / period, 3.0, 1e-9);
    g_sleeps.clear();
    const uint32_t before = g_now;
    double late = static_cast<double>(g_now) - 3 * period;
    g_step_per_read = 1;
    const double spent = PaceToDeadline(late, period);
    // Already past the deadline: no sleep and no wait.
    EXPECT_TRUE(g_sleeps.empty());
    EXPECT_LE(g_now - before, 3u);
    EXPECT_LT(spent, 4.0);
    EXPECT_GT(late, static_cast<double>(before));
}

TEST_F(SimulatedClock, AnEscapeKeyWaitingEndsPacingBeforeTheDeadlineMoves) {
    ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
    ASSERT_NE(SDL_SetVideoMode(32, 32, 16, 0), nullptr);
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = SDLK_ESCAPE;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    double deadline = 5000.0;
    EXPECT_EQ(PaceToDeadline(deadline, 1000.0 / 60), 0.0);
    EXPECT_EQ(deadline, 5000.0);
    EXPECT_TRUE(g_sleeps.empty());
    SDL_Quit();
}

}  // namespace
