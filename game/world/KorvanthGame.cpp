#include "game/world/KorvanthGame.h"

#include "game/components/CRTRef.h"
#include "game/world/KorvEntity.h"
#include "game/world/TileLayerMesh.h"
#include "game/world/WorldEntity.h"
#include "game/world/WorldShader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "foundation/ZDefinitionCache.h"
#include "foundation/ZDefinitionFile.h"
#include "foundation/ZLog.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZUserFolders.h"
#include "platform/os/files.h"
#include "framework/ZLocMgr.h"
#include "game/display/BackdropShader.h"
#include "game/display/DisplayAppliers.h"
#include "game/display/DisplayState.h"
#include "game/display/GameMenuUnderlayShader.h"
#include "game/display/KorvanthPreHUDPassShader.h"
#include "game/display/SceneSwitching.h"
#include "entity/ZEntityState.h"
#include "game/components/GroupStore.h"
#include "game/components/NPCComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerMusic.h"
#include "game/player/PlayerProgress.h"
#include "game/player/PlayerSave.h"
#include "game/player/PlayerTransition.h"
#include "game/progression/MinimapComponent.h"
#include "game/progression/RandomizerData.h"
#include "game/world/GameEntityHooks.h"
#include "game/world/ItemNameList.h"
#include "foundation/ZColor32.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZRenderableComponent.h"
#include "renderer/ZDialogBackdrop.h"
#include "renderer/ZFont.h"
#include "renderer/ZGlyphSheetMgr.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZSpriteBatch.h"

namespace {

const char* const kSavesFolder = "Saves\\";

// The campaign element of a definition file's root: the root itself when it
// is one, else its first "Campaign" child (the empty node when neither).
const ZDefNode& CampaignElement(const ZDefNode& root) {
    static const ZHashedString kCampaign("Campaign");
    return root.name == kCampaign ? root : root.FindChild(kCampaign);
}

// Orders paths by their file names, ignoring case.
bool LessFileNameNoCase(const ZString& a, const ZString& b) {
    auto fileName = [](const ZString& path) {
        const std::string text = path.ToLower().GetText();
        const size_t cut = text.find_last_of("\\/");
        return cut == std::string::npos ? text : text.substr(cut + 1);
    };
    return fileName(a) < fileName(b);
}

}  // namespace

KorvanthGame::KorvanthGame() : m_display(std::make_unique<NullGameDisplay>()) {}

KorvanthGame::~KorvanthGame() {
    DestroyRoomWorld();
    ReleaseItemSheet();
}

KorvanthGame* KorvanthGame::GetGameInstance() {
    if (ZBaseGame::PeekInstance() == nullptr && !ZBaseGame::IsExiting()) {
        new KorvanthGame();  // stores itself in the base-game slot
    }
    return Get();
}

KorvanthGame* KorvanthGame::Get() { return dynamic_cast<KorvanthGame*>(ZBaseGame::PeekInstance()); }

const char* KorvanthGame::GetVersionText() const {
    ZString value;
    GetVersionFile().GetValue(ZHashedString("GameVersion"), ZHashedString("Version"), value);
    // atoi rules: leading blanks and a sign, then digits up to the first other byte.
    const long build = std::strtol(value.GetText(), nullptr, 10);
    std::snprintf(m_versionText, sizeof m_versionText, "%d.%02d.%04ld", 1, 1, build);
    return m_versionText;
}

void KorvanthGame::GetBuildInfo(ZString& out) const {
    ZBaseGame::GetBuildInfo(out);
    out += "Korvanth:  _FINALRELEASE _PLAT_WIN\r\n";
}

