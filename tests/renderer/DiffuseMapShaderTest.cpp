// The sprite shader on the fake device: its texture held by name in the
// cache, given back when replaced or destroyed, and answered as "DiffuseMap".

#include "RendererFiles.h"
#include "RendererFixture.h"
#include "menu/DiffuseMapShader.h"
#include "renderer/ZTextureMgr.h"

using namespace rtest;

namespace {

class DiffuseMapShaderTest : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        Start();
        WriteFile("a.dds", rfiles::Dds32(1, 1, {0xFF102030u}).Bytes());
        WriteFile("b.dds", rfiles::Dds32(1, 1, {0xFF405060u}).Bytes());
    }
};

}  // namespace

TEST_F(DiffuseMapShaderTest, HoldsOneTextureAtATime) {
    const ZHashedString a("a.dds"), b("b.dds");
    ZTextureMgr* textures = ZTextureMgr::GetInstance();
    {
        DiffuseMapShader shader;
        shader.SetTexture(a);
        EXPECT_EQ(textures->GetRefCount(a), 1);
        ASSERT_NE(shader.GetTexture(), nullptr);
        shader.SetTexture(b);
        EXPECT_EQ(textures->GetRefCount(a), 0) << "the old texture was given back";
        EXPECT_EQ(textures->GetRefCount(b), 1);
        shader.SetTexture(ZHashedString::None());
        EXPECT_EQ(textures->GetRefCount(b), 0);
        EXPECT_EQ(shader.GetTexture(), nullptr);
        shader.SetTexture(a);
    }
    EXPECT_EQ(textures->GetRefCount(a), 0);
}
