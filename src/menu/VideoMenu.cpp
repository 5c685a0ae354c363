#include "menu/VideoMenu.h"

#include <cstdio>

#include "framework/ZBaseGame.h"
#include "framework/ZConfigVar.h"
#include "menu/ConfirmationMenu.h"
#include "menu/MenuTexts.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"

namespace {

constexpr const char* kSection = "VideoMenu";

const ZHashedString kBack("Back");
const ZHashedString kResolution("Spinner_AvailRes");
const ZHashedString kWindowing("Spinner_Windowing");
const ZHashedString kVSync("Spinner_VSync");
const ZHashedString kBrightness("Brightness");

// The live value of a [Video] variable of the given type; fallback when it is not registered.
template <typename T>
T VideoVar(const char* name, const int32_t type, const T fallback) {
    ZConfigVar& var = FindOrAddConfigVar(ZHashedString("Video"), ZHashedString(name));
    return var.type == type && var.storage != nullptr ? *static_cast<const T*>(var.storage) : fallback;
}
bool VideoBool(const char* name) { return VideoVar<bool>(name, ZConfigVar::kTypeBool, false); }
int32_t VideoInt(const char* name) { return VideoVar<int32_t>(name, ZConfigVar::kTypeInt, 0); }

// "< label: value >" without any format taken from the string files.
ZString Spinner(const ZString& label, const ZString& value) { return ZString("< ") + label + ": " + value + " >"; }

ZMenuItem* Row(const ZHashedString name, const ZString& text, const float y, const int32_t kind) {
    ZMenuItem* item = ZMenuItem::Create(text, 512.0f, y, 0, 1.0f);
    item->name = name;
    item->kind = kind;
    return item;
}

}  // namespace

