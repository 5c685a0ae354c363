#pragma once

#include <cstdint>

#include "foundation/ZAppInfo.h"
#include "foundation/ZArray.h"
#include "foundation/ZHashedString.h"
#include "foundation/ZINIFile.h"
#include "foundation/ZMap.h"
#include "foundation/ZString.h"
#include "foundation/ZTimer.h"
#include "foundation/ZVector4.h"
#include "framework/ZConsole.h"
#include "framework/ZConsoleCommand.h"
#include "renderer/ZDisplayModes.h"
#include "renderer/ZRenderHost.h"
#include "framework/ZEngineConfigVars.h"
#include "platform/window/window.h"

class ZCamera;
class ZCinematic;
class ZEntity;
class ZFXAAFilter;
class ZFont;
class ZMenu;
class ZRenderable;
class ZScreenQuad;
class ZScreenRenderTarget;
class ZShader;
class ZSpriteBatch;
class ZTexturedShader;
class ZResolutionListener;
class ZWindow;
struct ZRenderVideoSettings;
struct ZWindowDesc;

// The engine's application object: one per process, derived by the game,
// which overrides single operations and calls the base version first. It is
// the application description (ZAppInfo) and owns the engine's configuration
// variables (ZEngineConfigVars).
//
// Life: construct -> Run (preinit, init, postinit, the main loop, shutdown)
// -> deleted by the program's entry. Everything runs on the main thread.
//
// Ending the program always goes through Exit: closing the window, SIGINT,
// SIGTERM and SIGHUP post a quit request that the next PumpMessages turns into Exit
// (Alt+F4 calls it at once); shutdown then writes Config.ini, the bindings
// and the console memory before the engine's singletons are released.
class ZBaseGame : public ZAppInfo, public ZEngineConfigVars, public ZRenderHost {
public:
    // The base game's own title; a game returns its own from its getters.
    static constexpr const char* kEngineGameTitle = "ZORP Game";
    static constexpr const char* kWindowClassName = "Default ZORP Window Class";
    // The largest window side when the display tells nothing of its modes.
    static constexpr int32_t kLargestUnknownDisplaySide = 16384;
    // The rate frames are paced to when the display does not say its own.
    static constexpr uint32_t kDefaultRefreshRate = 60;

    ZBaseGame();
    ~ZBaseGame() override;
    ZBaseGame(const ZBaseGame&) = delete;
    ZBaseGame& operator=(const ZBaseGame&) = delete;

    // The base-game singleton: the game object made first. When none exists
    // and the game has not exited, a plain ZBaseGame is made.
    static ZBaseGame* GetInstance();
    // The singleton or null, making nothing.
    static ZBaseGame* PeekInstance();
    // Deletes the singleton and clears the slot (the program's entry, at the end).
    static void DestroyInstance();
    // Set once by Exit: the loop stops, Render draws nothing, accessors of the
    // description create nothing.
    static bool IsExiting();

    // The program's entry calls this once with the game object and the four
    // start-up values: stores them, runs preinit, init and postinit, the main
    // loop, then shutdown. SIGINT, SIGTERM and SIGHUP ask for a quit while it runs.
    static void Run(ZBaseGame* game, uintptr_t instance, uintptr_t previousInstance, const char* commandLine,
                    int32_t showCommand);
    // One pass of the main loop. False when the pump answered stop; the caller
    // then runs shutdown (no frame ran in that pass).
    bool RunFrame();

    // --- The application description ---
    const char* GetGameFolderName() const override { return kEngineGameTitle; }
    bool UsesUTF8Alt() const override { return false; }
    bool IsLogging() const override { return m_doLogging; }
    void SetLogging(bool on) override { m_doLogging = on; }
    // "Checked stack:" and the name stack's names.
    bool CheckStack(char* buffer, uint32_t size) override;
    // Stops every sound, then releases every sound.
    void StopAudio() override;

    virtual const char* GetConfigFileName() const { return "Config.ini"; }
    virtual const char* GetConsoleMemoryFileName() const { return "ConsoleMemory.txt"; }
    virtual const char* GetControlBindingsFileName() const { return "ControlBindings.bnd"; }
    virtual const char* GetSplashImageName() const { return ""; }
    virtual const char* GetHeaderImageName() const { return "header.bmp"; }
    virtual const char* GetLanguageListFileName() const { return "Language List.ini"; }
    virtual const char* GetVersionFileName() const { return "Version.ini"; }
    virtual const char* GetScreenshotPrefix() const { return "screen_"; }
    virtual const char* GetGameTitle() const { return kEngineGameTitle; }
    virtual const char* GetVersionText() const { return "1.00.0000"; }
    virtual const char* GetWebsiteURL() const { return "https://korvanth.example/"; }
    virtual const char* GetEngineName() const { return "ZORP Game Engine"; }
    // "1.08.<build>", the build from Version.ini ("Version"/"EngineVersion");
    // a temporary string.
    virtual const char* GetEngineVersionText() const;
    virtual const char* GetLegalNotice() const;
    virtual const char* GetAuthor() const { return "Korvanth Works"; }
    virtual const char* GetWebsiteURL2() const { return GetWebsiteURL(); }
    virtual const char* GetWebsiteName() const { return "korvanth.example"; }

