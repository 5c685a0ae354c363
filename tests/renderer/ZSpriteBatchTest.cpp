// The sprite batch on the fake device: frames by key, queued quads and the
// pen, the vertices Draw writes, the per-frame quad limit, both eyes of a
// headset frame, and its buffers around a device reset. Also the gamepad
// glyph sheet built into a batch.

#include <cmath>
#include <cstring>
#include <string>

#include "RendererFixture.h"
#include "input/ZGamepadGlyphSheet.h"
#include "renderer/ZSpriteBatch.h"
#include "renderer/ZVertexBuffer.h"

namespace {

// Reads back what Draw wrote: positions, both texture coordinate sets and colours of a vertex.
struct Vertex {
    float x, y, z, u, v, s, t;
    uint32_t colour;
};

Vertex ReadVertex(ZVertexBuffer& vb, uint32_t i) {
    Vertex out{};
    const auto* p = static_cast<const float*>(vb.LockStream(0, false));
    out.x = p[3 * i];
    out.y = p[3 * i + 1];
    out.z = p[3 * i + 2];
    vb.UnlockStream(0);
    const auto* uv = static_cast<const float*>(vb.LockStream(1, false));
    out.u = uv[2 * i];
    out.v = uv[2 * i + 1];
    vb.UnlockStream(1);
    const auto* st = static_cast<const float*>(vb.LockStream(2, false));
    out.s = st[2 * i];
    out.t = st[2 * i + 1];
    vb.UnlockStream(2);
    const auto* c = static_cast<const uint32_t*>(vb.LockStream(3, false));
    out.colour = c[i];
    vb.UnlockStream(3);
    return out;
}

class ZSpriteBatchTest : public rtest::RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        Start();
        ASSERT_TRUE(GetRenderer()->BeginScene());
    }
    void TearDown() override {
        GetRenderer()->EndScene();
        GetRenderer()->finalView = true;
        RendererTest::TearDown();
    }
};

ZSpriteFrame Frame(float u, float v, float uw, float vh, float w, float h, float ox = 0, float oy = 0) {
    return ZSpriteFrame{u, v, uw, vh, w, h, ox, oy};
}

const ZColor32 kWhite(255, 255, 255, 255);

}  // namespace

TEST_F(ZSpriteBatchTest, TheFirstFrameOfAKeyWinsAndGlyphSheetFramesGoUnderTheNameId) {
    ZSpriteBatch batch;
    batch.AddSprite(7, Frame(0.1f, 0, 0, 0, 4, 4));
    batch.AddSprite(7, Frame(0.9f, 0, 0, 0, 8, 8));
    ASSERT_NE(batch.FindSprite(7), nullptr);
    EXPECT_EQ(batch.FindSprite(7)->u, 0.1f);
    EXPECT_EQ(batch.FindSprite(8), nullptr);

    ZSpriteBatch sheet;
    CreateGamepadGlyphSheet(sheet);
    EXPECT_EQ(sheet.GetSpriteCount(), kGamepadGlyphCount);
    struct Case {
        const char* name;
        float u, v;
    };
    const Case cases[] = {{"a", 0.0f, 0.0f}, {"y", 0.75f, 0.0f}, {"dp_left", 0.5f, 0.125f}, {"rt", 0.75f, 0.625f}};
    for (const Case& c : cases) {
        const ZSpriteFrame* f = sheet.FindSprite(static_cast<int32_t>(ZHashedString(c.name).GetId()));
        ASSERT_NE(f, nullptr) << c.name;
        EXPECT_EQ(f->u, c.u) << c.name;
        EXPECT_EQ(f->v, c.v) << c.name;
        EXPECT_EQ(f->uWidth, 0.25f);
        EXPECT_EQ(f->vHeight, 0.125f);
        EXPECT_EQ(f->width, 1.0f);
        EXPECT_EQ(f->height, 1.0f);
    }
}

