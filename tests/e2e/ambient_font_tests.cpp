#include "plugin/com/com.h"

#include "panel/layout.h"
#include "plugin/com/com_ptr.h"
#include "plugin/controls/child_window.h"
#include "tests/e2e/e2e_check.h"
#include "tests/e2e/e2e_context.h"
#include "tests/e2e/fake_site.h"

namespace e2e {

namespace {

using ramulet::win32::ComPtr;
using ramulet::win32::QueryInterfaceOf;

ComPtr<IFont> NewFont(const wchar_t* face, LONG points) {
  FONTDESC description = {};
  description.cbSizeofstruct = sizeof(description);
  description.lpstrName = const_cast<LPOLESTR>(face);
  description.cySize.int64 = points * 10000;
  description.sWeight = FW_NORMAL;
  description.sCharset = DEFAULT_CHARSET;
  ComPtr<IFont> font;
  OleCreateFontIndirect(&description, IID_IFont, font.OutVoid());
  return font;
}

HFONT HandleOf(const ComPtr<IFont>& font) {
  HFONT handle = nullptr;
  if (font) font.get()->lpVtbl->get_hFont(font.get(), &handle);
  return handle;
}

HFONT ButtonFont(HWND panel) {
  HWND button = GetDlgItem(panel, ramulet::win32::ControlIdOf(ramulet::DesignOf("CommandButton1")));
  return reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0));
}

}  // namespace

// A second control, outside any in-place container: the ambient font of its
// site reaches the child controls, a change of it too, and without one they
// fall back to the GUI font.
void TestAmbientFont(Context&) {
  ComPtr<IOleObject> object;
  HRESULT hr = CoCreateInstance(CLSID_Ramulet, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.OutVoid());
  if (!Check("a second control is created by its class", SUCCEEDED(hr) && object)) return;
  ComPtr<IOleWindow> window;
  HWND panel = nullptr;
  QueryInterfaceOf(object.get(), IID_IOleWindow, window);
  window.get()->lpVtbl->GetWindow(window.get(), &panel);
  Check("a control not yet placed has a hidden window", panel && !IsWindowVisible(panel));

  ComPtr<IFont> first = NewFont(L"Tahoma", 12);
  ComPtr<IFont> second = NewFont(L"Tahoma", 9);
  FakeSite* site = CreateFakeSite(first.get());
  object.get()->lpVtbl->SetClientSite(object.get(), &site->IOleClientSite_iface);
  Check("the site's ambient font reaches the controls", ButtonFont(panel) == HandleOf(first) && HandleOf(first));

  ComPtr<IOleControl> control;
  QueryInterfaceOf(object.get(), IID_IOleControl, control);
  SetAmbientFont(site, second.get());
  control.get()->lpVtbl->OnAmbientPropertyChange(control.get(), DISPID_AMBIENT_FONT);
  Check("a changed ambient font replaces the controls' font", ButtonFont(panel) == HandleOf(second));
  SetAmbientFont(site, nullptr);
  control.get()->lpVtbl->OnAmbientPropertyChange(control.get(), DISPID_AMBIENT_FONT);
  Check("without an ambient font the controls use the GUI font",
        ButtonFont(panel) == static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));

  RECT area = {0, 0, 200, 300};
  hr = object.get()->lpVtbl->DoVerb(object.get(), OLEIVERB_INPLACEACTIVATE, nullptr, &site->IOleClientSite_iface, 0,
                                    GetDesktopWindow(), &area);
  Check("a site that cannot hold it in place refuses activation, the panel stays hidden",
        FAILED(hr) && !IsWindowVisible(panel));
  object.get()->lpVtbl->Close(object.get(), OLECLOSE_NOSAVE);
  object.get()->lpVtbl->SetClientSite(object.get(), nullptr);
  site->IOleClientSite_iface.lpVtbl->Release(&site->IOleClientSite_iface);
}

}  // namespace e2e
