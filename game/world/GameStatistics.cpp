#include "game/world/GameStatistics.h"

#include <algorithm>
#include <cmath>

#include "entity/ZComponentLookup.h"
#include "entity/ZDataComponent.h"
#include "framework/ZConsoleCommand.h"
#include "framework/ZPlatformServices.h"
#include "game/components/CoffeeComponent.h"
#include "game/player/Player.h"
#include "game/player/PlayerProgress.h"
#include "game/progression/RandomizerComponent.h"
#include "game/progression/SpeedrunComponent.h"
#include "game/world/KorvanthGame.h"

namespace {

const char* const kAchievementNames[kAchievementCount] = {
    "ACH_GEMS_1",       "ACH_GEMS_2",         "ACH_GEMS_3",        "ACH_GEMS_4",        "ACH_GEMS_5",
    "ACH_HEARTS",       "ACH_DREAMS_1",       "ACH_DREAMS_2",      "ACH_DREAMS_3",      "ACH_DREAMS_4",
    "ACH_DREAMS_5",     "ACH_PU_AURARED",     "ACH_PU_AURABLUE",   "ACH_PU_BOOTS",      "ACH_PU_GLOVES",
    "ACH_PU_BADGE",     "ACH_PU_SNORKEL",     "ACH_PU_TOXICSUIT",  "ACH_PU_KEY",        "ACH_PU_PENDANT",
    "ACH_PU_MASK",      "ACH_PU_ARCPASS",     "ACH_PU_STYXPASS",   "ACH_DIED",          "ACH_WONGAME",
    "ACH_SECRETQUEST_1", "ACH_SECRETQUEST_2", "ACH_SECRETQUEST_3", "ACH_PU_COFFEE",     "ACH_SPEEDRUN_1",
    "ACH_SPEEDRUN_2",   "ACH_SPEEDRUN_GHOST", "ACH_WONGAME_RANDO",
};

// The powerups that have an achievement, in evaluation order (the green and
// yellow auras and the first and third boots have none).
struct PowerupRow {
    uint32_t id;
    Achievement achievement;
};
constexpr PowerupRow kPowerupRows[] = {
    {0x10001, kAchAuraRed}, {0x10002, kAchAuraBlue},  {0x20002, kAchBoots},    {0x30001, kAchGloves},
    {0x50001, kAchBadge},   {0x60001, kAchSnorkel},   {0x60002, kAchToxicSuit}, {0x70001, kAchKey},
    {0x90001, kAchPendant}, {0x40001, kAchMask},      {0x80001, kAchArcPass},  {0x80002, kAchStyxPass},
};

// Counters are integers and flags booleans; a value stored under another
// number type is read as that number, anything else counts as not held.
std::optional<int32_t> ReadCounter(const ZDataComponent& data, const ZHashedString name) {
    ZDatumEntry entry;
    if (!data.GetDatum(name, entry)) return std::nullopt;
    switch (entry.type) {
    case kDatumInt:
        return entry.value.intValue;
    case kDatumFloat:
        // Out-of-range floats (and NaN) would be undefined to convert.
        if (!(std::fabs(entry.value.floatValue) < 2147483520.0f)) return std::nullopt;
        return static_cast<int32_t>(entry.value.floatValue);
    case kDatumBool:
        return entry.value.boolValue ? 1 : 0;
    default:
        return std::nullopt;
    }
}

std::optional<bool> ReadFlag(const ZDataComponent& data, const ZHashedString name) {
    ZDatumEntry entry;
    if (!data.GetDatum(name, entry)) return std::nullopt;
    switch (entry.type) {
    case kDatumBool:
        return entry.value.boolValue;
    case kDatumInt:
        return entry.value.intValue != 0;
    default:
        return std::nullopt;
    }
}

bool AtLeast(const std::optional<int32_t>& value, const int32_t threshold) {
    return value.has_value() && *value >= threshold;
}

bool IsTrue(const std::optional<bool>& value) { return value.has_value() && *value; }

bool Holds(const AchievementStats& stats, const uint32_t id) {
    return std::find(stats.powerups.begin(), stats.powerups.end(), id) != stats.powerups.end();
}

}  // namespace

ZHashedString GetAchievementId(const Achievement achievement) {
    static ZHashedString ids[kAchievementCount];
    static bool built = false;
    if (!built) {
        for (int32_t i = 0; i < kAchievementCount; ++i) ids[i] = ZHashedString(kAchievementNames[i]);
        built = true;
    }
    return achievement >= 0 && achievement < kAchievementCount ? ids[achievement] : ZHashedString::None();
}

void RegisterGameAchievements() {
    GetAchievementId(kAchGems1);
    GetPlatformServices();
}

