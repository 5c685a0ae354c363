#pragma once

#include <cstdint>

#include "entity/ZDatum.h"
#include "entity/ZSerialComponent.h"
#include "foundation/ZMap.h"

// An entity's blackboard: named, typed values from its definition's "Datum"
// elements, changed by commands, read by conditions and saved with the
// entity's state. An outside provider may answer for names it owns, and every
// change is reported to a callback; both are installed by the entity's owner.
class ZDataComponent : public ZSerialComponent {
    Z_RTTI(ZDataComponent, ZSerialComponent)

public:
    // Each answers true when it has dealt with the name.
    struct Provider {
        bool (*has)(uint32_t provider, ZHashedString name) = nullptr;
        bool (*get)(uint32_t provider, ZHashedString name, ZDatumEntry* entry) = nullptr;
        bool (*update)(uint32_t provider, ZHashedString name, ZDatumEntry* entry) = nullptr;
        bool (*add)(uint32_t provider, ZHashedString name, ZDatumEntry* entry) = nullptr;
        bool (*subtract)(uint32_t provider, ZHashedString name, ZDatumEntry* entry) = nullptr;
    };
    using ChangeCallback = void (*)(ZEntity* owner, ZHashedString name);

    ZDataComponent() = default;

    // Events, then every "Datum" element with "Name" and "Type".
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override;
    // Appends a "Datum" child per stored value, in ascending name order.
    void Save(ZDefNode& element) const override;

    // Adds the name as type none when it is missing (no provider, no callback).
    void AddDatum(ZHashedString name);
    bool HasDatum(ZHashedString name) const;
    // Fills entry and answers true when the provider or the map has the name.
    bool GetDatum(ZHashedString name, ZDatumEntry& entry) const;
    // Replaces an existing value; false when nobody has the name.
    bool UpdateDatum(ZHashedString name, const ZDatumEntry& entry);
    // Inserts or replaces the value (AddDatum, then UpdateDatum: the provider
    // may take it, and the change callback hears of it).
    bool SetDatum(ZHashedString name, const ZDatumEntry& entry);
    bool AddToDatum(ZHashedString name, const ZDatumEntry& entry);
    bool SubtractFromDatum(ZHashedString name, const ZDatumEntry& entry);
    // Drops every stored value; provider and callback stay.
    void ClearData() { m_values.Clear(); }
    // Replaces every stored value by a copy (a dialog option puts back the
    // values it saw when it was offered); provider and callback stay.
    void RestoreValues(const ZMap<ZHashedString, ZDatumEntry>& values) { m_values = values; }

    // The provider's operations are used only while its handle names a live object.
    void SetProvider(const Provider& provider, uint32_t providerHandle);
    void SetChangeCallback(ChangeCallback callback) { m_changeCallback = callback; }
    const ZMap<ZHashedString, ZDatumEntry>& GetValues() const { return m_values; }

private:
    bool ProviderLive() const;
    void NotifyChange(ZHashedString name) const;

    ZMap<ZHashedString, ZDatumEntry> m_values;
    Provider m_provider;
    uint32_t m_providerHandle = 0;
    ChangeCallback m_changeCallback = nullptr;
};

// The blackboard operations on the data component found from the object a
// handle names (the object itself, its entity, a component's owner or a
// collision shape's owner). Each answers false when there is none.
ZDataComponent* GetDataComponentByHandle(uint32_t handle);
bool GetDatumByHandle(uint32_t handle, ZHashedString name, ZDatumEntry& entry);
bool AddToDatumByHandle(uint32_t handle, ZHashedString name, const ZDatumEntry& entry);
bool SubtractFromDatumByHandle(uint32_t handle, ZHashedString name, const ZDatumEntry& entry);
// Creates the name when missing, then sets it.
bool SetDatumByHandle(uint32_t handle, ZHashedString name, const ZDatumEntry& entry);
// Sets the name only when it does not exist yet; true either way.
bool InitDatumByHandle(uint32_t handle, ZHashedString name, const ZDatumEntry& entry);
bool ClearDataByHandle(uint32_t handle);
