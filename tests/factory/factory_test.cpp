// Tests of the factory framework through small test families of each shape
// the library uses.
#include "factory/IFactory.h"
#include "factory/TFactory.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using factory::IFactory;
using factory::TFactory;

// A family shaped like the memory and SMBIOS families: an abstract family
// class on IFactory as a virtual base, and an implementation on TFactory.
class TestFamily : public virtual IFactory {
public:
    static TestFamily *getFactory();
    virtual int makeNew() = 0;
};

class TestFamilyImpl : public TFactory<TestFamily> {
public:
    TestFamilyImpl() {
        setParameter("name", std::string("default"));
        setParameter("count", 3u);
        ++constructed;
    }
    ~TestFamilyImpl() override { ++destroyed; }
    int makeNew() override { return getMode() * 10; }

    static int constructed;
    static int destroyed;
};
int TestFamilyImpl::constructed = 0;
int TestFamilyImpl::destroyed = 0;

TestFamily *TestFamily::getFactory() {
    return TFactory<TestFamily>::getOrCreate<TestFamilyImpl>();
}

class FactoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestFamily *current = TFactory<TestFamily>::instance;
        if (current != nullptr) {
            current->reset();
        }
        TestFamilyImpl::constructed = 0;
        TestFamilyImpl::destroyed = 0;
    }
    void TearDown() override {
        if (TFactory<TestFamily>::instance != nullptr) {
            TFactory<TestFamily>::instance->reset();
        }
    }
};

TEST_F(FactoryTest, GetFactoryCreatesOnceAndReturnsTheSamePointer) {
    TestFamily *first = TestFamily::getFactory();
    TestFamily *second = TestFamily::getFactory();
    EXPECT_EQ(first, second);
    EXPECT_EQ(TFactory<TestFamily>::instance, first);
    EXPECT_EQ(TestFamilyImpl::constructed, 1);
}

TEST_F(FactoryTest, NewFactoryHasModeZeroAndTheFamilyDefaults) {
    TestFamily *f = TestFamily::getFactory();
    EXPECT_EQ(f->getMode(), 0);
    EXPECT_EQ(f->getParameterString("name"), "default");
    EXPECT_EQ(f->getParameterNum("count"), 3u);
}

TEST_F(FactoryTest, UnknownNamesGiveDefaultsInBothNameSpaces) {
    TestFamily *f = TestFamily::getFactory();
    EXPECT_EQ(f->getParameterString("never"), "");
    EXPECT_EQ(f->getParameterNum("never"), 0u);
    // Having been read once, the name now holds its default in each map.
    EXPECT_EQ(f->getParameterString("never"), "");
    EXPECT_EQ(f->getParameterNum("never"), 0u);
}

TEST_F(FactoryTest, StringAndNumericParametersNeverMix) {
    TestFamily *f = TestFamily::getFactory();
    f->setParameter("offset", 5u);
    EXPECT_EQ(f->getParameterString("offset"), "");
    EXPECT_EQ(f->getParameterNum("offset"), 5u);
    f->setParameter("offset", std::string("text"));
    EXPECT_EQ(f->getParameterNum("offset"), 5u);
    EXPECT_EQ(f->getParameterString("offset"), "text");
    EXPECT_EQ(f->getParameterNum("name"), 0u) << "a string name is no numeric name";
}

TEST_F(FactoryTest, SettingTwiceKeepsTheLastValue) {
    TestFamily *f = TestFamily::getFactory();
    f->setParameter("count", 1u);
    f->setParameter("count", 2u);
    f->setParameter("name", std::string("a"));
    f->setParameter("name", std::string("b"));
    EXPECT_EQ(f->getParameterNum("count"), 2u);
    EXPECT_EQ(f->getParameterString("name"), "b");
}

TEST_F(FactoryTest, NamesAreCaseSensitive) {
    TestFamily *f = TestFamily::getFactory();
    f->setParameter("Count", 9u);
    EXPECT_EQ(f->getParameterNum("count"), 3u);
    EXPECT_EQ(f->getParameterNum("Count"), 9u);
}

TEST_F(FactoryTest, AnyModeIsAcceptedAndKept) {
    TestFamily *f = TestFamily::getFactory();
    f->setMode(7);
    EXPECT_EQ(f->getMode(), 7);
    EXPECT_EQ(f->makeNew(), 70);
    f->setMode(-3);
    EXPECT_EQ(f->getMode(), -3);
}

TEST_F(FactoryTest, ResetWithEmptySlotDoesNothing) {
    ASSERT_EQ(TFactory<TestFamily>::instance, nullptr);
    TestFamilyImpl standalone;  // not the process-wide factory
    standalone.reset();
    EXPECT_EQ(TestFamilyImpl::destroyed, 0);
    EXPECT_EQ(TFactory<TestFamily>::instance, nullptr);
}

