// Start-up: the entry, the three phases, the window and the subsystems.

#include <cerrno>
#include <cstdio>
#include <string>

#include "audio/ZAudioMgr.h"
#include "entity/ZCommandRunner.h"
#include "entity/ZComponentFactoryChain.h"
#include "entity/ZEngineComponentFactory.h"
#include "entity/ZEntityCommands.h"
#include "foundation/ZLog.h"
#include "foundation/ZPackageFile.h"
#include "foundation/ZStreamMgr.h"
#include "foundation/ZTokenizer.h"
#include "foundation/ZUserFolders.h"
#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "framework/ZLocMgr.h"
#include "framework/ZPlatformGlue.h"
#include "framework/ZRuntimeRand.h"
#include "framework/ZWindow.h"
#include "hmd/ZHMDMgr.h"
#include "input/ZControlMgr.h"
#include "input/ZInputHandler.h"
#include "menu/ZCinematic.h"
#include "menu/ZCinematicMgr.h"
#include "platform/os/clock.h"
#include "platform/os/files.h"
#include "platform/os/system.h"
#include "renderer/ZRenderer.h"

namespace {

using platform::window::WindowSystem;

// The renderer's notifications go to whichever game is current when they run.
void ForwardPreReset() {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->OnPreResetRenderer();
    }
}

void ForwardPostReset() {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->OnPostResetRenderer();
    }
}

void ForwardLostDevice() {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->OnLostDevice();
    }
}

void SetUpDefaultBindingsHook() {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->SetUpDefaultControlBindings();
    }
}

bool IsInputBlockedHook() { return GetCinematicMgr()->IsInputBlocked(); }

// The player's controls read nothing while a menu is open or waiting to open,
// the console is open or the editor runs: typed text and menu keys are not
// moves.
bool IsPlayerInputSuspendedHook() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    return game != nullptr && game->IsUIActive();
}

void OnActiveDeviceClassChangedHook(int32_t /*deviceClass*/) {
    if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
        game->UpdateCursorState(false);
    }
}

// One log line each: a box's text of several lines is folded onto one.
void LogWindowLayerLine(const char* line) {
    std::string folded;
    for (const char* c = line; *c != '\0'; ++c) {
        if (*c == '\r' || *c == '\n') {
            if (!folded.empty() && folded.back() != ' ') folded += ' ';
        } else {
            folded += *c;
        }
    }
    ZLog::Printf("%s", folded.c_str());
}

void FocusMainWindow(const ZBaseGame* game) {
    if (WindowSystem* system = game->GetWindowSystem()) {
        system->SetFocus();
    }
}

}  // namespace

