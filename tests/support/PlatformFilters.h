// Class identifiers of the platform's helper filters that the tests put into real graphs. The
// MinGW headers declare their interfaces (qedit.h) but not these identifiers.
#pragma once

#include <windows.h>

// {C1F400A4-3F08-11D3-9F0B-006008039E37}
static const CLSID kClsidNullRenderer = {0xc1f400a4, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};
// {C1F400A0-3F08-11D3-9F0B-006008039E37}
static const CLSID kClsidSampleGrabber = {0xc1f400a0, 0x3f08, 0x11d3, {0x9f, 0x0b, 0x00, 0x60, 0x08, 0x03, 0x9e, 0x37}};