TEST_F(FactoryTest, ResetThroughTheFactoryItselfDestroysIt) {
    TestFamily *f = TestFamily::getFactory();
    f->reset();
    EXPECT_EQ(TestFamilyImpl::destroyed, 1);
    EXPECT_EQ(TFactory<TestFamily>::instance, nullptr);
}

TEST_F(FactoryTest, AfterResetANewFactoryHasTheDefaultsAgain) {
    TestFamily *f = TestFamily::getFactory();
    f->setMode(1);
    f->setParameter("name", std::string("changed"));
    f->setParameter("count", 99u);
    f->setParameter("extra", 1u);
    f->reset();

    TestFamily *fresh = TestFamily::getFactory();
    EXPECT_EQ(TestFamilyImpl::constructed, 2);
    EXPECT_EQ(fresh->getMode(), 0);
    EXPECT_EQ(fresh->getParameterString("name"), "default");
    EXPECT_EQ(fresh->getParameterNum("count"), 3u);
    EXPECT_EQ(fresh->getParameterNum("extra"), 0u);
}

TEST_F(FactoryTest, DestroyingAnotherObjectOfTheFamilyDestroysTheProcessWideOne) {
    TestFamily::getFactory();
    {
        TestFamilyImpl other;
        EXPECT_EQ(TestFamilyImpl::destroyed, 0);
    }
    // `other` and the process-wide factory are both gone.
    EXPECT_EQ(TestFamilyImpl::destroyed, 2);
    EXPECT_EQ(TFactory<TestFamily>::instance, nullptr);
}

TEST_F(FactoryTest, DeletingTheProcessWideFactoryEmptiesTheSlot) {
    delete TestFamily::getFactory();
    EXPECT_EQ(TestFamilyImpl::destroyed, 1);
    EXPECT_EQ(TFactory<TestFamily>::instance, nullptr);
}

// A family whose construction fails: the slot stays empty, and the next
// getFactory() tries again.
class FailingFamily : public virtual IFactory {
public:
    static FailingFamily *getFactory();
};

class FailingFamilyImpl : public TFactory<FailingFamily> {
public:
    FailingFamilyImpl() {
        if (failNext) {
            throw std::runtime_error("no factory");
        }
    }
    static bool failNext;
};
bool FailingFamilyImpl::failNext = true;

FailingFamily *FailingFamily::getFactory() {
    return TFactory<FailingFamily>::getOrCreate<FailingFamilyImpl>();
}

TEST(FactoryConstructionTest, FailedConstructionLeavesTheSlotEmpty) {
    FailingFamilyImpl::failNext = true;
    EXPECT_THROW(FailingFamily::getFactory(), std::runtime_error);
    EXPECT_EQ(TFactory<FailingFamily>::instance, nullptr);
    FailingFamilyImpl::failNext = false;
    FailingFamily *f = FailingFamily::getFactory();
    ASSERT_NE(f, nullptr);
    f->reset();
}

// The workaround family's shape: TFactory<IFactory> is complete, the family
// derives from it, and TFactory<family> is the object made.
class NestedFamily : public TFactory<IFactory> {
public:
    static NestedFamily *getFactory() { return TFactory<NestedFamily>::getOrCreate<TFactory<NestedFamily>>(); }
    virtual int makeNew() { return 5; }
};

TEST(NestedFactoryTest, TFactoryOfIFactoryIsAUsableClass) {
    TFactory<IFactory> plain;
    plain.setMode(4);
    plain.setParameter("a", 1u);
    EXPECT_EQ(plain.getMode(), 4);
    EXPECT_EQ(plain.getParameterNum("a"), 1u);
}

TEST(NestedFactoryTest, OperationsActOnTheOuterParameterSet) {
    NestedFamily *f = NestedFamily::getFactory();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f, NestedFamily::getFactory());
    EXPECT_EQ(f->makeNew(), 5);

    f->setParameter("x", 11u);
    f->setMode(2);
    EXPECT_EQ(f->getParameterNum("x"), 11u);
    EXPECT_EQ(f->getMode(), 2);

    // The inner TFactory<IFactory> set is a separate one that stays untouched.
    TFactory<IFactory> &inner = *f;
    EXPECT_EQ(inner.TFactory<IFactory>::getParameterNum("x"), 0u);
    EXPECT_EQ(inner.TFactory<IFactory>::getMode(), 0);

    f->reset();
    EXPECT_EQ(TFactory<NestedFamily>::instance, nullptr);
    EXPECT_EQ(TFactory<IFactory>::instance, nullptr);
}

}  // namespace
