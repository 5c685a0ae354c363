#include "renderer/ZRenderable.h"

#include "foundation/ZLog.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZVertexBuffer.h"

void ZRenderable::Draw(ZRenderer* renderer, ZParameterSource* /*renderInstanceSource*/) {
    gfx::Device* device = renderer != nullptr ? renderer->GetDevice() : nullptr;
    if (device == nullptr || vertexBuffer == nullptr || vertexBuffer->vertexCount == 0 ||
        vertexBuffer->declaration == nullptr) {
        return;
    }
    renderer->SetVertexBuffer(vertexBuffer);
    if (indexBuffer != nullptr) {
        renderer->SetIndexBuffer(indexBuffer);
    }
    const uint32_t vertices = renderer->currentVertexCount;
    // Lists draw only with indices of their own: another renderable's would draw the wrong shape.
    const uint32_t indices =
        indexBuffer != nullptr && indexBuffer->indexCount > 0 ? renderer->currentIndexCount : 0;
    switch (primitiveType) {
        case kTriangleList:
            if (indices > 0) {
                renderer->Check(device->DrawIndexedPrimitive(gfx::PrimitiveType::TriangleList, 0, 0, vertices, 0,
                                                             indices / 3));
            }
            break;
        case kLineList:
            if (indices > 0) {
                renderer->Check(
                    device->DrawIndexedPrimitive(gfx::PrimitiveType::LineList, 0, 0, vertices, 0, indices / 2));
            }
            break;
        case kPointList: renderer->Check(device->DrawPrimitive(gfx::PrimitiveType::PointList, 0, vertices)); break;
        default: ZLog::Printf("Dev Error: Unknown render primitive type."); break;
    }
}