void KorvanthGame::addStreamSources() {
    ZBaseGame::addStreamSources();
    ZLog::Printf("KorvanthGame::addStreamSources");
    ZStreamMgr* streams = ZStreamMgr::GetInstance();
    streams->AddDirectorySource(GetUserFolderPath(GetGameFolderName(), kSavesFolder, true).GetText());
    for (const char* package : {"Korvanth.zpk", "KorvanthHeavy.zpk", "KorvanthVersion.zpk"}) {
        if (!FileExists(package)) {
            ZLog::Printf("Package %s not found; going on without it", package);
            continue;
        }
        streams->AddPackageSource(package);
    }
    // Add-on packages beside the game and in the user's Mods folder, in name
    // order ignoring case: the order decides which copy of a file wins.
    ZArray<ZString> found;
    ListFiles("", "*.kpk", found, false);
    // The Mods folder as the prefix, so each name comes back as a full path.
    ListFiles("", "*.kpk", found, false, GetUserFolderPath(GetGameFolderName(), GetModsFolder(), false).GetText());
    std::vector<ZString> sorted(found.begin(), found.begin() + found.Count());
    std::stable_sort(sorted.begin(), sorted.end(), LessFileNameNoCase);
    for (const ZString& path : sorted) {
        ZLog::Printf("Mounting add-on package %s", path.GetText());
        streams->AddPackageSource(path.GetText());
    }
}

void KorvanthGame::AddLocStringFiles() {
    ZBaseGame::AddLocStringFiles();
    ZLog::Printf("KorvanthGame::AddLocStringFiles");
    ZLocMgr* loc = ZLocMgr::GetInstance();
    for (const char* file : {"Controls.txt", "KorvanthMenus.txt", "KorvanthGame.txt", "RandomPowerups.txt"}) {
        loc->AddStringFile(file);
    }
    // Each campaign brings its own strings: "<ID>_Strings.txt".
    static const ZHashedString kID("ID");
    ZArray<ZString> campaigns;
    ZStreamMgr::GetInstance()->FindFiles(campaigns, "*.kdd");
    ZArray<ZString> seen;
    for (uint32_t i = 0; i < campaigns.Count(); ++i) {
        // A campaign a mod overrides is listed once per source that holds it.
        const ZString key = campaigns[i].ToLower();
        if (seen.Contains(key)) continue;
        seen.PushBack(key);
        ZDefNode root;
        LoadDefinitionFile(root, campaigns[i].GetText());
        const ZString file = CampaignElement(root).GetAttribute(kID) + "_Strings.txt";
        loc->AddStringFile(file.GetText());
    }
}

ZString KorvanthGame::GetAutosavePath() const {
    return GetUserFolderPath(GetGameFolderName(), kSavesFolder, true) + "autosave.zsd";
}

void KorvanthGame::init() {
    ZBaseGame::init();
    ZLog::Printf("KorvanthGame::init");
    LoadAutosave();
    InstallGameEntityHooks();
    // Entity-instance files are rewritten for a randomized world as they load.
    ZDefinitionCache::GetInstance()->SetLoadCallback(&RandomizerDefinitionHook);
    m_display->SetUpGameScene(*this);
    CreateCRTReference();
    CreateDialogBackdrop();
    // The player joins the scene set up above (its sprite group, shader and camera).
    m_spritesShader = std::make_unique<SpritesShader>();
    m_spriteQuad = std::make_unique<TileLayerMesh>(TileLayerMesh::UnitQuad{});
    m_player = new Player();
    GetDisplayState()->minimapView = &FillPlayerMinimapView;
    GetRoomMinimapHook() = &ShowPlayerRoomMinimap;
    SetPowerupHolder(&m_player->powerups);
    // Entities destroyed for a session stay away until the next one.
    SetSessionHolder(&m_playSession);
    InstallTransitionHooks();
    // Group values saved before are back before any room loads.
    m_groupStore = new GroupStore();
    m_groupStore->RestoreFromSavedState();
    if (m_voice == nullptr) {
        m_synthVoice = SynthGameVoice::Create();
        m_voice = m_synthVoice.get();
    }
    // The stored reverb settings reach the voice now that it exists.
    if (m_voice != nullptr) m_voice->SetReverb(PackReverbWord());
}

void KorvanthGame::CreateCRTReference() {
    // Hidden until the console's "crtref" shows it.
    auto* const reference = new CRTRef();
    reference->GetQuad()->visible = false;
    SetBackdrop(ZHashedString(kDebugBackgroundEntity), reference);
}

