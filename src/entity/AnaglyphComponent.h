#pragma once

#include "entity/ZSerialComponent.h"

class ZEffectParameter;

// An entity's stereo depth for anaglyph drawing ("Depth"); sprites turn it
// into their "AnaglyphDistance". The game's factory makes it by the kind
// name "Anaglyph".
class AnaglyphComponent : public ZSerialComponent {
    Z_RTTI(AnaglyphComponent, ZSerialComponent)

public:
    AnaglyphComponent() = default;

    ZHashedString GetSerialName() const override {
        static const ZHashedString kind("Anaglyph");
        return kind;
    }
    void ReadDefinition(const ZDefNode& element) override {
        ZDefinedComponent::ReadDefinition(element);
        static const ZHashedString kDepth("Depth");
        if (element.HasAttribute(kDepth)) {
            depth = element.GetAttribute(kDepth).ToFloat();
        }
    }

    // Sets binding when it is one of the anaglyph parameters that every sprite
    // shares (distance offset, colour, silhouette fix, desaturation, gamma)
    // and answers whether it was. The distance is the sprite's own.
    static bool SetSceneParameter(ZEffectParameter* binding, float silhouetteFix);
    // The "AnaglyphDistance" of a sprite at a stereo depth: 0 without a game.
    static float DistanceAt(float depth);

    float depth = 0.0f;
};
