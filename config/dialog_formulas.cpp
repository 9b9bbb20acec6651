#include "config/dialog_formulas.h"

namespace ramulet {

void AddDialogCallers(std::u16string_view /*dialog_text*/, const std::string& /*form_module*/,
                      const std::string& /*path*/, std::vector<NamedCaller>& /*callers*/) {}

}  // namespace ramulet
