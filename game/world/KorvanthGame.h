#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "foundation/ZArray.h"
#include "foundation/ZDefNode.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZMatrix4.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZString.h"
#include "foundation/ZVector3.h"
#include "foundation/ZVector4.h"
#include "entity/ZLightMgr.h"
#include "framework/ZBaseGame.h"
#include "game/display/DisplaySettings.h"
#include "game/world/EntityState.h"
#include "game/world/GameServices.h"
#include "game/world/MapData.h"
#include "game/world/PlaySession.h"
#include "game/world/RoomConditions.h"
#include "game/world/RoomEdges.h"
#include "game/world/SynthGameVoice.h"
#include "game/world/TileMetadata.h"

class Player;
class SpritesShader;
class TileLayerMesh;
class DynWorldEntity;
class GroupStore;
class KorvEntity;
class WorldEntity;
class ZCamera;
class ZFont;
class ZSpriteBatch;

// The game: the engine's base game with the game's start-up work, its
// settings, controls and strings, and the holder of the world's state (the
// current campaign, its map and palettes, the saved-state store).
class KorvanthGame : public ZBaseGame {
public:
    static constexpr const char* kTitle = "Drovani Skyreach";

    KorvanthGame();
    ~KorvanthGame() override;

    // The base-game singleton, made as a KorvanthGame when empty.
    static KorvanthGame* GetGameInstance();
    // The singleton when it is a KorvanthGame, else null.
    static KorvanthGame* Get();

    // --- The application description ---
    const char* GetGameFolderName() const override { return kTitle; }
    const char* GetGameTitle() const override { return kTitle; }
    const char* GetLanguageListFileName() const override { return "Korvanth Language List.ini"; }
    const char* GetSplashImageName() const override { return "splash.bmp"; }
    // "1.01.<build>", the build being GameVersion/Version of the version file.
    const char* GetVersionText() const override;
    const char* GetTitleTextureFile() const override { return "title_text.dds"; }
    // The camera's default field of view and the music's default volume.
    float GetDefaultFOV() const override { return 30.0f; }
    float GetDefaultMusicVolume() const override { return 0.4f; }
    // The display's pixel font, drawn into the game's picture; the engine's
    // until the display has one.
    ZFont* GetHUDFont() const override;
    // The display's menu font; the engine's until the display has one.
    ZFont* GetMenuFont() const override;
    // The panel behind the menus: the game's underlay picture ("korv_underlay.dds").
    ZTexturedShader* CreateMenuUnderlayShader() override;
    // The font of the game's texts (dialogs, prompts): the HUD font unless one
    // is set in its place.
    ZFont* GetTextFont() const { return m_textFont != nullptr ? m_textFont : GetHUDFont(); }
    void SetTextFont(ZFont* font) { m_textFont = font; }
    const char* GetCalibrationTextureFile() const override { return "calibration.dds"; }
    int32_t GetWindowIconId() const override { return 101; }
    void GetBuildInfo(ZString& out) const override;

    // --- Start-up, loop and shutdown ---
    void addStreamSources() override;
    void registerConfigVars() override;
    void AddLocStringFiles() override;
    void init() override;
    // The engine's postinit flushes its entities through here: the saved
    // state is read back before the first frame (no campaign opens yet).
    void FlushEntities(bool autosaveFirst) override;
    void shutdown() override;
    void CreateRenderPasses() override;
    void CreateRenderGroups() override;
    void AssignGroupsToPasses() override;
    void CreateControls() override;
    void SetUpDefaultControlBindings() override;
    void PreLoadEngineAssets() override;
    // The display's pre-HUD pass (anti-aliasing with the CRT's bloom) and backdrop.
    ZFXAAFilter* CreateFXAAFilter() override;
    ZShader* CreateDepthBackdropShader() override;
    void Update() override;
    // The engine's own New Game (the splash's quick start): loads the current
    // map's current room (the one QuickStart chose) with its entities, then
    // the engine's start.
    bool StartNewGame() override;
    // The engine's step, then the command texts queued during it.
    void FixedUpdate() override;
    // The engine's words, then "QuickStart" (both passes).
    void HandleCommandLineArgs(const ZArray<ZString>& words, int32_t pass) override;
    // The engine's factories and command runners, then the game's.
    void preinit() override;
    void SetPaused(bool paused) override;
    void Exit() override;
    // The title screen: the scene goes back to the TV static over a hidden world.
    void OnTitleMenuOpened(ZMenu* menu) override;
    // The camera keeps its distance from the tube for the field of view.
    void SetCameraFieldOfView(float fov) override;

