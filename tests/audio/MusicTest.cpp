// Music: play lists switching between menu and game, the music slider, the end-of-track
// steps, and a sound system that could not start.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "AudioTestSounds.h"
#include "TestSupport.h"
#include "audio/TwSoundManager.h"
#include "data/TwSysConfig.h"
#include "platform/mixer/TwMixer.h"

using zvaudio::MakeOgg;
using zvaudio::MakeWav;
using zvaudio::RunFrames;
using zvaudio::Tone;

namespace {

constexpr int kMenu = 0;
constexpr int kGame = 1;
constexpr int kClick = 2;

std::unique_ptr<TwPlayList> ListOf(const std::vector<std::string>& tracks) {
    auto list = std::make_unique<TwPlayList>();
    for (const std::string& bytes : tracks) {
        list->AddTrackBytes(bytes);
    }
    return list;
}

bool Plays(const TwPlayList* list, std::size_t track) {
    return TwMixer::IsMusicPlaying(list->Track(track).Stream());
}

double PositionOf(const TwPlayList* list) {
    return TwMixer::MusicPosition(list->Track(list->CurrentTrack()).Stream());
}

// Polls the frame update until `list`'s current track is no longer playing, at most `ms`.
bool WaitForEndOf(const TwPlayList* list, int ms) {
    for (int waited = 0; waited < ms; waited += 10) {
        if (!Plays(list, list->CurrentTrack())) {
            return true;
        }
        RunFrames(10);
    }
    return false;
}

class Music : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sound.StartUp(100, 100));
        TwSoundManager::ResetEndCounter();
        menuTrack = MakeOgg(Tone(440, 4.0, 0.3));
        gameTrack = MakeOgg(Tone(660, 4.0, 0.3));
        ASSERT_TRUE(sound.LoadSampleBytes(kClick, MakeWav(Tone(900, 1.0, 0.3))));
    }

    zvaudio::ScopedAudioDriver driver{"dummy"};
    TwSoundManager& sound = TwSoundManager::Instance();
    std::string menuTrack, gameTrack;
};

} // namespace

// The music holds its channel number while it plays, so the clicks of the buttons that switch
// between menu and game never take it: each list starts on channel 0 again, and the menu music
// begins afresh every time the player comes back, whether or not a click still sounds.
TEST_F(Music, EffectsLeaveTheMusicItsChannelSoTheMenuMusicAlwaysBeginsAgain) {
    sound.AddPlayList(kMenu, ListOf({menuTrack}));
    sound.AddPlayList(kGame, ListOf({gameTrack}));
    TwPlayList* menu = sound.PlayList(kMenu);
    TwPlayList* game = sound.PlayList(kGame);

    // Menu music started at loading, before any effect: channel 0.
    sound.SelectPlayList(kMenu);
    sound.ResumeMusic();
    EXPECT_EQ(menu->Channel(), 0);
    EXPECT_EQ(TwMixer::MusicChannel(), 0);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        RunFrames(250);
        // The mode button's click, then the game music while the click still sounds.
        const int click = sound.PlaySample(kClick);
        EXPECT_GT(click, 0) << "an effect took the music's channel";
        sound.SelectPlayList(kGame);
        EXPECT_GT(menu->Track(0).SavedPosition(), 0.15);
        sound.ResumeMusic();
        EXPECT_TRUE(TwMixer::IsChannelPlaying(click));
        EXPECT_EQ(game->Channel(), 0);
        RunFrames(250);

        // The menu button's click, then back to the menu: its music begins again.
        EXPECT_GT(sound.PlaySample(kClick), 0) << "an effect took the music's channel";
        sound.SelectPlayList(kMenu);
        EXPECT_GT(game->Track(0).SavedPosition(), 0.15);
        sound.ResumeMusic();
        EXPECT_TRUE(Plays(menu, 0));
        EXPECT_LT(PositionOf(menu), 0.1);
        EXPECT_EQ(menu->Channel(), 0);
    }

    // Stopped, the music holds no channel: the next effect takes channel 0.
    menu->Stop();
    EXPECT_EQ(TwMixer::MusicChannel(), -1);
    RunFrames(1100); // every click has ended
    EXPECT_EQ(sound.PlaySample(kClick), 0);
}

// Game music started while an effect holds channel 0 (no music played then) takes the next
// channel, and so continues where it stopped when the player goes back into the game.
TEST_F(Music, GameMusicStartedBesideAnEffectContinuesWhereItStopped) {
    sound.AddPlayList(kGame, ListOf({gameTrack}));
    sound.AddPlayList(kMenu, ListOf({menuTrack}));
    TwPlayList* game = sound.PlayList(kGame);

    EXPECT_EQ(sound.PlaySample(kClick), 0);
    sound.SelectPlayList(kGame);
    sound.ResumeMusic();
    EXPECT_EQ(game->Channel(), 1);
    RunFrames(600);
    sound.SelectPlayList(kMenu);
    const double gameStoppedAt = game->Track(0).SavedPosition();
    EXPECT_GT(gameStoppedAt, 0.4);

    sound.SelectPlayList(kGame);
    sound.ResumeMusic();
    EXPECT_TRUE(Plays(game, 0));
    EXPECT_NEAR(PositionOf(game), gameStoppedAt, 0.1);
    EXPECT_EQ(game->Track(0).SavedPosition(), 0.0);
}

