# Runs cmake/CheckLayers.cmake on one small tree per case (a file, its includes,
# whether the layer order allows them): cmake -DCHECK=<script> -DWORK=<folder> -P this file.
set(cases
  "vistram/results/a.cpp|vistram/results/b.h,vistram/platform/c.h,vistram/base/d.h|yes"
  "seqfetch/a.c|vistram/base/b.h|yes"
  "vistram/shell/gui/a.cpp|vistram/editor/b.h,vistram/html/gui/c.h,vistram/hca/d.h|yes"
  "vistram/hca/a.cpp|vistram/seqio/b.h|yes" "vistram/main.cpp|vistram/shell/gui/b.h|yes"
  "vistram/base/a.h|vistram/platform/b.h|no" "vistram/results/a.h|vistram/shell/b.h|no"
  "vistram/hca/gui/a.cpp|vistram/shell/batch.h|no" "vistram/seqio/a.cpp|vistram/hca/b.h|no"
  "vistram/html/a.cpp|vistram/web/b.h|no" "vistram/mapper/gui/a.cpp|vistram/patterns/b.h|no"
  "vistram/web/a.cpp|vistram/html/b.h|no" "seqfetch/a.c|vistram/results/b.h|no"
  "vistram/editor/gui/a.cpp|vistram/shell/gui/b.h|no" "vistram/newfolder/a.cpp|vistram/base/b.h|no"
  "vistweb/a.cpp|vistram/platform/b.h|no")
file(REMOVE_RECURSE ${WORK})
set(n 0)
foreach(c IN LISTS cases)
  string(REPLACE "|" ";" parts "${c}")
  list(POP_FRONT parts file includes allowed)
  math(EXPR n "${n} + 1")
  string(REGEX REPLACE "([^,]+),?" "#include \"\\1\"\n" text "${includes}")
  # A commented-out include and a system include never count.
  file(WRITE ${WORK}/${n}/${file} "// #include \"vistram/shell/x.h\"\n#include <vector>\n${text}")
  execute_process(COMMAND ${CMAKE_COMMAND} -DROOT=${WORK}/${n} -P ${CHECK} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT ((allowed AND rc EQUAL 0) OR (NOT allowed AND NOT rc EQUAL 0 AND err MATCHES "${file}")))
    string(APPEND failures "${file} including ${includes}: expected ${allowed}, got ${rc}: ${err}\n")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
if(failures)
  message(FATAL_ERROR "${failures}")
endif()
