effect 1
# Parameters of every kind, samplers, a structure, two techniques.
parameter float4x4 wvpMat
annotation string Scope = "Renderable"
parameter row_major float4x3 bones[2]
parameter column_major float3x3 normalMat
parameter float brightness = 0.5
annotation bool AutoGen = false
annotation float DefVal = 0.5
parameter float2 offsets[2] = 1 2, 3 4
parameter int mode = -3
parameter bool enabled = true
parameter int3 cells = 0x10 2 3
parameter string label = "say \"hi\""
parameter texture elemTex
annotation string Scope = "MatInst"
parameter textureCUBE envTex
struct light
    member float4 colour = 1 1 1 1
    annotation string Scope = "Instance"
    member float range
end
sampler sampler2D elemSampler
    texture elemTex
    MinFilter Linear
    MagFilter Point
    MipFilter None
    AddressU = Clamp
    AddressV Wrap
    BorderColor 0xff00ff00
end
sampler samplerCUBE envSampler
    texture envTex
end
technique HUD
annotation int order = 2
    pass P0
    annotation string note = "first"
        vertex VS
        fragment FS
        AlphaBlendEnable true
        SrcBlend SrcAlpha
        DestBlend = InvSrcAlpha
        CullMode None
        ZEnable false
        ZWriteEnable false
        ColorWriteEnable RGB
    pass P1
        vertex VS
        fragment FS
        SeparateAlphaBlendEnable true
        SrcBlendAlpha One
        DestBlendAlpha Zero
        BlendOp RevSubtract
end
technique Plain
    pass P0
        vertex VS
        fragment FS
end
code common Shared
// shared declarations
endcode
code vertex VS
in vec3 a_Position;
void main() { gl_Position = vec4(a_Position, 1.0); }
endcode
code fragment FS
out vec4 colour;
void main() { colour = vec4(1.0); }
endcode
