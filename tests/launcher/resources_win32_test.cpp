// The resources of the built twklauncher.exe, read back from the executable
// as Windows reads them: the strings, the accelerators, the icon group and
// the manifest that asks for administrator rights.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/WindowsApi.h"

namespace {

// The executable loaded as a file of resources, never run.
class LauncherResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExA(TARNWICK_LAUNCHER_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << "cannot load " << TARNWICK_LAUNCHER_EXE;
    }
    void TearDown() override {
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }

    // The bytes of a resource in US English, the executable's language.
    std::vector<uint8_t> resource(LPCSTR type, int id) const {
        HRSRC found = FindResourceExA(module, type, MAKEINTRESOURCEA(id), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        if (found == nullptr) {
            return {};
        }
        const auto *bytes = static_cast<const uint8_t *>(LockResource(LoadResource(module, found)));
        return std::vector<uint8_t>(bytes, bytes + SizeofResource(module, found));
    }

    static uint16_t word(const std::vector<uint8_t> &bytes, std::size_t at) {
        return static_cast<uint16_t>(bytes.at(at) | (bytes.at(at + 1) << 8));
    }

    HMODULE module = nullptr;
};

TEST_F(LauncherResourcesTest, Strings) {
    const std::pair<int, const char *> strings[] = {
        {103, "Tarnwick Launcher"}, {104, "Initializing Tarnwick ..."}, {109, "TWKLAUNCHER"}};
    for (const auto &[id, text] : strings) {
        char buffer[100] = {};
        EXPECT_EQ(LoadStringA(module, static_cast<UINT>(id), buffer, sizeof buffer),
                  static_cast<int>(std::strlen(text)));
        EXPECT_STREQ(buffer, text) << "string " << id;
    }
    EXPECT_FALSE(resource(MAKEINTRESOURCEA(6), 103 / 16 + 1).empty()) << "the string block is in US English";
}

// Two character entries with Alt, both command 104: Alt+"?" and Alt+"/".
TEST_F(LauncherResourcesTest, Accelerators) {
    const std::vector<uint8_t> table = resource(MAKEINTRESOURCEA(9), 109);  // RT_ACCELERATOR
    ASSERT_EQ(table.size(), 16u) << "two 8-byte entries";
    const char keys[] = {'?', '/'};
    for (std::size_t i = 0; i < 2; ++i) {
        const uint16_t flags = word(table, 8 * i);
        EXPECT_EQ(flags & ~0x80u, static_cast<unsigned>(FALT)) << "Alt, a character, not a virtual key";
        EXPECT_EQ((flags & 0x80u) != 0, i == 1) << "the last entry is marked as the last";
        EXPECT_EQ(word(table, 8 * i + 2), static_cast<uint16_t>(keys[i]));
        EXPECT_EQ(word(table, 8 * i + 4), 104);
    }
}

// One image, 32 x 32 pixels, 32 bits per pixel.
TEST_F(LauncherResourcesTest, IconGroup) {
    const std::vector<uint8_t> group = resource(MAKEINTRESOURCEA(14), 107);  // RT_GROUP_ICON
    ASSERT_EQ(group.size(), 6u + 14u) << "the header and one entry";
    EXPECT_EQ(word(group, 2), 1) << "an icon";
    EXPECT_EQ(word(group, 4), 1) << "one image";
    EXPECT_EQ(group[6], 32);
    EXPECT_EQ(group[7], 32);
    EXPECT_EQ(word(group, 6 + 6), 32) << "bits per pixel";
}

TEST_F(LauncherResourcesTest, ManifestAsksForAdministratorRights) {
    const std::vector<uint8_t> manifest = resource(MAKEINTRESOURCEA(24), 1);  // RT_MANIFEST
    const std::string text(manifest.begin(), manifest.end());
    EXPECT_NE(text.find("<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>"),
              std::string::npos)
        << text;
}

}  // namespace
