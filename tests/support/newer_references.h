#pragma once

#include "tests/support/generated_code.h"
#include "tests/support/newer_plan.h"

namespace ramulet::generated {

// The call mix of the designer dump, per thousand referencing statements:
// about as many calls within the module as into common modules, then
// modules bound by name, manager modules, global exports, handlers named in
// strings, dynamic code and a few references that resolve to nothing.
enum class Reference : uint8_t;

class NewerReferences : public ReferenceWriter {
 public:
  NewerReferences(const NewerPlan& plan, Random& random) : plan_(plan), random_(random) {}

  // The module whose methods are being written.
  void SetModule(int32_t module) { module_ = module; }

  int32_t ReferenceRate() const override;
  int32_t Write(const MethodPlan& method, ModuleText& text, int depth, int32_t room) override;

 private:
  const NewerModule& Module(int32_t index) const { return plan_.modules[static_cast<size_t>(index)]; }
  const MethodPlan& MethodOf(int32_t module, int32_t method) const {
    return Module(module).methods[static_cast<size_t>(method)];
  }
  int32_t WriteKind(Reference reference, const MethodPlan& method, ModuleText& text, int depth, int32_t room);
  std::string Arguments(const MethodPlan& caller, const MethodPlan& callee);
  std::string CallOf(const MethodPlan& caller, const std::string& receiver, const MethodPlan& callee);
  // A common module other than the current one, with exports; -1 when none.
  int32_t OtherCommon();
  int32_t PickExport(int32_t module);
  // A method of the current module other than `caller`; -1 when none.
  int32_t OwnMethod(const MethodPlan& caller);

  int32_t InModule(const MethodPlan& method, ModuleText& text, int depth);
  int32_t Common(const MethodPlan& method, ModuleText& text, int depth);
  int32_t Bound(const MethodPlan& method, ModuleText& text, int depth, int32_t room);
  int32_t Manager(const MethodPlan& method, ModuleText& text, int depth);
  int32_t Global(const MethodPlan& method, ModuleText& text, int depth);
  int32_t Notification(const MethodPlan& method, ModuleText& text, int depth);
  int32_t IdleHandler(const MethodPlan& method, ModuleText& text, int depth);
  int32_t NameInString(ModuleText& text, int depth);
  int32_t Dynamic(ModuleText& text, int depth);
  int32_t NotExported(const MethodPlan& method, ModuleText& text, int depth);
  int32_t AbsentModule(ModuleText& text, int depth, int32_t room);
  int32_t UnknownMember(const MethodPlan& method, ModuleText& text, int depth);

  const NewerPlan& plan_;
  Random& random_;
  int32_t module_ = 0;
  int32_t absent_ = 0;
  int64_t references_ = 0;
  size_t rare_written_ = 0;
};

}  // namespace ramulet::generated
