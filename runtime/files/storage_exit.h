// The end of storage: what must reach the disk before the program is gone.
//
// Open channels are closed, a changed INI table is saved and a changed line file written back. Shutdown does
// this first, because on the handheld the program ends by replacing itself with the launcher, which runs no
// exit handlers; the exit handler (registered the first time a channel, INI table or line file is used) does
// it again for every other way out. Both are safe to repeat and safe after the rest of the runtime is gone.
#pragma once

// Closes every channel, saves the INI table and writes back the line file when they were changed.
void FinishStorage();
// Registers the exit handler once; later calls do nothing.
void EnsureStorageExitHandler();
