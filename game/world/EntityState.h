#pragma once

#include <cstdint>

#include "foundation/ZHashedString.h"

class ZDefNode;

// Whether placed and spawned entities may be made, from the state their
// GUIDs keep in the saved-state store: an entity destroyed for good ("Dead")
// never comes back; one destroyed for the session ("HalfDead") stays away
// until another session starts.

// Who tells the current play session apart (the player's run record, once
// the player exists). Without one, every session counts as another.
class SessionHolder {
public:
    virtual ~SessionHolder() = default;
    virtual uint32_t GetSessionGUID() const = 0;
};

// True unless the instance file's "GUID" element names a record whose
// "Delete" element says "Dead" = "true", or "HalfDead" = "true" in this
// session. A file without a GUID, or a GUID without a record, spawns.
bool ShouldSpawnEntity(ZHashedString instanceFile);
// True when the definition file has a top-level element of that name.
bool DefinitionHasElement(ZHashedString fileName, ZHashedString elementName);
// The session test of a half-dead "Delete" element: false only when a
// session holder exists and the element's "SessionGUID" (hexadecimal) is its
// session GUID.
bool IsFromOtherSession(const SessionHolder* session, const ZDefNode& deleteElement);
