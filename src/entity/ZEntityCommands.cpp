#include "entity/ZEntityCommands.h"

#include <cstdio>

#include "entity/ZCheckpointComponent.h"
#include "entity/ZConditions.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZTimerComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZMap.h"
#include "renderer/ZRenderable.h"

namespace {

using Words = ZArray<ZString>;
using Handler = void (*)(const Words& words, uint32_t context, uint32_t other);

// Data may give fewer words than a verb reads: the missing ones are empty.
const ZString& Word(const Words& words, const uint32_t index) {
    static const ZString kEmpty;
    return index < words.Count() ? words[index] : kEmpty;
}

ZEntity* NamedEntity(const Words& words, const uint32_t index, const uint32_t context, const uint32_t other) {
    return ResolveEntityName(ZHashedString(Word(words, index).GetText()), context, other);
}

template <typename T>
T* NamedComponent(const Words& words, const uint32_t index, const uint32_t context, const uint32_t other) {
    return ResolveComponent<T>(NamedEntity(words, index, context, other));
}

using DatumOp = bool (*)(uint32_t handle, ZHashedString name, const ZDatumEntry& entry);

template <DatumOp op>
void Blackboard(const Words& words, const uint32_t context, const uint32_t other) {
    ZDatumEntry value;
    EvaluateOperand(Word(words, 3), context, other, value);
    ZEntity* entity = NamedEntity(words, 1, context, other);
    op(ZRTTIBase::GetHandle(entity), ZHashedString(Word(words, 2).GetText()), value);
}

void Clear(const Words& words, const uint32_t context, const uint32_t other) {
    ClearDataByHandle(ZRTTIBase::GetHandle(NamedEntity(words, 1, context, other)));
}

void SetDrawablesVisible(ZRenderableComponent* renderable, const bool visible) {
    if (renderable == nullptr) {
        return;
    }
    for (auto& node : renderable->renderables) {
        if (node.value != nullptr) {
            node.value->visible = visible;
        }
    }
}

void Delete(const Words& words, const uint32_t context, const uint32_t other) {
    ZEntity* entity = NamedEntity(words, 1, context, other);
    ZDeleteComponent* deletion = ResolveComponent<ZDeleteComponent>(entity);
    int32_t mode = 1;
    ZDefNode record;
    if (words.Count() > 2) {
        const ZString& word = words[2];
        if (word.Left(4).EqualsNoCase("perm")) {
            mode = 3;
        } else if (word.Left(8).EqualsNoCase("semiperm")) {
            mode = 2;
            char session[16];
            std::snprintf(session, sizeof session, "%08x", GetGameSessionId());
            record.SetAttribute(ZHashedString("SessionGUID"), ZString(session));
        }
    }
    if (deletion == nullptr || !deletion->IsEnabled()) {
        return;
    }
    deletion->deleteMode = mode;
    if (mode == 2) {
        deletion->deleteRecord = record;
    }
    SetDrawablesVisible(GetComponent<ZRenderableComponent>(entity), false);
}

void Run(const Words& words, const uint32_t context, const uint32_t other) {
    if (ZScriptComponent* script = NamedComponent<ZScriptComponent>(words, 1, context, other)) {
        script->RunFunction(Word(words, 2), context, other);
    }
}

void Timer(const Words& words, const uint32_t context, const uint32_t other) {
    if (ZTimerComponent* timers = NamedComponent<ZTimerComponent>(words, 1, context, other)) {
        timers->Command(Word(words, 2), ZHashedString(Word(words, 3).GetText()));
    }
}

void Render(const Words& words, const uint32_t context, const uint32_t other) {
    ZRenderableComponent* renderable = NamedComponent<ZRenderableComponent>(words, 1, context, other);
    const ZString& mode = Word(words, 2);
    if (mode.EqualsNoCase("enable")) {
        SetDrawablesVisible(renderable, true);
    } else if (mode.EqualsNoCase("disable")) {
        SetDrawablesVisible(renderable, false);
    }
}

void Checkpoint(const Words& words, const uint32_t context, const uint32_t other) {
    if (ZCheckpointComponent* checkpoint = NamedComponent<ZCheckpointComponent>(words, 1, context, other)) {
        ReportCheckpointReached(checkpoint->GetHandle(), context);
    }
}

// Verbs whose components (health, pickup, dialog, physics, animation,
// collision, coin spawning, respawning) come with their own systems: the verb
// is taken, so the game's handler never sees it, and does nothing yet.
void NotYetBuilt(const Words& /*words*/, uint32_t /*context*/, uint32_t /*other*/) { EmptyHook(); }

ZMap<ZHashedString, Handler>& Table() {
    static ZMap<ZHashedString, Handler> table;
    if (table.IsEmpty()) {
        struct Row {
            const char* verb;
            Handler handler;
        };
        static const Row rows[] = {
            {"add", &Blackboard<AddToDatumByHandle>},
            {"inc", &Blackboard<AddToDatumByHandle>},
            {"sub", &Blackboard<SubtractFromDatumByHandle>},
            {"dec", &Blackboard<SubtractFromDatumByHandle>},
            {"cs", &Blackboard<SetDatumByHandle>},
            {"set", &Blackboard<SetDatumByHandle>},
            {"init", &Blackboard<InitDatumByHandle>},
            {"clear", &Clear},
            {"damage", &NotYetBuilt},
            {"delete", &Delete},
            {"pickup", &NotYetBuilt},
            {"initdialog", &NotYetBuilt},
            {"spawn", &NotYetBuilt},
            {"rest", &NotYetBuilt},
            {"run", &Run},
            {"runscript", &Run},
            {"runfunction", &Run},
            {"timer", &Timer},
            {"anim", &NotYetBuilt},
            {"render", &Render},
            {"collision", &NotYetBuilt},
            {"initphysics", &NotYetBuilt},
            {"respawn", &NotYetBuilt},
            {"checkpoint", &Checkpoint},
        };
        for (const Row& row : rows) {
            table.Insert(ZHashedString(row.verb), row.handler);
        }
    }
    return table;
}

}  // namespace

bool EntityCommandDispatcher(const ZHashedString* const verb, const ZArray<ZString>& words, const uint32_t context,
                             const uint32_t other) {
    if (verb == nullptr) {
        return false;
    }
    const auto* node = Table().Find(*verb);
    if (node == nullptr) {
        return false;
    }
    node->value(words, context, other);
    return true;
}