    // --- The main loop (one pass: PumpMessages, UpdateTiming, then unless
    // minimized the due FixedUpdates, Update, TickUpdateRegistry, PreRender,
    // Render, PostRender) ---
    // Empties the message queue; false once the game is exiting or a quit
    // message came (which calls Exit).
    virtual bool PumpMessages();
    virtual bool IsNotMinimized();
    // Frame times, steps due and the per-frame services.
    virtual void UpdateTiming();
    // Once per drawn frame: histories, the engine's own keys and controls,
    // the frame-rate display, the console.
    virtual void Update();
    // One fixed step.
    virtual void FixedUpdate();
    // The game-time list of the update registry.
    virtual void TickUpdateRegistry();
    virtual void PreRender() {}
    virtual void Render();
    virtual void PostRender() {}

    // --- Console and command line ---
    // Registers the engine's console commands; a game's override calls this
    // first and then registers its own.
    virtual void RegisterConsoleCommands();
    // Adds a command, or replaces the one of that name (names ignore case).
    void RegisterConsoleCommand(const char* name, ZConsoleHandler handler, const char* usage, bool developerOnly);
    const ZMap<ZHashedString, ZConsoleCommand>& GetConsoleCommands() const { return m_consoleCommands; }
    // The console's entry: prints "> <line>", splits the line and dispatches it.
    void ExecuteConsoleLine(const char* line);
    // Runs the command the first word names (word 0 ignoring case); otherwise
    // prints "command "<verb>" unrecognized". True when a command ran. A game's
    // override handles its own words first and calls this for the rest.
    virtual bool ExecuteConsoleCommand(const ZConsoleWordList& words);
    // Splits a non-empty text like a console line and hands the words to
    // HandleCommandLineArgs (pass 1 when secondPass).
    void RunCommandLineText(const char* text, bool secondPass);
    // The commands whose names match the text's first word: a prefix match
    // while that word is still being typed, the whole name once a blank ended
    // it; developer-only ones only while DevMode is on. Answers the length of
    // the first word (0 without one).
    int32_t CollectConsoleCompletions(const char* text, ZArray<ZConsoleCompletion>& out) const;
    // Pass 0 runs before the subsystems start, pass 1 at the end of postinit.
    // "TestLoc" (pass 0) turns pseudo-localisation on; "FontGen" is known and
    // does nothing.
    virtual void HandleCommandLineArgs(const ZArray<ZString>& words, int32_t pass);

    // --- Start-up and shutdown ---
    virtual void preinit();
    virtual void init();
    virtual void postinit();
    // Mounts the user's Mods folder, then "Engine.zpk" (MountEnginePackage).
    virtual void addStreamSources();
    // Tries a write in the user's settings folder; when it fails (a file in
    // the folder's place, no permission, a full disk) says so once, in the log
    // and a box, and start-up goes on. True when the folder can be written.
    bool CheckUserFolder();
    // Mounts the engine's package. A missing or damaged one is named once, with
    // where it was looked for, in the log and in a box; start-up goes on
    // without it. True when it opened.
    bool MountEnginePackage(const char* path);
    // Fills the window class: its name and the engine's window procedure.
    virtual void setupWindowClass(ZWindowDesc& desc);
    virtual void setupWindow();
    virtual void shutdown();

    // The render set-up steps below, in the order init runs them.
    void SetUpRenderPasses();
    // The set-up steps init runs in this order.
    virtual void SetPreHUDDefaultRenderTarget();
    virtual void CreateRenderPasses();
    virtual void SetFinalDefaultRenderTarget();
    virtual void CreateHUDRenderPasses();
    virtual void SetActualDefaultRenderTarget();
    virtual void CreateFinalRenderPass();
    virtual void CreateRenderGroups();
    virtual void AssignGroupsToPasses();
    // Letterboxes or pillarboxes the final pass inside the window at the
    // picture's aspect (FixedAspectRatio when set, else the render size's,
    // inverted for a screen on its side). Runs again on every change of the
    // screen metrics.
    virtual void FitFinalPassViewport();
    // The final pass's relative viewport for those values; the whole window
    // when it has no area or the aspect is not a positive number.
    static void ComputeFinalViewport(float fixedAspectRatio, float aspectRatio, int32_t tate,
                                     int32_t windowWidth, int32_t windowHeight, float& x, float& y, float& width,
                                     float& height);
    virtual void CreateSoundGroups();
    virtual void CreateControls();
    virtual void LoadControlBindings();
    // Called by the bindings loader (and the controls menu's reset), not by init.
    virtual void SetUpDefaultControlBindings();
    virtual void AddLocStringFiles();
    virtual void AddLocLanguages();
    // Holds the engine frame time at 0 until the first frames run smoothly.
    virtual void StartupThrottling(float& engineFrameTime);
    // Runs once when throttling ends.
    virtual void OnStartupThrottlingDone() {}
    // Runs just before the renderer starts.
    virtual void OnPreInitRenderer() {}
    // Runs first in preinit.
    virtual void OnPreInit() {}

