#pragma once

#include <string>

#include "entity/ZSerialComponent.h"

// Membership of a group ("Group" element, "Name" attribute): entities in
// different rooms, loaded at different times, share values through the
// game's group store. "groupset Open" copies the entity's datum "Open" into
// the store under the group's key; "groupget Open" copies it back into an
// entity of the same group that declares the datum.
class GroupComponent : public ZSerialComponent {
    Z_RTTI(GroupComponent, ZSerialComponent)

public:
    GroupComponent() = default;

    // Events, then "Name" when present (an empty text is the empty name).
    void ReadDefinition(const ZDefNode& element) override;
    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Group");
        return kind;
    }

    // Entity to store: the entity's value of the datum (a default value when
    // it has none) is written under the group's key.
    void Set(ZHashedString datumName) const;
    // Store to entity: the stored value, when the key was ever written, goes
    // into the entity's datum, which the entity must already hold.
    void Get(ZHashedString datumName) const;

    ZHashedString groupName{""};
};

// The text of a group's key: "GROUP_<group>_<datum>". Names are kept whole,
// however long; a text longer than a hashed name can hold is replaced by
// "GROUP_#" and a 128-bit digest of the whole text, so two long keys never
// share an entry.
std::string MakeGroupKeyText(ZHashedString groupName, ZHashedString datumName);
ZHashedString MakeGroupKey(ZHashedString groupName, ZHashedString datumName);
