#pragma once

// A scripted sequence played by the cinematic manager, which owns it while it
// plays. The intro splash is one; until the cinematic framework exists it is a
// plain cinematic that ends at once.
class ZCinematic {
public:
    ZCinematic() = default;
    virtual ~ZCinematic() = default;
    ZCinematic(const ZCinematic&) = delete;
    ZCinematic& operator=(const ZCinematic&) = delete;

    // While true the control groups marked as blocked during cinematics read
    // as not active.
    virtual bool BlocksInput() const { return false; }
    // Advances the cinematic; false once it has ended.
    virtual bool Update(float /*timeStep*/) { return false; }
};
