#include "QORMDMetaDiffClass.h"

cMetaDiffClass::~cMetaDiffClass() = default;