void KorvanthGame::CreateDialogBackdrop() {
    // Shown by the dialog box while it has text, sized to it.
    auto* const backdrop = new ZDialogBackdrop(ZHashedString("HUD Backdrop Group"));
    if (auto* renderables = GetComponent<ZRenderableComponent>(backdrop)) {
        for (const auto& node : renderables->renderables) {
            if (node.value != nullptr) node.value->visible = false;
        }
    }
    SetBackdrop(ZHashedString(kDialogBackdrop), backdrop);
}

void KorvanthGame::DestroyCRTReference() { SetBackdrop(ZHashedString(kDebugBackgroundEntity), nullptr); }

void KorvanthGame::FlushEntities(const bool autosaveFirst) { ResetToSavedState(autosaveFirst); }

bool KorvanthGame::OpenCampaignFile(const char* fileName) {
    static const ZHashedString kMetadata("Metadata");
    static const ZHashedString kEntry("Entry");
    static const ZHashedString kMapName("MapName");
    ZDefNode root;
    if (!LoadDefinitionFile(root, fileName)) {
        ZLog::Printf("Campaign %s could not be read", fileName);
        return false;
    }
    const ZDefNode& campaign = CampaignElement(root);
    if (&campaign == &ZDefNode::GetEmptyNode()) {
        ZLog::Printf("%s holds no campaign", fileName);
        return false;
    }
    SetCampaign(campaign);
    ZLog::Printf("Campaign %s (prefix \"%s\"): %u maps, %u palettes", fileName, m_campaignPrefix.GetText(),
                 m_mapList.Count(), m_paletteList.Count());
    LoadCampaign(campaign.FindChild(kMetadata).FindChild(kEntry).GetAttribute(kMapName));
    return true;
}

void KorvanthGame::shutdown() {
    // The room's entities are saved and the layers go while the renderer lives.
    DestroyRoomWorld();
    RemoveTransitionHooks();
    if (m_player != nullptr && m_powerups == &m_player->powerups) SetPowerupHolder(nullptr);
    if (m_session == &m_playSession) SetSessionHolder(nullptr);
    // Each goes with its state saved into the store, as every scene entity does.
    SaveEntityState(m_player);
    delete m_player;
    m_player = nullptr;
    SaveEntityState(m_groupStore);
    delete m_groupStore;
    m_groupStore = nullptr;
    // The sprites that drew with the quad and the shader went with the player.
    m_spriteQuad.reset();
    m_spritesShader.reset();
    // The characters' shader stays from the first character on, until here.
    NPCComponent::ReleaseSharedShader();
    DestroyCRTReference();
    SetBackdrop(ZHashedString(kDialogBackdrop), nullptr);
    m_display->ShutdownGameScene(*this);
    ReleaseSynthVoice();
    ClearGameEntityHooks();
    ReleaseItemSheet();
    ZBaseGame::shutdown();
}

void KorvanthGame::ReleaseSynthVoice() {
    if (m_synthVoice == nullptr) return;
    if (m_voice == m_synthVoice.get()) m_voice = nullptr;
    // Released only when held, so a second call never drops another holder's reference.
    m_synthVoice->Release();
    m_synthVoice.reset();
}

void KorvanthGame::CreateRenderPasses() {
    // The display places the engine's default pass among its own passes.
    m_display->CreateRenderPasses(*this);
}

void KorvanthGame::CreateRenderGroups() {
    ZBaseGame::CreateRenderGroups();
    m_display->CreateRenderGroups(*this);
}

void KorvanthGame::AssignGroupsToPasses() {
    // The display runs the engine's assignment among its own rows.
    m_display->AssignGroupsToPasses(*this);
}

ZFXAAFilter* KorvanthGame::CreateFXAAFilter() { return new KorvanthPreHUDPassShader(m_fxaa); }

ZShader* KorvanthGame::CreateDepthBackdropShader() { return new BackdropShader(); }

void KorvanthGame::OnTitleMenuOpened(ZMenu*) {
    // The room's entities (saved first) and tile layers go with the game: the
    // title shows no world, and the next start builds its room afresh.
    DestroyRoomWorld();
    ResetToTitleScene(this);
}

void KorvanthGame::SetCameraFieldOfView(const float fov) {
    ZBaseGame::SetCameraFieldOfView(fov);
    PlaceSceneCamera();
}

