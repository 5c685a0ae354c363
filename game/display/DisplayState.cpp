#include "game/display/DisplayState.h"

#include "game/display/DisplayChain.h"
#include "game/world/KorvanthGame.h"

namespace {
DisplayState* g_display = nullptr;
}

DisplayState::DisplayState() = default;

DisplayState::~DisplayState() { ReleaseChain(); }

DisplaySettings& DisplayState::Settings() {
    if (KorvanthGame* game = KorvanthGame::Get()) return game->m_displaySettings;
    return m_ownSettings;
}

const DisplaySettings& DisplayState::Settings() const {
    if (const KorvanthGame* game = KorvanthGame::Get()) return game->m_displaySettings;
    return m_ownSettings;
}

ZVector4 DisplayState::GetAnaglyphGamma() const {
    if (!Settings().anaglyph3D) return ZVector4(1.0f, 1.0f, 1.0f, 1.0f);
    const float g = 1.0f - Settings().anaglyphBrightness;
    return ZVector4(g, g, g, g);
}

void DisplayState::SetChain(std::unique_ptr<DisplayChain> chain) {
    ReleaseChain();
    m_chain = std::move(chain);
}

void DisplayState::ReleaseChain() {
    // The chain's shaders read this object while they go.
    std::unique_ptr<DisplayChain> chain = std::move(m_chain);
    chain.reset();
}

DisplayState* GetDisplayState() {
    if (g_display == nullptr) g_display = new DisplayState();
    return g_display;
}

DisplayState* PeekDisplayState() { return g_display; }

void DestroyDisplayState() {
    DisplayState* display = g_display;
    if (display == nullptr) return;
    display->ReleaseChain();
    g_display = nullptr;
    delete display;
}
