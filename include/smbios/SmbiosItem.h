// One SMBIOS structure: a four-byte header (type, length, handle), the
// formatted area, and the numbered strings that follow it.
#ifndef TARNWICK_SMBIOS_SMBIOSITEM_H
#define TARNWICK_SMBIOS_SMBIOSITEM_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>

namespace smbios {

class SmbiosWorkaroundTable;

// The read interface of one structure. Items handed out by a table belong
// to the table; clones and buffer copies belong to the caller.
class ISmbiosItem {
public:
    virtual ~ISmbiosItem();

    virtual std::unique_ptr<ISmbiosItem> clone() = 0;
    virtual std::unique_ptr<ISmbiosItem> clone() const = 0;
    virtual std::ostream &streamify(std::ostream &out) const = 0;

    virtual uint8_t getType() const = 0;
    virtual uint8_t getLength() const = 0;  // of the formatted area, header included
    virtual uint16_t getHandle() const = 0;
    // Copies `size` bytes of the formatted area, from `offset` (counted from
    // the structure's first byte) into `out`. Throws DataOutOfBounds when
    // the bytes lie outside the formatted area.
    virtual void getData(uint32_t offset, void *out, std::size_t size) const = 0;
    // The whole structure, strings included; `size` receives its length.
    virtual std::unique_ptr<uint8_t[]> getBufferCopy(std::size_t &size) const = 0;
    virtual std::size_t getBufferSize() const = 0;
    // String `number` (from 1) of the structure, zero-terminated; valid while
    // the item lives. Throws StringUnavailable for 0 or a missing string.
    virtual const char *getStringByStringNumber(uint8_t number) const = 0;
    // Lets the workaround table correct the item's bytes.
    virtual void fixup(const SmbiosWorkaroundTable *workaround) = 0;
};

// Writes the item's two-line dump.
std::ostream &operator<<(std::ostream &out, const ISmbiosItem &item);

// An item keeps a private copy of its structure, taken when it is made; it
// never refers back into the table it came from.
class SmbiosItem : public ISmbiosItem {
public:
    // Copies the structure that starts at `position`, where `bytesLeft`
    // bytes remain in the table. A structure whose strings do not end
    // within those bytes is copied as far as it goes and closed with two
    // zero bytes, so its image may be shorter than its length byte says.
    // Throws InternalError for a null position and ParseException when the
    // four header bytes do not fit or the length byte is below 4.
    SmbiosItem(const uint8_t *position, std::size_t bytesLeft);
    SmbiosItem(const SmbiosItem &source);
    SmbiosItem &operator=(const SmbiosItem &) = delete;
    ~SmbiosItem() override;

    std::unique_ptr<ISmbiosItem> clone() override;
    std::unique_ptr<ISmbiosItem> clone() const override;
    std::ostream &streamify(std::ostream &out) const override;
    uint8_t getType() const override;
    uint8_t getLength() const override;
    uint16_t getHandle() const override;
    void getData(uint32_t offset, void *out, std::size_t size) const override;
    std::unique_ptr<uint8_t[]> getBufferCopy(std::size_t &size) const override;
    std::size_t getBufferSize() const override;
    const char *getStringByStringNumber(uint8_t number) const override;
    void fixup(const SmbiosWorkaroundTable *workaround) override;

protected:
    // For a derived item that keeps the structure's image itself: the
    // image, `size` bytes as the public constructor would copy them, must
    // outlive the item.
    struct KeptImage {
        uint8_t *bytes;
        std::size_t size;
    };
    explicit SmbiosItem(KeptImage image);

private:
    uint8_t *header = nullptr;             // the item's own image
    std::size_t header_size = 0;           // its length: the whole structure
    std::unique_ptr<uint8_t[]> heapImage;  // owns `header`, unless a derived item keeps it
};

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SMBIOSITEM_H