void KorvanthGame::PreLoadEngineAssets() {
    ZBaseGame::PreLoadEngineAssets();
    m_display->LoadGameFonts(*this);
    BuildItemSheet();
}

void KorvanthGame::BuildItemSheet() {
    ReleaseItemSheet();
    m_itemSheet = new ZSpriteBatch();
    CreateItemNameList(*m_itemSheet);
    m_display->AttachItemSheet(*this, *m_itemSheet);
    GetGlyphSheetMgr()->Add(ZHashedString("stat"), ZHashedString("stat_glyphs"), m_itemSheet);
}

void KorvanthGame::ReleaseItemSheet() {
    if (m_itemSheet == nullptr) return;
    if (ZGlyphSheetMgr* sheets = PeekGlyphSheetMgr()) sheets->Remove(m_itemSheet);
    delete m_itemSheet;
    m_itemSheet = nullptr;
}

void KorvanthGame::SetDisplay(std::unique_ptr<GameDisplay> display) {
    m_display = display ? std::move(display) : std::make_unique<NullGameDisplay>();
}

void KorvanthGame::Update() {
    // Two composite targets take turns so the display can blend with the
    // last frame: the first frame draws into the first target.
    m_display->SelectCompositeTarget(*this, m_compositeToggle);
    m_compositeToggle = !m_compositeToggle;
    ZBaseGame::Update();
    UpdateDemoIdle();
    if (m_demoMode) DrawDemoMark();
}

ZFont* KorvanthGame::GetMenuFont() const {
    if (ZFont* font = m_display != nullptr ? m_display->GetMenuFont() : nullptr) return font;
    return ZBaseGame::GetMenuFont();
}

ZTexturedShader* KorvanthGame::CreateMenuUnderlayShader() {
    auto* const shader = new GameMenuUnderlayShader();
    shader->Load();
    return shader;
}

ZFont* KorvanthGame::GetHUDFont() const {
    if (ZFont* font = m_display != nullptr ? m_display->GetHUDFont() : nullptr) return font;
    return ZBaseGame::GetHUDFont();
}

void KorvanthGame::DrawDemoMark() {
    // The overlay font is the display chain's; the engine's window-sized HUD
    // font stands in for it.
    ZFont* font = m_overlayFont != nullptr ? m_overlayFont : ZBaseGame::GetHUDFont();
    if (font == nullptr) return;
    static const char kMark[] = "#DrovaniSkyreach";
    const int32_t length = static_cast<int32_t>(sizeof kMark - 1);
    float width = 0.0f;
    font->DrawTextFormatted(kMark, length, &width, nullptr, 0.5f, 0.5f);
    const ZColor32 colour = ZColor32::FromARGB(0x50FFFFFF);
    font->DrawText(kMark, length, static_cast<float>(GetScreenWidth()) - 6.0f - width, 0.0f, 0.5f, 0.5f, colour,
                   colour);
}

void KorvanthGame::SetPaused(bool paused) {
    if (m_voice != nullptr) m_voice->SetVolume(paused ? 0.35f : 1.0f);
    ZBaseGame::SetPaused(paused);
}

void KorvanthGame::Exit() {
    ReleaseSynthVoice();
    m_voice = nullptr;
    ZBaseGame::Exit();
    ResetToSavedState(true);
}

void KorvanthGame::ResetToSavedState(const bool autosaveFirst) {
    // A safe spot newer than the last write is not lost.
    if (autosaveFirst && m_player != nullptr) Autosave(*m_player, m_player->GetHandle(), true);
    // The scene's entities hand their state to the store first.
    for (KorvEntity* const entity : m_roomEntities) SaveEntityState(entity);
    for (ZEntity* const entity : GetEntityList()) SaveEntityState(entity);
    if (m_player != nullptr) ResetPlayer(*m_player);
    LoadAutosave();
    if (m_player != nullptr) {
        RestoreEntityState(m_player, ZHashedString::None(), 0);
        ApplyLoadedProgress(*m_player);
    }
    if (m_groupStore != nullptr) m_groupStore->RestoreFromSavedState();
}

