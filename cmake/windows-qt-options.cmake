# The cross build of Qt for Windows that scripts/windows-qt makes, as an initial cache
# for Qt's own CMake build: only what the program and its tests use, with the
# libraries Qt bundles instead of system ones (which mingw-w64 lacks).
set(CMAKE_BUILD_TYPE Release CACHE STRING "")
set(BUILD_SHARED_LIBS ON CACHE BOOL "")
set(QT_BUILD_EXAMPLES OFF CACHE BOOL "")
set(QT_BUILD_TESTS OFF CACHE BOOL "")
set(QT_BUILD_BENCHMARKS OFF CACHE BOOL "")
# The host's Qt (Debian's, the same version) provides moc, rcc and uic.
set(QT_HOST_PATH /usr CACHE PATH "")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "")
set(INPUT_opengl no CACHE STRING "")

# DirectWrite and Direct2D are left out together: Qt 6.4's Windows plugin fails to link
# with one and not the other, and GDI draws the same text. FreeType stays, as the
# offscreen platform that the tests use is built only with it. Tablet events need a
# header that Debian's source leaves out.
set(FEATURE_freetype ON CACHE BOOL "")
foreach(feature network sql dbus printsupport xml concurrent opengl vulkan direct2d directwrite directwrite3
                icu glib zstd jpeg gif tabletevent
                system_zlib system_pcre2 system_harfbuzz system_png system_doubleconversion system_freetype)
    set(FEATURE_${feature} OFF CACHE BOOL "")
endforeach()
