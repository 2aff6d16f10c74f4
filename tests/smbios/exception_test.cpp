// Tests of the exception family: the class tree and message expansion.
#include "smbios/Exception.h"

#include <gtest/gtest.h>

#include <new>
#include <ostream>
#include <string>
#include <type_traits>
#include <vector>

namespace {

using smbios::Exception;
using smbios::IException;

static_assert(noexcept(std::declval<const smbios::ParseExceptionImpl &>().what()), "what() must never throw");

// ---------------------------------------------------------------------------
// The class tree: every thrown kind is caught along its line, and only there.

template <class Impl, class Marker, class Group>
struct Kind {
    using ImplType = Impl;
    using MarkerType = Marker;
    using GroupType = Group;  // IException where the kind has no grouping class
};

template <class K>
class ExceptionKindTest : public ::testing::Test {};

using Kinds =
    ::testing::Types<Kind<smbios::InternalErrorImpl, smbios::InternalError, IException>,
                     Kind<smbios::NotImplementedImpl, smbios::NotImplemented, IException>,
                     Kind<smbios::ParameterExceptionImpl, smbios::ParameterException, smbios::SmbiosException>,
                     Kind<smbios::ParseExceptionImpl, smbios::ParseException, smbios::SmbiosException>,
                     Kind<smbios::StringUnavailableImpl, smbios::StringUnavailable, smbios::SmbiosException>,
                     Kind<smbios::DataOutOfBoundsImpl, smbios::DataOutOfBounds, smbios::SmbiosException>,
                     Kind<memory::AccessErrorImpl, memory::AccessError, memory::MemoryException>,
                     Kind<memory::OutOfBoundsImpl, memory::OutOfBounds, memory::MemoryException>>;
TYPED_TEST_SUITE(ExceptionKindTest, Kinds);

template <class Catch, class Throw>
std::string catchText(const Throw &thrown) {
    try {
        throw thrown;
    } catch (const Catch &caught) {
        return caught.what();
    } catch (...) {
        return "<not caught>";
    }
}

TYPED_TEST(ExceptionKindTest, IsCaughtAlongItsLineOfTheTree) {
    using Impl = typename TypeParam::ImplType;
    Impl thrown("text %(n)i");
    thrown.setParameter("n", 7u);
    EXPECT_EQ(catchText<typename TypeParam::MarkerType>(thrown), "text 7");
    EXPECT_EQ(catchText<typename TypeParam::GroupType>(thrown), "text 7");
    EXPECT_EQ(catchText<IException>(thrown), "text 7");
    EXPECT_EQ(catchText<std::exception>(thrown), "text 7");
}

TYPED_TEST(ExceptionKindTest, IsNotCaughtByAnotherKind) {
    using Impl = typename TypeParam::ImplType;
    using Marker = typename TypeParam::MarkerType;
    const Impl thrown("x");
    if (!std::is_same<Marker, smbios::InternalError>::value) {
        EXPECT_EQ(catchText<smbios::InternalError>(thrown), "<not caught>");
    }
    if (!std::is_base_of<smbios::SmbiosException, Marker>::value) {
        EXPECT_EQ(catchText<smbios::SmbiosException>(thrown), "<not caught>");
    }
    if (!std::is_base_of<memory::MemoryException, Marker>::value) {
        EXPECT_EQ(catchText<memory::MemoryException>(thrown), "<not caught>");
    }
}

TYPED_TEST(ExceptionKindTest, CopyKeepsTemplateAndParametersButNotTheLastText) {
    using Impl = typename TypeParam::ImplType;
    Impl original;
    original.setMessageString("%(a)s=%(b)i");
    original.setParameter("a", std::string("key"));
    original.setParameter("b", 42u);
    EXPECT_STREQ(original.what(), "key=42");

    Impl copy(original);
    EXPECT_STREQ(copy.what(), "key=42");
    EXPECT_EQ(copy.getParameterString("a"), "key");
    EXPECT_EQ(copy.getParameterNum("b"), 42u);

    // The two objects are independent afterwards.
    copy.setParameter("b", 43u);
    EXPECT_STREQ(original.what(), "key=42");
    EXPECT_STREQ(copy.what(), "key=43");
}

TEST(ExceptionTest, DefaultConstructedHasEmptyText) {
    EXPECT_STREQ(smbios::InternalErrorImpl().what(), "");
    EXPECT_STREQ(Exception<IException>().what(), "");
}

TEST(ExceptionTest, AssignmentCopiesTemplateAndParameters) {
    memory::AccessErrorImpl source("open %(file)s");
    source.setParameter("file", std::string("/tmp/m.img"));
    memory::AccessErrorImpl target("other");
    EXPECT_STREQ(target.what(), "other");
    target = source;
    EXPECT_STREQ(target.what(), "open /tmp/m.img");
}

// ---------------------------------------------------------------------------
// Expansion of templates.

struct Expansion {
    const char *name;
    std::string messageTemplate;
    std::vector<std::pair<std::string, std::string>> strings;
    std::vector<std::pair<std::string, uint32_t>> numbers;
    std::string expected;
};

void PrintTo(const Expansion &expansion, std::ostream *out) {
    *out << expansion.name;
}

class ExpansionTest : public ::testing::TestWithParam<Expansion> {};

TEST_P(ExpansionTest, Expands) {
    const Expansion &c = GetParam();
    smbios::ParseExceptionImpl e;
    e.setMessageString(c.messageTemplate);
    for (const auto &p : c.strings) {
        e.setParameter(p.first, p.second);
    }
    for (const auto &p : c.numbers) {
        e.setParameter(p.first, p.second);
    }
    EXPECT_EQ(std::string(e.what()), c.expected);
    EXPECT_EQ(std::string(e.what()), c.expected) << "second call";
}

const std::string k28(28, 'n');
const std::string k29(29, 'n');

INSTANTIATE_TEST_SUITE_P(
    Templates, ExpansionTest,
    ::testing::Values(
        Expansion{"OpenFailure",
                  "Unable to open memory. File: %(file)s, OS Error: %(err)s",
                  {{"file", "/tmp/m.img"}, {"err", "No such file or directory"}},
                  {},
                  "Unable to open memory. File: /tmp/m.img, OS Error: No such file or directory"},
        Expansion{"NumericOffset",
                  "SMBIOS Header not found at offset: %(offsetValue)i",
                  {},
                  {{"offsetValue", 983040u}},
                  "SMBIOS Header not found at offset: 983040"},
        Expansion{"MinusOneIsUnsigned", "%(v)i", {}, {{"v", static_cast<uint32_t>(-1)}}, "4294967295"},
        Expansion{"Zero", "[%(v)i]", {}, {{"v", 0u}}, "[0]"},
        Expansion{"DoublePercent", "100%% done", {}, {}, "100% done"},
        Expansion{"EscapedPlaceholder", "%%(x)s", {{"x", "X"}}, {}, "%(x)s"},
        Expansion{"PercentAtEnd", "100%", {}, {}, "100%"}, Expansion{"DoublePercentAtEnd", "100%%", {}, {}, "100%"},
        Expansion{"PercentNotBeforeParen", "a %d b %(x)s", {{"x", "X"}}, {}, "a %d b X"},
        Expansion{"OtherLetter", "a %(x)d b", {{"x", "X"}}, {{"x", 1u}}, "a %(x)d b"},
        Expansion{"NoClosingParen", "a %(x b", {{"x", "X"}}, {}, "a %(x b"},
        Expansion{"ParenLast", "value: %(x)", {{"x", "X"}}, {}, "value: %(x)"},
        Expansion{
            "ParenLastStopsAfterEarlierPlaceholders", "%(x)s and %(y)", {{"x", "X"}, {"y", "Y"}}, {}, "X and %(y)"},
        Expansion{"SpaceAfterParenIsNotALetter", "%(x) then %(y)s)", {{"y", "Y"}}, {}, "%(x) then Y)"},
        Expansion{"Name28Expands", "<%(" + k28 + ")s>", {{k28, "v"}}, {}, "<v>"},
        Expansion{"Name29Stays", "<%(" + k29 + ")s>", {{k29, "v"}}, {}, "<%(" + k29 + ")s>"},
        Expansion{
            "LongPlaceholderSkippedButLaterOneExpands", "%(" + k29 + ")s %(x)s", {{"x", "X"}}, {}, "%(" + k29 + ")s X"},
        Expansion{"StringAndNumberShareName", "%(x)s/%(x)i", {{"x", "text"}}, {{"x", 9u}}, "text/9"},
        Expansion{"ValueWithDoublePercent", "rate %(r)s", {{"r", "50%%"}}, {}, "rate 50%"},
        Expansion{"ValueWithPlaceholder", "%(outer)s", {{"outer", "y=%(y)i"}}, {{"y", 5u}}, "y=5"},
        Expansion{"NamesAreCaseSensitive", "%(X)s|%(x)s", {{"x", "lower"}}, {}, "|lower"},
        Expansion{"UnsetStringIsEmpty", "[%(missing)s]", {}, {}, "[]"},
        Expansion{"UnsetNumberIsZero", "[%(missing)i]", {}, {}, "[0]"},
        Expansion{"EmptyName", "[%()s]", {{"", "E"}}, {}, "[E]"}, Expansion{"EmptyTemplate", "", {{"x", "X"}}, {}, ""},
        Expansion{"SinglePercent", "%", {}, {}, "%"}),
    [](const ::testing::TestParamInfo<Expansion> &info) { return std::string(info.param.name); });

TEST(ExceptionTest, WhatReflectsTheCurrentParameters) {
    smbios::DataOutOfBoundsImpl e;
    e.setMessageString("offset : %(offset)i");
    e.setParameter("offset", 1u);
    EXPECT_STREQ(e.what(), "offset : 1");
    e.setParameter("offset", 2u);
    EXPECT_STREQ(e.what(), "offset : 2");
    e.setMessageString("now %(offset)i!");
    EXPECT_STREQ(e.what(), "now 2!");
}

TEST(ExceptionTest, GettersReturnDefaultsForUnknownNames) {
    smbios::InternalErrorImpl e;
    EXPECT_EQ(e.getParameterString("nothing"), "");
    EXPECT_EQ(e.getParameterNum("nothing"), 0u);
    e.setParameter("n", 5u);
    EXPECT_EQ(e.getParameterString("n"), "") << "string and numeric names are separate";
}

// ---------------------------------------------------------------------------
// Values that lead back to themselves must not expand for ever.

using Limits = Exception<IException>;

TEST(ExceptionSelfReferenceTest, SameLengthCycleStopsAfterTheSubstitutionLimit) {
    Limits e("<%(x)s>");
    e.setParameter("x", std::string("%(x)s"));
    EXPECT_STREQ(e.what(), "<%(x)s>");
}

TEST(ExceptionSelfReferenceTest, GrowingCycleKeepsTheTextProducedSoFar) {
    Limits e("<%(x)s>");
    e.setParameter("x", std::string("a%(x)s"));
    const std::string expected = "<" + std::string(Limits::kMaxSubstitutions, 'a') + "%(x)s>";
    EXPECT_EQ(std::string(e.what()), expected);
}

TEST(ExceptionSelfReferenceTest, MutualCycleStops) {
    Limits e("%(x)s");
    e.setParameter("x", std::string("1%(y)s"));
    e.setParameter("y", std::string("2%(x)s"));
    std::string expected;
    for (unsigned i = 0; i < Limits::kMaxSubstitutions; ++i) {
        expected += (i % 2 == 0) ? "1" : "2";
    }
    expected += "%(x)s";
    EXPECT_EQ(std::string(e.what()), expected);
}

TEST(ExceptionSelfReferenceTest, FastGrowthStopsAtTheLengthLimit) {
    Limits e("%(x)s");
    const std::string chunk(1000, 'b');
    e.setParameter("x", chunk + "%(x)s");
    const std::string text = e.what();
    EXPECT_LE(text.size(), std::string("%(x)s").size() + Limits::kMaxGrowth);
    // Stopped before the next insertion would cross the limit.
    EXPECT_GT(text.size() + chunk.size(), Limits::kMaxGrowth);
    EXPECT_EQ(text.substr(text.size() - 5), "%(x)s");
    EXPECT_EQ(text.find_first_not_of('b'), text.size() - 5);
}

TEST(ExceptionSelfReferenceTest, LongTemplatesMayStillGrowByTheLimit) {
    const std::string big(std::size_t{200} * 1024, 't');
    Limits e(big + "%(x)s");
    e.setParameter("x", std::string("value"));
    EXPECT_EQ(std::string(e.what()), big + "value");
}

// A getter that runs out of memory: what() must still return, with the
// template itself.
class OutOfMemoryException : public Exception<smbios::InternalError> {
public:
    using Exception<smbios::InternalError>::Exception;
    std::string getParameterString(const std::string &) const override { throw std::bad_alloc(); }
};

TEST(ExceptionTest, WhatReturnsTheTemplateWhenMemoryRunsOut) {
    OutOfMemoryException e("file %(file)s");
    EXPECT_STREQ(e.what(), "file %(file)s");
}

}  // namespace
