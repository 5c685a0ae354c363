#pragma once

#include "entity/ZRTTIBase.h"

class ZEntity;

// A part of an entity: owned by the entity it was added to, switched on and
// off with the rest of the entity's components.
class ZComponent : public ZRTTIBase {
    Z_RTTI(ZComponent, ZRTTIBase)

public:
    ZComponent() = default;
    ZComponent(const ZComponent&) = delete;
    ZComponent& operator=(const ZComponent&) = delete;

    // Called once, right after the owner is set and before the entity stores
    // the component (so the entity's lookups do not find it yet).
    virtual void AttachHook() { EmptyHook(); }

    // The owning entity; null until the component is added to one.
    ZEntity* GetOwner() const { return m_owner; }
    void SetOwner(ZEntity* owner) { m_owner = owner; }

    bool IsEnabled() const { return m_enabled; }
    void SetEnabled(bool enabled) { m_enabled = enabled; }

private:
    ZEntity* m_owner = nullptr;
    bool m_enabled = true;
};
