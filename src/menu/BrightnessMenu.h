#pragma once

#include "menu/ZMenu.h"
#include "renderer/ZIndexBuffer.h"
#include "renderer/ZRenderable.h"
#include "renderer/ZVertexBuffer.h"

class ZCalibrationShader;

// The brightness setting ([Video] Brightness, applied at once by its change
// callback in the final pass) under a calibration picture, which shows only
// while this page is the top menu.
class BrightnessMenu : public ZMenu {
public:
    BrightnessMenu();
    ~BrightnessMenu() override;

    void HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) override;

    bool IsPictureVisible() const { return m_picture.visible; }
    ZRenderable* GetPicture() { return &m_picture; }
    ZMenuUnderlay* GetPicturePanel() const { return m_picturePanel; }

private:
    ZRenderable m_picture;
    ZVertexBuffer m_vertices;
    ZIndexBuffer m_indices;
    ZCalibrationShader* m_shader = nullptr;
    ZMenuUnderlay* m_picturePanel = nullptr;  // owned by the underlay list
};
