#include "bgl/BglWalker.h"

#include "bgl/AirportDecoder.h"
#include "bgl/BglLayout.h"

namespace scopewatch {

namespace {

// Appends each airport to a list.
class ListSink : public AirportSink {
  public:
    explicit ListSink(std::vector<AirportRecord>& list) : list_(list) {}
    AirportRecord& NextAirport() override { return list_.emplace_back(); }

  private:
    std::vector<AirportRecord>& list_;
};

// Counts the airports it hands on.
class CountingSink : public AirportSink {
  public:
    explicit CountingSink(AirportSink& sink) : sink_(sink) {}
    AirportRecord& NextAirport() override {
        ++count_;
        return sink_.NextAirport();
    }
    int count() const { return count_; }

  private:
    AirportSink& sink_;
    int count_ = 0;
};

// The facility block at Y is sound when its first and third words are 1.
bool HasFacilityBlock(const ByteReader& file, int64_t y) {
    return y > 0 && file.Int32At(y + bgl::kFacilityBlockFirstWord) == 1 &&
           file.Int32At(y + bgl::kFacilityBlockThirdWord) == 1;
}

void WalkIndexEntry(const ByteReader& file, int64_t entry, const RecordHead& head,
                    const MagVarGrid& grid, AirportSink& airports, RecordTrace& trace) {
    const int32_t kind = file.Int32At(entry + bgl::kEntryKindOffset);
    const int64_t y = file.Int32At(entry + bgl::kEntryFacilityOffset);
    if (head.id != bgl::kAirportIndexEntry) {
        return;
    }
    std::string name =
        ReadTextOfLength(file, entry + bgl::kEntryNameOffset, head.Size() - bgl::kEntryNameOffset);
    if (kind != bgl::kAirportEntryKind || !HasFacilityBlock(file, y)) {
        return;
    }
    AirportRecord& airport = airports.NextAirport();
    airport.name = std::move(name);
    DecodeAirport(file, y, grid, airport, trace);
}

// Walks the chain of records of the second section: records of id 1 are passed over, index
// chains walked. It goes on right after each index chain, at the record that ended it.
void WalkSecondSection(const ByteReader& file, int64_t position, const MagVarGrid& grid,
                       AirportSink& airports, RecordTrace& trace) {
    while (true) {
        const int32_t id = file.Int32At(position);
        trace.At(position, id);
        if (id == bgl::kSkippedSectionRecord) {
            position += ReadRecordHead(file, position).Size();
        } else if (id == bgl::kAirportIndexGroup) {
            position = WalkAirportIndex(file, position, grid, airports, trace).position;
        } else {
            return;
        }
    }
}

}  // namespace

IndexChainEnd WalkAirportIndex(const ByteReader& file, int64_t position, const MagVarGrid& grid,
                               AirportSink& airports, RecordTrace& trace) {
    int64_t group = position;
    while (true) {
        const int32_t id = file.Int32At(group);
        trace.At(group, id);
        if (id != bgl::kAirportIndexGroup) {
            return {group, id};
        }
        const RecordHead groupHead = ReadRecordHead(file, group);
        const int32_t entryCount = file.Int32At(group + bgl::kGroupEntryCountOffset);
        int64_t entry = group + bgl::kGroupEntriesOffset;
        for (int32_t i = 0; i < entryCount; ++i) {
            const RecordHead head = ReadRecordHead(file, entry);
            trace.At(entry, head.id);
            WalkIndexEntry(file, entry, head, grid, airports, trace);
            entry += head.Size();
        }
        group += groupHead.Size();
    }
}

SceneryScanResult ScanSceneryFile(const FileBuffer& buffer, const MagVarGrid& grid,
                                  AirportSink& airports) {
    SceneryScanResult result;
    RecordTrace trace;
    CountingSink counted(airports);
    const ByteReader file = buffer.reader();
    try {
        trace.At(bgl::kSectionFormatOffset, 0);
        if (file.Int32At(bgl::kSectionFormatOffset) != bgl::kAirportSectionFormat) {
            return result;
        }
        const int64_t first = file.Int32At(bgl::kFirstSectionOffset);
        const int64_t second = file.Int32At(bgl::kSecondSectionOffset);
        if (first > 0) {
            WalkAirportIndex(file, first, grid, counted, trace);
        }
        if (second > 0) {
            WalkSecondSection(file, second, grid, counted, trace);
        }
    } catch (const MalformedBytes& fault) {
        result.problem = trace.Problem(fault, buffer.FileLength());
    }
    result.airportsFound = counted.count();
    return result;
}

SceneryScanResult ScanSceneryFile(const FileBuffer& buffer, const MagVarGrid& grid,
                                  std::vector<AirportRecord>& airportList) {
    ListSink list(airportList);
    return ScanSceneryFile(buffer, grid, list);
}

}  // namespace scopewatch
