// Play list order: shuffling with the game's random numbers and moving through the tracks.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "AudioTestSounds.h"
#include "audio/TwSoundManager.h"
#include "data/TwResourceManager.h"
#include "platform/mixer/TwMixer.h"
#include "platform/os/TwRand.h"

namespace {

// A list of silent named tracks (no stream), enough to watch the order.
std::unique_ptr<TwPlayList> NamedList(const std::string& names) {
    auto list = std::make_unique<TwPlayList>();
    for (char name : names) {
        list->AddTrackBytes({}, std::string(1, name));
    }
    return list;
}

std::string Order(const TwPlayList& list) {
    std::string order;
    for (std::size_t i = 0; i < list.TrackCount(); ++i) {
        order += list.Track(i).Name();
    }
    return order;
}

} // namespace

TEST(PlayListShuffle, ShortListsKeepTheirOrder) {
    TwSRand(1);
    auto one = NamedList("A");
    auto two = NamedList("AB");
    for (int i = 0; i < 20; ++i) {
        one->Shuffle();
        two->Shuffle();
    }
    EXPECT_EQ(Order(*one), "A");
    EXPECT_EQ(Order(*two), "AB");
    // Nothing was drawn from the random numbers either.
    EXPECT_EQ(TwRand(), 41);
}

TEST(PlayListShuffle, LongerListsFollowTheSeededDraws) {
    // Seed 1 draws 41, 18467, 6334, 26500, 19169: first swap 0<->3 (41 % 3 + 1), then
    // 0<->3, 1<->2, 2<->2, 3<->3.
    TwSRand(1);
    auto four = NamedList("ABCD");
    four->Shuffle();
    EXPECT_EQ(Order(*four), "ACBD");

    // Every shuffle is a permutation of the same tracks.
    TwSRand(12345);
    auto seven = NamedList("ABCDEFG");
    for (int i = 0; i < 50; ++i) {
        seven->Shuffle();
        std::string sorted = Order(*seven);
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(sorted, "ABCDEFG");
    }
}

TEST(PlayListOrder, PlayNextWalksTheListAndReshufflesAfterTheLast) {
    zvaudio::ScopedAudioDriver driver("dummy");
    TwSRand(3);
    auto list = NamedList("ABC");
    list->PlayNext();
    EXPECT_EQ(list->CurrentTrack(), 1);
    list->PlayNext();
    EXPECT_EQ(list->CurrentTrack(), 2);
    list->PlayNext();
    EXPECT_EQ(list->CurrentTrack(), 0);
    // Seed 3 draws 48, 7196, 9294: swaps 0<->1, 0<->2, 1<->1.
    EXPECT_EQ(Order(*list), "CAB");
    // Tracks without a stream play nothing and leave no channel.
    EXPECT_EQ(list->Channel(), -1);
}

TEST(PlayListOrder, EmptyListsAndMissingFilesAreHarmless) {
    zvaudio::ScopedAudioDriver driver("dummy");
    TwSoundManager& sound = TwSoundManager::Instance();
    ASSERT_TRUE(sound.StartUp(100, 100));
    TwResourceManager::Instance().CloseAll();

    TwPlayList empty;
    empty.PlayNext();
    empty.Resume();
    empty.Stop();
    empty.Shuffle();
    EXPECT_EQ(empty.Channel(), -1);

    // A track missing from the packs is kept but silent; the list moves past it.
    auto list = std::make_unique<TwPlayList>();
    list->AddTrack("Data/Music/Missing.Ogg");
    list->AddTrackBytes(zvaudio::MakeOgg(zvaudio::Tone(440, 1.0, 0.3)));
    EXPECT_EQ(list->TrackCount(), 2u);
    EXPECT_FALSE(list->Track(0).HasStream());
    sound.AddPlayList(0, std::move(list));
    sound.SelectPlayList(0);
    sound.ResumeMusic();
    TwPlayList* current = sound.CurrentPlayList();
    EXPECT_EQ(current->CurrentTrack(), 1);
    EXPECT_TRUE(TwMixer::IsMusicPlaying(current->Track(1).Stream()));
    current->PlayNext(); // back to the missing track: silence, no channel
    EXPECT_EQ(current->Channel(), -1);
    EXPECT_FALSE(TwMixer::IsMusicPlaying(current->Track(1).Stream()));

    // A cut-off Ogg file plays what it can, or nothing, and the list goes on.
    const std::string ogg = zvaudio::MakeOgg(zvaudio::Tone(440, 1.0, 0.3));
    auto damaged = std::make_unique<TwPlayList>();
    damaged->AddTrackBytes(ogg.substr(0, ogg.size() / 2));
    damaged->AddTrackBytes(ogg.substr(0, 200));
    sound.AddPlayList(1, std::move(damaged));
    sound.SelectPlayList(1);
    sound.ResumeMusic();
    zvaudio::RunFrames(300);
    sound.CurrentPlayList()->PlayNext();
    zvaudio::RunFrames(100);
}
