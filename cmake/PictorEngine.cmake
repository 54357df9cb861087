# The drawing engine, libgdiplus, as the imported target pictor::gdiplus. Debian ships it as a shared
# object without headers or a development link (the flat functions are declared in
# platform/gdiplus/engine/GdiplusFlat.h), so the versioned name is looked for too. Used by the build and by
# the installed package, so that the exported library names the target, not a path of this machine.
if(NOT TARGET pictor::gdiplus)
  find_library(PICTOR_GDIPLUS_LIBRARY NAMES gdiplus libgdiplus.so.0)
  if(NOT PICTOR_GDIPLUS_LIBRARY)
    message(FATAL_ERROR "libgdiplus was not found (Debian: apt-get install libgdiplus)")
  endif()
  add_library(pictor::gdiplus SHARED IMPORTED)
  set_target_properties(pictor::gdiplus PROPERTIES IMPORTED_LOCATION "${PICTOR_GDIPLUS_LIBRARY}")
endif()
