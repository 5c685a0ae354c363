#pragma once

#include <cstdint>

#include "foundation/ZMatrix4.h"
#include "renderer/ZParameterSource.h"

class ZIndexBuffer;
class ZRenderer;
class ZShader;
class ZVertexBuffer;

// A drawable: geometry, the shader that draws it and the parameter sources
// the frame code asks. The buffers belong to whoever set them (the derived
// renderable that built them, or the mesh loader's caller).
class ZRenderable : public ZParameterSource {
public:
    enum PrimitiveType : int32_t { kTriangleList = 0, kLineList = 1, kPointList = 2 };

    ZRenderable() = default;

    virtual ZShader* GetShader() { return shader; }
    // The source of the render-instance parameters; null: the renderable source.
    virtual ZParameterSource* GetRenderInstanceSource() { return nullptr; }
    // The source of the renderable parameters.
    virtual ZParameterSource* GetRenderableSource() { return this; }
    // Binds the geometry and draws it: indexed triangles or lines, or points.
    virtual void Draw(ZRenderer* renderer, ZParameterSource* renderInstanceSource);
    virtual void Hook1() {}
    virtual void Hook2() {}

    bool visible = true;
    ZShader* shader = nullptr;
    ZVertexBuffer* vertexBuffer = nullptr;
    ZIndexBuffer* indexBuffer = nullptr;
    int32_t primitiveType = kTriangleList;
    ZMatrix4 transform;
};