TEST_F(ZSpriteBatchTest, QueuedQuadsMoveThePenOnlyForKnownKeys) {
    ZSpriteBatch batch;
    batch.AddSprite(1, Frame(0, 0, 0.5f, 0.5f, 10, 12));
    float x = 5.0f;
    const float y = -20.0f;
    EXPECT_FALSE(batch.AddGlyphQuad(2, &x, &y, 1, 1, kWhite, kWhite));
    EXPECT_EQ(x, 5.0f);
    EXPECT_TRUE(batch.GetQuads().IsEmpty());

    ASSERT_TRUE(batch.AddGlyphQuad(1, &x, &y, 2.0f, 3.0f, kWhite, ZColor32(), 11, 22, 1.5f));
    EXPECT_EQ(x, 5.0f + 10 * 2.0f * 1.5f);
    ASSERT_EQ(batch.GetQuads().Count(), 1u);
    const ZSpriteQuad& q = batch.GetQuads()[0];
    EXPECT_EQ(q.x, 5.0f);
    EXPECT_EQ(q.y, 20.0f) << "y is stored negated";
    EXPECT_EQ(q.user0, 11u);
    EXPECT_EQ(q.user1, 22u);
    EXPECT_EQ(q.bottomColor, ZColor32(0, 0, 0, 255));

    float measured = 1.0f;
    batch.MeasureGlyph(1, 2.0f, 0.5f, &measured);
    EXPECT_EQ(measured, 1.0f + 10.0f);
    batch.MeasureGlyph(3, 2.0f, 0.5f, &measured);
    EXPECT_EQ(measured, 11.0f);
}

TEST_F(ZSpriteBatchTest, DrawWritesTheCornersTexelCentredWithTopAndBottomColours) {
    ZSpriteBatch batch;
    batch.AddSprite(1, Frame(0.25f, 0.5f, 0.25f, 0.125f, 8, 4, 1, 2));
    float x = 10.0f;
    const float y = -30.0f;
    const ZColor32 top(255, 0, 0, 255), bottom(0, 0, 255, 128);
    batch.AddGlyphQuad(1, &x, &y, 2.0f, 1.0f, top, bottom, 0, 0, 1.0f);
    ClearCalls();
    batch.Draw(GetRenderer(), nullptr);
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 1024, 0, 2)")) << Calls();

    // left = 10 + 2 * 1 - 0.5; top = -30 - 2 + 0.5; width 8 * 2, height 4.
    const float left = 11.5f, right = 27.5f, topY = -31.5f, bottomY = -35.5f;
    const float a = (1 - 8) * 0.5f, c = (1 - 4) * 0.5f;
    const Vertex expected[4] = {
        {left, topY, 0, 0.25f, 0.5f, a, c, top.ToARGB()},
        {right, topY, 0, 0.5f, 0.5f, 1 - a, c, top.ToARGB()},
        {left, bottomY, 0, 0.25f, 0.625f, a, 1 - c, bottom.ToARGB()},
        {right, bottomY, 0, 0.5f, 0.625f, 1 - a, 1 - c, bottom.ToARGB()},
    };
    for (uint32_t i = 0; i < 4; ++i) {
        const Vertex got = ReadVertex(*batch.vertexBuffer, i);
        EXPECT_FLOAT_EQ(got.x, expected[i].x) << i;
        EXPECT_FLOAT_EQ(got.y, expected[i].y) << i;
        EXPECT_EQ(got.z, 0.0f);
        EXPECT_FLOAT_EQ(got.u, expected[i].u) << i;
        EXPECT_FLOAT_EQ(got.v, expected[i].v) << i;
        EXPECT_FLOAT_EQ(got.s, expected[i].s) << i;
        EXPECT_FLOAT_EQ(got.t, expected[i].t) << i;
        EXPECT_EQ(got.colour, expected[i].colour) << i;
    }
}

TEST_F(ZSpriteBatchTest, AtMost256QuadsAreDrawnAndAnEmptyBatchDrawsNothing) {
    ZSpriteBatch batch;
    batch.AddSprite(1, Frame(0, 0, 1, 1, 1, 1));
    ClearCalls();
    batch.Draw(GetRenderer(), nullptr);
    EXPECT_FALSE(Logged("DrawIndexedPrimitive")) << "an empty batch";
    EXPECT_FALSE(Logged("VertexBuffer.Lock"));

    for (int i = 0; i < 257; ++i) {
        float x = static_cast<float>(i);
        const float y = 0.0f;
        batch.AddGlyphQuad(1, &x, &y, 1, 1, kWhite, kWhite);
    }
    ClearCalls();
    batch.Draw(GetRenderer(), nullptr);
    EXPECT_EQ(Count("DrawIndexedPrimitive"), 1u);
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 1024, 0, 512)")) << Calls();
    EXPECT_EQ(Count("VertexBuffer.Lock"), 4u) << "one lock per stream";
    EXPECT_FLOAT_EQ(ReadVertex(*batch.vertexBuffer, 1023).x, 255.0f + 1 - 0.5f) << "the 256th quad is the last one";
    EXPECT_EQ(GetRenderer()->lastResult, gfx::Result::Ok);

    // A batch that is never drawn keeps no more than it could draw.
    for (int i = 0; i < 1000; ++i) {
        float x = 0.0f;
        const float y = 0.0f;
        EXPECT_TRUE(batch.AddGlyphQuad(1, &x, &y, 1, 1, kWhite, kWhite));
        EXPECT_EQ(x, 1.0f) << "the pen moves on";
    }
    EXPECT_EQ(batch.GetQuads().Count(), ZSpriteBatch::kMaxQuads);
}

