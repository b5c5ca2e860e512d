#pragma once

#include <filesystem>

namespace scopewatch::fuzzing {

// Writes the capture files of the reader's cases into the folder, one file each, named
// "NN-what-it-holds.pcap" (or .pcapng, converted with Wireshark's editcap, which must be
// installed): TCP streams split, merged, retransmitted, reordered, started mid-stream, ended
// without FIN, with a hole that never fills, a bad size word and a frame too large; datagrams;
// what is passed over (fragments, IPv6, other protocols, the loopback copies of an "any"
// capture); a recording of ours cut off by a crash, a corrupt record, a file that is no
// capture, an unknown link type, an empty file, and a capture without DirectPlay. Existing files
// are replaced. These are tests/data/capture/inputs/ (the real captures made with tshark there are
// not written here) and the capture reader's fuzz seeds.
void WriteCaptureCases(const std::filesystem::path& folder);

}  // namespace scopewatch::fuzzing
