#include "MusicGenScore.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "Xorshift.h"

namespace zvmusic {

namespace {

constexpr std::array<int, 7> kMajorScale{0, 2, 4, 5, 7, 9, 11};
constexpr int kDrumChannel = 9;

// Seeded choices so the tunes come out the same on every build.
class Chooser {
public:
    explicit Chooser(std::uint32_t seed) : generator_(seed, 1u) {}
    double Uniform() { return generator_.Uniform(); }
    int Spread(int range) { return static_cast<int>(std::lround((Uniform() * 2.0 - 1.0) * range)); }

private:
    Xorshift32 generator_;
};

int FloorDiv(int a, int b) {
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// MIDI key of a scale step counted from the tonic (7 = the tonic an octave up).
int ScaleKey(int tonic, int step) {
    const int octave = FloorDiv(step, 7);
    return tonic + 12 * octave + kMajorScale[static_cast<std::size_t>(step - 7 * octave)];
}

// A chord built in thirds on a scale degree (0 = I ... 6 = vii).
struct Chord {
    int degree = 0;
    bool seventh = false;
};

bool IsChordStep(const Chord& chord, int step) {
    const int rel = ((step - chord.degree) % 7 + 7) % 7;
    return rel == 0 || rel == 2 || rel == 4 || (chord.seventh && rel == 6);
}

// Chord tones placed in the octave around `centre`, lowest first: close voicing that
// moves by small steps from chord to chord.
std::vector<int> Voicing(int tonic, const Chord& chord, int centre) {
    std::vector<int> keys;
    const int tones = chord.seventh ? 4 : 3;
    for (int i = 0; i < tones; ++i) {
        int key = ScaleKey(tonic, chord.degree + 2 * i);
        while (key < centre - 6) {
            key += 12;
        }
        while (key >= centre + 6) {
            key -= 12;
        }
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

int BassKey(int tonic, const Chord& chord, int low) {
    int key = ScaleKey(tonic, chord.degree);
    while (key < low) {
        key += 12;
    }
    while (key >= low + 12) {
        key -= 12;
    }
    return key;
}

std::vector<Chord> Progression(std::initializer_list<int> degrees, bool sevenths) {
    std::vector<Chord> chords;
    for (int degree : degrees) {
        chords.push_back({degree, sevenths});
    }
    return chords;
}

// Note adder that keeps every note inside the loop so nothing hangs over the seam.
class Writer {
    static constexpr double kMaxDelayTicks = 0.06;

public:
    explicit Writer(Song& song) : song_(song) {}
    void Note(int channel, double tick, double length, int key, int velocity) {
        const double end = std::min(tick + length, static_cast<double>(song_.LoopTicks()));
        if (end <= tick || key < 0 || key > 127) {
            return;
        }
        song_.notes.push_back({tick, end - tick, channel, key, std::clamp(velocity, 1, 127)});
    }
    // A played rather than programmed note: it lands a few milliseconds late, by an
    // amount fixed by its place and pitch so every build plays it the same way.
    void PlayedNote(int channel, double tick, double length, int key, int velocity) {
        std::uint32_t hash = static_cast<std::uint32_t>(tick * 64.0) * 2654435761u ^
                             static_cast<std::uint32_t>(key * 40503 + channel * 977);
        hash ^= hash >> 15;
        hash *= 2246822519u;
        hash ^= hash >> 13;
        const double delay = static_cast<double>(hash % 1000u) / 1000.0 * kMaxDelayTicks;
        Note(channel, tick + delay, length - delay, key, velocity);
    }

private:
    Song& song_;
};

// One rhythmic cell of a tune: onset and length in ticks within a bar.
struct Cell {
    int onset;
    int length;
};
using BarRhythm = std::vector<Cell>;

struct TuneStyle {
    int tonic = 60;
    int lowStep = 7;    // lowest scale step the tune may use
    int highStep = 16;  // highest
    double gate = 0.95; // fraction of each cell the note sounds
    int velocity = 90;
    int accent = 10; // added on the bar's strong beats
};

// Writes a melody over `chords` (one per bar, starting at `firstBar`) in the given bar
// rhythms. Each note is the cheapest candidate: chord tones on strong beats, steps
// rather than leaps, a gentle arch towards the middle of each phrase, and phrase ends on
// the chord's root or third. Returns the last step used so tunes can continue.
int WriteTune(Writer& writer, int channel, const std::vector<Chord>& chords, int firstBar,
              const std::vector<BarRhythm>& rhythms, const TuneStyle& style, Chooser& chooser,
              int startStep) {
    int previous = startStep;
    const int bars = static_cast<int>(rhythms.size());
    for (int bar = 0; bar < bars; ++bar) {
        const int chordBar = firstBar + bar;
        const Chord& chord = chords[static_cast<std::size_t>(chordBar)];
        const BarRhythm& rhythm = rhythms[static_cast<std::size_t>(bar)];
        const double phrasePos = static_cast<double>(bar % 4) / 4.0;
        const double arch = std::sin(3.14159265358979 * (phrasePos + 0.125));
        const double target = style.lowStep + (style.highStep - style.lowStep) * (0.3 + 0.5 * arch);
        for (std::size_t n = 0; n < rhythm.size(); ++n) {
            const Cell& cell = rhythm[n];
            const bool strong = cell.onset % 8 == 0 || cell.length >= 6;
            const bool phraseEnd = bar % 4 == 3 && n + 1 == rhythm.size();
            int best = previous;
            double bestCost = 1e9;
            for (int step = style.lowStep; step <= style.highStep; ++step) {
                const int leap = std::abs(step - previous);
                double cost = leap == 0 ? 1.5 : leap == 1 ? 0.0 : leap == 2 ? 0.8 : 1.5 * leap;
                const bool chordTone = IsChordStep(chord, step);
                cost += chordTone ? 0.0 : (strong ? 6.0 : 0.6);
                cost += 0.35 * std::abs(step - target);
                if (phraseEnd) {
                    const int rel = ((step - chord.degree) % 7 + 7) % 7;
                    cost += rel == 0 ? 0.0 : rel == 2 ? 1.0 : 8.0;
                }
                cost += chooser.Uniform() * 1.4;
                if (cost < bestCost) {
                    bestCost = cost;
                    best = step;
                }
            }
            const int velocity = style.velocity + (cell.onset == 0 ? style.accent : 0) +
                                 (cell.onset % 4 == 0 ? 0 : -6) + chooser.Spread(5);
            writer.PlayedNote(channel, (firstBar + bar) * 16.0 + cell.onset,
                              cell.length * style.gate, ScaleKey(style.tonic, best), velocity);
            previous = best;
        }
    }
    return previous;
}

// Sustained chords, one voicing per bar.
void WritePad(Writer& writer, int channel, int tonic, const std::vector<Chord>& chords,
              int firstBar, int bars, int centre, int velocity) {
    for (int bar = firstBar; bar < firstBar + bars; ++bar) {
        for (int key : Voicing(tonic, chords[static_cast<std::size_t>(bar)], centre)) {
            writer.Note(channel, bar * 16.0, 16.0, key, velocity);
        }
    }
}

// Broken chords: `order` indexes the chord's tones stacked over two octaves.
void WriteArpeggio(Writer& writer, int channel, int tonic, const std::vector<Chord>& chords,
                   int firstBar, int bars, int centre, const std::vector<int>& order, int stepTicks,
                   double gate, int velocity, Chooser& chooser) {
    for (int bar = firstBar; bar < firstBar + bars; ++bar) {
        std::vector<int> tones = Voicing(tonic, chords[static_cast<std::size_t>(bar)], centre);
        const std::size_t base = tones.size();
        for (std::size_t i = 0; i < base; ++i) {
            tones.push_back(tones[i] + 12);
        }
        for (std::size_t i = 0; i < order.size(); ++i) {
            const int tick = static_cast<int>(i) * stepTicks;
            if (tick >= 16) {
                break;
            }
            const int key = tones[static_cast<std::size_t>(order[i]) % tones.size()];
            const int accent = tick == 0 ? 10 : (tick % 4 == 0 ? 4 : 0);
            writer.PlayedNote(channel, bar * 16.0 + tick, stepTicks * gate, key,
                              velocity + accent + chooser.Spread(4));
        }
    }
}

struct DrumHit {
    int tick;
    int key;
    int velocity;
};

void WriteDrumBar(Writer& writer, int bar, const std::vector<DrumHit>& hits, Chooser& chooser) {
    for (const DrumHit& hit : hits) {
        writer.Note(kDrumChannel, bar * 16.0 + hit.tick, 1.0, hit.key,
                    hit.velocity + chooser.Spread(5));
    }
}

// General MIDI drum keys.
constexpr int kKick = 36;
constexpr int kSnare = 38;
constexpr int kClap = 39;
constexpr int kClosedHat = 42;
constexpr int kOpenHat = 46;
constexpr int kCrash = 49;
constexpr int kRide = 51;
constexpr int kTambourine = 54;
constexpr int kShaker = 70;
constexpr int kLowTom = 45;
constexpr int kMidTom = 47;
constexpr int kHighMidTom = 48;
constexpr int kHighTom = 50;

// --- menu theme ---------------------------------------------------------------------

constexpr int kMenuPad = 0;
constexpr int kMenuHarp = 1;
constexpr int kMenuBass = 2;
constexpr int kMenuVibes = 3;
constexpr int kMenuFlute = 4;

} // namespace

Song ComposeMenuTheme() {
    Song song;
    song.title = "Zorbit Volley - Drifting";
    song.samplesPerTick = 9000; // 80 beats a minute
    song.bars = 24;
    song.channels = {
        {kMenuPad, 89, 62, 64, 70},    // warm pad
        {kMenuHarp, 46, 88, 44, 60},   // harp
        {kMenuBass, 32, 92, 64, 30},   // acoustic bass
        {kMenuVibes, 11, 112, 84, 65}, // vibraphone
        {kMenuFlute, 73, 70, 76, 70},  // flute
    };
    const int tonic = 53; // F
    // A: home and away; B: drifts to the subdominant side; A': back, ending on the
    // dominant so the loop falls home onto its first bar.
    const std::vector<Chord> chords =
        Progression({0, 5, 3, 4, 0, 5, 1, 4, 3, 4, 2, 5, 1, 4, 2, 5, 0, 5, 3, 4, 3, 1, 4, 4}, true);
    Writer writer(song);
    Chooser chooser(0x5EED1234u);

    WritePad(writer, kMenuPad, tonic, chords, 0, song.bars, 62, 58);
    const std::vector<int> rolling{0, 1, 2, 3, 4, 3, 2, 1};
    const std::vector<int> rising{0, 2, 3, 5};
    WriteArpeggio(writer, kMenuHarp, tonic, chords, 0, 8, 60, rolling, 2, 1.6, 62, chooser);
    WriteArpeggio(writer, kMenuHarp, tonic, chords, 8, 8, 64, rising, 4, 1.5, 58, chooser);
    WriteArpeggio(writer, kMenuHarp, tonic, chords, 16, 8, 60, rolling, 2, 1.6, 60, chooser);

    for (int bar = 0; bar < song.bars; ++bar) {
        const Chord& chord = chords[static_cast<std::size_t>(bar)];
        const int root = BassKey(tonic, chord, 36);
        const int fifth = BassKey(tonic, {chord.degree + 4, false}, root);
        writer.Note(kMenuBass, bar * 16.0, 7.5, root, 78 + chooser.Spread(4));
        writer.Note(kMenuBass, bar * 16.0 + 8, 3.5, fifth, 66 + chooser.Spread(4));
        writer.Note(kMenuBass, bar * 16.0 + 12, 3.5, root + 12, 62 + chooser.Spread(4));
    }

    const BarRhythm dotted{{0, 6}, {6, 2}, {8, 8}};
    const BarRhythm walking{{0, 4}, {4, 4}, {8, 4}, {12, 4}};
    const BarRhythm lifted{{2, 2}, {4, 4}, {8, 6}, {14, 2}};
    const BarRhythm settle{{0, 12}, {12, 4}};
    const BarRhythm rest{{0, 14}};
    TuneStyle vibes{tonic, 7, 16, 0.95, 84, 8};
    // A: two four-bar phrases sharing their rhythm, the second resolving fully.
    const std::vector<BarRhythm> phraseOne{dotted, walking, dotted, settle};
    const std::vector<BarRhythm> phraseTwo{dotted, walking, lifted, rest};
    Chooser firstPhrase(0xA11CE5u);
    int step = WriteTune(writer, kMenuVibes, chords, 0, phraseOne, vibes, firstPhrase, 9);
    step = WriteTune(writer, kMenuVibes, chords, 4, phraseTwo, vibes, chooser, step);
    // B: the flute answers in longer notes, a little higher.
    TuneStyle flute{tonic, 9, 17, 0.9, 80, 6};
    const std::vector<BarRhythm> answer{settle, lifted, settle,  rest,
                                        dotted, settle, walking, rest};
    step = WriteTune(writer, kMenuFlute, chords, 8, answer, flute, chooser, step + 2);
    // A': the opening phrase returns note for note, then a new ending.
    Chooser repeatPhrase(0xA11CE5u);
    WriteTune(writer, kMenuVibes, chords, 16, phraseOne, vibes, repeatPhrase, 9);
    WriteTune(writer, kMenuVibes, chords, 20, {walking, dotted, lifted, rest}, vibes, chooser,
              step);
    return song;
}

namespace {

constexpr int kGameBass = 0;
constexpr int kGameStabs = 1;
constexpr int kGameLead = 2;
constexpr int kGameSteel = 3;
constexpr int kGameMarimba = 4;
constexpr int kGameVibes = 5;
constexpr int kGamePad = 6;

std::vector<DrumHit> GrooveA(bool push) {
    std::vector<DrumHit> hits{
        {0, kKick, 100}, {8, kKick, 92}, {4, kSnare, 92}, {12, kSnare, 96}, {14, kOpenHat, 58}};
    if (push) {
        hits.push_back({10, kKick, 80});
    }
    for (int tick = 0; tick < 14; tick += 2) {
        hits.push_back({tick, kClosedHat, tick % 4 == 0 ? 70 : 52});
    }
    return hits;
}

std::vector<DrumHit> GrooveB() {
    std::vector<DrumHit> hits{{4, kSnare, 90}, {12, kSnare, 94},     {4, kClap, 70},
                              {12, kClap, 74}, {4, kTambourine, 55}, {12, kTambourine, 55}};
    for (int tick = 0; tick < 16; tick += 4) {
        hits.push_back({tick, kKick, tick == 0 ? 102 : 92});
    }
    for (int tick = 0; tick < 16; ++tick) {
        hits.push_back({tick, tick % 4 == 2 ? kOpenHat : kClosedHat,
                        tick % 4 == 2 ? 52 : (tick % 2 == 0 ? 62 : 40)});
    }
    return hits;
}

std::vector<DrumHit> GrooveHalfTime() {
    std::vector<DrumHit> hits{{0, kKick, 96}, {10, kKick, 78}, {8, kSnare, 92}};
    for (int tick = 0; tick < 16; tick += 4) {
        hits.push_back({tick, kRide, tick == 0 ? 74 : 62});
    }
    for (int tick = 0; tick < 16; tick += 2) {
        hits.push_back({tick, kShaker, tick % 4 == 2 ? 60 : 45});
    }
    return hits;
}

// The last bar of a section: the groove's first half, then a run down the toms.
std::vector<DrumHit> Fill(const std::vector<DrumHit>& groove) {
    std::vector<DrumHit> hits;
    for (const DrumHit& hit : groove) {
        if (hit.tick < 8) {
            hits.push_back(hit);
        }
    }
    const std::array<DrumHit, 7> run{{{8, kSnare, 84},
                                      {10, kSnare, 90},
                                      {11, kSnare, 70},
                                      {12, kHighTom, 96},
                                      {13, kHighMidTom, 92},
                                      {14, kMidTom, 98},
                                      {15, kLowTom, 104}}};
    hits.insert(hits.end(), run.begin(), run.end());
    hits.push_back({8, kKick, 90});
    return hits;
}

} // namespace

Song ComposeGameTheme() {
    Song song;
    song.title = "Zorbit Volley - Pop Rally";
    song.samplesPerTick = 5760; // 125 beats a minute
    song.bars = 32;
    song.channels = {
        {kGameBass, 38, 80, 64, 20},    // synth bass
        {kGameStabs, 5, 76, 50, 45},    // electric piano
        {kGameLead, 80, 84, 72, 55},    // square lead
        {kGameSteel, 114, 100, 80, 55}, // steel drums
        {kGameMarimba, 12, 76, 40, 45}, // marimba
        {kGameVibes, 11, 112, 84, 65},  // vibraphone
        {kGamePad, 89, 70, 64, 70},     // warm pad
        {kDrumChannel, 0, 96, 64, 35},  // drum kit
    };
    const int tonic = 55; // G
    const std::vector<Chord> chords =
        Progression({0, 4, 5, 3, 0, 4, 3, 4,  // A
                     5, 3, 0, 4, 5, 3, 1, 4,  // B
                     0, 4, 5, 3, 0, 4, 3, 4,  // A'
                     3, 4, 2, 5, 3, 4, 0, 4}, // C, ending on the dominant for the loop
                    false);
    Writer writer(song);
    Chooser chooser(0xB0BB1E5u);

    // Drums: a crash opens every section, a tom fill closes it.
    for (int bar = 0; bar < song.bars; ++bar) {
        const int section = bar / 8;
        const bool last = bar % 8 == 7;
        std::vector<DrumHit> groove = section == 1   ? GrooveB()
                                      : section == 3 ? GrooveHalfTime()
                                                     : GrooveA(bar % 2 == 1);
        if (last) {
            groove = Fill(groove);
        }
        if (bar % 8 == 0) {
            groove.push_back({0, kCrash, 84});
        }
        WriteDrumBar(writer, bar, groove, chooser);
    }

    // Bass: octave bounce in eighths; long roots in the half-time section.
    for (int bar = 0; bar < song.bars; ++bar) {
        const Chord& chord = chords[static_cast<std::size_t>(bar)];
        const int root = BassKey(tonic, chord, 31);
        if (bar / 8 == 3) {
            const int fifth = BassKey(tonic, {chord.degree + 4, false}, root);
            writer.Note(kGameBass, bar * 16.0, 5.5, root, 96);
            writer.Note(kGameBass, bar * 16.0 + 6, 1.6, root, 80);
            writer.Note(kGameBass, bar * 16.0 + 8, 3.6, fifth, 86);
            writer.Note(kGameBass, bar * 16.0 + 12, 3.6, root + 12, 84);
            continue;
        }
        for (int tick = 0; tick < 16; tick += 2) {
            const bool up = tick % 4 == 2;
            writer.Note(kGameBass, bar * 16.0 + tick, 1.5, up ? root + 12 : root,
                        (up ? 82 : 98) + chooser.Spread(4));
        }
    }

    // Electric piano: offbeat stabs in A, a pushed pattern in B, resting in C.
    const std::vector<Cell> offbeats{{2, 1}, {6, 1}, {10, 1}, {14, 1}};
    const std::vector<Cell> pushed{{0, 3}, {3, 3}, {6, 2}, {10, 2}, {12, 3}};
    for (int bar = 0; bar < 24; ++bar) {
        const auto& pattern = bar / 8 == 1 ? pushed : offbeats;
        for (const Cell& cell : pattern) {
            for (int key : Voicing(tonic, chords[static_cast<std::size_t>(bar)], 64)) {
                writer.Note(kGameStabs, bar * 16.0 + cell.onset, cell.length * 0.8, key,
                            78 + chooser.Spread(5));
            }
        }
    }

    // Marimba runs through B and C; a pad warms the half-time section.
    const std::vector<int> sparkle{0, 1, 2, 3, 4, 5, 4, 3, 1, 2, 3, 4, 5, 4, 3, 2};
    WriteArpeggio(writer, kGameMarimba, tonic, chords, 8, 8, 67, sparkle, 1, 0.9, 64, chooser);
    WriteArpeggio(writer, kGameMarimba, tonic, chords, 24, 8, 67, sparkle, 1, 0.9, 58, chooser);
    WritePad(writer, kGamePad, tonic, chords, 24, 8, 62, 62);

    const BarRhythm threes{{0, 3}, {3, 3}, {6, 2}, {8, 4}, {12, 4}};
    const BarRhythm runs{{0, 2}, {2, 2}, {4, 2}, {6, 2}, {8, 4}, {12, 2}, {14, 2}};
    const BarRhythm hop{{0, 4}, {6, 2}, {8, 2}, {10, 6}};
    const BarRhythm hold{{0, 6}, {6, 10}};
    const BarRhythm longOnes{{0, 8}, {8, 8}};
    const BarRhythm wholeNote{{0, 16}};
    TuneStyle lead{tonic, 7, 15, 0.85, 92, 10};
    const std::vector<BarRhythm> phraseOne{threes, hop, threes, hold};
    const std::vector<BarRhythm> phraseTwo{threes, runs, hop, hold};
    Chooser hook(0xC0FFEEu);
    int step = WriteTune(writer, kGameLead, chords, 0, phraseOne, lead, hook, 11);
    step = WriteTune(writer, kGameLead, chords, 4, phraseTwo, lead, chooser, step);
    TuneStyle steel{tonic, 9, 16, 0.9, 96, 8};
    step = WriteTune(writer, kGameSteel, chords, 8,
                     {hop, threes, runs, hold, hop, threes, hop, hold}, steel, chooser, step);
    Chooser hookAgain(0xC0FFEEu);
    WriteTune(writer, kGameLead, chords, 16, phraseOne, lead, hookAgain, 11);
    step =
        WriteTune(writer, kGameLead, chords, 20, {runs, threes, runs, hold}, lead, chooser, step);
    TuneStyle vibes{tonic, 7, 14, 0.95, 88, 6};
    WriteTune(writer, kGameVibes, chords, 24,
              {longOnes, hold, longOnes, wholeNote, longOnes, hold, longOnes, hold}, vibes, chooser,
              step);
    return song;
}

} // namespace zvmusic
