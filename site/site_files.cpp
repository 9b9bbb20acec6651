#include "site/site_files.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "site/html_text.h"

namespace ramulet {

std::string ModulePageName(int32_t module) { return "m" + std::to_string(module) + ".html"; }

std::string MethodHref(int32_t module, int32_t method, int32_t from_module) {
  const std::string anchor = "#M" + std::to_string(method);
  return module == from_module ? anchor : ModulePageName(module) + anchor;
}

std::string LineHref(int32_t module, int32_t line_index, int32_t from_module) {
  const std::string anchor = "#L" + std::to_string(static_cast<int64_t>(line_index) + 1);
  return module == from_module ? anchor : ModulePageName(module) + anchor;
}

std::string PageHead(std::string_view title_utf8, bool with_search_index) {
  std::string head =
      "<!DOCTYPE html>\n<html lang=\"ru\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; script-src 'self'; "
      "style-src 'self'; img-src 'self'\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
  AppendHtmlUtf8(title_utf8, head);
  head += "</title>\n<link rel=\"stylesheet\" href=\"";
  head += kStylesheetName;
  head += "\">\n";
  if (with_search_index) {
    head += "<script src=\"";
    head += kSearchIndexName;
    head += "\" defer></script>\n";
  }
  head += "<script src=\"";
  head += kScriptName;
  head += "\" defer></script>\n</head>\n";
  return head;
}

Status WriteFileWhole(const std::filesystem::path& path, std::string_view content) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return Status::Error(Status::kFail, "cannot write " + path.string() + ": " + std::strerror(errno));
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  file.close();
  if (!file) return Status::Error(Status::kFail, "cannot write " + path.string() + ": " + std::strerror(errno));
  return Status::Ok();
}

}  // namespace ramulet
