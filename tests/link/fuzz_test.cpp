// Randomised test of the reply collector and the two reply checks: millions
// of seeded byte streams, fed to a collector of every frame style.
//
// Each stream is compared with the collecting rules worked out over the whole
// stream at once (the frame runs from the last lead byte to the first CR that
// follows it, and one of 1500 bytes or more never completes usefully), so a
// slip in the byte-by-byte state machine shows up as a mismatch. Every frame
// the checks see sits in a heap block of exactly its own size: built with
// -DKT_SANITIZE=ON, AddressSanitizer stops on any read outside the frame.
//
// KT_FUZZ_STREAMS sets the number of streams, KT_FUZZ_SEED the seed; both are
// printed, and a failure names the stream and shows its bytes.
#include "link/frames.h"
#include "link/reply_collector.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <random>
#include <utility>
#include <vector>

using namespace kt;

namespace {

constexpr std::uint64_t kDefaultStreams = 2'000'000;
constexpr std::uint64_t kDefaultSeed = 0x6B74'6C69'6E6B'2024;
// Frames collected from one stream before it is left (a dense stream holds
// hundreds, and each one costs a reset).
constexpr int kMaxFramesPerStream = 12;

constexpr std::array kStyles{FrameStyle::Crc, FrameStyle::StxReply, FrameStyle::EtxReply};
constexpr std::array kControls{SOH, STX, ETX, EOT, CR, '\0'};
constexpr char kHexish[] = "0123456789ABCDEFabcdef";

std::uint64_t FromEnvironment(const char* name, std::uint64_t fallback) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return fallback;
    char* end = nullptr;
    const std::uint64_t n = std::strtoull(value, &end, 0);
    return *end == '\0' ? n : fallback;
}

class Random {
public:
    explicit Random(std::uint64_t seed) : engine_(seed) {}
    std::uint64_t next() { return engine_(); }
    // The modulo bias is irrelevant for the small ranges used here.
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool oneIn(int n) { return below(n) == 0; }

private:
    std::mt19937_64 engine_;
};

// How a stream's bytes are drawn, per 65536: control bytes (the framing
// bytes and zero), any byte at all, and the rest hex digits of both cases.
struct ByteMix {
    std::uint32_t control;
    std::uint32_t any;

    static ByteMix Pick(Random& r) {
        static constexpr std::uint32_t kControl[] = {32768, 8192, 1024, 128, 0};
        static constexpr std::uint32_t kAny[] = {16384, 1024, 0};
        return {kControl[r.below(5)], kAny[r.below(3)]};
    }

    char draw(Random& r) const {
        const std::uint64_t bits = r.next();
        const auto pick = static_cast<std::uint32_t>(bits & 0xFFFF);
        const std::uint64_t value = bits >> 16;
        if (pick < control) return kControls[value % kControls.size()];
        if (pick < control + any) return static_cast<char>(value & 0xFF);
        return kHexish[value % (sizeof kHexish - 1)];
    }
};

// Mostly short streams, some long enough to wrap the collector's position
// once or twice.
int StreamLength(Random& r) {
    const int kind = r.below(32);
    return r.between(0, kind == 0 ? 3100 : kind <= 4 ? 400 : 40);
}

// Appends count bytes drawn by mix, leaving out the excluded ones.
void AppendNoise(QByteArray& out, Random& r, int count, const ByteMix& mix,
                 std::initializer_list<char> excluded = {}) {
    for (int i = 0; i < count; ++i) {
        char c;
        do {
            c = mix.draw(r);
        } while (std::find(excluded.begin(), excluded.end(), c) != excluded.end());
        out.append(c);
    }
}

// A payload as a controller could send it: none of the bytes that the
// receiver treats as framing for this style.
QByteArray CleanPayload(Random& r, FrameStyle style, int size) {
    QByteArray payload;
    const char eot = style == FrameStyle::Crc ? EOT : CR;
    AppendNoise(payload, r, size, ByteMix::Pick(r), {CR, ReplyLead(style), eot});
    return payload;
}

// Payload sizes cluster at the short end and around the buffer's limit.
int PayloadSize(Random& r, FrameStyle style) {
    const int overhead = style == FrameStyle::Crc ? 7 : 4;
    const int kind = r.below(40);
    if (kind == 0) return r.between(kFrameBufferSize - 8, kFrameBufferSize + 2) - overhead;
    return r.between(0, kind <= 2 ? 300 : 40);
}

enum class Mutation { None, FlipDigit, ExtraBeforeCr, Random };

// One reply frame built for a style, somewhere in a stream.
struct BuiltReply {
    FrameStyle style;
    qsizetype at;
    qsizetype size;
    Mutation mutation;
};

