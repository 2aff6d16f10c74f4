// Measuring and copying one structure, and bounded access to its fields and
// strings.
#include "smbios/SmbiosItem.h"

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <ios>
#include <string>

#include "smbios/Exception.h"
#include "smbios/SmbiosWorkaround.h"
#include "smbios/StructureImage.h"
#include "smbios/format/StructureScan.h"

namespace smbios {
namespace {

constexpr std::size_t kHeaderSize = 4;

uint32_t low32(const void *address) {
    return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(address));
}

// The failures of the string lookup, out of line: building an exception
// takes more code than the lookup itself.
[[noreturn]] void throwStringOverflow(const uint8_t *image, std::size_t at, std::size_t size) {
    ParseExceptionImpl overflow;
    overflow.setMessageString("Overflow while getting byte data at location: cur_loc >= base_loc + header_size\n"
                              " cur_loc : %(cur_loc)i\n base_loc : %(base_loc)i\n header_size : %(header_size)i ");
    overflow.setParameter("cur_loc", low32(image + at));
    overflow.setParameter("base_loc", low32(image));
    overflow.setParameter("header_size", static_cast<uint32_t>(size));
    throw overflow;
}

[[noreturn]] void throwNoStringZero() {
    throw StringUnavailableImpl("String does not exist.");
}

[[noreturn]] void throwMissingString() {
    throw StringUnavailableImpl("The string does not exist. Bad index caused this error");
}

// Where the string-set starts: at the length byte, or, in an image cut short
// by the table's end, at its closing two zero bytes.
std::size_t stringSetStart(const uint8_t *image, std::size_t size) {
    return std::min<std::size_t>(image[1], size - 2);
}

}  // namespace

ISmbiosItem::~ISmbiosItem() = default;

std::ostream &operator<<(std::ostream &out, const ISmbiosItem &item) {
    return item.streamify(out);
}

std::size_t structureImageSize(const uint8_t *position, std::size_t bytesLeft) {
    if (position == nullptr) {
        throw InternalErrorImpl("Not a valid header. header is zero.");
    }
    if (bytesLeft < kHeaderSize || position[1] < kHeaderSize) {
        ParseExceptionImpl failure;
        failure.setMessageString(
            "Structure header is cut short or invalid. length: %(length)i, bytes left: %(bytes_left)i");
        failure.setParameter("length", uint32_t{bytesLeft >= 2 ? position[1] : 0u});
        failure.setParameter("bytes_left", static_cast<uint32_t>(std::min<std::size_t>(bytesLeft, UINT32_MAX)));
        throw failure;
    }
    // The structure ends after the first two zero bytes from the end of its
    // formatted area on, searched only within the table.
    const std::size_t at = findDoubleZero(position, position[1], bytesLeft);
    return at + 1 < bytesLeft ? at + 2 : bytesLeft + 2;
}

void copyStructureImage(const uint8_t *position, std::size_t bytesLeft, uint8_t *image, std::size_t size) {
    const std::size_t copied = std::min(size, bytesLeft);
    std::memcpy(image, position, copied);
    if (copied < size) {
        image[copied] = 0;
        image[copied + 1] = 0;
    }
}

SmbiosItem::SmbiosItem(const uint8_t *position, std::size_t bytesLeft)
    : header_size(structureImageSize(position, bytesLeft)), heapImage(new uint8_t[header_size]) {
    header = heapImage.get();
    copyStructureImage(position, bytesLeft, header, header_size);
}

SmbiosItem::SmbiosItem(KeptImage image) : header(image.bytes), header_size(image.size) {}

SmbiosItem::SmbiosItem(const SmbiosItem &source) : ISmbiosItem(), header_size(source.header_size) {
    if (source.header == nullptr) {
        throw InternalErrorImpl("Not a valid header. header is zero.");
    }
    heapImage.reset(new uint8_t[header_size]);
    header = heapImage.get();
    std::memcpy(header, source.header, header_size);
}

SmbiosItem::~SmbiosItem() = default;

std::unique_ptr<ISmbiosItem> SmbiosItem::clone() {
    return std::make_unique<SmbiosItem>(*this);
}

std::unique_ptr<ISmbiosItem> SmbiosItem::clone() const {
    return std::make_unique<SmbiosItem>(*this);
}

std::ostream &SmbiosItem::streamify(std::ostream &out) const {
    if (header == nullptr) {
        out << "operator << on an uninitialized SmbiosItem!";
        return out;
    }
    const std::ios_base::fmtflags saved = out.flags();
    out << "Handle 0x" << std::hex << std::setfill('0') << std::setw(4) << getHandle() << std::endl;
    out << "\tDMI type 0x" << std::hex << static_cast<unsigned>(getType()) << ", " << std::dec
        << static_cast<unsigned>(getLength()) << " bytes." << std::endl;
    out.flags(saved);
    return out;
}

uint8_t SmbiosItem::getType() const {
    return header[0];
}

uint8_t SmbiosItem::getLength() const {
    return header[1];
}

uint16_t SmbiosItem::getHandle() const {
    return static_cast<uint16_t>(header[2] | (header[3] << 8));
}

void SmbiosItem::getData(uint32_t offset, void *out, std::size_t size) const {
    const std::size_t length = getLength();
    const std::size_t end = offset + size;
    const bool wraps = end < size;
    const char *failure = nullptr;
    if (offset > length || wraps || end > length) {
        failure = "Attempt to access data outside the length of header. offset : %(offset)i, "
                  "header_length : %(header_length)i";
    } else if (offset > header_size - 2 || end > header_size - 2) {
        // Only a structure cut short by the table's end has fewer bytes than
        // its length byte says; the image's last two bytes close its strings.
        failure = "Attempt to access data outside header buffer. Impossible situation! offset : %(offset)i, "
                  "header_length : %(header_length)i";
    }
    if (failure != nullptr) {
        DataOutOfBoundsImpl error;
        error.setMessageString(failure);
        error.setParameter("offset", offset);
        error.setParameter("header_length", static_cast<uint32_t>(header_size));
        throw error;
    }
    std::memcpy(out, header + offset, size);
}

std::unique_ptr<uint8_t[]> SmbiosItem::getBufferCopy(std::size_t &size) const {
    size = header_size;
    std::unique_ptr<uint8_t[]> copy(new uint8_t[header_size]);
    std::memcpy(copy.get(), header, header_size);
    return copy;
}

std::size_t SmbiosItem::getBufferSize() const {
    return header_size;
}

const char *SmbiosItem::getStringByStringNumber(uint8_t number) const {
    if (number == 0) {
        throwNoStringZero();
    }
    // The image always ends with two zero bytes, so every scan below stops
    // inside it.
    std::size_t at = stringSetStart(header, header_size);
    for (unsigned skip = 1; skip < number; ++skip) {
        at += std::strlen(reinterpret_cast<const char *>(header + at)) + 1;
        if (at >= header_size) {
            throwStringOverflow(header, at, header_size);
        }
        if (header[at] == 0) {
            throwMissingString();
        }
    }
    return reinterpret_cast<const char *>(header + at);
}

void SmbiosItem::fixup(const SmbiosWorkaroundTable *workaround) {
    if (workaround != nullptr) {
        workaround->fixupItem(*this, header, header_size);
    }
}

}  // namespace smbios