    // --- Console, achievements and the window (KorvanthGame_Stats.cpp) ---
    // The engine's commands, then the game's (GameConsoleCommands.h).
    void RegisterConsoleCommands() override;
    // The game's typed commands first, then the engine's registered ones.
    bool ExecuteConsoleCommand(const ZConsoleWordList& words) override;
    // The game's achievement ids (GameStatistics.h).
    void RegisterAchievements() override;
    // The speedrun ghost check, then the achievements from the statistics;
    // answers the ghost check's result (false without a speedrun record).
    bool CheckAchievements();
    // The engine's edit mode is a developer's tool this game does not offer.
    bool IsEditModeAllowed() const override { return false; }
    // The console opens and closes even in demo mode.
    bool IsConsoleAllowed() const override { return true; }
    // Window activation handling as for an activation not made by a click.
    void DeactivateWindow() { ActivateWindow(false); }
    // The scene's effects (TV static, wipe, tuner) go and the world's layers
    // are set up again; answers false (the engine has nothing left to do).
    bool ResetSceneEffects() override;

    // --- The game's menus (game/menus/KorvanthGame_Menus.cpp) ---
    ZMenu* CreateTitleMenu(int32_t startOnMainPage) override;
    ZMenu* CreatePauseMenu() override;
    ZMenu* CreateOptionsMenu() override;
    ZMenu* CreateGameOptionsMenu() override;
    ZMenu* CreateAudioMenu() override;
    // Ends the running game (saving it first when asked) for the title.
    void ResetGame(bool saveFirst) override;
    // Demo mode: the reset key combination, and any key or mouse move counts
    // as play for the player's idle timer.
    void UpdateDemoIdle();
    // True while the CRT simulation menu exists.
    bool m_tunerActive = false;

    // The player back to a new game's state, then the saved-state store
    // emptied and read again from the autosave, and the player given its saved
    // state. With autosaveFirst a safe spot newer than the last save is
    // written first.
    void ResetToSavedState(bool autosaveFirst);
    // Where a save that could not be read was kept (its copy beside it, or
    // the file itself when it could not be moved), once: the title tells the
    // player and the next call answers empty.
    ZString TakeDamagedSaveNotice();
    // The autosave's path in the user's Saves folder.
    ZString GetAutosavePath() const;
    ZStateStore& GetStateStore() { return *::GetStateStore(); }

    // --- Starting a campaign ---
    // Turns a campaign file into a running game: its definition, map and
    // palette lists and prefix, the player reset from the autosave and the
    // campaign's "InitPlayer"; with placeAtEntry the entry map and room are
    // loaded, the player placed at its checkpoint (the resume point with
    // quickSave) and the first autosave written. Closes the menus. False when
    // the file holds no campaign (nothing else changes then).
    bool StartCampaign(const ZString& campaignFile, bool quickSave, bool placeAtEntry);
    // Continues a saved run: the campaign started without placing (the
    // player takes its saved state), then the resume point's map and room
    // loaded and the player put there (the entry map when the save names
    // none). False when the file holds no campaign.
    bool ContinueCampaign(const ZString& campaignFile, const ZString& mapName, int32_t roomX, int32_t roomY,
                          const ZVector3& position);
    // Makes the map and room current and puts the player at the position, as
    // an arrival does (out of the floor, camera on it), then autosaves.
    void EnterRoom(const ZString& mapName, int32_t roomX, int32_t roomY, const ZVector3& position);
    // The player at a position after a load: out of the floor, in play, the
    // camera on it, its water state from where it stands.
    void ArrivePlayer(Player& player, const ZVector3& position);
    // The hashed name of the campaign file started last (empty before).
    ZHashedString GetCampaignId() const { return m_campaignId; }
    const ZString& GetCampaignFile() const { return m_campaignFile; }
    ZHashedString GetCurrentMapId() const { return m_mapId; }

