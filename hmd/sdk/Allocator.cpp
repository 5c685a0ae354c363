#include "hmd/sdk/Allocator.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

namespace HSK {

namespace {

std::atomic<Allocator*> gInstalled{nullptr};

}  // namespace

Allocator* Allocator::GetInstance() {
    return gInstalled.load();
}

void Allocator::SetInstance(Allocator* const allocator) {
    gInstalled.store(allocator);
}

uint8_t* Allocator::PlaceAligned(uint8_t* const raw, const size_t align) {
    const size_t a = EffectiveAlignment(align);
    const uintptr_t address = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t rest = address % a;
    const size_t distance = rest == 0 ? a : a - rest;
    uint8_t* const result = raw + distance;
    const uint32_t stored = static_cast<uint32_t>(distance);
    std::memcpy(result - 4, &stored, 4);
    return result;
}

void* DefaultAllocator::Alloc(const size_t size) {
    return std::malloc(size == 0 ? 1 : size);
}

void* DefaultAllocator::AllocDebug(const size_t size, const char*, unsigned) {
    return Alloc(size);
}

void* DefaultAllocator::Realloc(void* const block, const size_t newSize) {
    return std::realloc(block, newSize == 0 ? 1 : newSize);
}

void DefaultAllocator::Free(void* const block) {
    std::free(block);
}

void* DefaultAllocator::AllocAligned(const size_t size, const size_t align) {
    const size_t a = EffectiveAlignment(align);
    if (size > SIZE_MAX - a) return nullptr;
    uint8_t* const raw = static_cast<uint8_t*>(std::malloc(size + a));
    return raw == nullptr ? nullptr : PlaceAligned(raw, a);
}

void DefaultAllocator::FreeAligned(void* const block) {
    if (block == nullptr) return;
    uint8_t* const p = static_cast<uint8_t*>(block);
    uint32_t distance = 0;
    std::memcpy(&distance, p - 4, 4);
    std::free(p - distance);
}

DefaultAllocator* DefaultAllocator::GetDefault() {
    static DefaultAllocator allocator;
    return &allocator;
}

void* NewOverride::operator new(const size_t size) noexcept {
    Allocator* const allocator = Allocator::GetInstance();
    void* const block = allocator != nullptr ? allocator->Alloc(size) : std::malloc(size == 0 ? 1 : size);
    return block;
}

void NewOverride::operator delete(void* const block) {
    Allocator* const allocator = Allocator::GetInstance();
    if (allocator != nullptr) {
        allocator->Free(block);
    } else {
        std::free(block);
    }
}

}  // namespace HSK
