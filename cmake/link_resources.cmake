# Links each existing resources/<name> folder into the build's bin/ folder.
string(REPLACE "," ";" NAMES "${NAMES}")
foreach(name IN LISTS NAMES)
  if(EXISTS "${SRC}/${name}" AND NOT EXISTS "${DST}/${name}")
    file(MAKE_DIRECTORY "${DST}")
    file(CREATE_LINK "${SRC}/${name}" "${DST}/${name}" SYMBOLIC)
  endif()
endforeach()
