// Platform information keys, battery charge and build stamp.
#include "platform/platform_info.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kNoData[] = "NO_DATA";

// The old ATA drive-identity request; the kernel fills the first 142 bytes of the drive's identity block.
constexpr unsigned long kObsoleteIdentityRequest = 0x0307;
// Room for the whole 512-byte identity block, whichever form of the request a kernel answers.
constexpr size_t kIdentityBlockSize = 512;
// Where the identity text starts inside the block.
constexpr size_t kIdentityTextOffset = 40;

// The battery device's raw value runs from empty (678 and below) to full (above 745).
constexpr int32_t kBatteryRawEmpty = 678;
constexpr int32_t kBatteryRawFull = 745;
// The ADC device's state when nothing could be read: counts as an empty battery.
constexpr uint16_t kAdcNoState = 3;

time_t SystemClock() { return time(nullptr); }

const char* DeviceRoot() {
    const char* root = getenv("KORVANE_DEVROOT");
    return root != nullptr && root[0] != 0 ? root : "/dev";
}

// Opens a device by its name under the device folder. The path is put together on the stack: the battery
// may be asked every frame. A path too long to build does not open.
int OpenDevice(const char* name, int flags) {
    char path[PATH_MAX];
    const int length = snprintf(path, sizeof(path), "%s/%s", DeviceRoot(), name);
    if (length < 0 || static_cast<size_t>(length) >= sizeof(path)) {
        errno = ENAMETOOLONG;
        return -1;
    }
    return open(path, flags);
}

PlatformClock g_clock = SystemClock;

// One read, repeated only when a signal cut it off before any byte came.
ssize_t ReadOnce(int descriptor, void* buffer, size_t size) {
    ssize_t count;
    do {
        count = read(descriptor, buffer, size);
    } while (count < 0 && errno == EINTR);
    return count;
}

// The drive identity text, or "NO_DATA". A stand-in for the drive is a plain file; the request cannot work on
// it, so its bytes are taken as the identity block the request would have filled.
BasicString DriveIdentity() {
    const int descriptor = OpenDevice("hda", O_RDONLY | O_NONBLOCK);
    if (descriptor < 0) return BasicString(kNoData);
    // Zeroed and one byte larger than any answer, so the text always ends inside the buffer even when the
    // drive's own text has no terminator.
    char block[kIdentityBlockSize + 1];
    memset(block, 0, sizeof(block));
    bool answered = ioctl(descriptor, kObsoleteIdentityRequest, block) == 0;
    if (!answered) {
        struct stat status;
        if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
            const ssize_t count = ReadOnce(descriptor, block, kIdentityBlockSize);
            answered = count > static_cast<ssize_t>(kIdentityTextOffset);
        }
    }
    close(descriptor);
    block[kIdentityBlockSize] = 0;
    if (!answered) return BasicString(kNoData);
    return BasicString(block + kIdentityTextOffset);
}

// Appends a date or time field with two digits.
void AppendTwoDigits(BasicString& text, int value) {
    if (value < 10) text.Append("0");
    text.Append(static_cast<int32_t>(value));
}

BasicString LocalTimeText() {
    const time_t now = g_clock();
    struct tm fields;
    // localtime() reads the time zone afresh every time; localtime_r() need not, so it is asked to.
    tzset();
    // A moment the C library cannot break down has no local time to show.
    if (localtime_r(&now, &fields) == nullptr || fields.tm_year > INT32_MAX - 1900) return BasicString(kNoData);
    BasicString text;
    // Room for the whole text at once (a year of up to ten digits), so the fields never move it.
    text.Reserve(32);
    text.Append(static_cast<int32_t>(fields.tm_year + 1900));
    text.Append("-");
    AppendTwoDigits(text, fields.tm_mon + 1);
    text.Append("-");
    AppendTwoDigits(text, fields.tm_mday);
    text.Append(" ");
    AppendTwoDigits(text, fields.tm_hour);
    text.Append(":");
    AppendTwoDigits(text, fields.tm_min);
    text.Append(":");
    AppendTwoDigits(text, fields.tm_sec);
    return text;
}

}  // namespace

BasicString DevicePath(const char* name) {
    BasicString path(DeviceRoot());
    path.Append("/");
    path.Append(name);
    return path;
}

int32_t BatteryPercentFromRaw(uint16_t raw) {
    if (raw > kBatteryRawFull) return 100;
    if (raw <= kBatteryRawEmpty) return 0;
    // Single precision, as the handheld computes it, over the 67 steps above empty; 679 gives 1, 745 gives 100.
    const float percent = static_cast<float>(raw - kBatteryRawEmpty) * 100.0f / 67.0f;
    return static_cast<int32_t>(percent);
}

int32_t BatteryPercentFromAdcState(uint16_t state) {
    switch (state) {
        case 0: return 100;
        case 1: return 67;
        case 2: return 33;
        default: return 0;
    }
}

int32_t BatteryLevel() {
    int descriptor = OpenDevice("batt", O_RDONLY);
    if (descriptor >= 0) {
        uint8_t bytes[2];
        const ssize_t count = ReadOnce(descriptor, bytes, sizeof(bytes));
        close(descriptor);
        // A device that gives fewer than the two bytes of a reading cannot tell the charge.
        if (count != static_cast<ssize_t>(sizeof(bytes))) return 0;
        uint16_t raw;
        memcpy(&raw, bytes, sizeof(raw));
        return BatteryPercentFromRaw(raw);
    }
    // Older hardware: the ADC device's first 16-bit value is the charge state.
    uint16_t state = kAdcNoState;
    descriptor = OpenDevice("mmsp2adc", O_RDONLY);
    if (descriptor >= 0) {
        uint8_t bytes[4];
        const ssize_t count = ReadOnce(descriptor, bytes, sizeof(bytes));
        close(descriptor);
        // Half a state is no state: fewer than two bytes keep the "nothing read" state.
        if (count >= static_cast<ssize_t>(sizeof(state))) memcpy(&state, bytes, sizeof(state));
    }
    return BatteryPercentFromAdcState(state);
}

BasicString BuildStamp() {
    BasicString stamp(__DATE__);
    stamp.Append("-");
    stamp.Append(__TIME__);
    return stamp;
}

BasicString PlatformInfo(BasicString& key) {
    key.MakeUpper();
    const char* name = key.c_str();
    if (name[0] == 0) return BasicString("GP2X");
    if (strncmp(name, "GLEXT:", 6) == 0) return BasicString("0");
    if (strcmp(name, "ID") == 0) return DriveIdentity();
    if (strcmp(name, "DEVICE") == 0) return BasicString("WIZ");
    if (strcmp(name, "TIME") == 0) return LocalTimeText();
    if (strcmp(name, "BATTERY") == 0) return BasicString(BatteryLevel());
    if (strcmp(name, "COMPILED") == 0) return BuildStamp();
    return BasicString(kNoData);
}

void SetPlatformClock(PlatformClock clock) { g_clock = clock != nullptr ? clock : SystemClock; }

void ResetPlatformClock() { g_clock = SystemClock; }
