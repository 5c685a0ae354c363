#pragma once

// An effect that maps pixel positions (y negated) to the screen like the
// engine's HUD effect, samples its texture "tex" point by point and multiplies
// the vertex colour in, blended over what is there. Shared by the GL tests
// and the sprite benchmark; the screen's half-size reciprocals are given as
// text so that each caller's effect file reads exactly as it wants.

#include <string>

namespace korvtest {

inline std::string PixelQuadEffect(const char* technique, const char* invHalfScreenWidth,
                                   const char* invHalfScreenHeight) {
    return std::string("effect 1\nparameter float invHalfScreenWidth = ") + invHalfScreenWidth +
           "\nparameter float invHalfScreenHeight = " + invHalfScreenHeight + "\n" + R"(parameter texture tex
sampler sampler2D texSampler
    texture tex
    MinFilter Point
    MagFilter Point
    MipFilter None
    AddressU Clamp
    AddressV Clamp
end
technique )" + technique + R"(
    pass P0
        vertex VS
        fragment FS
        CullMode None
        ZEnable false
        AlphaBlendEnable true
        SrcBlend SrcAlpha
        DestBlend InvSrcAlpha
end
code vertex VS
uniform float invHalfScreenWidth;
uniform float invHalfScreenHeight;
in vec3 a_Position;
in vec2 a_TexCoord0;
in vec4 a_Color;
out vec2 uv;
out vec4 tint;
void main() {
    gl_Position = vec4(a_Position.x * invHalfScreenWidth - 1.0, a_Position.y * invHalfScreenHeight + 1.0, 0.0, 1.0);
    uv = a_TexCoord0;
    tint = a_Color;
}
endcode
code fragment FS
uniform sampler2D texSampler;
in vec2 uv;
in vec4 tint;
out vec4 colour;
void main() { colour = texture(texSampler, uv) * tint; }
endcode
)";
}

}  // namespace korvtest
