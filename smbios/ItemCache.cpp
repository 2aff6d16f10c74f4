// The item cache and the items it keeps in its arena.
#include "smbios/ItemCache.h"

#include <algorithm>
#include <new>

#include "smbios/Exception.h"
#include "smbios/StructureImage.h"

namespace smbios {
namespace {

// An item whose structure image lies in the cache's arena, which outlives it.
class ArenaItem final : public SmbiosItem {
public:
    ArenaItem(const uint8_t *position, std::size_t bytesLeft, std::pmr::memory_resource &arena)
        : SmbiosItem(copyInto(arena, position, bytesLeft)) {}

private:
    static KeptImage copyInto(std::pmr::memory_resource &arena, const uint8_t *position, std::size_t bytesLeft) {
        const std::size_t size = structureImageSize(position, bytesLeft);
        auto *image = static_cast<uint8_t *>(arena.allocate(size, 1));
        copyStructureImage(position, bytesLeft, image, size);
        return {image, size};
    }
};

// Orders entries by location, for the binary searches.
struct LocationOrder {
    template <class Entry>
    bool operator()(const Entry &entry, const uint8_t *location) const {
        return entry.first < location;
    }
};

}  // namespace

ItemCache::ItemCache() = default;

ItemCache::~ItemCache() {
    clear();
}

void ItemCache::Deleter::operator()(ISmbiosItem *item) const {
    if (inArena) {
        item->~ISmbiosItem();  // the arena takes its memory back as a whole
    } else {
        delete item;
    }
}

ISmbiosItem *ItemCache::findEarlier(const uint8_t *location) const {
    const auto found = std::lower_bound(entries.begin(), entries.end(), location, LocationOrder());
    if (found == entries.end() || found->first != location) {
        return nullptr;
    }
    if (!found->second) {
        throw InternalErrorImpl("No null pointers should ever leak into the itemList");
    }
    return found->second.get();
}

void ItemCache::insert(const uint8_t *location, std::unique_ptr<ISmbiosItem> item, std::size_t expectedCount) {
    enter(location, Entry(item.release(), Deleter{false}), expectedCount);
}

void ItemCache::enter(const uint8_t *location, Entry item, std::size_t expectedCount) {
    if (entries.empty()) {
        entries.reserve(expectedCount);  // so that a walk never regrows the vector
    }
    if (entries.empty() || location > entries.back().first) {
        entries.emplace_back(location, std::move(item));
        return;
    }
    const auto position = std::lower_bound(entries.begin(), entries.end(), location, LocationOrder());
    if (position != entries.end() && position->first == location) {
        return;  // an entry exists: it stays, and `item` is destroyed
    }
    entries.emplace(position, location, std::move(item));
}

ISmbiosItem &ItemCache::make(const uint8_t *location, std::size_t bytesLeft, const SmbiosWorkaroundTable *workaround,
                             std::size_t expectedCount) {
    void *slot = spareSlot != nullptr ? spareSlot : arena.allocate(sizeof(ArenaItem), alignof(ArenaItem));
    spareSlot = nullptr;
    ArenaItem *made = nullptr;
    try {
        made = new (slot) ArenaItem(location, bytesLeft, arena);
    } catch (...) {
        spareSlot = slot;
        throw;
    }
    try {
        if (workaround != nullptr) {
            made->fixup(workaround);
        }
    } catch (...) {
        made->~ArenaItem();
        spareSlot = slot;
        throw;
    }
    enter(location, Entry(made, Deleter{true}), expectedCount);
    return *made;
}

void ItemCache::clear() {
    // The vector's own storage is in the arena too: it goes first.
    decltype(entries)(&arena).swap(entries);
    spareSlot = nullptr;
    arena.release();
}

}  // namespace smbios
