#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Sounds made on the spot for the sound tests, and a reader for what the disk audio driver
// recorded.
namespace zvaudio {

constexpr int kRate = 48000;

// Mono sine tone, `amplitude` 0..1 of full scale.
std::vector<float> Tone(double hertz, double seconds, double amplitude);
// 16-bit PCM mono WAV file bytes.
std::string MakeWav(const std::vector<float>& samples, int rate = kRate);
// 16-bit mono FLAC file bytes, as the asset generator writes the lossless effects.
std::string MakeFlac(const std::vector<float>& samples, int rate = kRate);
// Ogg Vorbis file bytes of `channels` interleaved channels (mono by default).
std::string MakeOgg(const std::vector<float>& samples, int rate = kRate, int channels = 1);
// Interleaved stereo of two tones, a few seconds of something music-like to code.
std::vector<float> Chord(double seconds, double amplitude);
// Decodes Ogg Vorbis bytes whole with libvorbisfile, as 16-bit interleaved samples (empty
// when they cannot be opened): what the game's music must sound like.
std::vector<std::int16_t> DecodeOggReference(const std::string& bytes, int& channels);

// Largest absolute 16-bit sample value in a raw recording of the disk driver.
int PeakOfRecording(const std::string& path);

// Selects the audio driver for the next start of the sound system (and the file the disk
// driver records into); puts the previous choice back when it dies. Shuts the sound system
// down on both ends so each test starts from a closed mixer.
class ScopedAudioDriver {
public:
    explicit ScopedAudioDriver(const std::string& driver, const std::string& diskFile = {});
    ~ScopedAudioDriver();
    ScopedAudioDriver(const ScopedAudioDriver&) = delete;
    ScopedAudioDriver& operator=(const ScopedAudioDriver&) = delete;

private:
    std::string oldDriver_, oldFile_;
    bool hadDriver_ = false, hadFile_ = false;
};

// Sleeps for `ms` milliseconds, calling the sound system's per-frame update every 10 ms as
// the game loop would.
void RunFrames(int ms);

} // namespace zvaudio
