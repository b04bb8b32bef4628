#include <gtest/gtest.h>

#include <memory>

#include "GfxTestSupport.h"
#include "data/TwResourceManager.h"
#include "gfx/TwClip.h"
#include "gfx/TwImageData.h"
#include "gfx/TwMissingResources.h"
#include "gfx/TwRenderDevice.h"
#include "gfx/TwTextureCache.h"

using zvtest::MakeTga;
using zvtest::Pixels;

namespace {

// How many images show the picture.
long Holders(const TwImageData* record) {
    return record->weak_from_this().use_count();
}

class TextureCacheTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(zvtest::EnsureHeadlessScreen()); }

    std::string Picture(std::uint32_t colour) {
        return MakeTga(Pixels(4, 4, colour), 2, 32, false);
    }

    zvtest::ScopedPack pack;
    zvtest::CapturedMessages messages;
};

} // namespace

TEST_F(TextureCacheTest, ImagesShareOneRecordThatDiesWithTheLast) {
    pack.Add("Data/Textures/Balls/Red.Tga", Picture(0xFF0000FF));
    ASSERT_TRUE(pack.Open());
    TwTextureCache& cache = TwTextureCache::Instance();
    const std::size_t before = cache.Size();

    auto first = std::make_unique<TwImage>();
    auto second = std::make_unique<TwImage>();
    EXPECT_TRUE(first->SetImage("Balls/Red"));
    EXPECT_TRUE(second->SetImage("Balls/Red"));
    TwImageData* record = first->Data();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(second->Data(), record);
    EXPECT_EQ(Holders(record), 2);
    EXPECT_EQ(cache.Find("Balls/Red"), record);
    EXPECT_EQ(record->info.Width, 4);
    EXPECT_TRUE(first->HasTexture());

    // Asking again for the picture an image already shows adds no holder.
    first->SetImage("Balls/Red");
    EXPECT_EQ(Holders(record), 2);
    // A copy of an image is one more holder.
    {
        TwImage copy(*first);
        EXPECT_EQ(Holders(record), 3);
    }
    first.reset();
    EXPECT_EQ(cache.Find("Balls/Red"), record);
    EXPECT_EQ(Holders(record), 1);
    second.reset();
    EXPECT_EQ(cache.Find("Balls/Red"), nullptr);
    EXPECT_EQ(cache.Size(), before);
    EXPECT_TRUE(messages.Texts().empty());
}

TEST_F(TextureCacheTest, SwitchingPicturesReleasesThePreviousOne) {
    pack.Add("Data/Textures/A.Tga", Picture(0xFF0000FF));
    pack.Add("Data/Textures/B.Tga", Picture(0x00FF00FF));
    ASSERT_TRUE(pack.Open());
    TwImage image;
    image.SetImage("A");
    image.SetImage("B");
    EXPECT_EQ(TwTextureCache::Instance().Find("A"), nullptr);
    ASSERT_NE(TwTextureCache::Instance().Find("B"), nullptr);
    EXPECT_EQ(Holders(image.Data()), 1);
}

TEST_F(TextureCacheTest, FirstFormatFoundWinsAndNamesAreExact) {
    Pixels dds(2, 2, 0x0000FFFF);
    pack.Add("Data/Textures/Pic.Tga", Picture(0xFF0000FF));
    pack.Add("Data/Textures/Pic.Dds", zvtest::MakeDds(dds, 32, true));
    pack.Add("Data/Textures/Photo.Tga", Picture(0xFF0000FF));
    pack.Add("Data/Textures/Photo.Jpg", zvtest::MakeJpeg(Pixels(8, 8, 0x808080FF)));
    ASSERT_TRUE(pack.Open());

    TwImage pic, photo;
    pic.SetImage("Pic");
    photo.SetImage("Photo");
    EXPECT_EQ(pic.Data()->info.ImageFileFormat, TwImageInfo::FileFormat::Dds);
    EXPECT_EQ(pic.Width(), 2);
    EXPECT_EQ(photo.Data()->info.ImageFileFormat, TwImageInfo::FileFormat::Jpeg);

    // The packs ignore letter case, the cache does not: two records for one file.
    TwImage lower;
    lower.SetImage("pic");
    EXPECT_NE(lower.Data(), pic.Data());
    EXPECT_TRUE(lower.HasTexture());
    EXPECT_EQ(TwTextureCache::Instance().Find("pic"), lower.Data());
}

