#include "entity/ZEntityCommands.h"

#include <cstdio>
#include <string>

#include "audio/ZAudioMgr.h"
#include "audio/ZVoice.h"
#include "entity/ZAnimComponent.h"
#include "entity/ZBasingComponent.h"
#include "entity/ZCheckpointComponent.h"
#include "entity/ZCollisionComponent.h"
#include "entity/ZCollisionInterface.h"
#include "entity/ZConditions.h"
#include "entity/ZDataComponent.h"
#include "entity/ZDeleteComponent.h"
#include "entity/ZDialogConsumerComponent.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZEntityMotion.h"
#include "entity/ZHealthComponent.h"
#include "entity/ZPhysicsComponent.h"
#include "entity/ZPickupComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZRespawnComponent.h"
#include "entity/ZScriptComponent.h"
#include "entity/ZShadowComponent.h"
#include "entity/ZSpawnComponent.h"
#include "entity/ZTimerComponent.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "foundation/ZMap.h"
#include "framework/ZRuntimeRand.h"
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

ZRTTIBase* ObjectOf(const uint32_t handle) { return FindObjectByHandle(handle); }

ZEntity* EntityOf(const uint32_t handle) {
    ZRTTIBase* object = ObjectOf(handle);
    return object != nullptr && object->IsA(ZEntity::StaticType()) ? static_cast<ZEntity*>(object) : nullptr;
}

void Pickup(const Words& /*words*/, const uint32_t context, const uint32_t other) {
    if (ZPickupComponent* pickup = ResolveComponent<ZPickupComponent>(ObjectOf(context))) {
        pickup->OnPickedUp(EntityOf(other));
    }
}

void InitDialog(const Words& words, const uint32_t context, const uint32_t other) {
    static const ZHashedString kThrow("Throw");
    ZDialogProviderComponent* provider = ResolveComponent<ZDialogProviderComponent>(ObjectOf(context));
    ZDialogConsumerComponent* consumer = words.Count() > 1
                                             ? NamedComponent<ZDialogConsumerComponent>(words, 1, context, other)
                                             : ResolveComponent<ZDialogConsumerComponent>(ObjectOf(other));
    if (provider == nullptr || consumer == nullptr) {
        return;
    }
    ShowGameDialogText(0);
    if (ZAudioMgr* audio = GetAudioMgr(); audio != nullptr && audio->FindSound(kThrow) != nullptr) {
        if (ZVoice* voice = audio->PlaySound(kThrow)) {
            voice->SetVolume(0.45f);
        }
    }
    provider->consumer = consumer->GetHandle();
    const uint32_t providerHandle = provider->GetHandle();
    const uint32_t consumerHandle = consumer->GetHandle();
    const bool started = provider->StartDialog();
    if (ObjectOf(providerHandle) != provider) {
        return;  // the conversation's first actions took the speaker away
    }
    if (started && ObjectOf(consumerHandle) == consumer) {
        consumer->OpenDialog(provider);
    } else {
        // Nothing to say (no tree, or a walk that found no text): no box.
        provider->consumer = 0;
    }
}

// Throws three coins out of the context entity.
void Spawn(const Words& /*words*/, const uint32_t context, const uint32_t /*other*/) {
    static const ZHashedString kCoin("Coin.zdd");
    ZEntity* const source = EntityOf(context);
    for (int i = 0; i < 3; ++i) {
        ZEntity* const coin = SpawnEntityFromDefinition(kCoin);
        if (coin == nullptr) {
            continue;
        }
        ZVector3 velocity = ZSpawnComponent::RandomUnitVector() * 10.0f;
        velocity.z = 5.0f + 5.0f * static_cast<float>(RuntimeRand()) / 32767.0f;
        ZVector3 sourceVelocity;
        ZVector3 sourcePlace;
        if (GetEntityVelocity(source, sourceVelocity) && GetEntityPosition(source, sourcePlace)) {
            velocity += sourceVelocity;
            SetEntityPosition(coin, sourcePlace + ZVector3(0.0f, 0.0f, 2.0f));
        }
        SetEntityVelocity(coin, velocity);
        SnapEntityStates(coin);
        if (ZBasingComponent* basing = GetComponent<ZBasingComponent>(coin); basing != nullptr && basing->parent) {
            if (ZBasingComponent* carrier = GetComponent<ZBasingComponent>(basing->parent)) {
                carrier->RemoveChild(coin);
            }
            basing->parent = nullptr;
            basing->heldRigidly = false;
        }
        SetEntityBounceCount(coin, 1);
        AddGameSpawnedEntity(coin);
    }
}

