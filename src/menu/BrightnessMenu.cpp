#include "menu/BrightnessMenu.h"

#include "framework/ZBaseGame.h"
#include "menu/MenuTexts.h"
#include "menu/ZCalibrationShader.h"
#include "menu/ZMenuItem.h"
#include "menu/ZMenuMgr.h"
#include "menu/ZMenuUnderlay.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderer.h"
#include "renderer/ZTransform.h"

BrightnessMenu::BrightnessMenu() {
    static constexpr float kPositions[4][3] = {{-1, 1, 0}, {1, 1, 0}, {-1, -1, 0}, {1, -1, 0}};
    static constexpr float kTexCoords[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    static constexpr uint16_t kIndices[6] = {0, 2, 1, 1, 2, 3};
    const ZStreamElement elements[2] = {{kPositions, 12, 0, false}, {kTexCoords, 8, 5, false}};
    // Without a device the buffers stay empty and the picture draws nothing.
    if (m_vertices.Create(elements, 2, 4) && m_indices.Create(kIndices, 6)) {
        m_picture.vertexBuffer = &m_vertices;
        m_picture.indexBuffer = &m_indices;
    } else {
        m_vertices.Release();
        m_indices.Release();
    }
    m_shader = new ZCalibrationShader();
    m_picture.shader = m_shader;
    ZTransform::SetParent(&m_picture, m_shader);
    m_picture.visible = false;
    const ZBaseGame* game = ZBaseGame::PeekInstance();
    if (ZRenderer* renderer = PeekRenderer(); renderer != nullptr && game != nullptr) {
        if (ZRenderGroup* group = renderer->FindRenderGroup(game->GetTitleScreenGroupName())) {
            if (!group->Contains(&m_picture)) {
                group->Add(&m_picture);
            }
        }
    }

    AddItem(ZMenuItem::Create(MenuText("BrightnessMenu", "Back"), 512.0f, 672.0f, 0, 1.0f));
    AddValueSpinner(332.8f, 608.0f, 0.5f, 0.8f, MenuText("BrightnessMenu", "Brightness"), ZString(), nullptr,
                    ZHashedString("Video"), ZHashedString("Brightness"), "%+.2f");
    CentreAndWidenPanel(ArrangeItems(80.0f, 64.0f));

    const float scale = (game != nullptr ? game->GetCalibrationScale() : 0.45f) * 768.0f;
    const float offsetY = game != nullptr ? game->GetCalibrationOffsetY() : 0.3f;
    m_picturePanel = new ZMenuUnderlay();
    m_picturePanel->SetPosition(512.0f, 384.0f - offsetY * 384.0f);
    m_picturePanel->SetSize(m_shader->GetImageAspect() * scale + 160.0f, scale + 128.0f);
    m_picturePanel->Refresh();
    underlays.PushBack(m_picturePanel);
}

BrightnessMenu::~BrightnessMenu() {
    if (ZRenderer* renderer = PeekRenderer()) {
        renderer->RemoveFromAllRenderGroups(&m_picture);
    }
    ZTransform::SetParent(&m_picture, nullptr);
    m_picture.shader = nullptr;
    delete m_shader;
    m_vertices.Release();
    m_indices.Release();
}

void BrightnessMenu::HandleAction(const ZMenuEvent& event, ZMenuMouseState* mouse) {
    ZMenu::HandleAction(event, mouse);
    switch (event.kind) {
        case ZMenuEventKind::Accept:
            if (selectedIndex == 0) {
                GetMenuMgr()->CloseMenu();
            }
            break;
        case ZMenuEventKind::Opened:
        case ZMenuEventKind::Resumed: m_picture.visible = true; break;
        case ZMenuEventKind::Closing:
        case ZMenuEventKind::Covered: m_picture.visible = false; break;
        default: break;
    }
}
