// Tests of the WMI strategy and its four steps against scripted COM and WMI
// services: every step's failure, COM initialised and uninitialised once per
// fetch, every object and string released, the table untouched on failure.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "smbios/Exception.h"
#include "smbios/IWmiPlatform.h"
#include "smbios/SmbiosStrategy.h"
#include "tests/smbios/PlatformFakes.h"
#include "tests/support/ExpectThrow.h"
#include "tests/support/SmbiosBuilder.h"

namespace {

using smbios::SmbiosTableEntryPoint;
using smbios::SmbiosWinWMIStrategy;
using tarnwick_test::Bytes;
using tarnwick_test::FakeWmiPlatform;
using Step = FakeWmiPlatform::Step;

const Bytes kTable =
    tarnwick_test::join({tarnwick_test::structure(1, 0x100, {}, {"WMI"}), tarnwick_test::endOfTable()});

class WmiStrategyTest : public ::testing::Test {
protected:
    WmiStrategyTest() { wmi.publish(kTable, 2, 8); }

    // The strategy fails with `Kind` and `message`; the table is untouched,
    // COM was balanced and nothing was left unreleased.
    template <class Kind>
    void expectFailure(const std::string &message) {
        SmbiosWinWMIStrategy strategy;
        std::unique_ptr<uint8_t[]> slot(new uint8_t[1]{0x42});
        const uint8_t *before = slot.get();
        SmbiosTableEntryPoint ep{};
        ep.table_length = 55;
        EXPECT_THROW_TEXT(strategy.getSmbiosTable(slot, ep, false), Kind, message);
        EXPECT_EQ(slot.get(), before);
        EXPECT_EQ(ep.table_length, 55);
        EXPECT_EQ(ep.num_structures, 0);
        expectBalanced();
    }

    void expectBalanced() {
        EXPECT_EQ(wmi.coUninitializeCalls, wmi.coInitializeSucceeded) << "COM uninitialised once per initialisation";
        EXPECT_EQ(wmi.liveObjects(), 0u) << "every COM object released";
        EXPECT_EQ(wmi.liveStrings(), 0u) << "every COM string freed";
    }

