// The checks of the two commands on every sample document, once and twice.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "hostsim/abi/HostCodes.h"
#include "hostsim/abi/MessageNames.h"
#include "hostsim/loader/ModuleFixture.h"
#include "hostsim/tool/validate/MessageLists.h"
#include "hostsim/tool/validate/SampleDocuments.h"
#include "hostsim/tool/validate/ValidateChecks.h"

namespace hostsim::tool {

namespace {

void Renumber(CheckContext& context, bool byRow) {
    std::vector<NamedDocument> documents = SampleDocuments();
    documents.push_back({"3 stacked on each place", StackedGrid(3)});
    for (const NamedDocument& sample : documents) {
        ModuleFixture probe(ModuleFile{context.module}, sample.document);
        ExpectAnswer(probe.Startup(), 0, "start-up");
        const std::string label = byRow ? kByRowLabel : kByColumnLabel;
        ExpectAnswer(probe.Choose(label), 0, "\"" + label + "\" on \"" + sample.name + "\"");
        ExpectRenumbered(probe, sample.document, byRow,
                         "\"" + label + "\" on \"" + sample.name + "\"");
        ExpectAnswer(probe.Shutdown(), 0, "shut-down");
        ExpectCleanEnd(probe, "\"" + sample.name + "\", after shut-down");
    }
}

}  // namespace

void RenumberByRow(CheckContext& context) {
    Renumber(context, true);
}

void RenumberByColumn(CheckContext& context) {
    Renumber(context, false);
}

// A second run over a document already in grid order changes nothing, also with many artboards
// sharing a corner, where a sort that does not keep equal corners in place would move them.
void RenumberIsIdempotent(CheckContext& context) {
    std::vector<NamedDocument> documents = SampleDocuments();
    documents.push_back({"20 stacked on each place", StackedGrid(20)});
    for (const NamedDocument& sample : documents) {
        for (const bool byRow : {true, false}) {
            const std::string label = byRow ? kByRowLabel : kByColumnLabel;
            ModuleFixture probe(ModuleFile{context.module}, sample.document);
            ExpectAnswer(probe.Startup(), 0, "start-up");
            ExpectAnswer(probe.Choose(label), 0, "\"" + label + "\" on \"" + sample.name + "\"");
            const Document once = *probe.host.CurrentDocument();
            ExpectAnswer(probe.Choose(label), 0, "\"" + label + "\" again");
            Expect(*probe.host.CurrentDocument() == once,
                   "\"" + label + "\" on \"" + sample.name +
                       "\" changed the document again on a second run");
            ExpectAnswer(probe.Shutdown(), 0, "shut-down");
            ExpectCleanEnd(probe, "after shut-down");
        }
    }
}

}  // namespace hostsim::tool
