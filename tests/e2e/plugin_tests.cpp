#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/example_module.h"
#include "tests/e2e/ui_actions.h"

namespace e2e {

void TestDoneThenRefresh(Context& context, const std::wstring& module_text) {
  IConfigPlugin* plugin = context.host->container().plugin();
  if (!Check("the control offers IConfigPlugin", plugin != nullptr)) return;
  Check("Done succeeds", SUCCEEDED(plugin->lpVtbl->Done(plugin)));
  LONG made = context.host->configurator_class().Created();
  context.host->SetModuleText(module_text);
  PressButton(context.view.button);
  Check("after Done, a refresh makes a new configurator of the host's class",
        context.host->configurator_class().Created() == made + 1);
  const size_t methods = ExampleMethods().size();
  Check("after Done, the refresh reads the module",
        ComboCount(context.view.modul) == static_cast<int>(methods) &&
            TreeChildren(context.view.tree, TVI_ROOT).size() == methods);
}

}  // namespace e2e
