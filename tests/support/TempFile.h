// A temporary file with chosen contents, removed again when the test ends.
#ifndef TARNWICK_TESTS_SUPPORT_TEMPFILE_H
#define TARNWICK_TESTS_SUPPORT_TEMPFILE_H

#include <cstdint>
#include <string>
#include <vector>

namespace tarnwick_test {

class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t> &contents);
    ~TempFile();
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    const std::string &path() const { return filePath; }
    std::vector<uint8_t> read() const;

private:
    std::string filePath;
};

// A new empty directory in the temporary directory, removed with its
// contents when the test ends.
class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory &) = delete;
    TempDirectory &operator=(const TempDirectory &) = delete;

    const std::string &path() const { return directoryPath; }
    // Writes `contents` to the file `name` inside the directory.
    std::string write(const std::string &name, const std::vector<uint8_t> &contents) const;

private:
    std::string directoryPath;
};

// Changes the process's current directory for the lifetime of the object.
class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::string &path);
    ~ScopedCurrentDirectory();
    ScopedCurrentDirectory(const ScopedCurrentDirectory &) = delete;
    ScopedCurrentDirectory &operator=(const ScopedCurrentDirectory &) = delete;

private:
    std::string previous;
};

// The whole contents of a file; empty if it cannot be read.
std::vector<uint8_t> readFile(const std::string &path);

// A path in the temporary directory that names no file.
std::string missingFilePath();

// Contents with byte N equal to N mod 251 (a prime, so that offsets that
// differ by a power of two hold different bytes).
std::vector<uint8_t> patternBytes(std::size_t size);

}  // namespace tarnwick_test

#endif  // TARNWICK_TESTS_SUPPORT_TEMPFILE_H
