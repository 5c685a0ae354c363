#include "game/components/NPCComponent.h"

#include <cmath>
#include <cstdlib>
#include <ctime>

#include "entity/ZAnimComponent.h"
#include "entity/ZComponentLookup.h"
#include "entity/ZDialogProviderComponent.h"
#include "entity/ZEntity.h"
#include "entity/ZEntityGameHooks.h"
#include "entity/ZFrobComponent.h"
#include "entity/ZGUIDComponent.h"
#include "entity/ZRenderableComponent.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZSpriteSheet.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"
#include "game/components/NPCPaletteMaterial.h"
#include "game/components/NPCShader.h"
#include "renderer/ZImage.h"

namespace {

NPCShader* gSharedShader = nullptr;
int32_t gLiveCount = 0;
bool gReleaseWithLast = false;

ZImage& PaletteImage() {
    static ZImage image;
    return image;
}

ZVector4 ColourOf(const uint32_t packed) {
    // Bytes B, G, R, A from the lowest.
    const auto channel = [packed](const int shift) { return static_cast<float>((packed >> shift) & 0xFFu) / 255.0f; };
    return ZVector4(channel(16), channel(8), channel(0), channel(24));
}

// The animation component asks which way the character looks.
void FacingQuery(ZEntity* const owner, ZVector2& direction) {
    if (const NPCComponent* const npc = GetComponent<NPCComponent>(owner)) {
        direction = npc->facing;
    }
}

void OnFrobbed(ZEntity* const owner, const uint32_t frobber) {
    if (NPCComponent* const npc = GetComponent<NPCComponent>(owner)) {
        npc->FaceTowards(frobber);
    }
}

}  // namespace

NPCShader* NPCComponent::GetSharedShader() { return gSharedShader; }

const ZImage& NPCComponent::GetPaletteImage() { return PaletteImage(); }

int32_t NPCComponent::GetLiveCount() { return gLiveCount; }

void NPCComponent::ReleaseSharedShader() {
    if (gLiveCount > 0) {
        gReleaseWithLast = true;
        return;
    }
    delete gSharedShader;
    gSharedShader = nullptr;
    gReleaseWithLast = false;
}

NPCComponent::NPCComponent() : ZUpdatable(6) {
    if (gSharedShader == nullptr) {
        gSharedShader = new NPCShader();
        if (!PaletteImage().LoadBMP("NPC_Palettes.bmp")) {
            ZLog::Printf("NPC: NPC_Palettes.bmp could not be read; characters keep black palettes");
        }
    }
    ++gLiveCount;
    m_material = std::make_unique<NPCPaletteMaterial>(gSharedShader);
    random.Seed(static_cast<uint32_t>(std::time(nullptr)));
}

NPCComponent::~NPCComponent() {
    // The sprite (when it is still there) goes back to the plain sprite
    // shader rather than keep a material about to go.
    if (ZSpriteComponent* const sprite = GetComponent<ZSpriteComponent>(GetOwner())) {
        if (sprite->sheet != nullptr && sprite->sheet->shader == m_material.get()) {
            sprite->sheet->shader = GetSpriteShader();
        }
    }
    m_material.reset();
    if (--gLiveCount == 0 && gReleaseWithLast) ReleaseSharedShader();
}

void NPCComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kStationary("Stationary");
    static const ZHashedString kWalkSpeed("WalkSpeed");
    static const ZHashedString kFace("Face");
    if (element.GetAttribute(kStationary).EqualsNoCase("true")) {
        stationary = true;
    }
    if (element.HasAttribute(kWalkSpeed)) {
        walkSpeed = static_cast<float>(std::strtod(element.GetAttribute(kWalkSpeed).GetText(), nullptr));
    }
    if (element.GetAttribute(kFace).EqualsNoCase("right")) {
        facing = ZVector2(1.0f, 0.0f);
    }
}

