// Resources of overlay_tests' own, beside the program's.
#pragma once

// An empty popup dialog that hosts the tray icon under test.
#define IDD_TRAY_TEST_HOST 901