    // --- The world ---
    // Makes the campaign definition current: keeps its "Map" and "Palette"
    // elements and its prefix (ID + "_"). The current map name is emptied, so
    // the next LoadCampaign reads its map afresh.
    void SetCampaign(const ZDefNode& campaignRoot);
    // Loads the campaign file and makes its entry map ("Metadata"/"Entry"
    // "MapName") current; false when the file holds no campaign.
    bool OpenCampaignFile(const char* fileName);
    // Makes the named map of the current campaign current: its palettes into
    // the tile atlas, their side files, its data file. Nothing happens when
    // the name is the current map's.
    void LoadCampaign(const ZString& mapName);
    MapData& GetMapData() { return m_mapData; }
    const MapData& GetMapData() const { return m_mapData; }
    const ZString& GetCurrentMapName() const { return m_mapName; }
    const ZString& GetCampaignPrefix() const { return m_campaignPrefix; }
    const ZArray<ZDefNode>& GetMapList() const { return m_mapList; }
    const ZArray<ZDefNode>& GetPaletteList() const { return m_paletteList; }
    bool IsOverworld() const { return m_overworld; }
    // The one player, made at init with the scene and deleted at shutdown.
    Player* GetPlayer() const { return m_player; }
    // The store of group values, made at init with the player (its saved
    // values read back at once) and deleted at shutdown.
    GroupStore* GetGroupStore() const { return m_groupStore; }
    // The side of the tile atlas last built (0 before any).
    int32_t GetAtlasSide() const { return m_atlasSide; }
    // The hashed name of the campaign prefix followed by "Strings".
    ZHashedString GetCampaignStringFile() const;

