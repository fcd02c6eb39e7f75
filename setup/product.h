#pragma once
// The product this setup installs. The only place where the product is configured.
#include <cstdint>

namespace product {

constexpr const char* kProductId = "Tarvelon";
constexpr const char* kShortNameRu = "Тарвелон";
constexpr const char* kShortNameEn = "Tarvelon";
constexpr const char* kLongNameRu = "Рабочее место Тарвелон";
constexpr const char* kLongNameEn = "Tarvelon Workbench";
constexpr const char* kVersionText = "1.0.1";
// -1 keeps a number out of the uninstall entry.
constexpr std::int32_t kVersionMajor = -1;
constexpr std::int32_t kVersionMinor = -1;
constexpr bool kRewriteInstallValues = false;
constexpr const char* kPublisherNameRu = "ООО «Тарвелон Софт»";
constexpr const char* kPublisherNameEn = "Tarvelon Software Ltd.";
// No trailing slash: page names are appended with one "/".
constexpr const char* kWebsiteUrl = "https://www.tarvelon.example";

}  // namespace product
