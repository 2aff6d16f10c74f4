// The whole public interface of the Tarnwick SMBIOS library in one include.
#ifndef TARNWICK_SMBIOS_SMBIOS_H
#define TARNWICK_SMBIOS_SMBIOS_H

#include "factory/IFactory.h"
#include "factory/TFactory.h"
#include "memory/IMemory.h"
#include "memory/MemoryFactory.h"
#include "memory/MemoryFile.h"
#include "memory/MemoryOsSpecific.h"
#include "smbios/Exception.h"
#include "smbios/SmbiosFactory.h"
#include "smbios/SmbiosItem.h"
#include "smbios/SmbiosIterator.h"
#include "smbios/SmbiosStrategy.h"
#include "smbios/SmbiosTable.h"
#include "smbios/SmbiosTableEntryPoint.h"
#include "smbios/SmbiosWorkaround.h"
#include "smbios/SystemId.h"

#endif  // TARNWICK_SMBIOS_SMBIOS_H
