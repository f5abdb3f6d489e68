// SPDX-License-Identifier: Apache-2.0
// Containers of the framework hold untyped pointers and never own them; the
// model's containers own theirs. These release every owned object (through
// its virtual destructor) and then empty the container.
#pragma once

#include "ZULBase/ZULHashDico.h"
#include "ZULBase/ZULRawCollPV.h"

template <class T>
void QORMDDeleteValues(ZULHashDico& dico) {
    ZULHashCodeIter it(dico);
    while (it++) delete static_cast<T*>(dico[it]);
    dico.RemoveAll();
}

template <class T>
void QORMDDeleteItems(ZULRawCollPV& list) {
    for (int i = 1; i <= list.Size(); ++i) delete static_cast<T*>(list[i]);
    list.RemoveAll(ZULCollec::kObjectsReleasedByCaller);
}