    // --- Rooms ---
    // Makes the map's current room the one played: the previous room's
    // entities leave (saved first), the area's conditions are gathered, the
    // collision edges of every room of the area are built and merged, both
    // tile-layer entities are rebuilt, and the rooms' instance ids wait for
    // LoadEntityInstances.
    void LoadRoom();
    // Creates the entities of the waiting instance ids; with namedOnly only
    // those whose file has a "Name" element, keeping the rest waiting.
    void LoadEntityInstances(bool namedOnly);
    // "<prefix>EntInst_<id as 8 hex digits>.zdd".
    ZString GetInstanceFileName(uint32_t instanceId) const;
    const ZArray<uint32_t>& GetPendingInstanceIds() const { return m_pendingInstances; }
    // The room that placed an instance id, once a room load saw it.
    bool GetInstanceRoom(uint32_t instanceId, int32_t& roomX, int32_t& roomY) const;
    const std::vector<EdgeRecord>& GetRoomEdges() const { return m_roomEdges; }
    const RoomConditions& GetRoomConditions() const { return m_roomConditions; }
    const std::vector<KorvEntity*>& GetRoomEntities() const { return m_roomEntities; }
    // Puts an entity that belongs to another room of the area where that
    // room lies from the current one (by its GUID's home room).
    void RegisterRoomEntity(ZEntity* entity);
    // Takes an entity made during play (a script's effect) into the current
    // room: registered like a placed one, owned and saved with the room's
    // entities, and gone when the room is left.
    void AddRoomEntity(KorvEntity* entity);
    // Entities the "spawn" verb and spawners make: the game owns them, and
    // they go with the room they were made in.
    void AddSpawnedEntity(ZEntity* entity);
    const std::vector<ZEntity*>& GetSpawnedEntities() const { return m_spawnedEntities; }
    // Entities of rooms left behind wait here, hidden and paused, until the
    // next fixed step: one of them may be running the event that changed rooms.
    uint32_t GetRetiredEntityCount() const { return static_cast<uint32_t>(m_retiredEntities.size()); }
    void DeleteRetiredEntities();
    // Room entities marked for deletion leave the room's list (deleted at
    // the next fixed step).
    void RetireDeletedRoomEntities();
    // Every entity of the room (placed and spawned) leaves it: saved, out of
    // collision and paused now, deleted at the next fixed step.
    void RetireRoomEntities();
    // The name the CRT reference backdrop (CRTRef) has among the named backdrops.
    static constexpr const char* kDebugBackgroundEntity = "Debug Background Entity";
    // The box the dialog text stands on (a ZDialogBackdrop), among the named backdrops.
    static constexpr const char* kDialogBackdrop = "Dialog Backdrop";
    // The debug-start entities of the current room (their handles).
    ZArray<uint32_t>& GetDebugStarts() { return m_debugStarts; }
    // What a debug start's priority is (the debug-start component answers;
    // 0 for everything until it is installed).
    using DebugStartPriority = int32_t (*)(uint32_t handle);
    static DebugStartPriority& GetDebugStartPriority();
    // Highest priority first; equal priorities keep their order.
    static void SortDebugStarts(ZArray<uint32_t>& handles);
    // The debug starts placed in the room, highest priority first (an area
    // of several rooms loads every room's starts).
    ZArray<uint32_t> RoomDebugStarts(int32_t roomX, int32_t roomY) const;
    // The tile-layer entities, made on the first room load (null before).
    WorldEntity* GetWorldEntity() const { return m_worldEntity; }
    DynWorldEntity* GetDynWorldEntity() const { return m_dynWorldEntity; }
    // The room's view: centred on the game camera (GetWorldCamera, the one
    // the player moves) plus the pan shift, or where SetRoomCamera put it
    // when there is none, in whole pixels. The previous room's meshes draw
    // with the same view moved by the previous room's shift (what turns a
    // place of the room being left into the same place of the current one).
    void SetRoomCamera(float x, float y) { m_roomCamera[0] = x; m_roomCamera[1] = y; }
    void SetPreviousRoomShift(float x, float y) { m_previousRoomShift[0] = x; m_previousRoomShift[1] = y; }
    ZVector3 GetPreviousRoomShift() const { return ZVector3(m_previousRoomShift[0], m_previousRoomShift[1], 0.0f); }
    ZMatrix4 GetRoomViewProjection(bool previousRoom) const;
    // A pan into the next room: along the pan the camera still travels in
    // the old room's pixels; the pan shift turns them into the current
    // room's for the view until the pan ends (zero otherwise).
    void SetPanShift(float x, float y) { m_panShift[0] = x; m_panShift[1] = y; }
    ZVector3 GetPanShift() const { return ZVector3(m_panShift[0], m_panShift[1], 0.0f); }
    // Keeps the last frame drawn of the room being left: the display's frame
    // holders swap their textures, and the second camera takes the view
    // centre that frame was drawn with (drawnView).
    void KeepRoomFrame(const ZVector3& drawnView);
    // The second camera: where the kept frame was seen from, in the old
    // room's pixels.
    const ZVector3& GetPreviousRoomCamera() const { return m_previousRoomCamera; }
    bool IsRoomFrameKept() const { return m_roomFrameKept; }
    // Where the kept frame stands against the current view, in pixels of the
    // frame: the old room lies where the previous room's shift puts it.
    ZVector3 GetRoomFrameOffset() const;
    // Shows the kept frame under the world at its offset (only while one is
    // kept), or hides it.
    void ShowRoomFrame(bool shown);
    // The pan is over: no pan shift, no previous-room shift, the kept frame
    // hidden and let go.
    void EndRoomPan();
    // The depth holder: a point of the scene that the room pan moves along
    // its target path (RoomTransition).
    const ZVector3& GetDepthHolder() const { return m_depthHolder; }
    void SetDepthHolder(const ZVector3& at) { m_depthHolder = at; }
    // The room's view centre in room pixels.
    ZVector3 GetRoomViewCentre() const;
    // The 2D camera looking at the 256 x 224 game picture (the one the player
    // follows), or null before the display chain is set up. Never the
    // base game's camera: that one frames the CRT.
    ZCamera* GetWorldCamera() const;
    // Starts straight into a room: campaign file, map, room and the tile the
    // checkpoint stands on (what "QuickStart" on the command line does).
    // With randomized the world of the seed is set up first (else the
    // shipped world). A map or room the campaign does not have is logged once
    // and the campaign starts at its entry instead. False when the campaign
    // cannot be opened.
    bool QuickStart(const ZString& campaignFile, const ZString& mapName, int32_t roomX, int32_t roomY, int32_t tileX,
                    int32_t tileY, bool randomized = false, const ZString& seed = ZString());
    // The checkpoint QuickStart recorded: the start tile, or the room's best
    // debug start.
    float GetCheckpointX() const { return m_checkpoint[0]; }
    float GetCheckpointY() const { return m_checkpoint[1]; }

    // Tile queries of the current map, with the player's powerups.
    uint8_t GetTileCollision(int32_t roomX, int32_t roomY, int32_t tileX, int32_t tileY) const;

