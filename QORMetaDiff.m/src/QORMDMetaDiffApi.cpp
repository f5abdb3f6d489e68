#include "QORMDMetaDiffApi.h"

#include <memory>

#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffInput.h"
#include "QORMDMetaDiffMgr.h"
#include "QORMDMetaDiffSerializer.h"
#include "QORMDMetaDomMgr.h"
#include "QORMDStatus.h"

namespace {
const char kModule[] = "QORMetaDiff.m\\src\\QORMDMetaDiffApi";
}  // namespace

std::int32_t cQORMDApi::Initialize(int argc, const char* const argv[]) {
    const std::int32_t status = cMetaDiffInput::Init(argc, argv);
    if (status < 0) return QORMDPropagate("! Failed cMetaDiffInput::Init", status, kModule, __LINE__);
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cQORMDApi::Terminate() {
    const std::int32_t status = cMetaDiffInput::Terminate();
    if (status < 0) return QORMDPropagate("! Failed cMetaDiffInput::Terminate", status, kModule, __LINE__);
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cQORMDApi::ProcessMetaDiff() {
    // Each stage is created only when the run reaches it, and all are
    // destroyed in reverse order of creation when this call returns.
    cMetaDiffDoc document;
    auto loader = std::make_unique<cMetaDomMgr>();
    std::int32_t status = loader->processDom(document);
    if (status < 0) return QORMDPropagate("! Failed cMetaDomMgr::ProcessDom", status, kModule, __LINE__);

    auto comparer = std::make_unique<cMetaDiffMgr>();
    status = comparer->processDiff(document);
    if (status < 0) return QORMDPropagate("! Failed cMetaDiffMgr::ProcessDiff", status, kModule, __LINE__);

    auto writer = std::make_unique<cMetaDiffSerializer>();
    status = writer->Serialize(&document);
    if (status < 0) return QORMDPropagate("! Failed cMetaDiffSerializer::Serialize", status, kModule, __LINE__);
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cQORMDApi::Process(const ZULUnicodeString& oldMetaName, const ZULUnicodeString& newMetaName,
                                const ZULUnicodeString& diffFileName, unsigned char writeEmptyDiff) {
    std::int32_t status = cMetaDiffInput::Init(oldMetaName, newMetaName, diffFileName, writeEmptyDiff);
    if (status < 0) return QORMDPropagate("! Failed cMetaDiffInput::Init", status, kModule, __LINE__);
    status = ProcessMetaDiff();
    if (status < 0) return QORMDPropagate("! Failed ProcessMetaDiff", status, kModule, __LINE__);
    status = Terminate();
    if (status < 0) return QORMDPropagate("! Failed Terminate", status, kModule, __LINE__);
    return QORMDSucceed(kModule, __LINE__);
}
