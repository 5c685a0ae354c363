#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

// The engine's growable array. Beyond an ordinary vector it has a shrink rule:
// the storage halves when the count falls to a quarter of the capacity, unless
// the array is fixed or its capacity is not above the minimum capacity.
//
// Every slot of the storage holds a constructed element; new slots are
// value-initialised (scalars zero, classes default-constructed). Elements are
// copied by assignment. Indexing is unchecked, as with a plain array.
//
// Allocation failure is not survivable here: operator new's failure ends the
// program, since no caller could go on without its storage.
template <typename T>
class ZArray {
public:
    ZArray() = default;
    ZArray(const ZArray& other) { Assign(other); }
    ZArray(ZArray&& other) noexcept { Steal(other); }
    ~ZArray() { Clear(); }

    ZArray& operator=(const ZArray& other) {
        Assign(other);
        return *this;
    }
    ZArray& operator=(ZArray&& other) noexcept {
        if (this != &other) {
            Clear();
            Steal(other);
        }
        return *this;
    }

    // Appends a copy. The copy is taken before the storage can move, so a value
    // that lives in this same array stays valid.
    void PushBack(const T& value) {
        if (count < capacity) {
            storage[count++] = value;
            return;
        }
        T copy(value);
        Grow(count + 1);
        storage[count++] = std::move(copy);
    }
    void PushBack(T&& value) {
        if (count < capacity) {
            storage[count++] = std::move(value);
            return;
        }
        T moved(std::move(value));
        Grow(count + 1);
        storage[count++] = std::move(moved);
    }

    // Appends every element of other in order (other may be this array).
    void Append(const ZArray& other) {
        const uint32_t n = other.count;
        for (uint32_t i = 0; i < n; ++i) {
            PushBack(other.storage[i]);
        }
    }

    // Appends the value unless an equal element is already present.
    void AddUnique(const T& value) {
        if (Find(value) < 0) {
            PushBack(value);
        }
    }

    // Index of the first element equal to value, or -1.
    int32_t Find(const T& value) const {
        for (uint32_t i = 0; i < count; ++i) {
            if (storage[i] == value) {
                return static_cast<int32_t>(i);
            }
        }
        return -1;
    }
    bool Contains(const T& value) const { return Find(value) >= 0; }

    // Removes one element keeping the order of the rest; the vacated last slot
    // goes back to its default state. Out-of-range indices are ignored.
    void RemoveAt(uint32_t index) {
        if (index >= count) {
            return;
        }
        for (uint32_t i = index + 1; i < count; ++i) {
            storage[i - 1] = std::move(storage[i]);
        }
        storage[count - 1] = T();
        --count;
        ApplyShrinkRule();
    }

    // Removes n elements from index on, keeping order. Ignored unless the
    // whole range lies within the used elements.
    void RemoveRange(uint32_t index, uint32_t n) {
        if (index >= count || n > count || uint64_t(index) + n > count) {
            return;
        }
        for (uint32_t i = index + n; i < count; ++i) {
            storage[i - n] = std::move(storage[i]);
        }
        // Moved-from slots keep no resources alive.
        for (uint32_t i = count - n; i < count; ++i) {
            storage[i] = T();
        }
        count -= n;
        ApplyShrinkRule();
    }

    // Removes the first element equal to value; true when one was removed.
    bool Remove(const T& value) {
        const int32_t at = Find(value);
        if (at < 0) {
            return false;
        }
        RemoveAt(static_cast<uint32_t>(at));
        return true;
    }

    // Sets the count. Growing doubles the capacity as appending would; the slots
    // taken into use keep what they last held. Shrinking applies the shrink rule
    // once per removed element, each time with the count before that step.
    void Resize(uint32_t newCount) {
        if (newCount > count) {
            Grow(newCount);
            count = newCount;
            return;
        }
        while (count > newCount) {
            ApplyShrinkRule();
            --count;
        }
    }

    // Sets the minimum capacity, grows to reach it, then applies the shrink rule
    // once (which compares the capacity before halving with the minimum, so the
    // result may end below it).
    void SetMinCapacity(uint32_t n) {
        minCapacity = n;
        Grow(n);
        ApplyShrinkRule();
    }