TEST_F(ZSpriteBatchTest, QuadsStayForTheOtherEyeUntilTheFinalViewIsDrawn) {
    ZSpriteBatch batch;
    batch.AddSprite(1, Frame(0, 0, 1, 1, 1, 1));
    float x = 0.0f;
    const float y = 0.0f;
    batch.AddGlyphQuad(1, &x, &y, 1, 1, kWhite, kWhite);
    const uint32_t capacity = batch.GetQuads().Capacity();

    GetRenderer()->finalView = false;
    batch.Draw(GetRenderer(), nullptr);
    EXPECT_EQ(batch.GetQuads().Count(), 1u);
    GetRenderer()->finalView = true;
    ClearCalls();
    batch.Draw(GetRenderer(), nullptr);
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 1024, 0, 2)")) << "the second eye draws it too";
    EXPECT_EQ(batch.GetQuads().Count(), 0u);
    EXPECT_EQ(batch.GetQuads().Capacity(), capacity) << "the storage stays";
}

TEST_F(ZSpriteBatchTest, BuffersAreDroppedForAResetAndRebuiltAfterIt) {
    auto batch = std::make_unique<ZSpriteBatch>();
    ASSERT_TRUE(batch->HasBuffers());
    batch->AddSprite(1, Frame(0, 0, 1, 1, 1, 1));
    GetRenderer()->EndScene();
    bool exclusive = false;
    // The fake refuses a reset while default-pool buffers are alive.
    GetRenderer()->reset(window, width, height, ZRenderVideoSettings(), exclusive);
    EXPECT_FALSE(GetRenderer()->deviceLost) << Calls();
    GetRenderer()->present();
    EXPECT_TRUE(batch->HasBuffers());

    ASSERT_TRUE(GetRenderer()->BeginScene());
    float x = 0.0f;
    const float y = 0.0f;
    batch->AddGlyphQuad(1, &x, &y, 1, 1, kWhite, kWhite);
    ClearCalls();
    batch->Draw(GetRenderer(), nullptr);
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 1024, 0, 2)")) << Calls();

    // A destroyed batch leaves the renderer's list: the next reset must not reach it.
    batch.reset();
    GetRenderer()->EndScene();
    GetRenderer()->reset(window, width, height, ZRenderVideoSettings(), exclusive);
    EXPECT_FALSE(GetRenderer()->deviceLost);
    GetRenderer()->present();
    ASSERT_TRUE(GetRenderer()->BeginScene());
}

using ZSpriteBatchBeforeDeviceTest = rtest::RendererTest;

TEST_F(ZSpriteBatchBeforeDeviceTest, ABatchMadeBeforeTheDeviceBuildsItsBuffersAtItsFirstDraw) {
    ZSpriteBatch batch;
    EXPECT_FALSE(batch.HasBuffers());
    batch.AddSprite(1, Frame(0, 0, 1, 1, 1, 1));
    float x = 0.0f;
    const float y = 0.0f;
    Start();
    batch.AddGlyphQuad(1, &x, &y, 1, 1, kWhite, kWhite);
    ASSERT_TRUE(GetRenderer()->BeginScene());
    batch.Draw(GetRenderer(), nullptr);
    EXPECT_TRUE(batch.HasBuffers());
    EXPECT_TRUE(Logged("DrawIndexedPrimitive(TriangleList, 0, 0, 1024, 0, 2)")) << Calls();
    GetRenderer()->EndScene();
}

TEST_F(ZSpriteBatchTest, IndicesMakeTwoTrianglesPerQuad) {
    uint16_t indices[12];
    BuildQuadIndices(indices, 2);
    const uint16_t expected[12] = {0, 2, 1, 1, 2, 3, 4, 6, 5, 5, 6, 7};
    EXPECT_EQ(std::memcmp(indices, expected, sizeof indices), 0);
}