void ZBaseGame::preinit() {
    SetWorkingDirToExe();
    // The window layer's own lines (headless message boxes, a lost display,
    // backend failures) go to the log with the engine's.
    platform::window::SetLogHook(&LogWindowLayerLine);

    ZLog::Printf("ZBaseGame::preinit");
    m_startupTimer.Start();
    OnPreInit();

    ZLog::Printf("Caching primary monitor dimensions...");
    if (WindowSystem* system = platform::window::GetWindowSystem()) {
        m_primaryMonitorWidth = system->GetSystemMetrics(platform::window::SM_CXSCREEN);
        m_primaryMonitorHeight = system->GetSystemMetrics(platform::window::SM_CYSCREEN);
    }

    addStreamSources();
    CheckUserFolder();
    registerConfigVars();

    ZLog::Printf("#### Load version info.");
    m_versionFile.LoadINIFile(GetVersionFileName());
    if (m_versionFile.SectionsBegin() == m_versionFile.SectionsEnd()) {
        // A damaged version file would only show as a version of zero.
        ZLog::Printf("Version file %s is missing or holds no entries; the version shows as 0", GetVersionFileName());
    }
    char version[260];
    std::snprintf(version, sizeof version, "%s (%s) %s (%s)", GetGameTitle(), GetVersionText(), GetEngineName(),
                  GetEngineVersionText());
    ZLog::Printf("%s", version);

    ZLog::Printf("Loading config vars from file...");
    const ZString configPath = UserConfigPath(GetConfigFileName());
    // Logging stays off from here on unless the file switches it on.
    SetLogging(false);
    LoadConfigFile(configPath.GetText());

    ZLog::Printf("Initializing localization... (CRITICAL)");
    ZLog::Printf("Load table of contents...");
    AddLocLanguages();
    AddLocStringFiles();

    ZLocMgr* loc = ZLocMgr::GetInstance();
    const ZString language(m_language);
    ZLog::Printf("Set default path...");
    loc->SetDefaultPath(true);
    loc->ApplyStartupLanguage(language.GetText(), true);

    ZLog::Printf("Registering console command callbacks...");
    RegisterConsoleCommands();

    ZLog::Printf("Running command line arguments (first pass)...");
    RunCommandLineText(m_commandLine.GetText(), false);

    ZLog::Printf("Get and parse screen modes...");
    GetScreenResolutions(m_screenModes);
    if (m_startupCancelled) {
        return;
    }

    InitOperatorTokens();
    RegisterComponentFactory(CreateComponentByName);
    // The engine's entity verbs are offered before the game's commands.
    RegisterCommandHandler(EntityCommandDispatcher);

    ZLog::Printf("Initializing localization... (NON-CRITICAL)");
    ZLog::Printf("Set default path...");
    loc->SetDefaultPath(false);
    loc->ApplyStartupLanguage(language.GetText(), false);
}

void ZBaseGame::init() {
    ZLog::Printf("ZBaseGame::init");
    ZLog::Printf("Set current screen res...");
    UpdateScreenMetrics();

    // The name serves the machine id; nothing about the machine is logged.
    ZLog::Printf("Date and time logging...");
    m_computerName = os::ComputerName().c_str();

    ZLog::Printf("Setting up windows...");
    ZLog::Printf("Window class registering");
    ZWindowDesc classDesc;
    setupWindowClass(classDesc);
    WindowSystem* system = platform::window::GetWindowSystem();
    if (system == nullptr || !system->RegisterWindowClass(classDesc.className.GetText())) {
        ZLog::Printf("Class registration failed");
    }
    setupWindow();

    ZLog::Printf("RNG seeding");
    SeedRuntimeRand(static_cast<uint32_t>(os::UnixTime()));

    ZLog::Printf("Initializing frame time array");
    FreeHistories();
    m_frameRateHistory = new float[FrameRateHistoryLength()]();
    ZLog::Printf("Initializing step num array");
    m_stepCountHistory = new float[GetStepCountHistoryLength()]();
    m_editMode = false;

    GetHMDManager()->IsActive();
    initSubSystems();

    ZLog::Printf("Initialize console...");
    m_console.Init();
    ZLog::Printf("Load console memory...");
    m_console.LoadMemory(UserConfigPath(GetConsoleMemoryFileName()).GetText());

    SetUpRenderPasses();
    CreateSoundGroups();
    CreateControls();
    LoadControlBindings();
    PreLoadEngineAssets();
    LoadEngineAssets();
}

void ZBaseGame::SetUpRenderPasses() {
    SetPreHUDDefaultRenderTarget();
    CreateRenderPasses();
    SetFinalDefaultRenderTarget();
    CreateHUDRenderPasses();
    SetActualDefaultRenderTarget();
    CreateFinalRenderPass();
    CreateRenderGroups();
    AssignGroupsToPasses();
}

