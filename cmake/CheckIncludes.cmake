# Fails when a file includes a project header outside the allowed include roots.
# FILES: the files to scan; ALLOWED: comma-separated roots ("rtl", "foundation") or headers
# ("foundation/cxClasses.h"); STAMP: touched on success.
set(roots rtl gdi user backend vcl db foundation data editors pivotgrid pagecontrol grid
          gridviews export app editors-extra docking tests)
string(REPLACE "," ";" allowed "${ALLOWED}")
string(REPLACE " " ";" files "${FILES}")
set(bad "")
foreach(f ${files})
  if(NOT EXISTS "${f}")
    continue()
  endif()
  file(STRINGS "${f}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]+\"")
  foreach(l ${lines})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" inc "${l}")
    string(REGEX MATCH "^[^/]+" first "${inc}")
    if(NOT inc MATCHES "/")
      continue()   # a header beside the file
    endif()
    list(FIND roots "${first}" is_root)
    if(is_root EQUAL -1)
      continue()   # not a project header
    endif()
    list(FIND allowed "${first}" ok_root)
    list(FIND allowed "${inc}" ok_file)
    if(ok_root EQUAL -1 AND ok_file EQUAL -1)
      string(APPEND bad "\n  ${f}: #include \"${inc}\"")
    endif()
  endforeach()
endforeach()
if(bad)
  message(FATAL_ERROR "${LIB} includes headers outside the libraries it builds on:${bad}")
endif()
file(TOUCH "${STAMP}")
