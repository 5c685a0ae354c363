#include "game/world/TileMetadata.h"

#include <cstring>

uint32_t AuraPowerupId(const ZString& colour) {
    struct Aura {
        const char* name;
        uint32_t id;
    };
    static const Aura kAuras[] = {{"red", 0x10001}, {"blue", 0x10002}, {"green", 0x10003}, {"yellow", 0x10004}};
    for (const Aura& aura : kAuras) {
        if (colour == aura.name) return aura.id;
    }
    return 0;
}

int32_t EvaluateTileVariant(const ZDefNode& metadata, const PowerupHolder* holder) {
    static const ZHashedString kGhost("Ghost");
    static const ZHashedString kAura("Aura");
    static const ZHashedString kNoClimb("NoClimb");
    static const ZHashedString kNoEffects("NoEffects");
    const ZDefNode& empty = ZDefNode::GetEmptyNode();

    int32_t variant = 0;
    const ZDefNode& ghost = metadata.FindChild(kGhost);
    if (&ghost != &empty && ghost.HasAttribute(kAura)) {
        const uint32_t powerup = AuraPowerupId(ghost.GetAttribute(kAura));
        if (holder != nullptr && powerup != 0 && holder->HasPowerup(powerup)) variant = 1;
    }
    if (&metadata.FindChild(kNoClimb) != &empty) variant = 1;
    if (&metadata.FindChild(kNoEffects) != &empty) variant = 1;
    return variant;
}

bool EvaluateTileMetadata(const CustomTile& tile, const PowerupHolder* holder, int32_t& column, int32_t& row) {
    column = 0;
    row = 0;
    if (tile.variants.IsEmpty()) return false;
    uint32_t variant = static_cast<uint32_t>(EvaluateTileVariant(tile.properties, holder));
    // A tile authored with one variant shows it whatever the metadata says.
    if (variant >= tile.variants.Count()) variant = 0;
    column = tile.variants[variant].column;
    row = tile.variants[variant].row;
    return true;
}
