#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "foundation/ZHashedString.h"
#include "foundation/ZString.h"

class KorvanthGame;
class Player;

// The game's achievements and the statistics that earn them. Earning one
// means reporting its id to the platform services; nothing is kept between
// evaluations, so an achievement whose condition holds is reported again at
// every later evaluation.

enum Achievement : int32_t {
    kAchGems1,
    kAchGems2,
    kAchGems3,
    kAchGems4,
    kAchGems5,
    kAchHearts,
    kAchDreams1,
    kAchDreams2,
    kAchDreams3,
    kAchDreams4,
    kAchDreams5,
    kAchAuraRed,
    kAchAuraBlue,
    kAchBoots,
    kAchGloves,
    kAchBadge,
    kAchSnorkel,
    kAchToxicSuit,
    kAchKey,
    kAchPendant,
    kAchMask,
    kAchArcPass,
    kAchStyxPass,
    kAchDied,
    kAchWonGame,
    kAchSecretQuest1,
    kAchSecretQuest2,
    kAchSecretQuest3,
    kAchCoffee,
    kAchSpeedrun1,
    kAchSpeedrun2,
    kAchSpeedrunGhost,
    kAchWonGameRando,
    kAchievementCount
};

// The id of an achievement ("ACH_GEMS_1" ...), hashed on first use.
ZHashedString GetAchievementId(Achievement achievement);

// What the conditions read. A statistic the player's data component does not
// hold is empty and never meets its condition; a missing speedrun, randomizer
// or coffee component reads as 0 or false.
struct AchievementStats {
    bool hasPlayer = false;
    bool hasData = false;  // the player has a data component
    std::optional<int32_t> gemsTotal;  // "smcubes_total"
    std::optional<int32_t> gemsMax;    // "smcubes_max"
    std::optional<int32_t> hearts;     // "bgcubes"
    std::optional<int32_t> dreams;     // "dreams"
    std::optional<int32_t> deaths;     // "DeathsCount"
    std::optional<bool> wonGame;       // "wongame"
    std::optional<bool> clever;        // "clever"
    std::optional<bool> enteredCode;   // "EnteredCode"
    std::optional<bool> smelly;        // "smelly"
    std::vector<uint32_t> powerups;    // held, by the player's own progress keys
    bool randomized = false;           // the run was randomized
    int32_t speedrunCourses = 0;       // courses with a recorded result
    float caffeineSeconds = 0.0f;      // caffeine left
};

// The statistics of a player (all empty for null).
AchievementStats GatherAchievementStats(const Player* player);

// The achievements the statistics earn, in evaluation order. A trigger of
// "AnyCampaign" (any case) first checks the entered code, in every campaign;
// everything else counts only in the campaign whose prefix is "QXV_".
std::vector<Achievement> EvaluateAchievements(const AchievementStats& stats, const char* trigger,
                                              const ZString& campaignPrefix);

// Evaluates the game's current player and reports every earned achievement to
// the platform services. Safe without a game or a player.
void UpdateAchievementsFromStats(KorvanthGame* game, const char* trigger);

// Builds the ids once, in registration order, and makes sure the platform
// services exist (start-up).
void RegisterGameAchievements();