TEST_F(Music, MenuMusicStartedBesideAnEffectContinuesAfterTheGame) {
    sound.AddPlayList(kMenu, ListOf({menuTrack}));
    sound.AddPlayList(kGame, ListOf({gameTrack}));
    TwPlayList* menu = sound.PlayList(kMenu);

    sound.PlaySample(kClick);
    sound.SelectPlayList(kMenu);
    sound.ResumeMusic();
    ASSERT_EQ(menu->Channel(), 1);
    RunFrames(500);
    sound.SelectPlayList(kGame);
    const double menuStoppedAt = menu->Track(0).SavedPosition();
    sound.ResumeMusic();
    RunFrames(200);
    sound.SelectPlayList(kMenu);
    sound.ResumeMusic();
    EXPECT_NEAR(PositionOf(menu), menuStoppedAt, 0.1);
    EXPECT_GT(menuStoppedAt, 0.3);
}

TEST_F(Music, SliderBelowSixteenStopsAndComingBackContinues) {
    sound.AddPlayList(kMenu, ListOf({menuTrack}));
    TwPlayList* menu = sound.PlayList(kMenu);
    sound.SelectPlayList(kMenu);
    sound.ResumeMusic();
    RunFrames(500);

    sound.MoveMusicSlider(10);
    EXPECT_FALSE(sound.MusicEnabled());
    EXPECT_FALSE(Plays(menu, 0));
    EXPECT_EQ(TwSysConfig::Instance().MusicVolume, 10);
    const double stoppedAt = menu->Track(0).SavedPosition();
    EXPECT_GT(stoppedAt, 0.3);

    // Dragging on below the threshold keeps the place.
    RunFrames(200);
    sound.MoveMusicSlider(3);
    EXPECT_EQ(menu->Track(0).SavedPosition(), stoppedAt);
    // Music off: nothing starts it.
    sound.ResumeMusic();
    EXPECT_FALSE(Plays(menu, 0));

    sound.MoveMusicSlider(16);
    EXPECT_TRUE(sound.MusicEnabled());
    EXPECT_TRUE(Plays(menu, 0));
    EXPECT_NEAR(PositionOf(menu), stoppedAt, 0.1);
    EXPECT_EQ(TwMixer::MusicVolume(), TwMixer::ToMixerVolume(16));

    // A move while the music plays starts the track over.
    RunFrames(300);
    sound.MoveMusicSlider(200);
    EXPECT_LT(PositionOf(menu), 0.1);
    EXPECT_EQ(TwMixer::MusicVolume(), TwMixer::ToMixerVolume(200));
    EXPECT_EQ(TwSysConfig::Instance().MusicVolume, 200);
}

TEST_F(Music, MusicSettingBelowSixteenKeepsTheMenuSilent) {
    sound.ShutDown();
    ASSERT_TRUE(sound.StartUp(100, 15));
    EXPECT_FALSE(sound.MusicEnabled());
    EXPECT_TRUE(sound.SoundEnabled());
    sound.AddPlayList(kMenu, ListOf({menuTrack}));
    sound.SelectPlayList(kMenu);
    sound.ResumeMusic();
    EXPECT_FALSE(Plays(sound.PlayList(kMenu), 0));
    EXPECT_EQ(sound.PlayList(kMenu)->Channel(), -1);
}

TEST_F(Music, EndsAlternateBetweenReplayAndNextTrack) {
    const std::string a = MakeWav(Tone(300, 0.25, 0.3));
    const std::string b = MakeOgg(Tone(400, 0.25, 0.3));
    const std::string c = MakeOgg(Tone(500, 0.25, 0.3));
    sound.AddPlayList(kGame, ListOf({a, b, c}));
    TwPlayList* list = sound.PlayList(kGame);
    sound.SelectPlayList(kGame);
    sound.ResumeMusic();
    // A list that never played starts with an advance.
    ASSERT_EQ(list->CurrentTrack(), 1);
    ASSERT_TRUE(Plays(list, 1));

    ASSERT_TRUE(WaitForEndOf(list, 2000));
    RunFrames(30);
    EXPECT_EQ(TwSoundManager::EndCounter(), 1);
    EXPECT_EQ(list->CurrentTrack(), 1);
    EXPECT_TRUE(Plays(list, 1));

    ASSERT_TRUE(WaitForEndOf(list, 2000));
    RunFrames(30);
    EXPECT_EQ(TwSoundManager::EndCounter(), 0);
    EXPECT_EQ(list->CurrentTrack(), 2);
    EXPECT_TRUE(Plays(list, 2));

    ASSERT_TRUE(WaitForEndOf(list, 2000));
    RunFrames(30);
    EXPECT_EQ(TwSoundManager::EndCounter(), 1);
    EXPECT_TRUE(Plays(list, 2));
}

