# The three libraries, one per folder group, with the packages they use. The main build and the
# fuzzing project (bench/fuzz) both include this, so that they build the same code the same way.
# Sources are picked up by folder, so that a new class is one new pair of files.
get_filename_component(FOLDWISE_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)

find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Network UiTools Concurrent DBus WebEngineWidgets)
find_package(PkgConfig REQUIRED)
pkg_check_modules(QPDF REQUIRED IMPORTED_TARGET libqpdf)
pkg_check_modules(POPPLER_QT6 REQUIRED IMPORTED_TARGET poppler-qt6)
pkg_check_modules(PLIST REQUIRED IMPORTED_TARGET libplist-2.0)
pkg_check_modules(JPEG REQUIRED IMPORTED_TARGET libjpeg)
pkg_check_modules(EXIF REQUIRED IMPORTED_TARGET libexif)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
find_package(ZLIB REQUIRED)
find_package(Cups REQUIRED)

file(GLOB_RECURSE PLATFORM_SOURCES CONFIGURE_DEPENDS ${FOLDWISE_ROOT}/platform/*.cpp ${FOLDWISE_ROOT}/platform/*.h)
add_library(foldwise_platform STATIC ${PLATFORM_SOURCES})
target_include_directories(foldwise_platform PUBLIC ${FOLDWISE_ROOT})
target_link_libraries(foldwise_platform PUBLIC
  Qt6::Core Qt6::Gui Qt6::Widgets Qt6::PrintSupport Qt6::Network Qt6::UiTools Qt6::Concurrent Qt6::DBus
  PkgConfig::QPDF PkgConfig::POPPLER_QT6 PkgConfig::PLIST PkgConfig::JPEG PkgConfig::XCB ZLIB::ZLIB Cups::Cups)
# qpdf's headers warn unless told that no code uses its old PointerHolder.
target_compile_definitions(foldwise_platform PUBLIC POINTERHOLDER_TRANSITION=4)

file(GLOB_RECURSE KIT_SOURCES CONFIGURE_DEPENDS ${FOLDWISE_ROOT}/RQS-Kit/*.cpp ${FOLDWISE_ROOT}/RQS-Kit/*.h)
add_library(foldwise_kit STATIC ${KIT_SOURCES})
# The newsletter window shows its pages in a web engine.
target_link_libraries(foldwise_kit PUBLIC foldwise_platform Qt6::WebEngineWidgets PRIVATE PkgConfig::EXIF)
# A Foldwise in the configured prefix is installed, never offered a move into an Applications folder.
target_compile_definitions(foldwise_kit PRIVATE FOLDWISE_INSTALL_PREFIX="${CMAKE_INSTALL_PREFIX}")

set(APP_SOURCES)
foreach(folder booklet window printing shell)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${FOLDWISE_ROOT}/app/${folder}/*.cpp ${FOLDWISE_ROOT}/app/${folder}/*.h)
  list(APPEND APP_SOURCES ${sources})
endforeach()
add_library(foldwise_app STATIC ${APP_SOURCES})
target_link_libraries(foldwise_app PUBLIC foldwise_kit)
set(FOLDWISE_CUPS_BACKEND_DIR /usr/lib/cups/backend CACHE PATH "Where CUPS looks for its backends")
target_compile_definitions(foldwise_app PRIVATE FOLDWISE_CUPS_BACKEND_DIR="${FOLDWISE_CUPS_BACKEND_DIR}")
