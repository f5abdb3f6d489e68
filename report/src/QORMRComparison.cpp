#include "QORMRComparison.h"

#include "QORMDMetaDiffInput.h"
#include "QORMDMetaDiffMgr.h"
#include "QORMDMetaDomMgr.h"

cReportComparison::cReportComparison(const ZULUnicodeString& oldFile, const ZULUnicodeString& newFile)
    : initStatus_(cMetaDiffInput::Init(oldFile, newFile, ZULUnicodeString(), 0)),
      document_(std::make_unique<cMetaDiffDoc>()) {}

cReportComparison::~cReportComparison() {
    document_.reset();
    cMetaDiffInput::Terminate();
}

std::int32_t cReportComparison::Run() {
    if (initStatus_ < 0) return initStatus_;
    const std::int32_t loaded = cMetaDomMgr().processDom(*document_);
    if (loaded < 0) return loaded;
    return cMetaDiffMgr().processDiff(*document_);
}