TEST_F(Music, DeliberateStopsAreNotEnds) {
    sound.AddPlayList(kMenu, ListOf({MakeWav(Tone(300, 0.3, 0.3))}));
    sound.AddPlayList(kGame, ListOf({MakeWav(Tone(300, 0.3, 0.3))}));
    sound.SelectPlayList(kMenu);
    sound.ResumeMusic();
    RunFrames(50);
    sound.RestartTrack(); // replaces the playing stream
    RunFrames(50);
    sound.SelectPlayList(kGame); // stops the menu music
    RunFrames(500);
    EXPECT_EQ(TwSoundManager::EndCounter(), 0);
    EXPECT_FALSE(Plays(sound.PlayList(kMenu), 0));
}

TEST_F(Music, EndHandlerWithoutAListOrWithMusicOff) {
    EXPECT_FALSE(sound.OnMusicEnd());
    EXPECT_EQ(TwSoundManager::EndCounter(), 0);
    sound.AddPlayList(kMenu, ListOf({menuTrack}));
    sound.SelectPlayList(kMenu);
    sound.SetMusicEnabled(false);
    EXPECT_TRUE(sound.OnMusicEnd());
    EXPECT_EQ(TwSoundManager::EndCounter(), 0);
    EXPECT_FALSE(Plays(sound.PlayList(kMenu), 0));
}

TEST(SilentSound, FailedStartLeavesAHarmlessManager) {
    zvaudio::ScopedAudioDriver driver("zv-no-such-driver");
    TwSoundManager& sound = TwSoundManager::Instance();
    EXPECT_FALSE(sound.StartUp(200, 200));
    EXPECT_EQ(sound.StartUpAttempts(), 10);
    EXPECT_FALSE(sound.IsStarted());
    EXPECT_EQ(sound.SoundVolume(), TwSoundManager::kInitialVolume);
    EXPECT_EQ(sound.MusicVolume(), TwSoundManager::kInitialVolume);

    EXPECT_FALSE(sound.LoadSampleBytes(1, MakeWav(Tone(500, 0.1, 0.5))));
    EXPECT_EQ(sound.PlaySample(1), -1);
    auto list = std::make_unique<TwPlayList>();
    list->AddTrackBytes(MakeOgg(Tone(300, 0.2, 0.3)));
    EXPECT_FALSE(list->Track(0).HasStream());
    sound.AddPlayList(kMenu, std::move(list));
    sound.SelectPlayList(kMenu);
    sound.ResumeMusic();
    sound.RestartTrack();
    EXPECT_EQ(sound.CurrentPlayList()->Channel(), -1);
    sound.PauseAll(true);
    sound.PauseAll(false);
    sound.SetSoundVolume(50);
    sound.MoveMusicSlider(5);
    sound.MoveMusicSlider(100);
    sound.Update();
    sound.SelectPlayList(kGame);
    EXPECT_EQ(sound.CurrentPlayList(), nullptr);
}

// A list of one track wraps inside the mixer: listening through the disk driver, the
// music never drops out at the seam, and no end is counted.
TEST(MusicLoop, SingleTrackListWrapsWithoutAGap) {
    zvtest::TempDir dir;
    const std::string recording = dir.File("loop.raw");
    {
        zvaudio::ScopedAudioDriver driver("disk", recording);
        TwSoundManager& sound = TwSoundManager::Instance();
        ASSERT_TRUE(sound.StartUp(100, 200));
        TwSoundManager::ResetEndCounter();
        // 88 whole cycles, so the wrap itself is smooth.
        sound.AddPlayList(kMenu, ListOf({MakeWav(Tone(440, 0.2, 0.5))}));
        sound.SelectPlayList(kMenu);
        sound.ResumeMusic();
        RunFrames(900); // four wraps and more
        EXPECT_EQ(TwSoundManager::EndCounter(), 0);
        EXPECT_TRUE(Plays(sound.PlayList(kMenu), 0));
    }
    const std::string raw = zvtest::ReadAll(recording);
    std::vector<std::int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    auto loud = [](std::int16_t s) { return s > 200 || s < -200; };
    const auto first = std::find_if(samples.begin(), samples.end(), loud);
    const auto last = std::find_if(samples.rbegin(), samples.rend(), loud).base();
    ASSERT_LT(first, last);
    ASSERT_GT(last - first, 2 * 48000 * 6 / 10); // at least 0.6 s of stereo music
    std::size_t quietRun = 0, longestQuietRun = 0;
    for (auto it = first; it != last; ++it) {
        quietRun = loud(*it) ? 0 : quietRun + 1;
        longestQuietRun = std::max(longestQuietRun, quietRun);
    }
    // A sine only passes near zero for a few samples; a restart gap would last a frame.
    EXPECT_LT(longestQuietRun, 96u);
}
