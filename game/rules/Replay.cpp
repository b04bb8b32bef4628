#include "Replay.h"

#include "GameMode.h"

#include <bit>
#include <cstring>

namespace {

constexpr char kMagic[4] = {'Z', 'V', 'R', 'P'};
constexpr std::uint8_t kEndTag = 0;
constexpr std::uint8_t kFlagGuided = 1;
// A Puzzle level follows the header. A flag rather than a new version: Classic and Arcade
// recordings stay as they were, and an older game refuses a Puzzle recording as damaged
// instead of misreading it.
constexpr std::uint8_t kFlagLevel = 2;
constexpr std::uint8_t kKnownFlags = kFlagGuided | kFlagLevel;
constexpr int kPuzzleMode = ModeNumber(GameMode::kPuzzle);
constexpr std::uint64_t kMaxSetIdBytes = 255;

void PutVarint(std::string& out, std::uint64_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

void PutFloat(std::string& out, float value) {
    const std::uint32_t bits = std::bit_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((bits >> (8 * i)) & 0xFF));
    }
}

void PutU64(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

// Reads the file front to back; every read checks what is left, and the first failure
// sticks, so a caller checks once at the end of a step.
class Reader {
public:
    explicit Reader(std::string_view bytes) : bytes_(bytes) {}

    bool AtEnd() const { return at_ == bytes_.size(); }
    bool Ok() const { return error_ == Replay::ReadError::kNone; }
    Replay::ReadError Error() const { return error_; }
    void Fail(Replay::ReadError error) {
        if (Ok()) {
            error_ = error;
        }
    }

    std::uint8_t Byte() {
        if (at_ >= bytes_.size()) {
            Fail(Replay::ReadError::kTruncated);
            return 0;
        }
        return static_cast<std::uint8_t>(bytes_[at_++]);
    }

    // A number of at most `maxValue`; anything larger (or longer than ten bytes) is damage.
    std::uint64_t Varint(std::uint64_t maxValue) {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const std::uint8_t b = Byte();
            if (!Ok()) {
                return 0;
            }
            value |= static_cast<std::uint64_t>(b & 0x7F) << shift;
            if ((b & 0x80) == 0) {
                if (value > maxValue) {
                    Fail(Replay::ReadError::kDamaged);
                    return 0;
                }
                return value;
            }
        }
        Fail(Replay::ReadError::kDamaged);
        return 0;
    }

    // `count` bytes as they are.
    std::string Bytes(std::size_t count) {
        if (!Ok() || count > bytes_.size() - at_) {
            Fail(Replay::ReadError::kTruncated);
            return {};
        }
        std::string out(bytes_.substr(at_, count));
        at_ += count;
        return out;
    }

    float Float() {
        std::uint32_t bits = 0;
        for (int i = 0; i < 4; ++i) {
            bits |= static_cast<std::uint32_t>(Byte()) << (8 * i);
        }
        const float value = std::bit_cast<float>(bits);
        // An aim is a direction: finite and at most one long in each component.
        if (!(value >= -1.0f && value <= 1.0f)) {
            Fail(Replay::ReadError::kDamaged);
            return 0.0f;
        }
        return value;
    }

    std::uint64_t U64() {
        std::uint64_t value = 0;
        for (int i = 0; i < 8; ++i) {
            value |= static_cast<std::uint64_t>(Byte()) << (8 * i);
        }
        return value;
    }

    bool Magic() {
        if (bytes_.size() < sizeof kMagic ||
            std::memcmp(bytes_.data(), kMagic, sizeof kMagic) != 0) {
            return false;
        }
        at_ = sizeof kMagic;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t at_ = 0;
    Replay::ReadError error_ = Replay::ReadError::kNone;
};

constexpr int kMaxPoints = 1000000000;

void ReadHeader(Reader& in, Replay& out) {
    out.mode = static_cast<int>(in.Varint(2));
    out.difficulty = static_cast<int>(in.Varint(2));
    out.level = static_cast<int>(in.Varint(10000));
    out.seed = static_cast<std::uint32_t>(in.Varint(0xFFFFFFFFu));
    const auto flags = static_cast<std::uint8_t>(in.Varint(0xFF));
    if ((flags & ~kKnownFlags) != 0) {
        in.Fail(Replay::ReadError::kDamaged);
    }
    out.guided = (flags & kFlagGuided) != 0;
    // A Puzzle game is replayed on its own level, which the file must carry; no other game
    // carries one.
    if (in.Ok() && ((flags & kFlagLevel) != 0) != (out.mode == kPuzzleMode)) {
        in.Fail(Replay::ReadError::kDamaged);
    }
    out.columns = static_cast<int>(in.Varint(20));
    out.rows = static_cast<int>(in.Varint(20));
    out.radius = static_cast<int>(in.Varint(256));
    out.launcherX = static_cast<int>(in.Varint(4096));
    out.launcherY = static_cast<int>(in.Varint(4096));
    if (in.Ok() && (out.columns < 1 || out.rows < 1 || out.radius < 1)) {
        in.Fail(Replay::ReadError::kDamaged);
    }
}

// The set's id is printed and written into a save slot's text, so it holds no control
// characters. It names a set (a player's as "User/<file>") and is never opened as a path.
bool IsPlainSetId(const std::string& id) {
    for (char c : id) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '"') {
            return false;
        }
    }
    return true;
}

