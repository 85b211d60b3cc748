// The beep that closes every operation: a real tone of a given frequency and
// duration. Synchronous: play() returns when the tone has ended, so the
// caller's next step (closing the port) comes after it.
#pragma once

#include <QList>
#include <cstdint>
#include <memory>
#include <vector>

namespace kt {

class Tone {
public:
    virtual ~Tone() = default;
    virtual void play(int frequencyHz, int durationMs) = 0;
};

// A sine through the sound server (PulseAudio); where no sound server runs,
// a silent wait of the same length. Never takes much longer than the tone:
// a server that does not answer within half a second is given up, and once
// the server was found missing the tone stays silent for the rest of the
// process. PULSE_SERVER picks another server, as for every PulseAudio client.
std::unique_ptr<Tone> makeSystemTone();

// The rate at which the system tone is played.
inline constexpr int ToneSampleRate = 48000;

// The samples of one tone, signed 16-bit mono: a sine at half of full scale,
// durationMs × sampleRate / 1000 samples long, faded in and out over 5 ms so
// the speaker does not click. A frequency of 0 or at least half the rate
// gives silence of the same length; a duration of 0 or less gives nothing.
std::vector<std::int16_t> toneSamples(int frequencyHz, int durationMs, int sampleRate);

// For tests: records every tone and returns at once.
class RecordingTone : public Tone {
public:
    struct Played {
        int frequencyHz;
        int durationMs;
        bool operator==(const Played&) const = default;
    };
    void play(int frequencyHz, int durationMs) override {
        played.append({frequencyHz, durationMs});
    }
    QList<Played> played;
};

}  // namespace kt
