// Commands that wait for the user: a key press, a pointer click, or briefly for any input.
#pragma once

// Waits for release, then a character, then release again. A quit request ends the program.
void WaitKey();
// The same three phases for pointer button 1 or 3.
void WaitPointerClick();
// Returns as soon as any control is held or the pointer moved, or after about 15 short polls.
void WaitForInputBriefly();
