// The interface every factory family shares: named string and numeric
// parameters, one integer mode, and reset() of the family's process-wide
// factory.
#ifndef TARNWICK_FACTORY_IFACTORY_H
#define TARNWICK_FACTORY_IFACTORY_H

#include <cstdint>
#include <string>

namespace factory {

class IFactory {
public:
    virtual ~IFactory();

    virtual void setParameter(std::string name, uint32_t value) = 0;
    virtual void setParameter(std::string name, std::string value) = 0;
    virtual void setMode(int mode) = 0;
    // Destroys the family's process-wide factory. When called through that
    // factory itself, the object is gone when this returns.
    virtual void reset() = 0;
    // The getters insert a name that was never set with its default value
    // ("" or 0) and return that default; they never fail.
    virtual std::string getParameterString(std::string name) = 0;
    virtual uint32_t getParameterNum(std::string name) = 0;
    virtual int getMode() = 0;
};

}  // namespace factory

#endif  // TARNWICK_FACTORY_IFACTORY_H
