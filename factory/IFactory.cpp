// Anchors IFactory's type information in the library.
#include "factory/IFactory.h"

namespace factory {

IFactory::~IFactory() = default;

}  // namespace factory
