// Recording a session: the frames the transport's tap shows written as they go into a pcap file
// of the recordings folder, read back by the capture reader.
#include <gtest/gtest.h>

#include "capture/CaptureReader.h"
#include "capture/SessionRecorder.h"
#include "directplay/DirectPlayCodec.h"
#include "support/SpinEventLoop.h"
#include "support/TempDir.h"

namespace scopewatch::capture {
namespace {

// A frame over a socket bound to every address (as the program's are) and a peer on loopback.
directplay::Crossing Crossed(bool sent, bool datagram, const std::vector<uint8_t>& bytes) {
    return {sent, datagram, QHostAddress::AnyIPv4, 2300, QHostAddress::LocalHost, 2350, bytes};
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// What crossed before the join succeeded is written first; the file is named after the session
// (Windows-1252, characters a name cannot hold replaced) and flushed within a second, so it reads
// whole while the session goes on: a frame larger than an IPv4 packet as several segments, our
// end of a socket bound to every address as the address toward the peer. Only the newest
// recordings are kept; other files stay.
TEST(SessionRecorder, RecordsTheJoinOnAndKeepsOnlyTheNewestRecordings) {
    const testing::TempDir dir;
    for (const char* old : {"2020-01-01_00-00-01 A.pcap", "2020-01-01_00-00-02 B.pcap",
                            "2020-01-01_00-00-03 C.pcap", "notes.pcap"}) {
        dir.Write(std::string("recordings/") + old, std::vector<uint8_t>(100, 0));
    }
    SessionRecorder recorder({dir / "recordings", 3, uint64_t{1} << 30});
    const auto request = directplay::Encode(directplay::RequestPlayerId{9}, {2300, 0}, 14);
    const auto large =
        directplay::EncodePlayerData({2350, 0}, 1, 2, std::vector<uint8_t>(70000, 7));
    const auto ping = directplay::Encode(directplay::Ping{1, 2, false}, {2350, 0}, 14);
    recorder.Take(Crossed(true, false, request));
    recorder.Start("Fly\x96in: \"Eldorado\"");
    recorder.Take(Crossed(false, false, large));
    recorder.Take(Crossed(false, true, ping));
    ASSERT_TRUE(recorder.recording());
    EXPECT_TRUE(recorder.file().filename().string().ends_with(" Fly\u2013in_ _Eldorado_.pcap"))
        << recorder.file();
    testing::Spin(SessionRecorder::kFlushIntervalMs + 200);

    std::vector<CapturedFrame> frames;
    const auto read =
        ReadCapture(recorder.file(), [&](const CapturedFrame& f) { frames.push_back(f); });
    ASSERT_TRUE(read.ok()) << read.failure;
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(std::tie(frames[0].bytes, frames[1].bytes, frames[2].bytes),
              std::tie(request, large, ping));
    const Endpoint us{0x7F000001, 2300}, peer{0x7F000001, 2350};
    EXPECT_EQ(std::tie(frames[0].from, frames[0].to, frames[2].from, frames[2].carrier),
              std::tuple(us, peer, peer, Carrier::kDatagram));
    EXPECT_EQ(read.value->packets, 3u + 1u + 2u + 1u);  // a handshake, three segments, a datagram
    const std::vector<std::string> kept = FilesIn(dir / "recordings");
    EXPECT_EQ(kept,
              (std::vector<std::string>{"2020-01-01_00-00-02 B.pcap", "2020-01-01_00-00-03 C.pcap",
                                        recorder.file().filename().string(), "notes.pcap"}));

    // By size: the newest that stay within the bound together (the current one counted), from
    // the first too many on none.
    dir.Write("recordings/2020-01-01_00-00-04 D.pcap", std::vector<uint8_t>(50, 0));
    PruneRecordings({dir / "recordings", 20, std::filesystem::file_size(recorder.file()) + 120},
                    recorder.file());
    EXPECT_EQ(FilesIn(dir / "recordings").size(), 3u);  // D, notes and the current one
}

// A folder that cannot be written in (here a file stands in its place) stops the recording with
// one message, handed out once; the frames after it are dropped. A full disk shows when the
// written bytes are flushed.
TEST(SessionRecorder, AFileThatCannotBeWrittenIsToldOnceAndTheRestGoesUnrecorded) {
    const testing::TempDir dir;
    dir.Write("recordings", "not a folder");
    SessionRecorder recorder({dir / "recordings"});
    recorder.Start("Session");
    recorder.Take(Crossed(true, true, directplay::Encode(directplay::YouAreDead{}, {}, 14)));
    EXPECT_FALSE(recorder.recording());
    EXPECT_TRUE(recorder.TakeFailure().starts_with(
        "The session cannot be recorded: " + (dir / "recordings").string() + "/"));
    EXPECT_EQ(recorder.TakeFailure(), "");

    auto full = PacketFile::Create("/dev/full", LinkType::kRawIp);
    ASSERT_TRUE(full.ok()) << full.failure;
    EXPECT_EQ((*full.value)->Flush().failure,
              "/dev/full cannot be written: No space left on device");
}

}  // namespace
}  // namespace scopewatch::capture
