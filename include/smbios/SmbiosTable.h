// The SMBIOS structure table: its structures through iterators, the entry
// point facts, a text dump, and re-reading.
#ifndef TARNWICK_SMBIOS_SMBIOSTABLE_H
#define TARNWICK_SMBIOS_SMBIOSTABLE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosIterator.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTableEntryPoint.h"

namespace smbios {

class ItemCache;
class SmbiosWorkaroundTable;

class ISmbiosTable {
public:
    virtual ~ISmbiosTable();

    virtual ConstSmbiosTableIterator begin() const = 0;
    virtual SmbiosTableIterator begin() = 0;
    virtual ConstSmbiosTableIterator end() const = 0;
    virtual SmbiosTableIterator end() = 0;
    // Lookups by name belong to enhanced libraries; here they always throw
    // NotImplemented.
    virtual ConstSmbiosTableIterator operator[](const std::string &itemName) const = 0;
    virtual SmbiosTableIterator operator[](const std::string &itemName) = 0;
    // The first structure of `type`; the iterator then visits only that type.
    virtual ConstSmbiosTableIterator operator[](int type) const = 0;
    virtual SmbiosTableIterator operator[](int type) = 0;
    // While initializing, new items are delivered unpatched and re-reading
    // keeps the item cache.
    virtual void setInitializing(bool initializing) = 0;
    // Drops every cached item; item references obtained before are invalid.
    virtual void clearItemCache() = 0;
    // Reads the table again through the strategies; iterators obtained
    // before point into the released buffer and must not be used.
    virtual void reReadTable() = 0;
    virtual uint16_t getNumberOfStructures() const = 0;
    virtual SmbiosTableEntryPoint getTableHeader() const = 0;
    virtual std::ostream &streamify(std::ostream &out) const = 0;
    // The length of the table in bytes, which bounds the walk. It may exceed
    // the 65,535 bytes that getTableHeader().table_length can say (which
    // holds its low 16 bits then): SMBIOS 3 tables, and those of the
    // firmware-table query, WMI and sysfs, are as long as the source says.
    virtual std::size_t getTableLength() const = 0;
    // The record the table's source published in front of the table (an
    // _SM_ or _SM3_ entry point, an RSMB header), as the source holds it.
    virtual SourceEntryPoint getSourceEntryPoint() const = 0;
};

std::ostream &operator<<(std::ostream &out, const ISmbiosTable &table);

class SmbiosTable final : public virtual ISmbiosTable {
public:
    // Takes ownership of the strategies and reads the table at once. Throws
    // InternalError "Could not instantiate SMBIOS table." when no strategy
    // succeeds; the strategies are destroyed by then.
    SmbiosTable(std::vector<std::unique_ptr<SmbiosStrategy>> strategies, bool strictValidation = false);
    ~SmbiosTable() override;

    SmbiosTable(const SmbiosTable &) = delete;
    SmbiosTable &operator=(const SmbiosTable &) = delete;

    ConstSmbiosTableIterator begin() const override;
    SmbiosTableIterator begin() override;
    ConstSmbiosTableIterator end() const override;
    SmbiosTableIterator end() override;
    ConstSmbiosTableIterator operator[](const std::string &itemName) const override;
    SmbiosTableIterator operator[](const std::string &itemName) override;
    ConstSmbiosTableIterator operator[](int type) const override;
    SmbiosTableIterator operator[](int type) override;
    void setInitializing(bool initializing) override;
    void clearItemCache() override;
    void reReadTable() override;
    uint16_t getNumberOfStructures() const override;
    SmbiosTableEntryPoint getTableHeader() const override;
    std::ostream &streamify(std::ostream &out) const override;
    std::size_t getTableLength() const override;
    SourceEntryPoint getSourceEntryPoint() const override;

    // Installs the workarounds of this machine: the workaround factory
    // reads the table (items unpatched), the cache is cleared, and from then
    // on every new item is patched.
    virtual void initializeWorkaround();
    virtual void setStrictValidation(bool strict);
    virtual bool getStrictValidation() const;
    // The item cache, keyed by the structure's address in the raw buffer.
    // Even a read-only table fills it.
    virtual ISmbiosItem *getCachedItem(const uint8_t *location) const;
    virtual void cacheItem(const uint8_t *location, std::unique_ptr<ISmbiosItem> item) const;
    // A new item from the structure at `location`, patched by the
    // workarounds once they are installed; not cached.
    virtual std::unique_ptr<ISmbiosItem> makeItem(const uint8_t *location) const;
    // The item of the structure that starts at `location`, what an
    // iterator's dereference gives: the cached one, or a new one (patched
    // once the workarounds are installed) that is cached then. Throws as
    // SmbiosItem's constructor does when no structure fits there.
    ISmbiosItem &itemAt(const uint8_t *location) const;
    // The table's bytes, getTableLength() of them, which the iterators walk;
    // valid until the table reads its data again or is destroyed.
    const uint8_t *getTableData() const { return tableBuffer.get(); }

private:
    std::size_t bytesLeftAt(const uint8_t *location) const;
    // How many items the cache should make room for at once: every
    // structure the entry point counts, as far as the table's length allows.
    std::size_t expectedItemCount() const;

    std::unique_ptr<ItemCache> itemCache;
    bool initializing = true;
    bool strictValidation;
    std::unique_ptr<SmbiosWorkaroundTable> workaround;
    std::unique_ptr<uint8_t[]> tableBuffer;
    std::size_t tableLength = 0;  // bytes of tableBuffer that the walk reads
    SmbiosTableEntryPoint entryPoint{};
    SourceEntryPoint sourceEntryPoint;
    std::vector<std::unique_ptr<SmbiosStrategy>> strategies;
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSTABLE_H