// The frame's checksum digits: offset and count from the frame's start.
std::pair<qsizetype, int> DigitSpan(FrameStyle style, qsizetype frameSize) {
    return style == FrameStyle::Crc ? std::pair{frameSize - 5, 4} : std::pair{frameSize - 3, 2};
}

void Mutate(QByteArray& frame, Random& r, FrameStyle style, Mutation mutation) {
    switch (mutation) {
        case Mutation::None:
            break;
        case Mutation::FlipDigit: {
            const auto [first, count] = DigitSpan(style, frame.size());
            char& digit = frame[first + r.below(count)];
            char other;
            do {
                other = kHexish[r.below(sizeof kHexish - 1)];
            } while (other == digit);
            digit = other;
            break;
        }
        case Mutation::ExtraBeforeCr: {
            QByteArray extra;
            AppendNoise(extra, r, r.between(1, 8), ByteMix::Pick(r), {CR, ReplyLead(style)});
            frame.insert(frame.size() - 1, extra);
            break;
        }
        case Mutation::Random:
            for (int n = r.between(1, 3); n > 0 && !frame.isEmpty(); --n) {
                const auto pos = static_cast<qsizetype>(r.below(static_cast<int>(frame.size())));
                switch (r.below(4)) {
                    case 0:
                        frame[pos] = static_cast<char>(frame[pos] ^ (1 << r.below(8)));
                        break;
                    case 1:
                        frame.remove(pos, 1);
                        break;
                    case 2:
                        frame.insert(pos, kControls[r.below(kControls.size())]);
                        break;
                    default:
                        frame.truncate(pos);
                        break;
                }
            }
            break;
    }
}

// The collecting rules applied to a whole stream at once.
struct Expected {
    qsizetype consumed;  // bytes used up to and including the completing CR
    bool complete;
    int length;
    qsizetype frameAt;  // where the completed frame starts in the stream
    bool overlong;      // a CR came 1500 or more bytes behind its lead byte
};

Expected ExpectedCollection(const char* data, qsizetype size, char lead) {
    qsizetype lastLead = -1;
    bool overlong = false;
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] == lead) {
            lastLead = i;
        } else if (data[i] == CR && lastLead >= 0) {
            const qsizetype n = i - lastLead + 1;
            if (n < kFrameBufferSize) return {i + 1, true, static_cast<int>(n), lastLead, overlong};
            // Exactly full: the position has wrapped to 0 and the zero
            // behind the frame overwrites its lead byte.
            if (n == kFrameBufferSize) return {i + 1, true, 0, lastLead, true};
            // Longer: the lead byte was overwritten long ago.
            overlong = true;
        }
    }
    const qsizetype collected = lastLead >= 0 ? size - lastLead : size;
    return {size, false, static_cast<int>(collected % kFrameBufferSize), -1, overlong};
}

// The checks' verdict on a frame held in a block of exactly its size.
bool CheckExactCopy(FrameStyle style, const char* data, int length) {
    const std::unique_ptr<char[]> copy(new char[static_cast<size_t>(length)]);
    std::memcpy(copy.get(), data, static_cast<size_t>(length));
    return CheckReply(style, copy.get(), length);
}

class Fuzzer {
public:
    explicit Fuzzer(std::uint64_t seed) : r_(seed) {}

    void run(std::uint64_t streams) {
        for (index_ = 0; index_ < streams && failures_ == 0; ++index_) {
            built_.clear();
            const int kind = r_.below(20);
            if (kind < 4)
                makeSequence();
            else if (kind < 11)
                makeBuiltReply();
            else
                makeNoise();
            for (FrameStyle style : kStyles) collectAll(style);
            for (const BuiltReply& reply : built_) checkBuiltReply(reply);
            checkRawStream();
        }
    }

    std::uint64_t streamsRun() const { return index_; }
    std::uint64_t framesCompleted() const { return completed_; }
    std::uint64_t framesAccepted() const { return accepted_; }
    std::uint64_t bytesFed() const { return bytesFed_; }
    std::uint64_t overlongFrames() const { return overlong_; }

private:
    void makeNoise() {
        stream_.clear();
        AppendNoise(stream_, r_, StreamLength(r_), ByteMix::Pick(r_));
    }

