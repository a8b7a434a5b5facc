# Copies the files a program expects beside itself (ini, read-me, placeholders).
file(GLOB files "${SRC}/*")
foreach(f ${files})
  if(NOT IS_DIRECTORY "${f}")
    file(COPY "${f}" DESTINATION "${DST}")
  endif()
endforeach()
