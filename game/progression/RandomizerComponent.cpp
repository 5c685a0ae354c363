#include "game/progression/RandomizerComponent.h"

#include <cstdio>

#include "entity/ZComponentLookup.h"
#include "game/player/Player.h"
#include "game/progression/RandomizedPlacement.h"
#include "game/progression/RandomizerData.h"
#include "game/world/KorvanthGame.h"

namespace {

const ZHashedString& SeedKey() {
    static const ZHashedString key("RandomSeedString");
    return key;
}

const ZHashedString& VersionKey() {
    static const ZHashedString key("AlgorithmVersion");
    return key;
}

}  // namespace

ZString NormaliseRandomizerSeed(const ZString& seed) { return seed.ToUpper().Replace(" ", ""); }

uint32_t RandomizerSeedHash(const ZString& seed) { return HashStringELF(NormaliseRandomizerSeed(seed).GetText()); }

ZHashedString RandomizerComponent::GetSerialName() const {
    static const ZHashedString kind("Randomizer");
    return kind;
}

void RandomizerComponent::Save(ZDefNode& element) const {
    if (!m_randomized) return;
    element.SetAttribute(SeedKey(), m_seedString);
    char version[16];
    std::snprintf(version, sizeof version, "%d", m_algorithmVersion);
    element.SetAttribute(VersionKey(), ZString(version));
}

void RandomizerComponent::ReadDefinition(const ZDefNode& element) {
    ZSerialComponent::ReadDefinition(element);
    if (element.HasAttribute(SeedKey()) && element.HasAttribute(VersionKey())) {
        m_randomized = true;
        m_seedString = element.GetAttribute(SeedKey());
        m_algorithmVersion = element.GetAttribute(VersionKey()).ToInt();
    }
    Setup(m_randomized, m_seedString);
}

bool RandomizerComponent::Setup(const bool randomized, ZString seed) {
    RandomizerWorldTable& world = GetRandomizerWorldTable();
    if (randomized) {
        const uint32_t hash = RandomizerSeedHash(seed);
        // The world of this seed is in force already: building it again would
        // give the same table, and emptying the definition cache under the
        // running room is best avoided.
        if (m_randomized && hash == m_seedHash && !world.empty()) {
            m_seedString = seed;
            return true;
        }
        m_randomized = true;
        m_seedString = seed;
        m_seedHash = hash;
        // Files cached under an earlier world (or as shipped) are read again
        // with this one.
        ClearRandomizedWorld(world);
        // A seed without a world has been reported by the build.
        if (BuildRandomizedWorld(world, m_seedHash)) return true;
    }
    const bool hadWorld = m_randomized || !world.empty();
    m_randomized = false;
    m_seedString = ZString();
    m_seedHash = 0;
    if (hadWorld) ClearRandomizedWorld(world);
    return false;
}

RandomizerComponent* FindPlayerRandomizer() {
    const KorvanthGame* game = KorvanthGame::Get();
    if (game == nullptr || game->GetPlayer() == nullptr) return nullptr;
    return GetComponent<RandomizerComponent>(game->GetPlayer());
}

bool IsRandomizerMode() {
    const RandomizerComponent* component = FindPlayerRandomizer();
    return component != nullptr && component->IsRandomized();
}

bool SetUpGameRandomizer(const bool randomized, const ZString& seed) {
    if (RandomizerComponent* component = FindPlayerRandomizer()) return component->Setup(randomized, seed);
    // No player yet: the same as a fresh component would do.
    RandomizerComponent standalone;
    RandomizerWorldTable& world = GetRandomizerWorldTable();
    if (!randomized && world.empty()) return false;
    return standalone.Setup(randomized, seed);
}
