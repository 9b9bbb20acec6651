#include "tests/support/panel_fixture.h"

#include "platform/text.h"
#include "tests/support/test_module.h"

namespace ramulet {

namespace {

std::vector<std::string> Utf8(const std::vector<std::u16string>& items) {
  std::vector<std::string> out;
  for (const std::u16string& item : items) out.push_back(Utf16ToUtf8(item));
  return out;
}

std::string Number(const Variant& value) {
  std::optional<int32_t> n = value.ToInt32();
  return n ? std::to_string(*n) : "?";
}

}  // namespace

PanelFixture::PanelFixture(std::string_view utf8_module)
    : module(MakeModule(utf8_module, log)), host(MakeMemoryHost(module)) {
  std::u16string title;
  panel.IConfigPlugin_Init(Variant::Object(host), title);
}

std::vector<std::string> PanelFixture::Calls() const { return Utf8(controls.ListBox1.items()); }
std::vector<std::string> PanelFixture::Callers() const { return Utf8(controls.ListBox2.items()); }
std::vector<std::string> PanelFixture::Methods() const { return Utf8(controls.Modul.items()); }

std::string PanelFixture::Chosen() const {
  return Utf16ToUtf8(controls.Modul.Item(controls.Modul.ListIndex()));
}

std::string PanelFixture::LastSelection() const {
  if (module->selections().empty()) return "";
  const Selection& s = module->selections().back();
  return std::to_string(s.startLine) + " " + std::to_string(s.startColumn) + " " + Number(s.endLine) + " " +
         Number(s.endColumn);
}

int32_t PanelFixture::NodeAt(const std::vector<std::u16string>& path) const {
  const NodeStore& nodes = panel.tree()->nodes;
  int32_t node = nodes.Find(path.front());
  for (size_t i = 1; i < path.size() && node != NodeStore::kNoNode; ++i) {
    int32_t child = nodes.FirstChild(node);
    while (child != NodeStore::kNoNode && nodes.Text(child) != path[i]) child = nodes.NextSibling(child);
    node = child;
  }
  return node;
}

}  // namespace ramulet