AchievementStats GatherAchievementStats(const Player* const player) {
    AchievementStats stats;
    if (player == nullptr) return stats;
    stats.hasPlayer = true;
    if (const ZDataComponent* data = GetComponent<ZDataComponent>(const_cast<Player*>(player))) {
        // The keys are hashed once, on first use.
        static const ZHashedString kGemsTotal("smcubes_total");
        static const ZHashedString kGemsMax("smcubes_max");
        static const ZHashedString kHearts("bgcubes");
        static const ZHashedString kDreams("dreams");
        static const ZHashedString kDeaths("DeathsCount");
        static const ZHashedString kWonGame("wongame");
        static const ZHashedString kClever("clever");
        static const ZHashedString kEnteredCode("EnteredCode");
        static const ZHashedString kSmelly("smelly");
        stats.hasData = true;
        stats.gemsTotal = ReadCounter(*data, kGemsTotal);
        stats.gemsMax = ReadCounter(*data, kGemsMax);
        stats.hearts = ReadCounter(*data, kHearts);
        stats.dreams = ReadCounter(*data, kDreams);
        stats.deaths = ReadCounter(*data, kDeaths);
        stats.wonGame = ReadFlag(*data, kWonGame);
        stats.clever = ReadFlag(*data, kClever);
        stats.enteredCode = ReadFlag(*data, kEnteredCode);
        stats.smelly = ReadFlag(*data, kSmelly);
        for (const PowerupRow& row : kPowerupRows) {
            // The player's own keys, never a speedrun course's set.
            if (HasPowerup(*player, row.id, true)) stats.powerups.push_back(row.id);
        }
    }
    // The coffee counts with or without a data component.
    if (const CoffeeComponent* coffee = GetComponent<CoffeeComponent>(const_cast<Player*>(player))) {
        stats.caffeineSeconds = coffee->timer;
    }
    if (const RandomizerComponent* randomizer = GetComponent<RandomizerComponent>(const_cast<Player*>(player))) {
        stats.randomized = randomizer->IsRandomized();
    }
    if (const SpeedrunComponent* speedrun = GetComponent<SpeedrunComponent>(const_cast<Player*>(player))) {
        // A course looked at before any time was recorded holds -1: not a result.
        for (const auto& entry : speedrun->GetResults()) {
            if (entry.second.time >= 0.0f) ++stats.speedrunCourses;
        }
    }
    return stats;
}

std::vector<Achievement> EvaluateAchievements(const AchievementStats& stats, const char* trigger,
                                              const ZString& campaignPrefix) {
    std::vector<Achievement> earned;
    if (EqualsNoCaseASCII(trigger, "AnyCampaign") && stats.hasPlayer && stats.hasData && IsTrue(stats.enteredCode)) {
        earned.push_back(kAchSecretQuest2);
    }
    if (!(campaignPrefix == "QXV_") || !stats.hasPlayer) return earned;

    if (stats.hasData) {
        if (stats.gemsTotal.has_value() && stats.gemsMax.has_value()) {
            // Single precision, as the counts are kept: 0 / 0 earns nothing,
            // a positive count over 0 earns all five.
            const float ratio = static_cast<float>(*stats.gemsTotal) / static_cast<float>(*stats.gemsMax);
            const float thresholds[] = {0.0f, 0.2499f, 0.4999f, 0.7499f, 0.9999f};
            for (int32_t i = 0; i < 5; ++i) {
                if (ratio > thresholds[i]) earned.push_back(static_cast<Achievement>(kAchGems1 + i));
            }
        }
        if (AtLeast(stats.hearts, 6)) earned.push_back(kAchHearts);
        const int32_t dreamSteps[] = {1, 3, 5, 7, 9};
        for (int32_t i = 0; i < 5; ++i) {
            if (AtLeast(stats.dreams, dreamSteps[i])) earned.push_back(static_cast<Achievement>(kAchDreams1 + i));
        }
        for (const PowerupRow& row : kPowerupRows) {
            if (Holds(stats, row.id)) earned.push_back(row.achievement);
        }
        if (AtLeast(stats.deaths, 1)) earned.push_back(kAchDied);
        if (IsTrue(stats.wonGame)) earned.push_back(kAchWonGame);
        if (IsTrue(stats.wonGame) && stats.randomized) earned.push_back(kAchWonGameRando);
        if (IsTrue(stats.clever)) earned.push_back(kAchSecretQuest1);
        if (IsTrue(stats.enteredCode)) earned.push_back(kAchSecretQuest2);
        if (IsTrue(stats.smelly)) earned.push_back(kAchSecretQuest3);
    }
    if (stats.speedrunCourses >= 1) earned.push_back(kAchSpeedrun1);
    if (stats.speedrunCourses >= 5) earned.push_back(kAchSpeedrun2);
    if (stats.caffeineSeconds > 0.0f) earned.push_back(kAchCoffee);
    return earned;
}

void UpdateAchievementsFromStats(KorvanthGame* const game, const char* const trigger) {
    if (game == nullptr) return;
    const std::vector<Achievement> earned =
        EvaluateAchievements(GatherAchievementStats(game->GetPlayer()), trigger, game->GetCampaignPrefix());
    ZPlatformServices* const services = GetPlatformServices();
    if (services == nullptr) return;
    for (const Achievement achievement : earned) services->UnlockAchievement(GetAchievementId(achievement));
}
