#include "foundation/ZUpdateRegistry.h"

#include "foundation/ZUpdatable.h"

namespace {

ZUpdateRegistry* gUpdateRegistry = nullptr;

int CompareEntries(ZUpdatable* const& a, ZUpdatable* const& b, void*) {
    return CompareUpdatePriority(a, b);
}

// Lists are nearly always in order already (priorities seldom change), and the
// sort is quadratic on a long run of equal priorities: every entity's
// components at priority 0 would cost seconds a step.
bool IsSorted(const ZArray<ZUpdatable*>& list) {
    for (uint32_t i = 1; i < list.Count(); ++i) {
        if (CompareUpdatePriority(list[i - 1], list[i]) > 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

void ZUpdateRegistry::Register(ZUpdatable* const object, const uint8_t mask) {
    for (int i = 0; i < kListCount; ++i) {
        if ((mask & kListBits[i]) != 0) {
            lists[i].PushBack(object);
        }
    }
}

void ZUpdateRegistry::Unregister(ZUpdatable* const object, const uint8_t mask) {
    for (int i = 0; i < kListCount; ++i) {
        if ((mask & kListBits[i]) == 0) {
            continue;
        }
        const int32_t at = lists[i].Find(object);
        if (at < 0) {
            continue;
        }
        lists[i].RemoveAt(static_cast<uint32_t>(at));
        // The entries behind moved down one place; without this step the walk
        // would pass over the one that took the visited place.
        if (cursors[i] >= 0 && at <= cursors[i]) {
            --cursors[i];
        }
    }
}

void ZUpdateRegistry::Sort(const uint8_t mask) {
    for (int i = 0; i < kListCount; ++i) {
        if ((mask & kListBits[i]) != 0 && lists[i].Count() > 1 && !IsSorted(lists[i])) {
            lists[i].QuickSort(CompareEntries, nullptr);
        }
    }
}

void ZUpdateRegistry::Update(const float timeStep, const uint8_t mask) {
    for (int i = 0; i < kListCount; ++i) {
        if ((mask & kListBits[i]) != 0) {
            Walk(i, Pass::Update, timeStep, mask);
        }
    }
}

void ZUpdateRegistry::PostUpdate(const float timeStep, const uint8_t mask) {
    for (int i = 0; i < kListCount; ++i) {
        if ((mask & kListBits[i]) != 0) {
            Walk(i, Pass::PostUpdate, timeStep, mask);
        }
    }
}

void ZUpdateRegistry::Run(const float timeStep, const uint8_t mask) {
    Sort(mask);
    Update(timeStep, mask);
    PostUpdate(timeStep, mask);
}

void ZUpdateRegistry::Walk(const int index, const Pass pass, const float timeStep, const uint8_t mask) {
    ZArray<ZUpdatable*>& list = lists[index];
    int64_t& cursor = cursors[index];
    // A walk started from inside a walk of the same list must not restart the
    // outer one when it ends.
    const int64_t outer = cursor;
    // Count and storage are read at every step: calls may add or remove entries.
    for (cursor = 0; cursor < static_cast<int64_t>(list.Count()); ++cursor) {
        ZUpdatable* const object = list[static_cast<uint32_t>(cursor)];
        if (object->IsUpdatePaused()) {
            continue;
        }
        if (pass == Pass::Update) {
            object->Update(timeStep, mask);
        } else {
            object->PostUpdate(timeStep, mask);
        }
    }
    cursor = outer;
}

int CompareUpdatePriority(const ZUpdatable* const a, const ZUpdatable* const b) {
    // Compared, not subtracted: the difference of two priorities can overflow.
    const int32_t pa = a->GetUpdatePriority();
    const int32_t pb = b->GetUpdatePriority();
    return (pa > pb) - (pa < pb);
}

ZUpdateRegistry* GetUpdateRegistry() {
    if (gUpdateRegistry == nullptr) {
        gUpdateRegistry = new ZUpdateRegistry();
    }
    return gUpdateRegistry;
}

void DestroyUpdateRegistry() {
    delete gUpdateRegistry;
    gUpdateRegistry = nullptr;
}