    // Optional noise free of the style's lead byte, the reply, optional
    // trailing noise of any kind.
    void appendBuiltReply() {
        const FrameStyle style = kStyles[r_.below(3)];
        const ByteMix mix = ByteMix::Pick(r_);
        if (r_.oneIn(2)) AppendNoise(stream_, r_, r_.between(1, 20), mix, {ReplyLead(style)});
        QByteArray frame = BuildReply(style, CleanPayload(r_, style, PayloadSize(r_, style)));
        static constexpr Mutation kMutations[] = {Mutation::FlipDigit, Mutation::FlipDigit,
                                                  Mutation::ExtraBeforeCr, Mutation::Random,
                                                  Mutation::Random};
        const int pick = r_.below(10);
        Mutation mutation = pick < 5 ? kMutations[pick] : Mutation::None;
        if (mutation == Mutation::ExtraBeforeCr && style != FrameStyle::Crc)
            mutation = Mutation::None;
        Mutate(frame, r_, style, mutation);
        built_.push_back({style, stream_.size(), frame.size(), mutation});
        stream_.append(frame);
        if (r_.oneIn(2)) AppendNoise(stream_, r_, r_.between(1, 20), mix);
    }

    void makeBuiltReply() {
        stream_.clear();
        appendBuiltReply();
    }

    // Replies and noise back to back, as several transactions would see them.
    void makeSequence() {
        stream_.clear();
        bool replyFirst = false;
        for (int part = 0, parts = r_.between(2, 4); part < parts; ++part) {
            if (r_.oneIn(3)) {
                AppendNoise(stream_, r_, StreamLength(r_), ByteMix::Pick(r_));
            } else {
                replyFirst = replyFirst || part == 0;
                appendBuiltReply();
            }
        }
        // Only a reply at the stream's start has a verdict known in advance.
        built_.resize(replyFirst ? 1 : 0);
    }

    void fail(const char* what, FrameStyle style, qsizetype offset) {
        if (++failures_ > 1) return;
        ADD_FAILURE() << what << "\n  stream " << index_ << " (" << stream_.size()
                      << " bytes), style " << static_cast<int>(style) << ", collecting from offset "
                      << offset << "\n  bytes: " << stream_.left(1600).toHex(' ').constData();
    }

    void expect(bool condition, const char* what, FrameStyle style, qsizetype offset) {
        if (!condition) fail(what, style, offset);
    }

    // Feeds the whole stream, starting a new collection after every frame,
    // byte by byte or in random chunks, and compares every frame with the
    // collecting rules.
    void collectAll(FrameStyle style) {
        const char lead = ReplyLead(style);
        const bool bytewise = r_.oneIn(2);
        qsizetype offset = 0;
        for (int frames = 0; frames < kMaxFramesPerStream; ++frames) {
            const char* data = stream_.constData() + offset;
            const qsizetype left = stream_.size() - offset;
            const Expected e = ExpectedCollection(data, left, lead);
            collector_.reset(style);

            qsizetype used = 0;
            if (bytewise) {
                while (used < left) {
                    const bool done = collector_.feed(data[used++]);
                    const int length = collector_.length();
                    expect(length >= 0 && length < kFrameBufferSize, "length out of range", style,
                           offset);
                    if (done) break;
                }
            } else {
                while (used < left && !collector_.complete()) {
                    const qsizetype chunk = std::min<qsizetype>(left - used, r_.between(1, 600));
                    const qsizetype n = collector_.feed(QByteArrayView(data + used, chunk));
                    expect(n >= 1 && n <= chunk, "feed used a count outside the chunk", style,
                           offset);
                    expect(n == chunk || collector_.complete(), "feed stopped early", style,
                           offset);
                    if (failures_ != 0) return;
                    used += n;
                }
            }
            bytesFed_ += static_cast<std::uint64_t>(used);
            overlong_ += e.overlong ? 1 : 0;

            expect(used == e.consumed, "frame completed at the wrong byte", style, offset);
            expect(collector_.complete() == e.complete, "completion differs", style, offset);
            expect(collector_.length() == e.length, "length differs", style, offset);
            if (failures_ != 0 || !e.complete) {
                expect(!collector_.accepted() && collector_.text().isEmpty(),
                       "incomplete frame accepted or has text", style, offset);
                return;
            }
            checkCompleted(style, data + e.frameAt, offset);
            offset += used;
            if (offset == stream_.size()) return;
        }
    }

    void checkCompleted(FrameStyle style, const char* frame, qsizetype offset) {
        ++completed_;
        const int length = collector_.length();
        const char* buffer = collector_.buffer();
        const bool accepted = collector_.accepted();
        accepted_ += accepted ? 1 : 0;
        if (length == 0) {
            expect(!accepted, "a 1500-byte frame was accepted", style, offset);
            expect(collector_.text().isEmpty(), "a 1500-byte frame has text", style, offset);
            return;
        }
        expect(buffer[0] == ReplyLead(style), "frame does not start with the lead byte", style,
               offset);
        expect(buffer[length - 1] == CR, "frame does not end with CR", style, offset);
        expect(buffer[length] == '\0', "no zero behind the frame", style, offset);
        expect(std::memcmp(buffer, frame, static_cast<size_t>(length)) == 0,
               "buffer differs from the stream", style, offset);
        const auto textLength = std::find(frame, frame + length, '\0') - frame;
        expect(collector_.text() == QByteArrayView(frame, textLength),
               "text is not the frame up to its first zero", style, offset);
        expect(accepted == CheckExactCopy(style, frame, length),
               "accepted() differs from the check", style, offset);
    }

