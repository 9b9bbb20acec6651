#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/config_sources.h"

namespace ramulet {

// Callers named by metadata, read from the text of their description
// (UTF-8 XML). `path` is the description's path relative to the root; each
// caller's line and column are those of the handler's method name in it.

// A scheduled job's or an event subscription's handler: the text
// "CommonModule.N.P" of the first element named `element` ("MethodName" or
// "Handler" in the designer's dump, "methodName" or "handler" in the
// project format) becomes a caller `caller` ("ScheduledJob.J") via `via`
// ("ScheduledJob") of method P in the module "CommonModule.N" (everything
// before the last "."). An empty element names no handler.
void AddHandlerCaller(std::string_view xml, std::string_view element, const std::string& caller, const std::string& via,
                      const std::string& path, std::vector<NamedCaller>& callers);

// A form's events and commands, the form being the module `form_module`:
// from the designer's Form.xml, every <Event name="E">P</Event> (the form's
// and its items' events, via E) and every <Action>P</Action> (via the name
// attribute of the <Command> holding it); from the project format's
// Form.form, every <handlers> element with <event>E</event> and
// <name>P</name> (in either order), and every <formCommands> element whose
// first direct <name> is the command's and whose <action> holds the
// handler's <name> (at any depth). Both readings accept the other's
// elements, so a description of either kind reads the same.
void AddFormCallers(std::string_view xml, const std::string& form_module, const std::string& path,
                    std::vector<NamedCaller>& callers);

}  // namespace ramulet
