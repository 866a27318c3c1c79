#pragma once
// An insertion-ordered collection of owned items keyed by their Handle(), with keys compared
// without regard to letter case (Latin-1) and 1-based positional access, like the collections
// the PDDX document was designed around.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/Latin1.h"

namespace vantrel {

// Stable storage for many small objects: they are built in chunks of a fixed small size, so a
// million drops cost tens of thousands of allocations rather than a million, and a section wastes
// at most one part-filled chunk.
template <typename T>
class ObjectPool {
public:
    ObjectPool() = default;
    ObjectPool(const ObjectPool&) = delete;
    ObjectPool& operator=(const ObjectPool&) = delete;
    ~ObjectPool()
    {
        for (Chunk& chunk : chunks_) {
            for (std::size_t i = 0; i < chunk.used; ++i) chunk.data[i].~T();
            std::allocator<T>().deallocate(chunk.data, chunk.capacity);
        }
    }

    template <typename... Args>
    T& Create(Args&&... args)
    {
        if (chunks_.empty() || chunks_.back().used == chunks_.back().capacity) {
            chunks_.push_back({std::allocator<T>().allocate(kChunkSize), 0, kChunkSize});
        }
        Chunk& chunk = chunks_.back();
        T* item = ::new (static_cast<void*>(chunk.data + chunk.used)) T(std::forward<Args>(args)...);
        ++chunk.used;
        return *item;
    }

    // Undoes the last Create.
    void DestroyLast()
    {
        Chunk& chunk = chunks_.back();
        chunk.data[--chunk.used].~T();
    }

private:
    static constexpr std::size_t kChunkSize = 16;
    struct Chunk {
        T* data;
        std::size_t used;
        std::size_t capacity;
    };
    std::vector<Chunk> chunks_;
};

template <typename T>
class KeyedCollection {
public:
    KeyedCollection() = default;
    KeyedCollection(const KeyedCollection&) = delete;
    KeyedCollection& operator=(const KeyedCollection&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }

    // 1-based, as the document's users count positions.
    T& Item(int position) const
    {
        if (position < 1 || position > Count())
            throw std::out_of_range("position " + std::to_string(position) + " is outside 1 to " +
                                    std::to_string(Count()));
        return *items_[static_cast<std::size_t>(position - 1)];
    }

    T& Item(std::string_view key) const
    {
        T* item = Find(key);
        if (!item) throw std::out_of_range("no item with the key \"" + std::string(key) + "\"");
        return *item;
    }

    T* Find(std::string_view key) const
    {
        if (slots_.empty()) return nullptr;
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t s = FoldedHash(key) & mask;; s = (s + 1) & mask) {
            const std::uint32_t slot = slots_[s];
            if (slot == kEmpty) return nullptr;
            T* item = items_[slot];
            if (EqualsIgnoreCase(item->Handle(), key)) return item;
        }
    }

    bool Contains(std::string_view key) const { return Find(key) != nullptr; }

    // Builds an item from `args` and appends it under its Handle(); a key already present is an
    // error to the caller and leaves the collection unchanged.
    template <typename... Args>
    T& Emplace(Args&&... args)
    {
        T& item = pool_.Create(std::forward<Args>(args)...);
        if (Contains(item.Handle())) {
            std::string key = item.Handle();
            pool_.DestroyLast();
            throw std::invalid_argument("the key \"" + key + "\" is already present");
        }
        if ((items_.size() + 1) * 2 > slots_.size()) Rehash(std::max<std::size_t>(16, slots_.size() * 2));
        items_.push_back(&item);
        Insert(static_cast<std::uint32_t>(items_.size() - 1));
        return item;
    }

    // Takes the item with this key out of the collection (it is released with the collection);
    // a missing key is an error to the caller.
    void Remove(std::string_view key)
    {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (EqualsIgnoreCase(items_[i]->Handle(), key)) {
                items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
                Rehash(slots_.size());
                return;
            }
        }
        throw std::out_of_range("no item with the key \"" + std::string(key) + "\"");
    }

    class Iterator {
    public:
        using Base = typename std::vector<T*>::const_iterator;
        explicit Iterator(Base it) : it_(it) {}
        T& operator*() const { return **it_; }
        T* operator->() const { return *it_; }
        Iterator& operator++() { ++it_; return *this; }
        bool operator==(const Iterator& other) const { return it_ == other.it_; }
    private:
        Base it_;
    };
    Iterator begin() const { return Iterator(items_.begin()); }
    Iterator end() const { return Iterator(items_.end()); }

private:
    static constexpr std::uint32_t kEmpty = UINT32_MAX;

    void Insert(std::uint32_t index)
    {
        const std::size_t mask = slots_.size() - 1;
        std::size_t s = FoldedHash(items_[index]->Handle()) & mask;
        while (slots_[s] != kEmpty) s = (s + 1) & mask;
        slots_[s] = index;
    }

    void Rehash(std::size_t size)
    {
        slots_.assign(size, kEmpty);
        for (std::uint32_t i = 0; i < items_.size(); ++i) Insert(i);
    }

    ObjectPool<T> pool_;
    std::vector<T*> items_;
    std::vector<std::uint32_t> slots_;  // open addressing over items_, at most half full
};

}  // namespace vantrel
