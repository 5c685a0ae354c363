#pragma once

#include <cstdint>

#include "entity/ZSerialComponent.h"
#include "foundation/ZString.h"

class ZEntity;

// On the player: whether the running game is randomized and with which seed
// text. The seed text, upper-cased and without spaces, hashes to the seed
// that the world is built from, so one text always gives one world. Saved
// with the player's state ("RandomSeedString", "AlgorithmVersion"), only for
// a randomized game.
class RandomizerComponent : public ZSerialComponent {
    Z_RTTI(RandomizerComponent, ZSerialComponent)

public:
    static constexpr int32_t kAlgorithmVersion = 15;

    RandomizerComponent() = default;

    ZHashedString GetSerialName() const override;
    void Save(ZDefNode& element) const override;
    // Restores the saved setting (keeping the present one when either key is
    // missing) and sets the game up with it.
    void ReadDefinition(const ZDefNode& element) override;

    // Makes the running game randomized with the seed text, building its
    // world, or not randomized, clearing what a randomized game left. When no
    // world can be built for the seed, the game runs not randomized (with a
    // log line). Returns whether the game is randomized afterwards.
    bool Setup(bool randomized, ZString seed);

    bool IsRandomized() const { return m_randomized; }
    uint32_t GetSeedHash() const { return m_seedHash; }
    const ZString& GetSeedString() const { return m_seedString; }
    int32_t GetAlgorithmVersion() const { return m_algorithmVersion; }
    void SetAlgorithmVersion(const int32_t version) { m_algorithmVersion = version; }

private:
    bool m_randomized = false;
    uint32_t m_seedHash = 0;
    ZString m_seedString;
    int32_t m_algorithmVersion = kAlgorithmVersion;
};

// The seed text made canonical: a-z raised, every space removed.
ZString NormaliseRandomizerSeed(const ZString& seed);
// HashStringELF of the canonical text.
uint32_t RandomizerSeedHash(const ZString& seed);

// The current game's player's component, or null.
RandomizerComponent* FindPlayerRandomizer();
// Sets the running game up: through the player's component when there is a
// player, else by building or clearing the world directly. Whether the game
// is randomized afterwards.
bool SetUpGameRandomizer(bool randomized, const ZString& seed);
// The game's query: the player's component says randomized (false without one).
bool IsRandomizerMode();