    // --- Built-in names (a game renames one by overriding its getter) ---
    virtual ZHashedString GetPreHUDTargetSetterPassName() const;
    virtual ZHashedString GetDefaultPassName() const;
    virtual ZHashedString GetFinalTargetSetterPassName() const;
    virtual ZHashedString GetPreHUDPassName() const;
    virtual ZHashedString GetHUDPassName() const;
    virtual ZHashedString GetMenuPassName() const;
    virtual ZHashedString GetConsolePassName() const;
    virtual ZHashedString GetActualTargetSetterPassName() const;
    virtual ZHashedString GetFinalPassName() const;
    virtual ZHashedString GetDefaultGroupName() const;
    ZHashedString GetDefaultBackdropGroupName() const override;
    virtual ZHashedString GetDefaultAlphaGroupName() const;
    virtual ZHashedString GetPreHUDGroupName() const;
    virtual ZHashedString GetHUDGroupName() const;
    virtual ZHashedString GetHUDGlyphGroupName() const;
    virtual ZHashedString GetMenuGroupName() const;
    virtual ZHashedString GetMenuGlyphGroupName() const;
    virtual ZHashedString GetMenuBackdropGroupName() const;
    virtual ZHashedString GetMenuUnderlayGroupName() const;
    virtual ZHashedString GetConsoleBackdropGroupName() const;
    virtual ZHashedString GetConsoleGroupName() const;
    virtual ZHashedString GetConsoleGlyphGroupName() const;
    virtual ZHashedString GetFinalGroupName() const;
    virtual ZHashedString GetSFXAudioGroupName() const;
    virtual ZHashedString GetBGMAudioGroupName() const;
    virtual ZHashedString GetTitleScreenGroupName() const;
    virtual ZHashedString GetNullName() const { return ZHashedString::None(); }
    // The group a kind of object draws in: the default group for every kind.
    virtual ZHashedString GetGroupFor(ZHashedString /*kind*/) const { return GetDefaultGroupName(); }

    // --- Defaults of the built-in screens ---
    virtual const char* GetTitleTextureFile() const { return "default_title.dds"; }
    virtual float GetTitleScale() const { return 0.5f; }
    virtual float GetTitleOffsetY() const { return 0.35f; }
    // The title menu shows the title picture, not the title as text.
    virtual bool ShowsTitleCard() const { return true; }
    virtual bool ShowsTitleText() const { return false; }
    virtual const char* GetCalibrationTextureFile() const { return "default_calibration.dds"; }
    virtual float GetCalibrationScale() const { return 0.45f; }
    virtual float GetCalibrationOffsetY() const { return 0.3f; }
    // Menus draw their underlay panels.
    virtual bool ShowsMenuUnderlays() const { return true; }
    virtual int32_t GetWindowIconId() const { return 0; }

    // --- Factories of the engine's default objects (the caller owns each) ---
    virtual ZMenu* CreateTitleMenu(int32_t argument);
    virtual ZMenu* CreatePauseMenu();
    virtual ZMenu* CreateControlsMenu();
    virtual ZMenu* CreateControlGroupsMenu();
    virtual ZMenu* CreateJoysticksMenu();
    virtual ZMenu* CreateMouseMenu();
    virtual ZMenu* CreateOptionsMenu();
    virtual ZMenu* CreateAboutMenu();
    virtual ZMenu* CreateLanguageMenu();
    virtual ZMenu* CreateVideoMenu();
    virtual ZMenu* CreateBrightnessMenu();
    virtual ZMenu* CreateAudioMenu();
    virtual ZMenu* CreateGameOptionsMenu();
    virtual ZMenu* CreateConfirmationMenu(bool withCancel);
    virtual ZMenu* CreateBindingsMenu(ZHashedString group, ZHashedString control);
    virtual ZMenu* CreateTextEntryMenu(bool allowCancel);
    // The pre-HUD pass's shader for the current FXAA level.
    virtual ZFXAAFilter* CreateFXAAFilter();
    // The final pass's shader ("__Final_Pass Shader").
    virtual ZShader* CreateFinalPassShader();
    // The depth backdrop entity, its shader and the unit quad it draws.
    virtual ZEntity* CreateDepthBackdrop();
    ZShader* CreateDepthBackdropShader() override;
    ZRenderable* CreateBackdropQuad() override;
    // The shader of the panels behind menus, loaded.
    virtual ZTexturedShader* CreateMenuUnderlayShader();
    // Whether LoadEngineAssets makes the depth backdrop.
    virtual bool WantsDepthBackdrop() const { return true; }
    // The camera a view draws with: the engine's camera for every view.
    virtual ZCamera* GetViewCamera(int32_t /*view*/) const { return m_camera; }
    // The start-up splash: the engine's logo sequence.
    virtual ZCinematic* CreateIntroSplash();
    // Whether the console may open and close while DemoMode is on.
    virtual bool IsConsoleAllowed() const { return false; }

