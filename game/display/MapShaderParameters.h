#pragma once

#include "foundation/ZHashedString.h"
#include "foundation/ZVector3.h"

class ZEffectParameter;
struct ZMatrix4;

// The quad's placement in the frame; a matrix that draws nothing while the
// texture is missing from the texture manager.
ZMatrix4 MapQuadPlacement(ZHashedString textureName, const ZVector3& position, const ZVector3& scale);

// The parameters the minimap and full-map shaders share: the placement of
// their quad, an identity texture matrix, their texture, the see-through
// colour and the anaglyph eye. False for a name that is not one of them.
bool SetMapShaderParameter(ZEffectParameter& binding, ZHashedString textureName, const ZVector3& position,
                           const ZVector3& scale);
