// Draining SDL's window events for a quit request.
#pragma once

// Takes events until the queue is empty; returns 0 at the first quit request (Escape pressed, or the window
// closed), 1 otherwise. Every other event is dropped.
int PollWindowEvents();
