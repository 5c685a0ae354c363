// The game class: its settings, controls, answers to the engine and the
// campaign it opens.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "GameFixture.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "foundation/ZINIFile.h"
#include "foundation/ZPackageFile.h"
#include "foundation/ZPackageWriter.h"
#include "foundation/ZUserFolders.h"
#include "game/world/ItemNameList.h"
#include "game/world/WorldEntity.h"
#include "input/ZControl.h"
#include "input/ZControlGroup.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZShader.h"

namespace {

using worldtest::GameTest;
using worldtest::RecordingVoice;

const ZConfigVar* FindVar(const char* section, const char* name) {
    const ZHashedString sectionId = section[0] ? ZHashedString(section) : ZHashedString::None();
    ZArray<ZConfigSection>& sections = GetConfigSections();
    for (uint32_t s = 0; s < sections.Count(); ++s) {
        if (sections[s].id != sectionId) continue;
        for (uint32_t v = 0; v < sections[s].vars.Count(); ++v) {
            if (sections[s].vars[v].name == ZHashedString(name)) return &sections[s].vars[v];
        }
    }
    return nullptr;
}

TEST_F(GameTest, ConfigurationDefaultsAndRanges) {
    m_game->registerConfigVars();
    struct Case {
        const char* section;
        const char* name;
        float value;  // the default (bools as 0 or 1)
        float step;   // 0: no range
        float minimum, maximum;
    };
    const Case cases[] = {
        {"CRT", "PixelAspectRatio", 8.0f / 7.0f, 0.02f, 0.5f, 2.0f},
        {"CRT", "Barrel", -0.115f, 0.04f, -0.5f, 2.0f},
        {"CRT", "NTSCLUTBlend", 1.0f, 0.02f, 0.0f, 1.0f},
        {"Anaglyph", "Brightness", 0.5f, 0.02f, 0.0f, 1.0f},
        {"Anaglyph", "BlueTint", -0.25f, 0.02f, -1.0f, 1.0f},
        {"Anaglyph", "EyeSwap", 0.0f, 0.0f, 0.0f, 0.0f},
        {"NTSC", "Tint", 5.1831856f, 0.12f, 0.0f, 6.2831855f},
        {"Video", "BloomUp", 0.025f, 0.0f, 0.0f, 0.0f},
        {"Video", "CRTSim", 1.0f, 0.0f, 0.0f, 0.0f},
        {"Video", "Anaglyph3D", 0.0f, 0.0f, 0.0f, 0.0f},
        {"Lighting", "ShowBorder", 1.0f, 0.0f, 0.0f, 0.0f},
        {"Lighting", "SpecularPower", 50.0f, 4.0f, 5.0f, 200.0f},
        {"Lighting", "LightPosY", -10.0f, 0.8f, -20.0f, 20.0f},
        {"Input", "AltDownJump", 0.0f, 0.0f, 0.0f, 0.0f},
        {"", "ShowInteractPrompts", 1.0f, 0.0f, 0.0f, 0.0f},
        {"", "TransitionSpeed", 1.0f, 0.0f, 0.0f, 0.0f},
        {"Audio", "Reverb", 1.0f, 0.0f, 0.0f, 0.0f},
        {"Reverb", "AttenSpeed", 5.0f, 0.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        const ZConfigVar* var = FindVar(c.section, c.name);
        ASSERT_NE(var, nullptr) << c.section << " " << c.name;
        const float value = var->type == ZConfigVar::kTypeBool ? (*static_cast<bool*>(var->storage) ? 1.0f : 0.0f)
                                                               : *static_cast<float*>(var->storage);
        EXPECT_FLOAT_EQ(value, c.value) << c.name;
        EXPECT_EQ(var->hasRange, c.step != 0.0f) << c.name;
        if (c.step != 0.0f) {
            EXPECT_FLOAT_EQ(var->step, c.step) << c.name;
            EXPECT_FLOAT_EQ(var->minimum, c.minimum) << c.name;
            EXPECT_FLOAT_EQ(var->maximum, c.maximum) << c.name;
        }
    }
    const ZConfigVar* fov = FindVar("", "FOV");
    ASSERT_NE(fov, nullptr);
    EXPECT_TRUE(fov->hasRange);
    EXPECT_FLOAT_EQ(fov->maximum, 60.0f);
    // The engine's own variables start from the game's answers (the engine's are 75 and 0.3).
    EXPECT_FLOAT_EQ(*static_cast<float*>(fov->storage), 30.0f);
    const ZConfigVar* music = FindVar("Audio", "MusicVolume");
    ASSERT_NE(music, nullptr);
    EXPECT_FLOAT_EQ(*static_cast<float*>(music->storage), 0.4f);
    const ZConfigVar* persColor = FindVar("CRT", "PersColor");
    ASSERT_NE(persColor, nullptr);
    EXPECT_FLOAT_EQ(m_game->m_displaySettings.persColor[1], 0.75f);
    EXPECT_FLOAT_EQ(m_game->m_lowFrictionRate, 1.5f);
    // The game's new sections follow the engine's in Config.ini.
    const std::string text = FormatConfigText().GetText();
    const size_t crt = text.find("[CRT]");
    ASSERT_NE(crt, std::string::npos);
    EXPECT_LT(text.find("[Audio]"), crt);
    EXPECT_LT(crt, text.find("[Anaglyph]"));
    EXPECT_LT(text.find("[Anaglyph]"), text.find("[NTSC]"));
    EXPECT_LT(text.find("[NTSC]"), text.find("[Lighting]"));
    EXPECT_LT(text.find("[Lighting]"), text.find("[Reverb]"));
}

TEST_F(GameTest, CRTSimulationAndAnaglyphSwitchEachOtherOff) {
    m_game->registerConfigVars();
    m_displayLog.clear();
    ASSERT_TRUE(ZConfigVar::SetFromString("true", ZHashedString("Video"), ZHashedString("Anaglyph3D")));
    EXPECT_TRUE(m_game->m_displaySettings.anaglyph3D);
    EXPECT_FALSE(m_game->m_displaySettings.crtSim);
    EXPECT_EQ(m_displayLog, (std::vector<std::string>{"crt off", "anaglyph on"}));
    m_displayLog.clear();
    ASSERT_TRUE(ZConfigVar::SetFromString("true", ZHashedString("Video"), ZHashedString("CRTSim")));
    EXPECT_TRUE(m_game->m_displaySettings.crtSim);
    EXPECT_FALSE(m_game->m_displaySettings.anaglyph3D);
    EXPECT_EQ(m_displayLog, (std::vector<std::string>{"anaglyph off", "crt on"}));
}

TEST_F(GameTest, ReverbWord) {
    RecordingVoice voice;
    m_game->SetVoice(&voice);
    m_game->registerConfigVars();
    EXPECT_EQ(voice.lastReverb, 200u << 20 | 40u << 12 | 15u << 8 | 3u << 4 | 5u);
    ASSERT_TRUE(ZConfigVar::SetFromString("false", ZHashedString("Audio"), ZHashedString("Reverb")));
    EXPECT_EQ(voice.lastReverb, 0u);
    ASSERT_TRUE(ZConfigVar::SetFromString("900", ZHashedString("Reverb"), ZHashedString("HighDelay")));
    EXPECT_EQ(voice.lastReverb, 0u);
    // Values a hand-edited file may hold are held to their fields.
    m_game->m_displaySettings.reverb = true;
    m_game->m_displaySettings.highDelay = 1e9f;
    m_game->m_displaySettings.dryMix = -3.0f;
    EXPECT_EQ(m_game->PackReverbWord() >> 20, 1023u);
    EXPECT_EQ(m_game->PackReverbWord() >> 8 & 0xF, 0u);
    m_game->SetVoice(nullptr);
}

TEST_F(GameTest, ControlsAndDefaultBindings) {
    m_game->CreateControls();
    m_game->SetUpDefaultControlBindings();
    ZControlMgr* controls = GetControlMgr();
    EXPECT_EQ(controls->GetGroupIdAt(0), ZHashedString("Gameplay"));
    EXPECT_EQ(controls->GetGroupIdAt(1), ZHashedString("Overworld"));
    EXPECT_EQ(controls->GetGroupIdAt(2), ZHashedString("General"));

    auto keys = [](const char* group, const char* control) {
        std::string out;
        const ZControl* c = GetControlMgr()->GetControl(ZHashedString(group), ZHashedString(control));
        if (c == nullptr) return std::string("missing");
        for (uint32_t i = 0; i < c->bindings.Count(); ++i) {
            const ZInputBinding& b = c->bindings[i];
            out += b.IsAxis() ? "axis" + std::to_string(b.device) + (b.direction > 0 ? "+" : "-")
                              : std::to_string(b.device) + ":" + std::to_string(b.code);
            out += " ";
        }
        return out;
    };
    struct Case {
        const char* group;
        const char* control;
        const char* bindings;
    };
    const Case cases[] = {
        {"Gameplay", "MoveLeft", "1:203 1:75 1:30 axis34- 4:4 axis32- axis4- "},
        {"Gameplay", "Jump", "1:200 1:72 1:17 1:45 1:44 1:57 4:4096 3:1 3:2 "},
        {"Gameplay", "Enter", "1:200 1:72 1:17 axis35+ 4:1 axis33+ axis5- "},
        {"Gameplay", "JumpDown", "1:208 1:80 1:31 axis35- 4:2 axis33- axis5+ "},
        {"Gameplay", "Interact", "1:18 4:16384 3:0 "},
        {"Gameplay", "Status", "1:15 4:32 3:8 "},
        {"Gameplay", "FullMap", "1:50 4:32768 3:3 "},
        {"Overworld", "MoveSouth", "1:208 1:80 1:31 axis35- 4:2 axis33- axis5+ "},
        {"Overworld", "MoveNorth", "1:200 1:72 1:17 axis35+ 4:1 axis33+ axis5- "},
    };
    for (const Case& c : cases) EXPECT_EQ(keys(c.group, c.control), c.bindings) << c.control;

    uint32_t gameplay = 0;
    uint32_t overworld = 0;
    for (const char* name : {"MoveLeft", "MoveRight", "Jump", "JumpDown", "Interact", "Enter", "Status", "FullMap"}) {
        gameplay += controls->GetControl(ZHashedString("Gameplay"), ZHashedString(name))->bindings.Count();
    }
    for (const char* name : {"MoveWest", "MoveEast", "MoveNorth", "MoveSouth"}) {
        overworld += controls->GetControl(ZHashedString("Overworld"), ZHashedString(name))->bindings.Count();
    }
    EXPECT_EQ(gameplay, 46u);
    EXPECT_EQ(overworld, 28u);

    // Outside the shared set one key belongs to one control.
    controls->AddBinding(ZHashedString("Gameplay"), ZHashedString("MoveRight"),
                         ZInputBinding::Button(ZInputDevice::Keyboard, 30));
    EXPECT_EQ(keys("Gameplay", "MoveLeft"), "1:203 1:75 axis34- 4:4 axis32- axis4- ");
}

TEST_F(GameTest, AnaglyphAnswersAreNeutralWhileItIsOff) {
    m_game->m_anaglyphOffset[0] = 3.0f;
    m_game->m_anaglyphOffset[1] = 4.0f;
    m_game->m_anaglyphTint[0] = 0.5f;
    m_game->m_silhouetteOnColor = true;
    m_game->m_displaySettings.anaglyphDesaturation = 0.875f;
    m_game->m_displaySettings.anaglyphBrightness = 0.25f;
    // Asked as the engine asks them: the world's layers, the characters and
    // the stereo backdrops only know the engine's queries.
    const ZBaseGame& engine = *m_game;
    m_game->m_displaySettings.anaglyph3D = false;
    EXPECT_EQ(engine.GetAnaglyphDistance(), 0.0f);
    EXPECT_EQ(engine.GetAnaglyphDistanceOffset(), 0.0f);
    EXPECT_EQ(engine.GetAnaglyphColor(), ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    EXPECT_FALSE(m_game->IsSilhouetteOnColor());
    EXPECT_EQ(engine.GetAnaglyphDesaturation(), 1.0f);
    EXPECT_EQ(engine.GetAnaglyphGamma(), ZVector4(1.0f, 1.0f, 1.0f, 1.0f));
    m_game->m_displaySettings.anaglyph3D = true;
    EXPECT_EQ(engine.GetAnaglyphDistance(), 3.0f);
    EXPECT_EQ(engine.GetAnaglyphDistanceOffset(), 4.0f);
    EXPECT_EQ(engine.GetAnaglyphColor(), ZVector4(0.5f, 0.0f, 0.0f, 0.0f));
    EXPECT_TRUE(m_game->IsSilhouetteOnColor());
    EXPECT_FLOAT_EQ(engine.GetAnaglyphDesaturation(), 0.125f);
    EXPECT_EQ(engine.GetAnaglyphGamma(), ZVector4(0.75f, 0.75f, 0.75f, 0.75f));
}

TEST_F(GameTest, DialogSoundsAndPause) {
    m_game->PlayDialogSound(5);  // no voice: nothing happens
    RecordingVoice voice;
    m_game->SetVoice(&voice);
    for (int32_t event : {0, 1, 2, 3, 4, 5, 5, 6, 7}) m_game->PlayDialogSound(event);
    EXPECT_EQ(voice.calls, (std::vector<std::string>{
                               "stop DialogText", "play dialog_opt.zms 205 DialogAction",
                               "play dialog_opt.zms 205 DialogAction", "play dialog.zms 200 DialogText",
                               "play dialog.zms 200 DialogText", "stop DialogText"}));
    voice.calls.clear();
    m_game->SetPaused(true);
    m_game->SetPaused(false);
    EXPECT_EQ(voice.calls, (std::vector<std::string>{"volume 0.350000", "volume 1.000000"}));
    m_game->SetVoice(nullptr);
}

TEST_F(GameTest, FramesTakeTheCompositeTargetsInTurn) {
    m_game->registerConfigVars();
    m_displayLog.clear();
    for (int frame = 0; frame < 3; ++frame) m_game->Update();
    EXPECT_EQ(m_displayLog, (std::vector<std::string>{"composite 1", "composite 2", "composite 1"}));
}

TEST_F(GameTest, NamesAndVersionText) {
    EXPECT_STREQ(m_game->GetGameTitle(), "Drovani Skyreach");
    EXPECT_STREQ(m_game->GetGameFolderName(), "Drovani Skyreach");
    EXPECT_STREQ(m_game->GetLanguageListFileName(), "Korvanth Language List.ini");
    EXPECT_STREQ(m_game->GetSplashImageName(), "splash.bmp");
    EXPECT_EQ(m_game->GetWindowIconId(), 101);
    EXPECT_EQ(m_game->GetCampaignStringFile(), ZHashedString("Strings"));
    ZString info;
    m_game->GetBuildInfo(info);
    EXPECT_NE(info.Find("Korvanth:  _FINALRELEASE _PLAT_WIN\r\n"), -1);

    korvtest::TempDir data;
    ZStreamMgr::GetInstance()->AddDirectorySource((data.Path().string() + "/").c_str());
    struct Case {
        const char* value;
        const char* text;
    };
    const Case cases[] = {{"57", "1.01.0057"}, {"  +12x", "1.01.0012"}, {"none", "1.01.0000"}, {"12345", "1.01.12345"}};
    for (const Case& c : cases) {
        data.Write("Version.ini", std::string("[GameVersion]\nVersion: ") + c.value + "\n");
        // The engine loads the version file in preinit; a test loads it here.
        const_cast<ZINIFile&>(m_game->GetVersionFile()).LoadINIFile("Version.ini");
        EXPECT_STREQ(m_game->GetVersionText(), c.text) << c.value;
    }
}

TEST_F(GameTest, StringFilesOfTheGameAndItsCampaigns) {
    MountGamePackage();
    ZLocMgr* loc = ZLocMgr::GetInstance();
    loc->AddLanguageList(m_game->GetLanguageListFileName());
    m_game->AddLocStringFiles();
    loc->SetDefaultPath(false);
    EXPECT_EQ(m_game->GetLastSaveText(), "Last saved some time ago at a checkpoint.");
    EXPECT_EQ(loc->GetString(ZHashedString("QXV_Strings"), ZHashedString("Campaign"), ZHashedString("Title")),
              "The Drowned Caverns");
    EXPECT_EQ(loc->GetString(ZHashedString("Controls"), ZHashedString("Gameplay"), ZHashedString("JumpDown")),
              "Drop Down");
    loc->SetLocalizedPath("German", false);
    EXPECT_EQ(m_game->GetLastSaveText(), "Zuletzt gespeichert: some time ago, an einem Kontrollpunkt.");
}

TEST_F(GameTest, AddOnPackagesMountAfterTheGamesInNameOrder) {
    const std::string mods = GetUserFolderPath(m_game->GetGameFolderName(), "Mods\\", true).GetText();
    for (const char* name : {"b.kpk", "A.KPK", "c.kpk", "notes.txt"}) {
        ZPackageWriter writer;
        ASSERT_TRUE(writer.AddData("Which.txt", name, std::strlen(name)));
        ASSERT_TRUE(writer.Write((mods + name).c_str()));
    }
    m_game->addStreamSources();
    ZStreamMgr* streams = ZStreamMgr::GetInstance();
    std::vector<std::string> addOns;
    for (uint32_t i = 0; i < streams->GetSourceCount(); ++i) {
        const ZStreamSource& source = streams->GetSource(i);
        if (source.package == nullptr) continue;
        std::string path = source.package->GetPath();
        if (path.size() > 4 && (path.compare(path.size() - 4, 4, ".kpk") == 0 ||
                                path.compare(path.size() - 4, 4, ".KPK") == 0)) {
            addOns.push_back(path.substr(path.find_last_of("/\\") + 1));
        }
    }
    EXPECT_EQ(addOns, (std::vector<std::string>{"A.KPK", "b.kpk", "c.kpk"}));
    // The first add-on in name order wins over the later ones.
    char* text = nullptr;
    int64_t size = 0;
    ASSERT_TRUE(streams->ReadFile("Which.txt", &text, &size));
    EXPECT_EQ(std::string(text, static_cast<size_t>(size)), "A.KPK");
    delete[] text;
}

TEST_F(GameTest, LoadsTheCampaignsMaps) {
    MountGamePackage();
    ASSERT_TRUE(m_game->OpenCampaignFile("Korvanth.kdd"));
    EXPECT_EQ(m_game->GetCampaignPrefix(), "QXV_");
    EXPECT_EQ(m_game->GetCampaignStringFile(), ZHashedString("QXV_Strings"));
    EXPECT_EQ(m_game->GetCurrentMapName(), "Caverns");
    const MapData& map = m_game->GetMapData();
    EXPECT_GE(map.GetRoomCount(), 6u);
    EXPECT_EQ(map.areas.Count(), 3u);
    ASSERT_EQ(map.palettes.Count(), 1u);
    const PaletteData& palette = map.palettes[0];
    EXPECT_EQ(palette.collisionCount, 8);
    EXPECT_EQ(palette.animations.Count(), 2u);
    EXPECT_EQ(palette.customTiles.Count(), 1u);
    ASSERT_EQ(palette.depthForces.Count(), 1u);
    EXPECT_EQ(palette.depthForces[0].width, 64);
    EXPECT_FLOAT_EQ(palette.uPerPixel, 1.0f / 64.0f);
    EXPECT_EQ(m_game->GetAtlasSide(), 64);
    EXPECT_EQ(map.defaultColour[0], 0x10);
    EXPECT_EQ(map.defaultColour[3], 255);
    EXPECT_EQ(map.defaultMusic, "caverns.zms");
    EXPECT_EQ(map.defaultSafe, 1);
    EXPECT_EQ(map.minimapBuild, 1);
    EXPECT_FALSE(m_game->IsOverworld());
    // Room (0, 0) is walled in rock (class 1) with a torch (animated, class 0).
    EXPECT_EQ(m_game->GetTileCollision(0, 0, 0, 0), 1);
    EXPECT_EQ(m_game->GetTileCollision(0, 0, 6, 24), 0);
    EXPECT_EQ(m_game->GetTileCollision(0, 0, 32, 0), 1);  // room (1, 0) is walled in brick
    EXPECT_EQ(m_game->GetTileCollision(7, 7, 0, 0), 0);   // no such room

    // The same name again changes nothing.
    m_game->GetMapData().GetOrAddRoom(40, 40);
    m_displayLog.clear();
    m_game->LoadCampaign("Caverns");
    EXPECT_TRUE(m_game->GetMapData().HasRoom(40, 40));
    EXPECT_TRUE(m_displayLog.empty());

    m_game->LoadCampaign("Overworld");
    EXPECT_TRUE(m_game->IsOverworld());
    EXPECT_EQ(m_game->GetMapData().GetRoomCount(), 2u);
    EXPECT_FALSE(m_game->GetMapData().HasRoom(40, 40));
    EXPECT_EQ(m_game->GetTileCollision(0, 0, 0, 0), 1);  // mountains

    m_game->LoadCampaign("Nowhere");
    EXPECT_EQ(m_game->GetMapData().GetRoomCount(), 0u);
    EXPECT_EQ(m_game->GetMapData().palettes.Count(), 0u);
    EXPECT_EQ(m_game->GetAtlasSide(), 1);
}

// Counts the loader's requests to let go of bound textures.
class ClearCountingShader : public ZShader {
public:
    void ClearTextures() override { ++clears; }
    int clears = 0;
};

TEST_F(GameTest, AMapChangeMakesTheTileLayersLetGoOfTheOldAtlas) {
    MountGamePackage();
    ASSERT_TRUE(m_game->OpenCampaignFile("Korvanth.kdd"));
    m_game->LoadRoom();
    std::vector<ZRenderableComponent*> layers = {GetComponent<ZRenderableComponent>(m_game->GetWorldEntity()),
                                                 GetComponent<ZRenderableComponent>(m_game->GetDynWorldEntity())};
    std::vector<std::unique_ptr<ClearCountingShader>> shaders;
    for (ZRenderableComponent* layer : layers) {
        ASSERT_NE(layer, nullptr);
        bool first = true;
        for (auto& node : layer->renderables) {
            // One mesh of each entity draws without a shader, as without a device.
            if (first) {
                node.value->shader = nullptr;
                first = false;
                continue;
            }
            shaders.push_back(std::make_unique<ClearCountingShader>());
            node.value->shader = shaders.back().get();
        }
    }
    ASSERT_EQ(shaders.size(), 6u);

    m_game->LoadCampaign("Caverns");  // the map already loaded: no new atlas
    for (const auto& shader : shaders) EXPECT_EQ(shader->clears, 0);
    m_game->LoadCampaign("Overworld");
    for (const auto& shader : shaders) EXPECT_EQ(shader->clears, 1) << "each tile layer's shader once";

    for (ZRenderableComponent* layer : layers) {
        for (auto& node : layer->renderables) node.value->shader = nullptr;
    }
}

TEST_F(GameTest, CampaignRoomsOpenOnlyIntoRoomsOrOtherMaps) {
    // Wherever a border tile is open, the room across it exists, unless the
    // room's edge on that side names another map.
    MountGamePackage();
    ASSERT_TRUE(m_game->OpenCampaignFile("Korvanth.kdd"));
    for (const char* mapName : {"Caverns", "Overworld", "Sunken", "Spire", "Speedrun Maps"}) {
        m_game->LoadCampaign(mapName);
        const MapData& map = m_game->GetMapData();
        ASSERT_GT(map.GetRoomCount(), 0u) << mapName;
        for (const auto& column : map.GetRooms()) {
            for (const auto& entry : column.second) {
                const int32_t rx = column.first;
                const int32_t ry = entry.first;
                struct Side {
                    int32_t edge, dx, dy;
                };
                const Side sides[] = {{kEdgeTop, 0, -1}, {kEdgeBottom, 0, 1}, {kEdgeLeft, -1, 0}, {kEdgeRight, 1, 0}};
                for (const Side& side : sides) {
                    if (entry.second.edges[side.edge].hasNameA) continue;
                    const int32_t count = side.dx != 0 ? kRoomTilesY : kRoomTilesX;
                    for (int32_t i = 0; i < count; ++i) {
                        const int32_t tx = side.dx < 0 ? 0 : side.dx > 0 ? kRoomTilesX - 1 : i;
                        const int32_t ty = side.dy < 0 ? 0 : side.dy > 0 ? kRoomTilesY - 1 : i;
                        if (m_game->GetTileCollision(rx, ry, tx, ty) != 0) continue;
                        EXPECT_TRUE(map.HasRoom(rx + side.dx, ry + side.dy))
                            << mapName << " room (" << rx << ", " << ry << ") opens at tile (" << tx << ", " << ty
                            << ") into nothing";
                        break;
                    }
                }
            }
        }
    }
}

TEST(ItemNameList, SixteenCellsInTableOrder) {
    struct Recorder : ZGlyphSheetTarget {
        void AddFrame(ZHashedString name, const Frame& frame) override { frames.emplace_back(name, frame); }
        std::vector<std::pair<ZHashedString, Frame>> frames;
    } sheet;
    CreateItemNameList(sheet);
    ASSERT_EQ(sheet.frames.size(), 16u);
    EXPECT_EQ(sheet.frames[15].first, ZHashedString("necklace"));
    EXPECT_FLOAT_EQ(sheet.frames[15].second.u, 0.75f);
    EXPECT_FLOAT_EQ(sheet.frames[15].second.v, 0.75f);
    EXPECT_EQ(sheet.frames[6].first, ZHashedString("swimsuit"));
    EXPECT_FLOAT_EQ(sheet.frames[6].second.u, 0.5f);
    EXPECT_FLOAT_EQ(sheet.frames[6].second.v, 0.25f);
    for (const auto& f : sheet.frames) {
        EXPECT_FLOAT_EQ(f.second.width, 0.25f);
        EXPECT_FLOAT_EQ(f.second.sizeX, 2.0f);
        EXPECT_FLOAT_EQ(f.second.sizeY, 2.0f);
        EXPECT_FLOAT_EQ(f.second.originY, -0.5f);
    }
    EXPECT_EQ(GetItemGlyphName(16), nullptr);
}

}  // namespace

namespace worldtest {
namespace {

std::vector<std::string> g_ranTexts;

bool RecordText(const ZHashedString*, const ZArray<ZString>& words, uint32_t, uint32_t) {
    g_ranTexts.push_back(words[0].GetText());
    return true;
}

// Actions with Defer="true" wait for the game's fixed step, which runs them
// after the engine's own step.
TEST_F(GameTest, TheFixedStepRunsTheDeferredCommands) {
    ClearCommandHandlers();
    RegisterCommandHandler(&RecordText);
    g_ranTexts.clear();
    QueueDeferredCommand(ZString("later"), 0, 0);
    EXPECT_TRUE(g_ranTexts.empty());
    m_game->FixedUpdate();
    EXPECT_EQ(g_ranTexts, std::vector<std::string>{"later"});
    EXPECT_EQ(GetDeferredCommandCount(), 0u);
    ClearCommandHandlers();
    DestroyDeferredCommands();
}

}  // namespace
}  // namespace worldtest
