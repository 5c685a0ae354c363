#include "game/display/GameDisplay.h"

#include "game/display/DisplayChain.h"

namespace {
GameDisplay* g_display = nullptr;
}

GameDisplay::GameDisplay() = default;

GameDisplay::~GameDisplay() { ReleaseChain(); }

ZVector4 GameDisplay::GetAnaglyphGamma() const {
    if (!settings.anaglyph3D) return ZVector4(1.0f, 1.0f, 1.0f, 1.0f);
    const float g = 1.0f - settings.anaglyphBrightness;
    return ZVector4(g, g, g, g);
}

void GameDisplay::SetChain(std::unique_ptr<DisplayChain> chain) {
    ReleaseChain();
    m_chain = std::move(chain);
}

void GameDisplay::ReleaseChain() {
    // The chain's shaders read this object while they go.
    std::unique_ptr<DisplayChain> chain = std::move(m_chain);
    chain.reset();
}

GameDisplay* GetGameDisplay() {
    if (g_display == nullptr) g_display = new GameDisplay();
    return g_display;
}

GameDisplay* PeekGameDisplay() { return g_display; }

void DestroyGameDisplay() {
    GameDisplay* display = g_display;
    if (display == nullptr) return;
    display->ReleaseChain();
    g_display = nullptr;
    delete display;
}
