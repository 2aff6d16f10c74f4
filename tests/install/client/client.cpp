// A client of the installed library: includes its headers by their
// installed paths, reads the system ID of a memory image it writes itself
// the way the library's typical request does, decodes its OEM strings, and
// catches library errors, and checks the table.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "check/Check.h"
#include "decode/Summary.h"
#include "smbios/Smbios.h"
#include "smbios/SmbiosTable.h"

namespace {

// A 1 MiB image with an SMBIOS 2.8 entry point at F0000h and a table of one
// OEM strings structure naming the maker's system 0286h.
std::vector<unsigned char> makeImage() {
    std::vector<unsigned char> image(0x100000, 0);
    const unsigned char table[] = {11, 5,   0x00, 0x0B, 1,   'V', 'o', 'r', 'n', ' ', 'S', 'y', 's',  't',  'e', 'm',
                                   0,  '1', '[',  '0',  '2', '8', '6', ']', 0,   0,   127, 4,   0xFF, 0xFE, 0,   0};
    std::memcpy(&image[0x10000], table, sizeof table);
    unsigned char *ep = &image[0xF0000];
    std::memcpy(ep, "_SM_", 4);
    ep[5] = 0x1F;
    ep[6] = 2;
    ep[7] = 8;
    std::memcpy(ep + 0x10, "_DMI_", 5);
    ep[0x16] = sizeof table;
    ep[0x1A] = 0x01;  // table address 10000h
    ep[0x1C] = 2;
    unsigned char sum = 0;
    for (int i = 0x10; i < 0x1F; ++i) {
        sum = static_cast<unsigned char>(sum + ep[i]);
    }
    ep[0x15] = static_cast<unsigned char>(0x100 - sum);
    sum = 0;
    for (int i = 0; i < 0x1F; ++i) {
        sum = static_cast<unsigned char>(sum + ep[i]);
    }
    ep[4] = static_cast<unsigned char>(0x100 - sum);
    return image;
}

}  // namespace

int main() {
    const char *imageName = "tarnwick-client-image.bin";
    const std::vector<unsigned char> image = makeImage();
    std::FILE *out = std::fopen(imageName, "wb");
    if (out == nullptr) {
        return 2;
    }
    std::fwrite(image.data(), 1, image.size(), out);
    std::fclose(out);

    int status = 0;
    memory::MemoryFactory *memoryFactory = memory::MemoryFactory::getFactory();
    memoryFactory->setParameter("memFile", std::string(imageName));
    memoryFactory->setMode(memory::MemoryFactory::FileMode);
    smbios::SmbiosFactory::getFactory()->setMode(smbios::SmbiosFactory::MemoryMode);
    if (smbios::getSystemId() != 0x0286) {
        std::printf("system ID not found: %s\n", smbios::lastError.what());
        status = 3;
    }
    {
        const std::unique_ptr<smbios::ISmbiosTable> table(smbios::SmbiosFactory::getFactory()->makeNew());
        const smbios::decode::Summary summary = smbios::decode::summarize(*table);
        if (summary.oemStrings != std::vector<std::string>{"Vorn System"}) {  // its count says one
            std::printf("OEM strings not decoded\n");
            status = 6;
        }
    }
    try {
        memoryFactory->getSingleton()->getByte(0x100000);  // past the end
        status = 4;
    } catch (const memory::AccessError &error) {
        if (std::string(error.what()).rfind("Read error trying to read memory.", 0) != 0) {
            status = 5;
        }
    }
    {
        // The same table checked from its bytes: two structures walked, and
        // the structures DSP0134 requires missing from it.
        smbios::SmbiosTableBytes bytes;
        bytes.entryPoint.assign(image.begin() + 0xF0000, image.begin() + 0xF001F);
        bytes.table.assign(image.begin() + 0x10000, image.begin() + 0x10000 + image[0xF0016]);
        const smbios::check::Report report =
            smbios::check::checkTable(bytes, smbios::check::Profile::builtIn("dsp0134"));
        if (report.structures != 2 || smbios::check::rules().empty()) {
            std::printf("table not checked\n");
            status = 7;
        }
    }
    smbios::SmbiosFactory::getFactory()->reset();
    memoryFactory->reset();
    std::remove(imageName);

    if (status == 0) {
        std::puts("tarnwick client ok");
    }
    return status;
}
