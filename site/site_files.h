#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/status.h"

namespace ramulet {

// The file names of the site, so that every page links the same way.
std::string ModulePageName(int32_t module);
// "m3.html#M5", or "#M5" from the module's own page.
std::string MethodHref(int32_t module, int32_t method, int32_t from_module);
// "m3.html#L12" (a line counted from 1 as shown), or "#L12" on the page.
std::string LineHref(int32_t module, int32_t line_index, int32_t from_module);

inline constexpr std::string_view kStylesheetName = "ramulet.css";
inline constexpr std::string_view kScriptName = "ramulet.js";
inline constexpr std::string_view kSearchIndexName = "ramulet-search.js";

// The head every page shares: charset, title, the policy that allows only
// the site's own files, the stylesheet and the scripts.
std::string PageHead(std::string_view title_utf8, bool with_search_index);

// Writes `content` to `path` whole, replacing the file.
Status WriteFileWhole(const std::filesystem::path& path, std::string_view content);

}  // namespace ramulet
