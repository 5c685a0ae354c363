// The engine's part of the frame: the pass list, the render groups, which
// groups each pass draws, and the final pass's letterbox or pillarbox.

#include "foundation/ZColor.h"
#include "foundation/ZLog.h"
#include "framework/ZBaseGame.h"
#include "renderer/ZRenderGroup.h"
#include "renderer/ZRenderPassDesc.h"
#include "renderer/ZRenderer.h"

namespace {

// An existing pass is left as it is; a new one goes to the end of the list.
void EnsurePass(const ZHashedString name) {
    GetRenderer()->CreateRenderPass(name);
}

}  // namespace

void ZBaseGame::SetPreHUDDefaultRenderTarget() {
    ZLog::Printf("ZBaseGame::SetPreHUDDefaultRenderTarget");
    EnsurePass(GetPreHUDTargetSetterPassName());
}

void ZBaseGame::CreateRenderPasses() {
    ZLog::Printf("ZBaseGame::CreateRenderPasses");
    EnsurePass(GetDefaultPassName());
}

void ZBaseGame::SetFinalDefaultRenderTarget() {
    ZLog::Printf("ZBaseGame::SetFinalDefaultRenderTarget");
    EnsurePass(GetFinalTargetSetterPassName());
    EnsurePass(GetPreHUDPassName());
}

void ZBaseGame::CreateHUDRenderPasses() {
    ZLog::Printf("ZBaseGame::CreateHUDRenderPasses");
    EnsurePass(GetHUDPassName());
    EnsurePass(GetMenuPassName());
    EnsurePass(GetConsolePassName());
}

void ZBaseGame::SetActualDefaultRenderTarget() {
    ZLog::Printf("ZBaseGame::SetActualDefaultRenderTarget");
    EnsurePass(GetActualTargetSetterPassName());
}

void ZBaseGame::CreateFinalRenderPass() {
    ZLog::Printf("ZBaseGame::CreateFinalRenderPass");
    const ZHashedString name = GetFinalPassName();
    EnsurePass(name);
    if (ZRenderPassDesc* pass = GetRenderer()->FindRenderPass(name)) {
        pass->clearColor = true;
        const ZColor background(m_backgroundColor[0], m_backgroundColor[1], m_backgroundColor[2],
                                m_backgroundColor[3]);
        pass->clearColorValue = background.ToColor32();
    }
    FitFinalPassViewport();
}

void ZBaseGame::CreateRenderGroups() {
    ZLog::Printf("ZBaseGame::CreateRenderGroups");
    const ZHashedString names[] = {
        GetDefaultGroupName(),      GetDefaultBackdropGroupName(),
        GetDefaultAlphaGroupName(), GetPreHUDGroupName(),
        GetHUDGroupName(),          GetHUDGlyphGroupName(),
        GetMenuBackdropGroupName(), GetMenuUnderlayGroupName(),
        GetTitleScreenGroupName(),  GetMenuGroupName(),
        GetMenuGlyphGroupName(),    GetConsoleBackdropGroupName(),
        GetConsoleGroupName(),      GetConsoleGlyphGroupName(),
        GetFinalGroupName(),
    };
    ZRenderer* renderer = GetRenderer();
    for (const ZHashedString& name : names) {
        renderer->CreateRenderGroup(name);
    }
}

void ZBaseGame::AssignGroupsToPasses() {
    ZLog::Printf("ZBaseGame::AssignGroupsToPasses");
    struct Assignment {
        ZHashedString pass;
        ZHashedString group;
    };
    const Assignment assignments[] = {
        {GetDefaultPassName(), GetDefaultGroupName()},
        {GetDefaultPassName(), GetDefaultBackdropGroupName()},
        {GetDefaultPassName(), GetDefaultAlphaGroupName()},
        {GetPreHUDPassName(), GetPreHUDGroupName()},
        {GetHUDPassName(), GetHUDGroupName()},
        {GetHUDPassName(), GetHUDGlyphGroupName()},
        {GetMenuPassName(), GetMenuBackdropGroupName()},
        {GetMenuPassName(), GetMenuUnderlayGroupName()},
        {GetMenuPassName(), GetTitleScreenGroupName()},
        {GetMenuPassName(), GetMenuGroupName()},
        {GetMenuPassName(), GetMenuGlyphGroupName()},
        {GetConsolePassName(), GetConsoleBackdropGroupName()},
        {GetConsolePassName(), GetConsoleGroupName()},
        {GetConsolePassName(), GetConsoleGlyphGroupName()},
        {GetFinalPassName(), GetFinalGroupName()},
    };
    const ZRenderer* renderer = GetRenderer();
    for (const Assignment& a : assignments) {
        ZRenderPassDesc* pass = renderer->FindRenderPass(a.pass);
        ZRenderGroup* group = renderer->FindRenderGroup(a.group);
        if (pass != nullptr && group != nullptr) {
            pass->AddGroup(group);
        }
    }
}

void ZBaseGame::OnScreenMetricsChanged() {
    FitFinalPassViewport();
}

void ZBaseGame::FitFinalPassViewport() {
    // Before the render set-up there is no pass to fit (and no renderer to make).
    const ZRenderer* renderer = PeekRenderer();
    ZRenderPassDesc* pass = renderer != nullptr ? renderer->FindRenderPass(GetFinalPassName()) : nullptr;
    if (pass == nullptr) {
        return;
    }
    float x = 0.0f;
    float y = 0.0f;
    float width = 1.0f;
    float height = 1.0f;
    ComputeFinalViewport(m_fixedAspectRatio, m_aspectRatio, m_tate, m_screenWidth, m_screenHeight, x, y,
                         width, height);
    pass->viewportX = x;
    pass->viewportY = y;
    pass->viewportWidth = width;
    pass->viewportHeight = height;
}

void ZBaseGame::ComputeFinalViewport(const float fixedAspectRatio, const float aspectRatio,
                                     const int32_t tate, const int32_t windowWidth,
                                     const int32_t windowHeight, float& x, float& y, float& width,
                                     float& height) {
    x = 0.0f;
    y = 0.0f;
    width = 1.0f;
    height = 1.0f;
    // A window without area (minimized, or not made yet) has no shape to fit.
    if (windowWidth < 1 || windowHeight < 1) {
        return;
    }
    float picture = fixedAspectRatio > 0.0f ? fixedAspectRatio : aspectRatio;
    if (tate % 2 == 1) {
        picture = 1.0f / picture;
    }
    // A damaged aspect (0, negative, not a number) would put the viewport
    // outside the target: keep the whole window.
    if (!(picture > 0.0f) || !(picture < 1e30f)) {
        return;
    }
    const float w = static_cast<float>(windowWidth);
    const float h = static_cast<float>(windowHeight);
    if (w / h < picture) {
        // Narrower than the picture: bars above and below.
        y = ((h - w / picture) * 0.5f) / h;
        height = 1.0f - 2.0f * y;
    } else {
        // Wider: bars left and right (none when the shapes match).
        x = ((w - h * picture) * 0.5f) / w;
        width = 1.0f - 2.0f * x;
    }
}
