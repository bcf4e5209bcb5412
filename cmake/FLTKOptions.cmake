# How FLTK is built for the program, by FLTK.cmake with it or by
# scripts/windows.sh on its own (cmake -C): a static library without
# OpenGL, without tools, tests or documentation, with its own image
# libraries; on X11 without Xft. MERRIVANE_BUNDLED_FLTK_VERSION says which
# FLTK, since 1.4 renamed 1.3's OPTION_* options.
if(MERRIVANE_BUNDLED_FLTK_VERSION VERSION_LESS 1.4)
  set(_fltk_off OPTION_BUILD_SHARED_LIBS OPTION_USE_GL
    OPTION_USE_SYSTEM_ZLIB OPTION_USE_SYSTEM_LIBJPEG OPTION_USE_SYSTEM_LIBPNG
    FLTK_BUILD_TEST FLTK_BUILD_EXAMPLES OPTION_USE_XFT OPTION_USE_PANGO)
else()
  set(_fltk_off FLTK_BUILD_SHARED_LIBS FLTK_BUILD_GL
    FLTK_USE_SYSTEM_ZLIB FLTK_USE_SYSTEM_LIBJPEG FLTK_USE_SYSTEM_LIBPNG
    FLTK_BUILD_TEST FLTK_BUILD_EXAMPLES FLTK_BUILD_FLUID FLTK_BUILD_FLTK_OPTIONS FLTK_BUILD_FORMS
    FLTK_BUILD_HTML_DOCS FLTK_BUILD_PDF_DOCS FLTK_USE_XFT FLTK_USE_PANGO FLTK_BACKEND_WAYLAND)
endif()
# FLTK 1.4 looks for trunc() without the maths library, which cross
# builds then lack, and its stand-in clashes with the C library's
if(NOT MERRIVANE_BUNDLED_FLTK_VERSION VERSION_LESS 1.4 AND CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(HAVE_TRUNC 1 CACHE INTERNAL "")
endif()
foreach(_option IN LISTS _fltk_off)
  set(${_option} OFF CACHE BOOL "" FORCE)
endforeach()
