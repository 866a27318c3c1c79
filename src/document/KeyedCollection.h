#pragma once
// An insertion-ordered collection of owned items keyed by their Handle(), with keys compared
// without regard to letter case (Latin-1) and 1-based positional access, like the collections
// the PDDX document was designed around.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "document/Latin1.h"

namespace vantrel {

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
            T* item = items_[slot].get();
            if (EqualsIgnoreCase(item->Handle(), key)) return item;
        }
    }

    bool Contains(std::string_view key) const { return Find(key) != nullptr; }

    // Appends an item under its Handle(); a key already present is an error to the caller and
    // leaves the collection unchanged.
    T& Add(std::unique_ptr<T> item)
    {
        if (Contains(item->Handle()))
            throw std::invalid_argument("the key \"" + item->Handle() + "\" is already present");
        if ((items_.size() + 1) * 2 > slots_.size()) Rehash(std::max<std::size_t>(16, slots_.size() * 2));
        items_.push_back(std::move(item));
        Insert(static_cast<std::uint32_t>(items_.size() - 1));
        return *items_.back();
    }

    // Removes the item with this key and returns it; a missing key is an error to the caller.
    std::unique_ptr<T> Remove(std::string_view key)
    {
        for (std::size_t i = 0; i < items_.size(); ++i) {
            if (EqualsIgnoreCase(items_[i]->Handle(), key)) {
                std::unique_ptr<T> removed = std::move(items_[i]);
                items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
                Rehash(slots_.size());
                return removed;
            }
        }
        throw std::out_of_range("no item with the key \"" + std::string(key) + "\"");
    }

    class Iterator {
    public:
        using Base = typename std::vector<std::unique_ptr<T>>::const_iterator;
        explicit Iterator(Base it) : it_(it) {}
        T& operator*() const { return **it_; }
        T* operator->() const { return it_->get(); }
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

    std::vector<std::unique_ptr<T>> items_;
    std::vector<std::uint32_t> slots_;  // open addressing over items_, at most half full
};

}  // namespace vantrel
