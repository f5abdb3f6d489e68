#include "QORMDMetaDiffAttrib.h"

cMetaDiffAttrib::~cMetaDiffAttrib() = default;
