// The world's tile layers drawn with the world effect into a small target
// and read back: static tiles at their places, animated tiles frame by
// frame, and the animated layer's buffers through a device reset.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/world/AnimatedTileLayerMesh.h"
#include "game/world/MapData.h"
#include "game/world/WorldAtlas.h"
#include "game/world/WorldEntity.h"
#include "renderer/ZRenderTarget.h"
#include "renderer/ZTexture.h"
#include "renderer_gl/GlRendererFixture.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;
constexpr uint32_t kClear = 0xFF202020u;

class WorldLayersGlTest : public gltest::GlRendererTest {
protected:
    void SetUp() override {
        GlRendererTest::SetUp();
        // A 32 x 8 atlas of four tiles: red, green, blue and see-through.
        ZTexture* texture = ZTextureMgr::GetInstance()->CreateTexture(32, 8, ZHashedString(kWorldTilesTexture));
        ASSERT_NE(texture, nullptr);
        int32_t pitch = 0;
        void* bits = nullptr;
        ASSERT_TRUE(texture->LockRect(pitch, bits));
        for (int32_t y = 0; y < 8; ++y) {
            for (int32_t x = 0; x < 32; ++x) {
                const uint32_t colours[4] = {kRed, kGreen, kBlue, 0x00000000u};
                std::memcpy(static_cast<uint8_t*>(bits) + y * pitch + 4 * x, &colours[x / 8], 4);
            }
        }
        texture->UnlockRect();

        std::ifstream file(std::string(KORV_SOURCE_DIR) + "/data/game/effects/world.fxo");
        std::stringstream text;
        text << file.rdbuf();
        m_effect = LoadEffect("world", text.str());

        target.width = 16;
        target.height = 8;
        target.format = ZRenderTarget::kA8R8G8B8;
        ASSERT_TRUE(GetRenderer()->CreateRenderTarget(target, ZHashedString::None()));

        // One palette: the atlas's four tiles, and an animation red -> green -> blue.
        PaletteData palette;
        palette.uPerPixel = 1.0f / 32.0f;
        palette.vPerPixel = 1.0f / 8.0f;
        TileAnimation cycle;
        for (int32_t c = 0; c < 3; ++c) cycle.frames.PushBack(TileFrame{c, 0});
        cycle.period = 3.0f;
        palette.animations.PushBack(cycle);
        map.palettes.PushBack(palette);
    }
    void TearDown() override {
        GetRenderer()->SetRenderTarget(0, nullptr);
        GlRendererTest::TearDown();
    }

    // Draws the renderable over a cleared target with the room camera on the
    // 16 x 8 pixels of the room from (x, y) and reads it back.
    std::vector<uint32_t> DrawLayer(ZRenderable& layer, const float x = 0.0f, const float y = 0.0f) {
        ZRenderer* r = GetRenderer();
        r->SetRenderTarget(0, &target);
        r->Clear(true, true, kClear, 1.0f);  // depth too, as the game's passes do: the layers test it
        Draw(m_effect, "WorldTech", layer, [&] {
            Param(m_effect, "wvpMat")->SetMatrix(ZMatrix4::OrthoOffCenter(x, x + 16.0f, y, y + 8.0f, 100.0f, -100.0f));
            Param(m_effect, "DiffuseMap")->SetTexture(ZHashedString(kWorldTilesTexture));
            Param(m_effect, "MaskColor")->SetVector(ZVector4(1.0f, 0.0f, 1.0f, 1.0f));
        });
        return ReadTarget(target.surface, 16, 8);
    }
    // The colour at the middle of the two 8 x 8 cells.
    static std::vector<uint32_t> Cells(const std::vector<uint32_t>& pixels) { return {pixels[4 * 16 + 4], pixels[4 * 16 + 12]}; }

    void Place(int32_t cellX, const MapCell& cell) {
        RoomData& room = map.GetOrAddRoom(0, 0);
        room.background[cellX * kRoomTilesY] = cell;
    }

