# The three libraries, one per folder group, with the packages they use. The main build and the
# fuzzing project (bench/fuzz) both include this, so that they build the same code the same way.
# Sources are picked up by folder, so that a new class is one new pair of files.
get_filename_component(FOLDWISE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Network UiTools Concurrent DBus)
find_package(PkgConfig REQUIRED)
pkg_check_modules(QPDF REQUIRED IMPORTED_TARGET libqpdf)
pkg_check_modules(POPPLER_QT6 REQUIRED IMPORTED_TARGET poppler-qt6)
# Poppler's own raster device, for pages drawn a band at a time (libpoppler-private-dev).
pkg_check_modules(POPPLER REQUIRED IMPORTED_TARGET poppler)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(PNG REQUIRED IMPORTED_TARGET libpng)
pkg_check_modules(EXIF REQUIRED IMPORTED_TARGET libexif)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
find_package(ZLIB REQUIRED)
find_package(Cups REQUIRED)

file(GLOB_RECURSE PLATFORM_SOURCES CONFIGURE_DEPENDS ${FOLDWISE_ROOT}/platform/*.cpp ${FOLDWISE_ROOT}/platform/*.h)
add_library(foldwise_platform STATIC ${PLATFORM_SOURCES})
target_include_directories(foldwise_platform PUBLIC ${FOLDWISE_ROOT})
target_link_libraries(foldwise_platform PUBLIC
  Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport Qt6::Network Qt6::UiTools Qt6::Concurrent Qt6::DBus
  PkgConfig::QPDF PkgConfig::POPPLER_QT6 PkgConfig::POPPLER PkgConfig::PLIST PkgConfig::JPEG PkgConfig::PNG PkgConfig::XCB ZLIB::ZLIB Cups::Cups)
# qpdf's headers warn unless told that no code uses its old PointerHolder.
target_compile_definitions(foldwise_platform PUBLIC POINTERHOLDER_TRANSITION=4)

file(GLOB_RECURSE KIT_SOURCES CONFIGURE_DEPENDS ${FOLDWISE_ROOT}/RQS-Kit/*.cpp ${FOLDWISE_ROOT}/RQS-Kit/*.h)
list(FILTER KIT_SOURCES EXCLUDE REGEX "/RQS-Kit/WebEngine/")
add_library(foldwise_kit STATIC ${KIT_SOURCES})
target_link_libraries(foldwise_kit PUBLIC foldwise_platform PRIVATE PkgConfig::EXIF)
# A Foldwise in the configured prefix is installed, never offered a move into an Applications folder.
target_compile_definitions(foldwise_kit PRIVATE FOLDWISE_INSTALL_PREFIX="${CMAKE_INSTALL_PREFIX}")

# The web pages of the newsletter window are shown by Qt WebEngine, which only this plugin links:
# the kit loads it when a page is to be shown, from beside the executable (the build tree) or from
# lib/foldwise installed, so that no other program maps the engine's libraries.
find_package(Qt6 6.4 REQUIRED COMPONENTS WebEngineWidgets)
include(GNUInstallDirs)
file(GLOB WEBENGINE_SOURCES CONFIGURE_DEPENDS ${FOLDWISE_ROOT}/RQS-Kit/WebEngine/*.cpp ${FOLDWISE_ROOT}/RQS-Kit/WebEngine/*.h)
add_library(foldwise_webview MODULE ${WEBENGINE_SOURCES} ${FOLDWISE_ROOT}/RQS-Kit/Controls/QSWebEngine.h)
target_include_directories(foldwise_webview PRIVATE ${FOLDWISE_ROOT})
target_link_libraries(foldwise_webview PRIVATE Qt6::Widgets Qt6::WebEngineWidgets)
set_target_properties(foldwise_webview PROPERTIES PREFIX "" OUTPUT_NAME foldwise-webview
                      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
set(FOLDWISE_PLUGIN_DIR ${CMAKE_INSTALL_LIBDIR}/foldwise)
file(RELATIVE_PATH plugins_from_binaries ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${FOLDWISE_PLUGIN_DIR})
target_compile_definitions(foldwise_kit PRIVATE FOLDWISE_PLUGINS_FROM_BINARIES="${plugins_from_binaries}")

set(APP_SOURCES)
foreach(folder booklet window printing shell)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${FOLDWISE_ROOT}/app/${folder}/*.cpp ${FOLDWISE_ROOT}/app/${folder}/*.h)
  list(APPEND APP_SOURCES ${sources})
endforeach()
add_library(foldwise_app STATIC ${APP_SOURCES})
target_link_libraries(foldwise_app PUBLIC foldwise_kit)
set(FOLDWISE_CUPS_BACKEND_DIR /usr/lib/cups/backend CACHE PATH "Where CUPS looks for its backends")
target_compile_definitions(foldwise_app PRIVATE FOLDWISE_CUPS_BACKEND_DIR="${FOLDWISE_CUPS_BACKEND_DIR}")
