// TFactory<S> gives a factory family S everything families share: the
// parameters, the mode, and the family's process-wide instance slot.
#ifndef TARNWICK_FACTORY_TFACTORY_H
#define TARNWICK_FACTORY_TFACTORY_H

#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "factory/IFactory.h"

namespace factory {

// Usage: a family declares `class MemoryFactory : public virtual IFactory`
// with its product operations and a static getFactory(), which returns
// TFactory<MemoryFactory>::getOrCreate<MemoryFactoryImpl>().
template <class S>
class TFactory : public S {
public:
    TFactory() = default;
    TFactory(const TFactory &) = delete;
    TFactory &operator=(const TFactory &) = delete;

    // Destroying any factory of the family also destroys the family's
    // process-wide factory, unless that is this very object.
    ~TFactory() override {
        S *current = instance;
        if (current != nullptr && current != static_cast<S *>(this)) {
            instance = nullptr;
            delete current;
        }
        instance = nullptr;
    }

    void setParameter(std::string name, uint32_t value) override { numericParameters[std::move(name)] = value; }

    void setParameter(std::string name, std::string value) override {
        stringParameters[std::move(name)] = std::move(value);
    }

    void setMode(int newMode) override { mode = newMode; }

    void reset() override {
        // The slot is emptied before the deletion, so the destructor of the
        // deleted factory finds it empty and does not delete again.
        S *current = instance;
        instance = nullptr;
        if (current != nullptr) {
            delete current;
            instance = nullptr;
        }
    }

    std::string getParameterString(std::string name) override { return stringParameters[std::move(name)]; }

    uint32_t getParameterNum(std::string name) override { return numericParameters[std::move(name)]; }

    int getMode() override { return mode; }

    // The family's process-wide factory, created as a `Create` on first use.
    // If the construction throws, the slot stays empty.
    template <class Create>
    static S *getOrCreate() {
        if (instance == nullptr) {
            instance = new Create();
        }
        return instance;
    }

    // One slot per family, shared by getOrCreate(), reset() and the
    // destructor. A family built on TFactory<IFactory> (the workaround
    // family) has that instantiation's slot too, which it never uses.
    // cppcheck-suppress duplInheritedMember
    static S *instance;

private:
    int mode = 0;
    std::map<std::string, std::string> stringParameters;
    std::map<std::string, uint32_t> numericParameters;
};

template <class S>
S *TFactory<S>::instance = nullptr;

}  // namespace factory

#endif  // TARNWICK_FACTORY_TFACTORY_H
