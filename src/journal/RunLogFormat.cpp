#include "RunLogFormat.h"

#include <cstring>

#include "Crc32.h"

namespace zanfeld {
namespace {

// kStep is what earlier versions wrote; kStepPlaced adds to each outcome the
// name really taken and to the intent the placement an undo step puts back.
enum : uint8_t { kHeader = 1, kStep = 2, kStepPlaced = 3 };

template <typename T>
void Put(std::string& out, T value) {
    out.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void PutBytes(std::string& out, const std::string& bytes) {
    Put<uint32_t>(out, static_cast<uint32_t>(bytes.size()));
    out.append(bytes);
}

// Reserves the frame, to be filled in by Seal once the body is written.
size_t Open(std::string& out) {
    const size_t start = out.size();
    out.append(RunLogFormat::kFrameSize, '\0');
    return start;
}

void Seal(std::string& out, size_t start) {
    const auto length = static_cast<uint32_t>(out.size() - start - RunLogFormat::kFrameSize);
    std::memcpy(out.data() + start + 4, &length, 4);
    const uint32_t crc = Crc32(out.data() + start + 4, out.size() - start - 4);
    std::memcpy(out.data() + start, &crc, 4);
}

// Reads a body; every getter fails past its end.
class Cursor {
  public:
    explicit Cursor(std::string_view bytes) : m_bytes(bytes) {}
    template <typename T>
    bool get(T& value) {
        if (m_bytes.size() - m_at < sizeof value) return false;
        std::memcpy(&value, m_bytes.data() + m_at, sizeof value);
        m_at += sizeof value;
        return true;
    }
    bool getBytes(std::string& out) {
        uint32_t size = 0;
        if (!get(size) || m_bytes.size() - m_at < size) return false;
        out.assign(m_bytes.data() + m_at, size);
        m_at += size;
        return true;
    }
    bool atEnd() const { return m_at == m_bytes.size(); }

  private:
    std::string_view m_bytes;
    size_t m_at = 0;
};

bool GetOutcome(Cursor& in, LoggedOutcome& out, bool placed) {
    uint8_t state = 0, result = 0, replaced = 0;
    int32_t error = 0;
    PlacementOutcome& o = out.outcome;
    if (!in.get(out.placement) || !in.get(state) || !in.get(result) || !in.get(replaced) ||
        !in.get(error) || !in.get(o.size) || !in.get(o.mtimeSec) || !in.get(o.mtimeNsec) ||
        !in.get(o.device) || !in.get(o.inode) || !in.getBytes(o.trashedPath) ||
        !in.getBytes(o.trashInfoPath) || (placed && !in.getBytes(o.placedTarget)))
        return false;
    if (state > static_cast<uint8_t>(PlacementState::Skipped) ||
        result > static_cast<uint8_t>(PlacementResult::Failed) || replaced > 1)
        return false;
    o.state = static_cast<PlacementState>(state);
    o.result = static_cast<PlacementResult>(result);
    o.replacedWithoutTrash = replaced != 0;
    o.error = error;
    return true;
}

bool GetBody(std::string_view body, RunLogRecord& record) {
    Cursor in(body);
    uint8_t kind = 0;
    if (!in.get(kind)) return false;
    record = RunLogRecord{};
    if (kind == kHeader) {
        uint32_t version = 0;
        record.isHeader = true;
        return in.get(version) && version == RunLogFormat::kVersion && in.get(record.run) &&
               in.get(record.startedNs) && in.atEnd();
    }
    if (kind != kStep && kind != kStepPlaced) return false;
    const bool placed = kind == kStepPlaced;
    uint32_t count = 0;
    if (!in.get(count) || count > body.size()) return false;
    record.outcomes.resize(count);
    for (LoggedOutcome& outcome : record.outcomes)
        if (!GetOutcome(in, outcome, placed)) return false;
    if (!in.get(count) || count > body.size()) return false;
    record.folders.resize(count);
    for (std::string& folder : record.folders)
        if (!in.getBytes(folder)) return false;
    uint8_t hasIntent = 0;
    if (!in.get(hasIntent) || hasIntent > 1) return false;
    if (hasIntent) {
        LoggedIntent& intent = record.intent.emplace();
        int32_t mode = 0;
        if (!in.get(intent.id) || !in.get(intent.seq) || !in.get(mode) ||
            (placed && !in.get(intent.undoes)) || !in.getBytes(intent.source) ||
            !in.getBytes(intent.target))
            return false;
        intent.mode = mode;
    }
    return in.atEnd();
}

}  // namespace

void RunLogFormat::appendHeader(std::string& out, int64_t run, int64_t startedNs) {
    const size_t start = Open(out);
    Put<uint8_t>(out, kHeader);
    Put<uint32_t>(out, kVersion);
    Put<int64_t>(out, run);
    Put<int64_t>(out, startedNs);
    Seal(out, start);
}

namespace {

// A step's outcomes and folders; the caller adds the intent and seals.
size_t OpenStep(std::string& out, const std::vector<LoggedOutcome>& outcomes,
                const std::vector<std::string>& folders) {
    const size_t start = Open(out);
    Put<uint8_t>(out, kStepPlaced);
    Put<uint32_t>(out, static_cast<uint32_t>(outcomes.size()));
    for (const LoggedOutcome& logged : outcomes) {
        const PlacementOutcome& o = logged.outcome;
        Put<int64_t>(out, logged.placement);
        Put<uint8_t>(out, static_cast<uint8_t>(o.state));
        Put<uint8_t>(out, static_cast<uint8_t>(o.result));
        Put<uint8_t>(out, o.replacedWithoutTrash ? 1 : 0);
        Put<int32_t>(out, o.error);
        Put<int64_t>(out, o.size);
        Put<int64_t>(out, o.mtimeSec);
        Put<int64_t>(out, o.mtimeNsec);
        Put<uint64_t>(out, o.device);
        Put<uint64_t>(out, o.inode);
        PutBytes(out, o.trashedPath);
        PutBytes(out, o.trashInfoPath);
        PutBytes(out, o.placedTarget);
    }
    Put<uint32_t>(out, static_cast<uint32_t>(folders.size()));
    for (const std::string& folder : folders) PutBytes(out, folder);
    return start;
}

}  // namespace

void RunLogFormat::appendStep(std::string& out, const std::vector<LoggedOutcome>& outcomes,
                              const std::vector<std::string>& folders, int64_t id, int64_t seq,
                              int mode, int64_t undoes, const std::string& source,
                              const std::string& target) {
    const size_t start = OpenStep(out, outcomes, folders);
    Put<uint8_t>(out, 1);
    Put<int64_t>(out, id);
    Put<int64_t>(out, seq);
    Put<int32_t>(out, mode);
    Put<int64_t>(out, undoes);
    PutBytes(out, source);
    PutBytes(out, target);
    Seal(out, start);
}

void RunLogFormat::appendSettled(std::string& out, const std::vector<LoggedOutcome>& outcomes,
                                 const std::vector<std::string>& folders) {
    const size_t start = OpenStep(out, outcomes, folders);
    Put<uint8_t>(out, 0);
    Seal(out, start);
}

RunLogFormat::Parse RunLogFormat::parse(std::string_view bytes, RunLogRecord& record,
                                        size_t& used) {
    used = 0;
    if (bytes.size() < kFrameSize) return Parse::NeedMore;
    uint32_t crc = 0, length = 0;
    std::memcpy(&crc, bytes.data(), 4);
    std::memcpy(&length, bytes.data() + 4, 4);
    if (length > kMaxBody || length == 0) return Parse::Damaged;
    if (bytes.size() - kFrameSize < length) return Parse::NeedMore;
    if (Crc32(bytes.data() + 4, 4 + static_cast<size_t>(length)) != crc) return Parse::Damaged;

    if (!GetBody(bytes.substr(kFrameSize, length), record)) return Parse::Damaged;
    used = kFrameSize + length;
    return Parse::Record;
}

}  // namespace zanfeld