void NPCComponent::Setup() {
    ZEntity* const entity = GetOwner();
    ZSpriteComponent* const sprite = GetComponent<ZSpriteComponent>(entity);
    ZAnimComponent* const anim = GetComponent<ZAnimComponent>(entity);
    const ZRenderableComponent* const renderable = GetComponent<ZRenderableComponent>(entity);
    const ZGUIDComponent* const guid = GetComponent<ZGUIDComponent>(entity);
    ZFrobComponent* const frob = GetComponent<ZFrobComponent>(entity);
    if (sprite == nullptr || anim == nullptr || renderable == nullptr || guid == nullptr) {
        ZLog::Printf("NPC %08x: without its sprite, animation, renderable and GUID components it keeps its look",
                     guid != nullptr ? guid->guid : 0u);
        return;
    }
    random.Seed(guid->guid);
    m_figure = random.NextInt(kFigureCount);
    const ZImage& palettes = PaletteImage();
    // Without rows there is no palette to draw: the colours stay, and no
    // number is drawn (a draw over 0 rows has nothing to choose from).
    m_paletteRow = palettes.GetHeight() > 0 ? random.NextInt(palettes.GetHeight()) : -1;

    const float u = static_cast<float>(m_figure) * kFigureRow;
    static const ZHashedString kIdle("Idle");
    static const ZHashedString kWalk("Walk");
    const ZHashedString names[3] = {ZHashedString(), kIdle, kWalk};
    for (const ZHashedString name : names) {
        anim->AddMod(name, 0.0f, 0.0f, -1.0f, 0.0f, u);
    }
    for (const ZHashedString name : names) {
        anim->AddMod(name, 1.0f, 0.0f, 0.0f, 0.5f, 0.0f);
    }
    if (sprite->sheet != nullptr) {
        sprite->sheet->shader = m_material.get();
    }
    if (m_paletteRow >= 0) {
        m_material->red = ColourOf(palettes.GetPixel(0, m_paletteRow));
        m_material->green = ColourOf(palettes.GetPixel(1, m_paletteRow));
        m_material->blue = ColourOf(palettes.GetPixel(2, m_paletteRow));
    }
    anim->SetDirectionHook(FacingQuery);
    if (frob != nullptr) {
        frob->SetOnFrobbed(OnFrobbed);
    }
}

void NPCComponent::FaceTowards(const uint32_t otherHandle) {
    const ZSpatialComponent* const own = GetComponent<ZSpatialComponent>(GetOwner());
    const ZSpatialComponent* const other = ResolveComponent<ZSpatialComponent>(FindObjectByHandle(otherHandle));
    if (own == nullptr || other == nullptr) {
        return;
    }
    facing = other->current.position.x < own->current.position.x ? ZVector2(-1.0f, 0.0f) : ZVector2(1.0f, 0.0f);
}

void NPCComponent::Update(const float timeStep, const uint8_t mask) {
    if ((mask & 2) == 0) {
        return;
    }
    ZEntity* const entity = GetOwner();
    const ZDialogProviderComponent* const dialog = GetComponent<ZDialogProviderComponent>(entity);
    ZSpatialComponent* const spatial = GetComponent<ZSpatialComponent>(entity);
    ZAnimComponent* const anim = GetComponent<ZAnimComponent>(entity);
    if (dialog == nullptr || spatial == nullptr) {
        return;
    }
    static const ZHashedString kIdle("Idle");
    static const ZHashedString kWalk("Walk");
    ZSpatialState& state = spatial->current;
    walkTimer -= timeStep;
    if (walkTimer < 0.0f) {
        walkTimer = 1.0f + 2.0f * random.NextFloat();
        if (std::fabs(state.velocity.x) > 0.1f) {
            if (anim != nullptr) {
                anim->Play(kIdle);
            }
            state.velocity = ZVector3();
            state.position.x = static_cast<float>(static_cast<int32_t>(state.position.x + 0.5f));
        } else if (!stationary) {
            if (anim != nullptr) {
                anim->Play(kWalk);
            }
            state.velocity = ZVector3(random.NextInt(2) == 0 ? -walkSpeed : walkSpeed, 0.0f, 0.0f);
        }
    }
    // While a conversation runs the character keeps looking at its partner.
    if (dialog->consumer != 0 && FindObjectByHandle(dialog->consumer) != nullptr) {
        return;
    }
    if (std::fabs(state.velocity.x) > 0.1f) {
        facing = state.velocity.x < 0.0f ? ZVector2(-1.0f, 0.0f) : ZVector2(1.0f, 0.0f);
    }
}
