#include "about/SDKAboutPluginsHelper.h"

const char* const kAboutTitle = "About Quorvane";

// Display title, version, an empty line, the maker, the project's page, three empty lines.
const char* const kAboutBody =
    "Quorvane Artboard Grid Renumbering\n"
    "version 0.1\n"
    "\n"
    "The Quorvane developers\n"
    "https://quorvane.example.org/\n"
    "\n"
    "\n"
    "\n";
