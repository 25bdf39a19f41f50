// Questions about the machine: the platform information keys, the battery charge, the build stamp.
//
// Every answer the machine cannot give is "NO_DATA" (or a charge of 0), never a failure. The handheld's
// devices ("batt", "mmsp2adc", "hda") are looked for under /dev, or under the folder named by the environment
// variable KORVANE_DEVROOT, which then stands in for /dev for these three names so that a desktop or a test
// can feed raw values. The clock used by the "TIME" key can be replaced for the same reason.
#pragma once

#include <cstdint>
#include <ctime>

#include "text/basic_string.h"

// The answer for a key, compared after upper-casing; the caller's key is left upper-cased (only a to z are
// raised, every other byte stays as it is).
BasicString PlatformInfo(BasicString& key);
// Charge in percent, 0..100; 0 when no battery device answers.
int32_t BatteryLevel();
// The runtime build's date and time, as "Mmm dd yyyy-hh:mm:ss".
BasicString BuildStamp();

// Where a handheld device is opened: "/dev/<name>", or "<KORVANE_DEVROOT>/<name>" when that variable is set
// and not empty.
BasicString DevicePath(const char* name);

// Percentages from the raw device readings, for the battery device's 16-bit value and the ADC device's state.
int32_t BatteryPercentFromRaw(uint16_t raw);
int32_t BatteryPercentFromAdcState(uint16_t state);

// The clock behind the "TIME" key (time() by default); tests replace it to show a known moment.
using PlatformClock = time_t (*)();
void SetPlatformClock(PlatformClock clock);
void ResetPlatformClock();
