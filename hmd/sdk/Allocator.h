#pragma once

#include <cstddef>
#include <cstdint>

namespace HSK {

// The SDK's heap. Every SDK object is made and freed through the installed
// allocator; none is installed while the SDK system is stopped.
class Allocator {
public:
    virtual ~Allocator() = default;
    virtual void* Alloc(size_t size) = 0;
    virtual void* AllocDebug(size_t size, const char* file, unsigned line) = 0;
    virtual void* Realloc(void* block, size_t newSize) = 0;
    virtual void Free(void* block) = 0;
    // Aligned blocks come from AllocAligned and go back through FreeAligned.
    virtual void* AllocAligned(size_t size, size_t align) = 0;
    virtual void FreeAligned(void* block) = 0;
    virtual void OnSystemShutdown() = 0;

    // The installed allocator, null while the system is stopped.
    static Allocator* GetInstance();
    static void SetInstance(Allocator* allocator);

    // Where an aligned block of the given raw block starts: the next multiple of
    // align above raw (a whole align further when raw is aligned already),
    // alignments below 5 counting as 4. The distance back to raw is stored in
    // the four bytes before the result.
    static uint8_t* PlaceAligned(uint8_t* raw, size_t align);
    static size_t EffectiveAlignment(size_t align) { return align < 5 ? 4 : align; }
};

// The run-time library's heap.
class DefaultAllocator final : public Allocator {
public:
    void* Alloc(size_t size) override;
    void* AllocDebug(size_t size, const char* file, unsigned line) override;
    void* Realloc(void* block, size_t newSize) override;
    void Free(void* block) override;
    void* AllocAligned(size_t size, size_t align) override;
    void FreeAligned(void* block) override;
    void OnSystemShutdown() override { m_initialized = false; }

    void MarkInitialized() { m_initialized = true; }
    bool IsInitialized() const { return m_initialized; }

    static DefaultAllocator* GetDefault();

private:
    bool m_initialized = false;
};

// SDK objects derive from this so that new and delete use the installed
// allocator (the run-time heap while none is installed; both are the same heap).
class NewOverride {
public:
    static void* operator new(size_t size) noexcept;  // null when the heap is out
    static void operator delete(void* block);
};

}  // namespace HSK
