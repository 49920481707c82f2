// What the module does to a document, for tests of the formats that carry its result.
#pragma once

#include <cstddef>
#include <vector>

#include "hostsim/model/ArtboardModel.h"
#include "hostsim/model/Document.h"

namespace hostsim::tool {

// Position k takes the properties that travel of artboard order[k]; what the host keeps at a
// position stays there.
inline Document Renumbered(const Document& document, const std::vector<std::size_t>& order) {
    Document result = document;
    for (std::size_t k = 0; k < order.size(); ++k) {
        ApplyAttributes(AttributesOf(document.artboards[order[k]]), result.artboards[k]);
    }
    return result;
}

}  // namespace hostsim::tool