    // --- Fonts held by the base game (none until the engine assets load) ---
    virtual ZFont* GetHUDFont() const { return m_hudFont; }
    virtual ZFont* GetMenuFont() const { return m_menuFont; }
    virtual ZFont* GetConsoleFont() const { return m_consoleFont; }
    // The engine assets: glyph sheets first (a game may add its own), then the
    // fonts, the console backdrop, the camera, the two screen-sized targets
    // with their quads, the targets of the target-switching passes and the
    // depth backdrop. Each finds its render group through the name getters.
    virtual void PreLoadEngineAssets();
    void LoadEngineAssets();
    // Takes every asset out of its render group and the glyph-sheet manager
    // and frees it (shutdown). Safe to call again.
    void ReleaseEngineAssets();

    // The engine's glyph sheets ("xbox_hud" ... "ui_menu"), by role.
    enum GlyphSheet : uint32_t {
        kXboxHUDSheet,
        kXboxMenuSheet,
        kXboxConsoleSheet,
        kGenHUDSheet,
        kGenMenuSheet,
        kGenConsoleSheet,
        kUIMenuSheet,
        kGlyphSheetCount
    };
    ZSpriteBatch* GetGlyphSheet(GlyphSheet sheet) const {
        return sheet < kGlyphSheetCount ? m_glyphSheets[sheet] : nullptr;
    }
    // The engine's camera (null until the assets load).
    ZCamera* GetCamera() const { return m_camera; }
    ZRenderable* GetConsoleBackdrop() const { return m_consoleBackdrop; }
    ZScreenRenderTarget* GetPreHUDTarget() const { return m_preHUDTarget; }
    ZScreenQuad* GetPreHUDQuad() const { return m_preHUDQuad; }
    ZScreenRenderTarget* GetFinalTarget() const { return m_finalTarget; }
    ZScreenQuad* GetFinalQuad() const { return m_finalQuad; }
    // While the final pass would only copy the final target to the back
    // buffer texel for texel (the engine's final pass shader with its plain
    // program, over the whole back buffer of the target's size), the passes
    // after the final target's setter draw straight into the back buffer and
    // the final pass is skipped; otherwise they draw into the final target
    // and the final pass runs. Render calls it before every frame; true when
    // the frame goes straight to the back buffer.
    bool ChooseFinalTarget();
    // Clears the pre-HUD and final targets and the back buffer (Render, in
    // the scene, after ChooseFinalTarget), each only where no pass of the
    // frame draws over every pixel; the depth always.
    void ClearFrameTargets();
    // One frame in the open scene: ChooseFinalTarget, ClearFrameTargets and
    // the passes of the named set (none: the default list). Where the depth
    // backdrop would draw one plain colour and a clear gives the same picture
    // (ZDepthBackdrop::CanClearInstead), the default pass clears its target
    // to that colour when it binds it and the quad is left out of the frame.
    void DrawFrame(ZHashedString passSetName);
    // The depth backdrop's quad, or null.
    ZRenderable* GetDepthBackdropQuad() const;
    // Named backdrops ("Depth Backdrop"); owned.
    const ZMap<ZHashedString, ZEntity*>& GetBackdrops() const { return m_backdrops; }
    // Stores a named backdrop, owned from then on; one stored under that name
    // before is deleted. Null deletes and forgets the name's backdrop.
    void SetBackdrop(ZHashedString name, ZEntity* backdrop);

