#include "entity/ZAnimComponent.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "entity/ZComponentLookup.h"
#include "entity/ZEntity.h"
#include "entity/ZSpatialComponent.h"
#include "entity/ZSpriteComponent.h"
#include "entity/ZSpriteSheet.h"
#include "foundation/ZHandleRegistry.h"
#include "foundation/ZLog.h"

namespace {

constexpr int kMaxStripFrames = 4096;

int ReadInt(const ZDefNode& node, const ZHashedString key) { return std::atoi(node.GetAttribute(key).GetText()); }

float ReadFloat(const ZDefNode& node, const ZHashedString key) {
    return static_cast<float>(std::atof(node.GetAttribute(key).GetText()));
}

}  // namespace

void ZAnimComponent::ReadDefinition(const ZDefNode& element) {
    ZDefinedComponent::ReadDefinition(element);
    static const ZHashedString kSequence("Sequence");
    static const ZHashedString kName("Name");
    static const ZHashedString kDuration("Duration");
    static const ZHashedString kLoop("Loop");
    static const ZHashedString kStartPlaying("StartPlaying");
    static const ZHashedString kFrame("Frame");
    static const ZHashedString kMod("Mod");
    static const ZHashedString kFinished("Finished");
    static const ZHashedString kX("X"), kY("Y"), kW("W"), kH("H"), kDX("DX"), kDY("DY");
    static const ZHashedString kNX("NX"), kNY("NY"), kDot("Dot"), kOX("OX"), kOY("OY");

    const ZSpriteComponent* const sprite = GetComponent<ZSpriteComponent>(GetOwner());
    const float sheetWidth = sprite != nullptr && sprite->sheet != nullptr ? float(sprite->sheet->GetWidth()) : 0.0f;
    const float sheetHeight = sprite != nullptr && sprite->sheet != nullptr ? float(sprite->sheet->GetHeight()) : 0.0f;
    // Frames are fractions of the sheet: without a sheet of some size there
    // is nothing to cut them from (and nothing to divide by).
    const bool haveSheet = sprite != nullptr && sheetWidth > 0.0f && sheetHeight > 0.0f;
    if (sprite != nullptr && !haveSheet && element.FindChildIndex(0, kSequence) < element.children.Count()) {
        ZLog::Printf("Anim: the sprite has no sheet texture to cut frames from; its sequences have no frames");
    }
    bool startPlaying = false;
    for (const ZDefNode& child : element.children) {
        if (child.name != kSequence) {
            continue;
        }
        AnimSequence sequence;
        const ZString& nameText = child.GetAttribute(kName);
        const ZHashedString name = nameText.IsEmpty() ? ZHashedString() : ZHashedString(nameText.GetText());
        sequence.duration = ReadFloat(child, kDuration);
        sequence.loop = child.GetAttribute(kLoop).EqualsNoCase("True") ? 1 : 0;
        if (child.GetAttribute(kStartPlaying).EqualsNoCase("True")) {
            currentSequence = name;
            startPlaying = true;
        }
        for (const ZDefNode& part : child.children) {
            if (part.name == kFrame && haveSheet) {
                const int x = ReadInt(part, kX);
                const int y = ReadInt(part, kY);
                const int w = ReadInt(part, kW);
                const int h = ReadInt(part, kH);
                const int dx = std::max(ReadInt(part, kDX), 1);
                const int dy = std::max(ReadInt(part, kDY), 1);
                int n = std::max(dx, dy);
                // A strip longer than any sheet holds is a typing slip; it must
                // not take all memory.
                if (n > kMaxStripFrames) {
                    ZLog::Printf("Anim: a Frame strip of %d frames is cut to %d", n, kMaxStripFrames);
                    n = kMaxStripFrames;
                }
                for (int i = 0; i < n; ++i) {
                    AnimFrame frame;
                    // In 64 bits: huge sizes in a definition must not overflow.
                    frame.u = float(int64_t(i % dx) * w + x) / sheetWidth;
                    frame.v = float(int64_t(i % dy) * h + y) / sheetHeight;
                    frame.w = float(w) / sheetWidth;
                    frame.h = float(h) / sheetHeight;
                    sequence.frames.PushBack(frame);
                }
            } else if (part.name == kMod && haveSheet) {
                const float nx = ReadFloat(part, kNX);
                const float ny = ReadFloat(part, kNY);
                float scale = 1.0f / std::sqrt(nx * nx + ny * ny);
                if (!std::isfinite(scale)) {
                    scale = 0.0f;
                }
                AnimMod mod;
                mod.nx = nx * scale;
                mod.ny = ny * scale;
                mod.dot = ReadFloat(part, kDot);
                mod.ox = float(ReadInt(part, kOX)) / sheetWidth;
                mod.oy = float(ReadInt(part, kOY)) / sheetHeight;
                sequence.mods.PushBack(mod);
            } else if (part.name == kFinished) {
                sequence.finished.PushBack(part);
            }
        }
        sequences.Insert(name, sequence);
    }
    if (startPlaying) {
        elapsed = 0.0f;
        playing = 1;
    }
}

