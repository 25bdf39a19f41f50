// The display snapshot: when KORVANE_SNAPSHOT names a file, the last frame copied to the display is kept and
// written to that file (PNG for a name ending in ".png", else BMP) when the runtime shuts down. It lets a
// headless run, a test or a developer without the handheld see what the screen showed.
#pragma once

// Called for every frame copied to the display; keeps a copy of it when a snapshot was asked for.
void RememberShownFrame();
// Writes the kept frame, if any, and frees it. Called by shutdown before the video context goes.
void SaveShownFrameSnapshot();
