// A client of the installed library: includes its headers by their
// installed paths, reads a memory image and catches a library exception.
#include <cstdio>
#include <string>

#include "factory/TFactory.h"
#include "memory/MemoryFactory.h"
#include "memory/MemoryFile.h"
#include "smbios/Exception.h"

int main() {
    const char *imageName = "tarnwick-client-image.bin";
    std::FILE *out = std::fopen(imageName, "wb");
    if (out == nullptr) {
        return 2;
    }
    const unsigned char bytes[4] = {'_', 'S', 'M', '_'};
    std::fwrite(bytes, 1, sizeof bytes, out);
    std::fclose(out);

    int status = 0;
    try {
        memory::MemoryFile image(imageName);
        if (image.getByte(1) != 'S') {
            status = 3;
        }
        image.getByte(4);  // past the end
        status = 4;
    } catch (const memory::AccessError &error) {
        if (std::string(error.what()).rfind("Read error trying to read memory.", 0) != 0) {
            status = 5;
        }
    }

    // The factory's way: the process-wide source reads the image.
    memory::MemoryFactory *memoryFactory = memory::MemoryFactory::getFactory();
    memoryFactory->setParameter("memFile", std::string(imageName));
    memoryFactory->setMode(memory::MemoryFactory::FileMode);
    if (memoryFactory->getSingleton()->getByte(3) != '_') {
        status = 7;
    }
    memoryFactory->reset();
    std::remove(imageName);

    factory::TFactory<factory::IFactory> settings;
    settings.setParameter("memFile", std::string("image.bin"));
    if (settings.getParameterString("memFile") != "image.bin") {
        status = 6;
    }
    if (status == 0) {
        std::puts("tarnwick client ok");
    }
    return status;
}
