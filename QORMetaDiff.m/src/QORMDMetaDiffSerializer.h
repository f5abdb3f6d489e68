// SPDX-License-Identifier: Apache-2.0
// cMetaDiffSerializer: turns the diff result into the diff document (root
// "Diff" with "New", "Old", "PackageName", then the sections "Added",
// "Deleted", "Modified" that have entries) and writes it to the diff file.
// An empty diff writes no file unless the run asks for it.
#pragma once

#include <cstdint>

#include "QORMetaUtil/QORMUDomHandle.h"

class cMetaDiffDoc;
class cMetaDiffBase;

class cMetaDiffSerializer {
public:
    cMetaDiffSerializer();
    ~cMetaDiffSerializer();

    std::int32_t Serialize(cMetaDiffDoc* diffDoc);
    std::int32_t CreateDocument(cMetaDiffDoc* diffDoc);
    std::int32_t AddNodes(cMetaDiffBase* category, DOM_Element& root);

private:
    DOM_Document document;  // the diff document; null until CreateDocument builds it
};
