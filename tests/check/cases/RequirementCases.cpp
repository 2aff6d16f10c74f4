// The cases of the requirement rules: under dsp0134, under arm-bbr, and
// under profiles of their own for what the built-in ones do not ask; and
// the profiles' JSON form, which names what it refuses.
#include "tests/check/CheckCases.h"

#include <gtest/gtest.h>

#include "check/Check.h"
#include "check/ProfileData.h"
#include "smbios/Exception.h"

#include "tests/check/cases/CaseStrings.h"
#include "tests/support/SmbiosBuilder.h"

namespace tarnwick_test {
namespace {

// Profiles of their own, for what the built-in ones do not ask: two caches
// at least, the firmware's legacy address (which UEFI firmware may leave
// out), a rack mount chassis (23), a firmware version of three numbers.
const char *const kTwoCaches = R"({"extends": "dsp0134", "required": [{"type": 7, "min_count": 2}]})";
// The structure rules off, so that a structure cut short says only that it
// lacks a required field.
const char *const kLengthsAside =
    R"({"extends": "dsp0134", "severities": {"structure.length-of-older-version": "off"}})";
const char *const kRackMount = R"({"extends": "dsp0134", "allowed": [{"type": 3, "field": "type", "values": [23]}]})";
const char *const kVersionPattern = R"({"extends": "dsp0134",
  "allowed": [{"type": 0, "field": "version", "pattern": "[0-9]+\\.[0-9]+\\.[0-9]+", "severity": "warning"}]})";

const char *const kArmBbr = R"({"extends": "arm-bbr"})";

// A 1 MiB L2 cache of its own, which the processor does not name.
void addCache(CaseTable &t) {
    Bytes cache = t.at(0x0007);
    cache[2] = 0x08;
    cache[5] = 0x81;  // level 2, enabled, internal
    t.structures.insert(t.structures.end() - 1, cache);
    setStrings(t, 0x0008, {"L2 Cache"});
}

// An Armv8 processor (family 2: 101h) where the Xeon was.
void armProcessor(CaseTable &t) {
    t.set(0x0004, 0x06, 0xFE);
    t.set(0x0004, 0x28, 0x0101, 2);
    setStrings(t, 0x0004, {"CPU0", "Arm", "Neoverse-N1", "CPU-SN-0001", "CPU-AT-0001", "CPU-PN-0001"});
}

}  // namespace

std::vector<RuleCase> requirementCases() {
    return {
        {"required.type-missing", "no system boot information", nullptr,
         [](CaseTable &t) { t.structures.erase(t.structures.end() - 2); }},
        {"required.too-few", "one cache of two required", addCache,
         [](CaseTable &t) { t.structures.erase(t.structures.end() - 2); }, kTwoCaches},
        {"required.field-absent", "the firmware's release cut off by a 2.3 length", nullptr,
         [](CaseTable &t) {
             Bytes &firmware = t.at(0x0000);
             firmware[1] = 0x14;
             firmware.erase(firmware.begin() + 0x14, firmware.begin() + 0x18);
         },
         kLengthsAside},
        {"required.string-absent", "system serial number string 0", nullptr,
         [](CaseTable &t) {
             t.set(0x0001, 0x07, 0);
             t.set(0x0001, 0x19, 4);
             t.set(0x0001, 0x1A, 5);
             setStrings(t, 0x0001, {"Tarnwick", "TW-100", "A1", "TW100-SKU", "TW"});
         }},
        {"required.field-unknown", "arm-bbr: DIMM size unknown", armProcessor,
         [](CaseTable &t) { t.set(0x0011, 0x0C, 0xFFFF, 2); }, kArmBbr},
        {"required.value-not-allowed", "a desktop chassis", nullptr, [](CaseTable &t) { t.set(0x0003, 0x05, 0x03); },
         kRackMount},
        {"required.value-not-allowed", "a firmware version of two numbers", nullptr,
         [](CaseTable &t) {
             setStrings(t, 0x0000, {"Tarnwick Firmware", "1.0", "12/10/2026"});
         },
         kVersionPattern},
        {"required.value-not-allowed", "arm-bbr: an x86 processor", armProcessor,
         [](CaseTable &t) { t.set(0x0004, 0x28, 0x00B3, 2); }, kArmBbr},
    };
}

namespace {

struct Refusal {
    const char *json;
    const char *says;  // what the message names
};

const Refusal kRefusals[] = {
    {R"({"requried": []})", "the profile has an unknown key 'requried'"},
    {R"({"required": [{"type": 1, "min_cout": 2}]})", "\"required\" entry 1 has an unknown key 'min_cout'"},
    {R"({"required": [{"type": 1, "min_count": "2"}]})", "\"min_count\" is not a whole number from 0 to 65535"},
    {R"({"required": [{"type": 256}]})", "\"type\" is not a whole number from 0 to 255"},
    {R"({"required": [{"type": 1, "since": "three"}]})", "'three' is not a version"},
    {R"({"allowed": [{"type": 3, "field": "type"}]})", "allows nothing"},
    {R"({"allowed": [{"type": 3, "field": "type", "pattern": "(("}]})", "'((' is not a pattern"},
    {R"({"references": [{"type": 4, "field": "l1_cache_handle", "to": [7, 300]}]})", "holds 300"},
    {R"({"references": [{"type": 4, "field": "l1_cache_handle"}]})", "has no \"to\""},
    {R"({"severities": {"walk.no-such-rule": "off"}})", "names 'walk.no-such-rule', which is no rule"},
    {R"({"severities": {"walk.handle-reserved": "fatal"}})", "'fatal' is not a severity"},
    {R"({"extends": "dsp9999"})", "names 'dsp9999', which is no built-in profile"},
    {R"([1, 2])", "the profile is not a JSON object"},
};

TEST(ProfileForm, RefusesWhatItDoesNotKnowNamingIt) {
    for (const Refusal &refusal : kRefusals) {
        try {
            (void)smbios::check::Profile::fromJson(refusal.json, "own.json");
            ADD_FAILURE() << "accepted " << refusal.json;
        } catch (const smbios::ParseException &failure) {
            EXPECT_NE(std::string(failure.what()).find(refusal.says), std::string::npos)
                << refusal.json << ": " << failure.what();
            EXPECT_NE(std::string(failure.what()).find("own.json"), std::string::npos) << failure.what();
        }
    }
}

TEST(ProfileForm, ArmBbrAddsToDsp0134) {
    const smbios::check::Profile base = smbios::check::Profile::builtIn("dsp0134");
    const smbios::check::Profile arm = smbios::check::Profile::builtIn("arm-bbr");
    EXPECT_EQ(arm.name(), "arm-bbr");
    EXPECT_EQ(arm.data().references.size(), base.data().references.size());
    EXPECT_GT(arm.data().required.size(), base.data().required.size());
    EXPECT_FALSE(arm.data().allowed.empty());
}

}  // namespace

}  // namespace tarnwick_test