void ZBaseGame::postinit() {
    ZLog::Printf("ZBaseGame::postinit");

    if (!m_startupCancelled) {
        if (IsExclusiveFullscreen()) {
            ResetRenderer();
        }
        m_windowShown = true;
        if (WindowSystem* system = GetWindowSystem()) {
            system->ShowWindow(platform::window::SW_SHOWNORMAL);
            system->SetForegroundWindow();
        }
        UpdateCursorState(true);
        ClipCursorToWindow(false);
    }

    FlushEntities(false);

    // The first frame starts from the devices' current state.
    ZInputHandler* input = GetInputHandler();
    ZControlMgr* controls = GetControlMgr();
    input->PollXInput(0.0f, controls->GetActiveDeviceClass());
    input->PollXInput(0.0f, controls->GetActiveDeviceClass());
    controls->ResetActiveDeviceClass();

    gTimer.Tick();
    ZLog::Printf("####");
    ZLog::Printf("#### Initialization took %f seconds. Resetting gTimer.", gTimer.GetElapsed());
    ZLog::Printf("####");
    gTimer.Start();

    if (!m_startupCancelled) {
        ZCinematic* const splash = CreateIntroSplash();
        if (!GetCinematicMgr()->Play(splash, ZHashedString(""), -1)) delete splash;
        if (m_startInConsole && (!m_demoMode || IsConsoleAllowed())) {
            m_console.Toggle();
        }
    }

    ZLog::Printf("Running command line arguments (second pass)...");
    RunCommandLineText(m_commandLine.GetText(), true);
}

void ZBaseGame::addStreamSources() {
    ZLog::Printf("ZBaseGame::addStreamSources");
    ZStreamMgr* streams = ZStreamMgr::GetInstance();
    streams->AddDirectorySource(GetUserFolderPath(GetGameFolderName(), GetModsFolder(), false).GetText());
    MountEnginePackage("Engine.zpk");
}

bool ZBaseGame::CheckUserFolder() {
    // One file written and removed in the folder that holds the settings:
    // without this nothing would tell the player that nothing is kept.
    const ZString folder = GetUserFolderPath(GetGameFolderName(), GetConfigFolder(), true);
    const std::string probe = std::string(folder.GetText()) + ".write-check";
    int error = 0;
    if (std::FILE* file = os::OpenFile(probe, "wb", &error)) {
        const bool written = std::fputc('.', file) != EOF;
        const bool closed = std::fclose(file) == 0;
        os::DeleteFile(probe);
        if (written && closed) {
            return true;
        }
        error = error != 0 ? error : EIO;
    }
    const std::string shown = os::TranslatePath(folder.GetText());
    const std::string reason = os::ErrorText(error);
    ZLog::Printf("User folder %s cannot be written (%s); settings, control bindings, console memory, the log and "
                 "screenshots will not be kept",
                 shown.c_str(), reason.c_str());
    char text[1024];
    std::snprintf(text, sizeof text,
                  "The folder for your settings cannot be written:\n%s\n(%s)\n\nThe game goes on, but settings, "
                  "control bindings, the log and screenshots will not be kept. Check that the documents folder is "
                  "a folder you may write to.",
                  shown.c_str(), reason.c_str());
    platform::window::MessageBox(GetGameTitle() != nullptr ? GetGameTitle() : "Warning", text,
                                 platform::window::MB_OK | platform::window::MB_ICONWARNING);
    return false;
}

bool ZBaseGame::MountEnginePackage(const char* path) {
    ZStreamMgr* streams = ZStreamMgr::GetInstance();
    const uint32_t before = streams->GetSourceCount();
    streams->AddPackageSource(path);
    const bool mounted = streams->GetSourceCount() > before;
    const ZPackageFile* package = mounted ? streams->GetSource(before).package : nullptr;
    if (package != nullptr && package->IsOpen() && !package->IsDamaged()) {
        return true;
    }
    // Without it every engine text, font and effect is missing: one box says
    // which file and where, before the boxes of the single files it holds.
    const std::string where = os::FullPath(path != nullptr ? path : "");
    char text[1024];
    if (!mounted) {
        ZLog::Printf("Engine package %s not found (looked for at %s)", path, where.c_str());
        std::snprintf(text, sizeof text,
                      "The engine package \"%s\" is missing.\n\nIt was looked for at %s.\n\nThe game goes on "
                      "without it: texts, fonts and effects will be missing. Reinstalling the game restores it.",
                      path, where.c_str());
    } else {
        ZLog::Printf("Engine package %s is damaged and cannot be read whole (%s)", path, where.c_str());
        std::snprintf(text, sizeof text,
                      "The engine package \"%s\" is damaged and cannot be read whole.\n\nIt is at %s.\n\nThe game "
                      "goes on with what can be read: texts, fonts and effects may be missing. Reinstalling the game "
                      "restores it.",
                      path, where.c_str());
    }
    platform::window::MessageBox(GetGameTitle() != nullptr ? GetGameTitle() : "Error", text,
                                 platform::window::MB_OK | platform::window::MB_ICONERROR);
    return false;
}