void ReadLevel(Reader& in, Replay& out) {
    const auto idBytes = static_cast<std::size_t>(in.Varint(kMaxSetIdBytes));
    out.puzzleSet = in.Bytes(idBytes);
    out.puzzleLevel.shots = static_cast<int>(in.Varint(LevelSetReader::kMaxShots));
    const auto rowCount = static_cast<int>(in.Varint(20));
    out.puzzleLevel.rows.clear();
    for (int k = 0; k < rowCount && in.Ok(); ++k) {
        out.puzzleLevel.rows.push_back(in.Bytes(static_cast<std::size_t>(out.columns)));
    }
    if (in.Ok() && (out.level < 1 || !IsPlainSetId(out.puzzleSet) ||
                    !IsPlayableLevel(out.puzzleLevel, out.columns, out.rows))) {
        in.Fail(Replay::ReadError::kDamaged);
    }
}

void PutLevel(std::string& out, const Replay& replay) {
    PutVarint(out, replay.puzzleSet.size());
    out += replay.puzzleSet;
    PutVarint(out, static_cast<std::uint64_t>(replay.puzzleLevel.shots));
    PutVarint(out, replay.puzzleLevel.rows.size());
    for (const std::string& row : replay.puzzleLevel.rows) {
        out += row;
    }
}

void ReadResult(Reader& in, Replay& out) {
    ReplayResult result;
    result.outcome = static_cast<int>(in.Varint(ReplayResult::kCleared));
    result.score = static_cast<int>(in.Varint(kMaxPoints));
    result.shots = static_cast<int>(in.Varint(Replay::kMaxEvents));
    result.fieldHash = in.U64();
    if (in.Ok() && result.outcome == 0) {
        in.Fail(Replay::ReadError::kDamaged);
    }
    out.result = result;
}

} // namespace

std::string Replay::Serialize() const {
    std::string out(kMagic, sizeof kMagic);
    out.push_back(static_cast<char>(kVersion));
    PutVarint(out, static_cast<std::uint64_t>(mode));
    PutVarint(out, static_cast<std::uint64_t>(difficulty));
    PutVarint(out, static_cast<std::uint64_t>(level));
    PutVarint(out, seed);
    const bool puzzle = mode == kPuzzleMode;
    PutVarint(out, (guided ? kFlagGuided : 0) | (puzzle ? kFlagLevel : 0));
    PutVarint(out, static_cast<std::uint64_t>(columns));
    PutVarint(out, static_cast<std::uint64_t>(rows));
    PutVarint(out, static_cast<std::uint64_t>(radius));
    PutVarint(out, static_cast<std::uint64_t>(launcherX));
    PutVarint(out, static_cast<std::uint64_t>(launcherY));
    if (puzzle) {
        PutLevel(out, *this);
    }
    for (const ReplayEvent& event : events) {
        out.push_back(static_cast<char>(event.type));
        if (event.type == ReplayEvent::kFrames) {
            PutVarint(out, event.count);
            PutVarint(out, event.ms);
        } else if (event.type == ReplayEvent::kAim) {
            PutFloat(out, event.x);
            PutFloat(out, event.y);
        }
    }
    if (result) {
        out.push_back(static_cast<char>(kEndTag));
        PutVarint(out, static_cast<std::uint64_t>(result->outcome));
        PutVarint(out, static_cast<std::uint64_t>(result->score));
        PutVarint(out, static_cast<std::uint64_t>(result->shots));
        PutU64(out, result->fieldHash);
    }
    return out;
}

