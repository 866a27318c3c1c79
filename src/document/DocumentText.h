#pragma once
// Where a document keeps its text. Values live in large blocks rather than one heap string each,
// and each distinct element name (a handle with its description) is kept once and shared by every
// element of that name, so a million drops cost a few hundred allocations and no name of their own.

#include <cstddef>
#include <deque>
#include <memory>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace vantrel {

struct ElementName {
    std::string_view handle;
    std::string_view description;
    std::size_t hash;  // FoldedHash(handle): the key in the section's index
};

class DocumentText {
public:
    DocumentText() = default;
    DocumentText(const DocumentText&) = delete;
    DocumentText& operator=(const DocumentText&) = delete;

    ~DocumentText();
    // Room for `size` bytes that stays where it is for as long as the store lives.
    char* Allocate(std::size_t size);
    // The same, starting at a multiple of `alignment` (at most 16), for objects kept here.
    char* AllocateAligned(std::size_t size, std::size_t alignment);

    // A value of at most 255 bytes kept behind its length byte (see KeptValue), so that a list of
    // many costs one pointer each.
    const char* KeepShort(std::string_view text);

    // The shared name record of `handle` with `description`.
    const ElementName& Name(std::string_view handle, std::string_view description);
    // "DropData_" + drop, and "DropHistoryData_" + drop + "_" + sample, with no description.
    const ElementName& DropName(int drop);
    const ElementName& HistoryName(int drop, int sample);

private:
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(const ElementName* name) const { return (*this)(*name); }
        std::size_t operator()(const ElementName& name) const;
    };
    struct NameEqual {
        using is_transparent = void;
        static const ElementName& Of(const ElementName* name) { return *name; }
        static const ElementName& Of(const ElementName& name) { return name; }
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const
        {
            return Of(a).handle == Of(b).handle && Of(a).description == Of(b).description;
        }
    };
    const ElementName& NumberedName(std::vector<const ElementName*>& cache, std::size_t index, std::string_view handle);

    struct Block {
        char* data;
        std::size_t size;
    };
    char* NewBlock(std::size_t size);
    std::vector<Block> blocks_;
    char* next_ = nullptr;
    std::size_t left_ = 0;
    std::size_t blockSize_ = 1024;
    std::deque<ElementName> records_;
    std::unordered_set<const ElementName*, NameHash, NameEqual> names_;
    std::vector<const ElementName*> drops_;      // by drop number
    std::vector<const ElementName*> histories_;  // by drop and sample, for the small numbers of most files
};

// The text of a value that DocumentText::KeepShort kept; empty for none.
inline std::string_view KeptValue(const char* kept)
{
    if (!kept) return {};
    return {kept + 1, static_cast<unsigned char>(kept[0])};
}

}  // namespace vantrel
