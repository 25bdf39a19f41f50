// What the sound tests share: sound files made with sox, the sound table opened in this process on SDL's
// dummy driver, and the probe program run on SDL's disk driver with measures of the sound it wrote.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/process_runner.h"

// Writes a sine tone with sox: `format` holds sox's output options (rate, bits, channels, encoding), the
// file type follows the name's extension. Fails the running test when sox fails.
std::string MakeTone(const TemporaryDirectory& directory, const std::string& name, const std::string& format,
                     double seconds, int frequency, double amplitude = 0.5);

// The sound device and table of start-up, and both pack readers, for the life of the object; audio runs on
// SDL's dummy driver, which plays in real time into nothing.
class OpenedSound {
public:
    OpenedSound();
    ~OpenedSound();
    OpenedSound(const OpenedSound&) = delete;
    OpenedSound& operator=(const OpenedSound&) = delete;
};

// The level of a stretch of the sound written by the probe.
struct Loudness {
    double left_rms = 0;
    double right_rms = 0;
    double frequency = 0;  // of the left channel, from its zero crossings
    size_t frames = 0;
};

// A finished run of the sound probe.
struct ProbeRun {
    ProcessResult process;
    std::vector<std::string> lines;
    std::map<std::string, long> marks;  // mark label -> bytes of audio written at the mark
    std::string audio;                  // everything the disk driver wrote

    // The output lines that begin with `prefix` followed by a blank, without the prefix.
    std::vector<std::string> Results(const std::string& prefix) const;
    // The sound between the marks "<label>.from" and "<label>.to", leaving out the start of the stretch,
    // which may still hold sound mixed before the mark.
    Loudness Measure(const std::string& label) const;
};

// Script lines that let `milliseconds` of sound go by between the marks "<label>.from" and "<label>.to".
std::vector<std::string> Stretch(const std::string& label, int milliseconds);

// Runs the probe on `script` with the audio driver `driver` ("disk" writes into a file of the directory).
// `program` is the probe's path (a copy carrying a pack, for example); `environment` adds entries.
ProbeRun RunSoundProbe(const TemporaryDirectory& directory, const std::vector<std::string>& script,
                       const std::string& driver = "disk", const std::string& program = "",
                       const std::vector<std::string>& environment = {});

// RMS of a sine of the given amplitude (a fraction of full scale) in 16-bit samples.
double SineRms(double amplitude);