    FakeWmiPlatform wmi;
    tarnwick_test::UsingWmiPlatform usingWmi{wmi};
};

TEST_F(WmiStrategyTest, DeliversThePublishedTable) {
    SmbiosWinWMIStrategy strategy;
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    ep.table_address = 0xABCD;
    ASSERT_TRUE(strategy.getSmbiosTable(slot, ep, true));
    EXPECT_EQ(Bytes(slot.get(), slot.get() + kTable.size()), kTable);
    EXPECT_EQ(ep.table_length, kTable.size()) << "exactly the published bytes, no trailing zeros";
    EXPECT_EQ(ep.major_version, 2);
    EXPECT_EQ(ep.minor_version, 8);
    EXPECT_EQ(ep.num_structures, 9999);
    EXPECT_EQ(ep.table_address, 0xABCDu);

    EXPECT_EQ(wmi.coInitializeCalls, 1);
    EXPECT_EQ(wmi.coUninitializeCalls, 1);
    EXPECT_EQ(wmi.securityCalls, 1);
    EXPECT_EQ(wmi.connectedNamespace, u"root\\wmi");
    EXPECT_EQ(wmi.enumeratedClass, u"MSSmBios_RawSMBiosTables");
    EXPECT_EQ(wmi.nextTimeout, 4000);
    EXPECT_EQ(wmi.nextCount, 1u);
    EXPECT_EQ(wmi.propertiesRead,
              (std::vector<std::u16string>{u"SMBiosData", u"SmbiosMajorVersion", u"SmbiosMinorVersion"}));
    expectBalanced();
}

TEST_F(WmiStrategyTest, EachFetchInitialisesComOnce) {
    SmbiosWinWMIStrategy strategy;
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    strategy.getSmbiosTable(slot, ep, false);
    strategy.getSmbiosTable(slot, ep, false);
    EXPECT_EQ(wmi.coInitializeCalls, 2);
    EXPECT_EQ(wmi.coUninitializeCalls, 2);
}

TEST_F(WmiStrategyTest, ComAlreadyInitialisedOnTheThreadIsFine) {
    wmi.results[Step::CoInitialize] = 1;  // S_FALSE
    SmbiosWinWMIStrategy strategy;
    std::unique_ptr<uint8_t[]> slot;
    SmbiosTableEntryPoint ep{};
    EXPECT_TRUE(strategy.getSmbiosTable(slot, ep, false));
    expectBalanced();
}

TEST_F(WmiStrategyTest, ComCannotBeInitialised) {
    wmi.results[Step::CoInitialize] = static_cast<int32_t>(0x80004005);
    expectFailure<smbios::InternalError>("Could not initialize COM.");
    EXPECT_EQ(wmi.coUninitializeCalls, 0) << "nothing to uninitialise";
}

TEST_F(WmiStrategyTest, LocatorCannotBeCreated) {
    wmi.results[Step::CreateLocator] = static_cast<int32_t>(0x80040154);
    expectFailure<smbios::InternalError>(
        "CoCreateInstance() failed for locator. Check that the security levels have been properly initialized.");
}

TEST_F(WmiStrategyTest, ConnectServerFails) {
    wmi.results[Step::ConnectServer] = static_cast<int32_t>(0x8004100E);
    expectFailure<smbios::InternalError>("ConnectServer() failed for namespace");
}

TEST_F(WmiStrategyTest, ConnectServerSuccessCodeOtherThanZeroFailsToo) {
    wmi.results[Step::ConnectServer] = 1;
    expectFailure<smbios::InternalError>("ConnectServer() failed for namespace");
}

TEST_F(WmiStrategyTest, CreateInstanceEnumFails) {
    wmi.results[Step::CreateInstanceEnum] = static_cast<int32_t>(0x80041010);
    expectFailure<smbios::InternalError>("CreateInstanceEnum() failed for MSSmBios_RawSMBiosTables");
}

TEST_F(WmiStrategyTest, NoInstance) {
    wmi.nextReturns = 0;
    expectFailure<smbios::InternalError>("Next() failed for pEnumSMBIOS");
}

// The count is preset to 1: a Next() that fails without writing it leads
// on to the null object, which the table read refuses.
TEST_F(WmiStrategyTest, NextFailingWithoutACount) {
    wmi.nextFailsSilently = true;
    expectFailure<smbios::ParseException>("GetWMISMBIOSTable: NULL pointer to SMBIOS Entry specified.");
}

TEST_F(WmiStrategyTest, SmbiosDataOfAnotherType) {
    wmi.properties[u"SMBiosData"].type = smbios::WmiValue::kEmpty;
    expectFailure<smbios::ParseException>("GetWMISMBIOSTable: SMBiosData returned unknown entry type.");
}

TEST_F(WmiStrategyTest, EmptySmbiosData) {
    wmi.properties[u"SMBiosData"].elements.clear();
    expectFailure<smbios::ParseException>("GetWMISMBIOSTable: Buffer size was zero.");
}

TEST_F(WmiStrategyTest, NoMemoryForTheTable) {
    wmi.failAllocation = true;
    expectFailure<smbios::ParseException>("GetWMISMBIOSTable: Failed to allocate memory for SMBIOS table.");
}

TEST_F(WmiStrategyTest, MajorVersionUnreadable) {
    wmi.propertyResults[u"SmbiosMajorVersion"] = static_cast<int32_t>(0x80041002);
    expectFailure<smbios::ParseException>("GetWMISMBIOSVersion: problem accessing WMI SmbiosMajorVersion.");
}

TEST_F(WmiStrategyTest, MinorVersionOfAnotherType) {
    wmi.properties[u"SmbiosMinorVersion"].type = 0x0003;  // VT_I4
    expectFailure<smbios::ParseException>("GetWMISMBIOSVersion: problem accessing WMI SmbiosMinorVersion.");
}

// The steps on their own.

TEST_F(WmiStrategyTest, FailedFetchReleasesTheRecordsData) {
    wmi.properties[u"SmbiosMinorVersion"].type = smbios::WmiValue::kEmpty;
    smbios::WmiSmbiosData data;
    EXPECT_THROW(smbios::GetWMISMBIOSData(wmi, data), smbios::ParseException);
    EXPECT_EQ(data.data, nullptr);
    EXPECT_EQ(data.major, 2) << "the major version was stored before the minor one failed";
    expectBalanced();
}

TEST_F(WmiStrategyTest, VersionStepStoresOnlyIntoGivenPlaces) {
    smbios::IWmiPlatform::Object instance = nullptr;
    wmi.coInitialize();
    smbios::GetWMISMBIOSInstance(wmi, &instance);
    ASSERT_NE(instance, nullptr);
    uint8_t minor = 0;
    smbios::GetWMISMBIOSVersion(wmi, instance, nullptr, &minor);
    EXPECT_EQ(minor, 8);
    uint8_t major = 0;
    smbios::GetWMISMBIOSVersion(wmi, instance, &major, nullptr);
    EXPECT_EQ(major, 2);
    wmi.release(instance);
    wmi.coUninitialize();
    expectBalanced();
}

TEST_F(WmiStrategyTest, NullObjectsAreRefused) {
    smbios::WmiSmbiosData data;
    EXPECT_THROW_TEXT(smbios::GetWMISMBIOSTable(wmi, nullptr, data), smbios::ParseException,
                      "GetWMISMBIOSTable: NULL pointer to SMBIOS Entry specified.");
    uint8_t major = 0;
    EXPECT_THROW_TEXT(smbios::GetWMISMBIOSVersion(wmi, nullptr, &major, nullptr), smbios::ParseException,
                      "GetWMISMBIOSVersion: null pointer passed as pSmbios.");
}

}  // namespace
