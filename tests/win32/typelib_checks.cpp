// The type libraries as a client sees them once they are registered.
#include <string>
#include <vector>

#include "plugin/com/com_ptr.h"
#include "tests/win32/expect_hresult.h"
#include "tests/win32/server_checks.h"

namespace {

using ramulet::win32::ComPtr;

constexpr UINT kPointer = sizeof(void*);

struct Member {
  const wchar_t* name;
  MEMBERID id;
  INVOKEKIND kind;
};

// _Ramulet's members in vtable order.
std::vector<Member> ExpectedMembers() {
  std::vector<Member> members = {{L"curTextDoc", 0x40030000, INVOKE_PROPERTYGET},
                                 {L"curTextDoc", 0x40030000, INVOKE_PROPERTYPUTREF}};
  const wchar_t* stored[] = {L"Method", L"MethodNach", L"MethodKon", L"Meth", L"A", L"b",
                             L"c",      L"d",          L"q",         L"doc",  L"CommonScripts"};
  MEMBERID id = 0x40030001;
  for (const wchar_t* name : stored) {
    members.push_back({name, id, INVOKE_PROPERTYGET});
    members.push_back({name, id, INVOKE_PROPERTYPUT});
    members.push_back({name, id, INVOKE_PROPERTYPUTREF});
    ++id;
  }
  members.push_back({L"NomMet", 0x6003000B, INVOKE_FUNC});
  members.push_back({L"RodEst", 0x6003000C, INVOKE_FUNC});
  members.push_back({L"TestMacros", 0x60030016, INVOKE_FUNC});
  return members;
}

std::wstring NameOf(ITypeInfo* info, MEMBERID id) {
  BSTR name = nullptr;
  if (FAILED(info->lpVtbl->GetDocumentation(info, id, &name, nullptr, nullptr, nullptr))) return std::wstring();
  std::wstring text = name ? name : L"";
  SysFreeString(name);
  return text;
}

// Type attributes, released at the end of the scope.
struct Attributes {
  explicit Attributes(ITypeInfo* info) : info(info) {
    if (info) info->lpVtbl->GetTypeAttr(info, &attr);
  }
  ~Attributes() {
    if (attr) info->lpVtbl->ReleaseTypeAttr(info, attr);
  }
  ITypeInfo* info;
  TYPEATTR* attr = nullptr;
};

ComPtr<ITypeInfo> ImplementedType(ITypeInfo* coclass, UINT index, INT& flags) {
  ComPtr<ITypeInfo> implemented;
  HREFTYPE ref = 0;
  flags = -1;
  if (SUCCEEDED(coclass->lpVtbl->GetRefTypeOfImplType(coclass, index, &ref))) {
    coclass->lpVtbl->GetRefTypeInfo(coclass, ref, implemented.Out());
    coclass->lpVtbl->GetImplTypeFlags(coclass, index, &flags);
  }
  return implemented;
}

bool IsType(ITypeInfo* info, REFGUID guid) {
  Attributes attributes(info);
  return attributes.attr && IsEqualGUID(attributes.attr->guid, guid);
}

// The vtable offset of the member called `name`.
int VtableOffsetOf(ITypeInfo* info, const wchar_t* name) {
  Attributes attributes(info);
  for (UINT i = 0; attributes.attr && i < attributes.attr->cFuncs; ++i) {
    FUNCDESC* func = nullptr;
    if (FAILED(info->lpVtbl->GetFuncDesc(info, i, &func))) continue;
    int offset = NameOf(info, func->memid) == name ? func->oVft : -1;
    info->lpVtbl->ReleaseFuncDesc(info, func);
    if (offset >= 0) return offset;
  }
  return -1;
}

void CheckLibrary(ITypeLib* korvex) {
  TLIBATTR* attr = nullptr;
  EXPECT_TRUE(SUCCEEDED(korvex->lpVtbl->GetLibAttr(korvex, &attr)));
  if (!attr) return;
  EXPECT_TRUE(attr->lcid == 0 && attr->wMajorVerNum == 1 && attr->wMinorVerNum == 0);
  EXPECT_TRUE(attr->wLibFlags & LIBFLAG_FCONTROL);
  EXPECT_TRUE(attr->syskind == (kPointer == 8 ? SYS_WIN64 : SYS_WIN32));
  korvex->lpVtbl->ReleaseTLibAttr(korvex, attr);
  BSTR name = nullptr, help = nullptr;
  korvex->lpVtbl->GetDocumentation(korvex, -1, &name, &help, nullptr, nullptr);
  EXPECT_TRUE(name && lstrcmpW(name, L"Korvex") == 0);
  EXPECT_TRUE(help && lstrcmpW(help, L"Korvex") == 0);
  SysFreeString(name);
  SysFreeString(help);
}

void CheckCoclass(ITypeLib* korvex) {
  ComPtr<ITypeInfo> coclass;
  EXPECT_TRUE(SUCCEEDED(korvex->lpVtbl->GetTypeInfoOfGuid(korvex, CLSID_Ramulet, coclass.Out())));
  Attributes attributes(coclass.get());
  if (!attributes.attr) return;
  EXPECT_TRUE(attributes.attr->typekind == TKIND_COCLASS);
  EXPECT_TRUE(attributes.attr->wTypeFlags == TYPEFLAG_FCONTROL);
  EXPECT_TRUE(attributes.attr->cImplTypes == 3);
  INT flags = -1;
  EXPECT_TRUE(IsType(ImplementedType(coclass.get(), 0, flags).get(), IID__Ramulet) && flags == IMPLTYPEFLAG_FDEFAULT);
  EXPECT_TRUE(IsType(ImplementedType(coclass.get(), 1, flags).get(), IID_IConfigPlugin) && flags == 0);
  EXPECT_TRUE(IsType(ImplementedType(coclass.get(), 2, flags).get(), DIID___Ramulet) &&
              flags == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE));
}

