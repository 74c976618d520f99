// Class identifiers the platform publishes that MinGW's headers do not declare; header only for
// the first two (strmiids has them), so the filter tests can use it without the camera code.
#pragma once

#include <guiddef.h>

extern "C" {
// Defined in the strmiids library.
extern const CLSID CLSID_SampleGrabber;
extern const CLSID CLSID_NullRenderer;
// Defined in DirectShowIds.cpp: no library has it.
extern const CLSID CLSID_EnhancedVideoRenderer;
}
