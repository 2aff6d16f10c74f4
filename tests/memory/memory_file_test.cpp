// Tests of reading and writing physical memory through a memory image file.
#include "memory/MemoryFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/TempFile.h"

namespace {

using memory::MemoryFile;
using tarnwick_test::TempFile;

constexpr std::size_t kOneMiB = std::size_t{1024} * 1024;

std::string readError(int error) {
    return std::string("Read error trying to read memory. OS Error: ") + std::strerror(error);
}

std::string seekError(int error) {
    return std::string("Seek error trying to seek to memory location. OS Error: ") + std::strerror(error);
}

std::string writeError(int error) {
    return std::string("Error trying to write memory. OS Error: ") + std::strerror(error);
}

// A 1 MiB image whose bytes follow a known pattern.
class MemoryFileTest : public ::testing::Test {
protected:
    MemoryFileTest() : contents(tarnwick_test::patternBytes(kOneMiB)), image(contents) {}

    std::vector<uint8_t> contents;
    TempFile image;
};

TEST(MemoryFileOpenTest, EmptyNameIsRefused) {
    EXPECT_THROW_TEXT(MemoryFile(""), memory::AccessError, "File name passed in was null or zero-length.");
}

// The name comes out of the message and the parameter exactly as it went
// in, "%" and placeholders included.
TEST(MemoryFileOpenTest, MissingFileNamesTheFileAndTheOsError) {
    const std::string base = tarnwick_test::missingFilePath();
    for (const std::string &missing : {base, base + "disk 100%% full.img", base + "missing%(file)s%(err)s.img"}) {
        EXPECT_THROW_TEXT(MemoryFile{missing}, memory::AccessError,
                          "Unable to open memory. File: " + missing + ", OS Error: " + std::strerror(ENOENT));
        try {
            MemoryFile opened(missing);
            ADD_FAILURE() << missing << " opened";
        } catch (const smbios::Exception<memory::AccessError> &failure) {
            EXPECT_EQ(failure.getParameterString("file"), missing);
            EXPECT_EQ(failure.getParameterString("err"), std::strerror(ENOENT));
        }
    }
}

TEST_F(MemoryFileTest, FillBufferReturnsTheImageBytes) {
    MemoryFile memory(image.path());
    uint8_t buffer[16] = {};
    memory.fillBuffer(buffer, 0xF0000, sizeof buffer);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 16),
              std::vector<uint8_t>(contents.begin() + 0xF0000, contents.begin() + 0xF0010));
}

TEST_F(MemoryFileTest, ReadAcrossTheEndFailsAndKeepsTheBytesRead) {
    MemoryFile memory(image.path());
    uint8_t buffer[16];
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0xFFFF8, sizeof buffer), memory::AccessError, readError(0));
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 8), std::vector<uint8_t>(contents.end() - 8, contents.end()));
}

TEST_F(MemoryFileTest, ReadBeyondTheEndFailsOnReadNotOnSeek) {
    MemoryFile memory(image.path());
    uint8_t buffer[4] = {};
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0x200000, sizeof buffer), memory::AccessError, readError(0));
}

TEST_F(MemoryFileTest, ZeroLengthReadLeavesTheBufferUntouched) {
    MemoryFile memory(image.path());
    uint8_t buffer[4] = {0xA1, 0xA2, 0xA3, 0xA4};
    memory.fillBuffer(buffer, 0x1000, 0);
    EXPECT_EQ(buffer[0], 0xA1);
    EXPECT_EQ(buffer[3], 0xA4);
}

TEST_F(MemoryFileTest, AFailedReadLeavesTheObjectUsable) {
    MemoryFile memory(image.path());
    uint8_t buffer[2] = {};
    EXPECT_THROW(memory.fillBuffer(buffer, kOneMiB, 2), memory::AccessError);
    EXPECT_THROW(memory.fillBuffer(buffer, 0x80000000u, 2), memory::OutOfBounds);
    memory.fillBuffer(buffer, 0x100, 2);
    EXPECT_EQ(buffer[0], contents[0x100]);
    EXPECT_EQ(buffer[1], contents[0x101]);
}

TEST_F(MemoryFileTest, GetByteMatchesFillBuffer) {
    MemoryFile memory(image.path());
    for (uint64_t offset : {uint64_t{0}, uint64_t{0x10}, uint64_t{0xE0000}, uint64_t{kOneMiB - 1}}) {
        uint8_t viaBuffer = 0;
        memory.fillBuffer(&viaBuffer, offset, 1);
        EXPECT_EQ(memory.getByte(offset), viaBuffer) << "offset " << offset;
        EXPECT_EQ(viaBuffer, contents[offset]);
    }
    EXPECT_THROW_TEXT(memory.getByte(kOneMiB), memory::AccessError, readError(0));
}

