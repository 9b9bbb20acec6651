#include <ocidl.h>

#include "plugin/control/activex_control.h"
#include "plugin/com/com_ptr.h"
#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"

namespace e2e {

namespace {

using ramulet::win32::ComPtr;
using ramulet::win32::QueryInterfaceOf;

template <class T>
bool Offers(IUnknown* control, REFIID iid) {
  ComPtr<T> p;
  return SUCCEEDED(QueryInterfaceOf(control, iid, p)) && p;
}

}  // namespace

void TestActiveX(Context& context) {
  IUnknown* control = context.host->container().control();
  if (!Check("the container holds the control", control != nullptr)) return;
  Check("the control offers its ActiveX interfaces",
        Offers<IOleObject>(control, IID_IOleObject) && Offers<IOleInPlaceObject>(control, IID_IOleInPlaceObject) &&
            Offers<IOleInPlaceActiveObject>(control, IID_IOleInPlaceActiveObject) &&
            Offers<IOleWindow>(control, IID_IOleWindow) && Offers<IViewObject2>(control, IID_IViewObject2) &&
            Offers<IPersistStreamInit>(control, IID_IPersistStreamInit) &&
            Offers<IPersistPropertyBag>(control, IID_IPersistPropertyBag) &&
            Offers<IOleControl>(control, IID_IOleControl) &&
            Offers<IProvideClassInfo2>(control, IID_IProvideClassInfo2) &&
            Offers<IConnectionPointContainer>(control, IID_IConnectionPointContainer));
  ComPtr<IUnknown> missing;
  Check("an unknown interface is refused with a null pointer",
        QueryInterfaceOf(control, IID_IDataObject, missing) == E_NOINTERFACE && !missing);

  ComPtr<IOleObject> object;
  QueryInterfaceOf(control, IID_IOleObject, object);
  DWORD status = 0;
  object.get()->lpVtbl->GetMiscStatus(object.get(), DVASPECT_CONTENT, &status);
  Check("the status flags are 0x28191", status == 0x28191);
  // What the container last set, in HIMETRIC, is what the control reports.
  SIZEL set = {9000, 20000};
  SIZEL extent = {};
  object.get()->lpVtbl->SetExtent(object.get(), DVASPECT_CONTENT, &set);
  object.get()->lpVtbl->GetExtent(object.get(), DVASPECT_CONTENT, &extent);
  Check("the extent reads back as set", extent.cx == 9000 && extent.cy == 20000);
  SIZEL negative = {-1, 5};
  Check("a negative extent is refused",
        object.get()->lpVtbl->SetExtent(object.get(), DVASPECT_CONTENT, &negative) == E_INVALIDARG);
  Check("an extent of another aspect is refused",
        object.get()->lpVtbl->GetExtent(object.get(), DVASPECT_ICON, &extent) == DV_E_DVASPECT);

  ComPtr<IConnectionPointContainer> points;
  QueryInterfaceOf(control, IID_IConnectionPointContainer, points);
  ComPtr<IEnumConnectionPoints> all;
  points.get()->lpVtbl->EnumConnectionPoints(points.get(), all.Out());
  IConnectionPoint* point = reinterpret_cast<IConnectionPoint*>(1);
  ULONG fetched = 1;
  Check("there are no connection points", all && all.get()->lpVtbl->Next(all.get(), 1, &point, &fetched) == S_FALSE &&
                                              fetched == 0);
  point = reinterpret_cast<IConnectionPoint*>(1);
  Check("finding a connection point fails cleanly",
        points.get()->lpVtbl->FindConnectionPoint(points.get(), DIID___Ramulet, &point) == CONNECT_E_NOCONNECTION &&
            point == nullptr);

  ComPtr<IProvideClassInfo2> info;
  QueryInterfaceOf(control, IID_IProvideClassInfo2, info);
  GUID source = GUID_NULL;
  info.get()->lpVtbl->GetGUID(info.get(), GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source);
  Check("the default source interface is __Ramulet", IsEqualGUID(source, DIID___Ramulet) != FALSE);
  ComPtr<ITypeInfo> type;
  Check("the class's type information is there",
        SUCCEEDED(info.get()->lpVtbl->GetClassInfo(info.get(), type.Out())) && type);

  ComPtr<IPersistStreamInit> persist;
  QueryInterfaceOf(control, IID_IPersistStreamInit, persist);
  Check("nothing is ever dirty", persist.get()->lpVtbl->IsDirty(persist.get()) == S_FALSE);
}

}  // namespace e2e
