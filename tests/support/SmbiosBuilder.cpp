// Builders for SMBIOS test data.
#include "tests/support/SmbiosBuilder.h"

#include "smbios/format/SmbiosFormat.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "memory/MemoryFactory.h"
#include "smbios/SmbiosFactory.h"

namespace tarnwick_test {

Bytes structure(uint8_t type, uint16_t handle, const Bytes &formatted, const std::vector<std::string> &strings) {
    // Sized up front: building it by appending trips a false array-bounds
    // warning of GCC 12 at -O3.
    std::size_t size = 4 + formatted.size() + 1 + (strings.empty() ? 1 : 0);
    for (const std::string &text : strings) {
        size += text.size() + 1;
    }
    Bytes out(size, 0);
    out[0] = type;
    out[1] = static_cast<uint8_t>(4 + formatted.size());
    out[2] = static_cast<uint8_t>(handle & 0xFF);
    out[3] = static_cast<uint8_t>(handle >> 8);
    std::size_t at = 4;
    at = static_cast<std::size_t>(std::copy(formatted.begin(), formatted.end(), out.begin() + 4) - out.begin());
    for (const std::string &text : strings) {
        at = static_cast<std::size_t>(
                 std::copy(text.begin(), text.end(), out.begin() + static_cast<std::ptrdiff_t>(at)) - out.begin()) +
             1;
    }
    return out;
}

Bytes endOfTable(uint16_t handle) {
    return structure(127, handle);
}

Bytes join(const std::vector<Bytes> &parts) {
    Bytes out;
    for (const Bytes &part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

Bytes rawSmbiosData(uint8_t major, uint8_t minor, const Bytes &table) {
    return smbios::format::buildRawSmbiosData(major, minor, table);
}

void fixEntryPointChecksum(smbios::SmbiosTableEntryPoint &entryPoint) {
    smbios::format::fixChecksum(reinterpret_cast<uint8_t *>(&entryPoint),
                                std::min<std::size_t>(entryPoint.eps_length, sizeof entryPoint), 0x04);
}

smbios::SmbiosTableEntryPoint validEntryPoint(uint32_t tableAddress, uint16_t tableLength, uint16_t structures) {
    smbios::SmbiosTableEntryPoint ep{};
    std::memcpy(ep.anchor, "_SM_", 4);
    ep.eps_length = 0x1F;
    ep.major_version = 2;
    ep.minor_version = 8;
    ep.max_structure_size = 0x80;
    std::memcpy(ep.dmi_anchor, "_DMI_", 5);
    ep.table_length = tableLength;
    ep.table_address = tableAddress;
    ep.num_structures = structures;
    ep.bcd_revision = 0x28;
    smbios::format::fixChecksum(reinterpret_cast<uint8_t *>(&ep) + 0x10, 0x0F, 0x05);  // the _DMI_ checksum
    fixEntryPointChecksum(ep);
    return ep;
}

Bytes bytesOf(const smbios::SmbiosTableEntryPoint &entryPoint) {
    const auto *bytes = reinterpret_cast<const uint8_t *>(&entryPoint);
    return Bytes(bytes, bytes + sizeof entryPoint);
}

ImageBytes &ImageBytes::place(uint32_t address, const Bytes &data) {
    if (address + data.size() > bytes.size()) {
        throw std::out_of_range("data placed past the end of the test image");
    }
    std::memcpy(bytes.data() + address, data.data(), data.size());
    return *this;
}

ImageBytes &ImageBytes::place(uint32_t address, const smbios::SmbiosTableEntryPoint &entryPoint) {
    // Only the 31 bytes of the entry point: the 32nd belongs to memory.
    Bytes record = bytesOf(entryPoint);
    record.resize(0x1F);
    return place(address, record);
}

ImageBytes &ImageBytes::placeTable(const Bytes &table, uint32_t entryPointAddress, uint32_t tableAddress) {
    place(tableAddress, table);
    return place(entryPointAddress, validEntryPoint(tableAddress, static_cast<uint16_t>(table.size()), 0));
}

MemoryImageFixture::MemoryImageFixture(const Bytes &image)
    : file(std::make_unique<TempFile>(image)), imagePath(file->path()) {
    smbios::resetLibraryFactories();
    memory::MemoryFactory *factory = memory::MemoryFactory::getFactory();
    factory->setParameter("memFile", imagePath);
    factory->setMode(memory::MemoryFactory::FileMode);
}

MemoryImageFixture::MemoryImageFixture(const std::string &existingImagePath) : imagePath(existingImagePath) {
    smbios::resetLibraryFactories();
    memory::MemoryFactory *factory = memory::MemoryFactory::getFactory();
    factory->setParameter("memFile", imagePath);
    factory->setMode(memory::MemoryFactory::FileMode);
}

MemoryImageFixture::~MemoryImageFixture() {
    smbios::resetLibraryFactories();
}

std::string testDataPath(const std::string &relative) {
    return std::string(TARNWICK_TEST_DATA_DIR) + "/" + relative;
}

}  // namespace tarnwick_test
