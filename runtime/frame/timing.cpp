// Clock, timers and frame pacing.
#include "frame/timing.h"

#include "frame/system_calls.h"
#include "input/window_events.h"
#include "video/video_context.h"

FrameTimers g_frame_timers;

double TickNow() { return static_cast<double>(System().read_ticks()); }

float GetTimer() {
    const float elapsed = static_cast<float>(g_frame_timers.last_frame - g_frame_timers.previous_frame);
    return elapsed <= 0 ? 1.0f : elapsed;
}

float GetTimerAll() { return static_cast<float>(TickNow() - g_frame_timers.program_start); }

void WaitMs(float ms) {
    const float end = GetTimerAll() + ms;
    while (GetTimerAll() < end) {
    }
}

void SleepMs(uint32_t ms) { System().sleep_ms(ms); }

double FramePeriodFor(int32_t frames_per_second) {
    return frames_per_second > 0 ? 1000.0 / frames_per_second : 2.0;
}

void SetFrameRate(float rate) {
    if (g_video_context == nullptr) return;
    g_video_context->frame_period = FramePeriodFor(static_cast<int32_t>(rate));
}

void ResetFrameTimers() {
    const double now = TickNow();
    g_frame_timers.last_frame = now;
    g_frame_timers.previous_frame = now;
    g_frame_timers.program_start = now;
}

void AdvanceFrameTimers() {
    g_frame_timers.previous_frame = g_frame_timers.last_frame;
    g_frame_timers.last_frame = TickNow();
}

double PaceToDeadline(double& deadline, double period) {
    const double start = TickNow();
    double now;
    for (;;) {
        if (PollWindowEvents() == 0) return 0.0;
        now = TickNow();
        if (now + 5.0 < deadline) {
            const int32_t gap = static_cast<int32_t>(deadline - now);
            if (gap > 5) {
                SleepMs(static_cast<uint32_t>(gap - 3));
                now += gap;
            }
        }
        if (now > deadline) break;
    }
    deadline += period;
    if (period > 0) {
        while (deadline < now) deadline += period;
    }
    return (now - start) + 1.0;
}
