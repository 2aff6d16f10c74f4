// The SMBIOS factory: builds the strategy list of its mode, makes a table
// from it, installs the table's workarounds, and keeps one table for the
// process.
#include "smbios/SmbiosFactory.h"

#include <memory>
#include <utility>
#include <vector>

#include "memory/MemoryFactory.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosFactoryImpl.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosWorkaround.h"

namespace smbios {

ISmbiosTable *SmbiosFactoryImpl::product = nullptr;

SmbiosFactory::~SmbiosFactory() = default;

SmbiosFactory *SmbiosFactory::getFactory() {
    return factory::TFactory<SmbiosFactory>::getOrCreate<SmbiosFactoryImpl>();
}

SmbiosFactoryImpl::SmbiosFactoryImpl() {
    setParameter("strictValidation", 0u);
    setParameter("offset", 0u);
    setParameter("smbios3", 0u);
}

SmbiosFactoryImpl::~SmbiosFactoryImpl() {
    delete product;
    product = nullptr;
}

ISmbiosTable *SmbiosFactoryImpl::getSingleton() {
    if (product == nullptr) {
        product = makeNew();
    }
    return product;
}

void SmbiosFactoryImpl::setTableBytes(std::shared_ptr<const SmbiosTableBytes> bytes) {
    tableBytes = std::move(bytes);
}

ISmbiosTable *SmbiosFactoryImpl::makeNew() {
    const bool strict = getParameterNum("strictValidation") != 0;
    const uint32_t offset = getParameterNum("offset");
    std::vector<std::unique_ptr<SmbiosStrategy>> strategies;
    auto addMemoryStrategies = [&]() {
        strategies.push_back(std::make_unique<SmbiosMemoryStrategy>(offset));
        if (getParameterNum("smbios3") != 0) {
            strategies.push_back(std::make_unique<Smbios3MemoryStrategy>(offset));
        }
    };
    switch (getMode()) {
    case AutoMode:
        addMemoryStrategies();
        strategies.push_back(makeSystemTableStrategy());
        strategies.push_back(std::make_unique<SmbiosWinWMIStrategy>());
        break;
    case MemoryMode:
        addMemoryStrategies();
        break;
    case BufferMode:
        if (tableBytes) {
            strategies.push_back(std::make_unique<SmbiosBufferStrategy>(tableBytes));
        }
        break;
    default:
        throw NotImplementedImpl("Unknown smbios factory mode requested");
    }
    auto table = std::make_unique<SmbiosTable>(std::move(strategies), strict);
    table->initializeWorkaround();
    return table.release();
}

void resetLibraryFactories() {
    SmbiosFactory::getFactory()->reset();
    SmbiosWorkaroundFactory::getFactory()->reset();
    memory::MemoryFactory::getFactory()->reset();
}

}  // namespace smbios
