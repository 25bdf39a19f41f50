// The runtime's clock, its timer commands, and the pacing of frames to the frame rate.
//
// Tick time is milliseconds since SDL started. Frames are paced on a fixed grid of deadlines that starts when
// video opens: a presentation sleeps until about 3 ms before its deadline, polls window events for the rest,
// then moves the deadline on by whole periods, skipping those that passed during a slow frame.
#pragma once

#include <cstdint>

struct FrameTimers {
    double last_frame = 0;
    double previous_frame = 0;
    double program_start = 0;
};

extern FrameTimers g_frame_timers;

double TickNow();
// Milliseconds between the last two presented frames; 1.0 when that is not positive.
float GetTimer();
// Milliseconds since the end of start-up.
float GetTimerAll();
// Busy-waits until GetTimerAll has advanced by ms.
void WaitMs(float ms);
void SleepMs(uint32_t ms);
// Changes the frame period (1000 / whole frames per second, or 2 ms for rates below 1); the deadline stays.
void SetFrameRate(float rate);

// The frame period for a whole number of frames per second.
double FramePeriodFor(int32_t frames_per_second);
// Sets all three frame timers to the current tick time.
void ResetFrameTimers();
// Previous := last, last := now; once per presented frame.
void AdvanceFrameTimers();

// The pacing half of a presentation. Returns 0.0 when a quit request (Escape or a quit event) was seen, before
// the deadline is touched; otherwise the milliseconds spent plus 1.0, with deadline moved past now.
double PaceToDeadline(double& deadline, double period);
