#pragma once

#include <cstdint>

// The pre-HUD pass's anti-aliasing filter for one FXAA level (0 off, 1 to 4).
// The base game makes a new one whenever the video options change.
class ZFXAAFilter {
public:
    explicit ZFXAAFilter(int32_t level) : m_level(level) {}
    virtual ~ZFXAAFilter() = default;
    ZFXAAFilter(const ZFXAAFilter&) = delete;
    ZFXAAFilter& operator=(const ZFXAAFilter&) = delete;

    int32_t GetLevel() const { return m_level; }

private:
    int32_t m_level;
};
