#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace HSK {

// The hash of a pointer: its address folded onto itself.
struct PointerHash {
    size_t operator()(const void* p) const {
        const uintptr_t v = reinterpret_cast<uintptr_t>(p);
        return static_cast<size_t>((v >> 6) ^ v);
    }
};

// An open-addressing set with chains threaded through the table: every chain
// starts at its home entry; a value whose home is taken goes to the next empty
// entry found by linear probing. The table starts at 8 entries and doubles when
// more than four fifths are used.
template <typename T, typename Hash = PointerHash>
class HashSet {
public:
    size_t GetCount() const { return m_count; }
    size_t GetSize() const { return m_table.size(); }

    void Add(const T& value) {
        if (m_table.empty()) {
            Resize(8);
        } else if (m_count * 5 > m_table.size() * 4) {
            Resize(m_table.size() * 2);
        }
        AddNoGrow(value);
    }

    bool Contains(const T& value) const { return Find(value) != kEnd; }

    bool Remove(const T& value) {
        if (m_table.empty()) return false;
        const ptrdiff_t home = static_cast<ptrdiff_t>(Hash()(value) & m_mask);
        if (m_table[home].next == kEmpty || m_table[home].home != home) return false;
        ptrdiff_t previous = kEnd;
        ptrdiff_t index = home;
        while (index != kEnd && !(m_table[index].value == value)) {
            previous = index;
            index = m_table[index].next;
        }
        if (index == kEnd) return false;
        if (previous == kEnd) {
            // The home entry goes: its successor moves in, so the chain still starts at home.
            const ptrdiff_t next = m_table[index].next;
            if (next != kEnd) {
                m_table[index] = m_table[next];
                m_table[next].next = kEmpty;
            } else {
                m_table[index].next = kEmpty;
            }
        } else {
            m_table[previous].next = m_table[index].next;
            m_table[index].next = kEmpty;
        }
        --m_count;
        return true;
    }

    template <typename F>
    void ForEach(F function) const {
        for (const Entry& e : m_table) {
            if (e.next != kEmpty) function(e.value);
        }
    }

private:
    static constexpr ptrdiff_t kEmpty = -2;
    static constexpr ptrdiff_t kEnd = -1;
    struct Entry {
        ptrdiff_t next = kEmpty;
        ptrdiff_t home = 0;
        T value{};
    };

    ptrdiff_t Find(const T& value) const {
        if (m_table.empty()) return kEnd;
        const ptrdiff_t home = static_cast<ptrdiff_t>(Hash()(value) & m_mask);
        if (m_table[home].next == kEmpty || m_table[home].home != home) return kEnd;
        for (ptrdiff_t index = home; index != kEnd; index = m_table[index].next) {
            if (m_table[index].value == value) return index;
        }
        return kEnd;
    }

    void Resize(const size_t size) {
        std::vector<Entry> old;
        old.swap(m_table);
        m_table.assign(size, Entry());
        m_mask = size - 1;
        m_count = 0;
        for (const Entry& e : old) {
            if (e.next != kEmpty) AddNoGrow(e.value);
        }
    }

    void AddNoGrow(const T& value) {
        const ptrdiff_t index = static_cast<ptrdiff_t>(Hash()(value) & m_mask);
        Entry& natural = m_table[index];
        ++m_count;
        if (natural.next == kEmpty) {
            natural = Entry{kEnd, index, value};
            return;
        }
        ptrdiff_t blank = index;
        do {
            blank = (blank + 1) & static_cast<ptrdiff_t>(m_mask);
        } while (m_table[blank].next != kEmpty);
        if (natural.home != index) {
            // A member of another chain sits here: move it to the blank and relink it.
            ptrdiff_t previous = natural.home;
            while (m_table[previous].next != index) previous = m_table[previous].next;
            m_table[blank] = natural;
            m_table[previous].next = blank;
            natural = Entry{kEnd, index, value};
        } else {
            // The head of this chain: it moves to the blank behind the new head.
            m_table[blank] = natural;
            natural = Entry{blank, index, value};
        }
    }

    std::vector<Entry> m_table;
    size_t m_count = 0;
    size_t m_mask = 0;
};

}  // namespace HSK
