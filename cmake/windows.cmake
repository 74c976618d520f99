# Windows configuration (MinGW-w64): the program, the tools and the tests that run under Wine.
enable_language(RC)

add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
add_compile_options(-Wall -Wextra -Wno-unused-parameter)

add_library(skeo_portable STATIC ${SKEO_PORTABLE_SOURCES})
target_include_directories(skeo_portable PUBLIC ${CMAKE_SOURCE_DIR})

# The trace routine on its own, for the image-effects filter, which takes nothing else of the framework.
add_library(vnt_trace STATIC framework/Trace.cpp)
target_include_directories(vnt_trace PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vnt_trace PUBLIC skeo_portable)

# The thin Win32 framework shared by Skeo and its tools.
add_library(vnt_framework STATIC
    framework/Application.cpp
    framework/BackBuffer.cpp
    framework/Dialog.cpp
    framework/Dpi.cpp
    framework/CrashDump.cpp
    framework/FileSystem.cpp
    framework/GdiplusSession.cpp
    framework/MemoryStream.cpp
    framework/MessageWait.cpp
    framework/ProgramSound.cpp
    framework/TextTokens.cpp
    framework/WorkerThread.cpp
    framework/Window.cpp
    framework/Wnd.cpp
)
target_include_directories(vnt_framework PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vnt_framework PUBLIC vnt_trace skeo_portable gdiplus ole32 oleaut32 uuid comctl32 shell32 user32 gdi32 winmm dbghelp)

# Everything of Skeo but the application object, so that tests can link it.
add_library(skeo_core STATIC
    app/SingleInstanceApp.cpp
    app/VNTLanguageSelector.cpp
    app/VNTNotificationCenter.cpp
    app/VNTObject.cpp
    app/VNTSkeoMainWnd.cpp
    app/VNTThreadLoop.cpp
    app/VNTUI_Object.cpp
    app/VNTWindow.cpp
    camera/CaptureGraph.cpp
    camera/CaptureGraphView.cpp
    camera/DirectShowIds.cpp
    camera/HidDeviceAccess.cpp
    camera/HidDeviceLock.cpp
    camera/VNTHidReportMonitor.cpp
    camera/VNTWebcam.cpp
    camera/VNTWebcamMonitor.cpp
    camera/VNTWebcamSkeo.cpp
    camera/VNTWebcamSkeoPlus.cpp
    library/EventListXml.cpp
    library/PhotoWriter.cpp
    library/PhotoPdf.cpp
    library/PictureCodec.cpp
    library/VNTSkeoDatabaseManager.cpp
    settings/CVNTUI_Skeo_GeneralPage.cpp
    settings/CVNTUI_Skeo_ImageAdjustmentPage.cpp
    settings/CVNTUI_Skeo_SettingsPropSheet.cpp
    settings/CVNTUI_Skeo_SystemPage.cpp
    settings/VNTRegedit.cpp
    settings/VNTSkeoRegedit.cpp
    toolkit/CColorStatic.cpp
    toolkit/CGdiPlusBitmap.cpp
    toolkit/SkinImageBatch.cpp
    toolkit/CGdipButton.cpp
    toolkit/CGdipSlider.cpp
    toolkit/CMemDC_Ex.cpp
    toolkit/CSkinScrollBar.cpp
    toolkit/CSkinScrollWnd.cpp
    toolkit/CToolTip.cpp
    toolkit/CVNTUI_PropertyPage.cpp
    toolkit/CVNTUI_PropertySheet.cpp
    toolkit/CVNTUI_Window.cpp
    toolkit/CXHyperLink.cpp
    toolkit/SkinResource.cpp
    ui/CVNTUI_Picture.cpp
    ui/CVNTUI_Skeo_AboutBox.cpp
    ui/CVNTUI_Skeo_Border.cpp
    ui/CVNTUI_Skeo_CameraWnd.cpp
    ui/CVNTUI_Skeo_CountdownWnd.cpp
    ui/CVNTUI_Skeo_EventListCtrl.cpp
    ui/CVNTUI_Skeo_ExposureOSDWnd.cpp
    ui/CVNTUI_Skeo_MainDlg.cpp
    ui/CVNTUI_Skeo_Menu.cpp
    ui/CVNTUI_Skeo_Menu_Close.cpp
    ui/CVNTUI_Skeo_MenuBar.cpp
    ui/CVNTUI_Skeo_MenuShow.cpp
    ui/CVNTUI_Skeo_MenuShow_ExposureSlider.cpp
    ui/CVNTUI_Skeo_MenuShow_Mirror.cpp
    ui/CVNTUI_Skeo_OptionPanels.cpp
    ui/CVNTUI_Skeo_PhotoInfoStatic.cpp
    ui/CVNTUI_Skeo_PhotoWnd.cpp
    ui/PhotoPdfSaver.cpp
    ui/PhotoPrefetcher.cpp
    ui/PhotoTurner.cpp
    ui/CVNTUI_Skeo_SFButtonWindow.cpp
    ui/CVNTUI_StaticPicture.cpp
    ui/CVNTUI_TrayIcon.cpp
    ui/LocalizedMenu.cpp
    ui/MenuDrawing.cpp
)
target_link_libraries(skeo_core PUBLIC vnt_framework vnt_dshow shlwapi strmiids quartz ksuser winmm hid comdlg32)
target_link_libraries(vnt_framework PUBLIC oleaut32)

