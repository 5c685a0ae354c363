#include "game/world/EntityState.h"

#include "foundation/ZDefNode.h"
#include "foundation/ZDefinitionCache.h"
#include "foundation/ZStateStore.h"
#include "foundation/ZString.h"
#include "game/world/KorvanthGame.h"

bool IsFromOtherSession(const SessionHolder* const session, const ZDefNode& deleteElement) {
    static const ZHashedString kSessionGUID("SessionGUID");
    if (session == nullptr || !deleteElement.HasAttribute(kSessionGUID)) {
        return true;
    }
    return HexToInt(deleteElement.GetAttribute(kSessionGUID).GetText()) != session->GetSessionGUID();
}

bool ShouldSpawnEntity(const ZHashedString instanceFile) {
    static const ZHashedString kGUID("GUID");
    static const ZHashedString kDelete("Delete");
    static const ZHashedString kDead("Dead");
    static const ZHashedString kHalfDead("HalfDead");
    const KorvanthGame* const game = KorvanthGame::Get();
    const SessionHolder* const session = game != nullptr ? game->GetSessionHolder() : nullptr;
    bool spawn = true;
    const ZDefNode& root = GetDefinitionFile(instanceFile);
    for (const ZDefNode& element : root.children) {
        if (element.name != kGUID || !element.HasAttribute(kGUID)) {
            continue;
        }
        const uint32_t guid = HexToInt(element.GetAttribute(kGUID).GetText());
        const ZDefNode record = GetStateStore()->Get(guid);
        for (const ZDefNode& child : record.children) {
            if (child.name != kDelete) {
                continue;
            }
            // Only the exact texts count: "True" is not a destroyed entity.
            if (child.HasAttribute(kDead) && child.GetAttribute(kDead) == "true") {
                spawn = false;
            } else if (child.HasAttribute(kHalfDead) && child.GetAttribute(kHalfDead) == "true") {
                spawn = IsFromOtherSession(session, child);
            }
        }
    }
    return spawn;
}

bool DefinitionHasElement(const ZHashedString fileName, const ZHashedString elementName) {
    const ZDefNode& root = GetDefinitionFile(fileName);
    return root.FindChildIndex(0, elementName) < root.children.Count();
}
