#pragma once

#include "menu/ZSingleTextureShader.h"

// The logo ring of the start-up splash: its grid picture ("QMWMeshTexture");
// the matrices, the camera and the fade come from its owner, the splash.
class ZSplashMeshShader : public ZSingleTextureShader {
public:
    ZSplashMeshShader()
        : ZSingleTextureShader("__ZORP_QMW_Mesh.fxo", ZHashedString("__Default_QMW_Mesh Shader"),
                               ZHashedString("QMWMeshTech"), "qmw_grid.dds", ZHashedString("__Default_QMW_Mesh Texture"),
                               ZHashedString("QMWMeshTexture")) {}
};
