// Reading and writing physical memory through a memory image file.
#include "memory/MemoryFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include "memory/ByteRead.h"
#include "smbios/Exception.h"
#include "smbios/VerbatimText.h"

namespace memory {
namespace {

// Image offsets are signed 32-bit: `long` is 32 bits on Windows, and images
// behave the same on every platform.
constexpr uint64_t kMaxImageOffset = 0x7FFFFFFF;

std::string osErrorText(int error) {
    return std::strerror(error);
}

[[noreturn]] void throwAccessError(const char *messageTemplate, int error) {
    AccessErrorImpl failure;
    smbios::setMessageWithVerbatimValues(failure, messageTemplate, {{"err", osErrorText(error)}});
    throw failure;
}

}  // namespace

class MemoryFile::ImageStream {
public:
    ImageStream(std::string fileName, uint64_t highestOffset, bool unbuffered);

    void fill(uint8_t *buffer, uint64_t offset, uint32_t length) {
        // Most reads lie inside the window; this test is all they cost
        // besides the copy. The search reads 32-byte records: a copy of that
        // fixed size is a few instructions, not a call.
        // (Below the window, `into` wraps to a huge value; an empty window
        // holds nothing: both fail the first test.)
        const uint64_t into = offset - windowStart;
        if (into < windowBytes && length <= windowBytes - into) {
            const uint8_t *from = window.get() + into;
            if (length == 32) {
                std::memcpy(buffer, from, 32);
            } else {
                std::memcpy(buffer, from, length);
            }
            return;
        }
        fillOutsideWindow(buffer, offset, length);
    }

    void put(uint64_t offset, uint8_t value);

private:
    struct FileCloser {
        void operator()(std::FILE *stream) const {
            // An image opened for reading has nothing to lose; written bytes
            // were pushed out by the seek that follows every write.
            (void)std::fclose(stream);
        }
    };
    using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

    void seekTo(uint64_t offset);
    // Kept out of line, so that the read from the window stays a leaf
    // function without a frame.
    [[gnu::noinline]] void fillOutsideWindow(uint8_t *buffer, uint64_t offset, uint32_t length);
    // Reads the window that holds `offset`; true when it then holds the
    // whole request. False when the request is too large for a window or
    // reaches past the image's end: the caller then reads the file directly,
    // and a read past the end fails there with the file's error.
    bool loadWindowFor(uint64_t offset, uint32_t length);

    // The window is the 128 KiB aligned block around a small read: for the
    // search, all of E0000h-FFFFFh in one read, as much as the reads of a
    // whole search would fetch one by one. Larger reads go straight to the
    // file, as one read each.
    static constexpr uint32_t kWindowSize = 0x20000;
    static constexpr uint32_t kLargestWindowedRead = 0x1000;

    std::string fileName;
    FileHandle file;
    bool reopenedForWrite = false;
    uint64_t highestOffset;
    bool windowed;
    std::unique_ptr<uint8_t[]> window;  // allocated on first use
    uint64_t windowStart = 0;
    uint32_t windowBytes = 0;  // valid bytes in the window; 0: none
};

MemoryFile::MemoryFile(std::string name) : MemoryFile(std::move(name), kMaxImageOffset, false) {}

MemoryFile::MemoryFile(std::string name, uint64_t highest, bool unbuffered)
    : stream(std::make_unique<ImageStream>(std::move(name), highest, unbuffered)) {}

MemoryFile::~MemoryFile() = default;

uint8_t MemoryFile::getByte(uint64_t offset) {
    return readByteThroughFillBuffer(*this, offset);
}

void MemoryFile::fillBuffer(uint8_t *buffer, uint64_t offset, uint32_t length) {
    stream->fill(buffer, offset, length);
}

void MemoryFile::putByte(uint64_t offset, uint8_t value) {
    stream->put(offset, value);
}

MemoryFile::ImageStream::ImageStream(std::string name, uint64_t highest, bool unbuffered)
    : fileName(std::move(name)), highestOffset(std::min<uint64_t>(highest, std::numeric_limits<long>::max())),
      windowed(!unbuffered) {
    if (fileName.empty()) {
        throw AccessErrorImpl("File name passed in was null or zero-length.");
    }
    errno = 0;
    file.reset(std::fopen(fileName.c_str(), "rb"));
    if (!file) {
        const int error = errno;
        AccessErrorImpl failure;
        smbios::setMessageWithVerbatimValues(failure, "Unable to open memory. File: %(file)s, OS Error: %(err)s",
                                             {{"file", fileName}, {"err", osErrorText(error)}});
        throw failure;
    }
    if (unbuffered) {
        (void)std::setvbuf(file.get(), nullptr, _IONBF, 0);  // buffered reads would do too
    }
}

void MemoryFile::ImageStream::seekTo(uint64_t offset) {
    errno = 0;
    if (offset > highestOffset) {
        errno = EINVAL;
    } else if (std::fseek(file.get(), static_cast<long>(offset), SEEK_SET) == 0) {
        return;
    }
    const int error = errno;
    OutOfBoundsImpl failure;
    smbios::setMessageWithVerbatimValues(failure, "Seek error trying to seek to memory location. OS Error: %(err)s",
                                         {{"err", osErrorText(error)}});
    throw failure;
}

bool MemoryFile::ImageStream::loadWindowFor(uint64_t offset, uint32_t length) {
    if (!windowed || offset > highestOffset || length > kLargestWindowedRead) {
        return false;
    }
    const uint64_t start = offset - offset % kWindowSize;
    if (offset + length > start + kWindowSize) {
        return false;  // straddles two windows
    }
    if (!window) {
        window.reset(new uint8_t[kWindowSize]);
    }
    windowBytes = 0;
    if (std::fseek(file.get(), static_cast<long>(start), SEEK_SET) != 0) {
        return false;
    }
    // Near the image's end the window is only partly filled; a request
    // beyond what it holds takes the direct path, which reports it.
    windowBytes = static_cast<uint32_t>(std::fread(window.get(), 1, kWindowSize, file.get()));
    windowStart = start;
    return offset + length <= windowStart + windowBytes;
}

void MemoryFile::ImageStream::fillOutsideWindow(uint8_t *buffer, uint64_t offset, uint32_t length) {
    if (loadWindowFor(offset, length)) {
        std::memcpy(buffer, window.get() + (offset - windowStart), length);
        return;
    }
    seekTo(offset);
    errno = 0;
    if (std::fread(buffer, 1, length, file.get()) < length) {
        throwAccessError("Read error trying to read memory. OS Error: %(err)s", errno);
    }
}

void MemoryFile::ImageStream::put(uint64_t offset, uint8_t value) {
    if (!reopenedForWrite) {
        // Open the update stream before closing the read stream, so that a
        // failed reopen (a read-only image) leaves the object readable.
        errno = 0;
        FileHandle updateStream(std::fopen(fileName.c_str(), "r+b"));
        if (!updateStream) {
            throwAccessError("Error trying to write memory. OS Error: %(err)s", errno);
        }
        file = std::move(updateStream);
        reopenedForWrite = true;
    }
    seekTo(offset);
    errno = 0;
    if (std::fwrite(&value, 1, 1, file.get()) != 1) {
        windowBytes = 0;  // what the file holds now is unknown
        throwAccessError("Error trying to write memory. OS Error: %(err)s", errno);
    }
    if (windowBytes != 0 && offset >= windowStart && offset < windowStart + windowBytes) {
        window[offset - windowStart] = value;
    }
    // No flush: the next operation seeks first, and the close writes out.
}

}  // namespace memory