    // While fixed, the capacity never shrinks (it still grows).
    void SetFixed(bool isFixed) { fixed = isFixed; }

    // Copies count, elements, minimum capacity and fixed flag of other.
    void Assign(const ZArray& other) {
        if (this == &other) {
            return;
        }
        Resize(other.count);
        for (uint32_t i = 0; i < other.count; ++i) {
            storage[i] = other.storage[i];
        }
        SetMinCapacity(other.minCapacity);
        fixed = other.fixed;
        ApplyShrinkRule();
    }

    // Frees the storage and forgets the minimum capacity and the fixed flag.
    void Clear() {
        delete[] storage;
        storage = nullptr;
        count = 0;
        capacity = 0;
        minCapacity = 0;
        fixed = false;
    }

    // Sorts the used elements in place by compare (negative, zero or positive).
    // Elements are swapped, never copied.
    void QuickSort(int (*compare)(const T& a, const T& b, void* context), void* context) {
        QuickSortRange(storage, count, compare, context);
    }

    T& operator[](uint32_t i) { return storage[i]; }
    const T& operator[](uint32_t i) const { return storage[i]; }

    uint32_t Count() const { return count; }
    uint32_t Capacity() const { return capacity; }
    uint32_t MinCapacity() const { return minCapacity; }
    bool IsFixed() const { return fixed; }
    bool IsEmpty() const { return count == 0; }
    T* Data() { return storage; }
    const T* Data() const { return storage; }

    T* begin() { return storage; }
    T* end() { return storage + count; }
    const T* begin() const { return storage; }
    const T* end() const { return storage + count; }

private:
    void ApplyShrinkRule() {
        if (!fixed && count <= capacity / 4 && capacity > minCapacity) {
            capacity /= 2;
            Reallocate();
        }
    }

    // Doubles the capacity (0 becomes 1) until it holds needed elements, then
    // reallocates once.
    void Grow(uint32_t needed) {
        if (needed <= capacity) {
            return;
        }
        uint32_t newCapacity = capacity == 0 ? 1 : capacity;
        while (newCapacity < needed) {
            if (newCapacity > UINT32_MAX / 2) {
                std::abort();  // the count field cannot describe more
            }
            newCapacity *= 2;
        }
        capacity = newCapacity;
        Reallocate();
    }

    // Replaces the storage with storage of the current capacity, keeping the
    // used elements. A capacity of 0 frees the storage.
    void Reallocate() {
        if (capacity == 0) {
            delete[] storage;
            storage = nullptr;
            return;
        }
        T* fresh = new T[capacity]();
        const uint32_t keep = count < capacity ? count : capacity;
        std::move(storage, storage + keep, fresh);
        delete[] storage;
        storage = fresh;
    }

    void Steal(ZArray& other) {
        count = other.count;
        capacity = other.capacity;
        minCapacity = other.minCapacity;
        fixed = other.fixed;
        storage = other.storage;
        other.count = 0;
        other.capacity = 0;
        other.minCapacity = 0;
        other.fixed = false;
        other.storage = nullptr;
    }

    static void QuickSortRange(T* elements, uint32_t n,
                               int (*compare)(const T&, const T&, void*), void* context) {
        using std::swap;
        while (n > 1) {
            // Middle pivot: sorted and reverse-sorted input stay n log n.
            swap(elements[n / 2], elements[n - 1]);
            uint32_t store = 0;
            for (uint32_t i = 0; i + 1 < n; ++i) {
                if (compare(elements[i], elements[n - 1], context) <= 0) {
                    swap(elements[i], elements[store]);
                    ++store;
                }
            }
            swap(elements[store], elements[n - 1]);
            // Recurse into the smaller side so the stack stays logarithmic.
            const uint32_t before = store;
            const uint32_t after = n - store - 1;
            if (before < after) {
                QuickSortRange(elements, before, compare, context);
                elements += store + 1;
                n = after;
            } else {
                QuickSortRange(elements + store + 1, after, compare, context);
                n = before;
            }
        }
    }

    uint32_t count = 0;
    uint32_t capacity = 0;
    uint32_t minCapacity = 0;  // the shrink rule never halves a capacity not above it
    bool fixed = false;
    T* storage = nullptr;
};
