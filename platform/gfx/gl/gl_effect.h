#pragma once

// Effects on GL: one linked program per pass, its uniforms matched against
// the effect's parameters.

#include <optional>
#include <string>
#include <vector>

#include "platform/gfx/effect.h"
#include "platform/gfx/gl/gl_api.h"

namespace gfx::gl {

class GlDevice;

struct GlUniform {
    int param = -1;  // index into the effect's parameter table
    GLint location = -1;
    GLsizei count = 1;
};

struct GlProgram {
    GLuint name = 0;
    GLint pixelFix = -1;  // the uniform that moves pixel centres onto integer coordinates
    uint32_t viewportWidth = 0, viewportHeight = 0;  // what pixelFix was last set for
    std::vector<GlUniform> uniforms;
};

Result CreateGlEffect(GlDevice* device, const void* data, size_t size, Effect** effect,
                      std::optional<std::string>* errors);

}  // namespace gfx::gl
