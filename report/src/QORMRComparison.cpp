// SPDX-License-Identifier: Apache-2.0
#include "QORMRComparison.h"

#include "QORMDMetaDiffInput.h"
#include "QORMDMetaDiffMgr.h"
#include "QORMDMetaDomMgr.h"
#include "QORMDMetaPackage.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"

namespace {

bool Unnamed(const cQORMDMetaPackage* package) {
    ZULUnicodeString name;
    if (package) package->GetFieldValue(ZULUnicodeString("Name"), name);
    return name.IsEmpty();
}

}  // namespace

cReportComparison::cReportComparison(const ZULUnicodeString& oldFile, const ZULUnicodeString& newFile)
    : initStatus_(cMetaDiffInput::Init(oldFile, newFile, ZULUnicodeString(), 0)),
      oldFile_(oldFile.ConvertToChar()),
      newFile_(newFile.ConvertToChar()),
      document_(std::make_unique<cMetaDiffDoc>()) {}

cReportComparison::~cReportComparison() {
    document_.reset();
    cMetaDiffInput::Terminate();
}

std::int32_t cReportComparison::Run() {
    if (initStatus_ < 0) return initStatus_;
    const std::int32_t loaded = cMetaDomMgr().processDom(*document_);
    if (loaded < 0) return loaded;
    loaded_ = true;
    return cMetaDiffMgr().processDiff(*document_);
}

std::string cReportComparison::FailureLine(std::int32_t status) const {
    if (!loaded_ || !NeitherNamed(*document_))
        return cQORMUCallback::FormatError(ZULError::ZULGetLastError(status, nullptr));
    return "Error: " + UnnamedReason(oldFile_, newFile_) + ".";
}

bool cReportComparison::NeitherNamed(const cMetaDiffDoc& result) {
    return Unnamed(result.GetOldPackage()) && Unnamed(result.GetNewPackage());
}

std::string cReportComparison::UnnamedReason(const std::string& oldName, const std::string& newName) {
    const auto quoted = [](const std::string& file) { return "\"" + file + "\""; };
    const std::string which = oldName.empty()   ? quoted(newName) + " does not give"
                              : newName.empty() ? quoted(oldName) + " does not give"
                                                : "neither " + quoted(oldName) + " nor " + quoted(newName) + " gives";
    return "the package has no name: " + which +
           " its document element a Name field, and the report names the changes by their package";
}
