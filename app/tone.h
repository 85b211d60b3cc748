// The beep that closes every operation: a real tone of a given frequency and
// duration. Synchronous: play() returns when the tone has ended, so the
// caller's next step (closing the port) comes after it.
#pragma once

#include <QList>
#include <memory>

namespace kt {

class Tone {
public:
    virtual ~Tone() = default;
    virtual void play(int frequencyHz, int durationMs) = 0;
};

// A sine through the sound server (PulseAudio); where no sound server runs,
// a silent wait of the same length.
std::unique_ptr<Tone> makeSystemTone();

// For tests: records every tone and returns at once.
class RecordingTone : public Tone {
public:
    struct Played {
        int frequencyHz;
        int durationMs;
        bool operator==(const Played&) const = default;
    };
    void play(int frequencyHz, int durationMs) override { played.append({frequencyHz, durationMs}); }
    QList<Played> played;
};

}  // namespace kt
