// Temporary files for the tests.
#include "tests/support/TempFile.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <system_error>

namespace tarnwick_test {
namespace {

// Unique across the test processes that ctest runs side by side, too.
std::string uniquePath(const char *stem, const char *suffix) {
    static std::atomic<unsigned> counter{0};
    static const unsigned long long processTag = std::random_device{}() * 0x100000000ull + std::random_device{}();
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto name = std::string(stem) + "-" + std::to_string(processTag) + "-" + std::to_string(now) + "-" +
                      std::to_string(counter.fetch_add(1)) + suffix;
    return (std::filesystem::temp_directory_path() / name).string();
}

void writeFile(const std::string &path, const std::vector<uint8_t> &contents) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(contents.data()), static_cast<std::streamsize>(contents.size()));
    if (!out) {
        throw std::runtime_error("cannot write temporary file " + path);
    }
}

}  // namespace

TempFile::TempFile(const std::vector<uint8_t> &contents) : filePath(uniquePath("tarnwick-test", ".bin")) {
    writeFile(filePath, contents);
}

TempFile::~TempFile() {
    std::error_code ignored;
    std::filesystem::remove(filePath, ignored);
}

std::vector<uint8_t> TempFile::read() const {
    return readFile(filePath);
}

std::vector<uint8_t> readFile(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TempDirectory::TempDirectory() : directoryPath(uniquePath("tarnwick-dir", "")) {
    std::filesystem::create_directories(directoryPath);
}

TempDirectory::~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(directoryPath, ignored);
}

std::string TempDirectory::write(const std::string &name, const std::vector<uint8_t> &contents) const {
    std::string path = (std::filesystem::path(directoryPath) / name).string();
    writeFile(path, contents);
    return path;
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string &path)
    : previous(std::filesystem::current_path().string()) {
    std::filesystem::current_path(path);
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() {
    std::error_code ignored;
    std::filesystem::current_path(previous, ignored);
}

std::string missingFilePath() {
    return uniquePath("tarnwick-missing", ".bin");
}

std::vector<uint8_t> patternBytes(std::size_t size) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<uint8_t>(i % 251);
    }
    return bytes;
}

}  // namespace tarnwick_test