# The entry routine comes before libmingw32 on the link line, which refers to it.
add_executable(Skeo WIN32 app/SkeoApp.cpp framework/WinMain.cpp resources/Skeo.rc)
target_link_libraries(Skeo PRIVATE skeo_core)
target_link_options(Skeo PRIVATE -municode)
file(GLOB SKEO_SKINS ${CMAKE_SOURCE_DIR}/resources/images/skins/*)
list(JOIN SKEO_SKINS ";" SKEO_SKIN_DEPENDS)
set(SKEO_RC_DEPENDS "${SKEO_SKIN_DEPENDS};${CMAKE_SOURCE_DIR}/resources/Skins.rc;${CMAKE_SOURCE_DIR}/resources/SettingsDialog.rc;${CMAKE_SOURCE_DIR}/resources/AboutBox.rc;${CMAKE_SOURCE_DIR}/resources/StringIds.h;${CMAKE_SOURCE_DIR}/resources/strings/Strings.en.rc;${CMAKE_SOURCE_DIR}/resources/strings/Strings.zh-TW.rc;${CMAKE_SOURCE_DIR}/resources/strings/Strings.ja.rc;${CMAKE_SOURCE_DIR}/resources/Skeo.manifest;${CMAKE_SOURCE_DIR}/resources/Skeo.ico;${CMAKE_SOURCE_DIR}/resources/SkeoTray.ico;${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_SOURCE_DIR}/resources/images/focus-progress.bmp;${CMAKE_SOURCE_DIR}/resources/images/focus-done.bmp")
set_source_files_properties(resources/Skeo.rc PROPERTIES OBJECT_DEPENDS "${SKEO_RC_DEPENDS}")

# The sounds are played by full path from beside the program.
file(GLOB SKEO_SOUNDS ${CMAKE_SOURCE_DIR}/resources/sounds/*.wav ${CMAKE_SOURCE_DIR}/resources/sounds/*.Wav)
foreach(sound IN LISTS SKEO_SOUNDS)
    add_custom_command(TARGET Skeo POST_BUILD COMMAND ${CMAKE_COMMAND} -E copy_if_different "${sound}" "$<TARGET_FILE_DIR:Skeo>")
endforeach()

add_subdirectory(dshow)
add_subdirectory(imagefx)
add_subdirectory(tools/virtualcam)

if(SKEO_BUILD_TESTS)
    # Where both Windows trees are tested, one CTest run holds them: a name must tell them apart.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
        set(SKEO_TEST_SUFFIX _win32)
    endif()
    add_subdirectory(tests)
endif()

# The shipped binaries: PE32 GUI programs that need no MinGW runtime DLL.
option(SKEO_CHECK_DELIVERABLES "Add a test that inspects the built deliverables" OFF)
if(SKEO_CHECK_DELIVERABLES)
    enable_testing()
    add_test(NAME deliverable_binaries
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-binaries $<TARGET_FILE:Skeo> $<TARGET_FILE:VantorImageEffects>)
    add_test(NAME deliverable_strings
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-strings $<TARGET_FILE:Skeo>)
    # The packages scripts/package makes of both builds, read with independent tools; then each kind
    # installed, upgraded, repaired and removed in a Wine prefix of its own.
    get_filename_component(SKEO_BUILD_ROOT ${CMAKE_BINARY_DIR} DIRECTORY)
    add_test(NAME packages
             COMMAND bash -c "\"$0/scripts/package\" --no-build && \"$0/tests/install/check-dist\" \"$1/dist\""
                     ${CMAKE_SOURCE_DIR} ${SKEO_BUILD_ROOT})
    set_tests_properties(packages PROPERTIES FIXTURES_SETUP skeo_packages)
    foreach(kind nsis msi)
        add_test(NAME package_${kind}_install
                 COMMAND ${CMAKE_SOURCE_DIR}/tests/install/check-packages ${SKEO_BUILD_ROOT} ${kind})
        set_tests_properties(package_${kind}_install PROPERTIES
                             FIXTURES_REQUIRED skeo_packages RUN_SERIAL TRUE TIMEOUT 600)
    endforeach()
endif()

# Benchmarks: not tests; scripts/bench runs them.
add_executable(photo_writer_bench bench/PhotoWriterBench.cpp)
target_link_libraries(photo_writer_bench PRIVATE skeo_core)
add_executable(pdf_bench bench/PdfBench.cpp)
target_link_libraries(pdf_bench PRIVATE skeo_core)
add_executable(database_bench bench/DatabaseBench.cpp)
target_link_libraries(database_bench PRIVATE skeo_core)
target_link_options(database_bench PRIVATE -municode)
add_executable(strip_fill_bench bench/StripFillBench.cpp bench/StripFillBench.rc)
target_link_libraries(strip_fill_bench PRIVATE skeo_core psapi)
target_link_options(strip_fill_bench PRIVATE -municode)
target_include_directories(strip_fill_bench PRIVATE ${CMAKE_SOURCE_DIR}/resources)
set_source_files_properties(bench/StripFillBench.rc PROPERTIES OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/Skins.rc")
add_executable(frame_kernels_bench bench/FrameKernelsBench.cpp)
target_link_libraries(frame_kernels_bench PRIVATE skeo_portable)
# Needs the virtual camera and the effects filter registered (scripts/bench does it).
add_executable(capture_bench bench/CaptureBench.cpp tests/support/HiddenClass.cpp)
target_link_libraries(capture_bench PRIVATE skeo_core vnt_virtualcam)
# The main window and its controller on the virtual camera (scripts/bench registers it).
add_executable(program_bench bench/ProgramBench.cpp resources/Skeo.rc)
target_link_libraries(program_bench PRIVATE skeo_core)
target_include_directories(program_bench PRIVATE ${CMAKE_SOURCE_DIR}/resources)
# Browsing photos in the main dialog (no camera needed).
add_executable(photo_browse_bench bench/PhotoBrowseBench.cpp resources/Skeo.rc)
target_link_libraries(photo_browse_bench PRIVATE skeo_core comctl32)
target_include_directories(photo_browse_bench PRIVATE ${CMAKE_SOURCE_DIR}/resources)
add_executable(virtualcam_bench bench/VirtualCamBench.cpp)
target_link_libraries(virtualcam_bench PRIVATE vnt_virtualcam)
