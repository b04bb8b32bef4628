// Effects: what is really heard through the disk audio driver, the effects on/off rule,
// and loading effects from the packs.
#include <gtest/gtest.h>

#include "AudioTestSounds.h"
#include "TestSupport.h"
#include "audio/TwSoundManager.h"
#include "data/TwPackWriter.h"
#include "data/TwResourceManager.h"
#include "platform/mixer/TwMixer.h"

using zvaudio::MakeFlac;
using zvaudio::MakeOgg;
using zvaudio::MakeWav;
using zvaudio::Tone;

namespace {

constexpr int kBeep = 10;

// Starts the sound system on the disk driver with the given effects setting, plays one loud
// beep (if allowed) and returns the peak of everything the device put out.
int PeakHeardAt(int soundSetting, int& channel) {
    zvtest::TempDir dir;
    const std::string recording = dir.File("out.raw");
    int peak = 0;
    {
        zvaudio::ScopedAudioDriver driver("disk", recording);
        TwSoundManager& sound = TwSoundManager::Instance();
        EXPECT_TRUE(sound.StartUp(soundSetting, 100));
        EXPECT_TRUE(sound.LoadSampleBytes(kBeep, MakeWav(Tone(1000, 0.15, 0.8))));
        channel = sound.PlaySample(kBeep);
        zvaudio::RunFrames(350);
    }
    peak = zvaudio::PeakOfRecording(recording);
    return peak;
}

} // namespace

TEST(Effects, LoudnessFollowsTheEffectsVolumeAndStopsBelowSixteen) {
    int channel = -1;
    const int loud = PeakHeardAt(200, channel);
    EXPECT_EQ(channel, 0);
    // 0.8 of full scale at mixer volume 100 of 128.
    EXPECT_NEAR(loud, 0.8 * 32767 * 100 / 128, 2500);

    const int quiet = PeakHeardAt(16, channel);
    EXPECT_GE(channel, 0);
    EXPECT_GT(quiet, 0);
    EXPECT_NEAR(static_cast<double>(loud) / quiet, 100.0 / 8.0, 2.0);

    EXPECT_EQ(PeakHeardAt(15, channel), 0);
    EXPECT_EQ(channel, -1);
}

TEST(Effects, IdZeroUnknownIdsAndDisabledEffectsPlayNothing) {
    zvaudio::ScopedAudioDriver driver("dummy");
    TwSoundManager& sound = TwSoundManager::Instance();
    ASSERT_TRUE(sound.StartUp(100, 100));
    const std::string beep = MakeWav(Tone(500, 0.2, 0.5));
    ASSERT_TRUE(sound.LoadSampleBytes(0, beep));
    ASSERT_TRUE(sound.LoadSampleBytes(1, beep));

    EXPECT_EQ(sound.PlaySample(0), -1);
    EXPECT_FALSE(TwMixer::IsChannelPlaying(0));
    EXPECT_EQ(sound.PlaySample(77), -1);

    sound.SetSoundEnabled(false);
    EXPECT_EQ(sound.PlaySample(1), -1);
    sound.SetSoundEnabled(true);
    // Effects stack on the lowest free channels, each at the effects volume.
    EXPECT_EQ(sound.PlaySample(1), 0);
    EXPECT_EQ(sound.PlaySample(1), 1);
    EXPECT_EQ(TwMixer::ChannelVolume(1), TwMixer::ToMixerVolume(100));
}

TEST(Effects, VolumeChangesOnlyWhileEffectsAreOn) {
    zvaudio::ScopedAudioDriver driver("dummy");
    TwSoundManager& sound = TwSoundManager::Instance();
    ASSERT_TRUE(sound.StartUp(100, 100));

    sound.SetSoundVolume(300); // low byte: 44
    EXPECT_EQ(sound.SoundVolume(), 44);
    EXPECT_EQ(TwMixer::ChannelVolume(3), TwMixer::ToMixerVolume(44));

    sound.SetSoundEnabled(false);
    sound.SetSoundVolume(200);
    EXPECT_EQ(sound.SoundVolume(), 44);

    // The effects slider switches effects on and off by the threshold and keeps the setting.
    sound.MoveSoundSlider(10);
    EXPECT_FALSE(sound.SoundEnabled());
    EXPECT_EQ(sound.SoundVolume(), 44);
    sound.MoveSoundSlider(180);
    EXPECT_TRUE(sound.SoundEnabled());
    EXPECT_EQ(sound.SoundVolume(), 180);
}

