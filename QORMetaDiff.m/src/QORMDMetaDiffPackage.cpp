#include "QORMDMetaDiffPackage.h"

cMetaDiffPackage::~cMetaDiffPackage() = default;
