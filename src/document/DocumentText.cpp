#include "document/DocumentText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>

#include "base/Latin1.h"
#include "base/Platform.h"
#include "document/TemplateNames.h"

namespace vantrel {
namespace {

// Blocks double from 1 KB, so that a small document takes little; from 2 MB on, the size of a
// large page, they come from platform::AllocateBlock.
constexpr std::size_t kLargePage = 2 << 20;
constexpr std::size_t kLargestBlock = 32 << 20;

// Copies `text` to `to`; an empty view may have no bytes at all (a null pointer) to copy from.
void CopyTo(char* to, std::string_view text)
{
    if (!text.empty()) std::memcpy(to, text.data(), text.size());
}
// History names are cached for the drop and sample numbers files use; others are looked up.
constexpr int kCachedDrops = 16;
constexpr int kCachedSamples = 4096;
// Drop names are cached by number up to this (a location rarely holds more drops).
constexpr int kCachedDropNames = 1 << 16;

}  // namespace

std::size_t DocumentText::NameHash::operator()(const ElementName& name) const
{
    return name.hash ^ std::hash<std::string_view>()(name.description);
}

DocumentText::~DocumentText()
{
    for (const Block& block : blocks_) {
        if (block.size >= kLargePage) platform::ReleaseBlock(block.data, block.size);
        else delete[] block.data;
    }
}

char* DocumentText::NewBlock(std::size_t size)
{
    blocks_.reserve(blocks_.size() + 1);  // so that the block cannot be lost below
    char* data = size >= kLargePage ? platform::AllocateBlock(size) : new char[size];
    blocks_.push_back({data, size});
    return data;
}

char* DocumentText::Allocate(std::size_t size)
{
    if (size > left_) {
        // A text that would not fit the next block, or is larger than a quarter of the largest,
        // gets a block of its own: the current block stays in use, so that little is wasted.
        if (size > blockSize_ || size > kLargestBlock / 4) return NewBlock(size);
        next_ = NewBlock(blockSize_);
        left_ = blockSize_;
        blockSize_ = std::min(blockSize_ * 2, kLargestBlock);
    }
    char* at = next_;
    next_ += size;
    left_ -= size;
    return at;
}

char* DocumentText::AllocateAligned(std::size_t size, std::size_t alignment)
{
    // A new block starts aligned (new char[] and whole pages are, to 16 bytes at least).
    const std::size_t pad = (alignment - reinterpret_cast<std::uintptr_t>(next_) % alignment) % alignment;
    if (pad + size <= left_) {
        next_ += pad;
        left_ -= pad;
    } else {
        left_ = 0;
    }
    return Allocate(size);
}

const char* DocumentText::KeepShort(std::string_view text)
{
    if (text.size() > 255) throw std::length_error("a kept value is longer than 255 characters");
    char* at = Allocate(text.size() + 1);
    at[0] = static_cast<char>(text.size());
    CopyTo(at + 1, text);
    return at;
}

const ElementName& DocumentText::Name(std::string_view handle, std::string_view description)
{
    const ElementName wanted{handle, description, FoldedHash(handle)};
    if (const auto found = names_.find(wanted); found != names_.end()) return **found;
    char* text = Allocate(std::max<std::size_t>(1, handle.size() + description.size()));  // never null
    CopyTo(text, handle);
    CopyTo(text + handle.size(), description);
    const ElementName& name = records_.emplace_back(ElementName{
        {text, handle.size()}, {text + handle.size(), description.size()}, wanted.hash});
    names_.insert(&name);
    return name;
}

const ElementName& DocumentText::NumberedName(std::vector<const ElementName*>& cache, std::size_t index,
                                              std::string_view handle)
{
    if (index >= cache.size()) cache.resize(index + 1);
    if (!cache[index]) cache[index] = &Name(handle, {});
    return *cache[index];
}

const ElementName& DocumentText::DropName(int drop)
{
    if (drop >= 1 && static_cast<std::size_t>(drop) <= drops_.size() && drops_[static_cast<std::size_t>(drop - 1)])
        return *drops_[static_cast<std::size_t>(drop - 1)];
    const std::string handle = std::string(pddx::TestLocation::kDropDataPrefix) + std::to_string(drop);
    if (drop < 1 || drop > kCachedDropNames) return Name(handle, {});
    return NumberedName(drops_, static_cast<std::size_t>(drop - 1), handle);
}

const ElementName& DocumentText::HistoryName(int drop, int sample)
{
    const bool cached = drop >= 1 && drop <= kCachedDrops && sample >= 1 && sample <= kCachedSamples;
    const auto index = cached ? static_cast<std::size_t>((drop - 1) * kCachedSamples + sample - 1) : 0;
    if (cached && index < histories_.size() && histories_[index]) return *histories_[index];
    const std::string handle =
        std::string(pddx::TestLocation::kDropHistoryDataPrefix) + std::to_string(drop) + "_" + std::to_string(sample);
    return cached ? NumberedName(histories_, index, handle) : Name(handle, {});
}

}  // namespace vantrel
