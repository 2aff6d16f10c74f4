// Recognising the maker's systems and reading their system ID, from the
// process-wide memory source and structure table.
#ifndef TARNWICK_SMBIOS_SYSTEMID_H
#define TARNWICK_SMBIOS_SYSTEMID_H

#include <array>
#include <cstdint>
#include <string>

#include "smbios/Exception.h"

namespace smbios {

// Vendor checks. Each reads the factories' process-wide memory source or
// table (made on first use with the factories' current settings); errors
// of the memory source and the table pass to the caller.
bool isVornByMemoryMarker();  // "Vorn" at FE076h
bool isVornByOemString();     // a type 11 string 1 beginning "Vorn System"
bool isSystemId8C();          // getSystemId() is 8Ch; never throws

// The first non-zero system ID of the four sources below, asked in this
// order, or 0. Never throws: the text of each source's failure goes to
// lastError, and the next source is asked.
uint16_t getSystemId();

// What one source said when getSystemId asked it.
struct SystemIdAnswer {
    bool asked = false;  // false for the sources after the one that found an ID
    uint16_t systemId = 0;
    bool failed = false;
    std::string failure;  // the failure's text, as lastError keeps it
};

// As getSystemId(), noting in `answers` (in the order of systemIdGetters)
// what each source it asked said: a report of every source that asks none
// of them twice.
uint16_t getSystemId(std::array<SystemIdAnswer, 4> &answers);

// The sources. A system ID is 16 bits; 0 means none was found.
uint16_t getSystemIdFromOemString();      // type 11 string 2, hexadecimal from its third character
uint16_t getSystemIdFromMemoryId();       // the ID record at FE840h, after "Vorn System" at FE076h
uint16_t getSystemIdFromMemoryMarkers();  // 8Ch when a fixed marker pair says so
uint16_t getSystemIdFromTypeD0();         // the last type 208 structure

// Why getSystemId() last found nothing: the text of the last failure of a
// source (kept until a later failure replaces it; successes never clear it).
extern Exception<IException> lastError;

using VendorCheck = bool (*)();
using SystemIdGetter = uint16_t (*)();
extern const VendorCheck vendorChecks[3];        // in the order declared above
extern const SystemIdGetter systemIdGetters[4];  // in the order getSystemId() asks them

}  // namespace smbios

#endif  // TARNWICK_SMBIOS_SYSTEMID_H