uint32_t GreatestCommonDivisor(uint32_t a, uint32_t b) {
    while (b != 0) {
        const uint32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

void CloseMenuCallback(void* /*context*/) { GetMenuMgr()->CloseMenu(); }

VideoMenu::VideoMenu() {
    AddItem(Row(kBack, MenuText(kSection, "Back"), 496.0f, ZMenuItem::kButton));
    cannotCancel = true;
    changesPending = false;
    resolutionIndex = -1;
    fxaa = VideoInt("FXAA");
    vsync = VideoBool("VSync");
    tate = VideoInt("Tate");
    if (!VideoBool("Fullscreen")) {
        windowingMode = 0;
    } else if (!VideoBool("FullscreenWindowed")) {
        windowingMode = 1;
    } else if (!VideoBool("FullscreenWindowedStretch")) {
        windowingMode = 3;
    } else {
        windowingMode = 2;
    }
    FindCurrentResolution();
    AddItem(Row(kResolution, FormatResolutionText(), 272.0f, ZMenuItem::kHorizontal));
    AddItem(Row(kWindowing, WindowingText(), 328.0f, ZMenuItem::kHorizontal));
    AddItem(Row(kVSync, VSyncText(), 384.0f, ZMenuItem::kHorizontal));
    AddItem(Row(kBrightness, MenuText(kSection, "Brightness"), 440.0f, ZMenuItem::kButton));
    if (ZMenuUnderlay* panel = ArrangeItems(80.0f, 64.0f)) {
        if (panel->width < 960.0f) {
            panel->SetSize(960.0f, panel->height);
            panel->Refresh();
        }
    }
}

void VideoMenu::FindCurrentResolution() {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    resolutionIndex = 0;
    if (game == nullptr) {
        return;
    }
    const int32_t w = game->m_fullscreen ? game->m_widthFullscreen : game->m_widthWindowed;
    const int32_t h = game->m_fullscreen ? game->m_heightFullscreen : game->m_heightWindowed;
    const ZArray<ZResolution>& modes = game->GetScreenModes();
    for (uint32_t i = 0; i < modes.Count(); ++i) {
        const int32_t mw = static_cast<int32_t>(modes[i].width);
        const int32_t mh = static_cast<int32_t>(modes[i].height);
        if (mw < w || (mw == w && mh <= h)) {
            resolutionIndex = static_cast<int32_t>(i);
        }
    }
}

ZString VideoMenu::FormatResolutionText() const {
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    uint32_t w = 0;
    uint32_t h = 0;
    if (game != nullptr && resolutionIndex >= 0 &&
        static_cast<uint32_t>(resolutionIndex) < game->GetScreenModes().Count()) {
        w = game->GetScreenModes()[static_cast<uint32_t>(resolutionIndex)].width;
        h = game->GetScreenModes()[static_cast<uint32_t>(resolutionIndex)].height;
    }
    const uint32_t g = h == 0 ? w : GreatestCommonDivisor(h, w % h);
    // An empty list (no display modes) shows 0x0 rather than dividing by zero.
    uint32_t x = g != 0 ? w / g : 0;
    uint32_t y = g != 0 ? h / g : 0;
    if (x == 8 && y == 5) {
        x = 16;
        y = 10;
    }
    const char* prefix = "";
    if ((w == 1366 || w == 1360) && h == 768) {
        prefix = "~";
        x = 16;
        y = 9;
    }
    char numbers[96];
    std::snprintf(numbers, sizeof numbers, "%ux%u (%s%u:%u)", w, h, prefix, x, y);
    return Spinner(MenuText(kSection, "Resolution"), ZString(numbers));
}

ZString VideoMenu::WindowingText() const {
    char key[16];
    std::snprintf(key, sizeof key, "Windowing%d", windowingMode);
    return Spinner(MenuText(kSection, "Windowing"), MenuText(kSection, key));
}

ZString VideoMenu::VSyncText() const {
    return Spinner(MenuText(kSection, "VSync"), MenuText(kSection, vsync ? "On" : "Off"));
}

void VideoMenu::ChangeValue(const int32_t delta) {
    changesPending = true;
    ZMenuItem* item = GetSelectedItem();
    if (item == nullptr) {
        return;
    }
    const ZHashedString which = item->GetName();
    if (which == kResolution) {
        const ZBaseGame* game = ZBaseGame::PeekInstance();
        const int32_t count = game != nullptr ? static_cast<int32_t>(game->GetScreenModes().Count()) : 0;
        resolutionIndex += delta;
        if (resolutionIndex < 0) {
            resolutionIndex = count > 0 ? count - 1 : 0;
        } else if (resolutionIndex > count - 1) {
            resolutionIndex = 0;
        }
        item->SetText(FormatResolutionText());
    } else if (which == kWindowing) {
        windowingMode += delta;
        if (windowingMode < 0) {
            windowingMode = 3;
        } else if (windowingMode > 3) {
            windowingMode = 0;
        }
        item->SetText(WindowingText());
    } else if (which == kVSync) {
        vsync = !vsync;
        item->SetText(VSyncText());
    }
}

void VideoMenu::RequestClose() {
    if (!changesPending) {
        GetMenuMgr()->CloseMenu();
        return;
    }
    ZBaseGame* game = ZBaseGame::PeekInstance();
    auto* confirmation = game != nullptr ? dynamic_cast<ConfirmationMenu*>(game->CreateConfirmationMenu(true)) : nullptr;
    if (confirmation == nullptr) {
        GetMenuMgr()->CloseMenu();
        return;
    }
    confirmation->SetDescription(MenuText(kSection, "ConfirmChanges"));
    confirmation->context = this;
    confirmation->yesCallback = ApplyChanges;
    confirmation->noCallback = CloseMenuCallback;
    GetMenuMgr()->OpenMenu(confirmation);
}

void VideoMenu::ApplyChanges(void* context) {
    auto* menu = static_cast<VideoMenu*>(context);
    ZBaseGame* game = ZBaseGame::PeekInstance();
    if (menu == nullptr || game == nullptr) {
        return;
    }
    const ZArray<ZResolution>& modes = game->GetScreenModes();
    if (menu->resolutionIndex >= 0 && static_cast<uint32_t>(menu->resolutionIndex) < modes.Count()) {
        const ZResolution mode = modes[static_cast<uint32_t>(menu->resolutionIndex)];
        bool fullscreen = false;
        bool windowed = VideoBool("FullscreenWindowed");
        bool stretch = VideoBool("FullscreenWindowedStretch");
        switch (menu->windowingMode) {
            case 1: fullscreen = true; windowed = false; break;
            case 2: fullscreen = true; windowed = true; stretch = true; break;
            case 3: fullscreen = true; windowed = true; stretch = false; break;
            default: break;
        }
        game->SetAllVideoOptions(static_cast<int32_t>(mode.width), static_cast<int32_t>(mode.height), menu->vsync,
                                 fullscreen, windowed, stretch, menu->fxaa, menu->tate);
    }
    GetMenuMgr()->CloseMenu();
}

void VideoMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::NavLeft: ChangeValue(-1); break;
        case ZMenuEventKind::NavRight: ChangeValue(1); break;
        case ZMenuEventKind::Accept: {
            const ZMenuItem* item = GetSelectedItem();
            const ZHashedString which = item != nullptr ? item->GetName() : ZHashedString::None();
            if (which == kBack) {
                RequestClose();
            } else if (which == kWindowing || which == kVSync) {
                ChangeValue(1);
            } else if (which == kBrightness) {
                if (ZBaseGame* game = ZBaseGame::PeekInstance()) {
                    GetMenuMgr()->OpenMenu(game->CreateBrightnessMenu());
                }
            }
            break;
        }
        case ZMenuEventKind::Cancel: RequestClose(); break;
        default: break;
    }
}