    // A reply at a known place: what a fresh collector of its style must
    // make of it.
    void checkBuiltReply(const BuiltReply& reply) {
        if (reply.mutation == Mutation::Random) return;  // no known verdict; collectAll covered it
        const qsizetype end = reply.at + reply.size;
        collector_.reset(reply.style);
        const qsizetype used = collector_.feed(QByteArrayView(stream_).first(end));
        if (reply.size >= kFrameBufferSize) {
            expect(!collector_.accepted(), "overlong reply accepted", reply.style, 0);
            expect(reply.size == kFrameBufferSize || !collector_.complete(),
                   "overlong reply completed", reply.style, 0);
            return;
        }
        expect(used == end && collector_.complete(), "built reply did not complete at its CR",
               reply.style, 0);
        expect(collector_.length() == reply.size, "built reply has the wrong length", reply.style,
               0);
        if (reply.mutation == Mutation::FlipDigit)
            expect(!collector_.accepted(), "reply with a changed checksum digit accepted",
                   reply.style, 0);
        else
            expect(collector_.accepted(), "built reply refused", reply.style, 0);

        // Whatever follows the CR changes nothing.
        const QByteArray text = collector_.text();
        collector_.feed(QByteArrayView(stream_).sliced(end));
        expect(collector_.length() == reply.size && collector_.text() == text,
               "bytes behind a completed frame changed it", reply.style, 0);
    }

    // The checks on arbitrary tails of the stream, of any length and as no
    // collector would hand them over. Mostly a job for AddressSanitizer, plus
    // the two verdicts that need no arithmetic.
    void checkRawStream() {
        const auto size = static_cast<int>(std::min<qsizetype>(stream_.size(), r_.between(0, 64)));
        const char* data = stream_.constData() + (stream_.size() - size);
        const bool crc = CheckExactCopy(FrameStyle::Crc, data, size);
        const bool xorOk = CheckExactCopy(FrameStyle::StxReply, data, size);
        expect(!crc || std::memchr(data, EOT, static_cast<size_t>(size)) != nullptr,
               "CRC check accepted a frame without EOT", FrameStyle::Crc, stream_.size() - size);
        expect(!xorOk || size >= 4, "XOR check accepted fewer than four bytes",
               FrameStyle::StxReply, stream_.size() - size);
    }

    Random r_;
    ReplyCollector collector_;
    QByteArray stream_;
    std::vector<BuiltReply> built_;
    std::uint64_t index_ = 0;
    std::uint64_t completed_ = 0;
    std::uint64_t accepted_ = 0;
    std::uint64_t bytesFed_ = 0;
    std::uint64_t overlong_ = 0;
    int failures_ = 0;
};

}  // namespace

TEST(LinkFuzz, RandomStreamsFollowTheCollectingRules) {
    const std::uint64_t streams = FromEnvironment("KT_FUZZ_STREAMS", kDefaultStreams);
    const std::uint64_t seed = FromEnvironment("KT_FUZZ_SEED", kDefaultSeed);
    std::printf("link fuzz: %llu streams, seed 0x%llX\n", static_cast<unsigned long long>(streams),
                static_cast<unsigned long long>(seed));

    Fuzzer fuzzer(seed);
    fuzzer.run(streams);

    std::printf(
        "link fuzz: %llu streams run, %llu bytes fed, %llu frames completed, %llu accepted, "
        "%llu CRs 1500 or more bytes behind their lead byte\n",
        static_cast<unsigned long long>(fuzzer.streamsRun()),
        static_cast<unsigned long long>(fuzzer.bytesFed()),
        static_cast<unsigned long long>(fuzzer.framesCompleted()),
        static_cast<unsigned long long>(fuzzer.framesAccepted()),
        static_cast<unsigned long long>(fuzzer.overlongFrames()));
    // Guards against a generator that drifted into feeding nothing useful.
    if (streams >= 100'000) {
        EXPECT_GT(fuzzer.framesAccepted(), streams / 10);
        EXPECT_GT(fuzzer.framesCompleted() - fuzzer.framesAccepted(), streams / 10);
        EXPECT_GT(fuzzer.overlongFrames(), streams / 1000);
    }
}
