// memory::MemoryFile, physical memory read from an image file in which the
// byte at file offset N stands for physical address N.
#ifndef TARNWICK_MEMORY_MEMORYFILE_H
#define TARNWICK_MEMORY_MEMORYFILE_H

#include <cstdint>
#include <memory>
#include <string>

#include "memory/IMemory.h"

namespace memory {

// The library makes these through the memory factory; the constructor is
// public so that tools can also open an image directly.
//
// File offsets are signed 32-bit values everywhere, so an image covers the
// addresses 0 to 0x7FFFFFFF; any higher address fails with OutOfBounds. A
// read past the end of the image fails with AccessError.
//
// Small reads are served from a window of the image read in one piece, so
// that the entry point search (thousands of 32-byte reads) costs a few file
// reads instead of a seek and a read each. The window holds what the file
// said at the time it was read; writes through putByte update it.
class MemoryFile : public IMemory {
public:
    // Opens the image for reading; throws AccessError if it cannot.
    explicit MemoryFile(std::string fileName);
    ~MemoryFile() override;

    MemoryFile(const MemoryFile &) = delete;
    MemoryFile &operator=(const MemoryFile &) = delete;

    uint8_t getByte(uint64_t offset) override;
    // Writes into the image file itself. The first write reopens the image
    // for update; if that fails, the image stays open for reading and the
    // next write tries again.
    void putByte(uint64_t offset, uint8_t value) override;
    void fillBuffer(uint8_t *buffer, uint64_t offset, uint32_t length) override;

protected:
    // For readers of devices laid out like an image: offsets up to
    // `highestOffset` are allowed (at most what `long` holds), and an
    // unbuffered stream reads exactly the bytes asked for (no window either:
    // live memory must be read when asked, and only the bytes asked for).
    MemoryFile(std::string fileName, uint64_t highestOffset, bool unbuffered);

private:
    // The open image and its read window.
    class ImageStream;
    std::unique_ptr<ImageStream> stream;
};

}  // namespace memory

#endif  // TARNWICK_MEMORY_MEMORYFILE_H
