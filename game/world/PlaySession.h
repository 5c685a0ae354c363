#pragma once

#include <cstdint>

#include "game/world/EntityState.h"

// Tells play sessions apart for the entities destroyed for a session only
// ("delete Self semiperm"). A session is one start of a campaign (New Game,
// Continue, QuickStart): each start draws a new GUID. While the player runs
// a speedrun course, the course run's own GUID is the session's.
class PlaySession : public SessionHolder {
public:
    PlaySession();
    // The course run's GUID while the player is on a course, else the
    // session's own (never 0).
    uint32_t GetSessionGUID() const override;
    // A new session: a GUID that is neither 0 nor the one before.
    void Begin();
    uint32_t GetOwnGUID() const { return m_guid; }

private:
    uint32_t m_guid = 0;
};