void ZAnimComponent::Play(const ZHashedString sequence) {
    elapsed = 0.0f;
    playing = 1;
    currentSequence = sequence;
}

void ZAnimComponent::AddMod(const ZHashedString sequence, const float nx, const float ny, const float dot,
                            const float ox, const float oy) {
    if (auto* node = sequences.Find(sequence)) {
        node->value.mods.PushBack({nx, ny, dot, ox, oy});
    }
}

const AnimSequence* ZAnimComponent::Current() const {
    const auto* node = sequences.Find(currentSequence);
    return node != nullptr ? &node->value : nullptr;
}

int32_t ZAnimComponent::GetFrameCount() const {
    const AnimSequence* const s = Current();
    return s != nullptr ? static_cast<int32_t>(s->frames.Count()) : 0;
}

float ZAnimComponent::GetDuration() const {
    const AnimSequence* const s = Current();
    return s != nullptr ? s->duration : 0.0f;
}

int32_t ZAnimComponent::GetFrameIndex() const {
    const AnimSequence* const s = Current();
    const int32_t count = GetFrameCount();
    if (s == nullptr || !(s->duration > 0.0f) || count == 0) {
        return 0;
    }
    const float position = float(count) * elapsed / s->duration;
    if (!std::isfinite(position)) {
        return 0;
    }
    // Elapsed never runs negative in play, but the game may set it.
    const auto index = static_cast<int64_t>(std::fmod(std::trunc(position), float(count)));
    return static_cast<int32_t>(((index % count) + count) % count);
}

const AnimFrame* ZAnimComponent::CurrentFrame() const {
    const AnimSequence* const s = Current();
    if (s == nullptr || s->frames.IsEmpty()) {
        return nullptr;
    }
    return &s->frames[static_cast<uint32_t>(GetFrameIndex())];
}

ZVector2 ZAnimComponent::GetFrameOffset() const {
    const AnimFrame* const frame = CurrentFrame();
    if (frame == nullptr) {
        return {0.0f, 0.0f};
    }
    ZVector2 direction(0.0f, 0.0f);
    if (const ZSpatialComponent* spatial = GetComponent<ZSpatialComponent>(GetOwner())) {
        const ZVector3& v = spatial->current.velocity;
        const float inverse = 1.0f / std::sqrt(v.x * v.x + v.y * v.y);
        if (std::isfinite(inverse)) {
            direction = ZVector2(v.x * inverse, v.y * inverse);
        }
    }
    if (directionHook != nullptr) {
        directionHook(GetOwner(), direction);
    }
    ZVector2 offset(frame->u, frame->v);
    for (const AnimMod& mod : Current()->mods) {
        if (mod.dot <= mod.nx * direction.x + mod.ny * direction.y) {
            offset.x += mod.ox;
            offset.y += mod.oy;
        }
    }
    return offset;
}

ZVector2 ZAnimComponent::GetFrameSize() const {
    const AnimFrame* const frame = CurrentFrame();
    return frame != nullptr ? ZVector2(frame->w, frame->h) : ZVector2(1.0f, 1.0f);
}

ZMatrix4 ZAnimComponent::GetUVMatrix() const {
    if (CurrentFrame() == nullptr) {
        return ZMatrix4();
    }
    const ZVector2 size = GetFrameSize();
    const ZVector2 offset = GetFrameOffset();
    return ZMatrix4::MakeScale(ZVector3(size.x, size.y, 1.0f)) * ZMatrix4::Translation(ZVector3(offset.x, offset.y, 0.0f));
}

void ZAnimComponent::Update(const float timeStep, const uint8_t mask) {
    if ((mask & 4) == 0 || playing == 0) {
        return;
    }
    elapsed += timeStep;
    const AnimSequence* const s = Current();
    if (s == nullptr || !(s->duration > 0.0f) || elapsed < s->duration) {
        return;
    }
    // Several whole passes in one step make one end.
    elapsed = std::fmod(elapsed, s->duration);
    if (s->loop == 0) {
        playing = 0;
    }
    // Copies: the callback and the actions may change the sequences or delete
    // this component.
    const ZArray<ZDefNode> finished(s->finished);
    const uint32_t self = GetHandle();
    if (finishedCallback != nullptr) {
        finishedCallback(GetOwner());
    }
    for (const ZDefNode& node : finished) {
        if (FindObjectByHandle(self) != static_cast<ZRTTIBase*>(this)) {
            return;
        }
        RunEventElements(this, node, self, 0);
    }
}
