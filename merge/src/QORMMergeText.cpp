// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeText.h"

#include "QORMMergeOutput.h"

using namespace xercesc;

void cMergeText::Read(const cMergeDocument& ours) {
    std::string bytes;
    oursRead_ = ours.ReadBytes(bytes);
    if (oursRead_) ours_.Build(std::move(bytes), ours.Document());
}

std::string cMergeText::Make(cMergeEngine::Outcome outcome, const cMergeEngine& engine, const cMergeDocument& ours,
                             const cMergeDocument& theirs) {
    splicer_.reset();
    if (outcome == cMergeEngine::kOursUnchanged)
        return oursRead_ ? ours_.Bytes() : cMergeOutput::Serialized(ours.Document());
    std::string bytes;
    const bool theirsRead = theirs.ReadBytes(bytes);
    if (outcome == cMergeEngine::kTheirsUnchanged) return theirsRead ? bytes : cMergeOutput::Serialized(theirs.Document());
    if (theirsRead) theirs_.Build(std::move(bytes), theirs.Document());
    if (ours_.Accepts(theirs_)) {
        auto splicer = std::make_unique<cMergeSplicer>(ours_, theirs_, engine.Edits());
        std::string merged;
        if (splicer->Render(engine.Result().get(), merged)) {
            splicer_ = std::move(splicer);
            return merged;
        }
    }
    return cMergeOutput::Serialized(engine.Result().get());
}

std::string cMergeText::Marked(const std::string& merged, const cMergeEngine& engine, const cMergeDocument& theirs,
                               const cMergeDocument* base, const cMergeMarkers::Labels& labels) {
    std::string bytes;
    if (!splicer_ && engine.Result() && merged == ours_.Bytes() && ours_.Built() && theirs.ReadBytes(bytes)) {
        // Ours unchanged at every conflict: its bytes, mapped for the markers.
        theirs_.Build(std::move(bytes), theirs.Document());
        std::string same;
        splicer_ = std::make_unique<cMergeSplicer>(ours_, theirs_, engine.Edits());
        if (!splicer_->Render(engine.Result().get(), same) || same != merged) splicer_.reset();
    }
    const cMergeConflictLog& log = engine.Log();
    if (base && base->ReadBytes(bytes)) base_.Build(std::move(bytes), base->Document());
    cMergeMarkers markers(merged, splicer_.get(), ours_, theirs_, base ? &base_ : nullptr);
    for (const cMergeConflict& conflict : log.Conflicts()) markers.Add(conflict);
    return markers.Write(labels);
}