    // --- Answers to the rest of the game ---
    // "LastSave" of "KorvanthMenus"/"PauseMenu", "%1" replaced by "some time
    // ago", "%2" by "AtCheckpoint".
    ZString GetLastSaveText() const;
    // Dialog chirps: 1 and 6 stop the text chirp, 3 and 4 the option sound,
    // 5 the text chirp; others nothing.
    void PlayDialogSound(int32_t event);
    // The eye being drawn, as the clear passes set it, while Anaglyph3D is
    // on; the neutral eye (no shift, white, full colour, gamma 1) while it is
    // off. The world's layers, the characters and the stereo backdrops read
    // these through the engine's queries.
    float GetAnaglyphDistance() const override {
        return m_displaySettings.anaglyph3D ? m_anaglyphOffset[0] : 0.0f;
    }
    float GetAnaglyphDistanceOffset() const override {
        return m_displaySettings.anaglyph3D ? m_anaglyphOffset[1] : 0.0f;
    }
    ZVector4 GetAnaglyphColor() const override;
    // The share of the colour kept: 1 - [Anaglyph] Desaturation.
    float GetAnaglyphDesaturation() const override {
        return m_displaySettings.anaglyph3D ? 1.0f - m_displaySettings.anaglyphDesaturation : 1.0f;
    }
    // 1 - [Anaglyph] Brightness in all four components.
    ZVector4 GetAnaglyphGamma() const override;
    bool IsSilhouetteOnColor() const { return m_displaySettings.anaglyph3D && m_silhouetteOnColor; }

    // --- Neighbours (stand-ins until their work lands; see GameServices.h) ---
    // The voice the game plays through; init makes the synthesizer's when
    // none was set. A voice set here is not owned.
    void SetVoice(GameVoice* voice) { m_voice = voice; }
    GameVoice* GetVoice() const { return m_voice; }
    void SetDisplay(std::unique_ptr<GameDisplay> display);
    GameDisplay& GetDisplay() { return *m_display; }
    // Who answers powerup questions (the player, once it exists); null before.
    void SetPowerupHolder(const PowerupHolder* holder) { m_powerups = holder; }
    const PowerupHolder* GetPowerupHolder() const { return m_powerups; }
    // Who tells play sessions apart: from init on the game's own play
    // session (a new one at each campaign start); null before.
    void SetSessionHolder(const SessionHolder* holder) { m_session = holder; }
    const SessionHolder* GetSessionHolder() const { return m_session; }
    // The current session's GUID, 0 without a session holder.
    uint32_t GetSessionGUID() const { return m_session != nullptr ? m_session->GetSessionGUID() : 0; }
    // The session test of a half-dead entity's "Delete" element.
    bool IsFromOtherSession(const ZDefNode& deleteElement) const { return ::IsFromOtherSession(m_session, deleteElement); }
    ZSpriteBatch* GetItemSheet() const { return m_itemSheet; }
    // The shader the player's and the entities' sprites draw with (null before init).
    SpritesShader* GetSpritesShader() const { return m_spritesShader.get(); }
    // The one unit quad the player's and the ghost's sprites draw with (null
    // before init and after shutdown).
    TileLayerMesh* GetSpriteQuad() const { return m_spriteQuad.get(); }
    // The scene's lights, answered to the entities as "Light Manager".
    ZLightMgr& GetLightMgr() { return m_lightMgr; }
    void SetOverlayFont(ZFont* font) { m_overlayFont = font; }

    // The composite target toggle: false until the first Update, which draws
    // into the first target, then flipped every frame.
    bool GetCompositeToggle() const { return m_compositeToggle; }

    // --- Configuration values (registered in registerConfigVars) ---
    // The display's settings ([CRT], [Anaglyph], [NTSC], [Video], [Lighting],
    // [Audio] Reverb, [Reverb], ShowMinimap): their one home, which the
    // display reads.
    DisplaySettings m_displaySettings;
    bool m_altDownJump = false;
    bool m_showInteractPrompts = false;
    float m_transitionSpeed = 0.0f;
    // Not a variable: how fast the player's speed settles on slippery ground.
    float m_lowFrictionRate = 0.0f;

