#include "startup/Settings.h"

#include "platform/AtomicFile.h"
#include "shared/ByteReader.h"
#include "shared/ByteWriter.h"

namespace scopewatch {

std::vector<uint8_t> EncodeSettings(const SettingsRecord& record) {
    ByteWriter writer;
    writer.LengthText(record.header);
    writer.UInt8(record.marker);
    writer.UInt8(record.simVersion);
    writer.Int32(record.airportCount);
    writer.LengthText(record.simFolder);
    writer.LengthText(record.facilityDataFolder);
    return writer.Take();
}

Outcome<SettingsRecord> DecodeSettings(const std::vector<uint8_t>& bytes) {
    SettingsRecord record;
    try {
        ByteReader in(bytes);
        record.header = in.LengthText();
        record.marker = in.UInt8();
        record.simVersion = in.UInt8();
        record.airportCount = in.Int32();
        record.simFolder = in.LengthText();
        record.facilityDataFolder = in.LengthText();
    } catch (const MalformedBytes&) {
        return Outcome<SettingsRecord>::Failed("the file is too short (" +
                                               std::to_string(bytes.size()) +
                                               " bytes) for the fields it announces");
    }
    if (record.airportCount < 0) {
        return Outcome<SettingsRecord>::Failed("its airport count is negative");
    }
    return Outcome<SettingsRecord>::Done(std::move(record));
}

Status ReadSettings(const std::filesystem::path& file, SettingsRecord& record,
                    SettingsValues& values) {
    const auto bytes = ReadWholeFile(file);
    if (!bytes) {
        return Status::Failed("cannot read " + file.filename().string());
    }
    const Outcome<SettingsRecord> decoded = DecodeSettings(*bytes);
    if (!decoded.ok()) {
        return Status::Failed(decoded.failure);
    }
    record = *decoded.value;
    values.simVersion = record.simVersion;
    values.airportCount = record.airportCount;
    values.simFolder = record.simFolder;
    values.facilityDataFolder = record.facilityDataFolder;
    return Status::Done();
}

Status WriteSettings(const std::filesystem::path& file, const SettingsRecord& record,
                     const AtomicWriteHook& hook) {
    return WriteFileAtomically(file, EncodeSettings(record), hook);
}

Status UpdateSettings(const std::filesystem::path& file, const SettingsValues& values,
                      const AtomicWriteHook& hook) {
    SettingsRecord record;
    SettingsValues ignored;
    if (const Status read = ReadSettings(file, record, ignored); !read.ok()) {
        return read;
    }
    record.airportCount = values.airportCount;
    record.facilityDataFolder = values.facilityDataFolder;
    return WriteSettings(file, record, hook);
}

}  // namespace scopewatch
