// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffApi.h"

#include <memory>

#include "QORMDContainment.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffInput.h"
#include "QORMDMetaDiffMgr.h"
#include "QORMDMetaDiffSerializer.h"
#include "QORMDMetaDomMgr.h"
#include "QORMDStatus.h"

namespace {
const char kModule[] = "QORMetaDiff.m\\src\\QORMDMetaDiffApi";
}  // namespace

// Every operation runs contained (QORMDContainment.h): whatever is thrown
// below becomes its failure status, so the host goes on.

std::int32_t cQORMDApi::Initialize(int argc, const char* const argv[]) {
    static const char* const doing = "reading the command line";
    return QORMDContained(doing, kModule, __LINE__, [&] {
        const std::int32_t status = cMetaDiffInput::Init(argc, argv);
        if (status < 0) return QORMDPropagate("! Failed cMetaDiffInput::Init", status, kModule, __LINE__);
        return QORMDSucceed(kModule, __LINE__);
    });
}

std::int32_t cQORMDApi::Terminate() {
    static const char* const doing = "releasing the run inputs";
    return QORMDContained(doing, kModule, __LINE__, [] {
        const std::int32_t status = cMetaDiffInput::Terminate();
        if (status < 0) return QORMDPropagate("! Failed cMetaDiffInput::Terminate", status, kModule, __LINE__);
        return QORMDSucceed(kModule, __LINE__);
    });
}

std::int32_t cQORMDApi::ProcessMetaDiff() {
    const char* doing = "loading the metadata documents";  // names the stage for a failure thrown from it
    return QORMDContained(doing, kModule, __LINE__, [&] {
        // Each stage is created only when the run reaches it, and all are
        // destroyed in reverse order of creation when this call returns.
        cMetaDiffDoc document;
        auto loader = std::make_unique<cMetaDomMgr>();
        std::int32_t status = loader->processDom(document);
        if (status < 0) return QORMDPropagate("! Failed cMetaDomMgr::ProcessDom", status, kModule, __LINE__);

        doing = "comparing the documents";
        auto comparer = std::make_unique<cMetaDiffMgr>();
        status = comparer->processDiff(document);
        if (status < 0) return QORMDPropagate("! Failed cMetaDiffMgr::ProcessDiff", status, kModule, __LINE__);

        doing = "writing the diff document";
        auto writer = std::make_unique<cMetaDiffSerializer>();
        status = writer->Serialize(&document);
        if (status < 0) return QORMDPropagate("! Failed cMetaDiffSerializer::Serialize", status, kModule, __LINE__);
        return QORMDSucceed(kModule, __LINE__);
    });
}

std::int32_t cQORMDApi::Process(const ZULUnicodeString& oldMetaName, const ZULUnicodeString& newMetaName,
                                const ZULUnicodeString& diffFileName, unsigned char writeEmptyDiff) {
    static const char* const doing = "taking the run inputs";
    return QORMDContained(doing, kModule, __LINE__, [&] {
        std::int32_t status = cMetaDiffInput::Init(oldMetaName, newMetaName, diffFileName, writeEmptyDiff);
        if (status < 0) return QORMDPropagate("! Failed cMetaDiffInput::Init", status, kModule, __LINE__);
        status = ProcessMetaDiff();
        if (status < 0) return QORMDPropagate("! Failed ProcessMetaDiff", status, kModule, __LINE__);
        status = Terminate();
        if (status < 0) return QORMDPropagate("! Failed Terminate", status, kModule, __LINE__);
        return QORMDSucceed(kModule, __LINE__);
    });
}
