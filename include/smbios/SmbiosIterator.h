// Forward iterators over the structures of a table, all of them or those of
// one type, in the order in which the table stores them.
#ifndef TARNWICK_SMBIOS_SMBIOSITERATOR_H
#define TARNWICK_SMBIOS_SMBIOSITERATOR_H

#include <cstdint>
#include <iterator>

namespace smbios {

class ISmbiosItem;
class ISmbiosTable;
class SmbiosTable;

// The state and the walk shared by both iterator kinds. An iterator holds a
// position in the table's raw buffer, so it is valid only until the table
// reads its data again or is destroyed.
//
// The walk ends after the end-of-table structure (type 127, which is itself
// visited), where the next structure's four header bytes would not fit
// within the table's length, or at a structure whose length byte is below 4:
// such a header (zero padding, for example) locates nothing after it.
class SmbiosTableIteratorBase {
public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = ISmbiosItem;
    using difference_type = int64_t;
    using pointer = ISmbiosItem *;
    using reference = ISmbiosItem &;

    // With a table, moves to its first structure of type `matchType` (-1:
    // any type); without one, the iterator is at the end.
    explicit SmbiosTableIteratorBase(const ISmbiosTable *table = nullptr, int matchType = -1);
    SmbiosTableIteratorBase(const SmbiosTableIteratorBase &) = default;
    SmbiosTableIteratorBase &operator=(const SmbiosTableIteratorBase &) = default;
    virtual ~SmbiosTableIteratorBase();

    // Only positions are compared: every iterator at the end equals end().
    bool operator==(const SmbiosTableIteratorBase &other) const { return current == other.current; }
    bool operator!=(const SmbiosTableIteratorBase &other) const { return current != other.current; }

protected:
    // Moves to the next structure that matches; allocates nothing.
    void incrementIterator();
    // The table's item for the current structure, made and cached on first
    // use. Throws ParameterException at the end.
    ISmbiosItem &dereference() const;

    int matchType;
    const ISmbiosTable *table;
    const uint8_t *current;

private:
    // `table` as the SmbiosTable it is, found once: the downcast through the
    // virtual base costs more than a whole step of the walk.
    const SmbiosTable *smbiosTable;
};

class SmbiosTableIterator : public SmbiosTableIteratorBase {
public:
    using SmbiosTableIteratorBase::SmbiosTableIteratorBase;

    reference operator*() const { return dereference(); }
    pointer operator->() const { return &dereference(); }
    SmbiosTableIterator &operator++() {
        incrementIterator();
        return *this;
    }
    SmbiosTableIterator operator++(int) {
        SmbiosTableIterator before(*this);
        incrementIterator();
        return before;
    }
};

class ConstSmbiosTableIterator : public SmbiosTableIteratorBase {
public:
    using pointer = const ISmbiosItem *;
    using reference = const ISmbiosItem &;

    using SmbiosTableIteratorBase::SmbiosTableIteratorBase;

    reference operator*() const { return dereference(); }
    pointer operator->() const { return &dereference(); }
    ConstSmbiosTableIterator &operator++() {
        incrementIterator();
        return *this;
    }
    ConstSmbiosTableIterator operator++(int) {
        ConstSmbiosTableIterator before(*this);
        incrementIterator();
        return before;
    }
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSITERATOR_H