    MapData map;
    ZRenderTarget target;
    ZEffect* m_effect = nullptr;
};

TEST_F(WorldLayersGlTest, StaticTilesDrawAtTheirCellsAndSeeThroughStaysClear) {
    RoomData& room = map.GetOrAddRoom(0, 0);
    for (MapCell& cell : room.background) cell = MapCell{-1, -1, kCellSheet, 0};
    Place(0, MapCell{2, 0, kCellSheet, 0});  // blue
    Place(1, MapCell{3, 0, kCellSheet, 0});  // see-through
    TileLayerMesh mesh;
    mesh.Build(map, false, RoomRect{0, 0, 1, 1}, false, nullptr);
    ASSERT_EQ(mesh.GetQuadCount(), 2u);
    EXPECT_EQ(Cells(DrawLayer(mesh)), (std::vector<uint32_t>{kBlue, kClear}));
}

TEST_F(WorldLayersGlTest, AnimatedTilesStepThroughTheirFramesAndSurviveAReset) {
    RoomData& room = map.GetOrAddRoom(0, 0);
    for (MapCell& cell : room.background) cell = MapCell{-1, -1, kCellSheet, 0};
    Place(0, MapCell{0, 0, kCellAnimated, 0});
    Place(1, MapCell{0, 0, kCellAnimated, 0});
    AnimatedTileLayerMesh mesh;
    mesh.Build(map, false, RoomRect{0, 0, 1, 1}, false);
    ASSERT_EQ(mesh.GetRecords().Count(), 2u);
    ASSERT_TRUE(mesh.HasBuffers());

    struct Frame {
        float t;
        uint32_t colour;
    };
    // A period of 3 s over three frames: one second each, then round again.
    const Frame frames[] = {{0.0f, kRed}, {0.5f, kRed}, {1.0f, kGreen}, {2.5f, kBlue}, {3.2f, kRed}, {4.0f, kGreen}};
    for (const Frame& f : frames) {
        mesh.clock = [&f] { return f.t; };
        EXPECT_EQ(Cells(DrawLayer(mesh)), (std::vector<uint32_t>{f.colour, f.colour})) << "t = " << f.t;
    }

    // The device goes: the dynamic buffers are released and nothing draws;
    // after the reset they are made again and the animation carries on.
    mesh.ReleaseResource();
    EXPECT_FALSE(mesh.HasBuffers());
    mesh.clock = [] { return 1.5f; };
    EXPECT_EQ(Cells(DrawLayer(mesh)), (std::vector<uint32_t>{kClear, kClear}));
    GetRenderer()->RenewDynamicResources();
    ASSERT_TRUE(mesh.HasBuffers());
    EXPECT_EQ(Cells(DrawLayer(mesh)), (std::vector<uint32_t>{kGreen, kGreen}));
}

TEST_F(WorldLayersGlTest, ManyAnimatedCellsDrawInBatches) {
    RoomData& room = map.GetOrAddRoom(0, 0);
    for (MapCell& cell : room.background) cell = MapCell{0, 0, kCellAnimated, 0};
    AnimatedTileLayerMesh mesh;
    mesh.Build(map, false, RoomRect{0, 0, 1, 1}, false);
    ASSERT_EQ(mesh.GetRecords().Count(), static_cast<uint32_t>(kRoomCells));
    mesh.clock = [] { return 2.0f; };
    // The first two columns' top cells are in the first batch of 128; the
    // last two columns' bottom cells (among the room's last records) in the
    // seventh and last: every batch draws, with the same frame.
    EXPECT_EQ(Cells(DrawLayer(mesh)), (std::vector<uint32_t>{kBlue, kBlue})) << "first batch";
    EXPECT_EQ(Cells(DrawLayer(mesh, 240.0f, 216.0f)), (std::vector<uint32_t>{kBlue, kBlue})) << "last batch";
}

}  // namespace
