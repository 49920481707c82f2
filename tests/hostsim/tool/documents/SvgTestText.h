// What the SVG document tests share: a root element with the editor's namespaces, a page of
// a given size, and the message a text is refused with.
#pragma once

#include <string>

#include "hostsim/tool/documents/InputError.h"
#include "hostsim/tool/documents/SvgDocument.h"

namespace hostsim::tool {

inline constexpr const char* kRoot =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" "
    "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" "
    "xmlns:sodipodi=\"http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd\">";

inline std::string Page(int size) {
    return "<inkscape:page x=\"" + std::to_string(size * 10) + "\" y=\"0\" width=\"" +
           std::to_string(size) + "\" height=\"" + std::to_string(size) + "\"/>";
}

// The message reading `text` is refused with, or "(read without error)".
inline std::string ReadError(const std::string& text) {
    try {
        ReadSvgDocument("doc.svg", text);
    } catch (const InputError& error) {
        return error.what();
    }
    return "(read without error)";
}

}  // namespace hostsim::tool