void ZBaseGame::setupWindowClass(ZWindowDesc& desc) {
    ZLog::Printf("ZBaseGame::setupWindowClass");
    desc.className = kWindowClassName;
    desc.windowProc = WndProc;
    desc.procUser = this;
}

void ZBaseGame::setupWindow() {
    ZLog::Printf("ZBaseGame::setupWindow");
    ZLog::Printf("Window creation");

    ZWindowDesc desc;
    desc.className = kWindowClassName;
    desc.windowProc = WndProc;
    desc.procUser = this;
    desc.instance = m_instance;
    desc.title = GetGameTitle();
    desc.showCommand = platform::window::SW_HIDE;
    const bool exclusive = IsExclusiveFullscreen();
    if (exclusive) {
        desc.width = m_widthFullscreen;
        desc.height = m_heightFullscreen;
        desc.style = platform::window::WS_POPUP | platform::window::WS_SYSMENU;
    } else if (IsBorderless()) {
        desc.style = platform::window::WS_POPUP | platform::window::WS_SYSMENU;
        desc.width = m_fullscreenWindowedStretch ? m_primaryMonitorWidth : m_widthFullscreen;
        desc.height = m_fullscreenWindowedStretch ? m_primaryMonitorHeight : m_heightFullscreen;
    } else {
        desc.width = m_widthWindowed;
        desc.height = m_heightWindowed;
        desc.style = 0x00CE0000;  // caption, system menu, sizing frame, minimize box
    }
    // The new window's create message reaches WndProc during creation, so the
    // old pointer must be gone before then.
    delete m_window;
    m_window = nullptr;
    m_window = CreateAppWindow(desc);

    if (!exclusive) {
        AdjustWindowSize();
        CenterWindow();
    }
    if (WindowSystem* system = GetWindowSystem()) {
        system->SetTopmost(false);
    }
    ClipCursorToWindow(false);
}

void ZBaseGame::initSubSystems() {
    ZLog::Printf("ZBaseGame::initSubSystems");
    InitInput();

    ZLog::Printf(" -- Init renderer");
    FocusMainWindow(this);
    OnPreInitRenderer();
    const ZRenderVideoSettings video = GetRenderVideoSettings();
    ZArray<ZHashedString> warnings;
    const bool wantExclusive = IsExclusiveFullscreen();
    bool exclusive = wantExclusive;
    InitRenderer(GetWindowSystem(), m_screenWidth, m_screenHeight, video, warnings, exclusive);
    if (wantExclusive && !exclusive) {
        m_fullscreen = false;
        ZLog::Printf("Exclusive fullscreen was rejected. Reverting to logical windowed.");
        ApplyWindowStyle(false);
    }
    InstallRendererCallbacks();

    if (warnings.Count() > 0 && m_showInitWarnings) {
        platform::window::MessageBox("Warning", BuildInitWarningsText(warnings).GetText(),
                                     platform::window::MB_OK | platform::window::MB_ICONWARNING);
    }
    FocusMainWindow(this);

    ZLog::Printf("Presenting a blank scene");
    ZRenderer* renderer = GetRenderer();
    renderer->BeginScene();
    renderer->Clear(3, ZColor32(0, 0, 0, 255), 1.0f);
    renderer->EndScene();
    renderer->present();

    ZLog::Printf(" -- Init audio");
    FocusMainWindow(this);
    ZAudioMgr* audio = GetAudioMgr();
    audio->Init(GetWindowSystem());
    audio->SetMasterVolume(m_masterVolume);
    audio->streamLength = m_streamLength;
    audio->streamUpdatePercent = m_streamUpdatePercent;
    audio->streamWriteDelay = m_streamWriteDelay;
    audio->muteWhenUnfocused = m_muteWhenUnfocused;
    audio->multiSynthExclusiveChannels = m_multiSynthExclusiveChannels;
    audio->musicVolume = m_musicVolume;
    audio->soundVolume = m_soundVolume;

    // The streaming thread waits on this until the settings are in.
    audio->GetMutex().Unlock();
    FocusMainWindow(this);

    RegisterAchievements();
}

