// The two fixed quads: the unit quad placed by its shader, and the screen quad
// built in pixels after the render size (or the screen's) and rebuilt on resize.

#include "RendererFixture.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZQuadRenderable.h"
#include "renderer/ZScreenQuad.h"
#include "renderer/ZVertexBuffer.h"

namespace {

class ZScreenQuadTest : public rtest::RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        game = ZBaseGame::GetInstance();
        ASSERT_NE(game, nullptr);
        game->m_fullscreen = false;
        game->m_pixelSize = 2.0f;
        Resize(1280, 720);
        Start(1280, 720);
    }
    void TearDown() override {
        ZBaseGame::DestroyInstance();
        gAppInfo.store(&appInfo);
        RendererTest::TearDown();
    }
    void Resize(int32_t w, int32_t h) {
        game->m_widthWindowed = w;
        game->m_heightWindowed = h;
        game->UpdateScreenMetrics();
    }
    // The first texture coordinate of vertex i.
    static void TexCoord(ZVertexBuffer& vb, uint32_t i, float& u, float& v) {
        const auto* uv = static_cast<const float*>(vb.LockStream(1, false));
        u = uv[2 * i];
        v = uv[2 * i + 1];
        vb.UnlockStream(1);
    }

    ZBaseGame* game = nullptr;
};

}  // namespace

TEST_F(ZScreenQuadTest, TheUnitQuadSpansMinusOneToOneWithTopLeftTexCoordsZero) {
    ZQuadRenderable quad;
    ASSERT_NE(quad.vertexBuffer, nullptr);
    ASSERT_NE(quad.indexBuffer, nullptr);
    EXPECT_EQ(quad.vertexBuffer->vertexCount, 4u);
    EXPECT_EQ(quad.indexBuffer->indexCount, 6u);
    const auto* p = static_cast<const float*>(quad.vertexBuffer->LockStream(0, false));
    const float expected[4][3] = {{-1, 1, 0}, {1, 1, 0}, {-1, -1, 0}, {1, -1, 0}};
    for (int i = 0; i < 4; ++i) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(p[3 * i + k], expected[i][k]) << i;
    }
    quad.vertexBuffer->UnlockStream(0);
    float u = -1, v = -1;
    TexCoord(*quad.vertexBuffer, 3, u, v);
    EXPECT_EQ(u, 1.0f);
    EXPECT_EQ(v, 1.0f);
}

TEST_F(ZScreenQuadTest, ScreenQuadsFollowTheScreenOrKeepTheRenderSize) {
    struct Case {
        float scaleX, scaleY;
        bool fixedSize;
        int32_t width, height;       // built on a 1280 x 720 screen (render size 640 x 360)
        int32_t resizedW, resizedH;  // after the screen becomes 1000 x 500 (render size 500 x 250)
    };
    // With pixels 2 screen pixels wide, the render size is half the screen's:
    // quads are built and told the render size, fixed quads keep to the screen's.
    const Case cases[] = {
        {1.0f, 1.0f, false, 640, 360, 500, 250},
        {0.5f, 0.5f, false, 320, 180, 250, 125},
        {1.0f, 1.0f, true, 1280, 720, 1000, 500},
        {0.5f, 1.0f, true, 640, 720, 500, 500},
    };
    for (const Case& c : cases) {
        Resize(1280, 720);
        ZScreenQuad quad(c.scaleX, c.scaleY, c.fixedSize);
        EXPECT_EQ(quad.GetBuiltWidth(), c.width) << c.scaleX << " " << c.fixedSize;
        EXPECT_EQ(quad.GetBuiltHeight(), c.height);
        ASSERT_NE(quad.vertexBuffer, nullptr);
        // The half-texel offset of the built size: texel (x, y) lands on pixel (x, y).
        float u = 0, v = 0;
        TexCoord(*quad.vertexBuffer, 3, u, v);
        EXPECT_FLOAT_EQ(u, 1.0f / (2.0f * static_cast<float>(c.width)));
        EXPECT_FLOAT_EQ(v, 1.0f / (2.0f * static_cast<float>(c.height)));

        Resize(1000, 500);
        EXPECT_EQ(quad.GetBuiltWidth(), c.resizedW) << "rebuilt on the listener call";
        EXPECT_EQ(quad.GetBuiltHeight(), c.resizedH);
    }
    // The destroyed quads left the listener list.
    Resize(800, 600);
}

TEST_F(ZScreenQuadTest, TheDefaultQuadCoversTheWholeRender) {
    ZScreenQuad quad;
    EXPECT_EQ(quad.GetBuiltWidth(), 640);
    EXPECT_EQ(quad.GetBuiltHeight(), 360);
    EXPECT_FALSE(quad.fixedSize);
}
