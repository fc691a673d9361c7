# Runs the artwork generator into an empty folder and compares every file it
# is meant to write with the committed one in res/, the English pictures in
# res/en/ and res/skin/en/ included.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${TOOL} ${OUT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ravuone-artwork failed: ${rc}")
endif()
set(files
  skin/BackBmp.bmp skin/Waku.bmp skin/Koma01.bmp
  bmp143.bmp bmp165.bmp bmp168.bmp bmp169.bmp bmp172.bmp bmp173.bmp
  cursor145.png icon128.png sound104.wav
  skin/BackBmp@2x.bmp skin/Waku@2x.bmp skin/Koma01@2x.bmp
  bmp143@2x.bmp bmp165@2x.bmp bmp168@2x.bmp bmp169@2x.bmp bmp172@2x.bmp bmp173@2x.bmp
  cursor145@2x.png
  skin/en/BackBmp.bmp en/bmp143.bmp en/bmp172.bmp en/bmp173.bmp
  skin/en/BackBmp@2x.bmp en/bmp143@2x.bmp en/bmp172@2x.bmp en/bmp173@2x.bmp)
# The desktop icons, installed with the program.
foreach(size 16 24 32 48 64 128 256)
  list(APPEND files icons/hicolor/${size}x${size}/apps/ravuone.png)
endforeach()
set(failed "")
foreach(f ${files})
  if(NOT EXISTS ${OUT}/${f})
    list(APPEND failed "${f} (not written)")
    continue()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT}/${f} ${REF}/${f} RESULT_VARIABLE diff)
  # A picture may differ at the edges of drawn characters, which font
  # rasterizers of other versions smooth a little differently.
  if(NOT diff EQUAL 0 AND NOT f MATCHES "\\.wav$")
    execute_process(COMMAND ${TOOL} --compare ${OUT}/${f} ${REF}/${f} RESULT_VARIABLE diff)
  endif()
  if(NOT diff EQUAL 0)
    list(APPEND failed ${f})
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "regenerated artwork differs from res/: ${failed}")
endif()
list(LENGTH files n)
message(STATUS "all ${n} artwork files identical")
