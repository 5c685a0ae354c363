#pragma once

#include <cstdint>

// Base of every object the update registry drives, beside the class's other
// bases. The derived class picks its lists with the mask (bits 1, 2 and 4);
// the object is registered from construction until its destructor runs.
class ZUpdatable {
public:
    // Removes the object from every list of its mask.
    virtual ~ZUpdatable();

    // One step of the list being walked; mask is the mask the walk was asked
    // for, not only the list's own bit.
    virtual void Update(float timeStep, uint8_t mask) = 0;
    // Runs after every object of the list has had its Update; most objects
    // have nothing to do then.
    virtual void PostUpdate(float /*timeStep*/, uint8_t /*mask*/) {}

    // Lists are walked in ascending priority. Changing it takes effect at the
    // next sort, which comes before each run of a list.
    virtual int32_t GetUpdatePriority() const;
    virtual void SetUpdatePriority(int32_t priority);

    // A paused object stays in its lists but both walks pass it by.
    virtual bool IsUpdatePaused() const;
    // Stores the flag and answers it.
    virtual bool SetUpdatePaused(bool paused);

    uint8_t GetUpdateMask() const { return updateMask; }

    ZUpdatable(const ZUpdatable&) = delete;
    ZUpdatable& operator=(const ZUpdatable&) = delete;

protected:
    // Priority 0, not paused; registers the object under the mask.
    explicit ZUpdatable(uint8_t mask);

private:
    uint8_t updateMask;
    int32_t updatePriority = 0;
    bool updatePaused = false;
};
