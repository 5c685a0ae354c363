#pragma once

#include <cstdint>

#include "foundation/ZArray.h"

class ZUpdatable;

// Three lists of objects that want regular updates, one per mask bit:
// 1 runs with the frame timing, 2 with every fixed step, 4 once per frame with
// the scaled frame time. A run of a list sorts it by priority, then walks it
// twice: Update for every object that is not paused, then PostUpdate for every
// object that is (still) not paused.
//
// The walks index the list afresh at every step, so an object registered
// during a walk of its list is reached by that same walk, and one removed
// during a walk is not reached; removing an object never makes the walk skip
// another. A walk started inside a walk of the same list leaves the outer
// walk where it was, though that one may then miss a removal made inside.
//
// Main thread only; no lock.
class ZUpdateRegistry {
public:
    static constexpr int kListCount = 3;
    static constexpr uint8_t kListBits[kListCount] = {1, 2, 4};

    ZUpdateRegistry() = default;
    ~ZUpdateRegistry() = default;
    ZUpdateRegistry(const ZUpdateRegistry&) = delete;
    ZUpdateRegistry& operator=(const ZUpdateRegistry&) = delete;

    // Appends the object to each list whose bit is set (twice held twice).
    void Register(ZUpdatable* object, uint8_t mask);
    // Removes the first occurrence of the object from each list whose bit is
    // set, keeping the order of the others.
    void Unregister(ZUpdatable* object, uint8_t mask);

    // Sorts each selected list that holds more than one object by ascending
    // priority. Equal priorities keep no fixed order.
    void Sort(uint8_t mask);
    // For each selected list, in the order 1, 2, 4: Update(timeStep, mask) of
    // every object that is not paused.
    void Update(float timeStep, uint8_t mask);
    // The second walk: PostUpdate(timeStep, mask), the paused flag asked again.
    void PostUpdate(float timeStep, uint8_t mask);
    // A whole run: Sort, Update, PostUpdate. Callers pass a single bit so that
    // one list's post-update walk comes before the next list's update walk.
    void Run(float timeStep, uint8_t mask);

    // The list of a mask bit's index (0 for bit 1, 1 for bit 2, 2 for bit 4).
    const ZArray<ZUpdatable*>& GetList(int index) const { return lists[index]; }

private:
    enum class Pass { Update, PostUpdate };
    void Walk(int index, Pass pass, float timeStep, uint8_t mask);

    ZArray<ZUpdatable*> lists[kListCount];
    // Index of the entry being visited while the list is walked, else -1.
    // Unregister moves it back when it removes an entry at or before it.
    int64_t cursors[kListCount] = {-1, -1, -1};
};

// Negative, zero or positive as a's priority is below, equal to or above b's.
int CompareUpdatePriority(const ZUpdatable* a, const ZUpdatable* b);

// The update registry, made on first use.
ZUpdateRegistry* GetUpdateRegistry();
// Frees it at shutdown; the next GetUpdateRegistry makes an empty one.
void DestroyUpdateRegistry();