TEST(Effects, GameVolumeMapsOntoTheMixerScale) {
    EXPECT_EQ(TwMixer::ToMixerVolume(0), 0);
    EXPECT_EQ(TwMixer::ToMixerVolume(255), 128);
    EXPECT_EQ(TwMixer::ToMixerVolume(16), 8);
    EXPECT_EQ(TwMixer::ToMixerVolume(-5), 0);
    EXPECT_EQ(TwMixer::ToMixerVolume(999), 128);
}

TEST(Effects, LoadsWavAndOggFromThePacksByExactNameAndWavStoredAsFlac) {
    zvtest::TempDir dir;
    TwPackWriter writer;
    ASSERT_TRUE(writer.AddEntry("Data/Sounds/Click.Wav", MakeWav(Tone(700, 0.1, 0.5))));
    ASSERT_TRUE(writer.AddEntry("Data/Sounds/Drop.Ogg", MakeOgg(Tone(300, 0.3, 0.5))));
    ASSERT_TRUE(writer.AddEntry("Data/Sounds/Broken.Wav", "RIFF-this-is-no-sound"));
    ASSERT_TRUE(writer.AddEntry("Data/Sounds/Burst.Flac", MakeFlac(Tone(500, 0.2, 0.5))));
    ASSERT_TRUE(
        writer.AddEntry("Data/Sounds/Cut.Flac", MakeFlac(Tone(500, 0.2, 0.5)).substr(0, 4)));
    ASSERT_TRUE(writer.AddEntry("Data/Sounds/Hum.Flac", MakeFlac(Tone(90, 0.2, 0.5))));
    ASSERT_TRUE(writer.Write(dir.File("Sounds.Twr")));
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(dir.File("Sounds.Twr")));

    zvaudio::ScopedAudioDriver driver("dummy");
    TwSoundManager& sound = TwSoundManager::Instance();
    ASSERT_TRUE(sound.StartUp(100, 100));
    EXPECT_TRUE(sound.LoadSample(2, "Data/Sounds/Click.Wav"));
    EXPECT_TRUE(sound.LoadSample(11, "Data/Sounds/Drop.Ogg"));
    EXPECT_FALSE(sound.LoadSample(12, "Data/Sounds/Drop.Wav"));
    EXPECT_FALSE(sound.LoadSample(13, "Data/Sounds/Broken.Wav"));
    // An effect asked for as ".Wav" is found stored as ".Flac"; only ".Wav" names are
    // looked up that way, and a damaged one is refused.
    EXPECT_TRUE(sound.LoadSample(14, "Data/Sounds/Burst.Wav"));
    EXPECT_GE(sound.PlaySample(14), 0);
    EXPECT_FALSE(sound.LoadSample(15, "Data/Sounds/Cut.Wav"));
    EXPECT_FALSE(sound.LoadSample(16, "Data/Sounds/Hum.Ogg"));
    EXPECT_FALSE(sound.LoadSample(17, ".Wav"));
    EXPECT_GE(sound.PlaySample(11), 0);
    EXPECT_EQ(sound.PlaySample(12), -1);
    EXPECT_EQ(sound.PlaySample(13), -1);

    // Cut-off files either load what they hold or are refused; either way nothing breaks.
    const std::string wav = MakeWav(Tone(700, 0.1, 0.5));
    const std::string ogg = MakeOgg(Tone(300, 0.3, 0.5));
    for (std::size_t keep : {std::size_t{12}, std::size_t{44}, std::size_t{300}}) {
        sound.LoadSampleBytes(20, wav.substr(0, keep));
        sound.LoadSampleBytes(21, ogg.substr(0, keep));
        sound.PlaySample(20);
        sound.PlaySample(21);
    }

    // Loading again under an id replaces the effect.
    EXPECT_TRUE(sound.LoadSample(11, "Data/Sounds/Click.Wav"));
    EXPECT_TRUE(sound.HasSample(11));
    packs.CloseAll();
}

TEST(Effects, PauseHoldsEffectsUntilResumed) {
    zvaudio::ScopedAudioDriver driver("dummy");
    TwSoundManager& sound = TwSoundManager::Instance();
    ASSERT_TRUE(sound.StartUp(100, 100));
    ASSERT_TRUE(sound.LoadSampleBytes(1, MakeWav(Tone(500, 0.2, 0.5))));
    const int channel = sound.PlaySample(1);
    ASSERT_GE(channel, 0);
    sound.PauseAll(true);
    zvaudio::RunFrames(400);
    EXPECT_TRUE(TwMixer::IsChannelPlaying(channel));
    sound.PauseAll(false);
    zvaudio::RunFrames(400);
    EXPECT_FALSE(TwMixer::IsChannelPlaying(channel));
}
