// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeText.h"

#include "QORMMergeOutput.h"

using namespace xercesc;

bool cMergeText::Version::Map() {
    if (read && !mapped) {
        mapped = true;
        source.Build(document->Document());
    }
    return read;
}

void cMergeText::Read(const cMergeDocument* base, const cMergeDocument& ours, const cMergeDocument& theirs) {
    Version* versions[3] = {&base_, &ours_, &theirs_};
    const cMergeDocument* documents[3] = {base, &ours, &theirs};
    for (int i = 0; i < 3; ++i) {
        std::string bytes;
        versions[i]->document = documents[i];
        versions[i]->read = documents[i] && documents[i]->ReadBytes(bytes);
        versions[i]->source.Take(std::move(bytes));
    }
    if (Untouched() != cMergeEngine::kBuilt) return;  // no merge: nothing to map
    ours_.Map();                                      // before the merge changes its document
    base_.Map();
    theirs_.Map();
}

cMergeEngine::Outcome cMergeText::Untouched() const {
    if (!base_.read || !ours_.read || !theirs_.read) return cMergeEngine::kBuilt;
    if (ours_.Bytes() == base_.Bytes()) return cMergeEngine::kTheirsUnchanged;
    if (theirs_.Bytes() == base_.Bytes()) return cMergeEngine::kOursUnchanged;
    return cMergeEngine::kBuilt;
}

std::string cMergeText::Make(cMergeEngine::Outcome outcome, const cMergeEngine& engine, const cMergeDocument& ours,
                             const cMergeDocument& theirs) {
    splicer_.reset();
    if (outcome == cMergeEngine::kOursUnchanged)
        return ours_.read ? ours_.Bytes() : cMergeOutput::Serialized(ours.Document());
    if (outcome == cMergeEngine::kTheirsUnchanged)
        return theirs_.read ? theirs_.Bytes() : cMergeOutput::Serialized(theirs.Document());
    if (theirs_.Map() && ours_.source.Accepts(theirs_.source) && engine.UsesOurs(&ours_.source)) {
        auto splicer = std::make_unique<cMergeSplicer>(ours_.source, theirs_.source, engine.Edits());
        std::string merged;
        if (splicer->Render(engine.Result().get(), merged)) {
            splicer_ = std::move(splicer);
            return merged;
        }
    }
    return cMergeOutput::Serialized(engine.Result().get());
}

std::string cMergeText::Marked(const std::string& merged, const cMergeEngine& engine,
                               const cMergeMarkers::Labels& labels) {
    if (!splicer_ && engine.Result() && engine.UsesOurs(&ours_.source) && merged == ours_.Bytes() && theirs_.Map()) {
        // Ours unchanged at every conflict: its bytes, mapped for the markers.
        std::string same;
        splicer_ = std::make_unique<cMergeSplicer>(ours_.source, theirs_.source, engine.Edits());
        if (!splicer_->Render(engine.Result().get(), same) || same != merged) splicer_.reset();
    }
    theirs_.Map();
    cMergeMarkers markers(merged, splicer_.get(), ours_.source, theirs_.source, base_.Map() ? &base_.source : nullptr);
    for (const cMergeConflict& conflict : engine.Log().Conflicts()) markers.Add(conflict);
    return markers.Write(labels);
}
