// Every effect of the game's display compiles on OpenGL and has the
// technique its shader selects.

#include "DisplayChainGlFixture.h"

using namespace displaytest;

TEST_F(DisplayChainGlTest, EveryGameEffectCompilesWithItsTechnique) {
    Start(256, 224);
    struct Case {
        const char* file;
        const char* technique;
    };
    const Case cases[] = {
        {"anaglyph.fxo", "Anaglyph"},
        {"post_Low.fxo", "PostProcessDownsample"},
        {"post_Low.fxo", "PostProcessUpsample"},
        {"composite.fxo", "Composite"},
        {"monitor.fxo", "MonitorTech"},
        {"screen.fxo", "Screen"},
        {"nocrt.fxo", "NoCRT"},
        {"ntsc.fxo", "NTSC"},
        {"backdrop.fxo", "BackdropTech"},
        {"Korvanth_FXAA_None.fxo", "PreHUDPassTechnique"},
        {"Korvanth_FXAA_Low.fxo", "PreHUDPassTechnique"},
        {"Korvanth_FXAA_Medium.fxo", "PreHUDPassTechnique"},
        {"Korvanth_FXAA_High.fxo", "PreHUDPassTechnique"},
        {"Korvanth_FXAA_Ultra.fxo", "PreHUDPassTechnique"},
        {"anag_font.fxo", "HUD"},
        {"anag_glyph.fxo", "HUD"},
        {"static.fxo", "StaticTech"},
        {"tuner.fxo", "TunerTech"},
        {"wipe.fxo", "WipeTech"},
        {"minimap.fxo", "MinimapTech"},
        {"fullmap.fxo", "FullMapTech"},
    };
    for (const Case& c : cases) {
        const ZHashedString name((std::string("test ") + c.file).c_str());
        ZEffect* effect = ZShaderMgr::GetInstance()->LoadEffect(c.file, name);
        ASSERT_NE(effect, nullptr) << c.file;
        EXPECT_NE(effect->GetEffect(), nullptr) << c.file << " did not compile";
        EXPECT_NE(effect->FindTechnique(ZHashedString(c.technique)), nullptr) << c.file << " " << c.technique;
        ZShaderMgr::GetInstance()->ReleaseEffect(name);
    }
}
