// The game's own sounds and music, as packed by the build, load and play.
#include <gtest/gtest.h>

#include "AudioTestSounds.h"
#include "TestSupport.h"
#include "audio/TwSoundManager.h"
#include "audio/TwSoundTable.h"
#include "data/TwResourceManager.h"
#include "platform/mixer/TwMixer.h"

TEST(GameSounds, EveryEffectAndBothTracksOfThePackDecode) {
    TwResourceManager& packs = TwResourceManager::Instance();
    packs.CloseAll();
    ASSERT_TRUE(packs.OpenPack(zvtest::BinaryDir() + "/Data/Resource.Twr"));
    zvaudio::ScopedAudioDriver driver("dummy");
    TwSoundManager& sound = TwSoundManager::Instance();
    ASSERT_TRUE(sound.StartUp(100, 100));

    EXPECT_EQ(TwLoadGameSounds(), static_cast<int>(TwGameSoundTable().size()));
    for (const TwSoundTableEntry& entry : TwGameSoundTable()) {
        EXPECT_TRUE(sound.HasSample(entry.id)) << entry.fileName;
    }

    TwAddGamePlayLists();
    for (int id : {kTwMenuPlayList, kTwGamePlayList}) {
        TwPlayList* list = sound.PlayList(id);
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->TrackCount(), 1u);
        EXPECT_TRUE(list->Track(0).HasStream()) << "play list " << id;
    }

    // The loading step's start: the menu music plays.
    sound.SelectPlayList(kTwMenuPlayList);
    sound.ResumeMusic();
    EXPECT_TRUE(TwMixer::IsMusicPlaying(sound.PlayList(kTwMenuPlayList)->Track(0).Stream()));
    packs.CloseAll();
}