    // --- Pause, exit, activation ---
    // Activation by a click on the frame does not trap the cursor.
    virtual void ActivateWindow(bool byClick);
    virtual void DeactivateInput();
    // Posts the quit message; the next PumpMessages calls Exit.
    virtual void RequestQuit();
    // Counted pause requests: the first push pauses, the pop of the last unpauses.
    virtual void PushPause(bool push);
    // Leaves the main loop (once; later calls do nothing).
    virtual void Exit();
    // A menu is open or queued to open, the console is open, or edit mode is on.
    bool IsUIActive() const;
    // New Game and quick start: the engine shows the listed entities and
    // answers true; a game that prepares its world itself answers false.
    virtual bool StartNewGame() { return ShowListedEntities(); }
    // Ends the running game; saveFirst lets a game save its progress first.
    virtual void ResetGame(bool saveFirst) { ResetEntities(saveFirst); }
    // The title menu opened: the engine clears the world, stops every
    // cinematic and hides the entities.
    virtual void OnTitleMenuOpened(ZMenu* /*menu*/) { EndListedEntities(); }
    // The QuickStart setting is on, or the game took its start-up option (SetQuickStartArg).
    bool IsQuickStart() const { return m_quickStart || m_quickStartArg; }
    bool IsDemoMode() const { return m_demoMode; }
    virtual bool IsGamePaused();
    virtual void SetPaused(bool paused);
    virtual void RequestScreenshot() { m_screenshotRequested = true; }
    // Writes the back buffer to the next free "<prefix><nnnn>.bmp" of the
    // user's screenshots folder.
    void TakeLegacyScreenshot();
    // The screenshot a request asks for, in the ScreenshotFormat: "bmp" takes
    // the legacy path; every other format writes the next free
    // "<prefix><nnnn>.png" of the screenshots folder.
    void TakeScreenshot();
    virtual void CancelScreenshot() { m_screenshotRequested = false; }
    virtual uint32_t FrameRateHistoryLength() const { return 16; }
    virtual uint32_t GetStepCountHistoryLength() const { return 32; }
    // Developer-mode edit mode; closes the console and the menus on entry.
    // Does nothing unless DevMode is on and the game allows edit mode.
    virtual void SetEditMode();
    virtual bool IsEditModeAllowed() const { return true; }
    // Puts a game's full-screen scene effects back to rest; the engine has
    // none and answers true.
    virtual bool ResetSceneEffects() { return true; }
    virtual bool IsEditMode() const { return m_editMode; }
    virtual void OnEditModeChanged(bool /*on*/) {}
    virtual bool IsDevMode() const { return m_devMode; }

    // --- The game's entity collections ---
    // Three entry points that end in FlushEntityList(false) whatever their
    // argument: Reset goes through Flush; postinit uses Flush, Exit Clear.
    virtual void ResetEntities(bool mark);
    virtual void FlushEntities(bool mark);
    virtual void ClearEntities(bool mark);
    // SetListedEntitiesEnabled(true); answers true.
    virtual bool ShowListedEntities();
    // FlushEntityList(false), stop every cinematic, SetListedEntitiesEnabled(false).
    virtual void EndListedEntities();
    // false: save, delete and forget every entity. true: mark those that may
    // be deleted as pending (deleted at the next fixed step).
    virtual void FlushEntityList(bool markOnly);
    virtual void FlushEntityMap(bool markOnly);
    virtual void SetListedEntitiesEnabled(bool enabled);
    virtual void SetMappedEntitiesEnabled(bool enabled);
    // Deletes the pending entities of the list (once per fixed step).
    void ProcessDeferredDeletions();
    ZArray<ZEntity*>& GetEntityList() { return m_entityList; }
    ZMap<ZHashedString, ZEntity*>& GetEntityMap() { return m_entityMap; }

    // --- Diagnostics ---
    virtual void GetBuildInfo(ZString& out) const;
    // "0x%08x" of the ELF hash of the override name, else the computer name.
    void GetMachineIdText(ZString& out) const;
    void SetMachineIdOverride(const ZString& name) { m_machineIdOverride = name; }
    const ZString& GetMachineIdOverride() const { return m_machineIdOverride; }
    virtual bool IsFreeCameraOn() const { return false; }
    // Flies the view camera one fixed step from the keys held now (W/S along
    // its forward axis, A/D along its side axis, Space/left Ctrl along its up
    // axis, 3 units a second; Q/E roll 1.5 radians a second) and this frame's
    // mouse movement (yaw and pitch); only while the window has the focus and
    // the game is not paused.
    virtual void StepFreeCamera();
    ZArray<ZHashedString>& GetNameStack() { return m_nameStack; }

    // --- Base-game utilities ---
    // The mouse cursor in render pixels (out[0] x, out[1] y): stretched,
    // centred, scaled by PixelSize and turned by Tate like the picture.
    void GetCursorClientPos(float out[2]);
    // Opens an address, folder or file with the desktop's handler, leaving
    // exclusive full screen first. False when no handler could be started.
    bool OpenURL(const ZString& url);
    // Copies every default string file into the user's Localization\English folder.
    void DumpStringTable();
    // Copies every package's entries into the user's content-dump folder.
    void DumpAllContent();

    // --- Renderer notifications ---
    virtual void OnPreResetRenderer();
    virtual void OnPostResetRenderer();
    virtual void OnLostDevice();