// The process-wide store is the one entities save into and shutdown frees.
void KorvanthGame::LoadAutosave() {
    const ZString path = GetAutosavePath();
    ZStateStore* const store = ::GetStateStore();
    store->Clear();
    if (FileExists(path.GetText()) && !store->Load(path.GetText())) {
        // The next autosave would write over it: it is kept beside it instead.
        const ZString aside = MoveDamagedSaveAside(path);
        m_damagedSave = aside.IsEmpty() ? path : aside;
        if (aside.IsEmpty()) {
            ZLog::Printf("%s could not be read and could not be moved aside; starting without saved state",
                         path.GetText());
        } else {
            ZLog::Printf("%s could not be read; kept as %s; starting without saved state", path.GetText(),
                         aside.GetText());
        }
    }
}

ZString KorvanthGame::TakeDamagedSaveNotice() {
    ZString notice = m_damagedSave;
    m_damagedSave = ZString();
    return notice;
}

ZString MoveDamagedSaveAside(const ZString& path) {
    // "<save>.damaged", or "<save>.damaged2", "<save>.damaged3", ... when earlier ones are there.
    for (int32_t n = 1; n < 1000; ++n) {
        ZString aside = path + ".damaged";
        if (n > 1) {
            char number[16];
            std::snprintf(number, sizeof number, "%d", n);
            aside += number;
        }
        if (os::Exists(aside.GetText())) continue;
        return os::RenameFile(path.GetText(), aside.GetText()) == 0 ? aside : ZString();
    }
    return ZString();
}

ZHashedString KorvanthGame::GetCampaignStringFile() const {
    return ZHashedString((m_campaignPrefix + "Strings").GetText());
}

void KorvanthGame::SetCampaign(const ZDefNode& campaignRoot) {
    static const ZHashedString kID("ID");
    static const ZHashedString kMaps("Maps");
    static const ZHashedString kMap("Map");
    static const ZHashedString kPalettes("Palettes");
    static const ZHashedString kPalette("Palette");
    const ZDefNode& campaign = CampaignElement(campaignRoot);
    m_campaign = campaign;
    m_campaignPrefix = campaign.GetAttribute(kID) + "_";
    m_mapList = campaign.FindChild(kMaps).FindChildren(kMap);
    m_paletteList = campaign.FindChild(kPalettes).FindChildren(kPalette);
    m_mapName = "";
    m_mapId = ZHashedString::None();
}

uint8_t KorvanthGame::GetTileCollision(int32_t roomX, int32_t roomY, int32_t tileX, int32_t tileY) const {
    return ::GetTileCollision(m_mapData, roomX, roomY, tileX, tileY, m_powerups);
}

ZString KorvanthGame::GetLastSaveText() const {
    static const ZHashedString kFile("KorvanthMenus");
    static const ZHashedString kSection("PauseMenu");
    ZLocMgr* loc = ZLocMgr::GetInstance();
    ZString text = loc->GetString(kFile, kSection, ZHashedString("LastSave"));
    text = text.Replace("%1", "some time ago");
    return text.Replace("%2", loc->GetString(kFile, kSection, ZHashedString("AtCheckpoint")));
}

void KorvanthGame::PlayDialogSound(int32_t event) {
    if (m_voice == nullptr) return;
    static const ZHashedString kText("DialogText");
    static const ZHashedString kAction("DialogAction");
    switch (event) {
    case 1:
    case 6:
        m_voice->StopChannel(kText);
        break;
    case 3:
    case 4:
        m_voice->PlayTune("dialog_opt.zms", 205, kAction);
        break;
    case 5:
        m_voice->PlayTune("dialog.zms", 200, kText);
        break;
    default:
        break;
    }
}

ZVector4 KorvanthGame::GetAnaglyphColor() const {
    if (!m_displaySettings.anaglyph3D) return ZVector4(1.0f, 1.0f, 1.0f, 1.0f);
    return ZVector4(m_anaglyphTint[0], m_anaglyphTint[1], m_anaglyphTint[2], m_anaglyphTint[3]);
}

ZVector4 KorvanthGame::GetAnaglyphGamma() const {
    if (!m_displaySettings.anaglyph3D) return ZVector4(1.0f, 1.0f, 1.0f, 1.0f);
    const float level = 1.0f - m_displaySettings.anaglyphBrightness;
    return ZVector4(level, level, level, level);
}
