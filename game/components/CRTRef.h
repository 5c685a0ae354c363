#pragma once

#include <memory>

#include "entity/ZEntity.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

class CRTReferenceShader;

// The CRT reference quad: the whole screen (-1..1 both ways) showing a
// 256 x 224 picture, its texture coordinates shifted by half a texel.
class CRTReferenceQuad : public ZRenderable {
public:
    // The texture coordinates' shift: half a texel of 256 x 224.
    static constexpr float kHalfTexelU = 0.5f / 256.0f;
    static constexpr float kHalfTexelV = 0.5f / 224.0f;

    CRTReferenceQuad();
    // Leaves every render group.
    ~CRTReferenceQuad() override;

private:
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
};

// A debug backdrop: an entity whose only content is a full-screen quad in
// the render group "Debug Background Group", drawn with the CRT reference
// shader, to hold the display chain against a known picture. The game makes
// one with its scene ("Debug Background Entity"), hidden; the console
// command "crtref" shows and hides it.
class CRTRef : public ZEntity {
    Z_RTTI(CRTRef, ZEntity)

public:
    // The renderable component with the quad under the empty name (""), in
    // the group when the group exists (drawn by nothing otherwise).
    CRTRef();
    ~CRTRef() override;

    CRTReferenceQuad* GetQuad() const { return m_quad.get(); }

private:
    std::unique_ptr<CRTReferenceShader> m_shader;
    std::unique_ptr<CRTReferenceQuad> m_quad;
};