Replay::ReadError Replay::Parse(std::string_view bytes, Replay& out) {
    if (bytes.size() > kMaxBytes) {
        return ReadError::kTooLarge;
    }
    Reader in(bytes);
    if (!in.Magic()) {
        return ReadError::kNotReplay;
    }
    const std::uint8_t version = in.Byte();
    if (!in.Ok()) {
        return ReadError::kTruncated;
    }
    if (version != kVersion) {
        return ReadError::kUnknownVersion;
    }
    Replay replay;
    ReadHeader(in, replay);
    if (in.Ok() && replay.mode == kPuzzleMode) {
        ReadLevel(in, replay);
    }
    while (in.Ok() && !in.AtEnd()) {
        if (replay.events.size() >= kMaxEvents) {
            return ReadError::kTooLarge;
        }
        const std::uint8_t tag = in.Byte();
        ReplayEvent event;
        if (tag == kEndTag) {
            ReadResult(in, replay);
            if (in.Ok() && !in.AtEnd()) {
                in.Fail(ReadError::kDamaged); // nothing may follow the end
            }
            break;
        }
        if (tag < ReplayEvent::kFrames || tag > ReplayEvent::kResume) {
            in.Fail(ReadError::kDamaged);
            break;
        }
        event.type = static_cast<ReplayEvent::Type>(tag);
        if (event.type == ReplayEvent::kFrames) {
            event.count = static_cast<std::uint32_t>(in.Varint(kMaxRun));
            event.ms = static_cast<std::uint32_t>(in.Varint(kMaxFrameMs));
            if (in.Ok() && event.count == 0) {
                in.Fail(ReadError::kDamaged);
            }
        } else if (event.type == ReplayEvent::kAim) {
            event.x = in.Float();
            event.y = in.Float();
        }
        replay.events.push_back(event);
    }
    if (!in.Ok()) {
        return in.Error();
    }
    out = std::move(replay);
    return ReadError::kNone;
}

std::string Replay::Describe(ReadError error) {
    switch (error) {
    case ReadError::kNone:
        return "the recording is fine";
    case ReadError::kNotReplay:
        return "this is not a Zorbit Volley recording";
    case ReadError::kUnknownVersion:
        return "the recording was made by another version of the game and cannot be played";
    case ReadError::kDamaged:
        return "the recording is damaged";
    case ReadError::kTruncated:
        return "the recording is cut short";
    case ReadError::kTooLarge:
        return "the recording is too large to be a real game";
    }
    return "the recording cannot be read";
}

void Replay::AddFrame(std::uint32_t ms) {
    if (!events.empty() && events.back().type == ReplayEvent::kFrames && events.back().ms == ms &&
        events.back().count < kMaxRun) {
        ++events.back().count;
        return;
    }
    ReplayEvent event;
    event.type = ReplayEvent::kFrames;
    event.count = 1;
    event.ms = ms;
    events.push_back(event);
}

void Replay::Add(ReplayEvent::Type type, float x, float y) {
    ReplayEvent event;
    event.type = type;
    event.x = x;
    event.y = y;
    events.push_back(event);
}

int Replay::Shots() const {
    int shots = 0;
    for (const ReplayEvent& event : events) {
        shots += event.type == ReplayEvent::kFire;
    }
    return shots;
}

const ReplayEvent* ReplayCursor::Peek() {
    if (Done()) {
        return nullptr;
    }
    step_ = replay_.events[index_];
    if (step_.type == ReplayEvent::kFrames) {
        step_.count = 1;
    }
    return &step_;
}

void ReplayCursor::Take() {
    if (Done()) {
        return;
    }
    const ReplayEvent& event = replay_.events[index_];
    if (event.type == ReplayEvent::kFrames && ++framesTaken_ < event.count) {
        return;
    }
    framesTaken_ = 0;
    ++index_;
}
