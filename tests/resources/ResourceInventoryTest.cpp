// Everything in Quorvane.aip's resource section, and its manifest: the module carries the
// property list, the version resource and the manifest, each once, in US English, and nothing
// else; the manifest asks for the "asInvoker" level and nothing more.
#include <algorithm>
#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/resources/ShippedModule.h"

namespace quorvane::test {
namespace {

// A resource name or type as text: "#<number>" for integer ids, the name otherwise.
std::string ResourceId(LPCWSTR id) {
    if (IS_INTRESOURCE(id)) {
        return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(id));
    }
    return Narrow(id);
}

// The walk of a module's resources collects "<type>/<name>/<language>" of each into the
// vector passed as context.
BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR entries) {
    reinterpret_cast<std::vector<std::string>*>(entries)->push_back(
        ResourceId(type) + "/" + ResourceId(name) + "/" + std::to_string(language));
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR entries) {
    EnumResourceLanguagesW(module, type, name, OnLanguage, entries);
    return TRUE;
}

BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR entries) {
    EnumResourceNamesW(module, type, OnName, entries);
    return TRUE;
}

std::vector<std::string> Inventory(HMODULE module) {
    std::vector<std::string> entries;
    EnumResourceTypesW(module, OnType, reinterpret_cast<LONG_PTR>(&entries));
    std::sort(entries.begin(), entries.end());
    return entries;
}

using ResourceInventoryTest = ShippedModuleTest;

TEST_F(ResourceInventoryTest, ModuleCarriesPropertyListVersionAndManifestOnly) {
    const std::vector<std::string> expected = {
        "#16/#1/1033",  // version resource
        "#24/#2/1033",  // manifest
        "PIPL/#16000/1033",
    };
    EXPECT_EQ(Inventory(module_.handle()), expected);
}

class ManifestTest : public ShippedModuleTest {
  protected:
    void SetUp() override {
        ShippedModuleTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        const auto resource = module_.Resource(MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(2));
        ASSERT_TRUE(resource.has_value()) << "no manifest 2 in language 1033";
        manifest_.assign(reinterpret_cast<const char*>(resource->data()), resource->size());
    }

    std::string manifest_;
};

// Names of the elements the text opens, in order.
std::vector<std::string> ElementNames(const std::string& xml) {
    static const std::regex kOpeningTag(R"(<([A-Za-z][\w:.-]*))");
    std::vector<std::string> names;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), kOpeningTag);
         it != std::sregex_iterator(); ++it) {
        names.push_back((*it)[1]);
    }
    return names;
}

TEST_F(ManifestTest, IsAnXmlAssemblyManifest) {
    EXPECT_EQ(manifest_.rfind("<?xml ", 0), 0u) << manifest_;
    EXPECT_NE(manifest_.find(R"(<assembly xmlns="urn:schemas-microsoft-com:asm.v1")"),
              std::string::npos)
        << manifest_;
    EXPECT_NE(manifest_.find(R"(manifestVersion="1.0")"), std::string::npos) << manifest_;
    EXPECT_NE(manifest_.find("</assembly>"), std::string::npos) << manifest_;
}

TEST_F(ManifestTest, AsksForTheAsInvokerLevelAndNothingElse) {
    const std::vector<std::string> expected = {
        "assembly", "trustInfo", "security", "requestedPrivileges", "requestedExecutionLevel",
    };
    EXPECT_EQ(ElementNames(manifest_), expected) << manifest_;

    static const std::regex kLevel(
        R"re(<requestedExecutionLevel\s+level="asInvoker"\s+uiAccess="false"\s*/>)re");
    EXPECT_TRUE(std::regex_search(manifest_, kLevel)) << manifest_;
}

}  // namespace
}  // namespace quorvane::test
