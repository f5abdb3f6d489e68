#include "QORMDMetaObject.h"

cMetaObject::~cMetaObject() = default;
