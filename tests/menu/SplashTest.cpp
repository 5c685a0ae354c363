// The start-up splash and the title picture: the splash's camera swing and
// fades over its 4.5 s, its stinger moment, its end (title menu or quick
// start) and its skipping; the title picture's fit to the screen and its
// fade with the menus.

#include <cmath>
#include <functional>
#include <memory>

#include "MenuFixture.h"
#include "audio/ZAudioMgr.h"
#include "foundation/ZStreamMgr.h"
#include "framework/ZLocMgr.h"
#include "framework/ZRuntimeRand.h"
#include "menu/RandomUnitVector.h"
#include "menu/TitleMenu.h"
#include "menu/ZCinematicMgr.h"
#include "menu/ZLogoSplashCinematic.h"
#include "menu/ZSplashLogoShader.h"
#include "menu/ZTitleShader.h"
#include "platform/sound/fake/FakeSoundSystem.h"
#include "platform/window/keycodes.h"
#include "renderer/ZCamera.h"
#include "renderer/ZFont.h"

using namespace menutest;

namespace {

// Where a point of the unit quad lands.
ZVector3 Apply(const ZMatrix4& m, const float x, const float y) {
    return ZVector3(x * m[0] + y * m[4] + m[12], x * m[1] + y * m[5] + m[13], 0.0f);
}

TEST(TitleShader, ThePictureKeepsItsShapeAndFitsTheScreen) {
    struct Case {
        const char* what;
        float aspect, picture, slide;
        float halfWidth, halfHeight;  // of the picture on screen, in clip units
        float centreX, centreY;
    };
    const float k = 0.5f;
    const Case cases[] = {
        // 4:3, a 3:2 picture: half the screen height, its own shape.
        {"4:3", 4.0f / 3.0f, 1.5f, 0.0f, 1.5f / (4.0f / 3.0f) * k, k, 0.0f, 0.35f},
        // 16:9: the same height, narrower in clip units.
        {"16:9", 16.0f / 9.0f, 1.5f, 0.0f, 1.5f / (16.0f / 9.0f) * k, k, 0.0f, 0.35f},
        // A slide on a wide screen covers the same share of a 4:3 area.
        {"16:9 sliding", 16.0f / 9.0f, 1.5f, 0.5f, 1.5f / (16.0f / 9.0f) * k, k, 0.5f * 0.75f, 0.35f},
        // Narrower than 4:3: everything shrinks with the width, the offset too.
        {"1:1", 1.0f, 1.5f, 0.0f, 1.5f * 0.75f * k, 0.75f * k, 0.0f, 0.35f * 0.75f},
        // 2:1 and 4:1 at scale 0.5 pass 0.9: held to a product of 0.9.
        {"2:1 picture", 4.0f / 3.0f, 2.0f, 0.0f, 2.0f / (4.0f / 3.0f) * k / (2.0f * k / 0.9f), k / (2.0f * k / 0.9f),
         0.0f, 0.35f},
        {"4:1 picture on 16:9", 16.0f / 9.0f, 4.0f, 0.0f, 4.0f / (16.0f / 9.0f) * k / (4.0f * k / 0.9f),
         k / (4.0f * k / 0.9f), 0.0f, 0.35f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ZMatrix4 m = ZTitleShader::ComputeTransform(c.aspect, c.picture, k, 0.35f, c.slide);
        const ZVector3 right = Apply(m, 1.0f, 1.0f);
        const ZVector3 centre = Apply(m, 0.0f, 0.0f);
        EXPECT_NEAR(right.x - centre.x, c.halfWidth, 1e-5f);
        EXPECT_NEAR(right.y - centre.y, c.halfHeight, 1e-5f);
        EXPECT_NEAR(centre.x, c.centreX, 1e-5f);
        EXPECT_NEAR(centre.y, c.centreY, 1e-5f);
        // On screen the picture keeps its own aspect ratio.
        EXPECT_NEAR((right.x - centre.x) * c.aspect / (right.y - centre.y), c.picture, 1e-4f);
    }
}

TEST(TitleShader, ThePictureTurnsOpaqueBeforeItBrightens) {
    struct Case {
        uint32_t alpha;
        float rgb, a;
    };
    const Case cases[] = {
        {0, 0.0f, 0.0f}, {97, 0.0f, 97 / 255.0f * 1.618034f}, {158, (158 / 255.0f - 0.381966f) * 1.618034f, 1.0f},
        {255, 1.0f, 1.0f},
    };
    for (const Case& c : cases) {
        const ZVector4 v = ZTitleShader::ComputeOpacity(c.alpha);
        EXPECT_NEAR(v.x, c.rgb, 1e-5f) << c.alpha;
        EXPECT_EQ(v.x, v.y);
        EXPECT_EQ(v.y, v.z);
        EXPECT_NEAR(v.w, c.a, 1e-5f) << c.alpha;
    }
}

TEST(SplashLogo, TheFlatLogoIsAtMostSixtyTwoPercentHighAndShrinksOnNarrowScreens) {
    struct Case {
        float aspect, logo, height, width;
    };
    const Case cases[] = {
        {4.0f / 3.0f, 2.0f, 0.618f, 0.618f * 2.0f * 0.75f},
        {16.0f / 9.0f, 2.0f, 0.618f, 0.618f * 2.0f * 9.0f / 16.0f},
        {1.0f, 2.0f, 0.618f * 0.75f, 0.618f * 2.0f * 0.75f},
    };
    for (const Case& c : cases) {
        const ZMatrix4 m = ZSplashLogoShader::ComputeTransform(c.aspect, c.logo);
        EXPECT_NEAR(m[5], c.height, 1e-5f) << c.aspect;
        EXPECT_NEAR(m[0], c.width, 1e-5f) << c.aspect;
    }
}

TEST(SplashCamera, SwingsOverTheLogoFromBehindAndNarrows) {
    struct Case {
        float e;
        float fov;
        ZVector3 position;
    };
    const float d0 = 54.0f * std::tan(2.5f * 3.14159265f / 180.0f);
    const float start = d0 / std::tan(60.0f * 3.14159265f / 180.0f) * 0.31f;
    const Case cases[] = {
        {0.0f, 120.0f, ZVector3(0.0f, 0.0f, -start)},
        {0.2f, 120.0f, ZVector3(0.0f, 0.0f, -start)},
        {1.9f, 5.0f, ZVector3(-0.425f, -0.0875f, 54.0f)},
        {4.0f, 5.0f, ZVector3(-0.425f, -0.0875f, 54.0f)},
    };
    EXPECT_NEAR(start, 0.422f, 0.001f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.e);
        float fov = 0.0f;
        ZVector3 position, lookAt;
        ZLogoSplashCinematic::ComputeCamera(c.e, fov, position, lookAt);
        EXPECT_NEAR(fov, c.fov, 1e-3f);
        EXPECT_NEAR(position.x, c.position.x, 1e-3f);
        EXPECT_NEAR(position.y, c.position.y, 1e-3f);
        EXPECT_NEAR(position.z, c.position.z, 1e-2f);
    }
    // Half-way through the swing the camera is above the logo, not below it.
    float fov = 0.0f;
    ZVector3 position, lookAt;
    for (float e = 0.3f; e < 1.9f; e += 0.1f) {
        ZLogoSplashCinematic::ComputeCamera(e, fov, position, lookAt);
        EXPECT_LT(position.y, 1e-4f + lookAt.y) << e;  // the rotation's sense: y = -dist sin a
    }
}

TEST(SplashCamera, TheRingStaysInViewWhileItShows) {
    // Points of the ring (radius 1 about (-0.425, 0.049)) through the camera's
    // view-projection, as the ring's effect multiplies them (row vectors).
    ZCamera camera(90.0f, 4.0f / 3.0f, 0.1f, 100.0f);
    camera.referenceAspect = 1.3333334f;
    camera.SetUseWorldUp(false);
    // From the moment it is bright enough to see (it starts black, behind the camera).
    for (float e = 0.5f; e <= 2.75f; e += 0.25f) {
        SCOPED_TRACE(e);
        ZLogoSplashCinematic::AimCamera(camera, e);
        ZMatrix4 vp;
        camera.GetViewProjection(vp);
        int inView = 0;
        for (const ZVector3& p : {ZVector3(0.575f, 0.049f, 0), ZVector3(-1.425f, 0.049f, 0),
                                  ZVector3(-0.425f, 1.049f, 0), ZVector3(-0.425f, -0.951f, 0)}) {
            const float x = p.x * vp[0] + p.y * vp[4] + p.z * vp[8] + vp[12];
            const float y = p.x * vp[1] + p.y * vp[5] + p.z * vp[9] + vp[13];
            const float w = p.x * vp[3] + p.y * vp[7] + p.z * vp[11] + vp[15];
            inView += w > 0.0f && std::fabs(x / w) <= 1.0f && std::fabs(y / w) <= 1.0f ? 1 : 0;
        }
        // Close up at first only part of it fits; from 1 s on nearly all of it.
        EXPECT_GE(inView, e < 1.0f ? 1 : 3);
    }
}

TEST(SplashCamera, TheRingFadesOutAsTheFlatLogoFadesIn) {
    struct Case {
        float e, mesh, logo;
    };
    const Case cases[] = {
        {0.0f, 0.0f, 0.0f}, {0.2f, 0.0f, 0.0f}, {1.15625f, 0.89648f, 0.0f}, {1.475f, 1.0f, 0.103516f},
        {2.75f, 0.0f, 1.0f},
        {3.0f, 0.0f, 1.0f}, {4.45f, 0.0f, 0.0f}, {4.5f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(ZLogoSplashCinematic::MeshFade(c.e), c.mesh, 1e-3f) << c.e;
        EXPECT_NEAR(ZLogoSplashCinematic::LogoFade(c.e), c.logo, 1e-3f) << c.e;
    }
    EXPECT_GT(ZLogoSplashCinematic::MeshFade(0.8f), 0.2f);
    EXPECT_LT(ZLogoSplashCinematic::MeshFade(0.8f), 0.8f);
    EXPECT_GT(ZLogoSplashCinematic::LogoFade(1.8f), 0.2f);
    EXPECT_LT(ZLogoSplashCinematic::LogoFade(1.8f), 0.8f);
}

class SplashGame : public CountingGame {
public:
    bool StartNewGame() override {
        ++newGames;
        return true;
    }
    ZMenu* CreateTitleMenu(const int32_t argument) override {
        ++titleMenus;
        return CountingGame::CreateTitleMenu(argument);
    }
    void TakeQuickStartOption() { SetQuickStartArg(true); }
    int newGames = 0;
    int titleMenus = 0;
};

class SplashTest : public MenuFixture {
protected:
    CountingGame* MakeGame() override { return splash = new SplashGame(); }
    void SetUp() override {
        MenuFixture::SetUp();
        ZStreamMgr::GetInstance()->AddPackageSource(KORV_DATA_BUILD_DIR "/Engine.zpk");
        ZLocMgr* loc = ZLocMgr::GetInstance();
        loc->AddEngineStringFiles();
        loc->SetDefaultPath(false);
        auto sounds = std::make_unique<platform::sound::FakeSoundSystem>();
        device = sounds.get();
        platform::sound::SetSoundSystem(std::move(sounds));
        ASSERT_TRUE(GetAudioMgr()->InitDevice());
        GetAudioMgr()->CreateSoundGroup(game->GetSFXAudioGroupName());
    }
    void TearDown() override {
        DestroyCinematicMgr();
        DestroyAudioMgr();
        EXPECT_EQ(device->GetBufferCount(), 0u) << "every buffer was released";
        platform::sound::SetSoundSystem(nullptr);
        DestroyMenuMgr();
        ZLocMgr::DestroyInstance();
        ZStreamMgr::DestroyInstance();
        MenuFixture::TearDown();
    }
    // One fixed step of the game: the controls of the step, then the cinematics.
    void GameStep(const float dt = 1.0f / 60.0f) {
        FrameAndStep(dt);
        GetCinematicMgr()->FixedUpdate(fixedTime, dt);
    }
    static const ZHashedString& SplashName() {
        static const ZHashedString name("Intro Splash Cinematic");
        return name;
    }

    SplashGame* splash = nullptr;
    platform::sound::FakeSoundSystem* device = nullptr;
};

TEST_F(SplashTest, PlaysItsTimeThenOpensTheTitleMenu) {
    auto* cinematic = static_cast<ZLogoSplashCinematic*>(game->CreateIntroSplash());
    GetCinematicMgr()->Play(cinematic, ZHashedString::None(), -1);
    ASSERT_TRUE(GetCinematicMgr()->IsPlaying(SplashName()));
    EXPECT_TRUE(GetCinematicMgr()->IsInputBlocked());
    EXPECT_NE(cinematic->GetLogoQuad(), nullptr);
    ASSERT_NE(cinematic->GetCamera(), nullptr);
    EXPECT_NE(GetAudioMgr()->FindSound(ZHashedString("QMW Stinger")), nullptr) << "the stinger loaded";
    EXPECT_EQ(game->GetScreenFadeLevel(), 0.0f) << "the scene is black behind the logo";
    // Before its first step the camera stands at its start pose.
    const ZVector3 start = cinematic->GetCamera()->GetPosition();
    EXPECT_FLOAT_EQ(start.x, -0.425f);
    EXPECT_FLOAT_EQ(start.y, -0.0875f);
    EXPECT_NEAR(start.z, 54.0 * std::tan(2.5 * 3.14159265358979 / 180.0), 1e-4);
    EXPECT_NEAR(cinematic->GetCamera()->GetFieldOfView(), 90.0f * 3.14159265f / 180.0f, 1e-5f);

    // The stinger's moment is the first step after 0.2 s.
    int steps = 0;
    while (!cinematic->IsStingerPlayed()) {
        GameStep();
        ++steps;
    }
    EXPECT_EQ(steps, 13);
    // Frame time alone never advances it: it runs on game time.
    const float before = cinematic->GetTime();
    GetCinematicMgr()->Update(0.0f, 1.0f);
    EXPECT_EQ(cinematic->GetTime(), before);

    while (GetCinematicMgr()->IsPlaying(SplashName()) && steps < 1000) {
        GameStep();
        ++steps;
    }
    EXPECT_EQ(steps, 270) << "4.5 s of 1/60 s steps";
    EXPECT_EQ(splash->titleMenus, 1);
    EXPECT_EQ(GetMenuMgr()->GetQueuedOpenCount(), 1u);
    EXPECT_FALSE(GetCinematicMgr()->IsInputBlocked());
    EXPECT_EQ(GetAudioMgr()->FindSound(ZHashedString("QMW Stinger")), nullptr) << "released at the end";
    EXPECT_EQ(game->GetScreenFadeLevel(), 0.0f) << "the title menu fades the scene in";
    // The title menu starts its opening one frame late.
    Transitions(0.0f);
    ASSERT_NE(GetMenuMgr()->GetTopMenu(), nullptr);
    EXPECT_TRUE(GetMenuMgr()->GetTopMenu()->IsTitleMenu());
}

TEST_F(SplashTest, APressSkipsItAtOnce) {
    struct Case {
        const char* what;
        std::function<void(bool)> press;
    };
    const Case cases[] = {
        {"Enter", [&](bool down) { fake->SetKey(platform::DIK_RETURN, down); }},
        {"Escape", [&](bool down) { fake->SetKey(platform::DIK_ESCAPE, down); }},
        {"a click", [&](bool down) { fake->SetMouseButton(0, down); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        splash->titleMenus = 0;
        GetCinematicMgr()->Play(game->CreateIntroSplash(), ZHashedString::None(), -1);
        for (int i = 0; i < 5; ++i) GameStep();
        c.press(true);
        GameStep();
        c.press(false);
        EXPECT_FALSE(GetCinematicMgr()->IsPlaying(SplashName()));
        EXPECT_EQ(splash->titleMenus, 1);
        DestroyMenuMgr();
    }
}

TEST_F(SplashTest, QuickStartStartsTheGameWithoutASplashOrATitle) {
    game->m_quickStart = true;
    GetCinematicMgr()->Play(game->CreateIntroSplash(), ZHashedString::None(), -1);
    EXPECT_FALSE(GetCinematicMgr()->IsPlaying(SplashName()));
    EXPECT_EQ(splash->newGames, 1);
    EXPECT_EQ(splash->titleMenus, 0);
    EXPECT_EQ(GetMenuMgr()->GetQueuedOpenCount(), 0u);
    EXPECT_EQ(game->GetScreenFadeLevel(), 1.0f) << "no title to fade the scene in: it shows at once";

    // The engine's own command-line pass knows no such word: the option is
    // a game's, which sets it with SetQuickStartArg.
    game->m_quickStart = false;
    ZArray<ZString> words;
    words.PushBack(ZString("QuickStart"));
    words.PushBack(ZString("quickstart"));
    game->HandleCommandLineArgs(words, 0);
    EXPECT_FALSE(game->IsQuickStart());
    splash->TakeQuickStartOption();
    EXPECT_TRUE(game->IsQuickStart());
    GetCinematicMgr()->Play(game->CreateIntroSplash(), ZHashedString::None(), -1);
    EXPECT_EQ(splash->newGames, 2);
    EXPECT_EQ(splash->titleMenus, 0);
}

}  // namespace

namespace {

TEST(RandomUnitVector, DrawsMapOntoTheSphere) {
    struct Case {
        int32_t r1, r2;
        ZVector3 expected;
    };
    const Case cases[] = {
        {0, 32767, ZVector3(0, 0, 1)},       // phi 0: the pole
        {0, 0, ZVector3(0, 0, -1)},          // phi pi: the other pole
        {0, 16384, ZVector3(1, 0, 0)},       // the equator at theta 0
        {8192, 16384, ZVector3(0, 1, 0)},    // a quarter turn on
        {16384, 16384, ZVector3(-1, 0, 0)},  // half a turn
    };
    for (const Case& c : cases) {
        const ZVector3 v = UnitVectorFromDraws(c.r1, c.r2);
        EXPECT_NEAR(v.x, c.expected.x, 2e-3f) << c.r1 << " " << c.r2;
        EXPECT_NEAR(v.y, c.expected.y, 2e-3f) << c.r1 << " " << c.r2;
        EXPECT_NEAR(v.z, c.expected.z, 2e-3f) << c.r1 << " " << c.r2;
    }
    // From the engine's generator: always of unit length, and spread over
    // both hemispheres.
    SeedRuntimeRand(7);
    int upper = 0;
    for (int i = 0; i < 200; ++i) {
        const ZVector3 v = RandomUnitVector();
        EXPECT_NEAR(v.x * v.x + v.y * v.y + v.z * v.z, 1.0f, 1e-4f);
        upper += v.z > 0.0f ? 1 : 0;
    }
    EXPECT_GT(upper, 60);
    EXPECT_LT(upper, 140);
}

}  // namespace
