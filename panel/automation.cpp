#include "panel/ramulet.h"
#include "panel/plugin_operations.h"

namespace ramulet {

namespace {

Status NotAHostTextDocument() {
  return Status::Error(Status::kTypeMismatch, "curTextDoc takes only the host's text document or nothing");
}

}  // namespace

Status Ramulet::IConfigPlugin_Init(const Variant& pConfigurator, std::u16string& title) {
  return PluginInit(pConfigurator, title);
}

void Ramulet::IConfigPlugin_Done() { PluginDone(); }

Variant Ramulet::IConfigPlugin_GetPluginCaps(int32_t capNum) const { return PluginCaps(capNum); }

Variant Ramulet::IConfigPlugin_DoAction(int32_t Action, const Variant& Param) const {
  return PluginAction(Action, Param);
}

Status Ramulet::GetProperty(RamuletProperty property, Variant& value) const {
  switch (property) {
    case RamuletProperty::curTextDoc:
      value = Variant::Object(tables_.curTextDoc);
      return Status::Ok();
    case RamuletProperty::Method: value = tables_.Method; break;
    case RamuletProperty::MethodNach: value = tables_.MethodNach; break;
    case RamuletProperty::MethodKon: value = tables_.MethodKon; break;
    case RamuletProperty::Meth: value = tables_.Meth; break;
    case RamuletProperty::A: value = tables_.A; break;
    case RamuletProperty::b: value = tables_.b; break;
    case RamuletProperty::c: value = tables_.c; break;
    case RamuletProperty::d: value = tables_.d; break;
    case RamuletProperty::q: value = tables_.q; break;
    case RamuletProperty::doc: value = tables_.doc; break;
    case RamuletProperty::CommonScripts: value = tables_.CommonScripts; break;
    default:
      return Status::Error(Status::kInvalidArgument, "no such property");
  }
  return Status::Ok();
}

Status Ramulet::PutProperty(RamuletProperty property, const Variant& value) {
  Variant* slot = nullptr;
  switch (property) {
    case RamuletProperty::curTextDoc: {
      bool nothing = value.IsEmpty() || (value.type() == Variant::Type::Object && !value.AsObject());
      auto document = value.AsObjectOf<HostTextDocument>();
      if (!nothing && !document) return NotAHostTextDocument();
      tables_.curTextDoc = std::move(document);
      return Status::Ok();
    }
    case RamuletProperty::Method: slot = &tables_.Method; break;
    case RamuletProperty::MethodNach: slot = &tables_.MethodNach; break;
    case RamuletProperty::MethodKon: slot = &tables_.MethodKon; break;
    case RamuletProperty::Meth: slot = &tables_.Meth; break;
    case RamuletProperty::A: slot = &tables_.A; break;
    case RamuletProperty::b: slot = &tables_.b; break;
    case RamuletProperty::c: slot = &tables_.c; break;
    case RamuletProperty::d: slot = &tables_.d; break;
    case RamuletProperty::q: slot = &tables_.q; break;
    case RamuletProperty::doc: slot = &tables_.doc; break;
    case RamuletProperty::CommonScripts: slot = &tables_.CommonScripts; break;
    default:
      return Status::Error(Status::kInvalidArgument, "no such property");
  }
  *slot = value;
  return Status::Ok();
}

Status Ramulet::NomMet(const Variant& Naim, Variant& result) const {
  int32_t index = tables_.NomMet(Naim);
  result = index < 0 ? Variant::Int16(-1) : Variant::Int32(index);
  return Status::Ok();
}

Status Ramulet::RodEst(const Variant& Node, const Variant& met, const Variant& viv, Variant& result) {
  return ramulet::RodEst(Node, met, viv, boxes_, result);
}

}  // namespace ramulet
