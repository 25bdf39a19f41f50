// Platform information: the keys and the caller's upper-cased key, the local time text, the battery charge
// from the battery and ADC devices (fed through a stand-in device folder), the drive identity, the build stamp.
#include "platform/platform_info.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>

#include "support/process_runner.h"

namespace {

std::string RawReading(uint16_t value) {
    std::string bytes(sizeof(value), '\0');
    memcpy(&bytes[0], &value, sizeof(value));
    return bytes;
}

// A stand-in device folder for the test's lifetime.
class PlatformDevices : public ::testing::Test {
protected:
    void SetUp() override { setenv("KORVANE_DEVROOT", devices_.path().c_str(), 1); }
    void TearDown() override { unsetenv("KORVANE_DEVROOT"); }
    void Feed(const char* device, const std::string& bytes) { WriteWholeFile(devices_.File(device), bytes); }
    std::string Ask(const char* key) {
        BasicString value(key);
        return PlatformInfo(value).c_str();
    }

    TemporaryDirectory devices_;
};

TEST(PlatformInfoKeys, AnswersEachKeyAndLeavesTheCallersKeyUpperCased) {
    const std::string long_letters(10000, 'g');
    struct Case {
        std::string key, answer, key_after;
    };
    const Case cases[] = {
        {"", "GP2X", ""},
        {"device", "WIZ", "DEVICE"},
        {"DeViCe", "WIZ", "DEVICE"},
        {"glext:GL_ARB_multitexture", "0", "GLEXT:GL_ARB_MULTITEXTURE"},
        {"GLEXT:", "0", "GLEXT:"},
        {"glext:" + long_letters, "0", "GLEXT:" + std::string(10000, 'G')},
        {"glext", "NO_DATA", "GLEXT"},
        {"gl_ext:x", "NO_DATA", "GL_EXT:X"},
        {"device ", "NO_DATA", "DEVICE "},
        {"xdevice", "NO_DATA", "XDEVICE"},
        {"platform", "NO_DATA", "PLATFORM"},
        {long_letters, "NO_DATA", std::string(10000, 'G')},
        // Bytes above 127 are not letters here: they stay as they are, and the key matches nothing.
        {"d\xe9vice", "NO_DATA", "D\xe9VICE"},
        {"\xe4\xf6\xfc\xff\x80z", "NO_DATA", "\xe4\xf6\xfc\xff\x80Z"},
        {"glext:\xe9t\xe9", "0", "GLEXT:\xe9T\xe9"},
    };
    for (const Case& c : cases) {
        BasicString key(c.key.c_str());
        const BasicString answer = PlatformInfo(key);
        EXPECT_STREQ(answer.c_str(), c.answer.c_str()) << c.key.substr(0, 40);
        EXPECT_EQ(std::string(key.c_str()), c.key_after) << c.key.substr(0, 40);
        EXPECT_EQ(key.length(), c.key.size());
    }
}

TEST(PlatformInfoKeys, CompiledIsTheBuildStampOfAPastMoment) {
    BasicString key("compiled");
    const BasicString stamp = BuildStamp();
    EXPECT_STREQ(PlatformInfo(key).c_str(), stamp.c_str());
    // "Mmm dd yyyy-hh:mm:ss", the day padded with a blank as the compiler writes it.
    ASSERT_EQ(stamp.length(), 20u) << stamp.c_str();
    EXPECT_EQ(stamp.c_str()[11], '-');
    struct tm fields;
    memset(&fields, 0, sizeof(fields));
    const char* end = strptime(stamp.c_str(), "%b %d %Y-%H:%M:%S", &fields);
    ASSERT_NE(end, nullptr) << stamp.c_str();
    EXPECT_EQ(*end, '\0');
    fields.tm_isdst = -1;
    // Built before it runs (a day's leeway for the build machine's time zone).
    EXPECT_LE(mktime(&fields), time(nullptr) + 86400);
    EXPECT_GE(fields.tm_year + 1900, 2024);
}

time_t g_fixed_moment = 0;
time_t FixedClock() { return g_fixed_moment; }

TEST(PlatformInfoTime, WritesTheLocalTimeWithTwoDigitFields) {
    struct Case {
        const char* zone;
        time_t moment;
        const char* text;
    };
    const Case cases[] = {
        {"UTC0", 1267952703, "2010-03-07 09:05:03"},
        {"UTC0", 0, "1970-01-01 00:00:00"},
        {"UTC0", 1798761599, "2026-12-31 23:59:59"},
        {"EST5", 1267952703, "2010-03-07 04:05:03"},
        {"UTC-10", 1267952703, "2010-03-07 19:05:03"},
    };
    const char* saved_zone = getenv("TZ");
    const std::string saved = saved_zone != nullptr ? saved_zone : "";
    for (const Case& c : cases) {
        setenv("TZ", c.zone, 1);
        g_fixed_moment = c.moment;
        SetPlatformClock(FixedClock);
        BasicString key("time");
        EXPECT_STREQ(PlatformInfo(key).c_str(), c.text) << c.zone << " " << c.moment;
        EXPECT_STREQ(key.c_str(), "TIME");
    }
    // Moments too far out to break down into a calendar date, or whose year does not fit a number.
    setenv("TZ", "UTC0", 1);
    for (const time_t moment : {std::numeric_limits<time_t>::max(), static_cast<time_t>(2147483527LL * 31556952LL)}) {
        g_fixed_moment = moment;
        BasicString key("TIME");
        EXPECT_STREQ(PlatformInfo(key).c_str(), "NO_DATA") << moment;
    }
    ResetPlatformClock();
    if (saved_zone != nullptr) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

TEST(BatteryArithmetic, RawValuesMapToPercentages) {
    struct Case {
        uint16_t raw;
        int32_t percent;
    };
    const Case cases[] = {{0, 0},     {677, 0},   {678, 0},    {679, 1},   {712, 50},
                          {745, 100}, {746, 100}, {1000, 100}, {65535, 100}};
    for (const Case& c : cases) EXPECT_EQ(BatteryPercentFromRaw(c.raw), c.percent) << c.raw;
    // Every step in between agrees with exact integer arithmetic: single precision never tips a value over.
    for (int raw = 679; raw <= 745; ++raw) EXPECT_EQ(BatteryPercentFromRaw(raw), (raw - 678) * 100 / 67) << raw;
}

TEST_F(PlatformDevices, BatteryDeviceGivesTheChargeAndWinsOverTheAdc) {
    struct Case {
        uint16_t raw;
        const char* answer;
    };
    const Case cases[] = {{712, "50"}, {746, "100"}, {678, "0"}, {700, "32"}};
    // The ADC's state 0 would mean full: it must not be asked while the battery device answers.
    Feed("mmsp2adc", RawReading(0) + RawReading(0));
    for (const Case& c : cases) {
        Feed("batt", RawReading(c.raw));
        EXPECT_STREQ(Ask("battery").c_str(), c.answer) << c.raw;
    }
}

TEST_F(PlatformDevices, AdcStatesGiveTheChargeWithoutTheBatteryDevice) {
    struct Case {
        std::string bytes;
        int32_t percent;
    };
    const Case cases[] = {
        {RawReading(0) + RawReading(0xFFFF), 100},
        {RawReading(1) + RawReading(0), 67},
        {RawReading(2) + RawReading(0), 33},
        {RawReading(3) + RawReading(0), 0},
        {RawReading(4) + RawReading(0), 0},
        {RawReading(0xFFFF) + RawReading(0), 0},
        // Only the state matters; two bytes are enough.
        {RawReading(1), 67},
        // Fewer bytes than a state: nothing was read, which counts as an empty battery.
        {std::string(1, '\0'), 0},
        {std::string(1, '\x01'), 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        Feed("mmsp2adc", c.bytes);
        EXPECT_EQ(BatteryLevel(), c.percent) << c.bytes.size() << " bytes";
    }
}

TEST_F(PlatformDevices, ShortBatteryReadingsAndMissingDevicesGiveZero) {
    EXPECT_EQ(BatteryLevel(), 0);
    EXPECT_STREQ(Ask("BATTERY").c_str(), "0");
    // A battery device that opens but gives fewer than two bytes tells nothing, and the ADC is not asked.
    Feed("mmsp2adc", RawReading(0));
    for (const std::string& bytes : {std::string(), std::string(1, '\xff'), std::string(1, '\x02')}) {
        Feed("batt", bytes);
        EXPECT_EQ(BatteryLevel(), 0) << bytes.size() << " bytes";
    }
    // A device that opens but cannot be read at all.
    remove(devices_.File("batt").c_str());
    ASSERT_EQ(system(("mkdir " + devices_.File("batt")).c_str()), 0);
    EXPECT_EQ(BatteryLevel(), 0);
}

TEST_F(PlatformDevices, DriveIdentityIsTheTextFortyBytesIntoTheBlock) {
    EXPECT_STREQ(Ask("id").c_str(), "NO_DATA");

    Feed("hda", std::string(40, 'x') + std::string("WIZ-NAND 0042\0trailing", 22));
    BasicString key("Id");
    EXPECT_STREQ(PlatformInfo(key).c_str(), "WIZ-NAND 0042");
    EXPECT_STREQ(key.c_str(), "ID");

    // A text without a terminator ends with the block.
    Feed("hda", std::string(2000, 'A'));
    EXPECT_EQ(Ask("ID"), std::string(512 - 40, 'A'));

    // A block too short to hold any text is no answer.
    Feed("hda", std::string(40, 'x'));
    EXPECT_STREQ(Ask("ID").c_str(), "NO_DATA");
    Feed("hda", std::string(40, 'x') + std::string(1, '\0'));
    EXPECT_STREQ(Ask("ID").c_str(), "");
}

TEST_F(PlatformDevices, DevicesAreLookedForUnderTheStandInFolderOrDev) {
    EXPECT_EQ(std::string(DevicePath("batt").c_str()), devices_.File("batt"));
    setenv("KORVANE_DEVROOT", "", 1);
    EXPECT_STREQ(DevicePath("mmsp2adc").c_str(), "/dev/mmsp2adc");
    unsetenv("KORVANE_DEVROOT");
    EXPECT_STREQ(DevicePath("hda").c_str(), "/dev/hda");
}

}  // namespace
