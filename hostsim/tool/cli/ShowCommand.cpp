// quorvane-host show: a document's artboards in their current numbering, without the module.
#include <cmath>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "hostsim/loader/ModuleLoader.h"
#include "hostsim/tool/cli/Commands.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/report/Picture.h"
#include "hostsim/tool/report/Report.h"
#include "hostsim/tool/run/ModuleRun.h"

namespace hostsim::tool::cli {
namespace {

namespace fs = std::filesystem;

}  // namespace

int Show(const std::string& document, const std::string& by, const std::string& picture,
         const std::string& format, const ViewFlags& view, const std::string& module) {
    if (!view.IsExact()) {
        if (by.empty()) {
            throw Exit{kBadInput,
                       "--tolerance, --right-to-left and --bottom-up show an order: "
                       "give it with --by"};
        }
        RenumberOptions options;
        options.by = by;
        options.document = document;
        options.picture = picture;
        options.format = format;
        options.module = module;
        options.view = view;
        return ShowInView(options);
    }
    if (!picture.empty()) {
        CheckPicturePath(picture, {document});
    }
    const DocumentFile input = ReadDocumentFile(document, ParseFormat(format));
    std::vector<GridOrder> orders = {GridOrder::ByRow, GridOrder::ByColumn};
    if (!by.empty()) {
        orders = {ParseOrder(by)};
    }
    std::vector<ViewOptions> views;
    for (const auto order : orders) {
        views.push_back(view.For(order));
        WarnNearMisses(input.document, views.back());
    }
    std::cout << ShowTable(input.document);
    if (!picture.empty()) {
        PictureContent content;
        content.title = Utf8Name(Utf8Path(document).filename()) + ": " +
                        std::to_string(input.document.artboards.size()) + " artboards";
        content.nearMisses = NearMissPositions(input.document, views);
        ReplaceFile(picture, DrawPicture(input.document, content));
        std::cout << "picture: " << picture << "\n";
    }
    return kSuccess;
}

}  // namespace hostsim::tool::cli