ZString ZBaseGame::BuildInitWarningsText(const ZArray<ZHashedString>& keys) {
    static const ZHashedString file("General");
    static const ZHashedString section("D3DInitWarnings");
    static const ZHashedString header("Header");
    static const ZHashedString footer("Footer");
    const ZLocMgr* loc = ZLocMgr::GetInstance();
    ZString text = loc->GetString(file, section, header);
    text += "\n\n";
    for (const ZHashedString& key : keys) {
        text += loc->GetString(file, section, key);
        text += "\n";
    }
    text += "\n";
    text += loc->GetString(file, section, footer);
    return text;
}

void ZBaseGame::InstallRendererCallbacks() {
    ZRenderer* renderer = GetRenderer();
    renderer->AddPreResetCallback(ForwardPreReset);
    renderer->AddPostResetCallback(ForwardPostReset);
    renderer->AddLostDeviceCallback(ForwardLostDevice);
}

void ZBaseGame::InitInput() {
    ZControlMgr::Hooks hooks = GetControlMgr()->GetHooks();
    hooks.setUpDefaultBindings = SetUpDefaultBindingsHook;
    hooks.isInputBlocked = IsInputBlockedHook;
    hooks.isPlayerInputSuspended = IsPlayerInputSuspendedHook;
    hooks.onActiveDeviceClassChanged = OnActiveDeviceClassChangedHook;
    GetControlMgr()->SetHooks(hooks);

    ZLog::Printf(" -- Init input");
    ZInputHandler* input = GetInputHandler();
    input->BuildCharTable();
    input->InitInputDevices(m_usePreferredController);
    ZLog::Printf(" -- Update controller state");
    input->IsXInputPadConnected();
    ZLog::Printf(" -- Toggle XInput");
    input->XInputEnable(true);
    ZLog::Printf(" -- Select joystick");
    const ZString controller(m_controller);
    input->SelectJoystickByName(controller.GetText());
}

void ZBaseGame::DeinitInput() {
    ZLog::Printf(" -- Init deinit");
    DeleteInputHandler();
}

// The render set-up is in ZBaseGame_RenderSetup.cpp, the engine assets in
// ZBaseGame_Assets.cpp.

void ZBaseGame::CreateSoundGroups() {
    ZLog::Printf("ZBaseGame::CreateSoundGroups");
    ZAudioMgr* audio = GetAudioMgr();
    audio->CreateSoundGroup(GetSFXAudioGroupName());
    audio->CreateSoundGroup(GetBGMAudioGroupName());
    OnAudioOptionChanged();
}

