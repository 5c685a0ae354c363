#pragma once

#include <atomic>
#include <cstdint>

#include "hmd/sdk/Allocator.h"

namespace HSK {

// A counted object: it starts with one reference, and the last Release deletes it.
class RefCounted : public NewOverride {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    void AddRef() { m_refCount.fetch_add(1, std::memory_order_relaxed); }
    void Release() {
        if (m_refCount.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    int32_t GetRefCount() const { return m_refCount.load(); }

protected:
    virtual ~RefCounted() = default;

private:
    std::atomic<int32_t> m_refCount{1};
};

}  // namespace HSK