// Reads at and around the places where the reader's internal windows (128
// KiB, aligned) begin and end, small ones and ones too large for a window,
// against the image's bytes.
struct ReadCase {
    uint64_t offset;
    uint32_t length;
};

void PrintTo(const ReadCase &read, std::ostream *out) {
    *out << read.length << " bytes at " << std::hex << std::showbase << read.offset;
}

class MemoryFileReadTest : public MemoryFileTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(MemoryFileReadTest, ReturnsTheImageBytes) {
    MemoryFile memory(image.path());
    const ReadCase read = GetParam();
    // Twice: once into a fresh window, once from it.
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<uint8_t> buffer(read.length, 0xEE);
        memory.fillBuffer(buffer.data(), read.offset, read.length);
        const auto first = contents.begin() + static_cast<std::ptrdiff_t>(read.offset);
        EXPECT_EQ(buffer, std::vector<uint8_t>(first, first + read.length)) << "pass " << pass;
    }
}

INSTANTIATE_TEST_SUITE_P(AroundWindows, MemoryFileReadTest,
                         ::testing::Values(ReadCase{0, 1}, ReadCase{0, 0x1000}, ReadCase{0, 0x1001},
                                           ReadCase{0x1FFFF, 1}, ReadCase{0x1FFF0, 32}, ReadCase{0x20000, 32},
                                           ReadCase{0xDFFF0, 32}, ReadCase{0xE0000, 0x1001}, ReadCase{0x10000, 0xFFFF},
                                           ReadCase{0xFFFD0, 32}, ReadCase{0xFF000, 0x1000}, ReadCase{0xFFFFF, 1}));

TEST_F(MemoryFileTest, SearchLikeReadsSeeTheWholeBiosArea) {
    MemoryFile memory(image.path());
    for (uint64_t offset = 0xE0000; offset + 32 < 0x100000; offset += 16) {
        uint8_t candidate[32];
        memory.fillBuffer(candidate, offset, sizeof candidate);
        ASSERT_EQ(std::memcmp(candidate, &contents[offset], sizeof candidate), 0) << "offset " << offset;
    }
}

TEST_F(MemoryFileTest, WritesShowInReadsThatFollowThem) {
    MemoryFile memory(image.path());
    uint8_t before[4];
    memory.fillBuffer(before, 0xF0000, sizeof before);
    memory.putByte(0xF0001, static_cast<uint8_t>(contents[0xF0001] + 1));
    uint8_t after[4];
    memory.fillBuffer(after, 0xF0000, sizeof after);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[1], static_cast<uint8_t>(before[1] + 1));
    EXPECT_EQ(after[2], before[2]);
}

TEST(MemoryFileShortImageTest, ReadsUpToTheEndSucceedAndPastItFail) {
    // An image ending 10 bytes into a window: the window holds only those.
    // (A read ending at the image's end is served; one past it fails.)
    std::vector<uint8_t> contents = tarnwick_test::patternBytes(0xE000A);
    TempFile image(contents);
    MemoryFile memory(image.path());
    uint8_t buffer[16];
    memory.fillBuffer(buffer, 0xE0000, 10);
    EXPECT_EQ(std::memcmp(buffer, &contents[0xE0000], 10), 0);
    std::memset(buffer, 0xEE, sizeof buffer);
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0xE0004, sizeof buffer), memory::AccessError, readError(0));
    EXPECT_EQ(std::memcmp(buffer, &contents[0xE0004], 6), 0);
    memory.fillBuffer(buffer, 0xDFFF8, 16);
    EXPECT_EQ(std::memcmp(buffer, &contents[0xDFFF8], 16), 0);
}

// Offsets that do not fit a signed 32-bit file offset fail the same way on
// every platform, whatever the width of `long`.
class MemoryFileOffsetLimitTest : public MemoryFileTest, public ::testing::WithParamInterface<uint64_t> {};

TEST_P(MemoryFileOffsetLimitTest, FailsWithTheSeekMessage) {
    MemoryFile memory(image.path());
    uint8_t buffer[1] = {};
    const uint64_t offset = GetParam();
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, offset, 1), memory::OutOfBounds, seekError(EINVAL));
    EXPECT_THROW_TEXT(memory.getByte(offset), memory::OutOfBounds, seekError(EINVAL));
    EXPECT_THROW_TEXT(memory.putByte(offset, 1), memory::OutOfBounds, seekError(EINVAL));
}

INSTANTIATE_TEST_SUITE_P(AboveSigned32Bit, MemoryFileOffsetLimitTest,
                         ::testing::Values(uint64_t{0x80000000}, uint64_t{0xFFFFFFFF}, uint64_t{0x100000000},
                                           uint64_t{0x100000010}, ~uint64_t{0}));