void ZBaseGame::CreateControls() {
    ZLog::Printf("ZBaseGame::CreateControls");
    struct Control {
        const char* name;
        bool hidden;
    };
    struct Group {
        const char* name;
        bool cinematicBlock;
        bool rebindable;
        bool perFrame;
        bool hidden;
        Control controls[12];
    };
    static const Group kGroups[] = {
        {"General", true, false, true, false, {{"Pause", false}}},
        {"Utility", false, true, true, false,
         {{"OpenConsole", false}, {"Screenshot", true}, {"DeviceRecognition", true}}},
        {"Menus", false, false, true, false,
         {{"NavUp", false}, {"NavDown", false}, {"NavLeft", false}, {"NavRight", false}, {"NavNext", false},
          {"Accept", false}, {"Cancel", false}, {"Click", false}, {"PrevTab", false}, {"NextTab", false},
          {"PageUp", false}, {"PageDown", false}}},
        {"VisOnly", false, false, true, true, {{"PressStart", true}}},
        {"GameTimeSubs", false, false, false, true, {{"Accept", true}, {"Cancel", true}, {"Click", true}}},
    };
    ZControlMgr* controls = GetControlMgr();
    for (const Group& group : kGroups) {
        const ZHashedString groupName(group.name);
        if (ZControlGroup* made = controls->AddControlGroup(groupName, group.cinematicBlock, group.rebindable,
                                                            group.perFrame, group.hidden)) {
            made->engineGroup = 1;
        }
        for (const Control& control : group.controls) {
            if (control.name != nullptr) {
                controls->AddControl(groupName, ZHashedString(control.name), control.hidden);
            }
        }
    }
}

void ZBaseGame::LoadControlBindings() {
    ZLog::Printf("ZBaseGame::LoadControlBindings");
    char path[260];
    const ZString folder = GetUserFolderPath(GetGameFolderName(), GetConfigFolder(), true);
    std::snprintf(path, sizeof path, "%s%s", folder.GetText(), GetControlBindingsFileName());
    GetControlMgr()->LoadBindings(path);
}

