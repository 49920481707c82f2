#include "hostsim/tool/run/OrderView.h"

#include <charconv>
#include <vector>

namespace hostsim::tool {
namespace {

constexpr std::string_view kLabelPrefix = "quorvane-view-";

// The proxy of `document` under `options`: labels for names, view bounds for bounds.
Document Proxy(const Document& document, const ViewOptions& options) {
    Document proxy = document;
    const std::vector<Rect> bounds = ViewBounds(document, options);
    for (std::size_t i = 0; i < proxy.artboards.size(); ++i) {
        proxy.artboards[i].name = ProxyLabel(i);
        proxy.artboards[i].bounds = bounds[i];
    }
    return proxy;
}

// The real document as the module left the proxy; fails when the labels are no permutation.
std::optional<Document> FromProxy(const Document& real, const Document& after) {
    if (after.artboards.size() != real.artboards.size()) {
        return std::nullopt;
    }
    Document result = after;
    result.name = real.name;
    std::vector<bool> seen(real.artboards.size(), false);
    for (std::size_t k = 0; k < after.artboards.size(); ++k) {
        const auto from = ProxyPosition(after.artboards[k].name, real.artboards.size());
        if (!from || seen[*from]) {
            return std::nullopt;
        }
        seen[*from] = true;
        result.artboards[k].name = real.artboards[*from].name;
        result.artboards[k].bounds = real.artboards[*from].bounds;
    }
    return result;
}

}  // namespace

std::string ProxyLabel(std::size_t position) {
    return std::string(kLabelPrefix) + std::to_string(position);
}

std::optional<std::size_t> ProxyPosition(const std::string& label, std::size_t count) {
    if (label.size() <= kLabelPrefix.size() ||
        label.compare(0, kLabelPrefix.size(), kLabelPrefix) != 0) {
        return std::nullopt;
    }
    const char* first = label.data() + kLabelPrefix.size();
    const char* last = label.data() + label.size();
    std::size_t position = 0;
    const auto [end, error] = std::from_chars(first, last, position);
    // One spelling per position: no leading zeros, nothing after the digits.
    if (error != std::errc() || end != last || position >= count ||
        (*first == '0' && last - first > 1)) {
        return std::nullopt;
    }
    return position;
}

ModuleRunResult RunModuleInView(const ModuleRunRequest& request, const ViewOptions& options) {
    if (options.IsExact() || !request.document) {
        return RunModule(request);
    }
    ModuleRunRequest proxyRequest = request;
    proxyRequest.document = Proxy(*request.document, options);
    ModuleRunResult result = RunModule(proxyRequest);
    if (!result.document) {
        return result;
    }
    auto real = FromProxy(*request.document, *result.document);
    if (!real) {
        if (result.failure.empty()) {
            result.failure =
                "the module's result on the view is not a renumbering of its artboards";
        }
        return result;
    }
    result.document = std::move(real);
    return result;
}

}  // namespace hostsim::tool