    // Written by the display's anaglyph set-up and room loading.
    float m_anaglyphOffset[2] = {0.0f, 0.0f};
    float m_anaglyphTint[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    bool m_silhouetteOnColor = false;

    // The packed reverb word of the current settings (0 while Reverb is off).
    uint32_t PackReverbWord() const;

private:
    void LoadAutosave();
    // Reads a campaign file into root: its "Campaign" node (root itself or a
    // child), or nullptr when the file cannot be read or holds none, with
    // the reason in why.
    static const ZDefNode* ReadCampaignFile(const ZString& campaignFile, ZDefNode& root, const char** why);
    // The CRT reference backdrop joins the scene, hidden, under its name.
    void CreateCRTReference();
    void DestroyCRTReference();
    void CreateDialogBackdrop();
    // "#DrovaniSkyreach" at the top right, while DemoMode is on.
    void DrawDemoMark();
    // Rebuilds the item icon sheet.
    void BuildItemSheet();
    void ReleaseItemSheet();
    // Lets go of the synthesizer's sound, when the game made it.
    void ReleaseSynthVoice();

    // Every retired and current room entity goes (saved first), with the ids
    // waiting to be made, and both layer entities.
    void DestroyRoomWorld();
    void EnsureWorldEntities();

    MapData m_mapData;
    ZArray<uint32_t> m_pendingInstances;
    uint32_t m_roomLoads = 0;  // counts LoadRoom calls
    std::map<uint32_t, std::pair<int32_t, int32_t>> m_instanceRooms;  // instance id -> room
    std::map<uint32_t, std::pair<int32_t, int32_t>> m_entityHomes;    // GUID -> home room
    std::vector<EdgeRecord> m_roomEdges;
    RoomConditions m_roomConditions;
    std::vector<KorvEntity*> m_roomEntities;     // owned
    std::vector<ZEntity*> m_spawnedEntities;     // owned
    std::vector<ZEntity*> m_retiredEntities;     // owned, deleted at the next fixed step
    ZArray<uint32_t> m_debugStarts;
    WorldEntity* m_worldEntity = nullptr;        // owned
    DynWorldEntity* m_dynWorldEntity = nullptr;  // owned
    float m_roomCamera[2] = {128.0f, 112.0f};
    float m_previousRoomShift[2] = {0.0f, 0.0f};
    float m_panShift[2] = {0.0f, 0.0f};
    ZVector3 m_previousRoomCamera;
    bool m_roomFrameKept = false;
    float m_checkpoint[2] = {0.0f, 0.0f};
    ZVector3 m_depthHolder;
    ZDefNode m_campaign;
    ZString m_campaignFile;
    ZString m_damagedSave;  // not yet told to the player
    ZHashedString m_campaignId = ZHashedString::None();
    ZString m_campaignPrefix;
    ZArray<ZDefNode> m_mapList;
    ZArray<ZDefNode> m_paletteList;
    ZString m_mapName;
    ZHashedString m_mapId;
    bool m_overworld = false;
    Player* m_player = nullptr;  // owned
    GroupStore* m_groupStore = nullptr;  // owned
    std::unique_ptr<SpritesShader> m_spritesShader;  // outlives the player's sprite
    std::unique_ptr<TileLayerMesh> m_spriteQuad;     // outlives the player's and the ghost's sprites
    int32_t m_atlasSide = 0;
    bool m_compositeToggle = false;

    GameVoice* m_voice = nullptr;
    std::unique_ptr<SynthGameVoice> m_synthVoice;  // the voice init made, if any
    ZLightMgr m_lightMgr;
    std::unique_ptr<GameDisplay> m_display;
    const PowerupHolder* m_powerups = nullptr;
    const SessionHolder* m_session = nullptr;
    PlaySession m_playSession;
    ZSpriteBatch* m_itemSheet = nullptr;
    ZFont* m_overlayFont = nullptr;  // set by the display chain
    ZFont* m_textFont = nullptr;     // set by the display chain
    mutable char m_versionText[32] = {};
};

// Reads a map's back colour into R, G, B, A by the engine's hex-colour rule
// (ZColor32::FromHexString: missing pairs 0, alpha 255, a non-hex digit 0).
// False when the text is not "RRGGBB" or "RRGGBBAA" (optional leading "#"),
// so the caller can say so; an empty text is opaque black and true.
bool ParseBackColour(const ZString& text, uint8_t out[4]);

// Renames a save that cannot be read to "<path>.damaged" (then ".damaged2",
// ".damaged3", ... so an earlier one is never replaced); answers the new
// path, or an empty text when it could not be moved.
ZString MoveDamagedSaveAside(const ZString& path);