void Rest(const Words& /*words*/, const uint32_t context, const uint32_t /*other*/) {
    ZRTTIBase* const object = ObjectOf(context);
    if (object != nullptr && object->IsA(ZCollisionInterface::StaticType()) &&
        (GetShapeFilterMask(static_cast<ZCollisionInterface*>(object)) & 0x80u) == 0) {
        return;
    }
    ZEntity* const entity = ResolveEntity(object);
    if (entity == nullptr) {
        return;
    }
    SetEntityResting(entity);
    if (ZShadowComponent* shadow = GetComponent<ZShadowComponent>(entity)) {
        shadow->SetLocked(true);
    }
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

void Collision(const Words& words, const uint32_t context, const uint32_t other) {
    ZCollisionComponent* collision = NamedComponent<ZCollisionComponent>(words, 1, context, other);
    const ZString& mode = Word(words, 2);
    if (collision == nullptr) {
        return;
    }
    if (mode.EqualsNoCase("enable")) {
        collision->SetEnabled(true);
    } else if (mode.EqualsNoCase("disable")) {
        collision->SetEnabled(false);
    }
}

// The amount is the int field of word 2's value (a Float amount damages by
// 0); no attacker is named.
void Damage(const Words& words, const uint32_t context, const uint32_t other) {
    ZDatumEntry amount = ZDatumEntry::Int(0);
    if (words.Count() > 2) {
        EvaluateOperand(Word(words, 2), context, other, amount);
    }
    if (ZHealthComponent* health = NamedComponent<ZHealthComponent>(words, 1, context, other)) {
        health->TakeDamage(amount.value.intValue, 0);
    }
}

// "anim <entity> play <sequence>"; the name is not checked against the
// sequences (an unknown one plays nothing).
void Anim(const Words& words, const uint32_t context, const uint32_t other) {
    ZAnimComponent* anim = NamedComponent<ZAnimComponent>(words, 1, context, other);
    if (anim != nullptr && Word(words, 2).EqualsNoCase("play")) {
        anim->Play(ZHashedString(Word(words, 3).GetText()));
    }
}

// The engine's default movement: one jump of 32 units reached in 0.3 s.
void InitPhysics(const Words& words, const uint32_t context, const uint32_t other) {
    if (ZPhysicsComponent* physics = NamedComponent<ZPhysicsComponent>(words, 1, context, other)) {
        const float heights[] = {32.0f};
        physics->InitPhysics(0.0f, heights, 1, 0.3f, 1.0f, 0.0f);
    }
}

void Respawn(const Words& words, const uint32_t context, const uint32_t other) {
    RespawnEntity(NamedComponent<ZRespawnComponent>(words, 1, context, other));
}

struct Verb {
    Handler handler = nullptr;
    uint32_t minWords = 1;  // the verb itself and the words it cannot do without
    const char* usage = "";
};

ZMap<ZHashedString, Verb>& Table() {
    static ZMap<ZHashedString, Verb> table;
    if (table.IsEmpty()) {
        struct Row {
            const char* verb;
            Handler handler;
            uint32_t minWords;
            const char* usage;
        };
        static const char* const kDatumUsage = "<entity> <datum> <value>";
        static const Row rows[] = {
            {"add", &Blackboard<AddToDatumByHandle>, 4, kDatumUsage},
            {"inc", &Blackboard<AddToDatumByHandle>, 4, kDatumUsage},
            {"sub", &Blackboard<SubtractFromDatumByHandle>, 4, kDatumUsage},
            {"dec", &Blackboard<SubtractFromDatumByHandle>, 4, kDatumUsage},
            {"cs", &Blackboard<SetDatumByHandle>, 4, kDatumUsage},
            {"set", &Blackboard<SetDatumByHandle>, 4, kDatumUsage},
            {"init", &Blackboard<InitDatumByHandle>, 4, kDatumUsage},
            {"clear", &Clear, 2, "<entity>"},
            {"damage", &Damage, 2, "<entity> [amount]"},
            {"delete", &Delete, 2, "<entity> [perm|semiperm]"},
            {"pickup", &Pickup, 1, ""},
            {"initdialog", &InitDialog, 1, "[entity]"},
            {"spawn", &Spawn, 1, ""},
            {"rest", &Rest, 1, ""},
            {"run", &Run, 3, "<entity> <function>"},
            {"runscript", &Run, 3, "<entity> <function>"},
            {"runfunction", &Run, 3, "<entity> <function>"},
            {"timer", &Timer, 4, "<entity> <sub-verb> <timer>"},
            {"anim", &Anim, 4, "<entity> play <sequence>"},
            {"render", &Render, 3, "<entity> enable|disable"},
            {"collision", &Collision, 3, "<entity> enable|disable"},
            {"initphysics", &InitPhysics, 2, "<entity>"},
            {"respawn", &Respawn, 2, "<entity>"},
            {"checkpoint", &Checkpoint, 2, "<entity>"},
        };
        for (const Row& row : rows) {
            table.Insert(ZHashedString(row.verb), Verb{row.handler, row.minWords, row.usage});
        }
    }
    return table;
}

std::string Joined(const Words& words) {
    std::string text;
    for (const ZString& word : words) {
        text += text.empty() ? "" : " ";
        text += word.GetText();
    }
    return text;
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
    const Verb& entry = node->value;
    if (words.Count() < entry.minWords) {
        // Still taken (the game's handler must not act on it), but a short
        // line would act on empty words: it changes nothing.
        ZLog::Printf("Command '%s' ignored: it needs %u words (%s %s)", Joined(words).c_str(), entry.minWords,
                     Word(words, 0).GetText(), entry.usage);
        return true;
    }
    entry.handler(words, context, other);
    return true;
}
