#pragma once

#include <windows.h>

namespace ramulet::win32 {

// A hidden top-level window per thread that holds panel windows while no
// container shows them. Each panel takes a reference; the window goes when
// the last panel of its thread lets go.
HWND AcquireParkingWindow();
void ReleaseParkingWindow();

// True for the parking window of the calling thread.
bool IsParkingWindow(HWND window);

// Removes the parking window's class; fails harmlessly while a parking
// window exists.
void UnregisterParkingClass();

}  // namespace ramulet::win32
