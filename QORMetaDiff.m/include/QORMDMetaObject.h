// SPDX-License-Identifier: Apache-2.0
// cMetaObject: root of every polymorphic object of the library (model
// elements and fields, diff categories, entries, field records). Owned
// objects are deleted through its virtual destructor.
#pragma once

class cMetaObject {
public:
    virtual ~cMetaObject();
};
