// The table's item cache: the items made for its structures, found by the
// structure's address in the table's buffer.
#ifndef TARNWICK_SMBIOS_ITEMCACHE_H
#define TARNWICK_SMBIOS_ITEMCACHE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <memory_resource>
#include <utility>
#include <vector>

#include "smbios/SmbiosItem.h"

namespace smbios {

class SmbiosWorkaroundTable;

// The cache only ever grows, until it is cleared as a whole, so its entries
// and the items that the iterators cause to be made are taken from one arena
// and given back all at once: a walk allocates almost nothing per structure.
//
// The entries are ordered by location: a vector kept sorted, to which a walk
// (which meets the structures in address order) only ever appends. An entry
// made out of order moves the entries after it.
class ItemCache {
public:
    ItemCache();
    ~ItemCache();
    ItemCache(const ItemCache &) = delete;
    ItemCache &operator=(const ItemCache &) = delete;

    // The item entered under `location`, or null. Throws InternalError for
    // an entry without an item.
    ISmbiosItem *find(const uint8_t *location) const {
        // A walk meets the structures in address order, so a new one lies
        // past the last entry: answered without a search.
        if (entries.empty() || location > entries.back().first) {
            return nullptr;
        }
        return findEarlier(location);
    }

    // Enters `item` (from the heap) under a location that has no entry yet;
    // where one exists, it stays and `item` is destroyed. `expectedCount`
    // sizes the first reservation.
    void insert(const uint8_t *location, std::unique_ptr<ISmbiosItem> item, std::size_t expectedCount);

    // Makes the item of the structure at `location` (`bytesLeft` bytes of
    // the table from there) in the arena, patched by `workaround` when that
    // is given, and enters it. Exceptions from either pass through, and
    // nothing is entered then.
    ISmbiosItem &make(const uint8_t *location, std::size_t bytesLeft, const SmbiosWorkaroundTable *workaround,
                      std::size_t expectedCount);

    // Destroys every item; the arena is given back.
    void clear();

private:
    // Items made by `make` live in the arena; those handed to `insert`
    // come from the heap.
    struct Deleter {
        bool inArena = false;
        void operator()(ISmbiosItem *item) const;
    };
    using Entry = std::unique_ptr<ISmbiosItem, Deleter>;

    ISmbiosItem *findEarlier(const uint8_t *location) const;
    void enter(const uint8_t *location, Entry item, std::size_t expectedCount);

    std::pmr::monotonic_buffer_resource arena;
    void *spareSlot = nullptr;  // a slot whose item failed to be made
    std::pmr::vector<std::pair<const uint8_t *, Entry>> entries{&arena};
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_ITEMCACHE_H