TEST_F(MemoryFileTest, HighestSigned32BitOffsetSeeksAndFailsOnRead) {
    MemoryFile memory(image.path());
    uint8_t buffer[1] = {};
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0x7FFFFFFF, 1), memory::AccessError, readError(0));
}

TEST_F(MemoryFileTest, PutByteIsReadBackAndWrittenToTheFile) {
    {
        MemoryFile memory(image.path());
        memory.putByte(0x10, 0xAB);
        EXPECT_EQ(memory.getByte(0x10), 0xAB);
        EXPECT_EQ(memory.getByte(0x11), contents[0x11]);
    }
    std::vector<uint8_t> expected = contents;
    expected[0x10] = 0xAB;
    EXPECT_EQ(image.read(), expected);
}

TEST_F(MemoryFileTest, WritesPastTheEndGrowTheImageOnlyAsFarAsWritten) {
    {
        MemoryFile memory(image.path());
        memory.putByte(kOneMiB + 1, 0x5A);
        EXPECT_EQ(memory.getByte(kOneMiB + 1), 0x5A);
    }
    const std::vector<uint8_t> after = image.read();
    ASSERT_EQ(after.size(), kOneMiB + 2);
    EXPECT_EQ(after[kOneMiB], 0);
    EXPECT_EQ(after[kOneMiB + 1], 0x5A);
}

// An image opened by a relative name: changing the current directory makes a
// reopen by name fail (or find another file), while open streams go on
// working. That makes the reopen for update observable.
class RelativeImageTest : public ::testing::Test {
protected:
    RelativeImageTest() : contents(tarnwick_test::patternBytes(0x100)) { imageDirectory.write("image.bin", contents); }

    std::vector<uint8_t> contents;
    tarnwick_test::TempDirectory imageDirectory;
    tarnwick_test::TempDirectory elsewhere;
};

TEST_F(RelativeImageTest, ReopenForUpdateHappensOnlyOnce) {
    tarnwick_test::ScopedCurrentDirectory inImageDirectory(imageDirectory.path());
    MemoryFile memory("image.bin");
    memory.putByte(0x20, 0x01);
    {
        // A second reopen by name would now fail.
        tarnwick_test::ScopedCurrentDirectory moved(elsewhere.path());
        memory.putByte(0x21, 0x02);
        EXPECT_EQ(memory.getByte(0x20), 0x01);
        EXPECT_EQ(memory.getByte(0x21), 0x02);
    }
}

TEST_F(RelativeImageTest, FailedReopenForUpdateKeepsTheImageReadable) {
    std::unique_ptr<MemoryFile> memory;
    {
        tarnwick_test::ScopedCurrentDirectory inImageDirectory(imageDirectory.path());
        memory = std::make_unique<MemoryFile>("image.bin");
    }
    {
        tarnwick_test::ScopedCurrentDirectory moved(elsewhere.path());
        EXPECT_THROW_TEXT(memory->putByte(0x30, 0xCD), memory::AccessError, writeError(ENOENT));
        // Reads go on through the stream opened for reading.
        EXPECT_EQ(memory->getByte(0x30), contents[0x30]);
        EXPECT_EQ(memory->getByte(0x31), contents[0x31]);
        // The next write tries the reopen again, and fails again.
        EXPECT_THROW_TEXT(memory->putByte(0x30, 0xCD), memory::AccessError, writeError(ENOENT));
    }
    // Once the image can be opened for update, writing works.
    tarnwick_test::ScopedCurrentDirectory inImageDirectory(imageDirectory.path());
    memory->putByte(0x30, 0xCD);
    EXPECT_EQ(memory->getByte(0x30), 0xCD);
    memory.reset();
    std::vector<uint8_t> expected = contents;
    expected[0x30] = 0xCD;
    EXPECT_EQ(tarnwick_test::readFile("image.bin"), expected);
}

TEST(MemoryFileSmallImageTest, ImageShorterThanTheBiosAreaFailsOnRead) {
    TempFile small(tarnwick_test::patternBytes(0xE0010));
    MemoryFile memory(small.path());
    uint8_t buffer[32] = {};
    EXPECT_THROW_TEXT(memory.fillBuffer(buffer, 0xE0000, 32), memory::AccessError, readError(0));
}

TEST(MemoryFileInterfaceTest, WorksThroughIMemory) {
    TempFile file(tarnwick_test::patternBytes(64));
    std::unique_ptr<memory::IMemory> memory = std::make_unique<MemoryFile>(file.path());
    EXPECT_EQ(memory->getByte(63), 63);
}

}  // namespace
