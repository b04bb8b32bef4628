#pragma once
// The two music tracks as scores: General MIDI channel set-ups and note lists, composed
// by rule (chord progressions, voice-led pads, arpeggios, bass lines, drum grooves and
// melodies that favour chord tones on strong beats and steps elsewhere). A seeded
// generator picks among good choices, so every build composes the same notes.
#include <string>
#include <vector>

namespace zvmusic {

// Time is counted in sixteenth notes ("ticks"); fractions shorten staccato notes.
struct NoteEvent {
    double tick = 0.0;
    double length = 1.0;
    int channel = 0;
    int key = 60;
    int velocity = 100;
};

struct ChannelSetup {
    int channel = 0;
    int program = 0; // General MIDI program number, 0-based; channel 9 is the drum kit
    int volume = 100;
    int pan = 64;
    int reverb = 40;
};

struct Song {
    std::string title;
    int samplesPerTick = 6000; // at 48 kHz; a whole number keeps bar lines on exact samples
    int ticksPerBar = 16;
    int bars = 0;
    std::vector<ChannelSetup> channels;
    std::vector<NoteEvent> notes;

    int LoopTicks() const { return bars * ticksPerBar; }
};

// Calm main-menu piece: warm pad, harp arpeggios, soft bass, vibraphone and flute tunes.
Song ComposeMenuTheme();
// Lively in-game piece: drum kit, bouncing bass, offbeat piano stabs, leads and marimba.
Song ComposeGameTheme();

} // namespace zvmusic