    // --- Subsystems ---
    // Input, renderer and audio, then RegisterAchievements.
    void initSubSystems();
    // Names the game's achievements once at start-up; the engine has none.
    virtual void RegisterAchievements() {}
    void InitInput();
    void DeinitInput();

    // --- Video state and the window ---
    // Frees or captures the cursor as the pause state says; force re-applies.
    void UpdateCursorState(bool force);
    void UpdateCursorState() { UpdateCursorState(false); }
    void ClipCursorToWindow(bool force);
    bool IsBorderless() const;
    bool IsExclusiveFullscreen() const { return m_fullscreen && !m_fullscreenWindowed; }
    void ResetRenderer();
    // The video variables as the renderer takes them.
    ZRenderVideoSettings GetRenderVideoSettings() const;
    // Sizes the display cannot show are refused with a log line (the previous
    // size is kept); FXAA is held to 0..4.
    void SetAllVideoOptions(int32_t width, int32_t height, bool vsync, bool fullscreen, bool fullscreenWindowed,
                            bool stretch, int32_t fxaa, int32_t tate) override;
    void ApplyWindowStyle(bool exclusive);
    void ToggleFullscreen();
    // Resizes the window around its centre to the wanted client size.
    void AdjustWindowSize();
    // Centres the window on the primary monitor.
    void CenterWindow();
    // The largest window the display allows: its largest mode or monitor
    // (kLargestUnknownDisplaySide each way when nothing says).
    void GetLargestWindowSize(int32_t& width, int32_t& height) const;
    // 1x1 up to the largest window size.
    bool IsWindowSizeAllowed(int32_t width, int32_t height) const;
    // Puts a stored window size the display cannot show (from Config.ini or a
    // "set" of its variables) back to its default, with a log line, so it is
    // neither used nor saved.
    void EnforceWindowSizeLimits();
    // Render size, aspect ratio and HUD mapping from the video variables
    // (after EnforceWindowSizeLimits); tells the listeners, then
    // OnScreenMetricsChanged.
    void UpdateScreenMetrics();
    // Refits the final pass's viewport (FitFinalPassViewport).
    virtual void OnScreenMetricsChanged();
    void AddResolutionListener(ZResolutionListener* listener) override;
    void RemoveResolutionListener(ZResolutionListener* listener) override;
    // Handles a message of the main window (activation, sizing, closing, the
    // system menu key) and hands on the rest. user is the base game.
    static int64_t WndProc(const platform::window::Message& message, void* user);

    // --- Configuration hooks ---
    void SetCameraFieldOfView(float fov) override;
    void SetMouseFactor(float factor) override;
    void ConfineCursor(bool locked) override;
    void SetAudioOptions(float masterVolume, float musicVolume, float soundVolume, float streamWriteDelay,
                         bool multiSynthExclusiveChannels) override;

    // --- State others read ---
    ZConsole& GetConsole() { return m_console; }
    ZWindow* GetWindow() const { return m_window; }
    // The installed window system when the main window exists, else null.
    platform::window::WindowSystem* GetWindowSystem() const;
    const ZINIFile& GetVersionFile() const { return m_versionFile; }
    const ZString& GetComputerName() const { return m_computerName; }
    const char* GetCommandLine() const { return m_commandLine.GetText(); }
    bool IsStartupCancelled() const { return m_startupCancelled; }
    void SetStartupCancelled(bool cancelled) { m_startupCancelled = cancelled; }
    bool IsWindowShown() const { return m_windowShown; }
    // The window was maximized when last sized.
    bool WasMaximized() const { return m_wasMaximized; }
    bool IsCursorFree() const { return m_cursorFree; }
    bool IsThrottlingDone() const { return m_throttlingDone; }
    bool IsScreenshotRequested() const { return m_screenshotRequested; }
    void SuppressPauseThisFrame() { m_pauseSuppressed = true; }
    void SetConsoleLocked(bool locked) { m_consoleLocked = locked; }
    bool IsConsoleLocked() const { return m_consoleLocked; }
    ZFXAAFilter* GetFXAAFilter() const { return m_fxaaFilter; }
    const ZArray<ZResolution>& GetScreenModes() const { return m_screenModes; }
    // Start-up fills the list from the display; tests and tools may give their own.
    void SetScreenModes(const ZArray<ZResolution>& modes) { m_screenModes = modes; }
    float GetAverageFrameRate() const;
    // "<FPS label>: <average rate>\n", the frame-rate display's text.
    ZString GetFrameRateText() const;
    // The recorder's "RM_Rec" or "RM_Play" label.
    ZString GetRecorderLabel() const;
    float GetAverageStepCount() const;

