#pragma once

#include "platform/gfx/gfx.h"

namespace gfx::gl {

// The OpenGL 3.3 core backend on SDL. Initialises SDL's video subsystem for as
// long as the system lives.
System* CreateSystem();

}  // namespace gfx::gl