void CheckCurTextDocType(ITypeInfo* vtable_part, FUNCDESC* get) {
  const TYPEDESC& param = get->lprgelemdescParam[0].tdesc;
  bool shape = param.vt == VT_PTR && param.lptdesc->vt == VT_PTR && param.lptdesc->lptdesc->vt == VT_USERDEFINED;
  EXPECT_TRUE(shape);
  if (!shape) return;
  ComPtr<ITypeInfo> document;
  EXPECT_TRUE(
      SUCCEEDED(vtable_part->lpVtbl->GetRefTypeInfo(vtable_part, param.lptdesc->lptdesc->hreftype, document.Out())));
  EXPECT_TRUE(IsType(document.get(), IID_IHostTextDocument));
  // ... taken from the host's library, not copied into ours.
  ComPtr<ITypeLib> container;
  UINT index = 0;
  if (document && SUCCEEDED(document.get()->lpVtbl->GetContainingTypeLib(document.get(), container.Out(), &index))) {
    TLIBATTR* attr = nullptr;
    container.get()->lpVtbl->GetLibAttr(container.get(), &attr);
    EXPECT_TRUE(attr && IsEqualGUID(attr->guid, LIBID_OpenConf) && attr->wMajorVerNum == 1 && attr->wMinorVerNum == 3);
    if (attr) container.get()->lpVtbl->ReleaseTLibAttr(container.get(), attr);
  }
}