    // Frame timing, in seconds (the step count excepted).
    float GetTrueAbsoluteTime() const { return m_trueAbsoluteTime; }
    float GetTrueDelta() const { return m_trueDelta; }
    float GetEngineFrameTime() const { return m_engineFrameTime; }
    float GetTotalEngineTime() const { return m_totalEngineTime; }
    float GetGameFrameTime() const { return m_gameFrameTime; }
    float GetFrameGameTime() const { return m_frameGameTime; }
    float GetTotalGameTime() const { return m_totalGameTime; }
    float GetFixedTime() const { return m_fixedTime; }
    float GetStepLength() const { return m_stepLength; }
    int32_t GetStepCount() const { return m_stepCount; }
    float GetAccumulator() const { return m_accumulator; }
    float GetLeftoverFraction() const { return m_leftoverFraction; }
    float GetRenderTime() const { return m_renderTime; }
    // Frame pacing: with VSync on, without a device, or when a frame presented
    // nothing, the loop sleeps so that frames come no faster than the
    // display's refresh rate (60 Hz when it is unknown); present does not block
    // everywhere (offscreen, virtual displays, some compositors). On by
    // default; benchmarks of the bare loop switch it off.
    void SetFramePacing(bool on) { m_framePacing = on; }
    bool IsFramePacing() const { return m_framePacing; }
    // The rate the loop paces to, read from the display when first needed and
    // again after a change of the video options.
    uint32_t GetPacingRefreshRate();
    // Two factors on game time (slow motion); 1 each after construction.
    float GetTimeScale(int index) const { return m_timeScales[index]; }
    void SetTimeScale(int index, float scale) { m_timeScales[index] = scale; }

    int32_t GetScreenWidth() const override { return m_screenWidth; }
    int32_t GetScreenHeight() const override { return m_screenHeight; }
    int32_t GetRenderWidth() const override { return m_renderWidth; }
    int32_t GetRenderHeight() const override { return m_renderHeight; }
    float GetAspectRatio() const { return m_aspectRatio; }
    // x scale, y scale, x margin, y margin, units per pixel across and down,
    // x and y pixel offsets of the 1024 x 768 interface frame.
    const float* GetHUDMapping() const { return m_hudMapping; }

    // The display settings the renderer's shaders read (ZRenderHost).
    int32_t GetTateSetting() const override { return m_tate; }
    float GetBrightnessSetting() const override { return m_brightness; }
    bool GetOpaqueDialogBoxes() const override { return m_opaqueDialogBoxes; }
    // The scene's fade to black read by the pre-HUD pass: 0 none, 1 black.
    float GetFadeOut() const override { return m_fadeOut; }
    void SetFadeOut(float amount) { m_fadeOut = amount; }
    // The same as a brightness: 1 full, 0 black (the title menu's fade-in).
    float GetScreenFadeLevel() const { return 1.0f - m_fadeOut; }
    void SetScreenFadeLevel(float level) { m_fadeOut = 1.0f - level; }
    // Anaglyph 3D of the eye being drawn, read by the stereo backdrops. The
    // engine draws without it: no shift, white, full saturation, gamma 1.
    float GetAnaglyphDistance() const override { return 0.0f; }
    float GetAnaglyphDistanceOffset() const override { return 0.0f; }
    ZVector4 GetAnaglyphColor() const override { return ZVector4(1.0f, 1.0f, 1.0f, 1.0f); }
    float GetAnaglyphDesaturation() const override { return 1.0f; }
    ZVector4 GetAnaglyphGamma() const override { return ZVector4(1.0f, 1.0f, 1.0f, 1.0f); }

protected:
    // A game's own start-up option that starts play at once: no intro splash
    // and no waits (IsQuickStart).
    void SetQuickStartArg(const bool on) { m_quickStartArg = on; }
    // A quit was asked for by a signal; the next pump turns it into a quit message.
    static bool TakeSignalQuitRequest();
    // Builds the text of the renderer's start-up warnings box.
    static ZString BuildInitWarningsText(const ZArray<ZHashedString>& keys);

private:
    void RunMainLoop();
    // Sleeps until the next frame is due (see SetFramePacing).
    void PaceFrame();
    void InstallRendererCallbacks();
    void HandleEngineKeys();
    void DrawFrameRate();
    void DrawRecorderLabel();
    void RunThreadWatchdog();
    void AdjustWindow(bool center);
    void WantedClientSize(int32_t& width, int32_t& height) const;
    void SizeReset(int32_t width, int32_t height);
    int64_t HandleMessage(const platform::window::Message& message);
    ZString UserConfigPath(const char* fileName) const;
    void FreeHistories();
    // Frees the pre-HUD shader and puts the new one (or none) in its place,
    // on the pre-HUD quad as well.
    void ReplacePreHUDShader(ZFXAAFilter* filter);
    // Frees one glyph sheet and its shader (PreLoadEngineAssets, ReleaseEngineAssets).
    void ReleaseGlyphSheet(GlyphSheet slot);
    // Frees what LoadEngineAssets made.
    void ReleaseLoadedAssets();
    static void UpdateList(uint8_t mask, float timeStep);

