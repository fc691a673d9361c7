# The windows' English: translations/ravuone_en.ts (source language Japanese)
# holds every text a player reads, in the windows (tr()) and from the model
# (RAVU_TEXT, game/local_text.h).  The build turns it into ravuone_en.qm with
# lrelease and puts it into ravu_app's resources (":/i18n/ravuone_en.qm"), so
# nothing is installed for it.
#
#   cmake --build build --target ravu_lupdate   brings the .ts up to date with
#                                                the sources (new texts come in
#                                                untranslated, gone ones go)
#   ravu_translation_check (part of every build) fails while a text has no
#   English or a Japanese literal in the windows' sources is not translated.
find_package(Qt6 6.4 REQUIRED COMPONENTS LinguistTools)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(RAVU_TS_FILE ${CMAKE_SOURCE_DIR}/translations/ravuone_en.ts)
set(RAVU_QM_DIR ${CMAKE_BINARY_DIR}/i18n)
set(RAVU_QM_FILE ${RAVU_QM_DIR}/ravuone_en.qm)
# Made now: Makefile generators do not make the folders of a command's outputs.
file(MAKE_DIRECTORY ${RAVU_QM_DIR})

add_custom_command(
  OUTPUT ${RAVU_QM_FILE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${RAVU_QM_DIR}
  COMMAND Qt6::lrelease -silent ${RAVU_TS_FILE} -qm ${RAVU_QM_FILE}
  DEPENDS ${RAVU_TS_FILE}
  COMMENT "Building the English translation"
  VERBATIM)
qt_add_resources(ravu_app "ravu_i18n" PREFIX "/i18n" BASE ${RAVU_QM_DIR} FILES ${RAVU_QM_FILE})

# The sources whose texts are translated: the windows and the Qt halves of
# app/ and net/ (tr()), and the model's marked texts.
file(GLOB RAVU_TR_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/ui/*.cpp ${CMAKE_SOURCE_DIR}/ui/*.h
  ${CMAKE_SOURCE_DIR}/app/*.cpp ${CMAKE_SOURCE_DIR}/app/*.h
  ${CMAKE_SOURCE_DIR}/net/*.cpp ${CMAKE_SOURCE_DIR}/net/*.h
  ${CMAKE_SOURCE_DIR}/game/*.cpp ${CMAKE_SOURCE_DIR}/game/*.h)
set(RAVU_TR_CHECK ${CMAKE_SOURCE_DIR}/scripts/check_translations.py)
set(RAVU_TR_ARGS --lupdate $<TARGET_FILE:Qt6::lupdate> --ts ${RAVU_TS_FILE} --source-root ${CMAKE_SOURCE_DIR}
  --allow ${CMAKE_SOURCE_DIR}/translations/untranslated.txt)

add_custom_target(ravu_lupdate
  COMMAND ${Python3_EXECUTABLE} ${RAVU_TR_CHECK} ${RAVU_TR_ARGS} --update
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  COMMENT "Updating translations/ravuone_en.ts from the sources"
  VERBATIM)

set(RAVU_TR_STAMP ${RAVU_QM_DIR}/translation_check.stamp)
add_custom_command(
  OUTPUT ${RAVU_TR_STAMP}
  COMMAND ${Python3_EXECUTABLE} ${RAVU_TR_CHECK} ${RAVU_TR_ARGS}
  COMMAND ${CMAKE_COMMAND} -E touch ${RAVU_TR_STAMP}
  DEPENDS ${RAVU_TR_SOURCES} ${RAVU_TS_FILE} ${RAVU_TR_CHECK} ${CMAKE_SOURCE_DIR}/translations/untranslated.txt
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
  COMMENT "Checking that every text has its English"
  VERBATIM)
add_custom_target(ravu_translation_check ALL DEPENDS ${RAVU_TR_STAMP})
