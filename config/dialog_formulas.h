#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/config_sources.h"

namespace ramulet {

// Adds a named caller of kind kDialog for every bare call in the formulas
// of an old-platform dialog (a form's Форма.frm, or the Dialog Stream of a
// .MD file, as decoded text): the quoted fields shaped `Имя(…)`, captions
// excluded, lexed as code. Caller and target are `form_module`; via is the
// formula; line and column are the called name's place in `dialog_text`.
void AddDialogCallers(std::u16string_view dialog_text, const std::string& form_module, const std::string& path,
                      std::vector<NamedCaller>& callers);

}  // namespace ramulet
