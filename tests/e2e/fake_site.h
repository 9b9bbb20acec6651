#pragma once

#include "plugin/com/com.h"

namespace e2e {

// A client site of a bare-bones container: no in-place site, and an
// ambient font (through IDispatch) the test can change or take away.
struct FakeSite {
  IOleClientSite IOleClientSite_iface;
  IDispatch IDispatch_iface;
  LONG refs;
  IFont* font;  // null: the site has no ambient font
};

// A new site (one reference) with `font` (a reference of its own is taken).
FakeSite* CreateFakeSite(IFont* font);
void SetAmbientFont(FakeSite* site, IFont* font);

}  // namespace e2e
