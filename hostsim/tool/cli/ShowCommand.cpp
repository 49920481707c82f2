// quorvane-host show: a document's artboards in their current numbering, without the module
// (hostsim/tool/run/RenumberJob.h's RunShowJob), or under a view in the order the module gives.
#include <iostream>
#include <string>
#include <vector>

#include "hostsim/tool/cli/Commands.h"
#include "hostsim/tool/documents/FileAccess.h"
#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/run/RenumberJob.h"

namespace hostsim::tool::cli {

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
    RenumberJobInput input = ReadJobInput(document, format);
    input.options.view = view;
    input.options.drawPicture = !picture.empty();
    std::vector<GridOrder> orders = {GridOrder::ByRow, GridOrder::ByColumn};
    if (!by.empty()) {
        orders = {ParseOrder(by)};
    }
    const RenumberJobResult result = RunShowJob(input, orders);
    ReportJob(result);
    std::cout << result.table;
    if (!picture.empty()) {
        ReplaceFile(picture, result.picture);
        std::cout << "picture: " << Printable(picture) << "\n";
    }
    return kSuccess;
}

}  // namespace hostsim::tool::cli
