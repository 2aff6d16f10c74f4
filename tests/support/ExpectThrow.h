// EXPECT_THROW_TEXT: checks that a statement throws an exception of a given
// type and that its what() is exactly the given text.
#ifndef TARNWICK_TESTS_SUPPORT_EXPECTTHROW_H
#define TARNWICK_TESTS_SUPPORT_EXPECTTHROW_H

#include <gtest/gtest.h>

#include <exception>
#include <string>
#include <typeinfo>

#define EXPECT_THROW_TEXT(statement, ExceptionType, expectedText)                                                      \
    do {                                                                                                               \
        bool tarnwickCaught = false;                                                                                   \
        try {                                                                                                          \
            statement;                                                                                                 \
        } catch (const ExceptionType &tarnwickError) {                                                                 \
            tarnwickCaught = true;                                                                                     \
            EXPECT_EQ(std::string(tarnwickError.what()), std::string(expectedText))                                    \
                << "message of " #ExceptionType " thrown by " #statement;                                              \
        } catch (const std::exception &tarnwickOther) {                                                                \
            tarnwickCaught = true;                                                                                     \
            ADD_FAILURE() << #statement " threw " << typeid(tarnwickOther).name()                                      \
                          << " instead of " #ExceptionType ": " << tarnwickOther.what();                               \
        } catch (...) {                                                                                                \
            tarnwickCaught = true;                                                                                     \
            ADD_FAILURE() << #statement " threw something that is not a std::exception";                               \
        }                                                                                                              \
        if (!tarnwickCaught) {                                                                                         \
            ADD_FAILURE() << #statement " did not throw " #ExceptionType;                                              \
        }                                                                                                              \
    } while (false)

#endif  // TARNWICK_TESTS_SUPPORT_EXPECTTHROW_H