void ZBaseGame::SetUpDefaultControlBindings() {
    ZLog::Printf("ZBaseGame::SetUpDefaultControlBindings");
    enum Kind { kKey, kPad, kJoy, kMouse, kAxis };
    struct Binding {
        Kind kind;
        int32_t code;  // key scan code, pad mask, button number or axis id
        float direction;
    };
    struct Row {
        const char* group;
        const char* control;
        Binding bindings[7];
        uint32_t count;
    };
    using A = ZInputAxis;
    static const Row kRows[] = {
        {"General", "Pause", {{kKey, 1, 0}, {kPad, 0x0010, 0}, {kJoy, 9, 0}}, 3},
        {"Utility", "OpenConsole", {{kKey, 41, 0}, {kKey, 148, 0}}, 2},
        {"Utility", "Screenshot", {{kKey, 183, 0}, {kKey, 74, 0}, {kKey, 88, 0}}, 3},
        {"Menus", "NavUp",
         {{kKey, 17, 0}, {kKey, 200, 0}, {kKey, 72, 0}, {kPad, 0x0001, 0}, {kAxis, A::XboxLSY, 1},
          {kAxis, A::JoyPOVHatY, 1}, {kAxis, A::JoyPosY, -1}},
         7},
        {"Menus", "NavDown",
         {{kKey, 31, 0}, {kKey, 208, 0}, {kKey, 80, 0}, {kPad, 0x0002, 0}, {kAxis, A::XboxLSY, -1},
          {kAxis, A::JoyPOVHatY, -1}, {kAxis, A::JoyPosY, 1}},
         7},
        {"Menus", "NavLeft",
         {{kKey, 30, 0}, {kKey, 203, 0}, {kKey, 75, 0}, {kPad, 0x0004, 0}, {kAxis, A::XboxLSX, -1},
          {kAxis, A::JoyPOVHatX, -1}, {kAxis, A::JoyPosX, -1}},
         7},
        {"Menus", "NavRight",
         {{kKey, 32, 0}, {kKey, 205, 0}, {kKey, 77, 0}, {kPad, 0x0008, 0}, {kAxis, A::XboxLSX, 1},
          {kAxis, A::JoyPOVHatX, 1}, {kAxis, A::JoyPosX, 1}},
         7},
        {"Menus", "NavNext", {{kKey, 15, 0}}, 1},
        {"Menus", "Accept",
         {{kKey, 28, 0}, {kKey, 156, 0}, {kPad, 0x1000, 0}, {kPad, 0x0010, 0}, {kJoy, 1, 0}, {kJoy, 9, 0}},
         6},
        {"Menus", "PrevTab", {{kKey, 16, 0}, {kPad, 0x0100, 0}, {kJoy, 4, 0}}, 3},
        {"Menus", "NextTab", {{kKey, 18, 0}, {kPad, 0x0200, 0}, {kJoy, 5, 0}}, 3},
        {"Menus", "PageUp", {{kKey, 201, 0}, {kAxis, A::XboxLT, 1}, {kJoy, 6, 0}}, 3},
        {"Menus", "PageDown", {{kKey, 209, 0}, {kAxis, A::XboxRT, 1}, {kJoy, 7, 0}}, 3},
        {"VisOnly", "PressStart", {{kKey, 28, 0}, {kPad, 0x0010, 0}, {kJoy, 9, 0}}, 3},
        {"Menus", "Cancel", {{kKey, 1, 0}, {kPad, 0x2000, 0}, {kJoy, 2, 0}}, 3},
        {"Menus", "Click", {{kMouse, 0, 0}, {kMouse, 1, 0}, {kMouse, 2, 0}}, 3},
        {"GameTimeSubs", "Accept",
         {{kKey, 28, 0}, {kKey, 156, 0}, {kPad, 0x1000, 0}, {kPad, 0x0010, 0}, {kJoy, 1, 0}, {kJoy, 9, 0}},
         6},
        {"GameTimeSubs", "Cancel", {{kKey, 1, 0}, {kPad, 0x2000, 0}, {kJoy, 2, 0}}, 3},
        {"GameTimeSubs", "Click", {{kMouse, 0, 0}, {kMouse, 1, 0}, {kMouse, 2, 0}}, 3},
    };
    // Any movement of these axes tells which device the player uses.
    static const uint32_t kRecognitionAxes[] = {
        A::MouseX,   A::MouseY,     A::XboxLSX,    A::XboxLSY,    A::XboxRSX,    A::XboxRSY,    A::JoyPosX,
        A::JoyPosY,  A::JoyVelX,    A::JoyVelY,    A::JoyAccX,    A::JoyAccY,    A::JoyPosRotX, A::JoyPosRotY,
        A::JoyVelRotX, A::JoyVelRotY, A::JoyAccRotX, A::JoyAccRotY, A::JoyPOVHatX, A::JoyPOVHatY,
    };

    ZControlMgr* controls = GetControlMgr();
    const ZHashedString utility("Utility");
    const ZHashedString recognition("DeviceRecognition");
    for (const uint32_t axis : kRecognitionAxes) {
        controls->AddBinding(utility, recognition, ZInputBinding::Axis(axis, 1.0f));
        controls->AddBinding(utility, recognition, ZInputBinding::Axis(axis, -1.0f));
    }
    for (const Row& row : kRows) {
        const ZHashedString group(row.group);
        const ZHashedString control(row.control);
        for (uint32_t i = 0; i < row.count; ++i) {
            const Binding& b = row.bindings[i];
            ZInputBinding binding;
            switch (b.kind) {
                case kKey: binding = ZInputBinding::Button(ZInputDevice::Keyboard, b.code); break;
                case kPad: binding = ZInputBinding::Button(ZInputDevice::XInput, b.code); break;
                case kJoy: binding = ZInputBinding::Button(ZInputDevice::Joystick, b.code); break;
                case kMouse: binding = ZInputBinding::Button(ZInputDevice::Mouse, b.code); break;
                case kAxis: binding = ZInputBinding::Axis(static_cast<uint32_t>(b.code), b.direction); break;
            }
            controls->AddBinding(group, control, binding);
        }
    }
}

void ZBaseGame::AddLocStringFiles() {
    ZLog::Printf("ZBaseGame::AddLocStringFiles");
    ZLocMgr::GetInstance()->AddEngineStringFiles();
}

void ZBaseGame::AddLocLanguages() {
    ZLog::Printf("ZBaseGame::AddLocLanguages");
    ZLocMgr::GetInstance()->AddLanguageList(GetLanguageListFileName());
}
