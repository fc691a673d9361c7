list(APPEND RAVU_MODEL_SOURCES
  app/atomic_file.cpp
  app/ini.cpp
  app/settings.cpp
  app/skin_files.cpp
  app/wav.cpp
)