    // Start-up values from the program's entry.
    uintptr_t m_instance = 0;
    uintptr_t m_previousInstance = 0;
    ZString m_commandLine;
    int32_t m_showCommand = 0;

    // Frame timing (seconds).
    float m_trueAbsoluteTime = 0.0f;
    float m_trueDelta = 0.0f;
    float m_totalEngineTime = 0.0f;
    float m_engineFrameTime = 0.0f;
    float m_totalGameTime = 0.0f;
    float m_frameGameTime = 0.0f;
    float m_fixedTime = 0.0f;
    float m_stepLength = 0.0f;
    float m_accumulator = 0.0f;
    float m_leftoverFraction = 0.0f;
    int32_t m_stepCount = 0;
    float m_gameFrameTime = 0.0f;
    float m_renderTime = 0.0f;
    float m_timeScales[2] = {1.0f, 1.0f};

    // The frame's own length, from the previous frame's tick of gTimer to this
    // one's (0 for the first frame, which has none before it). Log lines tick
    // gTimer too, so the true delta of a frame that logged covers only the
    // time since its last line; the frame-rate history takes this instead.
    float m_frameDuration = 0.0f;
    double m_previousFrameElapsed = -1.0;  // gTimer's elapsed time at the last frame; below 0: none yet

    // Rings of the last frames' rates and step counts, with running sums.
    float* m_frameRateHistory = nullptr;
    uint32_t m_frameRateIndex = 0;
    float m_frameRateSum = 0.0f;
    float* m_stepCountHistory = nullptr;
    uint32_t m_stepCountIndex = 0;
    float m_stepCountSum = 0.0f;

    int32_t m_pauseRequests = 0;

    bool m_throttlingDone = false;
    bool m_screenshotRequested = false;
    bool m_pauseSuppressed = false;
    bool m_editMode = false;
    bool m_startupCancelled = false;
    bool m_consoleLocked = false;
    bool m_windowShown = false;
    bool m_cursorFree = false;
    bool m_sizingOrMoving = false;  // between the start and end of a frame drag
    bool m_wasMaximized = false;
    bool m_exitRan = false;
    bool m_quickStartArg = false;  // set by the game's command-line option
    bool m_framePacing = true;
    bool m_framePresented = false;     // this frame's Render presented
    uint32_t m_pacingRefreshRate = 0;  // 0: read it from the display
    uint64_t m_lastFrameEndNs = 0;     // 0: no frame yet

    // Current screen resolution (the window's picture before rotation), the
    // render size, and what derives from them.
    int32_t m_screenWidth = 0;
    int32_t m_screenHeight = 0;
    int32_t m_renderWidth = 0;
    int32_t m_renderHeight = 0;
    float m_aspectRatio = 1.0f;
    float m_fadeOut = 0.0f;
    float m_hudMapping[8] = {};
    ZArray<ZResolutionListener*> m_resolutionListeners;
    platform::window::Point m_savedCursor;

    ZWindow* m_window = nullptr;
    ZConsole m_console{this};
    ZMap<ZHashedString, ZConsoleCommand> m_consoleCommands;
    ZTimer m_startupTimer;
    ZINIFile m_versionFile;
    ZString m_computerName;
    ZString m_machineIdOverride;
    ZArray<ZHashedString> m_nameStack;
    ZArray<ZResolution> m_screenModes;  // distinct, sorted
    ZFXAAFilter* m_fxaaFilter = nullptr;

    // The engine's assets, owned (LoadEngineAssets, ReleaseEngineAssets).
    ZSpriteBatch* m_glyphSheets[kGlyphSheetCount] = {};
    ZFont* m_hudFont = nullptr;
    ZFont* m_menuFont = nullptr;
    ZFont* m_consoleFont = nullptr;
    ZRenderable* m_consoleBackdrop = nullptr;
    ZCamera* m_camera = nullptr;
    ZScreenRenderTarget* m_preHUDTarget = nullptr;
    ZScreenQuad* m_preHUDQuad = nullptr;
    ZScreenRenderTarget* m_finalTarget = nullptr;
    ZScreenQuad* m_finalQuad = nullptr;
    ZShader* m_finalPassShader = nullptr;
    // ChooseFinalTarget skipped the final pass.
    bool m_finalPassSkipped = false;
    ZShader* m_glyphSheetShaders[kGlyphSheetCount] = {};
    // The shaders of the fonts and the console backdrop.
    ZArray<ZShader*> m_assetShaders;
    ZMap<ZHashedString, ZEntity*> m_backdrops;

    ZArray<ZEntity*> m_entityList;
    ZMap<ZHashedString, ZEntity*> m_entityMap;
};
