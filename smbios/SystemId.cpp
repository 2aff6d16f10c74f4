// Vendor checks and the system-ID query over the memory source and the
// structure table.
#include "smbios/SystemId.h"

#include <cstdlib>
#include <cstring>

#include "memory/IMemory.h"
#include "memory/MemoryFactory.h"
#include "smbios/MakerStructure.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosTable.h"
#include "smbios/VerbatimText.h"

namespace smbios {
namespace {

const char kMarker[] = "Vorn System";  // 11 characters
const char kShortMarker[] = "Vorn";
constexpr uint64_t kMarkerAddress = 0xFE076;
constexpr uint64_t kIdRecordAddress = 0xFE840;
constexpr std::size_t kIdRecordSize = 13;
constexpr uint16_t kSystemId8C = 0x8C;
constexpr int kOemStringsType = 11;

// Fixed marker pairs: the marker text, and the ID byte 4 bytes below it.
constexpr uint64_t kMarkerPairs[][2] = {{0xD8044, 0xD8040}, {0xDC044, 0xDC040}};

memory::IMemory &memorySource() {
    memory::IMemory *source = memory::MemoryFactory::getFactory()->getSingleton();
    if (source == nullptr) {
        throw InternalErrorImpl();
    }
    return *source;
}

ISmbiosTable &smbiosTable() {
    ISmbiosTable *table = SmbiosFactory::getFactory()->getSingleton();
    if (table == nullptr) {
        throw InternalErrorImpl();
    }
    return *table;
}

// Whether the 11 bytes at `address` read exactly "Vorn System".
bool markerAt(memory::IMemory &source, uint64_t address) {
    char text[sizeof kMarker] = {};
    source.fillBuffer(reinterpret_cast<uint8_t *>(text), address, sizeof kMarker - 1);
    return std::strcmp(text, kMarker) == 0;
}

}  // namespace

Exception<IException> lastError;

const VendorCheck vendorChecks[3] = {isVornByMemoryMarker, isVornByOemString, isSystemId8C};
const SystemIdGetter systemIdGetters[4] = {getSystemIdFromOemString, getSystemIdFromMemoryId,
                                           getSystemIdFromMemoryMarkers, getSystemIdFromTypeD0};

bool isVornByMemoryMarker() {
    char text[sizeof kShortMarker] = {};
    memorySource().fillBuffer(reinterpret_cast<uint8_t *>(text), kMarkerAddress, sizeof kShortMarker - 1);
    return std::strcmp(text, kShortMarker) == 0;
}

bool isVornByOemString() {
    ISmbiosTable &table = smbiosTable();
    bool found = false;
    for (auto it = table[kOemStringsType]; it != table.end(); ++it) {
        if (std::strncmp(it->getStringByStringNumber(1), kMarker, sizeof kMarker - 1) == 0) {
            found = true;
        }
    }
    return found;
}

bool isSystemId8C() {
    return getSystemId() == kSystemId8C;
}

uint16_t getSystemId() {
    std::array<SystemIdAnswer, 4> answers;
    return getSystemId(answers);
}

uint16_t getSystemId(std::array<SystemIdAnswer, 4> &answers) {
    answers = {};
    for (std::size_t source = 0; source < answers.size(); ++source) {
        SystemIdAnswer &answer = answers[source];
        answer.asked = true;
        try {
            answer.systemId = systemIdGetters[source]();
            if (answer.systemId != 0) {
                return answer.systemId;
            }
            continue;
        } catch (const IException &error) {
            answer.failure = error.what();
        } catch (...) {
            answer.failure = "Unknown internal error occurred";
        }
        answer.failed = true;
        // Kept as the failure's own text: a template of it would be
        // expanded a second time.
        lastError.setMessageString(verbatimText(answer.failure));
    }
    return 0;
}

uint16_t getSystemIdFromOemString() {
    if (!isVornByOemString()) {
        return 0;
    }
    ISmbiosTable &table = smbiosTable();
    uint16_t systemId = 0;
    for (auto it = table[kOemStringsType]; it != table.end(); ++it) {
        const char *text = it->getStringByStringNumber(2);
        // The ID follows two characters; a shorter string has none.
        systemId = std::strlen(text) > 2 ? static_cast<uint16_t>(std::strtol(text + 2, nullptr, 16)) : 0;
    }
    return systemId;
}

uint16_t getSystemIdFromMemoryId() {
    memory::IMemory &source = memorySource();
    if (!markerAt(source, kMarkerAddress)) {
        return 0;
    }
    uint8_t record[kIdRecordSize] = {};
    source.fillBuffer(record, kIdRecordAddress, kIdRecordSize);
    if (record[5] == kSystemIdEscape) {
        return static_cast<uint16_t>(record[0] | (record[1] << 8));
    }
    return record[5];
}

uint16_t getSystemIdFromMemoryMarkers() {
    memory::IMemory &source = memorySource();
    uint16_t systemId = 0;
    for (const auto &pair : kMarkerPairs) {
        if (markerAt(source, pair[0]) && source.getByte(pair[1]) == kSystemId8C) {
            systemId = kSystemId8C;
        }
    }
    return systemId;
}

uint16_t getSystemIdFromTypeD0() {
    ISmbiosTable &table = smbiosTable();
    uint16_t systemId = 0;
    for (auto it = table[kMakerStructureType]; it != table.end(); ++it) {
        systemId = systemIdOf(*it);
    }
    return systemId;
}

uint16_t systemIdOf(const ISmbiosItem &maker) {
    uint8_t id = 0;
    maker.getData(6, &id, 1);
    if (id != kSystemIdEscape) {
        return id;
    }
    uint8_t wide[2] = {0, 0};
    maker.getData(8, wide, 2);
    return static_cast<uint16_t>(wide[0] | (wide[1] << 8));
}

}  // namespace smbios
