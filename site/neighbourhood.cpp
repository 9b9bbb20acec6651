#include "site/neighbourhood.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

#include "site/html_text.h"
#include "site/site_files.h"

namespace ramulet {

namespace {

using Weighted = std::vector<std::pair<int32_t, int32_t>>;  // (module, call sites)

Weighted Heaviest(const std::map<int32_t, int32_t>& weights) {
  Weighted list(weights.begin(), weights.end());
  std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  if (list.size() > kMaxNeighbours) list.resize(kMaxNeighbours);
  return list;
}

constexpr int kWidth = 560, kBoxWidth = 170, kBoxHeight = 22, kGap = 6;

void AppendBox(const Configuration& configuration, int32_t module, int x, int y, bool self, std::string& out) {
  const std::string& name = configuration.modules[static_cast<size_t>(module)].name;
  out += "<a href=\"" + ModulePageName(module) + "\"><rect x=\"" + std::to_string(x) + "\" y=\"" + std::to_string(y) +
         "\" width=\"" + std::to_string(kBoxWidth) + "\" height=\"" + std::to_string(kBoxHeight) + "\"" +
         (self ? " class=\"self\"" : "") + "/><text x=\"" + std::to_string(x + 4) + "\" y=\"" +
         std::to_string(y + 15) + "\"><title>";
  AppendHtmlUtf8(name, out);
  out += "</title>";
  // Long names keep their end, which tells modules apart best.
  AppendHtmlUtf8(name.size() > 40 ? "…" + name.substr(name.size() - 38) : name, out);
  out += "</text></a>";
}

}  // namespace

void AppendNeighbourhoodSvg(const Configuration& configuration, int32_t module, std::string& out) {
  std::map<int32_t, int32_t> callees, callers;
  for (const Edge& edge : configuration.graph.EdgesFrom(module)) {
    if (edge.to_module >= 0 && edge.to_module != module) ++callees[edge.to_module];
  }
  const int32_t methods = configuration.modules[static_cast<size_t>(module)].analysis.MethodCount();
  for (int32_t method = 0; method < methods; ++method) {
    for (int32_t index : configuration.graph.EdgesTo(module, method)) {
      const Edge& edge = configuration.graph.edges[static_cast<size_t>(index)];
      if (edge.from.module >= 0 && edge.from.module != module) ++callers[edge.from.module];
    }
  }
  const Weighted right = Heaviest(callees), left = Heaviest(callers);
  const size_t rows = std::max<size_t>({right.size(), left.size(), 1});
  const int height = static_cast<int>(rows) * (kBoxHeight + kGap) + kGap;
  const int middle_y = height / 2 - kBoxHeight / 2;
  out += "<svg class=\"hood\" viewBox=\"0 0 " + std::to_string(kWidth) + " " + std::to_string(height) +
         "\" xmlns=\"http://www.w3.org/2000/svg\" role=\"img\">";
  auto side = [&](const Weighted& list, int x, int line_x) {
    for (size_t i = 0; i < list.size(); ++i) {
      const int y = kGap + static_cast<int>(i) * (kBoxHeight + kGap);
      out += "<line x1=\"" + std::to_string(line_x) + "\" y1=\"" + std::to_string(y + kBoxHeight / 2) + "\" x2=\"" +
             std::to_string(kWidth / 2) + "\" y2=\"" + std::to_string(middle_y + kBoxHeight / 2) + "\"/>";
      AppendBox(configuration, list[i].first, x, y, false, out);
    }
  };
  side(left, 0, kBoxWidth);
  side(right, kWidth - kBoxWidth, kWidth - kBoxWidth);
  AppendBox(configuration, module, kWidth / 2 - kBoxWidth / 2, middle_y, true, out);
  out += "</svg>";
}

}  // namespace ramulet
