#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "Crc32.h"
#include "RunLogFormat.h"
#include "RunLogReader.h"
#include "TempDir.h"

namespace zanfeld {
namespace {

// The definition, a bit at a time.
uint32_t BitwiseCrc32(const unsigned char* p, size_t size, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < size; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
    }
    return ~crc;
}

TEST(Crc32Test, TheCheckValueAndPiecewise) {
    const std::string check = "123456789";
    EXPECT_EQ(Crc32(check.data(), check.size()), 0xCBF43926u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
    std::string long_(1000, '\0');
    for (size_t i = 0; i < long_.size(); ++i) long_[i] = static_cast<char>(i * 31 + 7);
    for (size_t cut : {0, 1, 7, 8, 9, 500, 999}) {
        const uint32_t first = Crc32(long_.data(), cut);
        EXPECT_EQ(Crc32(long_.data() + cut, long_.size() - cut, first),
                  Crc32(long_.data(), long_.size()))
            << cut;
    }
    // Every length a record may have, from any alignment and any earlier
    // value: the bytes a step takes at once and those left over agree with
    // the definition.
    const auto* bytes = reinterpret_cast<const unsigned char*>(long_.data());
    for (size_t at = 0; at < 16; ++at) {
        for (size_t size = 0; size + at <= 600; ++size) {
            for (const uint32_t crc : {0u, 0xCBF43926u}) {
                ASSERT_EQ(Crc32(bytes + at, size, crc), BitwiseCrc32(bytes + at, size, crc))
                    << "at " << at << ", " << size << " bytes";
            }
        }
    }
}

std::string Step(int64_t id, const std::vector<LoggedOutcome>& outcomes,
                 const std::vector<std::string>& folders) {
    std::string out;
    RunLogFormat::appendStep(out, outcomes, folders, id, id * 10, 1, id + 1000,
                             "/src\xff/" + std::to_string(id), std::string("/out/\0x", 7));
    return out;
}

TEST(RunLogFormatTest, RecordsComeBackAsWritten) {
    std::string bytes;
    RunLogFormat::appendHeader(bytes, 42, 1700000000123456789);
    LoggedOutcome outcome;
    outcome.placement = 6;
    outcome.outcome.state = PlacementState::Failed;
    outcome.outcome.result = PlacementResult::Overwritten;
    outcome.outcome.error = 28;
    outcome.outcome.size = -1;
    outcome.outcome.mtimeSec = -5;
    outcome.outcome.mtimeNsec = 999999999;
    outcome.outcome.device = 0xffffffffffffffffull;
    outcome.outcome.inode = 0x8000000000000000ull;
    outcome.outcome.trashedPath = "/trash/\x80";
    outcome.outcome.trashInfoPath = "/trash/info";
    outcome.outcome.replacedWithoutTrash = true;
    outcome.outcome.placedTarget = "/out/x_1\xfe";
    bytes += Step(7, {outcome}, {"/made", ""});
    RunLogFormat::appendSettled(bytes, {}, {"/alone"});
    bytes += Step(8, {}, {});

    RunLogRecord record;
    size_t used = 0;
    std::string_view rest = bytes;
    ASSERT_EQ(RunLogFormat::parse(rest, record, used), RunLogFormat::Parse::Record);
    EXPECT_TRUE(record.isHeader);
    EXPECT_EQ(record.run, 42);
    EXPECT_EQ(record.startedNs, 1700000000123456789);
    rest.remove_prefix(used);

    ASSERT_EQ(RunLogFormat::parse(rest, record, used), RunLogFormat::Parse::Record);
    EXPECT_FALSE(record.isHeader);
    ASSERT_EQ(record.outcomes.size(), 1u);
    const PlacementOutcome& o = record.outcomes[0].outcome;
    EXPECT_EQ(record.outcomes[0].placement, 6);
    EXPECT_EQ(o.state, PlacementState::Failed);
    EXPECT_EQ(o.result, PlacementResult::Overwritten);
    EXPECT_EQ(o.error, 28);
    EXPECT_EQ(o.size, -1);
    EXPECT_EQ(o.mtimeSec, -5);
    EXPECT_EQ(o.mtimeNsec, 999999999);
    EXPECT_EQ(o.device, 0xffffffffffffffffull);
    EXPECT_EQ(o.inode, 0x8000000000000000ull);
    EXPECT_EQ(o.trashedPath, "/trash/\x80");
    EXPECT_EQ(o.trashInfoPath, "/trash/info");
    EXPECT_TRUE(o.replacedWithoutTrash);
    EXPECT_EQ(o.placedTarget, "/out/x_1\xfe");
    EXPECT_EQ(record.folders, (std::vector<std::string>{"/made", ""}));
    ASSERT_TRUE(record.intent.has_value());
    EXPECT_EQ(record.intent->id, 7);
    EXPECT_EQ(record.intent->seq, 70);
    EXPECT_EQ(record.intent->mode, 1);
    EXPECT_EQ(record.intent->undoes, 1007);
    EXPECT_EQ(record.intent->source, "/src\xff/7");
    EXPECT_EQ(record.intent->target, std::string("/out/\0x", 7));
    rest.remove_prefix(used);

    ASSERT_EQ(RunLogFormat::parse(rest, record, used), RunLogFormat::Parse::Record);
    EXPECT_EQ(record.folders, (std::vector<std::string>{"/alone"}));
    EXPECT_FALSE(record.intent.has_value());
    rest.remove_prefix(used);

    ASSERT_EQ(RunLogFormat::parse(rest, record, used), RunLogFormat::Parse::Record);
    EXPECT_TRUE(record.outcomes.empty());
    EXPECT_TRUE(record.folders.empty());
    ASSERT_TRUE(record.intent.has_value());
    EXPECT_EQ(record.intent->id, 8);
    rest.remove_prefix(used);
    EXPECT_TRUE(rest.empty());
    EXPECT_EQ(RunLogFormat::parse(rest, record, used), RunLogFormat::Parse::NeedMore);
}

// Every cut of a record asks for more; every changed byte is damage.
TEST(RunLogFormatTest, ACutOrChangedRecordIsNeverTakenForOne) {
    const std::string step = Step(3, {LoggedOutcome{2, PlacementOutcome{}}}, {"/f"});
    RunLogRecord record;
    size_t used = 0;
    for (size_t size = 0; size < step.size(); ++size)
        ASSERT_EQ(RunLogFormat::parse(std::string_view(step).substr(0, size), record, used),
                  RunLogFormat::Parse::NeedMore)
            << size;
    // A byte of the length may make it ask for more rather than say damage:
    // only the tail of a file can be short, and there both end the log.
    for (size_t at = 0; at < step.size(); ++at) {
        for (const unsigned char flip : {0x01, 0x80}) {
            std::string changed = step;
            changed[at] = static_cast<char>(changed[at] ^ flip);
            EXPECT_NE(RunLogFormat::parse(changed, record, used), RunLogFormat::Parse::Record)
                << "byte " << at;
        }
    }
}

TEST(RunLogFormatTest, TheReaderStopsAtATornTail) {
    test::TempDir dir;
    const std::string file = dir / "log";
    std::string bytes;
    RunLogFormat::appendHeader(bytes, 1, 2);
    // Enough records to span more than one read.
    for (int64_t i = 1; i <= 20000; ++i) bytes += Step(i, {}, {std::string(40, 'f')});
    const size_t whole = bytes.size();
    bytes += Step(20001, {}, {}).substr(0, 30);
    test::WriteFile(file, bytes);

    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    RunLogReader reader(fd);
    RunLogRecord record;
    ASSERT_TRUE(reader.next(record));
    EXPECT_TRUE(record.isHeader);
    int64_t count = 0;
    while (reader.next(record)) {
        ASSERT_TRUE(record.intent.has_value());
        ASSERT_EQ(record.intent->id, ++count);
    }
    EXPECT_EQ(count, 20000);
    EXPECT_TRUE(reader.damagedTail());
    EXPECT_EQ(reader.readError(), 0);
    EXPECT_FALSE(reader.next(record));
    ::close(fd);
    ASSERT_GT(whole, 1u << 20);

    // A log that ends on a whole record has no damaged tail.
    test::WriteFile(file, bytes.substr(0, whole));
    const int again = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    RunLogReader clean(again);
    count = 0;
    while (clean.next(record)) ++count;
    EXPECT_EQ(count, 20001);
    EXPECT_FALSE(clean.damagedTail());
    ::close(again);
}

}  // namespace
}  // namespace zanfeld