void CheckByReferenceParameters(FUNCDESC* func, SHORT count) {
  EXPECT_TRUE(func->cParams == count + 1);
  for (SHORT i = 0; i < func->cParams; ++i) {
    const ELEMDESC& param = func->lprgelemdescParam[i];
    bool variant_pointer = param.tdesc.vt == VT_PTR && param.tdesc.lptdesc->vt == VT_VARIANT;
    USHORT direction = param.paramdesc.wParamFlags & (PARAMFLAG_FIN | PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
    USHORT expected = i < count ? (PARAMFLAG_FIN | PARAMFLAG_FOUT) : (PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
    EXPECT_TRUE(variant_pointer && direction == expected);
  }
}

void CheckAutomationInterface(ITypeLib* korvex) {
  ComPtr<ITypeInfo> dispatch_part;
  EXPECT_TRUE(SUCCEEDED(korvex->lpVtbl->GetTypeInfoOfGuid(korvex, IID__Ramulet, dispatch_part.Out())));
  if (!dispatch_part) return;
  {
    Attributes attributes(dispatch_part.get());
    const WORD wanted = TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE;
    EXPECT_EQ(wanted, attributes.attr ? attributes.attr->wTypeFlags & wanted : 0);
  }
  // The vtable part of the dual interface.
  HREFTYPE ref = 0;
  ComPtr<ITypeInfo> info;
  dispatch_part.get()->lpVtbl->GetRefTypeOfImplType(dispatch_part.get(), -1, &ref);
  EXPECT_TRUE(SUCCEEDED(dispatch_part.get()->lpVtbl->GetRefTypeInfo(dispatch_part.get(), ref, info.Out())));
  if (!info) return;
  Attributes attributes(info.get());
  const WORD vtable_flags = TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION;
  EXPECT_EQ(vtable_flags, attributes.attr ? attributes.attr->wTypeFlags & vtable_flags : 0);
  std::vector<Member> expected = ExpectedMembers();
  EXPECT_TRUE(attributes.attr && attributes.attr->typekind == TKIND_INTERFACE &&
              attributes.attr->cFuncs == expected.size());
  if (!attributes.attr || attributes.attr->cFuncs != expected.size()) return;
  bool members_in_order = true;
  for (UINT i = 0; i < expected.size(); ++i) {
    FUNCDESC* func = nullptr;
    if (FAILED(info.get()->lpVtbl->GetFuncDesc(info.get(), i, &func))) {
      members_in_order = false;
      continue;
    }
    bool same = func->memid == expected[i].id && func->invkind == expected[i].kind &&
                NameOf(info.get(), func->memid) == expected[i].name && func->oVft == static_cast<SHORT>((7 + i) * kPointer);
    if (!same) {
      members_in_order = false;
      ADD_FAILURE() << "member in order at " << i;
    }
    if (i == 0) CheckCurTextDocType(info.get(), func);
    if (expected[i].id == 0x6003000B) CheckByReferenceParameters(func, 1);
    if (expected[i].id == 0x6003000C) CheckByReferenceParameters(func, 3);
    if (expected[i].id == 0x60030016) {
      EXPECT_TRUE(func->cParams == 0);
    }
    info.get()->lpVtbl->ReleaseFuncDesc(info.get(), func);
  }
  EXPECT_TRUE(members_in_order);
}

void CheckEventInterface(ITypeLib* korvex) {
  ComPtr<ITypeInfo> events;
  EXPECT_TRUE(SUCCEEDED(korvex->lpVtbl->GetTypeInfoOfGuid(korvex, DIID___Ramulet, events.Out())));
  Attributes attributes(events.get());
  EXPECT_TRUE(attributes.attr && attributes.attr->typekind == TKIND_DISPATCH);
  EXPECT_TRUE(attributes.attr && (attributes.attr->wTypeFlags & TYPEFLAG_FHIDDEN));
  EXPECT_TRUE(attributes.attr && attributes.attr->cFuncs == 0 && attributes.attr->cVars == 0);
}

// Our description of the host's library: the slots the panel calls.
void CheckHostLibrary() {
  ComPtr<ITypeLib> host;
  EXPECT_TRUE(SUCCEEDED(LoadRegTypeLib(LIBID_OpenConf, 1, 3, 0, host.Out())));
  if (!host) return;
  struct Slot {
    const IID* iid;
    const wchar_t* name;
    UINT slot;
  };
  const Slot slots[] = {
      {&IID_IConfigPlugin, L"Init", 3},         {&IID_IConfigPlugin, L"DoAction", 6},
      {&IID_IHostConfigurator, L"Windows", 21}, {&IID_IHostWindowSet, L"ActiveWindow", 8},
      {&IID_IHostWindow, L"Document", 10},      {&IID_IHostTextDocument, L"LineEnd", 20},
      {&IID_IHostTextDocument, L"Select", 32},
  };
  for (const Slot& slot : slots) {
    ComPtr<ITypeInfo> info;
    host.get()->lpVtbl->GetTypeInfoOfGuid(host.get(), *slot.iid, info.Out());
    // Dual interfaces: look at their vtable part.
    HREFTYPE ref = 0;
    ComPtr<ITypeInfo> vtable_part;
    if (info && SUCCEEDED(info.get()->lpVtbl->GetRefTypeOfImplType(info.get(), -1, &ref))) {
      info.get()->lpVtbl->GetRefTypeInfo(info.get(), ref, vtable_part.Out());
    }
    ITypeInfo* target = vtable_part ? vtable_part.get() : info.get();
    bool at_slot = target && VtableOffsetOf(target, slot.name) == static_cast<int>(slot.slot * kPointer);
    EXPECT_TRUE(at_slot) << "host library slot " << std::string(slot.name, slot.name + lstrlenW(slot.name));
  }
  ComPtr<ITypeInfo> host_class;
  EXPECT_TRUE(SUCCEEDED(host.get()->lpVtbl->GetTypeInfoOfGuid(host.get(), CLSID_ConfigHost, host_class.Out())));
}

}  // namespace

namespace {

// Our type library, loaded through its registration.
class RegisteredTypeLibrary : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(LoadRegTypeLib(LIBID_Korvex, 1, 0, 0, korvex_.Out()))); }
  ITypeLib* korvex() { return korvex_.get(); }

 private:
  ComPtr<ITypeLib> korvex_;
};

TEST_F(RegisteredTypeLibrary, Library) { CheckLibrary(korvex()); }
TEST_F(RegisteredTypeLibrary, Coclass) { CheckCoclass(korvex()); }
TEST_F(RegisteredTypeLibrary, AutomationInterface) { CheckAutomationInterface(korvex()); }
TEST_F(RegisteredTypeLibrary, EventInterface) { CheckEventInterface(korvex()); }
TEST(Registered, HostLibrary) { CheckHostLibrary(); }

}  // namespace