TEST_F(TextureCacheTest, MissingAndBrokenPicturesStayWithTheirImage) {
    pack.Add("Data/Textures/Broken.Tga", "this is no picture");
    ASSERT_TRUE(pack.Open());

    TwImage missing;
    EXPECT_TRUE(missing.SetImage("Nowhere"));
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "File 'Nowhere' - Not Found!");
    EXPECT_FALSE(missing.HasTexture());
    EXPECT_EQ(Holders(missing.Data()), 1);
    EXPECT_EQ(TwTextureCache::Instance().Find("Nowhere"), nullptr);
    missing.Draw(); // draws nothing, harmlessly
    missing.DrawFrame(4, 4, 0, 0);

    // The next request tries the packs again; a second missing picture is reported on
    // standard error, not in a second box.
    TwImage again;
    again.SetImage("Nowhere");
    EXPECT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(TwMissingResources::Count(), 2);
    EXPECT_NE(again.Data(), missing.Data());

    // A file that is there but cannot be decoded fails without a message.
    TwImage broken;
    broken.SetImage("Broken");
    EXPECT_EQ(TwMissingResources::Count(), 2);
    EXPECT_FALSE(broken.HasTexture());
    EXPECT_EQ(TwTextureCache::Instance().Find("Broken"), nullptr);
}

TEST_F(TextureCacheTest, FailedRecordDyingLeavesTheCachedOneAlone) {
    ASSERT_TRUE(pack.Open()); // an empty pack: the first request fails
    auto failed = std::make_unique<TwImage>();
    failed->SetImage("Late");
    EXPECT_FALSE(failed->HasTexture());

    zvtest::ScopedPack later;
    later.Add("Data/Textures/Late.Tga", Picture(0xFFFFFFFF));
    ASSERT_TRUE(later.Open());
    TwImage loaded;
    loaded.SetImage("Late");
    ASSERT_TRUE(loaded.HasTexture());
    failed.reset();
    EXPECT_EQ(TwTextureCache::Instance().Find("Late"), loaded.Data());
}

TEST_F(TextureCacheTest, DeviceResetRebuildsEveryCachedTexture) {
    pack.Add("Data/Textures/Reload.Tga", Picture(0xFFFFFFFF));
    ASSERT_TRUE(pack.Open());
    TwImage image;
    image.SetImage("Reload");
    ASSERT_TRUE(image.HasTexture());

    TwRenderDevice::Instance().NotifyDeviceReset();
    EXPECT_TRUE(image.HasTexture());
    EXPECT_TRUE(messages.Texts().empty());

    // A picture that has gone from the packs keeps its cache entry but no texture.
    TwResourceManager::Instance().CloseAll();
    TwTextureCache::Instance().ReloadAll();
    EXPECT_FALSE(image.HasTexture());
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "File 'Reload' - Not Found!");
    EXPECT_EQ(TwTextureCache::Instance().Find("Reload"), image.Data());
}

TEST_F(TextureCacheTest, MaskLevelsHalveTheSolidCells) {
    // 5 x 3: solid only in column 3 and at (0, 0).
    Pixels p(5, 3, 0xFFFFFF00);
    p.Fill(3, 0, 4, 3, 0xFFFFFFFF);
    p.Set(0, 0, 0x000000FF);
    const TwMaskSet set = TwBuildMaskSet(p.width, p.height, p.rgba.data());
    ASSERT_EQ(set.size(), 3u);
    EXPECT_EQ(set[0].width, 5);
    EXPECT_TRUE(set[0].Solid(0, 0));
    EXPECT_TRUE(set[0].Solid(3, 2));
    EXPECT_FALSE(set[0].Solid(4, 2));
    // Level 1 is 2 x 1: cell (1, 0) takes fine cell (3, 1); cell (0, 0) takes (1, 1).
    EXPECT_EQ(set[1].width, 2);
    EXPECT_EQ(set[1].height, 1);
    EXPECT_EQ(set[1].level, 1);
    EXPECT_FALSE(set[1].Solid(0, 0));
    EXPECT_TRUE(set[1].Solid(1, 0));
    // Level 2 is 1 x 0: empty, and every question about it is answered "transparent".
    EXPECT_EQ(set[2].height, 0);
    EXPECT_FALSE(set[2].Solid(0, 0));
}

