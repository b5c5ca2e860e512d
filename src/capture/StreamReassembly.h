#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "capture/CapturedFrame.h"

namespace scopewatch::capture {

// How much the reassembly holds at most. A stream whose bytes after a hole exceed its share
// gives the hole up; past the overall bound or the number of streams, the stream heard from
// longest ago is forgotten. A frame we keep is at most 128 KiB, so a stream holds at most that
// and one segment before its waiting bytes.
struct ReassemblyLimits {
    size_t waitingBytes = 256 * 1024;  // per stream, after a hole
    size_t waitingSegments = 64;       // per stream, after a hole
    size_t totalBytes = 64 * 1024 * 1024;
    size_t streams = 4096;
};

// What the reassembly passed over, for the capture's summary.
struct ReassemblyCounts {
    uint64_t resyncBytes = 0;
    uint64_t gapsSkipped = 0;
    uint64_t oversizedFrames = 0;
    uint64_t streamsDropped = 0;
};

// One TCP segment as a capture saw it.
struct TcpSegment {
    Endpoint from;
    Endpoint to;
    uint32_t sequence = 0;
    uint8_t flags = 0;  // as in the TCP header
    std::span<const uint8_t> payload;
};

// Puts the TCP streams of a capture back together, one per connection direction, and cuts
// them into whole DirectPlay frames by their size words:
// - bytes are placed by sequence number: a retransmitted or overlapping segment adds only the
//   bytes not yet seen (what came first stands); one ahead of the stream waits for the hole
//   before it to fill;
// - a stream whose beginning (SYN) the capture saw starts on a frame; one taken in the middle,
//   and one after a hole given up or a size word no frame has, is resynchronised: its bytes
//   are passed over up to the first offset where a whole frame decodes;
// - a hole is given up when the bytes waiting after it pass the limits, and at the end of the
//   capture; the frames after it are handed on then;
// - a frame larger than we keep is passed over whole; FIN and RST end a stream, and a SYN on
//   the same addresses starts it anew.
// A value: no files, no clock. Frames are handed to the sink as the segment that completes
// them is added.
class StreamReassembly {
  public:
    using Sink =
        std::function<void(const Endpoint& from, const Endpoint& to, std::vector<uint8_t>&& frame)>;

    explicit StreamReassembly(ReassemblyLimits limits = {}) : limits_(limits) {}

    void Add(const TcpSegment& segment, const Sink& sink);
    // The capture has ended: every hole left is given up and what follows it cut into frames.
    void Finish(const Sink& sink);

    const ReassemblyCounts& counts() const { return counts_; }
    // Bytes held now over every stream, and the number of streams.
    size_t heldBytes() const { return heldBytes_; }
    size_t streamCount() const { return streams_.size(); }

  private:
    using Key = std::pair<Endpoint, Endpoint>;
    struct Stream {
        uint32_t base = 0;             // the sequence number of position 0
        uint64_t next = 0;             // the position of the first byte not yet received in order
        bool inFrame = false;          // pending starts on a frame (else: resynchronising)
        bool ended = false;            // FIN or RST seen: later bytes are retransmissions
        std::vector<uint8_t> pending;  // in-order bytes not yet cut into frames
        size_t skip = 0;               // bytes still to pass of a frame too large
        std::map<uint64_t, std::vector<uint8_t>> waiting;  // by position, after a hole
        size_t waitingBytes = 0;
        uint64_t lastHeard = 0;
    };

    Stream& StreamFor(const Key& key, const TcpSegment& segment);
    void Place(Stream& stream, uint64_t position, std::span<const uint8_t> bytes);
    void Append(Stream& stream, std::span<const uint8_t> bytes);
    void TakeWaiting(Stream& stream);
    void GiveUpHole(Stream& stream);
    void Cut(const Key& key, Stream& stream, const Sink& sink);
    // In a stream resynchronising: the offset in pending, from `from` on, of the first whole
    // frame that decodes (found), or where the search has to wait for more bytes.
    size_t FindFrame(const Stream& stream, size_t from, bool& found) const;
    static size_t Held(const Stream& stream) { return stream.pending.size() + stream.waitingBytes; }
    void KeepWithinBounds(const Key& current);

    ReassemblyLimits limits_;
    ReassemblyCounts counts_;
    std::map<Key, Stream> streams_;
    size_t heldBytes_ = 0;
    uint64_t segmentsAdded_ = 0;
};

}  // namespace scopewatch::capture
