#include "game/player/PlayerMusic.h"

#include "foundation/ZDefinitionCache.h"
#include "game/display/DisplayState.h"
#include "game/player/Player.h"
#include "game/world/KorvanthGame.h"
#include "renderer/ZRenderable.h"

namespace {

constexpr float kMusicDelay = 0.35f;

ZHashedString MusicChannel() {
    static const ZHashedString channel("BGMusicTune");
    return channel;
}

// The minimap's three quads, when the scene made them all.
bool HaveMinimapQuads(const DisplayState& display) {
    for (const ZRenderable* const quad : display.minimapQuads) {
        if (quad == nullptr) return false;
    }
    return true;
}

void ShowMinimapQuads(DisplayState& display, const bool show) {
    for (ZRenderable* const quad : display.minimapQuads) quad->visible = show;
}

}  // namespace

void SetRoomMusic(Player& player, const ZString& tune) {
    if (tune == player.currentTune) {
        return;
    }
    player.musicDelay = kMusicDelay;
    player.currentTune = tune;
    if (const KorvanthGame* const game = KorvanthGame::Get()) {
        if (GameVoice* const voice = game->GetVoice()) voice->StopChannel(MusicChannel());
    }
}

void UpdateRoomMusic(Player& player, const float dt) {
    if (!(player.musicDelay > 0.0f)) {
        return;
    }
    player.musicDelay -= dt;
    if (player.musicDelay > 0.0f || player.currentTune.IsEmpty()) {
        return;
    }
    const KorvanthGame* const game = KorvanthGame::Get();
    GameVoice* const voice = game != nullptr ? game->GetVoice() : nullptr;
    if (voice == nullptr) {
        return;
    }
    const ZString file = game->GetCampaignPrefix() + player.currentTune;
    voice->PlayTune(file.GetText(), 1, MusicChannel());
}

RoomMinimapHook& GetRoomMinimapHook() {
    static RoomMinimapHook hook = nullptr;
    return hook;
}

void FindRoomMinimaps(const ZDefNode& root, const ZString& minimapName, ZArray<RoomMinimap>& out) {
    static const ZHashedString kMinimaps("Minimaps");
    static const ZHashedString kMinimap("Minimap");
    static const ZHashedString kName("Name");
    static const ZHashedString kBase("Base");
    static const ZHashedString kOverlay("Overlay");
    static const ZHashedString kOX("OX");
    static const ZHashedString kOY("OY");
    static const ZHashedString kW("W");
    static const ZHashedString kH("H");
    static const ZHashedString kPX("PX");
    static const ZHashedString kPY("PY");
    static const ZHashedString kCollID("CollID");
    // The file's root may be the "Minimaps" element itself.
    const ZDefNode& minimaps = root.name == kMinimaps ? root : root.FindChild(kMinimaps);
    ZDefNode::ChildIterator it(minimaps, kMinimap);
    while (const ZDefNode* const entry = it.Next()) {
        if (!entry->GetAttribute(kName).EqualsNoCase(minimapName)) continue;
        if (!entry->HasAttribute(kOX) || !entry->HasAttribute(kOY) || !entry->HasAttribute(kBase) ||
            !entry->HasAttribute(kOverlay)) {
            continue;
        }
        RoomMinimap m;
        m.name = entry->GetAttribute(kName);
        m.base = entry->GetAttribute(kBase);
        m.overlay = entry->GetAttribute(kOverlay);
        m.ox = entry->GetAttribute(kOX).ToInt();
        m.oy = entry->GetAttribute(kOY).ToInt();
        if (entry->HasAttribute(kW) && entry->HasAttribute(kH) && entry->HasAttribute(kPX) && entry->HasAttribute(kPY)) {
            m.w = entry->GetAttribute(kW).ToInt();
            m.h = entry->GetAttribute(kH).ToInt();
            m.px = entry->GetAttribute(kPX).ToInt();
            m.py = entry->GetAttribute(kPY).ToInt();
        }
        const ZString collection = entry->GetAttribute(kCollID);
        m.collection = collection.IsEmpty() ? ZHashedString::None() : ZHashedString(collection.GetText());
        out.PushBack(m);
    }
}

void SelectRoomMinimap(Player& player, const ZString& minimapName) {
    DisplayState* const display = PeekDisplayState();
    const bool quads = display != nullptr && HaveMinimapQuads(*display);
    if (quads) {
        ShowMinimapQuads(*display, false);
        display->minimapAvailable = false;
    }
    player.currentMinimap = "NULL";
    ZDefinitionCache* const definitions = ZDefinitionCache::GetInstance();
    if (definitions == nullptr) {
        return;
    }
    ZArray<RoomMinimap> found;
    FindRoomMinimaps(definitions->GetDefinitionFile(ZHashedString("Minimaps.zdd")), minimapName, found);
    for (const RoomMinimap& minimap : found) {
        player.currentMinimap = minimap.name;
        // Without the minimap's own component there are no pictures to show.
        if (GetRoomMinimapHook() == nullptr) continue;
        GetRoomMinimapHook()(player, minimap);
        if (quads) {
            ShowMinimapQuads(*display, display->Settings().showMinimap);
            display->minimapAvailable = true;
        }
    }
}
