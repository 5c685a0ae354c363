#include "game/display/GameRenderPasses.h"

#include "framework/ZBaseGame.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"

namespace {

// The 2D passes with their groups; each has a "(3D)" twin that draws the same
// groups into the second eye's frame.
struct TwinnedPass {
    const char* pass;
    const char* pass3D;
    const char* groups[2];
};
constexpr TwinnedPass kTwinned[] = {
    {"Clear Pass", "Clear Pass (3D)", {nullptr, nullptr}},
    {"HUD Backdrop Pass", "HUD Backdrop Pass (3D)", {"HUD Backdrop Group", nullptr}},
    {"World Background Pass", "World Background Pass (3D)", {"Room Frame Group", "World Background Group"}},
    {"World Sprites Pass", "World Sprites Pass (3D)", {"World Sprites Group", nullptr}},
    {"Debug Background Pass", "Debug Background Pass (3D)", {"Debug Background Group", nullptr}},
    {"World Foreground Pass", "World Foreground Pass (3D)", {"World Foreground Group", nullptr}},
    {"Minimap Pass (Back)", "Minimap Pass (Back) (3D)", {"Minimap Group (Back)", nullptr}},
    {"Minimap Pass (Content)", "Minimap Pass (Content) (3D)", {"Minimap Group (Content)", nullptr}},
    {"Minimap Pass (Indicator)", "Minimap Pass (Indicator) (3D)", {"Minimap Group (Indicator)", nullptr}},
    {"Wipe Pass", "Wipe Pass (3D)", {"Wipe Group", nullptr}},
    {"Static Pass", "Static Pass (3D)", {"Static Group", nullptr}},
    {"HUD Pass", "HUD Pass (3D)", {"Font Group", "Glyph Group"}},
    {"Full Map Pass (Content)", "Full Map Pass (Content) (3D)", {"Full Map Group (Content)", nullptr}},
    {"Full Map Pass (Indicator)", "Full Map Pass (Indicator) (3D)", {"Full Map Group (Indicator)", nullptr}},
    {"Tuner Back Pass", "Tuner Back Pass (3D)", {"Tuner Back Group", nullptr}},
    {"Tuner Ball Pass", "Tuner Ball Pass (3D)", {"Tuner Ball Group", nullptr}},
};

constexpr const char* kGroups[] = {
    "World Background Group", "Debug Background Group",    "World Sprites Group",
    "World Foreground Group", "Minimap Group (Back)",      "Minimap Group (Content)",
    "Minimap Group (Indicator)", "Wipe Group",             "HUD Backdrop Group",
    "Font Group",             "Glyph Group",               "Full Map Group (Content)",
    "Full Map Group (Indicator)", "Static Group",          "Tuner Back Group",
    "Tuner Ball Group",       "Room Frame Group",          "Anaglyph Group",            "NTSC Group",
    "Composite Group",        "Screen Group",              "No CRT Group",
    "QMW Mesh Group",         "Downsample Group",          "Upsample Group",
    "EDITOR Objects",
};

void EnsurePass(const char* name) { GetRenderer()->CreateRenderPass(ZHashedString(name)); }

void Assign(const ZHashedString passName, const char* groupName) {
    const ZRenderer* renderer = GetRenderer();
    ZRenderPassDesc* pass = renderer->FindRenderPass(passName);
    ZRenderGroup* group = renderer->FindRenderGroup(ZHashedString(groupName));
    if (pass != nullptr && group != nullptr) pass->AddGroup(group);
}

}  // namespace

void CreateGameRenderPasses(ZBaseGame& game) {
    for (const TwinnedPass& p : kTwinned) EnsurePass(p.pass);
    for (const TwinnedPass& p : kTwinned) EnsurePass(p.pass3D);
    EnsurePass("Anaglyph Pass");
    EnsurePass("NTSC Pass");
    EnsurePass("Composite Pass");
    game.ZBaseGame::CreateRenderPasses();
    EnsurePass("Downsample Pass");
    EnsurePass("Upsample Pass");
    EnsurePass("EDITOR Pass");
    // The editor draws its own objects when it runs; the game never does.
    if (ZRenderPassDesc* editor = GetRenderer()->FindRenderPass(ZHashedString("EDITOR Pass"))) editor->enabled = false;
}

void CreateGameRenderGroups(ZBaseGame& game) {
    game.ZBaseGame::CreateRenderGroups();
    ZRenderer* renderer = GetRenderer();
    for (const char* name : kGroups) renderer->CreateRenderGroup(ZHashedString(name));
}

void AssignGameGroupsToPasses(ZBaseGame& game) {
    // The clear passes draw nothing: they exist to clear.
    for (const bool twin : {false, true}) {
        for (const TwinnedPass& p : kTwinned) {
            for (const char* group : p.groups) {
                if (group != nullptr) Assign(ZHashedString(twin ? p.pass3D : p.pass), group);
            }
        }
    }
    Assign(ZHashedString("Anaglyph Pass"), "Anaglyph Group");
    Assign(ZHashedString("NTSC Pass"), "NTSC Group");
    Assign(ZHashedString("Composite Pass"), "Composite Group");
    const ZHashedString defaultPass = game.GetDefaultPassName();
    Assign(defaultPass, "Screen Group");
    Assign(defaultPass, "QMW Mesh Group");
    game.ZBaseGame::AssignGroupsToPasses();
    Assign(defaultPass, "No CRT Group");
    Assign(ZHashedString("Downsample Pass"), "Downsample Group");
    Assign(ZHashedString("Upsample Pass"), "Upsample Group");
    Assign(ZHashedString("EDITOR Pass"), "EDITOR Objects");
}
