#include "game/components/BulletComponent.h"

#include <cmath>
#include <cstdlib>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "entity/ZSpatialComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "game/world/KorvEntity.h"
#include "game/world/KorvanthGame.h"

namespace {

float ReadFloat(const ZDefNode& node, const ZHashedString key) {
    return static_cast<float>(std::strtod(node.GetAttribute(key).GetText(), nullptr));
}

}  // namespace

void BulletComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kStream("Stream");
    static const ZHashedString kRate("Rate");
    static const ZHashedString kPhase("Phase");
    static const ZHashedString kSpeed("Speed");
    static const ZHashedString kAngle("Angle");
    static const ZHashedString kGravity("Gravity");
    static const ZHashedString kBounces("Bounces");
    for (const ZDefNode& child : element.children) {
        if (child.name != kStream) {
            continue;
        }
        Stream stream;
        stream.rate = ReadFloat(child, kRate);
        stream.phase = ReadFloat(child, kPhase);
        stream.speed = ReadFloat(child, kSpeed);
        stream.angle = ReadFloat(child, kAngle);
        stream.gravity = ReadFloat(child, kGravity);
        stream.bounces = static_cast<int32_t>(std::strtol(child.GetAttribute(kBounces).GetText(), nullptr, 10));
        stream.timer = stream.phase;
        // Not "> 0" written the other way round: a NaN rate is refused too.
        if (!(stream.rate > 0.0f) || !std::isfinite(stream.rate)) {
            ZLog::Printf("Bullet: a Stream with Rate \"%s\" is left out (the rate must be a number of seconds above 0)",
                         child.GetAttribute(kRate).GetText());
            continue;
        }
        streams.PushBack(stream);
    }
}

void BulletComponent::Update(const float timeStep, const uint8_t mask) {
    if ((mask & 2) == 0) {
        return;
    }
    const ZSpatialComponent* const spatial = ResolveComponent<ZSpatialComponent>(this);
    if (spatial == nullptr) {
        return;
    }
    const float x = spatial->current.position.x;
    const float y = spatial->current.position.y;
    const uint32_t self = GetHandle();
    for (uint32_t i = 0; i < streams.Count(); ++i) {
        streams[i].timer -= timeStep;
        int32_t shots = 0;
        while (streams[i].timer <= 0.0f) {
            streams[i].timer += streams[i].rate;
            if (shots == kMaxShotsPerStep) {
                // A step far longer than the rate (a stall): the shots it
                // missed are dropped, and the timer starts a fresh period.
                if (streams[i].timer <= 0.0f) {
                    streams[i].timer = streams[i].rate;
                }
                break;
            }
            ++shots;
            Fire(streams[i], x, y);
            // A bullet's own scripts could take the shooter with them.
            if (FindObjectByHandle(self) != this) {
                return;
            }
        }
    }
}

KorvEntity* BulletComponent::Fire(const Stream& stream, const float x, const float y) {
    static const ZHashedString kBulletFile("Bullet.zdd");
    static const ZHashedString kBounces("Bounces");
    KorvEntity* const bullet = CreateKorvEntity(kBulletFile, 0);
    if (bullet == nullptr) {
        return nullptr;
    }
    ZSpatialComponent* const spatial = AddComponent<ZSpatialComponent>(bullet);
    ZDataComponent* const data = AddComponent<ZDataComponent>(bullet);
    if (!data->HasDatum(kBounces)) {
        data->AddDatum(kBounces);
    }
    data->SetDatum(kBounces, ZDatumEntry::Int(stream.bounces));
    const float a = stream.angle * 0.017453292f;
    ZSpatialState& state = spatial->current;
    state.position.x = x;
    state.position.y = y;
    state.velocity.x = stream.speed * std::cos(a);
    state.velocity.y = -stream.speed * std::sin(a);
    state.velocity.z *= stream.speed;
    state.acceleration.y = stream.gravity;
    spatial->previous = state;
    spatial->previousInterpolated = state;
    spatial->interpolated = state;
    if (KorvanthGame* const game = KorvanthGame::Get()) {
        // Registered as a room entity and owned with the room's others.
        game->AddRoomEntity(bullet);
    } else {
        // No game to own it: it would be lost.
        delete bullet;
        return nullptr;
    }
    return bullet;
}
