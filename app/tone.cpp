// The system tone. We drive PulseAudio through its asynchronous API on a
// private main loop rather than through pa_simple: pa_simple has no time
// limit of its own, and a server that accepts the connection but never
// answers holds pa_simple_new for 30 seconds, with the window frozen in the
// middle of an epilogue. Here every step has a deadline, and whatever goes
// wrong ends in a silent wait for what is left of the tone.
#include "app/tone.h"

#include <pulse/context.h>
#include <pulse/mainloop.h>
#include <pulse/operation.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>
#include <pulse/timeval.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

namespace kt {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int FadeMs = 5;
constexpr double Amplitude = 0.5 * 32767;

// Time for reaching the server and opening the stream: a local server
// answers in a few milliseconds.
constexpr milliseconds ConnectBudget{500};
// How long after the tone's own length we wait for the server to report it
// played out.
constexpr milliseconds DrainMargin{500};
// What we ask the server to keep between our stream and the speaker.
constexpr pa_usec_t TargetLatencyUs = 40'000;
// How often we look at the playback clock while the tone plays.
constexpr std::chrono::microseconds PlaybackPoll{5'000};

struct LoopDeleter {
    void operator()(pa_mainloop* m) const { pa_mainloop_free(m); }
};
struct ContextDeleter {
    void operator()(pa_context* c) const {
        pa_context_disconnect(c);
        pa_context_unref(c);
    }
};
struct StreamDeleter {
    void operator()(pa_stream* s) const {
        pa_stream_disconnect(s);
        pa_stream_unref(s);
    }
};
struct OperationDeleter {
    void operator()(pa_operation* o) const {
        pa_operation_cancel(o);
        pa_operation_unref(o);
    }
};
struct ProplistDeleter {
    void operator()(pa_proplist* p) const { pa_proplist_free(p); }
};

enum class Outcome { Played, NoServer, Failed };

// One tone on one connection, torn down when it goes out of scope (the
// stream before the context, the context before the loop).
class PulseSession {
public:
    Outcome play(const std::vector<std::int16_t>& samples, milliseconds duration) {
        loop_.reset(pa_mainloop_new());
        if (!loop_) return Outcome::NoServer;

        std::unique_ptr<pa_proplist, ProplistDeleter> props(pa_proplist_new());
        pa_proplist_sets(props.get(), PA_PROP_APPLICATION_NAME, "KT350 KT460 Tools");
        pa_proplist_sets(props.get(), PA_PROP_MEDIA_ROLE, "event");
        context_.reset(
            pa_context_new_with_proplist(pa_mainloop_get_api(loop_.get()), nullptr, props.get()));
        if (!context_) return Outcome::NoServer;

        // No autospawn: starting a sound server is the desktop's business, and
        // it would not be done within a beep.
        const auto connectDeadline = Clock::now() + ConnectBudget;
        if (pa_context_connect(context_.get(), nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
            return Outcome::NoServer;
        const bool contextSettled = runUntil(connectDeadline, [&] {
            const auto s = pa_context_get_state(context_.get());
            return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
        });
        if (!contextSettled || pa_context_get_state(context_.get()) != PA_CONTEXT_READY)
            return Outcome::NoServer;

        const pa_sample_spec spec{PA_SAMPLE_S16LE, ToneSampleRate, 1};
        stream_.reset(pa_stream_new(context_.get(), "beep", &spec, nullptr));
        if (!stream_) return Outcome::Failed;
        // A short target latency, so that what the server reports as playing
        // is close to what the speaker plays.
        pa_buffer_attr buffer;
        buffer.maxlength = static_cast<std::uint32_t>(-1);
        buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(TargetLatencyUs, &spec));
        buffer.prebuf = static_cast<std::uint32_t>(-1);
        buffer.minreq = static_cast<std::uint32_t>(-1);
        buffer.fragsize = static_cast<std::uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(
            PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE);
        if (pa_stream_connect_playback(stream_.get(), nullptr, &buffer, flags, nullptr, nullptr) <
            0)
            return Outcome::Failed;
        const bool streamSettled = runUntil(connectDeadline, [&] {
            const auto s = pa_stream_get_state(stream_.get());
            return s == PA_STREAM_READY || !PA_STREAM_IS_GOOD(s);
        });
        if (!streamSettled || pa_stream_get_state(stream_.get()) != PA_STREAM_READY)
            return Outcome::Failed;

        // The whole tone in one write (a few tens of kilobytes, well inside the
        // server's queue), then a drain, which also starts playback should the
        // pre-buffer not be full.
        const auto playDeadline = Clock::now() + duration + DrainMargin;
        if (pa_stream_write(stream_.get(), samples.data(), samples.size() * sizeof(std::int16_t),
                            nullptr, 0, PA_SEEK_RELATIVE) < 0)
            return Outcome::Failed;
        std::unique_ptr<pa_operation, OperationDeleter> drain(
            pa_stream_drain(stream_.get(), nullptr, nullptr));
        if (!drain) return Outcome::Failed;
        // The tone has played when the stream's playback clock, which counts
        // at the sink's output, has passed its length. The drain alone
        // reports that late on some servers: PulseAudio keeps the samples for
        // rewinding as long as the sink's largest latency (two seconds on a
        // null sink) before it calls a stream drained.
        const auto length = static_cast<pa_usec_t>(duration.count()) * PA_USEC_PER_MSEC;
        const bool played = runUntil(
            playDeadline,
            [&] {
                pa_usec_t position = 0;
                return pa_operation_get_state(drain.get()) != PA_OPERATION_RUNNING ||
                       pa_stream_get_state(stream_.get()) != PA_STREAM_READY ||
                       (pa_stream_get_time(stream_.get(), &position) == 0 && position >= length);
            },
            PlaybackPoll);
        return played && pa_stream_get_state(stream_.get()) == PA_STREAM_READY &&
                       pa_operation_get_state(drain.get()) != PA_OPERATION_CANCELLED
                   ? Outcome::Played
                   : Outcome::Failed;
    }

private:
    // Turns the loop until `done` holds or the deadline passes; false on the
    // deadline or a loop error. `poll` bounds each wait, for conditions that
    // change with time rather than with an event.
    template <typename Done>
    bool runUntil(Clock::time_point deadline, Done done,
                  std::chrono::microseconds poll = std::chrono::microseconds::max()) {
        while (!done()) {
            const auto left =
                std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
            if (left.count() <= 0) return false;
            const auto wait = std::min(left, poll);
            if (pa_mainloop_prepare(loop_.get(), static_cast<int>(wait.count())) < 0 ||
                pa_mainloop_poll(loop_.get()) < 0 || pa_mainloop_dispatch(loop_.get()) < 0)
                return false;
        }
        return true;
    }

    // Destroyed in reverse order: the stream first, the loop last.
    std::unique_ptr<pa_mainloop, LoopDeleter> loop_;
    std::unique_ptr<pa_context, ContextDeleter> context_;
    std::unique_ptr<pa_stream, StreamDeleter> stream_;
};

class SystemTone final : public Tone {
public:
    void play(int frequencyHz, int durationMs) override {
        if (durationMs <= 0) return;
        const milliseconds duration{durationMs};
        const auto end = Clock::now() + duration;
        if (!serverMissing_) {
            const auto outcome =
                PulseSession().play(toneSamples(frequencyHz, durationMs, ToneSampleRate), duration);
            // A server that is missing now will be missing for the next beep
            // too; asking again would only repeat the wait. A stream that
            // failed on a live server is worth another try next time.
            if (outcome == Outcome::NoServer) serverMissing_ = true;
        }
        // Silence for whatever the server did not play: the caller counts on
        // the tone's full length either way.
        std::this_thread::sleep_until(end);
    }

private:
    bool serverMissing_ = false;
};

}  // namespace

std::vector<std::int16_t> toneSamples(int frequencyHz, int durationMs, int sampleRate) {
    if (durationMs <= 0 || sampleRate <= 0) return {};
    const auto count = static_cast<std::size_t>(std::int64_t{durationMs} * sampleRate / 1000);
    std::vector<std::int16_t> samples(count, 0);
    if (frequencyHz <= 0 || std::int64_t{frequencyHz} * 2 >= sampleRate) return samples;

    const std::size_t fade = std::min<std::size_t>(sampleRate * FadeMs / 1000, count / 2);
    const double step = 2 * std::numbers::pi * frequencyHz / sampleRate;
    for (std::size_t i = 0; i < count; ++i) {
        double gain = 1.0;
        const std::size_t edge = std::min(i, count - 1 - i);
        if (edge < fade) gain = 0.5 - 0.5 * std::cos(std::numbers::pi * edge / fade);
        samples[i] = static_cast<std::int16_t>(std::lround(Amplitude * gain * std::sin(step * i)));
    }
    return samples;
}

std::unique_ptr<Tone> makeSystemTone() {
    return std::make_unique<SystemTone>();
}

}  // namespace kt
