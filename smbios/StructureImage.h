// An item's own copy of one structure: how long it is and how it is made,
// for every kind of item.
#ifndef TARNWICK_SMBIOS_STRUCTUREIMAGE_H
#define TARNWICK_SMBIOS_STRUCTUREIMAGE_H

#include <cstddef>
#include <cstdint>

namespace smbios {

// The size of the image of the structure at `position`, where `bytesLeft`
// bytes remain in the table: the whole structure, or, for one whose strings
// do not end within those bytes, what there is and two closing zero bytes.
// Throws InternalError for a null position and ParseException when the four
// header bytes do not fit or the length byte is below 4.
std::size_t structureImageSize(const uint8_t *position, std::size_t bytesLeft);

// Writes that image (`size` bytes, as structureImageSize said) to `image`.
void copyStructureImage(const uint8_t *position, std::size_t bytesLeft, uint8_t *image, std::size_t size);

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_STRUCTUREIMAGE_H
