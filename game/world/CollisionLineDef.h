#pragma once

#include <cstdint>

#include "entity/ZCollisionInstance.h"
#include "foundation/ZVector3.h"

class ZEntity;

// One straight edge of solid ground of the current rooms, from an edge
// record. The side it is solid from is the right of its direction on screen;
// moving shapes meet it grown by their box. Its bounds are unbounded, so
// every sweep looks at every line.
class CollisionLineDef : public ZCollisionInstance {
    Z_RTTI(CollisionLineDef, ZCollisionInstance)

public:
    CollisionLineDef();

    // The edge as the mover meets it: grown by a box's half extents on the
    // open side and at both ends (a kind-128 outline moves the other way and
    // shrinks), unchanged for a point, nothing for other shapes.
    bool BuildFeatures(ZArray<ZCollisionFeature>& list, const ZCollisionInterface& mover) const override;
    void GetBounds(float out[6]) const override;
    void GetSweptBounds(float out[6], const ZVector3& from, const ZVector3& to) const override;

    // Whether the edge stops that shape. exemptPlayer lets the player through
    // player-only walls (kind 2); passSpecial lets everyone through special
    // edges (kinds 4, 6 and 128). A platform (kind 3) lets a dropping player
    // through.
    bool IsSolidFor(const ZCollisionInterface* other, bool exemptPlayer, bool passSpecial) const;
    // The three questions movers ask: moving (specials stop it), passing
    // specials, and everything but specials including the player.
    bool BlocksMover(const ZCollisionInterface* other) const { return IsSolidFor(other, true, false); }
    bool BlocksPassingSpecial(const ZCollisionInterface* other) const { return IsSolidFor(other, true, true); }
    bool BlocksAll(const ZCollisionInterface* other) const { return IsSolidFor(other, false, true); }

    // Moves both ends 2 pixels off the tile boundary to the open side and 2
    // pixels in from each end (kinds 2, 4 and 6: edges touched from inside).
    void Inset();

    // Who counts as the player and whether it is dropping through platforms;
    // the player code sets these. Unset: no entity is the player.
    using PlayerQuery = bool (*)(const ZEntity* entity);
    static void SetPlayerQueries(PlayerQuery isPlayer, PlayerQuery isDropping);

    ZVector3 start;
    ZVector3 end;
    int32_t kind = 0;
    int32_t secondSetting = 1;
};