TEST_F(TextureCacheTest, PixelHitFollowsTheCurrentFrame) {
    // Two 4 x 4 frames side by side; the second has its left half solid.
    Pixels p(8, 4, 0x00000000);
    p.Fill(4, 0, 6, 4, 0xFFFFFFFF);
    pack.Add("Data/Textures/Target.Tga", MakeTga(p, 2, 32, false));
    ASSERT_TRUE(pack.Open());

    TwClip clip;
    clip.SetImage("Target", true);
    clip.SetAnimation(100, TwAnimation::Still, 2, 1);
    clip.SetPosition(100, 100);
    clip.SetFrame(1);
    EXPECT_TRUE(clip.PixelHit({98, 100}, 0));
    EXPECT_TRUE(clip.PixelHit({99, 101}, 0));
    EXPECT_FALSE(clip.PixelHit({100, 100}, 0));
    EXPECT_FALSE(clip.PixelHit({97, 100}, 0));
    EXPECT_FALSE(clip.PixelHit({98, 102}, 0));
    EXPECT_TRUE(clip.PixelHit({98, 100}, 1));
    EXPECT_FALSE(clip.PixelHit({100, 100}, 1));
    EXPECT_FALSE(clip.PixelHit({98, 100}, 3));
    EXPECT_FALSE(clip.PixelHit({-1, 100}, 0));
    clip.SetFrame(0);
    EXPECT_FALSE(clip.PixelHit({98, 100}, 0));

    // A picture loaded without masks never reports a hit.
    pack.Add("Data/Textures/Plain.Tga", MakeTga(p, 2, 32, false));
    ASSERT_TRUE(pack.Open());
    TwClip plain;
    plain.SetImage("Plain");
    plain.SetAnimation(100, TwAnimation::Still, 2, 1);
    plain.SetPosition(100, 100);
    plain.SetFrame(1);
    EXPECT_FALSE(plain.PixelHit({98, 100}, 0));
}

// Dialog pictures are bound on demand: their size is known at once, their texture is made by
// the first draw, and a body that turns out damaged then draws nothing and is not retried.
TEST_F(TextureCacheTest, PictureOnDemandGetsItsTextureWhenFirstDrawn) {
    const std::string whole = zvtest::MakeWebp(Pixels(6, 4, 0xFF00FF00));
    std::string damaged = whole;
    for (std::size_t i = 30; i < damaged.size(); ++i) {
        damaged[i] = static_cast<char>(0xA5);
    }
    pack.Add("Data/Textures/Dialog.Webp", whole);
    pack.Add("Data/Textures/Damaged.Webp", damaged);
    pack.Add("Data/Textures/Masked.Tga", Picture(0xFFFFFFFF));
    ASSERT_TRUE(pack.Open());

    TwImage dialog;
    dialog.SetImageOnDemand("Dialog");
    EXPECT_EQ(dialog.Width(), 6);
    EXPECT_EQ(dialog.Height(), 4);
    EXPECT_FALSE(dialog.HasTexture());
    // A device reset leaves a picture not drawn yet waiting.
    TwRenderDevice::Instance().NotifyDeviceReset();
    EXPECT_FALSE(dialog.HasTexture());
    // A second holder shares the waiting record; the first draw makes the one texture.
    TwImage other;
    other.SetImage("Dialog");
    EXPECT_EQ(other.Data(), dialog.Data());
    dialog.Draw();
    EXPECT_TRUE(dialog.HasTexture());
    EXPECT_TRUE(other.HasTexture());
    EXPECT_EQ(dialog.Width(), 6);

    TwImage broken;
    broken.SetImageOnDemand("Damaged");
    EXPECT_EQ(broken.Width(), 6); // the header is whole
    broken.Draw();
    EXPECT_FALSE(broken.HasTexture());
    EXPECT_FALSE(broken.EnsureTexture());
    EXPECT_EQ(broken.Width(), 6);

    // Asked for later with hit masks, a waiting picture is loaded whole at once.
    TwImage plain;
    plain.SetImageOnDemand("Masked");
    EXPECT_FALSE(plain.HasTexture());
    TwClip masked;
    masked.SetImage("Masked", true);
    EXPECT_TRUE(masked.HasTexture());
    EXPECT_NE(masked.Data()->masks, nullptr);

    TwImage missing;
    missing.SetImageOnDemand("NotThere");
    EXPECT_EQ(missing.Width(), 0);
    EXPECT_EQ(TwTextureCache::Instance().Find("NotThere"), nullptr);
    EXPECT_TRUE(messages.Texts().size() == 1u);
}
